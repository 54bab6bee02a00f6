#include "platform/audio/core/NoSoundDriver.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace ovelaudio {
namespace {

constexpr uint32_t kPeriodsPerSecond = 100;

}  // namespace

NoSoundDriver::NoSoundDriver(uint32_t rate, RenderFn render, bool manual)
    : rate_(rate), render_(std::move(render)), manual_(manual)
{}

NoSoundDriver::~NoSoundDriver() { Stop(); }

bool NoSoundDriver::Start()
{
    if (running_.exchange(true))
        return true;
    if (!manual_)
        thread_ = std::thread([this] { Run(); });
    return true;
}

void NoSoundDriver::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    stopRequested_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void NoSoundDriver::RenderManual(float* out, uint32_t frames)
{
    if (running_) {
        render_(out, frames);
    } else {
        std::fill(out, out + frames * kSpeakers, 0.0f);
    }
}

// Renders one period at a time against the clock, so time runs as on a real device.
void NoSoundDriver::Run()
{
    const uint32_t frames = std::max(1u, rate_ / kPeriodsPerSecond);
    const auto period = std::chrono::microseconds(1000000 / kPeriodsPerSecond);
    std::vector<float> buffer(frames * kSpeakers);
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_) {
        lock.unlock();
        render_(buffer.data(), frames);
        lock.lock();
        next += period;
        stopRequested_.wait_until(lock, next, [this] { return !running_; });
    }
}

}  // namespace ovelaudio
