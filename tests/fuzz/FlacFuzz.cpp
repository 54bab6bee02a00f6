#include "platform/audio/plugins/flac/FlacPlugin.h"
#include "tests/fuzz/PluginFuzz.h"

const OvelPluginTable* FuzzedTable() { return ovelflac::FlacPluginTable(); }
