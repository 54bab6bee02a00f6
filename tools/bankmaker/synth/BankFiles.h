#pragma once
// Writing finished banks to disk, for the shipped set and the test set alike.

#include "tools/bankmaker/BankWriter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A bank of the .3bs layout (group counts) rather than .cok/.ics (entry count).
bool IsThreeByteBank(const std::string& file);

// Builds the bank and writes it as dir/file, creating dir; returns its size.
// Throws when the clips do not match the counts or the file cannot be written.
size_t WriteBankFile(const std::string& dir, const std::string& file, uint8_t revision,
                     std::array<uint8_t, 3> groupCounts, uint16_t entryCount, const std::vector<BankClip>& clips);
