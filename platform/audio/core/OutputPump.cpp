#include "platform/audio/core/OutputPump.h"

#include "platform/audio/bass.h"

#include <algorithm>
#include <cstring>

namespace ovelaudio {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kShortQueueMs = 150;  // while no stream plays: three periods
constexpr uint32_t kAheadMs = 150;       // mixed but not yet handed over: an END's answer joins here
constexpr auto kPeriod = std::chrono::milliseconds(50);
// The device takes nothing this long while every call succeeds: an endpoint
// that was unplugged.
constexpr auto kStalledAfter = std::chrono::milliseconds(500);
constexpr int kMaxFailuresInARow = 20;  // a second of failed calls: the device is gone

uint32_t FramesOf(uint32_t ms, uint32_t rate) { return static_cast<uint32_t>(uint64_t(rate) * ms / 1000); }

}  // namespace

std::unique_ptr<OutputDriver> OutputPump::Open(std::unique_ptr<DeviceQueue> device, RenderFn render, FailFn fail,
                                               int& error)
{
    std::unique_ptr<OutputPump> pump(new OutputPump(std::move(device), std::move(render), std::move(fail)));
    try {
        pump->thread_ = std::thread(&OutputPump::Run, pump.get());
    } catch (const std::system_error&) {
        error = BASS_ERROR_DRIVER;
        return nullptr;
    }
    int entered = BASS_OK;
    {
        std::unique_lock<std::mutex> lock(pump->mutex_);
        pump->changed_.wait(lock, [&] { return pump->state_ != State::Entering; });
        entered = pump->enterError_;
    }
    if (entered != BASS_OK) {
        error = entered;
        return nullptr;  // its thread has ended by itself
    }
    return pump;
}

OutputPump::OutputPump(std::unique_ptr<DeviceQueue> device, RenderFn render, FailFn fail)
    : device_(std::move(device)), render_(std::move(render)), fail_(std::move(fail))
{}

OutputPump::~OutputPump()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = State::Ending;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool OutputPump::Start()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (failed_)
        return false;
    if (state_ == State::Idle) {
        state_ = State::Starting;
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return state_ != State::Starting; });
    return !failed_;
}

void OutputPump::Stop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (state_ != State::Running)
        return;
    state_ = State::Idle;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !pumping_; });
}

void OutputPump::Wake()
{
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
    changed_.notify_all();
}

void OutputPump::Run()
{
    const int error = device_->Enter();
    std::unique_lock<std::mutex> lock(mutex_);
    enterError_ = error;
    if (error != BASS_OK) {
        state_ = State::Ending;
        changed_.notify_all();
        return;
    }
    const uint32_t rate = device_->Rate();
    aheadFrames_ = FramesOf(kAheadMs, rate);
    fullFrames_ = std::min(FramesOf(kOutputQueueMs, rate), device_->Capacity());
    shortFrames_ = std::min(FramesOf(kShortQueueMs, rate), fullFrames_);
    mix_.assign(size_t(aheadFrames_ + fullFrames_) * device_->Speakers(), 0.0f);
    state_ = State::Idle;
    changed_.notify_all();
    for (;;) {
        changed_.wait(lock, [this] { return state_ == State::Starting || state_ == State::Ending; });
        if (state_ == State::Ending)
            break;
        Pump(lock);
    }
    lock.unlock();
    device_->Leave(underruns_);
}

void OutputPump::Pump(std::unique_lock<std::mutex>& lock)
{
    pumping_ = true;
    lastProgress_ = Clock::now();
    failuresInARow_ = 0;
    while (Pumping()) {
        woken_ = false;
        lock.unlock();
        const bool working = Step();
        lock.lock();
        if (!working) {
            if (state_ != State::Ending)
                state_ = State::Idle;
            break;
        }
        if (state_ == State::Starting && playing_) {
            state_ = State::Running;
            changed_.notify_all();
        }
        changed_.wait_for(lock, kPeriod, [this] { return woken_ || !Pumping(); });
    }
    lock.unlock();
    device_->Halt();
    playing_ = false;
    lock.lock();
    pumping_ = false;
    changed_.notify_all();
}

bool OutputPump::Step()
{
    uint32_t queued = 0;
    DeviceStatus status = device_->Queued(queued);
    if (status == DeviceStatus::Ok) {
        const auto now = Clock::now();
        if (!playing_ || queued < queuedAfterFill_)
            lastProgress_ = now;
        else if (now - lastProgress_ > kStalledAfter)
            status = DeviceStatus::Lost;
        if (playing_ && queued == 0 && sounding_)
            underruns_++;
    }
    if (status == DeviceStatus::Ok)
        status = Fill(queued);
    if (status == DeviceStatus::Ok && !playing_) {
        status = device_->Play();
        playing_ = status == DeviceStatus::Ok;
    }
    failuresInARow_ = status == DeviceStatus::Failed ? failuresInARow_ + 1 : 0;
    if (status == DeviceStatus::Lost || failuresInARow_ >= kMaxFailuresInARow) {
        Fail();
        return false;
    }
    return true;
}

DeviceStatus OutputPump::Fill(uint32_t queued)
{
    const uint32_t target = sounding_ ? fullFrames_ : shortFrames_;
    queuedAfterFill_ = queued;
    if (queued >= target)
        return DeviceStatus::Ok;
    const uint32_t frames = target - queued;
    const size_t speakers = device_->Speakers();
    sounding_ = render_(mix_.data(), aheadFrames_, frames);
    const DeviceStatus status = device_->Append(mix_.data(), frames);
    std::memmove(mix_.data(), mix_.data() + frames * speakers, aheadFrames_ * speakers * sizeof(float));
    if (status == DeviceStatus::Ok)
        queuedAfterFill_ = queued + frames;
    return status;
}

// The device stops first: left running it might repeat its last round as a buzz.
void OutputPump::Fail()
{
    device_->Halt();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
    }
    fail_();
}

}  // namespace ovelaudio
