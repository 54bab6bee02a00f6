#pragma once
// A stream that decodes integer samples block by block, one array per
// channel, and hands them out as interleaved floats.

#include "platform/audio/plugins/PluginStream.h"

namespace ovelplugin {

class BlockStream : public Stream {
public:
    size_t Read(float* out, size_t frames) override;
    bool Rewind() override;

protected:
    // Samples of bits bits play at full scale.
    void SetScale(uint32_t bits);
    // Samples are the bit patterns of 32-bit floats.
    void SetFloatPatterns() { floatPatterns_ = true; }

private:
    virtual uint32_t Channels() const = 0;
    virtual bool NextBlock() = 0;
    virtual size_t BlockFrames() const = 0;
    virtual const int64_t* Samples(uint32_t channel) const = 0;
    virtual bool RewindBlocks() = 0;

    float scale_ = 1.0f;
    bool floatPatterns_ = false;
    size_t used_ = 0;  // frames of the current block already handed out
    bool ended_ = false;
};

}  // namespace ovelplugin
