#pragma once
// A loaded plug-in, and its streams as decoders of the library.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// The plug-in's file stays loaded while the library or any of its streams holds it.
class PluginModule {
public:
    PluginModule(uintptr_t module, const OvelPluginTable& table, PluginUnloader unload)
        : module_(module), table_(table), unload_(unload)
    {}
    ~PluginModule() { unload_(module_); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const OvelPluginTable& Table() const { return table_; }

private:
    uintptr_t module_;
    const OvelPluginTable& table_;
    PluginUnloader unload_;
};

// Null, with source left at 0, when the plug-in does not take the bytes.
std::unique_ptr<Decoder> OpenPluginDecoder(const std::shared_ptr<PluginModule>& module,
                                           std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
