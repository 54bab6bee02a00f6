// BASS_PluginLoad and BASS_PluginFree over the plug-in table.

#include "platform/audio/bass.h"
#include "platform/audio/core/ApiErrors.h"
#include "platform/audio/core/BackendRegistry.h"
#include "platform/audio/core/Engine.h"
#include "platform/audio/core/PluginDecoder.h"
#include "platform/audio/core/Plugins.h"

#include <map>

using namespace ovelaudio;

namespace ovelaudio {
namespace {

struct Plugins {
    std::mutex mutex;
    std::map<HPLUGIN, std::shared_ptr<PluginModule>> loaded;  // handles grow: load order
};

// Never destroyed: unloading files while the program ends is the system's business.
Plugins& ThePlugins()
{
    static Plugins* plugins = new Plugins;
    return *plugins;
}

std::vector<std::shared_ptr<PluginModule>> LoadedModules()
{
    Plugins& plugins = ThePlugins();
    std::lock_guard<std::mutex> lock(plugins.mutex);
    std::vector<std::shared_ptr<PluginModule>> modules;
    for (const auto& entry : plugins.loaded)
        modules.push_back(entry.second);
    return modules;
}

}  // namespace

std::unique_ptr<Decoder> OpenWithPlugins(std::unique_ptr<ByteSource>& source)
{
    for (const std::shared_ptr<PluginModule>& module : LoadedModules())
        if (std::unique_ptr<Decoder> decoder = OpenPluginDecoder(module, source))
            return decoder;
    return nullptr;
}

}  // namespace ovelaudio

extern "C" {

HPLUGIN BASSDEF(BASS_PluginLoad)(const char* file, DWORD)
{
    if (RefusedInMix())
        return 0;
    PluginLoader load = CurrentPluginLoader();
    PluginUnloader unload = CurrentPluginUnloader();
    if (!file || !load || !unload)
        return Failed<HPLUGIN>(BASS_ERROR_FILEOPEN, 0);
    OvelPluginInitFn init = nullptr;
    const uintptr_t module = load(file, init);
    if (!module)
        return Failed<HPLUGIN>(BASS_ERROR_FILEOPEN, 0);
    const OvelPluginTable* table = init ? init() : nullptr;
    if (!table || table->version != OVEL_PLUGIN_VERSION) {
        unload(module);
        return Failed<HPLUGIN>(BASS_ERROR_VERSION, 0);
    }
    HPLUGIN handle = 0;
    {
        std::lock_guard<std::mutex> lock(Engine::Instance().mutex);
        handle = Engine::Instance().NewHandle();
    }
    std::lock_guard<std::mutex> lock(ThePlugins().mutex);
    ThePlugins().loaded[handle] = std::make_shared<PluginModule>(module, *table, unload);
    return Succeeded(handle);
}

// 0 frees every plug-in. Their streams go first, between two mixing blocks;
// a file unloads when nothing of it is left.
BOOL BASSDEF(BASS_PluginFree)(HPLUGIN handle)
{
    if (RefusedInMix())
        return kFalse;
    Plugins& plugins = ThePlugins();
    std::map<HPLUGIN, std::shared_ptr<PluginModule>> freeing;
    {
        std::lock_guard<std::mutex> lock(plugins.mutex);
        if (handle == 0) {
            freeing.swap(plugins.loaded);
        } else {
            const auto found = plugins.loaded.find(handle);
            if (found == plugins.loaded.end())
                return Failed<BOOL>(BASS_ERROR_HANDLE, kFalse);
            freeing.insert(*found);
            plugins.loaded.erase(found);
        }
    }
    {
        Engine& engine = Engine::Instance();
        std::lock_guard<std::mutex> lock(engine.mutex);
        for (const auto& entry : freeing)
            engine.FreeFrom(entry.second.get());
    }
    return Succeeded<BOOL>(kTrue);
}

}  // extern "C"
