#pragma once
// The bytes from a decoder's place in its input on, read ahead as it needs
// them. A download that has not delivered yet is told apart from the end.

#include "platform/audio/plugins/PluginStream.h"

namespace ovelplugin {

class ByteWindow {
public:
    explicit ByteWindow(ByteInput& input) : input_(input) {}

    // Makes sure at least bytes bytes are there; false when the input ends
    // first, or has not delivered them yet (then Waiting()).
    bool Fill(size_t bytes);
    const uint8_t* Data() const { return bytes_.data() + start_; }
    size_t Available() const { return bytes_.size() - start_; }
    void Drop(size_t bytes);
    bool Ended() const { return ended_; }
    bool Waiting() const { return waiting_; }
    // Forgets everything, as after the input was moved.
    void Clear();

private:
    ByteInput& input_;
    std::vector<uint8_t> bytes_;
    size_t start_ = 0;
    bool ended_ = false;
    bool waiting_ = false;
};

}  // namespace ovelplugin
