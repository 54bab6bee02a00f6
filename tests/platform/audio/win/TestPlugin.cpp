// A DLL built with and without the mark of our plug-ins, the marked one with
// a table of the given version that takes no file.

#ifdef OVEL_PLUGIN_TABLE_VERSION
#include "platform/audio/plugins/OvelPlugin.h"

namespace {

OvelPluginStream* OpenNothing(const OvelPluginInput*, OvelPluginFormat*) { return nullptr; }
size_t ReadNothing(OvelPluginStream*, float*, size_t) { return 0; }
int RewindNothing(OvelPluginStream*) { return 0; }
void CloseNothing(OvelPluginStream*) {}

const OvelPluginTable kTable = {OVEL_PLUGIN_TABLE_VERSION, OpenNothing, ReadNothing, RewindNothing, CloseNothing};

}  // namespace

extern "C" __declspec(dllexport) const OvelPluginTable* OvelPluginInit(void) { return &kTable; }
#else
extern "C" __declspec(dllexport) void SomeOtherExport() {}
#endif
