// The output while the machine is busy: threads of the test load every core
// for 20 s while the library plays through the system's default device, and
// the null sink's monitor must show the sound unbroken.

#include "platform/audio/bass.h"
#include "platform/audio/core/TestHooks.h"
#include "platform/audio/win/WindowsBackends.h"
#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"
#include "SinkRecording.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <list>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr DWORD kSettleMs = 1500;  // the sound surely plays before the load begins
constexpr DWORD kLoadMs = 20000;
constexpr DWORD kAfterLoadMs = 500;
// The tone is measured in windows of 10 ms: each holds it at its level and
// at the phase it has everywhere, unless sound went missing or came twice.
constexpr size_t kWindowFrames = kRate / 100;
constexpr double kToneHz = 440;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kMinLevel = 0.9;       // of the median window's
constexpr double kMaxPhaseStep = 0.05;  // radians between windows, 0.8 frames of the tone
// Both channels exactly zero for longer than this: the whole output dropped out.
constexpr size_t kMaxSilentFrames = kRate / 1000;
constexpr size_t kForestClips = 24;

// Threads that keep every core busy while they live.
class BusyCores {
public:
    BusyCores()
    {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        for (DWORD i = 0; i < system.dwNumberOfProcessors; ++i)
            threads_.emplace_back([this] {
                volatile double x = 1;
                while (!stop_)
                    x = x * 1.0000001 + 1e-9;
            });
    }
    ~BusyCores()
    {
        stop_ = true;
        for (std::thread& thread : threads_)
            thread.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

struct Break {
    uint64_t frame;
    double level;
    double phaseStep;
};

// Where the tone on the left channel drops or jumps.
std::vector<Break> BreaksInTone(const std::vector<int16_t>& stereo)
{
    struct Window {
        double level;
        double phase;
    };
    std::vector<Window> windows;
    const double step = kTwoPi * kToneHz / kRate;
    for (size_t start = 0; (start + kWindowFrames) * 2 <= stereo.size(); start += kWindowFrames) {
        double re = 0;
        double im = 0;
        for (size_t i = start; i < start + kWindowFrames; ++i) {
            re += stereo[2 * i] * std::cos(step * double(i));
            im -= stereo[2 * i] * std::sin(step * double(i));
        }
        windows.push_back({std::hypot(re, im), std::atan2(im, re)});
    }
    std::vector<double> levels;
    for (const Window& window : windows)
        levels.push_back(window.level);
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    const double median = levels.empty() ? 0 : levels[levels.size() / 2];
    std::vector<Break> breaks;
    for (size_t w = 1; w < windows.size(); ++w) {
        const double phaseStep = std::remainder(windows[w].phase - windows[w - 1].phase, kTwoPi);
        if (windows[w].level < kMinLevel * median || std::fabs(phaseStep) > kMaxPhaseStep)
            breaks.push_back({w * kWindowFrames, windows[w].level / median, phaseStep});
    }
    return breaks;
}

size_t LongestSilence(const std::vector<int16_t>& stereo)
{
    size_t longest = 0;
    size_t run = 0;
    for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
        run = stereo[i] == 0 && stereo[i + 1] == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The clips of a shipped bank, unscrambled as the player reads them.
std::vector<std::vector<uint8_t>> BankClips(TBankId bank)
{
    const std::string path = std::string(OVEL_DIST_DIR) + "/" + BankFileNames[bank];
    TMemoryBankFile file(FileBytes(path));
    TBankHeader header;
    const TBankCatalogueRow& row = BankCatalogue[bank];
    std::vector<std::vector<uint8_t>> clips;
    if (ReadBankHeader(file, row.Kind, row.SingleGroup, header) != TBankVerdict::Sound)
        return clips;
    for (uint32_t entry = 0; entry < header.TableEntries; ++entry) {
        TClipBuffer clip;
        if (!ReadEntryClip(file, header, entry, clip))
            continue;
        UnscrambleClip(header.Kind, ClipSoundNumber(bank, entry, header.EntryCount), clip);
        const auto* bytes = reinterpret_cast<const uint8_t*>(clip.Words.data());
        clips.emplace_back(bytes, bytes + clip.Bytes);
    }
    return clips;
}

class LoadedOutputTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(recording_) << "run through record-sink.sh";
        ovelaudio::RegisterWindowsBackends();
        underrunsBefore_ = ovelaudio::testhooks::Underruns();
        ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << "error " << BASS_ErrorGetCode();
    }

    void TearDown() override { BASS_Free(); }

    // What the sink played while every core was busy.
    std::vector<int16_t> PlayedUnderLoad()
    {
        Sleep(kSettleMs);
        const uint64_t from = recording_->Frames();
        {
            const BusyCores busy;
            Sleep(kLoadMs);
        }
        const uint64_t to = recording_->Frames();
        Sleep(kAfterLoadMs);
        return recording_->Read(from, size_t(to - from));
    }

    uint64_t UnderrunsSinceOpen() const { return ovelaudio::testhooks::Underruns() - underrunsBefore_; }

    const std::optional<SinkRecording> recording_ = SinkRecording::Open();
    uint64_t underrunsBefore_ = 0;
};

TEST_F(LoadedOutputTest, ATonePlaysWithoutAGapOrAJump)
{
    const std::vector<uint8_t> wave = MonoToneWave();
    const HSTREAM tone = BASS_StreamCreateFile(TRUE, wave.data(), 0, wave.size(), BASS_SAMPLE_LOOP);
    ASSERT_NE(tone, 0u) << "error " << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(tone, FALSE));

    const std::vector<int16_t> played = PlayedUnderLoad();
    ASSERT_FALSE(played.empty()) << "the recording stopped";
    const std::vector<Break> breaks = BreaksInTone(played);
    for (const Break& at : breaks)
        ADD_FAILURE() << "at " << double(at.frame) / kRate << " s: level " << at.level << ", phase step "
                      << at.phaseStep;
    EXPECT_EQ(UnderrunsSinceOpen(), 0u);
}

TEST_F(LoadedOutputTest, AForestOfClipsPlaysWithoutDroppingOut)
{
    std::list<std::vector<uint8_t>> clips;
    for (TBankId bank : {sbOvda, sbOvdw})
        for (std::vector<uint8_t>& clip : BankClips(bank))
            clips.push_back(std::move(clip));
    ASSERT_GE(clips.size(), kForestClips)
        << "the shipped banks are missing from " << OVEL_DIST_DIR << ": build them first (make native)";
    clips.resize(kForestClips);

    const BASS_3DVECTOR listener{0, 1.7f, 0};
    const BASS_3DVECTOR none{0, 0, 0};
    BASS_Set3DFactors(1, 1, 0);
    BASS_Set3DPosition(&listener, &none, &none, &none);
    std::mt19937 random(1);
    std::uniform_real_distribution<float> metres(-30, 30);
    for (const std::vector<uint8_t>& clip : clips) {
        HSTREAM stream = BASS_StreamCreateFile(TRUE, clip.data(), 0, clip.size(), BASS_SAMPLE_LOOP | BASS_SAMPLE_3D);
        if (stream == 0 && BASS_ErrorGetCode() == BASS_ERROR_NO3D)
            stream = BASS_StreamCreateFile(TRUE, clip.data(), 0, clip.size(), BASS_SAMPLE_LOOP);
        ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
        const BASS_3DVECTOR where{metres(random), 1.7f, metres(random)};
        BASS_ChannelSet3DPosition(stream, &where, &none, &none);
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    }
    BASS_Apply3D();

    const std::vector<int16_t> played = PlayedUnderLoad();
    ASSERT_FALSE(played.empty()) << "the recording stopped";
    EXPECT_LE(LongestSilence(played), kMaxSilentFrames);
    EXPECT_EQ(UnderrunsSinceOpen(), 0u);
}

}  // namespace
