// Fuzz target: a sound file through the public stream-creation path, the way a
// bank clip or a user's file reaches it (from memory) or an address's (as a
// download, decoded as it arrives), then played for a bounded time. The first
// byte picks the path and the stream flags; the rest is the file. Whatever the
// bytes, nothing may crash, the mix must stay finite, and a freed stream must
// leave none of the decoder's memory behind.

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/core/DecodeAhead.h"
#include "platform/audio/core/TestHooks.h"
#include "platform/audio/core/VorbisMemory.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kRate = 44100;
constexpr uint8_t kAsDownload = 1;
constexpr uint8_t kLoop = 2;
constexpr uint8_t kMono = 4;
constexpr uint8_t kPlaced = 8;
constexpr uint32_t kPieceFrames = 4410;
constexpr uint32_t kMostFrames = 2 * kRate;  // a looped or endless stream is cut off here

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

const uint8_t* fileBytes = nullptr;
size_t fileSize = 0;

// The file as a download that has all arrived by the time it is read, but
// says so only once the last byte has been read.
class Download : public ovelaudio::ByteSource {
public:
    size_t Read(void* out, size_t bytes) override
    {
        const size_t count = std::min(bytes, fileSize - position_);
        std::memcpy(out, fileBytes + position_, count);
        position_ += count;
        return count;
    }
    bool Seek(uint64_t position) override
    {
        if (position > fileSize)
            return false;
        position_ = static_cast<size_t>(position);
        return true;
    }
    uint64_t Size() const override { return UINT64_MAX; }
    bool Pending() const override { return position_ < fileSize; }

private:
    size_t position_ = 0;
};

std::unique_ptr<ovelaudio::ByteSource> OpenDownload(const std::string&, uint32_t, int&)
{
    return std::make_unique<Download>();
}

bool OpenOutput()
{
    ovelaudio::testhooks::SetManualNoSound(true);
    ovelaudio::testhooks::SetUrlOpenWait(0);
    ovelaudio::SetUrlOpener(OpenDownload);
    return BASS_Init(0, kRate, 0, nullptr, nullptr) != 0;
}

void PlayFor(HSTREAM stream, uint32_t frames)
{
    std::vector<float> out(kPieceFrames * 2);
    if (!BASS_ChannelPlay(stream, 0))
        return;
    for (uint32_t done = 0; done < frames && BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED;
         done += kPieceFrames) {
        ovelaudio::testhooks::RenderNoSound(out.data(), kPieceFrames);
        Require(std::all_of(out.begin(), out.end(), [](float sample) { return std::isfinite(sample); }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool opened = OpenOutput();
    Require(opened);
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    fileBytes = data + 1;
    fileSize = size - 1;
    const DWORD flags = ((mode & kLoop) ? BASS_SAMPLE_LOOP : 0) | ((mode & kMono) ? BASS_SAMPLE_MONO : 0) |
                        ((mode & kPlaced) ? BASS_SAMPLE_3D : 0);
    const HSTREAM stream = (mode & kAsDownload)
                               ? BASS_StreamCreateURL("http://fuzz.test/clip", 0, flags, nullptr, nullptr)
                               : BASS_StreamCreateFile(1, fileBytes, 0, fileSize, flags);
    if (stream != 0) {
        PlayFor(stream, kMostFrames);
        Require(BASS_StreamFree(stream) != 0);
    }
    ovelaudio::WaitForDecodingAhead();
    Require(ovelaudio::VorbisBlocksHeld() == 0);
    return 0;
}
