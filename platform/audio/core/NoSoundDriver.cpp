#include "platform/audio/core/NoSoundDriver.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace ovelaudio {
namespace {

constexpr uint32_t kPeriodsPerSecond = 100;

uint32_t PeriodFrames(uint32_t rate) { return std::max(1u, rate / kPeriodsPerSecond); }

}  // namespace

NoSoundDriver::NoSoundDriver(uint32_t rate, uint32_t speakers, RenderFn render, bool manual, uint32_t aheadFrames)
    : rate_(rate), speakers_(speakers), render_(std::move(render)), manual_(manual), aheadFrames_(aheadFrames),
      mix_(size_t(aheadFrames + PeriodFrames(rate)) * speakers, 0.0f)
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
        Play(out, frames);
    } else {
        std::fill(out, out + frames * speakers_, 0.0f);
    }
}

void NoSoundDriver::Play(float* out, uint32_t frames)
{
    const size_t samples = size_t(frames) * speakers_;
    const size_t ahead = size_t(aheadFrames_) * speakers_;
    if (mix_.size() < ahead + samples)
        mix_.resize(ahead + samples);  // only a manual block longer than a period: mixing never allocates otherwise
    render_(mix_.data(), aheadFrames_, frames);
    std::copy(mix_.begin(), mix_.begin() + static_cast<std::ptrdiff_t>(samples), out);
    std::memmove(mix_.data(), mix_.data() + samples, ahead * sizeof(float));
}

// Renders one period at a time against the clock, so time runs as on a real device.
void NoSoundDriver::Run()
{
    const uint32_t frames = PeriodFrames(rate_);
    const auto period = std::chrono::microseconds(1000000 / kPeriodsPerSecond);
    std::vector<float> played(frames * speakers_);
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_) {
        lock.unlock();
        Play(played.data(), frames);
        lock.lock();
        next += period;
        stopRequested_.wait_until(lock, next, [this] { return !running_; });
    }
}

}  // namespace ovelaudio
