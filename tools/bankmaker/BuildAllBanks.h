#pragma once
// Synthesises every recording and writes the shipped banks into distDir.

#include <string>

// 0 on success; a failure is reported on the standard error output.
int BuildAllBanks(const std::string& distDir);
