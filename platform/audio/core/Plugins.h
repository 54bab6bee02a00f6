#pragma once
// The plug-ins loaded through BASS_PluginLoad, as one more decoder factory.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// Tries each loaded plug-in in the order they were loaded.
std::unique_ptr<Decoder> OpenWithPlugins(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
