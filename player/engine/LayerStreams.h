#pragma once
// What the layers share about their streams: the board they read, the clip of
// a slot read from its bank, the stream made of it, its place in the space,
// and the syncs that hand their events to the GUI thread.

#include "platform/audio/bass.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/LayerChoices.h"
#include "player/engine/Layers.h"

#include <cstdint>

constexpr BOOL kFromMemory = 1;
constexpr BOOL kGoOn = 0;  // play on from where the stream stands
constexpr float kPercent = 100.0f;

// The board the layers read; null while none is set.
TLayerBoard* LayerBoard();

// The stream the layer holds plays (a stalled one does not).
bool LayerPlaying(TLayerId layer);
// The stream the layer holds plays or waits for its bytes.
bool LayerSounding(TLayerId layer);

// Frees the layer's stream (and the mixer it plays in) before anything may
// reuse its buffer.
void ReleaseLayerStream(TLayerId layer);
// The layer's stream and buffer both go.
void FreeLayer(TLayerId layer);

// The choice's clip into the layer's buffer, unscrambled; the layer's old
// stream is freed first.
bool ReadLayerClip(TLayerId layer, const TClipChoice& choice);
// One entry of a bank, when the bank is there and holds it.
bool ReadBankEntry(TLayerId layer, TBankId bank, std::uint32_t entry);

// The output's software and float flags with the kind's own.
DWORD StreamFlags(DWORD kindFlags);
// BASS_SAMPLE_SOFTWARE when the output mixes in software, else 0.
DWORD SoftwareFlag();
HSTREAM CreateClipStream(TLayerId layer, DWORD kindFlags);
// The number of channels of a stream; 0 when it cannot be told.
DWORD StreamChannels(HSTREAM handle);

void PlaceStream(HSTREAM handle, const TClipPosition& where);
void SetVolume(HSTREAM handle, float volume);
// A track bar's position as a volume.
float PercentVolume(TBoardControl control);
// The layer row's draw, with the limiter as the board has it.
TClipPosition DrawPosition(TPlacementRow row);

// The layer holds the stream; its END and device-failure syncs reach the GUI
// thread as events of the layer. The stream plays.
void StartLayerStream(TLayerId layer, HSTREAM handle);
HSYNC SetLayerEndSync(TLayerId layer, HSTREAM handle);
HSYNC SetLayerDeviceSync(TLayerId layer, HSTREAM handle);

// From any thread: hands an event of the layer to the GUI thread.
void PostLayerEvent(TLayerEvent event, TLayerId layer, DWORD data);
