#include "platform/audio/plugins/wavpack/WavPackPlugin.h"
#include "tests/fuzz/PluginFuzz.h"

const OvelPluginTable* FuzzedTable() { return ovelwavpack::WavPackPluginTable(); }
