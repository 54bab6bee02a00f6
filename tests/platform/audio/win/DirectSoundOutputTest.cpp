// The DirectSound output under Wine, heard through the null sink's monitor.

#include "platform/audio/bass.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "SinkRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

using ovelaudio::DeviceEntry;
using ovelaudio::DirectSoundOutput;

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr DWORD kAfterStopMs = 100;
constexpr double kAudible = 0.2;    // RMS of the recording, full scale 1 (0.35 expected)
constexpr double kSilent = 0.005;

size_t DefaultIndex(const std::vector<DeviceEntry>& devices)
{
    return size_t(std::find_if(devices.begin(), devices.end(), [](const DeviceEntry& d) { return d.isDefault; }) -
                  devices.begin());
}

// The tone on the first channel only.
class LeftTone {
public:
    explicit LeftTone(uint32_t channels) : channels_(channels) {}

    void Render(float* out, uint32_t frames)
    {
        std::fill(out, out + size_t(frames) * channels_, 0.0f);
        for (uint32_t i = 0; i < frames; ++i, ++frame_)
            out[size_t(i) * channels_] = ToneSample(frame_);
        calls_++;
    }

    int Calls() const { return calls_; }

private:
    uint32_t channels_;
    uint64_t frame_ = 0;
    std::atomic<int> calls_{0};
};

TEST(DirectSoundOutputTest, ListsEnabledDevicesWithOneDefaultUnderStableNumbers)
{
    DirectSoundOutput output;
    const std::vector<DeviceEntry> first = output.Devices();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::count_if(first.begin(), first.end(), [](const DeviceEntry& d) { return d.isDefault; }), 1);
    for (const DeviceEntry& device : first) {
        EXPECT_TRUE(device.enabled) << device.name;
        EXPECT_FALSE(device.name.empty());
        EXPECT_FALSE(device.driver.empty());
    }

    const std::vector<DeviceEntry> again = output.Devices();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(again[i].name, first[i].name);
}

TEST(DirectSoundOutputTest, RefusesADeviceNumberPastTheList)
{
    DirectSoundOutput output;
    int error = BASS_OK;
    EXPECT_EQ(output.Open(output.Devices().size(), kRate, nullptr, [](float*, uint32_t) {}, [] {}, error), nullptr);
    EXPECT_EQ(error, BASS_ERROR_DEVICE);
}

TEST(DirectSoundOutputTest, PlaysWhatItRendersOnTheRightSpeakerUntilStopped)
{
    const std::optional<SinkRecording> recording = SinkRecording::Open();
    ASSERT_TRUE(recording) << "run through record-sink.sh";
    DirectSoundOutput output;
    const std::vector<DeviceEntry> devices = output.Devices();
    int error = BASS_OK;
    std::atomic<int> failures{0};
    std::unique_ptr<LeftTone> tone;
    auto driver = output.Open(
        DefaultIndex(devices), kRate, nullptr, [&](float* out, uint32_t frames) { tone->Render(out, frames); },
        [&] { failures++; }, error);
    ASSERT_NE(driver, nullptr) << "error " << error;
    ASSERT_EQ(driver->Speakers(), 2u) << "the null sink is stereo";
    tone = std::make_unique<LeftTone>(driver->Speakers());

    const uint64_t start = recording->Frames();
    ASSERT_TRUE(driver->Start());
    const ChannelLevels levels = recording->LevelsOnceSounding(start);
    driver->Stop();
    const int callsAtStop = tone->Calls();

    EXPECT_GT(levels.left, kAudible);
    EXPECT_LT(levels.right, kSilent);
    EXPECT_GT(callsAtStop, 0);
    Sleep(kAfterStopMs);
    EXPECT_EQ(tone->Calls(), callsAtStop) << "rendering went on after Stop";
    EXPECT_EQ(failures, 0);
}

}  // namespace
