// basswv.dll: the WavPack plug-in.

#include "platform/audio/plugins/wavpack/WavPackPlugin.h"

extern "C" __declspec(dllexport) const OvelPluginTable* OvelPluginInit(void)
{
    return ovelwavpack::WavPackPluginTable();
}
