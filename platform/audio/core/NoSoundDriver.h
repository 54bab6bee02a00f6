#pragma once
// Device 0, "no sound": mixes in real time on its own thread and drops the
// result, so syncs still fire. In manual mode nothing runs by itself; the
// mix advances only through RenderManual.

#include "platform/audio/core/Backends.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace ovelaudio {

class NoSoundDriver : public OutputDriver {
public:
    static constexpr uint32_t kSpeakers = 2;

    NoSoundDriver(uint32_t rate, RenderFn render, bool manual);
    ~NoSoundDriver() override;

    uint32_t Speakers() const override { return kSpeakers; }
    bool Emulated() const override { return false; }
    bool Start() override;
    void Stop() override;

    bool IsManual() const { return manual_; }
    // Mixes frames when started; silence while stopped.
    void RenderManual(float* out, uint32_t frames);

private:
    void Run();

    uint32_t rate_;
    RenderFn render_;
    bool manual_;
    std::atomic<bool> running_{false};
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    std::thread thread_;
};

}  // namespace ovelaudio
