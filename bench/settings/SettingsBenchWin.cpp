// Times the board's settings: SetControls as the start and an import run it
// (common and scene options), as a scene switch runs it (the scene alone),
// and SaveOptions. The board starts as the player does, from the program
// folder and the settings key the player left there. The goal for each is
// under 30 ms. Prints one line per measure to standard output.
#include "platform/forms/Application.h"
#include "player/engine/StartUp.h"
#include "player/window/MainForm.h"
#include "support/ProgInfo.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 25;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Time(const char* what, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        run();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
        Application.ProcessMessages();
    }
    std::sort(times.begin(), times.end());
    std::printf("%s: median %.2f ms, fastest %.2f ms, slowest %.2f ms over %d runs\n", what, times[times.size() / 2],
                times.front(), times.back(), kRounds);
}

}  // namespace

int main()
{
    ProgInfoInitialization();
    if (!PrepareApplication() || !PrepareStart() || !CreateOvelMainForm())
        return 1;
    TOvelMainForm& board = *OvelMainForm;
    Time("SetControls, common and scene options", [&board] {
        BoardStarting = true;
        board.SetControls();
        BoardStarting = false;
    });
    Time("SetControls, the scene alone", [&board] { board.SetControls(); });
    Time("SaveOptions", [&board] { board.SaveOptions(); });
    std::fflush(stdout);
    FreeOvelMainForm();
    ProgInfoFinalization();
    return 0;
}
