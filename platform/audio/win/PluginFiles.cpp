#include "platform/audio/win/PluginFiles.h"

#include <windows.h>

namespace ovelaudio {

uintptr_t LoadPluginFile(const std::string& file, OvelPluginInitFn& init)
{
    // A missing file must not bring up the system's error box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryA(file.c_str());
    SetErrorMode(oldMode);
    if (!module)
        return 0;
    init = reinterpret_cast<OvelPluginInitFn>(reinterpret_cast<void*>(GetProcAddress(module, OVEL_PLUGIN_INIT)));
    if (!init) {
        FreeLibrary(module);
        return 0;
    }
    return reinterpret_cast<uintptr_t>(module);
}

void FreePluginFile(uintptr_t module) { FreeLibrary(reinterpret_cast<HMODULE>(module)); }

}  // namespace ovelaudio
