#pragma once
// The library's state: the open output, every channel, the 3D stage and the
// work handed to the sync thread. One mutex guards it; the mixing thread holds
// it while it mixes a block.

#include "platform/audio/core/Channel.h"
#include "platform/audio/core/MixerDecoder.h"
#include "platform/audio/core/SyncWorker.h"

#include <array>
#include <deque>
#include <map>
#include <mutex>

namespace ovelaudio {

class NoSoundDriver;

// Output time: frames mixed since the output opened.
using OutputFrame = int64_t;

struct SyncJob {
    DWORD channel;
    HSYNC sync;
    OutputFrame end;  // where the channel stopped, for END syncs
};

struct SyncBatch {
    std::vector<SyncJob> jobs;
    std::vector<DWORD> freeAfter;  // auto-free channels whose END syncs are in jobs
};

class Engine : public EndListener {
public:
    static Engine& Instance();

    std::mutex mutex;

    // Output lifecycle; each answers a BASS_ERROR_* code.
    int Open(int device, uint32_t rate, void* window);
    int Close();
    int Resume();
    int Pause();

    bool IsOpen() const { return open_; }
    int Device() const { return device_; }
    uint32_t OutputRate() const { return rate_; }
    uint32_t Speakers() const { return speakers_; }
    bool Emulated() const { return emulated_; }
    // Mixes the manual device 0, if that is the open output; false otherwise.
    bool RenderManual(float* out, uint32_t frames);
    // Of every output opened since the program started; engine locked.
    uint64_t Underruns() const;
    std::shared_ptr<SyncWorker> Worker() const { return worker_; }

    // Channels; engine locked.
    DWORD NewHandle();
    Channel* Find(DWORD handle);
    Channel& Add(std::unique_ptr<Channel> channel);
    void Play(Channel& channel);
    void Stop(Channel& channel);
    void Free(DWORD handle);
    // Frees every channel whose decoder comes from origin (a plug-in about to unload).
    void FreeFrom(const void* origin);
    void Attach(Channel& mixer, Channel& source, DWORD sourceFlags);
    size_t LiveChannels() const { return channels_.size(); }

    // 3D; engine locked. Positions and listener changes wait for Apply3D.
    Listener pendingListener;
    Factors pendingFactors;
    void Apply3D();
    void Place(Channel& channel);

    uint32_t globalStreamVolume = 10000;
    uint32_t followedPlaylists = 0;  // BASS_CONFIG_NET_PLAYLIST

    // The output's render callback (see RenderFn). DSPs run inside it with the engine locked.
    bool Render(float* out, uint32_t ahead, uint32_t frames);
    // Whether this thread is inside Render, where locking the engine again would deadlock.
    static bool MixingHere();
    void DeviceFailed();
    void ChannelEnded(Channel& channel) override;

    // For the sync thread; engine locked.
    bool HasSyncWork() const { return endsPending_ || devFailPending_; }
    SyncBatch TakeSyncWork();
    // Runs the batch's procedures, each with the engine unlocked.
    void RunSyncs(const SyncBatch& batch);

private:
    // Ends the output: channels, driver, then the sync thread (outside outputLock).
    int Shut(std::unique_lock<std::mutex>& outputLock);
    // A stream played since the last render joins the frames mixed ahead: where
    // the clip before it stopped, or at once.
    void JoinStarting(float* out, uint32_t ahead);
    void MixBlock(float* out, size_t frames);
    // Mixes frames of a playing channel that start at output frame at; false once it has ended.
    bool MixChannel(Channel& channel, float* out, size_t frames, OutputFrame at);
    void RecordEnd(Channel& channel, OutputFrame at);
    OutputFrame EndOf(DWORD handle) const;
    // Where the oldest clip whose END sync ran stopped, if that may still be joined.
    bool TakeChainPoint(OutputFrame& frame);
    void NoteChainPoint(OutputFrame frame);
    // Slides run on output time, whether or not their channel is being mixed.
    void AdvanceSlides(size_t frames);
    void ClearChannels();
    // Takes a channel out of the output's list.
    void Unlist(Channel& channel);

    std::mutex outputMutex_;  // serialises opening and closing the output
    bool open_ = false;
    int device_ = -1;
    uint32_t rate_ = 0;
    uint32_t speakers_ = 2;
    bool emulated_ = false;
    std::unique_ptr<OutputDriver> driver_;
    NoSoundDriver* noSound_ = nullptr;
    std::shared_ptr<SyncWorker> worker_;

    DWORD lastHandle_ = 0;
    std::map<DWORD, std::unique_ptr<Channel>> channels_;
    std::vector<Channel*> playing_;
    struct Starting {
        Channel* channel;
        bool chained;
        OutputFrame at;
    };
    std::vector<Starting> starting_;
    // The mixing thread notes where channels end without allocating; the sync
    // thread takes the notes with the ends.
    struct EndNote {
        DWORD channel;
        OutputFrame at;
    };
    std::array<EndNote, 64> endNotes_{};
    size_t endNoteCount_ = 0;
    // Where clips whose END syncs ran stopped, oldest first: the streams
    // played next, in answer, start there.
    std::deque<OutputFrame> chainPoints_;
    OutputFrame mixed_ = 0;         // the output frame after the last one mixed
    OutputFrame firstAhead_ = 0;    // the oldest frame still mixed ahead, at the last render
    OutputFrame blockStart_ = 0;    // of the block being mixed
    uint64_t underrunsBefore_ = 0;  // of the outputs closed
    Listener listener_;
    Factors factors_;
    bool endsPending_ = false;
    bool devFailPending_ = false;
};

}  // namespace ovelaudio
