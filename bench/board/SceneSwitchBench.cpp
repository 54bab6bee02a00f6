// The board's scene switch, timed: the board made as the program makes it,
// with the shipped banks, switched between the forests on the real output,
// the sound running a while between switches. Prints the fastest, the median
// and the slowest switch.
#include "player/window/MainForm.h"

#include "platform/audio/win/WindowsBackends.h"
#include "tests/player/window/BoardFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main()
{
    constexpr int kSwitches = 20;
    constexpr auto kPlayBetween = std::chrono::seconds(1);
    ovelaudio::RegisterWindowsBackends();
    PrepareLikeTheStart();
    if (!PrepareApplication() || !CreateOvelMainForm())
        return 1;
    std::vector<double> milliseconds;
    for (int turn = 0; turn < kSwitches; ++turn) {
        const auto start = std::chrono::steady_clock::now();
        if (turn % 2 == 0)
            OvelMainForm->ForestNClick(nullptr);
        else
            OvelMainForm->ForestClick(nullptr);
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        const auto until = std::chrono::steady_clock::now() + kPlayBetween;
        PumpUntil([until] { return std::chrono::steady_clock::now() >= until; });
    }
    FreeOvelMainForm();
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("scene switch over %d switches: fastest %.1f ms, median %.1f ms, slowest %.1f ms\n", kSwitches,
                milliseconds.front(), milliseconds[milliseconds.size() / 2], milliseconds.back());
    return 0;
}
