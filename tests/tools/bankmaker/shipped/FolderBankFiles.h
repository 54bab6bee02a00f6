#pragma once
// The banks of one folder on disk, read the way the player reads them.

#include "player/engine/SoundBanks.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class TStreamBankFile : public TBankFile {
public:
    explicit TStreamBankFile(std::ifstream stream) : stream_(std::move(stream)) {}
    std::optional<std::uint64_t> Size() override;
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t count) override;

private:
    std::ifstream stream_;
};

class TFolderBankFiles : public TBankFileSystem {
public:
    explicit TFolderBankFiles(std::string folder) : folder_(std::move(folder)) {}
    bool FileExists(const std::string& name) override;
    std::unique_ptr<TBankFile> OpenUnshared(const std::string& name) override;

private:
    std::string Path(const std::string& name) const;
    std::string folder_;
};
