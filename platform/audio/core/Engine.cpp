#include "platform/audio/core/Engine.h"

#include "platform/audio/core/BackendRegistry.h"
#include "platform/audio/core/Limits.h"
#include "platform/audio/core/NoSoundDriver.h"
#include "platform/audio/core/TestHooks.h"

#include <algorithm>

namespace ovelaudio {
namespace {

constexpr float kFullGlobalVolume = 10000.0f;
// An END answered later than this after its clip stopped starts its stream at once.
constexpr uint32_t kChainSeconds = 1;
constexpr size_t kMaxChainPoints = 64;

thread_local bool mixingHere = false;

class MixingScope {
public:
    MixingScope() { mixingHere = true; }
    ~MixingScope() { mixingHere = false; }
    MixingScope(const MixingScope&) = delete;
    MixingScope& operator=(const MixingScope&) = delete;
};

// Index into the backend's list for a device number (-1: the default), or false.
bool PickDevice(const std::vector<DeviceEntry>& devices, int device, size_t& index)
{
    if (device == -1) {
        const auto isDefault = [](const DeviceEntry& d) { return d.enabled && d.isDefault; };
        auto found = std::find_if(devices.begin(), devices.end(), isDefault);
        if (found == devices.end())
            found = std::find_if(devices.begin(), devices.end(), [](const DeviceEntry& d) { return d.enabled; });
        if (found == devices.end())
            return false;
        index = static_cast<size_t>(found - devices.begin());
        return true;
    }
    if (device < 1 || static_cast<size_t>(device) > devices.size())
        return false;
    index = static_cast<size_t>(device - 1);
    return devices[index].enabled;
}

}  // namespace

Engine& Engine::Instance()
{
    // Never destroyed: callers may still be inside the library while the program ends.
    static Engine* engine = new Engine;
    return *engine;
}

int Engine::Open(int device, uint32_t rate, void* window)
{
    std::unique_lock<std::mutex> outputLock(outputMutex_);
    if (IsOpen())
        return BASS_ERROR_ALREADY;
    if (rate == 0)
        rate = kDefaultRate;
    if (rate < kMinRate || rate > kMaxRate)
        return BASS_ERROR_FREQ;
    RenderFn render = [this](float* out, uint32_t ahead, uint32_t frames) { return Render(out, ahead, frames); };
    std::unique_ptr<OutputDriver> driver;
    NoSoundDriver* noSound = nullptr;
    if (device == 0) {
        auto own = std::make_unique<NoSoundDriver>(rate, testhooks::NoSoundSpeakers(), render,
                                                   testhooks::ManualNoSound(), testhooks::NoSoundAhead());
        noSound = own.get();
        driver = std::move(own);
    } else {
        OutputBackend* backend = CurrentOutputBackend();
        size_t index = 0;
        if (!backend || !PickDevice(backend->Devices(), device, index))
            return BASS_ERROR_DEVICE;
        int error = BASS_OK;
        driver = backend->Open(
            index, rate, window, render, [this] { DeviceFailed(); }, error);
        if (!driver)
            return error != BASS_OK ? error : BASS_ERROR_DRIVER;
        device = static_cast<int>(index) + 1;
    }
    auto worker = std::make_shared<SyncWorker>(*this);
    worker->Start();
    {
        std::lock_guard<std::mutex> lock(mutex);
        open_ = true;
        device_ = device;
        rate_ = driver->Rate();
        speakers_ = driver->Speakers();
        mixed_ = firstAhead_ = 0;
        emulated_ = driver->Emulated();
        noSound_ = noSound;
        worker_ = worker;
        listener_ = pendingListener = Listener();
        factors_ = pendingFactors = Factors();
        driver_ = std::move(driver);
    }
    if (driver_->Start())
        return BASS_OK;
    Shut(outputLock);
    return BASS_ERROR_START;
}

int Engine::Close()
{
    std::unique_lock<std::mutex> outputLock(outputMutex_);
    return Shut(outputLock);
}

int Engine::Shut(std::unique_lock<std::mutex>& outputLock)
{
    std::unique_ptr<OutputDriver> driver;
    std::shared_ptr<SyncWorker> worker;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!open_)
            return BASS_ERROR_INIT;
        open_ = false;
        driver = std::move(driver_);
        worker = std::move(worker_);
        noSound_ = nullptr;
        ClearChannels();
    }
    driver->Stop();
    {
        std::lock_guard<std::mutex> lock(mutex);
        underrunsBefore_ += driver->Underruns();
    }
    driver.reset();
    outputLock.unlock();
    worker->Finish();
    return BASS_OK;
}

int Engine::Resume()
{
    std::lock_guard<std::mutex> outputLock(outputMutex_);
    if (!driver_)
        return BASS_ERROR_INIT;
    return driver_->Start() ? BASS_OK : BASS_ERROR_START;
}

int Engine::Pause()
{
    std::lock_guard<std::mutex> outputLock(outputMutex_);
    if (!driver_)
        return BASS_ERROR_INIT;
    driver_->Stop();
    return BASS_OK;
}

bool Engine::RenderManual(float* out, uint32_t frames)
{
    std::lock_guard<std::mutex> outputLock(outputMutex_);
    if (!noSound_ || !noSound_->IsManual())
        return false;
    noSound_->RenderManual(out, frames);
    return true;
}

uint64_t Engine::Underruns() const { return underrunsBefore_ + (driver_ ? driver_->Underruns() : 0); }

DWORD Engine::NewHandle()
{
    if (++lastHandle_ == 0)
        ++lastHandle_;
    return lastHandle_;
}

Channel* Engine::Find(DWORD handle)
{
    const auto found = channels_.find(handle);
    return found == channels_.end() ? nullptr : found->second.get();
}

Channel& Engine::Add(std::unique_ptr<Channel> channel)
{
    Channel& added = *channel;
    if (!added.IsDecodeOnly())
        added.Prepare(rate_);
    if (added.IsSpatial())
        Place(added);
    channels_[added.Handle()] = std::move(channel);
    return added;
}

void Engine::Play(Channel& channel)
{
    if (channel.ended)
        channel.Restart();
    if (channel.playing)
        return;
    channel.playing = true;
    Starting starting{&channel, false, 0};
    starting.chained = TakeChainPoint(starting.at);
    starting_.push_back(starting);
    // Room for it among the playing, so the mixing thread never allocates.
    playing_.reserve(playing_.size() + starting_.size());
    if (driver_)
        driver_->Wake();
}

bool Engine::TakeChainPoint(OutputFrame& frame)
{
    const OutputFrame oldest = firstAhead_ - OutputFrame(kChainSeconds) * rate_;
    while (!chainPoints_.empty() && chainPoints_.front() < oldest)
        chainPoints_.pop_front();
    if (chainPoints_.empty())
        return false;
    frame = chainPoints_.front();
    chainPoints_.pop_front();
    return true;
}

void Engine::Stop(Channel& channel)
{
    Unlist(channel);
    channel.stopped = channel.IsDecodeOnly();
    if (channel.FreesItself())
        Free(channel.Handle());
}

void Engine::Free(DWORD handle)
{
    const auto found = channels_.find(handle);
    if (found == channels_.end())
        return;
    Channel& channel = *found->second;
    Unlist(channel);
    if (channel.owner)
        channel.owner->AsMixer()->Remove(channel);
    if (MixerDecoder* mixer = channel.AsMixer()) {
        const std::vector<Channel*> sources = mixer->Sources();
        for (Channel* source : sources) {
            mixer->Remove(*source);
            if (source->FreesItself())
                Free(source->Handle());
        }
    }
    channels_.erase(found);
}

void Engine::FreeFrom(const void* origin)
{
    std::vector<DWORD> handles;
    for (const auto& entry : channels_)
        if (entry.second->Origin() == origin)
            handles.push_back(entry.first);
    for (DWORD handle : handles)
        Free(handle);
}

void Engine::Attach(Channel& mixer, Channel& source, DWORD sourceFlags)
{
    if (source.owner)
        source.owner->AsMixer()->Remove(source);
    source.sourceFlags = sourceFlags;
    source.owner = &mixer;
    source.stopped = false;
    source.Prepare(mixer.Rate());
    mixer.AsMixer()->Add(source);
}

void Engine::Unlist(Channel& channel)
{
    if (!channel.playing)
        return;
    channel.playing = false;
    playing_.erase(std::remove(playing_.begin(), playing_.end(), &channel), playing_.end());
    starting_.erase(
        std::remove_if(starting_.begin(), starting_.end(), [&](const Starting& s) { return s.channel == &channel; }),
        starting_.end());
}

void Engine::ClearChannels()
{
    playing_.clear();
    starting_.clear();
    chainPoints_.clear();
    endNoteCount_ = 0;
    channels_.clear();
    endsPending_ = false;
    devFailPending_ = false;
}

void Engine::Apply3D()
{
    listener_ = pendingListener;
    factors_ = pendingFactors;
    for (auto& entry : channels_)
        if (entry.second->IsSpatial())
            Place(*entry.second);
}

void Engine::Place(Channel& channel)
{
    channel.spatialGains = SpatialGains(channel.pendingPosition, listener_, factors_, speakers_);
}

bool Engine::MixingHere() { return mixingHere; }

bool Engine::Render(float* out, uint32_t ahead, uint32_t frames)
{
    std::lock_guard<std::mutex> lock(mutex);
    const MixingScope mixing;
    float* fresh = out + static_cast<size_t>(ahead) * speakers_;
    std::fill(fresh, fresh + static_cast<size_t>(frames) * speakers_, 0.0f);
    if (!open_)
        return false;
    firstAhead_ = mixed_ - ahead;
    JoinStarting(out, ahead);
    for (size_t done = 0; done < frames;) {
        const size_t block = std::min<size_t>(kBlockFrames, frames - done);
        AdvanceSlides(block);
        MixBlock(fresh + done * speakers_, block);
        mixed_ += static_cast<OutputFrame>(block);
        done += block;
    }
    return !playing_.empty();
}

void Engine::JoinStarting(float* out, uint32_t ahead)
{
    for (const Starting& starting : starting_) {
        const OutputFrame from =
            starting.chained ? std::clamp<OutputFrame>(starting.at - firstAhead_, 0, ahead) : OutputFrame(0);
        bool playing = true;
        for (OutputFrame at = from; playing && at < ahead;) {
            const size_t block = std::min<size_t>(kBlockFrames, static_cast<size_t>(ahead - at));
            playing = MixChannel(*starting.channel, out + static_cast<size_t>(at) * speakers_, block, firstAhead_ + at);
            at += static_cast<OutputFrame>(block);
        }
        if (playing)
            playing_.push_back(starting.channel);
    }
    starting_.clear();
}

void Engine::AdvanceSlides(size_t frames)
{
    const double seconds = static_cast<double>(frames) / rate_;
    for (auto& entry : channels_) {
        entry.second->volume.Advance(seconds);
        entry.second->pan.Advance(seconds);
    }
}

void Engine::MixBlock(float* out, size_t frames)
{
    for (size_t i = 0; i < playing_.size();) {
        if (MixChannel(*playing_[i], out, frames, mixed_))
            ++i;
        else
            playing_.erase(playing_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

bool Engine::MixChannel(Channel& channel, float* out, size_t frames, OutputFrame at)
{
    const float level = static_cast<float>(globalStreamVolume) / kFullGlobalVolume;
    blockStart_ = at;
    const size_t got = channel.Render(frames);
    channel.MixInto(out, speakers_, got, level, MonoRouting::FrontPair);
    if (got == frames)
        return true;
    channel.playing = false;
    RecordEnd(channel, at + static_cast<OutputFrame>(got));
    return false;
}

// A mixer's source ends somewhere in the block being mixed.
void Engine::ChannelEnded(Channel& channel) { RecordEnd(channel, blockStart_); }

void Engine::RecordEnd(Channel& channel, OutputFrame at)
{
    channel.ended = true;
    channel.endPending = true;
    endsPending_ = true;
    if (endNoteCount_ < endNotes_.size())
        endNotes_[endNoteCount_++] = {channel.Handle(), at};
    if (worker_)
        worker_->Wake();
}

// An end the notes had no room for counts as heard at the newest frame mixed.
OutputFrame Engine::EndOf(DWORD handle) const
{
    for (size_t i = 0; i < endNoteCount_; ++i)
        if (endNotes_[i].channel == handle)
            return endNotes_[i].at;
    return mixed_;
}

void Engine::DeviceFailed()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!open_)
        return;
    devFailPending_ = true;
    if (worker_)
        worker_->Wake();
}

SyncBatch Engine::TakeSyncWork()
{
    SyncBatch batch;
    const bool ends = endsPending_;
    const bool devFail = devFailPending_;
    endsPending_ = devFailPending_ = false;
    for (auto& entry : channels_) {
        Channel& channel = *entry.second;
        const bool ended = ends && channel.endPending;
        channel.endPending = false;
        const OutputFrame end = ended ? EndOf(channel.Handle()) : mixed_;
        for (const SyncEntry& sync : channel.syncs) {
            if ((ended && sync.type == BASS_SYNC_END) || (devFail && sync.type == BASS_SYNC_DEV_FAIL))
                batch.jobs.push_back({channel.Handle(), sync.id, end});
        }
        if (ended && channel.FreesItself())
            batch.freeAfter.push_back(channel.Handle());
    }
    endNoteCount_ = 0;
    // In the order the clips stopped, which is the order their answers come in.
    std::stable_sort(batch.jobs.begin(), batch.jobs.end(),
                     [](const SyncJob& a, const SyncJob& b) { return a.end < b.end; });
    return batch;
}

void Engine::NoteChainPoint(OutputFrame frame)
{
    if (chainPoints_.size() == kMaxChainPoints)
        chainPoints_.pop_front();
    chainPoints_.push_back(frame);
}

void Engine::RunSyncs(const SyncBatch& batch)
{
    for (const SyncJob& job : batch.jobs) {
        SyncEntry sync{};
        {
            std::lock_guard<std::mutex> lock(mutex);
            Channel* channel = Find(job.channel);
            if (!channel)
                continue;
            auto found = std::find_if(channel->syncs.begin(), channel->syncs.end(),
                                      [&](const SyncEntry& s) { return s.id == job.sync; });
            if (found == channel->syncs.end())
                continue;
            sync = *found;
            if (sync.onetime)
                channel->syncs.erase(found);
            if (sync.type == BASS_SYNC_END)
                NoteChainPoint(job.end);
        }
        sync.proc(sync.id, job.channel, 0, sync.user);
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (DWORD handle : batch.freeAfter) {
        Channel* channel = Find(handle);
        if (channel && channel->ended)
            Free(handle);
    }
}

}  // namespace ovelaudio
