#include "tests/platform/audio/plugins/CodecFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace codectest {

std::vector<int64_t> MakeSignal(uint32_t channels, uint32_t bits, size_t frames, uint32_t wastedBits)
{
    const double full = std::ldexp(1.0, static_cast<int>(bits) - 1) - 1.0;
    uint32_t noise = 12345;
    std::vector<int64_t> samples;
    samples.reserve(frames * channels);
    for (size_t f = 0; f < frames; ++f) {
        for (uint32_t c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double tone = 0.6 * std::sin(static_cast<double>(f) * 0.013 * (c + 1));
            const double hiss = 0.05 * (static_cast<double>(noise >> 8) / 16777216.0 - 0.5);
            const auto value = static_cast<int64_t>(std::lround((tone + hiss) * full));
            samples.push_back(value / (int64_t{1} << wastedBits) * (int64_t{1} << wastedBits));
        }
    }
    return samples;
}

namespace {

constexpr uint16_t kExtensible = 0xFFFE;
constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr uint32_t kFrontCentre = 0x4;  // speaker mask of a mono sound; more channels take the first speakers
// The rest of the extensible subformat GUID after its first two bytes.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

void Put(std::vector<uint8_t>& out, uint64_t value, unsigned bytes)
{
    for (unsigned i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t Get(const uint8_t* p, unsigned bytes)
{
    uint64_t value = 0;
    for (unsigned i = 0; i < bytes; ++i)
        value |= uint64_t{p[i]} << (8 * i);
    return value;
}

}  // namespace

std::vector<uint8_t> MakeWave(const std::vector<int64_t>& samples, uint32_t channels, uint32_t rate, uint32_t bits)
{
    const uint32_t bytes = (bits + 7) / 8;
    const unsigned pad = 8 * bytes - bits;
    std::vector<uint8_t> data;
    for (int64_t sample : samples) {
        const uint64_t word = static_cast<uint64_t>(sample) << pad;
        Put(data, bytes == 1 ? (word + 128) & 0xFF : word, bytes);
    }
    std::vector<uint8_t> fmt;
    Put(fmt, kExtensible, 2);
    Put(fmt, channels, 2);
    Put(fmt, rate, 4);
    Put(fmt, uint64_t{rate} * channels * bytes, 4);
    Put(fmt, channels * bytes, 2);
    Put(fmt, 8 * bytes, 2);
    Put(fmt, 22, 2);
    Put(fmt, bits, 2);
    Put(fmt, channels == 1 ? kFrontCentre : (1u << channels) - 1, 4);
    Put(fmt, kPcm, 2);
    fmt.insert(fmt.end(), std::begin(kGuidTail), std::end(kGuidTail));
    std::vector<uint8_t> wave = {'R', 'I', 'F', 'F'};
    Put(wave, 4 + 8 + fmt.size() + 8 + data.size(), 4);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(wave, fmt.size(), 4);
    wave.insert(wave.end(), fmt.begin(), fmt.end());
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    Put(wave, data.size(), 4);
    wave.insert(wave.end(), data.begin(), data.end());
    return wave;
}

std::vector<int64_t> WaveSamples(const std::vector<uint8_t>& wave)
{
    std::vector<int64_t> samples;
    uint16_t format = kPcm;
    unsigned bytes = 0;
    unsigned valid = 0;
    for (size_t at = 12; at + 8 <= wave.size();) {
        const uint8_t* chunk = wave.data() + at;
        const auto size = static_cast<size_t>(Get(chunk + 4, 4));
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            format = static_cast<uint16_t>(Get(chunk + 8, 2));
            bytes = static_cast<unsigned>(Get(chunk + 22, 2)) / 8;
            valid = 8 * bytes;
            if (format == kExtensible) {
                valid = static_cast<unsigned>(Get(chunk + 26, 2));
                format = static_cast<uint16_t>(Get(chunk + 32, 2));
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            const size_t end = std::min(wave.size(), at + 8 + size);
            for (size_t p = at + 8; bytes > 0 && p + bytes <= end; p += bytes) {
                const uint64_t word = Get(wave.data() + p, bytes);
                if (format == kFloat) {
                    samples.push_back(static_cast<int64_t>(word));
                    continue;
                }
                const unsigned width = 8 * bytes;
                const uint64_t sign = uint64_t{1} << (width - 1);
                const int64_t value = bytes == 1 ? static_cast<int64_t>(word) - 128
                                                 : static_cast<int64_t>(word ^ sign) - static_cast<int64_t>(sign);
                samples.push_back(value >> (width - valid));
            }
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchPath(const std::string& name)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(tag.begin(), tag.end(), '/', '_');
    return std::string(OVEL_SCRATCH_DIR) + "/" + tag + "." + name;
}

size_t SilencedSamples(const Decoded& decoded, const std::vector<int64_t>& reference)
{
    EXPECT_EQ(decoded.samples.size(), reference.size());
    size_t silenced = 0;
    for (size_t i = 0; i < std::min(decoded.samples.size(), reference.size()); ++i) {
        if (decoded.samples[i] != reference[i]) {
            EXPECT_EQ(decoded.samples[i], 0) << i;
            ++silenced;
        }
    }
    return silenced;
}

bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

MemoryInput::MemoryInput(const std::vector<uint8_t>& bytes, size_t arrived) : bytes_(bytes), arrived_(arrived)
{
    input_.user = this;
    input_.read = [](void* user, void* out, size_t wanted) {
        auto& self = *static_cast<MemoryInput*>(user);
        const size_t left = self.arrived_ - std::min<size_t>(self.arrived_, static_cast<size_t>(self.position_));
        const size_t take = std::min(wanted, left);
        if (take > 0)
            std::memcpy(out, self.bytes_.data() + self.position_, take);
        self.position_ += take;
        return take;
    };
    input_.seek = [](void* user, uint64_t position) {
        auto& self = *static_cast<MemoryInput*>(user);
        if (position > self.arrived_)
            return 0;
        self.position_ = position;
        return 1;
    };
    input_.size = [](void* user) { return static_cast<uint64_t>(static_cast<MemoryInput*>(user)->bytes_.size()); };
    input_.pending = [](void* user) {
        auto& self = *static_cast<MemoryInput*>(user);
        return self.arrived_ < self.bytes_.size() ? 1 : 0;
    };
}

}  // namespace codectest
