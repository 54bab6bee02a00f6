#pragma once
// The FLAC plug-in's table.

#include "platform/audio/plugins/OvelPlugin.h"

namespace ovelflac {

const OvelPluginTable* FlacPluginTable();

}  // namespace ovelflac
