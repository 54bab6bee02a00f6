#pragma once
// What a plug-in's decoder is on our side of the table: a stream of float
// frames over buffered input bytes, exported through TableOf.

#include "platform/audio/plugins/OvelPlugin.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace ovelplugin {

// The library's bytes through its callbacks, read in large pieces.
class ByteInput {
public:
    explicit ByteInput(const OvelPluginInput& input) : input_(input) {}
    // Bytes copied; fewer only at the end.
    size_t Read(uint8_t* out, size_t bytes);
    bool Skip(uint64_t bytes);
    bool Seek(uint64_t position);
    uint64_t Position() const { return position_; }
    uint64_t Size() const { return input_.size(input_.user); }
    bool Pending() const { return input_.pending(input_.user) != 0; }

private:
    OvelPluginInput input_;
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;       // first unread byte of buffer_
    uint64_t position_ = 0;  // of that byte in the file
};

// What a decoder tells of its stream once it has read the start.
struct StreamInfo {
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint32_t bitsPerSample = 0;  // integers play at full scale at this width
    bool floatSamples = false;   // samples are the bit patterns of 32-bit floats instead
    uint64_t totalFrames = 0;    // 0 when not known
};

class Stream {
public:
    virtual ~Stream() = default;
    // Interleaved frames written to out; 0 at the end.
    virtual size_t Read(float* out, size_t frames) = 0;
    virtual bool Rewind() = 0;
};

// Null when the bytes are not of the stream's format; fills format otherwise.
using StreamOpener = std::unique_ptr<Stream> (*)(const OvelPluginInput& input, OvelPluginFormat& format);

// The table of a plug-in whose streams open is given.
template <StreamOpener open>
const OvelPluginTable* TableOf()
{
    // Nothing thrown may cross into the library: a failure is a null stream or 0 frames.
    struct Entries {
        static OvelPluginStream* Open(const OvelPluginInput* input, OvelPluginFormat* format)
        {
            try {
                return reinterpret_cast<OvelPluginStream*>(open(*input, *format).release());
            } catch (...) {
                return nullptr;
            }
        }
        static size_t Read(OvelPluginStream* stream, float* out, size_t frames)
        {
            try {
                return reinterpret_cast<Stream*>(stream)->Read(out, frames);
            } catch (...) {
                return 0;
            }
        }
        static int Rewind(OvelPluginStream* stream)
        {
            try {
                return reinterpret_cast<Stream*>(stream)->Rewind() ? 1 : 0;
            } catch (...) {
                return 0;
            }
        }
        static void Close(OvelPluginStream* stream) { delete reinterpret_cast<Stream*>(stream); }
    };
    static const OvelPluginTable table = {OVEL_PLUGIN_VERSION, Entries::Open, Entries::Read, Entries::Rewind,
                                          Entries::Close};
    return &table;
}

}  // namespace ovelplugin
