#pragma once
// Plug-in files: DLLs that show they are ours by exporting kPluginMark.

#include <cstdint>
#include <string>

namespace ovelaudio {

constexpr const char* kPluginMark = "OvelPluginInit";

// A PluginLoader: the module, or 0 when the file is missing or not marked.
uintptr_t LoadPluginFile(const std::string& file);
// A PluginUnloader.
void FreePluginFile(uintptr_t module);

}  // namespace ovelaudio
