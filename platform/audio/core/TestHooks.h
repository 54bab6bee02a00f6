#pragma once
// Hooks for deterministic tests of the library: device 0 mixed on demand into memory.

#include <cstddef>
#include <cstdint>

namespace ovelaudio::testhooks {

// From the next BASS_Init(0, ...) on, device 0 mixes only through RenderNoSound.
void SetManualNoSound(bool manual);
bool ManualNoSound();

// From the next BASS_Init(0, ...) on, device 0 keeps this many frames mixed
// ahead of what it plays, as a real output does (none unless set).
void SetNoSoundAhead(uint32_t frames);
uint32_t NoSoundAhead();

// From the next BASS_Init(0, ...) on, device 0 has this many speakers: 2
// (unless set), 4, 6 or 8; any other count is refused and leaves it as it was.
bool SetNoSoundSpeakers(uint32_t speakers);
uint32_t NoSoundSpeakers();

// How often the outputs ran out of sound while a stream played, since the program started.
uint64_t Underruns();

// Mixes frames of the manual device 0 (NoSoundSpeakers() channels interleaved) and advances its
// time; returns once the syncs that the mix raised have run.
void RenderNoSound(float* out, uint32_t frames);

// Reports a failure of the open output, as its driver would, and waits for the syncs.
void FailOutput();

// Waits until the sync thread has nothing left to run.
void WaitForSyncs();

size_t LiveStreams();

// How long URL stream creation waits for the format's bytes (kNetTimeoutMs unless set).
void SetUrlOpenWait(uint32_t ms);
uint32_t UrlOpenWait();

}  // namespace ovelaudio::testhooks
