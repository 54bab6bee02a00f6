#pragma once
// What the null sink played, as record-sink.sh records it around a test.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ChannelLevels {
    double left = 0;  // root mean square, full scale 1
    double right = 0;
};

class SinkRecording {
public:
    static constexpr uint32_t kRate = 44100;
    static constexpr uint32_t kSettleFrames = kRate;      // more than an output needs to start sounding
    static constexpr uint32_t kWindowFrames = kRate / 2;  // measured while a sound surely plays

    // Empty when the test runs without the recorder around it.
    static std::optional<SinkRecording> Open();

    uint64_t Frames() const;  // recorded so far
    // Waits (a few seconds at most) until frames past from are recorded;
    // empty when they do not come.
    std::vector<int16_t> Read(uint64_t from, size_t frames) const;
    // Of a sound started when the recording held start frames, measured once
    // it surely sounds; waits for it.
    ChannelLevels LevelsOnceSounding(uint64_t start) const;

private:
    explicit SinkRecording(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

ChannelLevels LevelsOf(const std::vector<int16_t>& stereo);

// The tests' tone: 440 Hz at half scale, sampled at SinkRecording::kRate.
float ToneSample(uint64_t frame);

// One second of the tone, 16-bit mono RIFF/WAVE: a whole number of its
// periods, so it loops without a seam.
std::vector<uint8_t> MonoToneWave();
