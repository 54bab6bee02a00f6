#pragma once
// Access to the program's own text files by ANSI path. Paths are written the
// Windows way (backslashes); other hosts read them with slashes, so the same
// ExeDir-based paths work in the native tests.

#include <optional>
#include <string>
#include <vector>

// Names (without folder) of the files, not folders, in folder whose name ends
// in extension (".lng"; letter case ignored), in the order the file system
// returns them. Empty when the folder cannot be listed.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension);

// The whole file as bytes; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

bool HasExtension(const std::string& name, const std::string& extension);

// The lines of a text whose lines end in CR LF; a bare LF ends a line as well.
std::vector<std::string> SplitLines(const std::string& text);
