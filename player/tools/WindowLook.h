#pragma once
// The common rule of the board's own windows: a drop shadow on NT, from XP
// up to before Windows 10.

#include "platform/forms/Forms.h"

void AddWindowShadow(TCreateParams& params);
