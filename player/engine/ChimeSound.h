#pragma once
// The chimes' sound: one channel and one clip buffer serve both chimes, so a
// new chime ends the one that sounds. A chime is built-in chime T of the
// chimes bank or a file of the user's (a playlist gives one of its entries).

#include "platform/audio/bass.h"

#include <string>

extern HSTREAM ChimeChannel;

bool ChimePlaying();
// Frees the channel in any state, before its buffer may take another clip.
void StopChime();
void SetChimeVolume(float volume);

// Each ends the chime that sounds first; nothing sounds when the clip or the
// file cannot be opened.
void PlayBuiltInChime(int tag, float volume);
void PlayChimeFile(const std::string& path, float volume);
