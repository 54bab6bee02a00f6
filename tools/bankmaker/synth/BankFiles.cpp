#include "tools/bankmaker/synth/BankFiles.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

bool IsThreeByteBank(const std::string& file)
{
    const std::string suffix = ".3bs";
    return file.size() > suffix.size() && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0;
}

size_t WriteBankFile(const std::string& dir, const std::string& file, uint8_t revision,
                     std::array<uint8_t, 3> groupCounts, uint16_t entryCount, const std::vector<BankClip>& clips)
{
    const std::vector<uint8_t> bytes = WriteBank(file, revision, groupCounts, entryCount, clips);
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = std::filesystem::path(dir) / file;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error(path.string() + ": cannot write");
    return bytes.size();
}
