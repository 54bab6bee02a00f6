#pragma once
// The WavPack plug-in's table.

#include "platform/audio/plugins/OvelPlugin.h"

namespace ovelwavpack {

const OvelPluginTable* WavPackPluginTable();

}  // namespace ovelwavpack
