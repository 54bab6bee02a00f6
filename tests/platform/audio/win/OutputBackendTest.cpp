// The system's outputs under Wine, each heard through the null sink's monitor:
// shared-mode endpoints, which the library plays through where the system
// has them, and DirectSound, which it keeps for older systems.

#include "platform/audio/bass.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "platform/audio/win/SharedModeOutput.h"
#include "OutputTestParts.h"
#include "SinkRecording.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

namespace {

using ovelaudio::DeviceEntry;
using ovelaudio::OutputBackend;

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr DWORD kAfterStopMs = 100;
constexpr double kAudible = 0.2;  // RMS of the recording, full scale 1 (0.35 expected)
constexpr double kSilent = 0.005;

struct BackendCase {
    const char* name;
    std::unique_ptr<OutputBackend> (*make)();
};

class OutputBackendTest : public testing::TestWithParam<BackendCase> {
protected:
    std::unique_ptr<OutputBackend> output_ = GetParam().make();
};

TEST_P(OutputBackendTest, ListsEnabledDevicesWithOneDefaultUnderStableNumbers)
{
    const std::vector<DeviceEntry> first = output_->Devices();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::count_if(first.begin(), first.end(), [](const DeviceEntry& d) { return d.isDefault; }), 1);
    for (const DeviceEntry& device : first) {
        EXPECT_TRUE(device.enabled) << device.name;
        EXPECT_FALSE(device.name.empty());
        EXPECT_FALSE(device.driver.empty());
    }

    const std::vector<DeviceEntry> again = output_->Devices();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(again[i].name, first[i].name);
}

TEST_P(OutputBackendTest, RefusesADeviceNumberPastTheList)
{
    int error = BASS_OK;
    EXPECT_EQ(
        output_->Open(
            output_->Devices().size(), kRate, nullptr, [](float*, uint32_t, uint32_t) { return false; }, [] {}, error),
        nullptr);
    EXPECT_EQ(error, BASS_ERROR_DEVICE);
}

TEST_P(OutputBackendTest, PlaysWhatItRendersOnTheRightSpeakerUntilStopped)
{
    const std::optional<SinkRecording> recording = SinkRecording::Open();
    ASSERT_TRUE(recording) << "run through record-sink.sh";
    const std::vector<DeviceEntry> devices = output_->Devices();
    int error = BASS_OK;
    std::atomic<int> failures{0};
    std::unique_ptr<LeftTone> tone;
    auto driver = output_->Open(
        DefaultIndex(devices), kRate, nullptr,
        [&](float* out, uint32_t ahead, uint32_t frames) { return tone->Render(out, ahead, frames); },
        [&] { failures++; }, error);
    ASSERT_NE(driver, nullptr) << "error " << error;
    ASSERT_EQ(driver->Speakers(), 2u) << "the null sink is stereo";
    EXPECT_EQ(driver->Rate(), kRate);
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
    EXPECT_EQ(driver->Underruns(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, OutputBackendTest,
    testing::Values(
        BackendCase{"SharedMode", [] { return std::unique_ptr<OutputBackend>(new ovelaudio::SharedModeOutput); }},
        BackendCase{"DirectSound", [] { return std::unique_ptr<OutputBackend>(new ovelaudio::DirectSoundOutput); }}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SharedModeTest, IsWhatThisSystemOffers) { EXPECT_TRUE(ovelaudio::SharedModeAvailable()); }

}  // namespace
