#pragma once
// The system's audio endpoints in shared mode, as outputs of the library:
// from Vista on the cheapest way to the sound card. They get 16-bit samples
// at the output's rate, as DirectSound does: under Wine half the bytes of
// float on the way to the sound server.

#include "platform/audio/win/ListedOutput.h"

#include <string>

struct IAudioClient;
struct IAudioRenderClient;

namespace ovelaudio {

// Whether this system has endpoints to play through (it has none before Vista).
bool SharedModeAvailable();

class SharedModeOutput final : public ListedOutput<std::wstring> {
private:
    std::vector<Listed> List() override;
    std::unique_ptr<OutputDriver> OpenDevice(const std::wstring& endpoint, uint32_t rate, void* window, RenderFn render,
                                             FailFn fail, int& error) override;
};

// Keeps an initialised client of 16-bit samples filled from render and
// releases both interfaces at the end: the way in for a client that
// misbehaves on purpose. Null, with error set, when it cannot be used.
std::unique_ptr<OutputDriver> PlayThroughClient(IAudioClient* client, IAudioRenderClient* render, uint32_t rate,
                                                uint32_t speakers, RenderFn mix, FailFn fail, int& error);

}  // namespace ovelaudio
