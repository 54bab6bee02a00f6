#include "platform/audio/core/ByteSources.h"

#include <algorithm>
#include <cstring>

namespace ovelaudio {

size_t MemorySource::Read(void* out, size_t bytes)
{
    const size_t count = std::min(bytes, size_ - position_);
    std::memcpy(out, data_ + position_, count);
    position_ += count;
    return count;
}

bool MemorySource::Seek(uint64_t position)
{
    if (position > size_)
        return false;
    position_ = static_cast<size_t>(position);
    return true;
}

void MemorySource::Reset(const uint8_t* data, size_t size)
{
    data_ = data;
    size_ = size;
    position_ = 0;
}

OwnedMemorySource::OwnedMemorySource(std::vector<uint8_t> bytes) : MemorySource(nullptr, 0), bytes_(std::move(bytes))
{
    Reset(bytes_.data(), bytes_.size());
}

std::unique_ptr<ByteSource> FileSource::Open(const std::string& path, uint64_t offset, uint64_t length)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    uint64_t fileSize = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        fileSize = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
    if (offset > fileSize) {
        std::fclose(file);
        return nullptr;
    }
    const uint64_t rest = fileSize - offset;
    const uint64_t size = length == 0 ? rest : std::min(length, rest);
    std::unique_ptr<FileSource> source(new FileSource(file, offset, size));
    source->Seek(0);
    return source;
}

FileSource::~FileSource() { std::fclose(file_); }

size_t FileSource::Read(void* out, size_t bytes)
{
    const size_t count = static_cast<size_t>(std::min<uint64_t>(bytes, size_ - position_));
    const size_t got = std::fread(out, 1, count, file_);
    position_ += got;
    return got;
}

bool FileSource::Seek(uint64_t position)
{
    if (position > size_)
        return false;
    if (std::fseek(file_, static_cast<long>(offset_ + position), SEEK_SET) != 0)
        return false;
    position_ = position;
    return true;
}

std::vector<uint8_t> ReadAll(ByteSource& source) { return ReadAtMost(source, SIZE_MAX); }

std::vector<uint8_t> ReadAtMost(ByteSource& source, size_t limit)
{
    constexpr size_t kChunk = 64 * 1024;
    std::vector<uint8_t> bytes;
    if (source.Size() != UINT64_MAX)
        bytes.reserve(static_cast<size_t>(std::min<uint64_t>(source.Size(), limit)));
    size_t got = 0;
    do {
        const size_t used = bytes.size();
        const size_t chunk = std::min(kChunk, limit - used);
        bytes.resize(used + chunk);
        got = source.Read(bytes.data() + used, chunk);
        bytes.resize(used + got);
    } while (got > 0);
    return bytes;
}

}  // namespace ovelaudio
