// bassflac.dll: the FLAC plug-in.

#include "platform/audio/plugins/flac/FlacPlugin.h"

extern "C" __declspec(dllexport) const OvelPluginTable* OvelPluginInit(void) { return ovelflac::FlacPluginTable(); }
