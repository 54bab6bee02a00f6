// Writes the settings file fuzz target's starting corpus: an export text of
// the key in both encodings, and each packed, behind the byte that picks the
// gate or the unpacker.

#include "player/settings/SettingsFile.h"
#include "tests/player/settings/ExportTexts.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr std::uint8_t kUnpack = 0;
constexpr std::uint8_t kGate = 1;

bool Write(const std::filesystem::path& path, std::uint8_t selector, const TBytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.put(static_cast<char>(selector));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: SettingsFuzzSeeds <corpus dir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const TBytes wide = Wide(kOwnExport);
    const TBytes ansi = Ansi(kOwnExport);
    const bool written = Write(dir / "wide-text", kGate, wide) && Write(dir / "ansi-text", kGate, ansi) &&
                         Write(dir / "wide-file", kUnpack, PackFile(wide)) &&
                         Write(dir / "ansi-file", kUnpack, PackFile(ansi));
    return written ? 0 : 1;
}
