#pragma once
// Looking into finished banks: their header and entries, and their clips as
// ordinary files. The bank's catalogue name is its file name.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

// "wav", "ogg", "mp3", "bmp", "png", "jpg", "gif" or "ico" by the first bytes; "bin" otherwise.
std::string ClipFileExtension(const std::uint8_t* bytes, std::size_t size);

// Prints the header, the verdict of the player's checks and, for a sound bank,
// every entry; 0 for a sound bank, 1 otherwise.
int ListBank(const std::string& path, std::ostream& out, std::ostream& errors);

// Writes each clip of a sound bank unscrambled to outDir as <stem>-<entry>.<extension>;
// 0 when all were written.
int ExtractBank(const std::string& path, const std::string& outDir, std::ostream& out, std::ostream& errors);
