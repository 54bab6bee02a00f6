#include "platform/audio/plugins/PluginStream.h"

#include <algorithm>
#include <cstring>

namespace ovelplugin {
namespace {

constexpr size_t kReadAhead = 64 * 1024;

}  // namespace

size_t ByteInput::Read(uint8_t* out, size_t bytes)
{
    size_t done = 0;
    while (done < bytes) {
        if (begin_ == buffer_.size()) {
            buffer_.resize(kReadAhead);
            buffer_.resize(input_.read(input_.user, buffer_.data(), kReadAhead));
            begin_ = 0;
            if (buffer_.empty())
                break;
        }
        const size_t take = std::min(bytes - done, buffer_.size() - begin_);
        std::memcpy(out + done, buffer_.data() + begin_, take);
        begin_ += take;
        done += take;
    }
    position_ += done;
    return done;
}

bool ByteInput::Skip(uint64_t bytes)
{
    const uint64_t buffered = buffer_.size() - begin_;
    if (bytes <= buffered) {
        begin_ += static_cast<size_t>(bytes);
        position_ += bytes;
        return true;
    }
    return Seek(position_ + bytes);
}

bool ByteInput::Seek(uint64_t position)
{
    buffer_.clear();
    begin_ = 0;
    if (input_.seek(input_.user, position) == 0)
        return false;
    position_ = position;
    return true;
}

}  // namespace ovelplugin
