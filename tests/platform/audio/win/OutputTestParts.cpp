#include "OutputTestParts.h"

#include "SinkRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

namespace {

constexpr auto kFailureDeadline = std::chrono::seconds(10);  // far past any failure's detection

}  // namespace

size_t DefaultIndex(const std::vector<ovelaudio::DeviceEntry>& devices)
{
    return size_t(
        std::find_if(devices.begin(), devices.end(), [](const ovelaudio::DeviceEntry& d) { return d.isDefault; }) -
        devices.begin());
}

bool LeftTone::Render(float* out, uint32_t ahead, uint32_t frames)
{
    float* fresh = out + size_t(ahead) * channels_;
    std::fill(fresh, fresh + size_t(frames) * channels_, 0.0f);
    for (uint32_t i = 0; i < frames; ++i, ++frame_)
        fresh[size_t(i) * channels_] = ToneSample(frame_);
    calls_++;
    return true;
}

void ExpectReportedOnceAfterHalt(const MisbehavingOutput& open, const std::function<bool()>& playing)
{
    std::atomic<int> failures{0};
    std::promise<bool> playingWhenReported;
    auto output = open([](float*, uint32_t, uint32_t) { return true; },
                       [&] {
                           if (failures++ == 0)
                               playingWhenReported.set_value(playing());
                       });
    ASSERT_NE(output, nullptr);
    std::future<bool> reported = playingWhenReported.get_future();
    output->Start();
    ASSERT_EQ(reported.wait_for(kFailureDeadline), std::future_status::ready);

    EXPECT_FALSE(reported.get()) << "the device still played when the failure was reported";
    EXPECT_FALSE(output->Start()) << "a failed device started again";
    output.reset();
    EXPECT_EQ(failures, 1);
}
