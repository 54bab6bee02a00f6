#pragma once
// The forest layers: each plays one clip after another on a stream of its own,
// drawn from a sound bank, read into the layer's buffer, unscrambled, placed
// around the listener, and chained on by its END sync.
//
// Threads: everything here runs on the GUI thread. The audio library's END and
// device-failure syncs only hand (layer, sync) to the poster, and the GUI
// thread's dispatch runs the work, so layer state needs no lock.

#include "platform/audio/bass.h"
#include "player/engine/BankFormat.h"
#include "player/engine/LayerBoard.h"

#include <array>

// The layer slots: one clip buffer, one stream and its syncs each.
enum TLayerId : int {
    lyDayBackground1,
    lyDayBackground2,
    lyBirds1,
    lyBirds2,
    lyBirds3,
    lyNightBackground1,
    lyNightBackground2,
    lyNightVoices1,
    lyNightVoices2,
    lyFire1,
    lyFire2,
    lyFire3,
    lyWind1,
    lyWind2,
    LayerSlotCount
};

extern std::array<TClipBuffer, LayerSlotCount> ClipBuffers;
extern std::array<HSTREAM, LayerSlotCount> LayerChannels;
extern std::array<HSYNC, LayerSlotCount> LayerEndSyncs;  // the rain control removes these
extern std::array<HSYNC, LayerSlotCount> LayerDeviceSyncs;

// Orientation and velocity of every placed stream: zero, the library's default.
extern BASS_3DVECTOR ListenerNoVector[2];
void ClearChannel3DVectors();

// Set when the output opens: SoftwareMixing is 0 or 1 (shifted left by 4 it is
// BASS_SAMPLE_SOFTWARE), StreamFloatFlag is BASS_SAMPLE_FLOAT or 0.
extern int SoftwareMixing;
extern DWORD StreamFloatFlag;
extern int SpeakerCount;

// The current clip of bird strand 1, 2 or 3 is day ambience; the board's
// background volume reaches those strands too.
extern bool AmbienceClip1;
extern bool AmbienceClip2;
extern bool AmbienceClip3;
// Bird strand 1 or 2 plays an Option6 voice; the other strand keeps off that group.
extern bool Option6Clip1;
extern bool Option6Clip2;
// Written by the board while the user holds the night Option6 nearness control.
extern bool Option6Preview;
// The rain's frequency figure, set by the board's rain rarity choice; 1024
// until that is first applied.
extern int RainFreq;

// The board the layers read their options from; no layer plays without one.
void SetLayerBoard(TLayerBoard* board);

// Swaps left and right of a stereo float buffer; runs on the mixing thread.
void OVEL_AUDIO_CALLBACK SwapStereoDSP(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user);

void PlayDayBackground1();
void PlayDayBackground2();
void PlayBirds1();
void PlayBirds2();
void PlayBirds3();
void PlayNightBackground1();
void PlayNightBackground2();
void PlayNightVoices1();
void PlayNightVoices2();

// The scene starts: day backgrounds and as many bird strands as the bird
// activity asks for (none, two or three); night backgrounds and voices.
void StartDayLayers();
void StartNightLayers();

// Takes the layer out of its chain: its clip plays out, nothing follows.
void RemoveLayerEndSync(TLayerId layer);

// Frees every layer's stream, then its buffer, and clears the clip flags.
void StopLayers();

enum class TLayerEvent {
    End,
    DeviceFail
};

// Called on the audio library's sync thread; must only hand the event to the
// GUI thread, which then calls DispatchLayerEvent.
using TLayerEventPoster = void (*)(TLayerEvent event, TLayerId layer, HSYNC sync);
void SetLayerEventPoster(TLayerEventPoster poster);

// Runs on the GUI thread when a stream a layer still holds lost its device.
using TDeviceFailHandler = void (*)();
void SetDeviceFailHandler(TDeviceFailHandler handler);

// END: the layer's END work (clear its flag, play its next clip), only while
// sync is the END sync of the stream the layer holds, so a stale END is dropped.
// DeviceFail: the handler, only when the stream the layer holds reported it.
void DispatchLayerEvent(TLayerEvent event, TLayerId layer, HSYNC sync);
