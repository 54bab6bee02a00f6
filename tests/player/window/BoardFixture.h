#pragma once
// What the board tests share: the start's preparation with the shipped banks
// and language modules, and a message pump that waits for a condition.

#include "platform/audio/core/Backends.h"

#include <chrono>
#include <functional>

constexpr auto kPumpLimit = std::chrono::seconds(90);
constexpr auto kShortPump = std::chrono::seconds(10);

// The program's start up to the board: globals, language, the default-device
// probe and the banks of dist/, read whole so that no file stays held.
void PrepareLikeTheStart();

// The program's start up to and with the board, its message loop left to the test.
void CreateBoardLikeTheProgram();

// An open output that renders nothing.
class TSilentDriver : public ovelaudio::OutputDriver {
public:
    uint32_t Speakers() const override { return 2; }
    bool Emulated() const override { return false; }
    bool Start() override { return true; }
    void Stop() override {}
};

// One output device that plays in silence, for the tests that do not
// listen; set before PrepareLikeTheStart.
void UseSilentOutput();

// Handles messages until done() holds or the limit passes; watch runs after
// every round.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = kPumpLimit,
               const std::function<void()>& watch = nullptr);

// Handles what is queued now, the nested pumping included.
bool PumpQueued();
