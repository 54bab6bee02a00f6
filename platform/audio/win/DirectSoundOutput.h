#pragma once
// The DirectSound devices as outputs of the library.

#include "platform/audio/core/Backends.h"

#include <windows.h>

#include <mutex>

struct IDirectSound8;
struct IDirectSoundBuffer;

namespace ovelaudio {

class DirectSoundOutput final : public OutputBackend {
public:
    // Every listing runs the system's enumeration again: a device that is gone
    // stays listed without the enabled flag, one that comes back gets its
    // old number.
    std::vector<DeviceEntry> Devices() override;
    std::unique_ptr<OutputDriver> Open(size_t index, uint32_t rate, void* window, RenderFn render, FailFn fail,
                                       int& error) override;

private:
    struct KnownDevice {
        GUID guid;
        DeviceEntry entry;
    };

    void Refresh();

    std::mutex mutex_;
    std::vector<KnownDevice> known_;
};

// Keeps a looping ring of ringBytes filled from render and releases it and its
// device (which may be null) at the end: Open's last step, and the way in for
// a ring that misbehaves on purpose.
std::unique_ptr<OutputDriver> PlayThroughRing(IDirectSound8* sound, IDirectSoundBuffer* ring, uint32_t speakers,
                                              bool emulated, DWORD ringBytes, RenderFn render, FailFn fail);

}  // namespace ovelaudio
