#include "platform/audio/win/WaveFormats.h"

#include <algorithm>
#include <cmath>

namespace ovelaudio {
namespace {

constexpr GUID kPcmSubFormat = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

WAVEFORMATEXTENSIBLE Extensible(uint32_t rate, uint32_t speakers, WORD bits, const GUID& subFormat)
{
    WAVEFORMATEXTENSIBLE format{};
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = static_cast<WORD>(speakers);
    format.Format.nSamplesPerSec = rate;
    format.Format.wBitsPerSample = bits;
    format.Format.nBlockAlign = static_cast<WORD>(speakers * bits / 8);
    format.Format.nAvgBytesPerSec = rate * format.Format.nBlockAlign;
    format.Format.cbSize = sizeof format - sizeof format.Format;
    format.Samples.wValidBitsPerSample = bits;
    format.dwChannelMask = ChannelMaskOf(speakers);
    format.SubFormat = subFormat;
    return format;
}

}  // namespace

uint32_t SpeakersOfChannels(uint32_t channels)
{
    if (channels >= 8)
        return 8;
    if (channels >= 6)
        return 6;
    return channels >= 4 ? 4 : 2;
}

DWORD ChannelMaskOf(uint32_t speakers)
{
    switch (speakers) {
        case 4:
            return SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT | SPEAKER_BACK_LEFT | SPEAKER_BACK_RIGHT;
        case 6:
            return ChannelMaskOf(4) | SPEAKER_FRONT_CENTER | SPEAKER_LOW_FREQUENCY;
        case 8:
            return ChannelMaskOf(6) | SPEAKER_SIDE_LEFT | SPEAKER_SIDE_RIGHT;
        default:
            return SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    }
}

WAVEFORMATEXTENSIBLE Pcm16Format(uint32_t rate, uint32_t speakers)
{
    WAVEFORMATEXTENSIBLE format = Extensible(rate, speakers, 16, kPcmSubFormat);
    if (speakers <= 2) {
        format.Format.wFormatTag = WAVE_FORMAT_PCM;
        format.Format.cbSize = 0;
    }
    return format;
}

void ConvertToPcm16(const float* in, void* out, size_t samples)
{
    auto* pcm = static_cast<int16_t*>(out);
    for (size_t i = 0; i < samples; ++i) {
        const float scaled = std::clamp(in[i] * 32767.0f, -32768.0f, 32767.0f);
        pcm[i] = static_cast<int16_t>(std::lrint(scaled));
    }
}

}  // namespace ovelaudio
