#pragma once
// The chimes picker's pictures: the first half of the chimes bank, each entry
// a plain bitmap file of its own.

#include "player/engine/BankFormat.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where the pixel rows start, when the bytes hold a whole uncompressed bitmap
// file: its headers, its colour table and every row; nothing otherwise.
std::optional<std::size_t> BitmapFileBitsOffset(const std::vector<std::uint8_t>& file);

// The EntryCount pictures of a chimes bank in entry order. A picture whose
// offsets leave the file, or whose bytes are no whole bitmap, is left empty.
std::vector<std::vector<std::uint8_t>> ReadChimePictures(TBankFile& file, const TBankHeader& header);
