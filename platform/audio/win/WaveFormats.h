#pragma once
// The sample formats the library hands the system's outputs.

#include <windows.h>
#include <mmreg.h>

#include <cstdint>

namespace ovelaudio {

// 2, 4, 6 or 8: the speakers of a device with this many channels.
uint32_t SpeakersOfChannels(uint32_t channels);

DWORD ChannelMaskOf(uint32_t speakers);

// 16-bit PCM plays on every device; more than two channels need the
// extensible form to say which speaker each one is.
WAVEFORMATEXTENSIBLE Pcm16Format(uint32_t rate, uint32_t speakers);

// Clipped to the 16-bit range.
void ConvertToPcm16(const float* in, void* out, size_t samples);

}  // namespace ovelaudio
