#pragma once
// A real output: one thread of its own keeps a device's queue of frames
// filled from the mix. While a stream plays the queue is deep enough to ride
// out a wake-up that comes hundreds of milliseconds late; while none plays it
// is kept short, so a sound that starts after silence is heard soon. The
// thread also mixes a little ahead of what it hands over, so that a stream
// started in answer to another's end can still join where that one stopped.

#include "platform/audio/core/Backends.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace ovelaudio {

// How much sound a device holds queued while a stream plays: what a late
// wake-up of the output's thread may eat before the sound stops.
constexpr uint32_t kOutputQueueMs = 400;

enum class DeviceStatus {
    Ok,
    Failed,  // this call did not work; the next one may
    Lost,    // the device is gone
};

// A device's queue as the pump drives it. Every call comes from the pump's
// thread, Enter first and Leave last.
class DeviceQueue {
public:
    virtual ~DeviceQueue() = default;
    // Sets the device up to hold kOutputQueueMs at least; a BASS_ERROR_* code.
    virtual int Enter() = 0;
    // Tells, once, how often the device ran dry while a stream played, then lets it go.
    virtual void Leave(uint64_t underruns) = 0;
    // Known once Enter succeeded.
    virtual uint32_t Rate() const = 0;
    virtual uint32_t Speakers() const = 0;
    virtual bool Emulated() const { return false; }
    virtual uint32_t Capacity() const = 0;  // frames it can hold queued
    // Frames queued and not yet played; 0 once it ran dry.
    virtual DeviceStatus Queued(uint32_t& frames) = 0;
    virtual DeviceStatus Append(const float* samples, uint32_t frames) = 0;
    // Plays what is queued from where it stands; Halt stops at once.
    virtual DeviceStatus Play() = 0;
    virtual void Halt() = 0;
};

class OutputPump final : public OutputDriver {
public:
    // Null, with error set, when the device cannot be set up.
    static std::unique_ptr<OutputDriver> Open(std::unique_ptr<DeviceQueue> device, RenderFn render, FailFn fail,
                                              int& error);
    ~OutputPump() override;

    uint32_t Rate() const override { return device_->Rate(); }
    uint32_t Speakers() const override { return device_->Speakers(); }
    bool Emulated() const override { return device_->Emulated(); }
    bool Start() override;
    void Stop() override;
    void Wake() override;
    uint64_t Underruns() const override { return underruns_; }

private:
    enum class State {
        Entering,
        Idle,      // waits to be started
        Starting,  // started, its first fill not yet played
        Running,
        Ending,
    };

    OutputPump(std::unique_ptr<DeviceQueue> device, RenderFn render, FailFn fail);
    void Run();
    // Keeps the device filled until stopped or failed; pump lock held.
    void Pump(std::unique_lock<std::mutex>& lock);
    bool Pumping() const { return state_ == State::Starting || state_ == State::Running; }
    // One wake-up's work: false once the device has failed.
    bool Step();
    DeviceStatus Fill(uint32_t queued);
    void Fail();

    std::unique_ptr<DeviceQueue> device_;
    RenderFn render_;
    FailFn fail_;
    std::atomic<uint64_t> underruns_{0};

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Entering;
    bool woken_ = false;
    bool pumping_ = false;  // between a start and the device's halt
    bool failed_ = false;   // for good
    int enterError_ = 0;

    // The thread's own.
    std::vector<float> mix_;  // the frames mixed ahead, then room for a full queue
    uint32_t aheadFrames_ = 0;
    uint32_t fullFrames_ = 0;
    uint32_t shortFrames_ = 0;
    bool sounding_ = false;
    bool playing_ = false;
    uint32_t queuedAfterFill_ = 0;
    int failuresInARow_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;

    std::thread thread_;
};

}  // namespace ovelaudio
