// The board with every layer on: the day forest with three bird strands, the
// brook and waterfall, three fires, the wind, fly-bys, music, the user's
// nature folder, and rain with thunder. Prints the CPU of our threads: the
// board's (all layer code) and the mixing thread's; the sync thread only posts.
#include "player/window/MainForm.h"

#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"
#include "player/engine/WeatherStrands.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

namespace {

constexpr auto kSettle = std::chrono::seconds(5);
constexpr auto kMeasured = std::chrono::seconds(30);
constexpr int kVeryOften = 3;

std::atomic<DWORD> MixingThread{0};

void OVEL_AUDIO_CALLBACK NoteMixingThread(HDSP, DWORD, void*, DWORD, void*) { MixingThread = GetCurrentThreadId(); }

double Seconds(const FILETIME& time)
{
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

double ThreadSeconds(DWORD id)
{
    const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool known = thread != nullptr && GetThreadTimes(thread, &created, &exited, &kernel, &user);
    if (thread != nullptr)
        CloseHandle(thread);
    return known ? Seconds(kernel) + Seconds(user) : 0.0;
}

double ProcessSeconds()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// The rarity lists come with the language; four levels do here.
void OfferRarities(TComboBox& combo)
{
    for (const char* level : {"0", "1", "2", "3"})
        combo.Items.Add(level);
    combo.SetItemIndex(kVeryOften);
}

void TurnEverythingOn(TOvelMainForm& board)
{
    for (TCheckBox* box :
         {&board.OptionCheckBox, &board.Option1CheckBox, &board.WindCheckBox, &board.Option2CheckBox,
          &board.Option3CheckBox, &board.Option4CheckBox, &board.Option5CheckBox, &board.Option6CheckBox,
          &board.Option7CheckBox, &board.GuitarCheckBox, &board.HaCheckBox, &board.FluteCheckBox,
          &board.MusicFolderCheckBox, &board.NatureFolderCheckBox, &board.RainCheckBox, &board.StormCheckBox})
        box->SetChecked(true);
    for (TComboBox* combo :
         {&board.Option2ComboBox, &board.Option4ComboBox, &board.Option5ComboBox, &board.Option6ComboBox,
          &board.NFBComboBox, &board.NFIComboBox, &board.GuitarComboBox, &board.HaComboBox, &board.FluteComboBox,
          &board.MusicFolderComboBox, &board.NatureFolderComboBox, &board.RainComboBox})
        OfferRarities(*combo);
    board.OptionTrackBar.SetPosition(90);
    board.Option1TrackBar.SetPosition(2);
}

// The message loop as the program runs it, for a while.
void Play(std::chrono::seconds time)
{
    bool done = false;
    TTimer timer;
    timer.OnTimer = [&done](TObject*) { done = true; };
    timer.SetInterval(static_cast<UINT>(std::chrono::milliseconds(time).count()));
    timer.SetEnabled(true);
    while (!done && Application.HandleMessage()) {
    }
}

struct TShares {
    double Board = 0;
    double Mixing = 0;
    double Process = 0;
};

TShares Measure()
{
    const DWORD gui = GetCurrentThreadId();
    const DWORD mixing = MixingThread;
    const double gui0 = ThreadSeconds(gui);
    const double mixing0 = ThreadSeconds(mixing);
    const double process0 = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    Play(kMeasured);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {100 * (ThreadSeconds(gui) - gui0) / wall, 100 * (ThreadSeconds(mixing) - mixing0) / wall,
            100 * (ProcessSeconds() - process0) / wall};
}

void Report(const char* what, const TShares& shares)
{
    int sounding = 0;
    for (HSTREAM channel : LayerChannels)
        sounding += BASS_ChannelIsActive(channel) != BASS_ACTIVE_STOPPED ? 1 : 0;
    std::printf("%s, %% of one core over %lld s: board (GUI) %.2f, mixing %.2f, ours %.2f; the whole process %.2f; "
                "%d layers sounding at the end\n",
                what, static_cast<long long>(kMeasured.count()), shares.Board, shares.Mixing,
                shares.Board + shares.Mixing, shares.Process, sounding);
}

}  // namespace

TEST(SoundscapeCost, OurThreadsWithEveryLayerOn)
{
    ovelaudio::RegisterWindowsBackends();
    PrepareLikeTheStart();
    // The audio library's tests leave WAVE and MP3 files of a tone there.
    UserFolders[ufDayNature].Path = OVEL_USER_FILES_DIR;
    UserFolders[ufDayMusic].Path = OVEL_USER_FILES_DIR;
    ASSERT_TRUE(PrepareApplication());
    ASSERT_TRUE(CreateOvelMainForm());
    TOvelMainForm& board = *OvelMainForm;
    TurnEverythingOn(board);
    board.PlayOvel();
    PlayFires();
    BASS_ChannelSetDSP(LayerChannels[lyBrook], NoteMixingThread, nullptr, 0);
    Play(kSettle);
    ASSERT_NE(MixingThread.load(), 0u);
    Report("Day forest with every layer but rain", Measure());

    board.RainNowClick(&board.RainBitBtn);
    PlayStorm1();
    ASSERT_TRUE(RainPlays());
    Play(kSettle);
    Report("Rain with thunder", Measure());
    FreeOvelMainForm();
}
