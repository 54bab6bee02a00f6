// Decodes every clip of the sound banks in a folder once, through the library's
// own decoders, and prints how much sound of each kind that was and what it
// cost. Made to be counted by callgrind: the same banks give the same
// instruction counts, whatever else the machine is doing.
//
//   BankClipDecode [folder]   (the banks the build writes into dist/ by default)

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Decoders.h"
#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr size_t kReadFrames = 512;  // what the mixing stage asks for at a time

struct Totals {
    int clips = 0;
    double seconds = 0.0;  // of sound
};

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// "Vorbis 22050 Hz mono" and the like.
std::string Kind(const std::vector<std::uint8_t>& clip, const ovelaudio::Decoder& decoder)
{
    const bool ogg = clip.size() >= 4 && clip[0] == 'O' && clip[1] == 'g' && clip[2] == 'g' && clip[3] == 'S';
    return std::string(ogg ? "Vorbis " : "WAVE   ") + std::to_string(decoder.Rate()) + " Hz " +
           (decoder.Channels() == 1 ? "mono" : std::to_string(decoder.Channels()) + " channels");
}

// Frames decoded, in pieces of the mixing stage's size.
uint64_t DecodeAll(ovelaudio::Decoder& decoder)
{
    std::vector<float> frames(kReadFrames * decoder.Channels());
    uint64_t total = 0;
    while (const size_t got = decoder.Read(frames.data(), kReadFrames))
        total += got;
    return total;
}

// Every sound clip of one bank (not the chimes bank's pictures) added to totals.
bool DecodeBank(const std::string& folder, TBankId id, std::map<std::string, Totals>& totals)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    TMemoryBankFile file(ReadFile(folder + "/" + BankFileNames[id]));
    TBankHeader header;
    if (ReadBankHeader(file, row.Kind, row.SingleGroup, header) != TBankVerdict::Sound)
        return false;
    TClipBuffer clip;
    for (std::uint32_t entry = 0; entry < header.TableEntries; ++entry) {
        if (IsChimePicture(header, entry) || !ReadEntryClip(file, header, entry, clip))
            continue;
        UnscrambleClip(header.Kind, ClipSoundNumber(id, entry, header.EntryCount), clip);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
        int error = 0;
        auto decoder = ovelaudio::OpenDecoder(std::make_unique<ovelaudio::MemorySource>(bytes, clip.Bytes), error);
        if (!decoder) {
            std::printf("%s entry %u does not decode: error %d\n", BankFileNames[id], entry, error);
            continue;
        }
        const uint64_t frames = DecodeAll(*decoder);
        Totals& kind = totals[Kind({bytes, bytes + clip.Bytes}, *decoder)];
        ++kind.clips;
        kind.seconds += static_cast<double>(frames) / decoder->Rate();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : OVEL_DIST_DIR;
    std::map<std::string, Totals> totals;
    const auto start = std::chrono::steady_clock::now();
    int banks = 0;
    for (int id = 0; id < SoundBankCount; ++id)
        banks += DecodeBank(folder, static_cast<TBankId>(id), totals) ? 1 : 0;
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    if (banks == 0) {
        std::fprintf(stderr, "No sound bank in %s\n", folder.c_str());
        return 1;
    }
    double seconds = 0.0;
    std::printf("%d banks in %s:\n", banks, folder.c_str());
    for (const auto& [kind, total] : totals) {
        std::printf("  %-28s %5d clips %8.1f s of sound\n", kind.c_str(), total.clips, total.seconds);
        seconds += total.seconds;
    }
    std::printf("%.1f s of sound decoded in %.3f s: %.0fx real time\n", seconds, spent.count(),
                seconds / spent.count());
    return 0;
}
