#include "tests/tools/bankmaker/shipped/FolderBankFiles.h"

#include <filesystem>

std::optional<std::uint64_t> TStreamBankFile::Size()
{
    stream_.clear();
    stream_.seekg(0, std::ios::end);
    const std::streamoff size = stream_.tellg();
    if (size < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

bool TStreamBankFile::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(position));
    stream_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return stream_.gcount() == static_cast<std::streamsize>(count);
}

std::string TFolderBankFiles::Path(const std::string& name) const
{
    return (std::filesystem::path(folder_) / name).string();
}

bool TFolderBankFiles::FileExists(const std::string& name) { return std::filesystem::is_regular_file(Path(name)); }

std::unique_ptr<TBankFile> TFolderBankFiles::OpenUnshared(const std::string& name)
{
    std::ifstream stream(Path(name), std::ios::binary);
    if (!stream)
        return nullptr;
    return std::make_unique<TStreamBankFile>(std::move(stream));
}
