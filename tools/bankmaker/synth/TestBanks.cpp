#include "tools/bankmaker/synth/TestBanks.h"

#include "tools/bankmaker/synth/BankFiles.h"
#include "tools/bankmaker/synth/Encode.h"
#include "tools/bankmaker/synth/VoiceBanks.h"
#include "tools/bankmaker/synth/WorkQueue.h"

#include <array>
#include <exception>
#include <iostream>
#include <map>
#include <vector>

namespace {

// Where each entry comes from: the newer bank that stands in for the older
// one in the player, and the clip of it.
struct Source {
    const char* bank;
    int clip;
};

struct TestBank {
    const char* file;
    uint8_t revision;
    std::array<uint8_t, 3> groupCounts;
    std::vector<Source> entries;
};

// ovdb: Option4 voices, default birds, Option2 voices.
// ovdf: revision 5, the only one the player accepts; the player takes birds
// from entries 1, 3, 4, 5 and insects from 0, 2, 6 to 10.
// ovmd: all flute, since the player draws its flute from the first entries
// whatever the groups. ovmn: no first group, then guitar, then accordion.
const std::vector<TestBank>& TestBankList()
{
    static const std::vector<TestBank> banks = {
        {"ovdb.3bs",
         3,
         {2, 3, 2},
         {{"ovwp.cok", 0},
          {"ovwp.cok", 1},
          {"ovdw.cok", 0},
          {"ovdw.cok", 1},
          {"ovdw.cok", 2},
          {"ovgh.cok", 0},
          {"ovgh.cok", 1}}},
        {"ovdf.3bs",
         5,
         {4, 4, 3},
         {{"ovif.cok", 0},
          {"ovbf.cok", 0},
          {"ovif.cok", 1},
          {"ovbf.cok", 1},
          {"ovbf.cok", 2},
          {"ovbf.cok", 3},
          {"ovif.cok", 2},
          {"ovif.cok", 3},
          {"ovif.cok", 4},
          {"ovif.cok", 5},
          {"ovif.cok", 6}}},
        {"ovmd.3bs",
         2,
         {2, 3, 1},
         {{"ovfl.cok", 0}, {"ovfl.cok", 1}, {"ovfl.cok", 2}, {"ovfl.cok", 3}, {"ovfl.cok", 4}, {"ovfl.cok", 5}}},
        {"ovmn.3bs",
         2,
         {0, 3, 3},
         {{"ovgu.cok", 0}, {"ovgu.cok", 1}, {"ovgu.cok", 2}, {"ovha.cok", 0}, {"ovha.cok", 1}, {"ovha.cok", 2}}},
    };
    return banks;
}

}  // namespace

int BuildTestBanks(const std::string& dir)
{
    try {
        // Each stand-in bank is made once, whatever number of entries it feeds.
        std::map<std::string, std::vector<SynthClip>> made;
        for (const TestBank& bank : TestBankList()) {
            for (const Source& source : bank.entries)
                made[source.bank];
        }
        WorkQueue queue;
        for (auto& [bank, clips] : made) {
            queue.Push([name = bank, &out = clips] { out = VoiceBankClips(name); });
        }
        queue.Run();

        for (const TestBank& bank : TestBankList()) {
            std::vector<BankClip> clips(bank.entries.size());
            for (size_t i = 0; i < clips.size(); ++i) {
                const Source& source = bank.entries[i];
                clips[i].bytes = EncodeClip(made.at(source.bank).at(static_cast<size_t>(source.clip)));
            }
            WriteBankFile(dir, bank.file, bank.revision, bank.groupCounts, 0, clips);
        }
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "bankmaker: " << failure.what() << '\n';
        return 1;
    }
}
