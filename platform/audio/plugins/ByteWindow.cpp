#include "platform/audio/plugins/ByteWindow.h"

#include <algorithm>

namespace ovelplugin {
namespace {

constexpr size_t kReadPiece = 64 * 1024;

}  // namespace

bool ByteWindow::Fill(size_t bytes)
{
    waiting_ = false;
    if (Available() >= bytes)
        return true;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
    while (bytes_.size() < bytes && !ended_) {
        const size_t have = bytes_.size();
        const size_t want = std::max(bytes - have, kReadPiece);
        bytes_.resize(have + want);
        const size_t got = input_.Read(bytes_.data() + have, want);
        bytes_.resize(have + got);
        if (got < want) {
            waiting_ = input_.Pending();
            ended_ = !waiting_;
            break;
        }
    }
    return bytes_.size() >= bytes;
}

void ByteWindow::Drop(size_t bytes) { start_ = std::min(bytes_.size(), start_ + bytes); }

void ByteWindow::Clear()
{
    bytes_.clear();
    start_ = 0;
    ended_ = false;
    waiting_ = false;
}

}  // namespace ovelplugin
