#pragma once
// What the mixing core needs of the system: real output devices, extra
// decoders, URL sources and plug-in files. The Windows build registers its
// implementations when bass.dll loads; natively only the "no sound" device
// and the built-in decoders exist.

#include "platform/audio/plugins/OvelPlugin.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovelaudio {

struct DeviceEntry {
    std::string name;
    std::string driver;
    bool enabled = true;
    bool isDefault = false;
};

// The mix, called on the output's own thread. out holds ahead frames mixed
// before and not yet handed to the device, which a stream starting now may
// still join, then room for frames new ones; frames are interleaved floats of
// the output's channels. Answers whether any stream plays.
using RenderFn = std::function<bool(float* out, uint32_t ahead, uint32_t frames)>;
// Called once, on the output's own thread, when the device stops working.
using FailFn = std::function<void()>;

// One open output.
class OutputDriver {
public:
    virtual ~OutputDriver() = default;
    virtual uint32_t Rate() const = 0;      // the rate it plays: the one asked for where the device takes it
    virtual uint32_t Speakers() const = 0;  // 2, 4, 6 or 8; the render callback's channel count
    virtual bool Emulated() const = 0;      // DSCAPS_EMULDRIVER
    virtual bool Start() = 0;               // runs the render callback until Stop; false when the device cannot play
    virtual void Stop() = 0;                // waits until the callback no longer runs
    // A stream starts: mix it in now rather than at the next period.
    virtual void Wake() {}
    // How often the device ran out of sound while a stream played, since it opened.
    virtual uint64_t Underruns() const { return 0; }
};

class OutputBackend {
public:
    virtual ~OutputBackend() = default;
    // Real devices, 1-based in the library's numbering: entry i is device i + 1.
    // A device keeps its number for the whole run.
    virtual std::vector<DeviceEntry> Devices() = 0;
    // index into Devices(); window may be null. On failure returns null and
    // sets error to a BASS_ERROR_* code.
    virtual std::unique_ptr<OutputDriver> Open(size_t index, uint32_t rate, void* window, RenderFn render, FailFn fail,
                                               int& error) = 0;
};

// A decoded sound, pulled in float frames.
class Decoder {
public:
    virtual ~Decoder() = default;
    virtual uint32_t Rate() const = 0;
    virtual uint32_t Channels() const = 0;
    // Frames written to out (Channels() floats each); 0 at the end.
    virtual size_t Read(float* out, size_t frames) = 0;
    virtual bool Rewind() = 0;
    // Total frames, or UINT64_MAX when not known.
    virtual uint64_t LengthFrames() const = 0;
    // The loaded plug-in whose code decodes this, or null for the library's own decoders.
    virtual const void* Origin() const { return nullptr; }
    // Decoding costs far more than copying the frames would.
    virtual bool Compressed() const { return false; }
};

// Bytes of a sound file, from memory, a file or a URL; the decoder owns it.
// Read never waits for the network. A URL's bytes may still be arriving:
// while Pending() answers true, a Read that comes short means "not yet", not
// the end, and a Seek beyond what has arrived fails. Ask Pending() before
// reading: when it answered false everything had arrived, so a short Read is the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Bytes copied.
    virtual size_t Read(void* out, size_t bytes) = 0;
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Size() const = 0;  // UINT64_MAX when not known
    virtual bool Pending() const { return false; }
};

// How long a URL stream's creation waits for the bytes that tell its format,
// and how long a download may deliver nothing before it counts as ended.
constexpr uint32_t kNetTimeoutMs = 5000;

// Answers null when the bytes are not of its format (and leaves source at 0).
using DecoderFactory = std::unique_ptr<Decoder> (*)(std::unique_ptr<ByteSource>& source);
// Answers null and an error code when the address cannot be opened.
using UrlOpener = std::unique_ptr<ByteSource> (*)(const std::string& url, uint32_t offset, int& error);
// Loads a plug-in file and finds its entry; 0 when it is missing or unusable. Unload frees one.
using PluginLoader = uintptr_t (*)(const std::string& file, OvelPluginInitFn& init);
using PluginUnloader = void (*)(uintptr_t module);
// A UTF-8 name (an M3U8 entry) as the file functions take names; natively names are UTF-8 already.
using Utf8Namer = std::string (*)(const std::string& utf8);

void SetOutputBackend(OutputBackend* backend);
void RegisterDecoder(DecoderFactory factory);
void SetUrlOpener(UrlOpener opener);
void SetPluginLoader(PluginLoader load, PluginUnloader unload);
void SetUtf8Namer(Utf8Namer namer);

}  // namespace ovelaudio
