#include "tools/bankmaker/BuildAllBanks.h"

#include "tools/bankmaker/BankWriter.h"
#include "tools/bankmaker/synth/Alarms.h"
#include "tools/bankmaker/synth/BankFiles.h"
#include "tools/bankmaker/synth/Chimes.h"
#include "tools/bankmaker/synth/Encode.h"
#include "tools/bankmaker/synth/Environment.h"
#include "tools/bankmaker/synth/VoiceBanks.h"
#include "tools/bankmaker/synth/WorkQueue.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <iostream>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Header values of the shipped banks, in the catalogue's order.
struct ShippedBank {
    const char* file;
    uint8_t revision;
    std::array<uint8_t, 3> groupCounts;  // .3bs
    uint16_t entryCount;                 // .cok and .ics
};

constexpr ShippedBank ShippedBanks[] = {
    {"ovda.3bs", 17, {0, 8, 0}, 0},   {"ovdw.cok", 23, {}, 191},       {"ovna.3bs", 21, {0, 37, 0}, 0},
    {"ovnb.3bs", 19, {35, 59, 0}, 0}, {"ovdc.3bs", 9, {0, 37, 0}, 0},  {"ovgh.cok", 6, {}, 23},
    {"ovwp.cok", 1, {}, 8},           {"ovef.3bs", 5, {0, 3, 0}, 0},   {"oves.3bs", 6, {0, 2, 0}, 0},
    {"ovnw.3bs", 6, {0, 29, 0}, 0},   {"ovel.3bs", 5, {2, 1, 1}, 0},   {"ovrs.3bs", 7, {6, 13, 0}, 0},
    {"ovac.3bs", 5, {17, 13, 16}, 0}, {"ovcu.3bs", 1, {0, 5, 0}, 0},   {"ovfw.3bs", 1, {0, 8, 0}, 0},
    {"ovgu.cok", 43, {}, 468},        {"ovha.cok", 10, {}, 128},       {"ovfl.cok", 10, {}, 85},
    {"ovfr.cok", 1, {}, 24},          {"ovbf.cok", 4, {}, 7},          {"ovif.cok", 7, {}, 19},
    {"ovng.cok", 2, {}, 22},          {"ovch.ics", 4, {}, ChimeCount},
};

using ClipMaker = SynthClip (*)(int);

// The banks of places, weather, alarm and chimes that this file makes itself.
struct OwnBank {
    const char* file;
    ClipMaker make;  // sounds; the chimes bank has its pictures in front
};

constexpr OwnBank OwnBanks[] = {
    {"ovda.3bs", DayBackgroundClip}, {"ovna.3bs", NightBackgroundClip}, {"oves.3bs", BrookClip},
    {"ovef.3bs", FireClip},          {"ovfw.3bs", WindGustClip},        {"ovel.3bs", RainClip},
    {"ovrs.3bs", ThunderClip},       {"ovac.3bs", AlarmClip},           {"ovch.ics", ChimeSound},
};

constexpr const char* ChimesBank = "ovch.ics";

bool IsVoiceBank(const std::string& file)
{
    const auto& names = VoiceBankNames();
    return std::find(names.begin(), names.end(), file) != names.end();
}

const OwnBank* FindOwnBank(const std::string& file)
{
    for (const OwnBank& own : OwnBanks) {
        if (file == own.file)
            return &own;
    }
    return nullptr;
}

size_t ClipCount(const ShippedBank& bank)
{
    if (IsThreeByteBank(bank.file)) {
        return std::accumulate(bank.groupCounts.begin(), bank.groupCounts.end(), size_t{0});
    }
    return bank.entryCount;
}

BankClip Encoded(const SynthClip& clip)
{
    BankClip out;
    out.bytes = EncodeClip(clip);
    return out;
}

// Queues the making of every clip of `bank` into `clips`, in entry order.
void QueueBank(const ShippedBank& bank, std::vector<BankClip>& clips, WorkQueue& queue)
{
    const std::string file = bank.file;
    const size_t sounds = ClipCount(bank);
    if (IsVoiceBank(file)) {
        queue.Push([file, sounds, &clips, &queue] {
            auto made = std::make_shared<std::vector<SynthClip>>(VoiceBankClips(file));
            if (made->size() != sounds) {
                throw std::runtime_error(file + ": " + std::to_string(made->size()) + " clips made, " +
                                         std::to_string(sounds) + " expected");
            }
            clips.resize(sounds);
            for (size_t i = 0; i < sounds; ++i) {
                queue.Push([made, i, &clips] {
                    clips[i] = Encoded((*made)[i]);
                    (*made)[i] = SynthClip();  // the samples are no longer needed
                });
            }
        });
        return;
    }
    const OwnBank* own = FindOwnBank(file);
    if (own == nullptr)
        throw std::runtime_error(file + ": no generator for this bank");
    const bool chimes = file == ChimesBank;
    const size_t pictures = chimes ? sounds : 0;
    clips.resize(pictures + sounds);
    for (size_t i = 0; i < pictures; ++i) {
        queue.Push([i, &clips] {
            clips[i].bytes = ChimePicture(static_cast<int>(i));
            clips[i].scrambled = false;
        });
    }
    const ClipMaker make = own->make;
    for (size_t i = 0; i < sounds; ++i) {
        queue.Push([make, i, pictures, &clips] { clips[pictures + i] = Encoded(make(static_cast<int>(i))); });
    }
}

}  // namespace

int BuildAllBanks(const std::string& distDir)
{
    try {
        const auto started = std::chrono::steady_clock::now();
        constexpr size_t bankCount = std::size(ShippedBanks);
        std::vector<std::vector<BankClip>> clips(bankCount);
        WorkQueue queue;
        // The voice banks are the longest jobs: they go first.
        for (int pass = 0; pass < 2; ++pass) {
            for (size_t b = 0; b < bankCount; ++b) {
                if (IsVoiceBank(ShippedBanks[b].file) == (pass == 0))
                    QueueBank(ShippedBanks[b], clips[b], queue);
            }
        }
        queue.Run();

        size_t total = 0;
        for (size_t b = 0; b < bankCount; ++b) {
            const ShippedBank& bank = ShippedBanks[b];
            total += WriteBankFile(distDir, bank.file, bank.revision, bank.groupCounts, bank.entryCount, clips[b]);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("bankmaker: %zu banks, %.1f MB, in %.1f s\n", bankCount, static_cast<double>(total) / 1e6, seconds);
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "bankmaker: " << failure.what() << '\n';
        return 1;
    }
}
