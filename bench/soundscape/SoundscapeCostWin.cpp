// The day forest as the stored settings of a new user have it, then the
// board with every layer on: the day forest with three bird strands, the
// brook and waterfall, three fires, the wind, fly-bys, music, the user's
// nature folder, and rain with thunder. Prints the CPU of our threads (the
// board's, the audio library's mixing, sync and decoding threads, the workers
// that open user files), with the board's and the mixing thread's apart, and
// of the whole process (Wine's sound path too).
#include "player/window/MainForm.h"

#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"
#include "player/engine/WeatherStrands.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <atomic>
#include <cstdio>
#include <map>

namespace {

constexpr auto kSettle = std::chrono::seconds(5);
constexpr auto kMeasured = std::chrono::seconds(30);
constexpr int kVeryOften = 3;

std::atomic<DWORD> MixingThread{0};

void OVEL_AUDIO_CALLBACK NoteMixingThread(HDSP, DWORD, void*, DWORD, void*) { MixingThread = GetCurrentThreadId(); }

// The mixing thread makes itself known through a sounding layer; the output
// restarts with the layers, so it is watched for again after each start.
void WatchForTheMixingThread()
{
    for (HSTREAM channel : LayerChannels)
        if (channel != 0 && BASS_ChannelSetDSP(channel, NoteMixingThread, nullptr, 0) != 0)
            return;
}

double Seconds(const FILETIME& time)
{
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

double ThreadSeconds(HANDLE thread)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    return GetThreadTimes(thread, &created, &exited, &kernel, &user) ? Seconds(kernel) + Seconds(user) : 0.0;
}

double ProcessSeconds()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// Where a thread began: in our image (the board's), or in the C runtime that
// starts the threads our code makes (the library's, the workers); Wine's own
// threads begin in its DLLs.
bool StartsInOurCode(HANDLE thread)
{
    using TQuery = LONG(WINAPI*)(HANDLE, THREADINFOCLASS, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    constexpr auto kStartAddress = static_cast<THREADINFOCLASS>(9);  // ThreadQuerySetWin32StartAddress
    void* start = nullptr;
    if (query == nullptr || query(thread, kStartAddress, &start, sizeof start, nullptr) != 0)
        return false;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(start), &module))
        return false;
    return module == GetModuleHandleA(nullptr) || module == GetModuleHandleA("msvcrt.dll");
}

struct TThreadTime {
    double Seconds = 0;
    bool Ours = false;
};

// Every thread of the process now.
std::map<DWORD, TThreadTime> ThreadTimes()
{
    std::map<DWORD, TThreadTime> times;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        if (const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID)) {
            times[entry.th32ThreadID] = {ThreadSeconds(thread), StartsInOurCode(thread)};
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
    return times;
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
    double Ours = 0;
    double Process = 0;
};

// A thread that began meanwhile counts from its start; one that ended is lost.
TShares Measure()
{
    const std::map<DWORD, TThreadTime> before = ThreadTimes();
    const double process0 = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    Play(kMeasured);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    TShares shares;
    shares.Process = 100 * (ProcessSeconds() - process0) / wall;
    for (const auto& [id, after] : ThreadTimes()) {
        const auto earlier = before.find(id);
        const double share = 100 * (after.Seconds - (earlier != before.end() ? earlier->second.Seconds : 0)) / wall;
        if (id == GetCurrentThreadId())
            shares.Board = share;
        if (id == MixingThread)
            shares.Mixing = share;
        if (after.Ours)
            shares.Ours += share;
    }
    return shares;
}

void Report(const char* what, const TShares& shares)
{
    int sounding = 0;
    for (HSTREAM channel : LayerChannels)
        sounding += BASS_ChannelIsActive(channel) != BASS_ACTIVE_STOPPED ? 1 : 0;
    std::printf("%s, %% of one core over %lld s: our threads %.2f (the board's %.2f, mixing %.2f); "
                "the whole process %.2f; %d layers sounding at the end\n",
                what, static_cast<long long>(kMeasured.count()), shares.Ours, shares.Board, shares.Mixing,
                shares.Process, sounding);
}

}  // namespace

TEST(SoundscapeCost, OurThreadsInTheDayForestAndWithEveryLayerOn)
{
    ovelaudio::RegisterWindowsBackends();
    PrepareLikeTheStart();
    // The audio library's tests leave WAVE and MP3 files of a tone there.
    UserFolders[ufDayNature].Path = OVEL_USER_FILES_DIR;
    UserFolders[ufDayMusic].Path = OVEL_USER_FILES_DIR;
    ASSERT_TRUE(PrepareApplication());
    ASSERT_TRUE(CreateOvelMainForm());
    TOvelMainForm& board = *OvelMainForm;
    // The day forest, whichever scene the stored settings start in: the day's folders are set.
    if (board.OvelComboBox.ItemIndex() != kDayScene)
        board.ForestClick(nullptr);
    board.PlayOvel();
    WatchForTheMixingThread();
    Play(kSettle);
    ASSERT_NE(MixingThread.load(), 0u);
    Report("Day forest as a new user hears it", Measure());

    TurnEverythingOn(board);
    board.PlayOvel();
    PlayFires();
    WatchForTheMixingThread();
    Play(kSettle);
    Report("Day forest with every layer but rain", Measure());

    board.RainNowClick(&board.RainBitBtn);
    PlayStorm1();
    ASSERT_TRUE(RainPlays());
    WatchForTheMixingThread();
    Play(kSettle);
    Report("Rain with thunder", Measure());
    FreeOvelMainForm();
}
