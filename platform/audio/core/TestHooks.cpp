#include "platform/audio/core/TestHooks.h"

#include "platform/audio/core/Engine.h"
#include "platform/audio/core/NoSoundDriver.h"

#include <algorithm>
#include <atomic>

namespace ovelaudio::testhooks {
namespace {

std::atomic<bool> manualNoSound{false};
std::atomic<uint32_t> noSoundAhead{0};
std::atomic<uint32_t> noSoundSpeakers{NoSoundDriver::kDefaultSpeakers};
std::atomic<uint32_t> urlOpenWait{kNetTimeoutMs};
constexpr uint32_t kSpeakerCounts[] = {2, 4, 6, 8};

}  // namespace

void SetManualNoSound(bool manual) { manualNoSound = manual; }

bool ManualNoSound() { return manualNoSound; }

void SetNoSoundAhead(uint32_t frames) { noSoundAhead = frames; }

uint32_t NoSoundAhead() { return noSoundAhead; }

bool SetNoSoundSpeakers(uint32_t speakers)
{
    if (std::find(std::begin(kSpeakerCounts), std::end(kSpeakerCounts), speakers) == std::end(kSpeakerCounts))
        return false;
    noSoundSpeakers = speakers;
    return true;
}

uint32_t NoSoundSpeakers() { return noSoundSpeakers; }

uint64_t Underruns()
{
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> lock(engine.mutex);
    return engine.Underruns();
}

void SetUrlOpenWait(uint32_t ms) { urlOpenWait = ms; }

uint32_t UrlOpenWait() { return urlOpenWait; }

void RenderNoSound(float* out, uint32_t frames)
{
    if (!Engine::Instance().RenderManual(out, frames))
        std::fill(out, out + size_t(frames) * noSoundSpeakers, 0.0f);
    WaitForSyncs();
}

void FailOutput()
{
    Engine::Instance().DeviceFailed();
    WaitForSyncs();
}

void WaitForSyncs()
{
    Engine& engine = Engine::Instance();
    std::unique_lock<std::mutex> lock(engine.mutex);
    if (const std::shared_ptr<SyncWorker> worker = engine.Worker())
        worker->WaitIdle(lock);
}

size_t LiveStreams()
{
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> lock(engine.mutex);
    return engine.LiveChannels();
}

}  // namespace ovelaudio::testhooks
