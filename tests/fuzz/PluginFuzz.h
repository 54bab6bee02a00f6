#pragma once
// The plug-in whose table a fuzz program drives.

#include "platform/audio/plugins/OvelPlugin.h"

const OvelPluginTable* FuzzedTable();
