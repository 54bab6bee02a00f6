#pragma once
// The mixer add-on: mixer streams fed by decode-only sources through channel
// matrices. Without a matrix a mono source goes to every channel but the LFE
// and channel i of a source to channel i of the mixer. Pan on a mixer (or on a
// source) is a left/right balance over the left-side (front, rear, side left)
// and right-side speakers; centre and LFE keep their level. A source's volume
// and pan apply inside its mixer; a stopped source is paused there.

#include "platform/audio/bass.h"

#ifdef __cplusplus
extern "C" {
#endif

#define BASS_MIXER_END 0x10000     // mixer flag: end when every source has ended
#define BASS_MIXER_MATRIX 0x10000  // source flag: mix through a channel matrix

HSTREAM BASSDEF(BASS_Mixer_StreamCreate)(DWORD freq, DWORD chans, DWORD flags);
BOOL BASSDEF(BASS_Mixer_StreamAddChannel)(HSTREAM handle, DWORD channel, DWORD flags);
// matrix: float[mixer channels][source channels], output-by-input gains.
BOOL BASSDEF(BASS_Mixer_ChannelSetMatrix)(DWORD handle, const void* matrix);

#ifdef __cplusplus
}
#endif
