#include "platform/audio/core/BackendRegistry.h"

#include <algorithm>
#include <mutex>

namespace ovelaudio {
namespace {

struct Registry {
    std::mutex mutex;
    OutputBackend* output = nullptr;
    std::vector<DecoderFactory> decoders;
    UrlOpener urlOpener = nullptr;
    PluginLoader pluginLoader = nullptr;
    PluginUnloader pluginUnloader = nullptr;
    Utf8Namer utf8Namer = nullptr;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

template <typename T>
T Read(T Registry::*field)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.*field;
}

}  // namespace

void SetOutputBackend(OutputBackend* backend)
{
    std::lock_guard<std::mutex> lock(TheRegistry().mutex);
    TheRegistry().output = backend;
}

void RegisterDecoder(DecoderFactory factory)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (std::find(registry.decoders.begin(), registry.decoders.end(), factory) == registry.decoders.end())
        registry.decoders.push_back(factory);
}

void SetUrlOpener(UrlOpener opener)
{
    std::lock_guard<std::mutex> lock(TheRegistry().mutex);
    TheRegistry().urlOpener = opener;
}

void SetPluginLoader(PluginLoader load, PluginUnloader unload)
{
    std::lock_guard<std::mutex> lock(TheRegistry().mutex);
    TheRegistry().pluginLoader = load;
    TheRegistry().pluginUnloader = unload;
}

void SetUtf8Namer(Utf8Namer namer)
{
    std::lock_guard<std::mutex> lock(TheRegistry().mutex);
    TheRegistry().utf8Namer = namer;
}

OutputBackend* CurrentOutputBackend() { return Read(&Registry::output); }
std::vector<DecoderFactory> RegisteredDecoders() { return Read(&Registry::decoders); }
UrlOpener CurrentUrlOpener() { return Read(&Registry::urlOpener); }
PluginLoader CurrentPluginLoader() { return Read(&Registry::pluginLoader); }
PluginUnloader CurrentPluginUnloader() { return Read(&Registry::pluginUnloader); }

std::string NameFromUtf8(const std::string& utf8)
{
    const Utf8Namer namer = Read(&Registry::utf8Namer);
    return namer ? namer(utf8) : utf8;
}

}  // namespace ovelaudio
