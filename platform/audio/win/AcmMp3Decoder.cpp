#include "platform/audio/win/AcmMp3Decoder.h"

#include "platform/audio/win/Mp3Frames.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace ovelaudio {

namespace {

constexpr size_t kInputBytes = 8192;      // several frames at any bitrate
constexpr DWORD kMinOutputBytes = 65536;  // what the codec may hand back for that
constexpr size_t kFirstFrameProbe = 256;  // covers the encoder's tag in the first frame
constexpr WORD kPcmBits = 16;
constexpr float kPcmScale = 1.0f / 32768.0f;
constexpr WORD kCodecDelay = 1393;  // the samples the decoder's filter bank lags behind

struct Mp3Start {
    uint64_t offset = 0;  // of the first frame
    Mp3Frame frame;
    std::optional<uint32_t> frameCount;
};

bool ReadAt(ByteSource& source, uint64_t position, uint8_t* out, size_t bytes)
{
    return source.Seek(position) && source.Read(out, bytes) == bytes;
}

std::optional<Mp3Start> FindStart(ByteSource& source)
{
    uint8_t head[kFirstFrameProbe] = {};
    if (!ReadAt(source, 0, head, kId3v2HeaderBytes))
        return std::nullopt;
    Mp3Start start;
    start.offset = Id3v2TagBytes(head);
    if (!source.Seek(start.offset))
        return std::nullopt;
    const size_t got = source.Read(head, sizeof head);
    const auto first = got >= kMp3HeaderBytes ? ParseMp3Header(head) : std::nullopt;
    if (!first)
        return std::nullopt;
    start.frame = *first;
    start.frameCount = EncoderFrameCount(*first, head, got);

    uint8_t next[kMp3HeaderBytes] = {};
    const uint64_t nextOffset = start.offset + first->bytes;
    if (!ReadAt(source, nextOffset, next, sizeof next))
        return source.Size() == nextOffset ? std::optional<Mp3Start>(start) : std::nullopt;
    const auto second = ParseMp3Header(next);
    if (!second || second->rate != first->rate || second->samples != first->samples)
        return std::nullopt;
    return start;
}

MPEGLAYER3WAVEFORMAT Mp3Format(const Mp3Frame& frame)
{
    MPEGLAYER3WAVEFORMAT format{};
    format.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    format.wfx.nChannels = static_cast<WORD>(frame.channels);
    format.wfx.nSamplesPerSec = frame.rate;
    format.wfx.nAvgBytesPerSec = frame.bitrate / 8;
    format.wfx.nBlockAlign = 1;
    format.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    format.wID = MPEGLAYER3_ID_MPEG;
    format.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    format.nBlockSize = static_cast<WORD>(frame.bytes);
    format.nFramesPerBlock = 1;
    format.nCodecDelay = kCodecDelay;
    return format;
}

WAVEFORMATEX PcmFormat(const Mp3Frame& frame)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(frame.channels);
    format.nSamplesPerSec = frame.rate;
    format.wBitsPerSample = kPcmBits;
    format.nBlockAlign = static_cast<WORD>(frame.channels * kPcmBits / 8);
    format.nAvgBytesPerSec = frame.rate * format.nBlockAlign;
    return format;
}

class AcmMp3Decoder final : public Decoder {
public:
    AcmMp3Decoder(std::unique_ptr<ByteSource> source, const Mp3Start& start)
        : source_(std::move(source)), start_(start), input_(kInputBytes)
    {}
    ~AcmMp3Decoder() override { Close(); }

    std::unique_ptr<ByteSource> ReleaseSource() { return std::move(source_); }

    bool Open()
    {
        MPEGLAYER3WAVEFORMAT mp3 = Mp3Format(start_.frame);
        WAVEFORMATEX pcm = PcmFormat(start_.frame);
        if (!Rewind() ||
            acmStreamOpen(&stream_, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
            return false;
        DWORD outputBytes = 0;
        if (acmStreamSize(stream_, kInputBytes, &outputBytes, ACM_STREAMSIZEF_SOURCE) != 0)
            outputBytes = 0;
        output_.resize(std::max(outputBytes, kMinOutputBytes));
        header_ = {};
        header_.cbStruct = sizeof header_;
        header_.pbSrc = input_.data();
        header_.cbSrcLength = static_cast<DWORD>(input_.size());
        header_.pbDst = output_.data();
        header_.cbDstLength = static_cast<DWORD>(output_.size());
        if (acmStreamPrepareHeader(stream_, &header_, 0) != 0) {
            Close();
            return false;
        }
        return true;
    }

    uint32_t Rate() const override { return start_.frame.rate; }
    uint32_t Channels() const override { return start_.frame.channels; }

    size_t Read(float* out, size_t frames) override
    {
        const size_t frameBytes = start_.frame.channels * kPcmBits / 8;
        size_t done = 0;
        while (done < frames && (outputAt_ < outputBytes_ || Convert())) {
            const size_t take = std::min((outputBytes_ - outputAt_) / frameBytes, frames - done);
            const auto* pcm = reinterpret_cast<const int16_t*>(output_.data() + outputAt_);
            for (size_t i = 0; i < take * start_.frame.channels; ++i)
                out[done * start_.frame.channels + i] = float(pcm[i]) * kPcmScale;
            done += take;
            outputAt_ += take * frameBytes;
        }
        return done;
    }

    // Runs on the mixing thread at every loop: the codec stays open and only
    // forgets what it holds, on the next pass.
    bool Rewind() override
    {
        if (!source_->Seek(start_.offset))
            return false;
        inputBytes_ = outputAt_ = outputBytes_ = 0;
        sourceEnded_ = ended_ = false;
        restart_ = true;
        return true;
    }

    // The encoder's count when it wrote one, else an estimate from the first
    // frame's bitrate, exact for constant bitrates.
    uint64_t LengthFrames() const override
    {
        const Mp3Frame& frame = start_.frame;
        if (start_.frameCount)
            return uint64_t(*start_.frameCount) * frame.samples;
        const uint64_t size = source_->Size();
        if (size == UINT64_MAX || size <= start_.offset)
            return UINT64_MAX;
        return (size - start_.offset) * 8 * frame.rate / frame.bitrate;
    }

private:
    // One pass of the codec over what input has gathered; false at the end.
    bool Convert()
    {
        if (ended_)
            return false;
        const bool waiting = Gather();
        header_.cbSrcLength = static_cast<DWORD>(inputBytes_);
        header_.cbDstLength = static_cast<DWORD>(output_.size());
        header_.cbSrcLengthUsed = header_.cbDstLengthUsed = 0;
        const DWORD flags = (sourceEnded_ ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN) |
                            (restart_ ? ACM_STREAMCONVERTF_START : 0);
        restart_ = false;
        if (acmStreamConvert(stream_, &header_, flags) != 0) {
            ended_ = true;
            return false;
        }
        const size_t used = std::min<size_t>(header_.cbSrcLengthUsed, inputBytes_);
        std::memmove(input_.data(), input_.data() + used, inputBytes_ - used);
        inputBytes_ -= used;
        outputAt_ = 0;
        outputBytes_ = header_.cbDstLengthUsed;
        if (outputBytes_ == 0 && used == 0 && waiting)
            return false;  // a download behind: no end, more comes later
        // Nothing out and nothing taken: the codec is done, or cannot go on.
        const bool stuck = outputBytes_ == 0 && used == 0 && (sourceEnded_ || inputBytes_ == input_.size());
        ended_ = stuck;
        return !stuck;
    }

    // Fills what room the input has; only a read that asked for bytes and got
    // none while nothing more was on its way is the end of the file. True when
    // a download has no bytes for now.
    bool Gather()
    {
        const size_t room = input_.size() - inputBytes_;
        if (sourceEnded_ || room == 0)
            return false;
        const bool pending = source_->Pending();
        const size_t got = source_->Read(input_.data() + inputBytes_, room);
        sourceEnded_ = got == 0 && !pending;
        inputBytes_ += got;
        return got == 0 && pending;
    }

    void Close()
    {
        if (!stream_)
            return;
        header_.cbSrcLength = static_cast<DWORD>(input_.size());
        header_.cbDstLength = static_cast<DWORD>(output_.size());
        acmStreamUnprepareHeader(stream_, &header_, 0);
        acmStreamClose(stream_, 0);
        stream_ = nullptr;
    }

    std::unique_ptr<ByteSource> source_;
    const Mp3Start start_;
    HACMSTREAM stream_ = nullptr;
    ACMSTREAMHEADER header_{};
    std::vector<uint8_t> input_;
    std::vector<uint8_t> output_;
    size_t inputBytes_ = 0;
    size_t outputAt_ = 0;
    size_t outputBytes_ = 0;
    bool sourceEnded_ = false;
    bool ended_ = false;
    bool restart_ = false;  // the next pass starts the codec afresh
};

}  // namespace

std::unique_ptr<Decoder> OpenAcmMp3Decoder(std::unique_ptr<ByteSource>& source)
{
    const std::optional<Mp3Start> start = FindStart(*source);
    if (!start) {
        source->Seek(0);
        return nullptr;
    }
    auto decoder = std::make_unique<AcmMp3Decoder>(std::move(source), *start);
    if (decoder->Open())
        return decoder;
    // Without the codec the bytes go back for another decoder to try.
    source = decoder->ReleaseSource();
    source->Seek(0);
    return nullptr;
}

}  // namespace ovelaudio
