#pragma once
// The WMA plug-in's table: the system's Windows Media runtime decodes, when
// it is there; without it no file opens.

#include "platform/audio/plugins/OvelPlugin.h"

namespace ovelwma {

const OvelPluginTable* WmaPluginTable();

}  // namespace ovelwma
