#pragma once
// Byte sources of sound files: caller memory (not copied), owned bytes and files.

#include "platform/audio/core/Backends.h"

#include <cstdio>

namespace ovelaudio {

// Bytes that are in memory as a whole, so decoders may read them in place.
class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(void* out, size_t bytes) override;
    bool Seek(uint64_t position) override;
    uint64_t Size() const override { return size_; }
    const uint8_t* Data() const { return data_; }

protected:
    void Reset(const uint8_t* data, size_t size);

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// Memory that the source owns, e.g. everything a URL delivered.
class OwnedMemorySource : public MemorySource {
public:
    explicit OwnedMemorySource(std::vector<uint8_t> bytes);

private:
    std::vector<uint8_t> bytes_;
};

class FileSource : public ByteSource {
public:
    // Null when the file cannot be opened or is shorter than offset.
    static std::unique_ptr<ByteSource> Open(const std::string& path, uint64_t offset, uint64_t length);
    ~FileSource() override;
    size_t Read(void* out, size_t bytes) override;
    bool Seek(uint64_t position) override;
    uint64_t Size() const override { return size_; }

private:
    FileSource(std::FILE* file, uint64_t offset, uint64_t size) : file_(file), offset_(offset), size_(size) {}
    std::FILE* file_;
    uint64_t offset_;
    uint64_t size_;
    uint64_t position_ = 0;
};

// Every byte a source still has.
std::vector<uint8_t> ReadAll(ByteSource& source);
// The same, but no more than limit bytes.
std::vector<uint8_t> ReadAtMost(ByteSource& source, size_t limit);

}  // namespace ovelaudio
