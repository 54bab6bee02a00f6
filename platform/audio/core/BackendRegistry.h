#pragma once
// What the system side registered through Backends.h.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

OutputBackend* CurrentOutputBackend();
std::vector<DecoderFactory> RegisteredDecoders();
UrlOpener CurrentUrlOpener();
PluginLoader CurrentPluginLoader();
PluginUnloader CurrentPluginUnloader();

}  // namespace ovelaudio
