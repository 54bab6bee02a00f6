#pragma once
// Plug-in files: DLLs that show they are ours by exporting OVEL_PLUGIN_INIT.

#include "platform/audio/plugins/OvelPlugin.h"

#include <cstdint>
#include <string>

namespace ovelaudio {

// A PluginLoader: the module and its entry, or 0 when the file is missing or not marked.
uintptr_t LoadPluginFile(const std::string& file, OvelPluginInitFn& init);
// A PluginUnloader.
void FreePluginFile(uintptr_t module);

}  // namespace ovelaudio
