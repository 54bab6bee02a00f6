#include "tests/platform/audio/AudioFixtures.h"

#include "platform/audio/core/TestHooks.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

// Hostile headers ask the decoder for absurd sizes; as on Windows, such an
// allocation must fail with null rather than stop the program.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }

namespace audiotest {
namespace {

constexpr uint16_t kExtensible = 0xFFFE;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutSample(std::vector<uint8_t>& out, float s, const WaveSpec& spec)
{
    if (spec.format == kFloat) {
        uint32_t bits;
        std::memcpy(&bits, &s, sizeof bits);
        Put(out, bits, 4);
    } else if (spec.bits == 8) {
        out.push_back(static_cast<uint8_t>(std::lround(s * 127.0f) + 128));
    } else {
        const double fullScale = std::ldexp(1.0, spec.bits - 1) - 1.0;
        Put(out, static_cast<uint32_t>(std::llround(s * fullScale)), spec.bits / 8);
    }
}

void PutPages(ogg_stream_state& stream, std::vector<uint8_t>& out, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    }
}

}  // namespace

std::vector<uint8_t> MakeWave(const WaveSpec& spec, const std::vector<float>& samples)
{
    std::vector<uint8_t> data;
    for (float s : samples)
        PutSample(data, s, spec);
    const uint32_t fmtSize = spec.extensible ? 40 : 16;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put(out, static_cast<uint32_t>(4 + 8 + fmtSize + 8 + data.size()), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put(out, fmtSize, 4);
    Put(out, spec.extensible ? kExtensible : spec.format, 2);
    Put(out, spec.channels, 2);
    Put(out, spec.rate, 4);
    const uint32_t blockAlign = spec.channels * spec.bits / 8u;
    Put(out, spec.rate * blockAlign, 4);
    Put(out, blockAlign, 2);
    Put(out, spec.bits, 2);
    if (spec.extensible) {
        Put(out, 22, 2);
        Put(out, spec.bits, 2);
        Put(out, 0, 4);
        Put(out, spec.format, 2);
        out.insert(out.end(), 14, 0);
    }
    PutTag(out, "data");
    Put(out, static_cast<uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> MakeConstantWave(uint16_t channels, size_t frames, const std::vector<float>& levels)
{
    std::vector<float> samples;
    for (size_t f = 0; f < frames; ++f)
        samples.insert(samples.end(), levels.begin(), levels.end());
    return MakeWave({kPcm, 16, channels, kRate, false}, samples);
}

std::vector<uint8_t> MakeVorbis(uint32_t rate, size_t frames)
{
    vorbis_info info;
    vorbis_info_init(&info);
    EXPECT_EQ(vorbis_encode_init_vbr(&info, 1, static_cast<long>(rate), 0.1f), 0);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    std::vector<uint8_t> out;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    PutPages(stream, out, true);

    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
    for (size_t f = 0; f < frames; ++f)
        buffer[0][f] = 0.5f * std::sin(static_cast<float>(f) * 0.05f);
    vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
    vorbis_analysis_wrote(&dsp, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            PutPages(stream, out, false);
        }
    }
    PutPages(stream, out, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

uint32_t Le32At(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t(bytes[at + 3]) << 24);
}

void PutLe32At(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

size_t VorbisHeaderAt(const std::vector<uint8_t>& ogg, char type)
{
    const std::string tag = std::string(1, type) + "vorbis";
    const auto found = std::search(ogg.begin(), ogg.end(), tag.begin(), tag.end());
    EXPECT_NE(found, ogg.end());
    return static_cast<size_t>(found - ogg.begin());
}

std::vector<uint8_t> MakeVorbisWithComments(uint32_t count, uint32_t firstLength)
{
    std::vector<uint8_t> ogg = MakeVorbis(kRate, 4000);
    const size_t vendor = VorbisHeaderAt(ogg, 3) + 7;
    const size_t countAt = vendor + 4 + Le32At(ogg, vendor);
    PutLe32At(ogg, countAt, count);
    PutLe32At(ogg, countAt + 4, firstLength);
    return ogg;
}

void ManualOutput::SetUp()
{
    ovelaudio::testhooks::SetManualNoSound(true);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
}

void ManualOutput::TearDown()
{
    BASS_Free();
    EXPECT_EQ(ovelaudio::testhooks::LiveStreams(), 0u);
}

std::vector<float> ManualOutput::Render(size_t frames)
{
    std::vector<float> out(frames * 2);
    ovelaudio::testhooks::RenderNoSound(out.data(), static_cast<uint32_t>(frames));
    return out;
}

HSTREAM ManualOutput::FromMemory(std::vector<uint8_t> bytes, DWORD flags)
{
    clips_.push_back(std::move(bytes));
    return BASS_StreamCreateFile(1, clips_.back().data(), 0, clips_.back().size(), flags);
}

}  // namespace audiotest
