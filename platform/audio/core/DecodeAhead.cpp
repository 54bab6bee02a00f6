#include "platform/audio/core/DecodeAhead.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Decoders.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace ovelaudio {
namespace {

constexpr size_t kChunkFrames = 4096;  // the worker looks for a cancel this often
constexpr float kSampleScale = 32768.0f;

// Frames decoded ahead are held as 16-bit samples, half the memory of floats;
// the clips were 16-bit before they were compressed.
int16_t HeldSample(float sample)
{
    return static_cast<int16_t>(std::lrintf(std::clamp(sample * kSampleScale, -kSampleScale, kSampleScale - 1.0f)));
}

std::atomic<size_t> samplesHeld{0};

bool ReserveSamples(size_t samples)
{
    size_t held = samplesHeld.load();
    do {
        if (held + samples > kMostSamplesHeldAhead)
            return false;
    } while (!samplesHeld.compare_exchange_weak(held, held + samples));
    return true;
}

// One clip for the worker, with a copy of its bytes, so that a stream freed
// meanwhile need not wait for it. The frames are sized by the creating thread;
// the worker fills them and then says so, once.
struct AheadJob {
    // samples: reserved by the caller, given back here.
    AheadJob(const uint8_t* clip, size_t size, size_t samples) : bytes(clip, clip + size), frames(samples) {}
    ~AheadJob() { samplesHeld -= frames.size(); }
    AheadJob(const AheadJob&) = delete;
    AheadJob& operator=(const AheadJob&) = delete;

    const std::vector<uint8_t> bytes;
    std::vector<int16_t> frames;
    size_t decodedFrames = 0;
    std::atomic<bool> ready{false};
    std::atomic<bool> cancelled{false};
};

class AheadWorker {
public:
    // Never destroyed: a stream may still be freed while the program ends.
    static AheadWorker& Instance()
    {
        static AheadWorker* worker = new AheadWorker;
        return *worker;
    }

    void Add(std::shared_ptr<AheadJob> job)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.push_back(std::move(job));
            if (!thread_.joinable())
                thread_ = std::thread([this] { Run(); });
        }
        changed_.notify_all();
    }

    void Hold(bool hold)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            held_ = hold;
        }
        changed_.notify_all();
    }

    void WaitIdle()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return !held_ && !jobs_.empty(); });
            std::shared_ptr<AheadJob> job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            Decode(*job);
            job.reset();
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    static void Decode(AheadJob& job)
    {
        if (job.cancelled)
            return;
        int error = 0;
        std::unique_ptr<Decoder> decoder =
            OpenDecoder(std::make_unique<MemorySource>(job.bytes.data(), job.bytes.size()), error);
        if (!decoder)
            return;
        const size_t channels = decoder->Channels();
        const size_t capacity = job.frames.size() / channels;
        std::vector<float> chunk(kChunkFrames * channels);
        size_t done = 0;
        while (!job.cancelled) {
            const size_t room = capacity - done;
            const size_t got = decoder->Read(chunk.data(), std::max<size_t>(1, std::min(kChunkFrames, room)));
            if (got == 0) {
                job.decodedFrames = done;
                job.ready.store(true, std::memory_order_release);
                return;
            }
            if (room == 0)
                return;  // more frames than the length said: the mixing thread goes on decoding the clip
            std::transform(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got * channels),
                           job.frames.begin() + static_cast<std::ptrdiff_t>(done * channels), HeldSample);
            done += got;
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<AheadJob>> jobs_;
    bool held_ = false;
    bool busy_ = false;
    std::thread thread_;
};

class AheadDecoder : public Decoder {
public:
    AheadDecoder(std::unique_ptr<Decoder> live, std::shared_ptr<AheadJob> job)
        : live_(std::move(live)), job_(std::move(job))
    {}

    ~AheadDecoder() override { job_->cancelled = true; }

    uint32_t Rate() const override { return live_->Rate(); }
    uint32_t Channels() const override { return live_->Channels(); }
    uint64_t LengthFrames() const override { return live_->LengthFrames(); }

    bool Rewind() override
    {
        position_ = 0;
        return decoded_ || live_->Rewind();
    }

    // The two decoders make the same frames (to a 16-bit step), so the frames go on seamlessly from either.
    size_t Read(float* out, size_t frames) override
    {
        if (!decoded_ && job_->ready.load(std::memory_order_acquire))
            decoded_ = true;
        if (!decoded_) {
            const size_t got = live_->Read(out, frames);
            position_ += got;
            return got;
        }
        const size_t take = std::min(frames, job_->decodedFrames - std::min(position_, job_->decodedFrames));
        const int16_t* held = job_->frames.data() + position_ * Channels();
        std::transform(held, held + take * Channels(), out,
                       [](int16_t sample) { return static_cast<float>(sample) / kSampleScale; });
        position_ += take;
        return take;
    }

private:
    std::unique_ptr<Decoder> live_;
    std::shared_ptr<AheadJob> job_;
    size_t position_ = 0;  // frames read since the start
    bool decoded_ = false;
};

}  // namespace

std::unique_ptr<Decoder> DecodeAhead(std::unique_ptr<Decoder> decoder, const uint8_t* bytes, size_t size)
{
    const uint64_t frames = decoder->LengthFrames();
    if (!decoder->Compressed() || frames == UINT64_MAX || frames * decoder->Channels() > kMostSamplesAhead)
        return decoder;
    const auto samples = static_cast<size_t>(frames) * decoder->Channels();
    if (!ReserveSamples(samples))
        return decoder;
    auto job = std::make_shared<AheadJob>(bytes, size, samples);
    AheadWorker::Instance().Add(job);
    return std::make_unique<AheadDecoder>(std::move(decoder), std::move(job));
}

void HoldDecodingAhead(bool hold) { AheadWorker::Instance().Hold(hold); }
void WaitForDecodingAhead() { AheadWorker::Instance().WaitIdle(); }
size_t SamplesHeldAhead() { return samplesHeld.load(); }

}  // namespace ovelaudio
