#pragma once
// The layers on the library's "no sound" device, rendered into memory: banks
// of small WAVE clips, the GUI thread's queue of posted events, and a board
// of values. Clips chain through their END syncs once the queue is dispatched.

#include "player/engine/Layers.h"

#include "BankFixtures.h"
#include "FakeLayerBoard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kClipFrames = 2205;    // 50 ms
constexpr std::uint32_t kRenderFrames = 4410;  // past every clip's end

// A RIFF/WAVE file of 16-bit PCM with a quiet tone.
std::vector<std::uint8_t> WaveFile(std::uint16_t channels, std::uint32_t frames = kClipFrames);
// The same with sample i of the interleaved data given by sampleAt.
std::vector<std::uint8_t> WaveFileOf(std::uint16_t channels, std::uint32_t frames,
                                     const std::function<std::int16_t(std::uint32_t)>& sampleAt);

// Puts a bank written in memory into the catalogue as the start would: each
// entry one of the files, the last repeating.
void LoadBankFiles(TBankId id, std::array<std::uint8_t, 3> groups, std::uint16_t entries,
                   const std::vector<std::vector<std::uint8_t>>& files);
void LoadBank(TBankId id, std::array<std::uint8_t, 3> groups, std::uint16_t entries, std::uint16_t channels,
              std::uint32_t frames = kClipFrames);

struct PostedEvent {
    TLayerEvent event;
    TLayerId layer;
    DWORD data;
};
std::vector<PostedEvent> TakePosted();

// Mixes frames and returns once the syncs they raised have run; the mix is
// the device's speakers interleaved.
std::vector<float> RenderNoSound(std::uint32_t frames);
std::size_t LiveStreamCount();

class LayerPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The GUI thread's side: every posted event dispatched in order.
    static void DispatchPosted();
    static bool Playing(TLayerId layer);
    static DWORD StreamFlags(HSTREAM handle);

    FakeLayerBoard board;
    static int DeviceFailures;

private:
    static void CountDeviceFailure() { ++DeviceFailures; }
};
