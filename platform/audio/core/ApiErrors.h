#pragma once
// The error code that BASS_ErrorGetCode answers, kept per thread.

#include "platform/audio/bass.h"

namespace ovelaudio {

constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;

void SetLastError(int code);
int LastError();

// Records code and answers the call's failure value.
template <typename T>
T Failed(int code, T value) {
    SetLastError(code);
    return value;
}

template <typename T>
T Succeeded(T value) {
    SetLastError(0);
    return value;
}

// A DSP runs on the mixing thread while the engine is locked: an operation it
// calls would wait for itself. True, with BASS_ERROR_BUSY recorded, when called there.
bool RefusedInMix();

// Records code (BASS_OK or an error) and answers whether it is BASS_OK.
inline BOOL Outcome(int code) {
    SetLastError(code);
    return code == 0;
}

}  // namespace ovelaudio
