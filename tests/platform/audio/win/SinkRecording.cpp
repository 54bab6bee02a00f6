#include "SinkRecording.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace {

constexpr uint64_t kFrameBytes = 2 * sizeof(int16_t);
constexpr DWORD kPollMs = 50;
constexpr int kMaxPolls = 200;  // the monitor runs in real time: ten seconds is plenty
constexpr double kToneHz = 440;
constexpr double kTwoPi = 6.283185307179586;

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

std::optional<SinkRecording> SinkRecording::Open()
{
    const char* path = std::getenv("OVEL_SINK_RECORDING");
    if (!path || !*path)
        return std::nullopt;
    return SinkRecording(path);
}

uint64_t SinkRecording::Frames() const
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / kFrameBytes;
}

std::vector<int16_t> SinkRecording::Read(uint64_t from, size_t frames) const
{
    for (int poll = 0; poll < kMaxPolls && Frames() < from + frames; ++poll)
        Sleep(kPollMs);
    if (Frames() < from + frames)
        return {};
    std::vector<int16_t> samples(frames * 2);
    std::ifstream file(path_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from * kFrameBytes));
    file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(frames * kFrameBytes));
    return file ? samples : std::vector<int16_t>{};
}

ChannelLevels SinkRecording::LevelsOnceSounding(uint64_t start) const
{
    return LevelsOf(Read(start + kSettleFrames, kWindowFrames));
}

ChannelLevels LevelsOf(const std::vector<int16_t>& stereo)
{
    double sums[2] = {};
    for (size_t i = 0; i < stereo.size(); ++i)
        sums[i % 2] += double(stereo[i]) * stereo[i];
    const double frames = double(std::max<size_t>(stereo.size() / 2, 1));
    return {std::sqrt(sums[0] / frames) / 32768.0, std::sqrt(sums[1] / frames) / 32768.0};
}

float ToneSample(uint64_t frame)
{
    return 0.5f * float(std::sin(kTwoPi * kToneHz * double(frame) / SinkRecording::kRate));
}

std::vector<uint8_t> MonoToneWave()
{
    constexpr uint32_t kRate = SinkRecording::kRate;
    const uint32_t dataBytes = kRate * 2;
    std::vector<uint8_t> wave;
    wave.insert(wave.end(), {'R', 'I', 'F', 'F'});
    PutLe(wave, 36 + dataBytes, 4);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(wave, 16, 4);
    PutLe(wave, 1, 2);  // PCM
    PutLe(wave, 1, 2);  // mono
    PutLe(wave, kRate, 4);
    PutLe(wave, kRate * 2, 4);
    PutLe(wave, 2, 2);
    PutLe(wave, 16, 2);
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    PutLe(wave, dataBytes, 4);
    for (uint32_t i = 0; i < kRate; ++i)
        PutLe(wave, uint32_t(int16_t(32767 * ToneSample(i))), 2);
    return wave;
}
