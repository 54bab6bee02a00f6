// The thread that keeps a real device filled, over a device that plays,
// runs dry, stands still or fails as each case asks.

#include "platform/audio/bass.h"
#include "platform/audio/core/OutputPump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using ovelaudio::DeviceQueue;
using ovelaudio::DeviceStatus;
using ovelaudio::OutputDriver;
using ovelaudio::OutputPump;

constexpr uint32_t kRate = 44100;
constexpr uint32_t kPlayedPerCall = kRate / 100;
constexpr uint32_t kFullQueue = kRate * ovelaudio::kOutputQueueMs / 1000;
constexpr auto kRunFor = std::chrono::milliseconds(300);
constexpr auto kFailureDeadline = std::chrono::seconds(10);  // far past any failure's detection

enum class Behaviour {
    Plays,           // takes a little of what is queued at every look
    RunsDry,         // has always played all there was
    StandsStill,     // takes nothing, while every call succeeds
    IsLost,          // answers that it is gone
    FailsEveryCall,  // answers a failure every time
};

class FakeQueue final : public DeviceQueue {
public:
    explicit FakeQueue(Behaviour behaviour, int enterError = BASS_OK) : behaviour_(behaviour), enterError_(enterError)
    {}

    int Enter() override
    {
        capacity_ = kRate * (ovelaudio::kOutputQueueMs + 100) / 1000;
        return enterError_;
    }
    void Leave(uint64_t) override {}
    uint32_t Rate() const override { return kRate; }
    uint32_t Speakers() const override { return 2; }
    uint32_t Capacity() const override { return capacity_; }

    DeviceStatus Queued(uint32_t& frames) override
    {
        switch (behaviour_) {
            case Behaviour::Plays:
                queued_ -= std::min(queued_.load(), kPlayedPerCall);
                break;
            case Behaviour::RunsDry:
                queued_ = 0;
                break;
            case Behaviour::StandsStill:
                break;
            case Behaviour::IsLost:
                return DeviceStatus::Lost;
            case Behaviour::FailsEveryCall:
                return DeviceStatus::Failed;
        }
        frames = queued_;
        return DeviceStatus::Ok;
    }

    DeviceStatus Append(const float*, uint32_t frames) override
    {
        queued_ += frames;
        deepest_ = std::max(deepest_.load(), queued_.load());
        return DeviceStatus::Ok;
    }

    DeviceStatus Play() override
    {
        playing_ = true;
        return DeviceStatus::Ok;
    }
    void Halt() override { playing_ = false; }

    bool Playing() const { return playing_; }
    uint32_t Deepest() const { return deepest_; }

private:
    const Behaviour behaviour_;
    const int enterError_;
    uint32_t capacity_ = 0;
    std::atomic<uint32_t> queued_{0};
    std::atomic<uint32_t> deepest_{0};
    std::atomic<bool> playing_{false};
};

struct Pumped {
    FakeQueue* device;
    std::unique_ptr<OutputDriver> output;
};

Pumped Open(
    Behaviour behaviour, std::function<bool()> sounding, std::function<void()> fail = [] {})
{
    auto device = std::make_unique<FakeQueue>(behaviour);
    FakeQueue* raw = device.get();
    int error = BASS_OK;
    auto output = OutputPump::Open(
        std::move(device), [sounding](float*, uint32_t, uint32_t) { return sounding(); }, std::move(fail), error);
    EXPECT_EQ(error, BASS_OK);
    return {raw, std::move(output)};
}

struct DepthCase {
    const char* name;
    bool sounding;
    uint32_t deepestAtLeast;
    uint32_t deepestAtMost;
};

class QueueDepthTest : public testing::TestWithParam<DepthCase> {};

TEST_P(QueueDepthTest, FillsDeepWhileAStreamPlaysAndShortWhileNone)
{
    const bool sounding = GetParam().sounding;
    Pumped pumped = Open(Behaviour::Plays, [=] { return sounding; });
    ASSERT_TRUE(pumped.output->Start());
    std::this_thread::sleep_for(kRunFor);
    pumped.output->Stop();
    EXPECT_FALSE(pumped.device->Playing()) << "Stop left the device playing";
    EXPECT_GE(pumped.device->Deepest(), GetParam().deepestAtLeast);
    EXPECT_LE(pumped.device->Deepest(), GetParam().deepestAtMost);
    EXPECT_EQ(pumped.output->Underruns(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Streams, QueueDepthTest,
                         testing::Values(DepthCase{"Playing", true, kFullQueue, kFullQueue},
                                         DepthCase{"Silent", false, kPlayedPerCall, kFullQueue / 2}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(OutputPumpTest, CountsTheTimesADeviceRanDryOnlyWhileAStreamPlayed)
{
    std::atomic<bool> sounding{false};
    Pumped pumped = Open(Behaviour::RunsDry, [&] { return sounding.load(); });
    ASSERT_TRUE(pumped.output->Start());
    std::this_thread::sleep_for(kRunFor);
    EXPECT_EQ(pumped.output->Underruns(), 0u) << "silence that ran out counted";
    sounding = true;
    std::this_thread::sleep_for(kRunFor);
    pumped.output->Stop();
    EXPECT_GT(pumped.output->Underruns(), 0u);
}

struct FaultCase {
    const char* name;
    Behaviour behaviour;
};

class DeviceFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(DeviceFaultTest, HaltsTheDeviceThenReportsOnceAndStaysDown)
{
    std::atomic<int> failures{0};
    std::promise<bool> playingWhenReported;
    FakeQueue* device = nullptr;
    Pumped pumped = Open(
        GetParam().behaviour, [] { return true; },
        [&] {
            if (failures++ == 0)
                playingWhenReported.set_value(device->Playing());
        });
    device = pumped.device;
    std::future<bool> reported = playingWhenReported.get_future();
    pumped.output->Start();
    ASSERT_EQ(reported.wait_for(kFailureDeadline), std::future_status::ready);

    EXPECT_FALSE(reported.get()) << "the device still played when the failure was reported";
    EXPECT_FALSE(pumped.output->Start()) << "a failed device started again";
    pumped.output.reset();
    EXPECT_EQ(failures, 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, DeviceFaultTest,
                         testing::Values(FaultCase{"StandsStill", Behaviour::StandsStill},
                                         FaultCase{"IsLost", Behaviour::IsLost},
                                         FaultCase{"FailsEveryCall", Behaviour::FailsEveryCall}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(OutputPumpTest, ADeviceThatCannotBeSetUpIsNotOpened)
{
    int error = BASS_OK;
    auto output = OutputPump::Open(
        std::make_unique<FakeQueue>(Behaviour::Plays, BASS_ERROR_FORMAT),
        [](float*, uint32_t, uint32_t) { return false; }, [] {}, error);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(error, BASS_ERROR_FORMAT);
}

}  // namespace
