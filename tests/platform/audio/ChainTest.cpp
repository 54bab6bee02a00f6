// Clips chained the way the player's strands chain them: an END sync hands
// the clip's end to another thread, which a few milliseconds later starts the
// next clip. Over an output that mixes ahead of what it plays, the next clip
// joins where the last one stopped.

#include "platform/audio/core/TestHooks.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace audiotest {
namespace {

constexpr uint32_t kAheadFrames = kRate * 150 / 1000;  // as much as a real output mixes ahead
constexpr uint32_t kStepFrames = kRate / 100;          // the output plays 10 ms at a time, in real time
constexpr auto kStep = std::chrono::milliseconds(10);
constexpr size_t kMaxGapFrames = kRate * 5 / 1000;
constexpr float kLevelTolerance = 1e-3f;
constexpr size_t kMaxSteps = 500;

// Clips of one level on one side, played one after the other.
struct Strand {
    float level;
    float pan;  // -1 left only, 1 right only
    std::vector<size_t> clipFrames;
};

struct ChainCase {
    const char* name;
    std::chrono::milliseconds answerDelay;
    std::vector<Strand> strands;
};

void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.name; }

// The board of the test: the END sync posts, its own thread answers.
class Answerer {
public:
    Answerer(const std::vector<Strand>& strands, std::chrono::milliseconds delay) : strands_(strands), delay_(delay)
    {
        for (const Strand& strand : strands_) {
            clips_.emplace_back();
            for (size_t frames : strand.clipFrames)
                clips_.back().push_back(MakeConstantWave(1, frames, {strand.level}));
        }
        next_.assign(strands_.size(), 0);
        thread_ = std::thread([this] { Run(); });
    }

    ~Answerer()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
        }
        posted_.notify_all();
        thread_.join();
    }

    void StartAll()
    {
        for (size_t strand = 0; strand < strands_.size(); ++strand)
            PlayNext(strand);
    }

    bool Done()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return finished_ == strands_.size();
    }

private:
    static void OVEL_AUDIO_CALLBACK OnEnd(HSYNC, DWORD, DWORD, void* user)
    {
        auto* post = static_cast<std::pair<Answerer*, size_t>*>(user);
        std::lock_guard<std::mutex> lock(post->first->mutex_);
        post->first->queue_.push_back(post->second);
        post->first->posted_.notify_all();
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            posted_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (ending_)
                return;
            const size_t strand = queue_.front();
            queue_.pop_front();
            lock.unlock();
            std::this_thread::sleep_for(delay_);
            PlayNext(strand);
            lock.lock();
        }
    }

    void PlayNext(size_t strand)
    {
        if (next_[strand] == clips_[strand].size()) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++finished_;
            return;
        }
        const std::vector<uint8_t>& clip = clips_[strand][next_[strand]++];
        const HSTREAM stream = BASS_StreamCreateFile(1, clip.data(), 0, clip.size(), BASS_STREAM_AUTOFREE);
        ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
        BASS_ChannelSetAttribute(stream, BASS_ATTRIB_PAN, strands_[strand].pan);
        posts_.push_back({this, strand});
        BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, OnEnd, &posts_.back());
        ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    }

    const std::vector<Strand> strands_;
    const std::chrono::milliseconds delay_;
    std::vector<std::vector<std::vector<uint8_t>>> clips_;
    std::vector<size_t> next_;  // the answer thread's, once started
    std::deque<std::pair<Answerer*, size_t>> posts_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<size_t> queue_;
    size_t finished_ = 0;
    bool ending_ = false;
    std::thread thread_;
};

struct Join {
    size_t gap;      // frames of silence between two clips
    size_t overlap;  // frames where two clips sounded at once
};

// The joins on one side of the output: where the strand's level stops and starts again.
std::vector<Join> JoinsOn(const std::vector<float>& out, size_t side, float level)
{
    std::vector<Join> joins;
    bool started = false;
    size_t silent = 0;
    size_t doubled = 0;
    for (size_t i = side; i < out.size(); i += 2) {
        const float sample = out[i];
        if (std::fabs(sample) < kLevelTolerance) {
            silent += started ? 1 : 0;
            continue;
        }
        if (silent > 0)
            joins.push_back({silent, 0});
        if (std::fabs(sample - 2 * level) < kLevelTolerance)
            ++doubled;
        silent = 0;
        started = true;
    }
    if (doubled > 0)
        joins.push_back({0, doubled});
    return joins;
}

class ChainTest : public ManualOutput, public ::testing::WithParamInterface<ChainCase> {
protected:
    void SetUp() override
    {
        ovelaudio::testhooks::SetNoSoundAhead(kAheadFrames);
        ManualOutput::SetUp();
    }
    void TearDown() override
    {
        ManualOutput::TearDown();
        ovelaudio::testhooks::SetNoSoundAhead(0);
    }
};

TEST_P(ChainTest, TheNextClipJoinsWhereTheLastOneStopped)
{
    const ChainCase& c = GetParam();
    std::vector<float> out;
    {
        Answerer answerer(c.strands, c.answerDelay);
        answerer.StartAll();
        for (size_t step = 0; step < kMaxSteps && !answerer.Done(); ++step) {
            const std::vector<float> played = Render(kStepFrames);
            out.insert(out.end(), played.begin(), played.end());
            std::this_thread::sleep_for(kStep);
        }
        ASSERT_TRUE(answerer.Done()) << "the chain did not come to its end";
        const std::vector<float> rest = Render(kAheadFrames + kStepFrames);
        out.insert(out.end(), rest.begin(), rest.end());
    }
    for (const Strand& strand : c.strands) {
        const size_t side = strand.pan < 0 ? 0 : 1;
        size_t sounding = 0;
        for (size_t i = side; i < out.size(); i += 2)
            sounding += std::fabs(out[i]) >= kLevelTolerance ? 1 : 0;
        size_t total = 0;
        for (size_t frames : strand.clipFrames)
            total += frames;
        EXPECT_EQ(sounding, total) << "side " << side;
        for (const Join& join : JoinsOn(out, side, strand.level)) {
            EXPECT_LE(join.gap, kMaxGapFrames) << "side " << side;
            EXPECT_EQ(join.overlap, 0u) << "side " << side;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ChainTest,
    ::testing::Values(
        ChainCase{"AloneAnsweredAfterAFewMs", std::chrono::milliseconds(4), {{0.25f, -1.0f, {11025, 7000, 9000}}}},
        ChainCase{"AloneAnsweredAtOnce", std::chrono::milliseconds(0), {{0.25f, 1.0f, {5000, 5000, 5000}}}},
        // Both end within a period: each answer takes its own strand's end.
        ChainCase{"TwoEndingTogether",
                  std::chrono::milliseconds(4),
                  {{0.25f, -1.0f, {8000, 8000, 8000}}, {0.5f, 1.0f, {8100, 7900, 8000}}}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace audiotest
