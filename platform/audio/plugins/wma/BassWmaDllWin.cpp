// basswma.dll: the WMA plug-in.

#include "platform/audio/plugins/wma/WmaPluginWin.h"

extern "C" __declspec(dllexport) const OvelPluginTable* OvelPluginInit(void) { return ovelwma::WmaPluginTable(); }
