#pragma once
// Device 0, "no sound": mixes in real time on its own thread and drops the
// result, so syncs still fire. In manual mode nothing runs by itself; the
// mix advances only through RenderManual. Like a real output it may keep
// frames mixed ahead of what it plays (none unless asked), and it may have
// more than two speakers, so tests can hear where a mix lands.

#include "platform/audio/core/Backends.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace ovelaudio {

class NoSoundDriver : public OutputDriver {
public:
    static constexpr uint32_t kDefaultSpeakers = 2;

    // speakers: 2, 4, 6 or 8.
    NoSoundDriver(uint32_t rate, uint32_t speakers, RenderFn render, bool manual, uint32_t aheadFrames);
    ~NoSoundDriver() override;

    uint32_t Rate() const override { return rate_; }
    uint32_t Speakers() const override { return speakers_; }
    bool Emulated() const override { return false; }
    bool Start() override;
    void Stop() override;

    bool IsManual() const { return manual_; }
    // Plays frames when started; silence while stopped.
    void RenderManual(float* out, uint32_t frames);

private:
    void Run();
    // Mixes frames more and plays the oldest frames of what is mixed into out.
    void Play(float* out, uint32_t frames);

    uint32_t rate_;
    uint32_t speakers_;
    RenderFn render_;
    bool manual_;
    uint32_t aheadFrames_;
    std::vector<float> mix_;  // the frames mixed ahead, then the new ones
    std::atomic<bool> running_{false};
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    std::thread thread_;
};

}  // namespace ovelaudio
