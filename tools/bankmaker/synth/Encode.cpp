#include "tools/bankmaker/synth/Encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// A fixed stream serial keeps the output byte-identical between runs.
constexpr int OggSerial = 0x4F56454C;
constexpr int VorbisBlockFrames = 1024;

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Owns the libvorbis and libogg state of one encoding.
class VorbisStream {
public:
    VorbisStream(const Sound& sound, float quality)
    {
        vorbis_info_init(&info_);
        if (vorbis_encode_init_vbr(&info_, sound.channels, sound.rate, quality) != 0) {
            vorbis_info_clear(&info_);
            throw std::runtime_error("vorbis: unsupported rate " + std::to_string(sound.rate) + " / channels " +
                                     std::to_string(sound.channels));
        }
        vorbis_comment_init(&comment_);
        vorbis_analysis_init(&dsp_, &info_);
        vorbis_block_init(&dsp_, &block_);
        ogg_stream_init(&ogg_, OggSerial);
    }

    ~VorbisStream()
    {
        ogg_stream_clear(&ogg_);
        vorbis_block_clear(&block_);
        vorbis_dsp_clear(&dsp_);
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }

    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;

    void WriteHeaders(std::vector<uint8_t>& out)
    {
        ogg_packet id, comments, codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &id, &comments, &codebooks);
        ogg_stream_packetin(&ogg_, &id);
        ogg_stream_packetin(&ogg_, &comments);
        ogg_stream_packetin(&ogg_, &codebooks);
        ogg_page page;
        // Audio must start on a fresh page.
        while (ogg_stream_flush(&ogg_, &page) != 0)
            AppendPage(out, page);
    }

    // frames == 0 marks the end of the input.
    void Feed(const float* interleaved, int frames, int channels)
    {
        if (frames > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp_, frames);
            for (int f = 0; f < frames; ++f) {
                for (int c = 0; c < channels; ++c)
                    buffer[c][f] = interleaved[f * channels + c];
            }
        }
        vorbis_analysis_wrote(&dsp_, frames);
    }

    void Drain(std::vector<uint8_t>& out)
    {
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
                ogg_stream_packetin(&ogg_, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&ogg_, &page) != 0)
                    AppendPage(out, page);
            }
        }
    }

    void Finish(std::vector<uint8_t>& out)
    {
        ogg_page page;
        while (ogg_stream_flush(&ogg_, &page) != 0)
            AppendPage(out, page);
    }

private:
    vorbis_info info_;
    vorbis_comment comment_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    ogg_stream_state ogg_;
};

void PutU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

long Quantise(float sample, double fullScale)
{
    return std::lround(std::clamp(static_cast<double>(sample), -1.0, 1.0) * fullScale);
}

}  // namespace

std::vector<uint8_t> EncodeVorbis(const Sound& sound, float quality)
{
    std::vector<uint8_t> out;
    VorbisStream stream(sound, quality);
    stream.WriteHeaders(out);
    const int frames = static_cast<int>(sound.samples.size() / sound.channels);
    for (int start = 0; start < frames; start += VorbisBlockFrames) {
        const int count = std::min(VorbisBlockFrames, frames - start);
        stream.Feed(sound.samples.data() + start * sound.channels, count, sound.channels);
        stream.Drain(out);
    }
    stream.Feed(nullptr, 0, sound.channels);
    stream.Drain(out);
    stream.Finish(out);
    return out;
}

std::vector<uint8_t> EncodeWav(const Sound& sound, int bitsPerSample)
{
    if (bitsPerSample != 8 && bitsPerSample != 16) {
        throw std::invalid_argument("wav: 8 or 16 bits only");
    }
    const uint32_t bytesPerSample = static_cast<uint32_t>(bitsPerSample / 8);
    const uint32_t channels = static_cast<uint32_t>(sound.channels);
    const uint32_t rate = static_cast<uint32_t>(sound.rate);
    const uint32_t dataSize = static_cast<uint32_t>(sound.samples.size()) * bytesPerSample;

    std::vector<uint8_t> out;
    out.reserve(44 + dataSize);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, channels);
    PutU32(out, rate);
    PutU32(out, rate * channels * bytesPerSample);
    PutU16(out, channels * bytesPerSample);
    PutU16(out, static_cast<uint32_t>(bitsPerSample));
    PutTag(out, "data");
    PutU32(out, dataSize);
    for (float s : sound.samples) {
        if (bitsPerSample == 8) {
            out.push_back(static_cast<uint8_t>(128 + Quantise(s, 127.0)));
        } else {
            PutU16(out, static_cast<uint16_t>(static_cast<int16_t>(Quantise(s, 32767.0))));
        }
    }
    return out;
}

std::vector<uint8_t> EncodeClip(const SynthClip& clip)
{
    switch (clip.encoding) {
        case ClipEncoding::Wav16:
            return EncodeWav(clip.sound, 16);
        case ClipEncoding::Wav8:
            return EncodeWav(clip.sound, 8);
        case ClipEncoding::Vorbis:
            break;
    }
    return EncodeVorbis(clip.sound, clip.vorbisQuality);
}
