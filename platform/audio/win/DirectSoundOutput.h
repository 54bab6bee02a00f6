#pragma once
// The DirectSound devices as outputs of the library.

#include "platform/audio/win/ListedOutput.h"

#include <windows.h>

struct IDirectSound8;
struct IDirectSoundBuffer;

namespace ovelaudio {

class DirectSoundOutput final : public ListedOutput<GUID> {
private:
    std::vector<Listed> List() override;
    std::unique_ptr<OutputDriver> OpenDevice(const GUID& device, uint32_t rate, void* window, RenderFn render,
                                             FailFn fail, int& error) override;
};

// Keeps a looping ring of ringBytes of 16-bit sound filled from render and
// releases it and its device (which may be null) at the end: Open's last step,
// and the way in for a ring that misbehaves on purpose. Null, with error set,
// when the ring cannot be used.
std::unique_ptr<OutputDriver> PlayThroughRing(IDirectSound8* sound, IDirectSoundBuffer* ring, uint32_t rate,
                                              uint32_t speakers, bool emulated, DWORD ringBytes, RenderFn render,
                                              FailFn fail, int& error);

}  // namespace ovelaudio
