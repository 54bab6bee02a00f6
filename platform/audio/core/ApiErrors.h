#pragma once
// The error code that BASS_ErrorGetCode answers, kept per thread.

#include "platform/audio/bass.h"
#include "platform/audio/core/Limits.h"

namespace ovelaudio {

constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;

void SetLastError(int code);
int LastError();

// Records code and answers the call's failure value.
template <typename T>
T Failed(int code, T value)
{
    SetLastError(code);
    return value;
}

template <typename T>
T Succeeded(T value)
{
    SetLastError(0);
    return value;
}

// A DSP runs on the mixing thread while the engine is locked: an operation it
// calls would wait for itself. True, with BASS_ERROR_BUSY recorded, when called there.
bool RefusedInMix();

// BASS_ERROR_FORMAT for more channels than the mixing stage takes, BASS_ERROR_FREQ
// for a rate out of range, else BASS_OK.
inline int FormatError(uint32_t rate, uint32_t channels)
{
    if (channels < 1 || channels > kMaxChannels)
        return BASS_ERROR_FORMAT;
    if (rate < kMinRate || rate > kMaxRate)
        return BASS_ERROR_FREQ;
    return BASS_OK;
}

// Records code (BASS_OK or an error) and answers whether it is BASS_OK.
inline BOOL Outcome(int code)
{
    SetLastError(code);
    return code == 0;
}

}  // namespace ovelaudio
