#pragma once
// The four banks the player knows but the shipped set leaves out (ovdb.3bs,
// ovdf.3bs, ovmd.3bs, ovmn.3bs), small, for tests of their fallback paths.

#include <string>

// Writes them into dir; 0 on success, a failure is reported on standard error.
int BuildTestBanks(const std::string& dir);
