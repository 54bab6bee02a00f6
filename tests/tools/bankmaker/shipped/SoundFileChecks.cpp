#include "tests/tools/bankmaker/shipped/SoundFileChecks.h"

#include "player/engine/BankFormat.h"
#include "tests/tools/bankmaker/synth/VorbisDecode.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr int kPlayerRates[] = {22050, 44100};
// Quieter than -54 dBFS all through is no recording anyone would ship.
constexpr int kSilentPeak = 64;
constexpr std::uint32_t kPcmFormat = 1;
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kRiffHeader = 12;
constexpr std::size_t kPcmFormatSize = 16;
constexpr int kChimePictureSide = 52;
constexpr std::size_t kBmpFileHeader = 14;
constexpr std::size_t kBmpInfoHeader = 40;

TFileCheck Failed(const std::string& problem) { return {problem, 0}; }

bool SaneChannels(std::uint32_t channels) { return channels == 1 || channels == 2; }

bool PlayerRate(std::uint32_t rate)
{
    return std::find(std::begin(kPlayerRates), std::end(kPlayerRates), static_cast<int>(rate)) !=
           std::end(kPlayerRates);
}

std::uint32_t Field(const std::vector<std::uint8_t>& file, std::size_t pos, std::size_t width)
{
    return LoadLittleEndian(file.data() + pos, width);
}

bool HasTag(const std::vector<std::uint8_t>& file, std::size_t pos, const char* tag)
{
    return file.size() >= pos + 4 && std::memcmp(file.data() + pos, tag, 4) == 0;
}

struct TWaveFormat {
    std::uint32_t Channels = 0;
    std::uint32_t Rate = 0;
    std::uint32_t BlockAlign = 0;
};

// The problem with a "fmt " chunk body at pos, or nothing.
std::optional<std::string> FormatProblem(const std::vector<std::uint8_t>& file, std::size_t pos, std::size_t size,
                                         TWaveFormat& format)
{
    if (size < kPcmFormatSize)
        return "fmt chunk of " + std::to_string(size) + " bytes";
    if (Field(file, pos, 2) != kPcmFormat)
        return "not PCM";
    format.Channels = Field(file, pos + 2, 2);
    format.Rate = Field(file, pos + 4, 4);
    format.BlockAlign = Field(file, pos + 12, 2);
    const std::uint32_t bits = Field(file, pos + 14, 2);
    if (!SaneChannels(format.Channels))
        return std::to_string(format.Channels) + " channels";
    if (bits != 8 && bits != 16)
        return std::to_string(bits) + " bits";
    if (!PlayerRate(format.Rate))
        return std::to_string(format.Rate) + " Hz";
    if (format.BlockAlign != format.Channels * bits / 8 || Field(file, pos + 8, 4) != format.Rate * format.BlockAlign)
        return "block align or byte rate do not fit";
    return std::nullopt;
}

}  // namespace

TFileCheck CheckVorbisFile(const std::vector<std::uint8_t>& file)
{
    const DecodedVorbis decoded = DecodeVorbis(file);
    if (decoded.samples.empty())
        return Failed("does not decode");
    if (!SaneChannels(static_cast<std::uint32_t>(decoded.channels)))
        return Failed(std::to_string(decoded.channels) + " channels");
    if (!PlayerRate(static_cast<std::uint32_t>(decoded.rate)))
        return Failed(std::to_string(decoded.rate) + " Hz");
    const auto loud = [](short s) { return std::abs(s) >= kSilentPeak; };
    if (std::none_of(decoded.samples.begin(), decoded.samples.end(), loud))
        return Failed("silent");
    return {"", decoded.channels};
}

TFileCheck CheckWaveFile(const std::vector<std::uint8_t>& file)
{
    if (!HasTag(file, 0, "RIFF") || !HasTag(file, 8, "WAVE"))
        return Failed("no RIFF/WAVE header");
    if (Field(file, 4, 4) + kChunkHeader != file.size())
        return Failed("RIFF size does not fit the file");
    std::optional<TWaveFormat> format;
    std::size_t pos = kRiffHeader;
    while (pos + kChunkHeader <= file.size()) {
        const std::size_t body = pos + kChunkHeader;
        const std::size_t size = Field(file, pos + 4, 4);
        if (size > file.size() - body)
            return Failed("chunk runs past the end");
        if (HasTag(file, pos, "fmt ")) {
            format.emplace();
            if (const std::optional<std::string> problem = FormatProblem(file, body, size, *format))
                return Failed(*problem);
        } else if (HasTag(file, pos, "data")) {
            if (!format)
                return Failed("data before fmt");
            if (size == 0 || size % format->BlockAlign != 0)
                return Failed("data of " + std::to_string(size) + " bytes");
            // The data chunk ends the file; an odd one needs no pad byte there.
            if (body + size + size % 2 < file.size())
                return Failed("bytes after the data chunk");
            return {"", static_cast<int>(format->Channels)};
        }
        pos = body + size + size % 2;
    }
    return Failed("no data chunk");
}

TFileCheck CheckChimePicture(const std::vector<std::uint8_t>& file)
{
    if (file.size() < kBmpFileHeader + kBmpInfoHeader || file[0] != 'B' || file[1] != 'M')
        return Failed("not a BMP");
    if (Field(file, 2, 4) != file.size())
        return Failed("BMP size does not fit the file");
    const auto width = static_cast<std::int32_t>(Field(file, 18, 4));
    const auto height = static_cast<std::int32_t>(Field(file, 22, 4));
    if (width != kChimePictureSide || std::abs(height) != kChimePictureSide)
        return Failed(std::to_string(width) + " x " + std::to_string(height) + " pixels");
    return {"", 0};
}
