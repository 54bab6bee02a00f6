#pragma once
// What the board tests share: the start's preparation with the shipped banks
// and language modules, and a message pump that waits for a condition.

#include <chrono>
#include <functional>

constexpr auto kPumpLimit = std::chrono::seconds(90);
constexpr auto kShortPump = std::chrono::seconds(10);

// The program's start up to the board: globals, language, the default-device
// probe and the banks of dist/, read whole so that no file stays held.
void PrepareLikeTheStart();

// Stores the settings of a board that starts playing the day forest with
// the alternation off, as the board's own cases expect it.
void StoreDayForestStart();

// Handles messages until done() holds or the limit passes; watch runs after
// every round.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = kPumpLimit,
               const std::function<void()>& watch = nullptr);

// Handles what is queued now, the nested pumping included.
bool PumpQueued();
