#pragma once
// What the board tests share: the start's preparation with the shipped banks
// and language modules, and a message pump that waits for a condition.

#include "platform/audio/core/Backends.h"
#include "tests/player/window/FakeScheduleClock.h"

#include <chrono>
#include <functional>

constexpr auto kPumpLimit = std::chrono::seconds(90);
constexpr auto kShortPump = std::chrono::seconds(10);

// The program's start up to the board: globals, language, the default-device
// probe and the banks of dist/, read whole so that no file stays held; the
// format plug-ins load from the program folder.
void PrepareLikeTheStart();

// The clock the board reads in every board test, put in by
// PrepareLikeTheStart: a summer day at noon, when nothing is scheduled by
// the board's design and the calendar says day. A test that moves it puts it back.
TFakeScheduleClock& BoardClock();
TDateTime BoardClockStart();

// PrepareLikeTheStart, then the application and the board as the program
// makes them.
void CreateBoardLikeTheProgram();

// CreateBoardLikeTheProgram over the stored day-forest start.
void CreateDayForestBoard();

// The schedule's timer rests, for the cases that show a scene the
// alternation by the calendar would change.
void HoldTheSchedule();

// A device's output that takes the sound and renders nothing.
class TSilentDriver : public ovelaudio::OutputDriver {
public:
    explicit TSilentDriver(uint32_t rate) : rate_(rate) {}
    uint32_t Rate() const override { return rate_; }
    uint32_t Speakers() const override { return 2; }
    bool Emulated() const override { return false; }
    bool Start() override { return true; }
    void Stop() override {}

private:
    uint32_t rate_;
};

// One such device, for the cases that only look at the board; before the start.
void UseSilentOutput();
// Stores the settings of a board that starts playing the day forest with
// the alternation off, as the board's own cases expect it.
void StoreDayForestStart();

// Handles messages until done() holds or the limit passes; watch runs after
// every round.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = kPumpLimit,
               const std::function<void()>& watch = nullptr);

// Handles what is queued now, the nested pumping included.
bool PumpQueued();
