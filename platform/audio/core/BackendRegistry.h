#pragma once
// What the system side registered through Backends.h.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

OutputBackend* CurrentOutputBackend();
std::vector<DecoderFactory> RegisteredDecoders();
UrlOpener CurrentUrlOpener();
PluginLoader CurrentPluginLoader();
PluginUnloader CurrentPluginUnloader();
// The name as the file functions take it: through the registered namer, or unchanged.
std::string NameFromUtf8(const std::string& utf8);

}  // namespace ovelaudio
