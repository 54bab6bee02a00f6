// The mixing stage's inner loops: each shape's own kernel against the general
// path, and the rate converter's positions, level and images over many pulls.

#include "platform/audio/core/Kernels.h"
#include "platform/audio/core/Mixing.h"
#include "platform/audio/core/Resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <new>
#include <ostream>
#include <random>
#include <string>
#include <vector>

// Counts the calling thread's allocations, so that a test can show rendering makes none.
namespace {
thread_local size_t allocationsOnThisThread = 0;

void* CountedAllocation(std::size_t size) noexcept
{
    ++allocationsOnThisThread;
    return std::malloc(size == 0 ? 1 : size);
}

// Out of line: inlined, the compiler would see a free of what operator new returned.
[[gnu::noinline]] void Release(void* memory) noexcept { std::free(memory); }
}  // namespace

void* operator new(std::size_t size)
{
    if (void* memory = CountedAllocation(size))
        return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAllocation(size); }
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }

namespace audiotest {
namespace {

using ovelaudio::Gain;
using ovelaudio::GainMatrix;
using ovelaudio::kMaxChannels;

struct ShapeCase {
    const char* name;
    uint32_t inputs;
    uint32_t outputs;
    uint32_t used;  // inputs from this one on get no gain
};

// Frame counts around the kernels' steps of several frames, and a whole block.
const size_t kFrameCounts[] = {1, 3, 4, 9, 441, 512};

std::vector<float> Random(std::mt19937& random, size_t count)
{
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> values(count);
    for (float& value : values)
        value = sample(random);
    return values;
}

const ovelaudio::KernelSet* const kKernelSets[] = {&ovelaudio::kPortableKernels, &ovelaudio::kSse2Kernels};

// How far two ways of doing the same float sums may differ on samples and
// gains within [-1, 1]: x87 keeps its sums wider than SSE2 rounds them.
constexpr float kArithmeticTolerance = 1e-6f;

void ExpectClose(const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t s = 0; s < actual.size(); ++s)
        ASSERT_NEAR(actual[s], expected[s], kArithmeticTolerance) << "sample " << s;
}

class MixShapeTest : public ::testing::TestWithParam<ShapeCase> {
protected:
    GainMatrix Gains()
    {
        GainMatrix m{};
        const std::vector<float> values = Random(random_, kMaxChannels * kMaxChannels);
        for (uint32_t o = 0; o < GetParam().outputs; ++o)
            for (uint32_t i = 0; i < GetParam().used; ++i)
                Gain(m, o, i) = values[o * kMaxChannels + i];
        return m;
    }

    // The same input added to the same output, by each way given.
    template <typename... Mixes>
    void ExpectSameMix(const Mixes&... mixes)
    {
        const ShapeCase& shape = GetParam();
        for (size_t frames : kFrameCounts) {
            SCOPED_TRACE(::testing::Message() << frames << " frames");
            const std::vector<float> in = Random(random_, frames * shape.inputs);
            const std::vector<float> before = Random(random_, frames * shape.outputs);
            std::vector<std::vector<float>> outs;
            for (const auto& mix : {std::function<void(const float*, float*, size_t)>(mixes)...}) {
                outs.push_back(before);
                mix(in.data(), outs.back().data(), frames);
            }
            for (const std::vector<float>& out : outs)
                ExpectClose(out, outs.front());
        }
    }

    // Each kernel set's shape kernels against its general path.
    void ExpectShapesMixAsTheGeneralPath(const GainMatrix& from, const GainMatrix& to)
    {
        const ShapeCase& shape = GetParam();
        for (const ovelaudio::KernelSet* kernels : kKernelSets) {
            SCOPED_TRACE(kernels->name);
            ExpectSameMix(
                [&](const float* in, float* out, size_t frames) {
                    kernels->mixRamped(in, shape.inputs, out, shape.outputs, frames, from.data(), to.data(),
                                       shape.used);
                },
                [&](const float* in, float* out, size_t frames) {
                    kernels->mixAnyShape(in, shape.inputs, out, shape.outputs, frames, from.data(), to.data());
                });
        }
    }

    std::mt19937 random_{7};
};

TEST_P(MixShapeTest, SteadyGainsMixAsTheGeneralPath)
{
    const GainMatrix gains = Gains();
    ExpectShapesMixAsTheGeneralPath(gains, gains);
}

TEST_P(MixShapeTest, RampedGainsMixAsTheGeneralPath)
{
    const GainMatrix from = Gains();
    ExpectShapesMixAsTheGeneralPath(from, Gains());
}

TEST_P(MixShapeTest, PortableAndSse2KernelsMixAlike)
{
    const ShapeCase& shape = GetParam();
    const GainMatrix from = Gains();
    const GainMatrix to = Gains();
    const auto mixWith = [&](const ovelaudio::KernelSet& kernels) {
        return [&](const float* in, float* out, size_t frames) {
            kernels.mixRamped(in, shape.inputs, out, shape.outputs, frames, from.data(), to.data(), shape.used);
        };
    };
    ExpectSameMix(mixWith(ovelaudio::kPortableKernels), mixWith(ovelaudio::kSse2Kernels));
}

INSTANTIATE_TEST_SUITE_P(Shapes, MixShapeTest,
                         ::testing::Values(ShapeCase{"MonoOnStereo", 1, 2, 1}, ShapeCase{"StereoOnStereo", 2, 2, 2},
                                           ShapeCase{"MonoOnEight", 1, 8, 1}, ShapeCase{"StereoOnEight", 2, 8, 2},
                                           ShapeCase{"EightFrontPairOnStereo", 8, 2, 2},
                                           ShapeCase{"EightOnStereo", 8, 2, 8},
                                           ShapeCase{"EightUpToTheSixthOnStereo", 8, 2, 6},
                                           ShapeCase{"ThreeOnFour", 3, 4, 3}, ShapeCase{"Silent", 2, 2, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

struct RateCase {
    const char* name;
    uint32_t from;
    uint32_t to;
    uint32_t channels;
    double tone;   // Hz, within the band both rates carry
    double image;  // Hz, where the output would show the tone's image; 0: nowhere apart from the tone
};

void PrintTo(const RateCase& rate, std::ostream* os) { *os << rate.name; }

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kSourceFrames = 4000;
// Pull sizes that move the output's phase against the source's from pull to pull.
const size_t kPullFrames[] = {441, 1, 7, 512, 64};
constexpr double kChannelShift = 0.5;  // radians of phase each channel adds, so channels differ
// Positions are checked with a tone at this share of the lower rate, where the
// filter's ripple and images stay below the tolerance and a position 1/100
// frame off is 6e-3 away.
constexpr double kPositionToneShare = 0.1;
constexpr float kTolerance = 1e-3f;
constexpr double kLevelToleranceDb = 0.5;
constexpr double kRejectionDb = 50.0;
// Source frames at either end where the silence around the sound reaches under the filter.
constexpr size_t kEdgeFrames = 64;

double Shift(uint32_t channel) { return kChannelShift * channel; }

std::vector<float> Tone(double hertz, uint32_t rate, uint32_t channels)
{
    std::vector<float> source(kSourceFrames * channels);
    for (size_t n = 0; n < kSourceFrames; ++n)
        for (uint32_t c = 0; c < channels; ++c)
            source[n * channels + c] =
                static_cast<float>(std::sin(2.0 * kPi * hertz * static_cast<double>(n) / rate + Shift(c)));
    return source;
}

struct Rendered {
    std::vector<float> out;
    size_t allocations = 0;  // while rendering
};

// The whole source through a resampler, pulled in sizes that vary from call to call.
Rendered Resample(const std::vector<float>& source, uint32_t from, uint32_t to, uint32_t channels,
                  const ovelaudio::KernelSet& kernels = ovelaudio::ChosenKernels())
{
    size_t pulled = 0;
    const auto pull = [&](float* out, size_t frames) {
        const size_t count = std::min(frames, source.size() / channels - pulled);
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(pulled * channels), count * channels, out);
        pulled += count;
        return count;
    };
    ovelaudio::Resampler resampler;
    resampler.Configure(channels, from, to, ovelaudio::kDecodeChunkFrames, kernels);
    Rendered rendered;
    std::vector<float>& out = rendered.out;
    const size_t mostFrames = source.size() / channels * to / from + 1;
    out.reserve((mostFrames + *std::max_element(std::begin(kPullFrames), std::end(kPullFrames))) * channels);
    for (size_t i = 0;; ++i) {
        const size_t want = kPullFrames[i % std::size(kPullFrames)];
        const size_t done = out.size() / channels;
        out.resize((done + want) * channels);
        const size_t before = allocationsOnThisThread;
        const size_t got = resampler.Render(out.data() + done * channels, want, pull);
        rendered.allocations += allocationsOnThisThread - before;
        out.resize((done + got) * channels);
        if (got < want)
            return rendered;
    }
}

// The amplitude of one channel's component at hertz, over the output's middle
// (Hann window, so the tone's own leakage stays far below the rejection).
double Amplitude(const std::vector<float>& out, uint32_t channels, uint32_t channel, uint32_t rate, double hertz)
{
    const size_t frames = out.size() / channels;
    const size_t first = frames / 8;
    const size_t count = frames - 2 * first;
    double re = 0.0;
    double im = 0.0;
    double weights = 0.0;
    for (size_t n = 0; n < count; ++n) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(n) / static_cast<double>(count));
        const double angle = 2.0 * kPi * hertz * static_cast<double>(n) / rate;
        const double sample = out[(first + n) * channels + channel];
        re += w * sample * std::cos(angle);
        im += w * sample * std::sin(angle);
        weights += w;
    }
    return 2.0 * std::hypot(re, im) / weights;
}

double Decibels(double amplitude) { return 20.0 * std::log10(amplitude); }

class ResamplerTest : public ::testing::TestWithParam<RateCase> {};

// Output frame k sits at source position k * from / to: away from the ends,
// where silence reaches under the filter, it is the tone at that position.
TEST_P(ResamplerTest, FollowsAToneAtItsExactPositionsToItsLastFrameWithoutAllocating)
{
    const RateCase& rate = GetParam();
    const double tone = kPositionToneShare * std::min(rate.from, rate.to);
    const Rendered rendered = Resample(Tone(tone, rate.from, rate.channels), rate.from, rate.to, rate.channels);
    EXPECT_EQ(rendered.allocations, 0u);
    const std::vector<float>& out = rendered.out;

    // Every output frame before the end of the last source frame's duration.
    const uint64_t endTicks = kSourceFrames * uint64_t{rate.to};
    ASSERT_EQ(out.size() / rate.channels, (endTicks + rate.from - 1) / rate.from);
    for (size_t k = 0; k < out.size() / rate.channels; ++k) {
        const double position = static_cast<double>(k) * rate.from / rate.to;
        if (position < kEdgeFrames || position > kSourceFrames - kEdgeFrames)
            continue;
        for (uint32_t c = 0; c < rate.channels; ++c)
            ASSERT_NEAR(out[k * rate.channels + c], std::sin(2.0 * kPi * tone * position / rate.from + Shift(c)),
                        kTolerance)
                << "frame " << k << " channel " << c;
    }
}

TEST_P(ResamplerTest, KeepsTheToneAndRejectsItsImage)
{
    const RateCase& rate = GetParam();
    const std::vector<float> out =
        Resample(Tone(rate.tone, rate.from, rate.channels), rate.from, rate.to, rate.channels).out;
    for (uint32_t c = 0; c < rate.channels; ++c) {
        SCOPED_TRACE(c);
        EXPECT_NEAR(Decibels(Amplitude(out, rate.channels, c, rate.to, rate.tone)), 0.0, kLevelToleranceDb);
        if (rate.image > 0.0) {
            EXPECT_LT(Decibels(Amplitude(out, rate.channels, c, rate.to, rate.image)), -kRejectionDb);
        }
    }
}

TEST_P(ResamplerTest, PortableAndSse2KernelsFilterAlike)
{
    const RateCase& rate = GetParam();
    const std::vector<float> tone = Tone(rate.tone, rate.from, rate.channels);
    ExpectClose(Resample(tone, rate.from, rate.to, rate.channels, ovelaudio::kSse2Kernels).out,
                Resample(tone, rate.from, rate.to, rate.channels, ovelaudio::kPortableKernels).out);
}

// Tones at 0.4 of the lower rate, the top of the band kept flat, except where a
// lower one lets the image be told apart from the tone.
INSTANTIATE_TEST_SUITE_P(Rates, ResamplerTest,
                         ::testing::Values(RateCase{"SameRate", 44100, 44100, 2, 17640, 0},
                                           RateCase{"HalfRateMono", 22050, 44100, 1, 5000, 17050},
                                           RateCase{"HalfRateStereo", 22050, 44100, 2, 8820, 13230},
                                           RateCase{"QuarterRate", 11025, 44100, 1, 4410, 6615},
                                           RateCase{"UpToDvd", 44100, 48000, 2, 17640, 21540},
                                           RateCase{"DownFromDvd", 48000, 44100, 1, 17640, 13740},
                                           RateCase{"FromTelephone", 8000, 44100, 1, 3200, 4800},
                                           RateCase{"FromWideband", 16000, 44100, 2, 6400, 9600},
                                           RateCase{"FromBroadcast", 32000, 44100, 1, 12800, 19200},
                                           RateCase{"HalfRateSixChannels", 22050, 44100, 6, 5000, 17050},
                                           RateCase{"DownToAThird", 132300, 44100, 3, 17640, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

// Lowering the rate: a tone above the output's band must not fold back into it.
TEST(ResamplerAliasTest, LoweringTheRateRejectsTonesAboveTheOutputBand)
{
    constexpr uint32_t kFrom = 132300;
    constexpr uint32_t kTo = 44100;
    constexpr double kTone = 30000;
    const std::vector<float> out = Resample(Tone(kTone, kFrom, 1), kFrom, kTo, 1).out;
    EXPECT_LT(Decibels(Amplitude(out, 1, 0, kTo, kTo - kTone)), -kRejectionDb);
}

struct RaisingCase {
    const char* name;
    uint32_t from;
    uint32_t to;
};

class ResamplerPassbandTest : public ::testing::TestWithParam<RaisingCase> {};

// Raising the rate, every tone up to 0.4 of the source rate keeps its level
// within 0.02 dB, and its images, at the multiples of the source rate plus or
// minus the tone, lie at least 52 dB down.
TEST_P(ResamplerPassbandTest, IsFlatAndRejectsTheImages)
{
    constexpr double kFlatShare = 0.4;
    constexpr double kShareStep = 0.01;
    constexpr double kFlatDb = 0.02;
    constexpr double kImageDb = 52.0;
    const RaisingCase& rate = GetParam();
    for (double share = kShareStep; share <= kFlatShare + 1e-9; share += kShareStep) {
        const double tone = share * rate.from;
        SCOPED_TRACE(::testing::Message() << tone << " Hz");
        const std::vector<float> out = Resample(Tone(tone, rate.from, 1), rate.from, rate.to, 1).out;
        EXPECT_NEAR(Decibels(Amplitude(out, 1, 0, rate.to, tone)), 0.0, kFlatDb);
        for (double multiple = rate.from; multiple - tone < rate.to / 2.0; multiple += rate.from) {
            for (double image : {multiple - tone, multiple + tone}) {
                if (image < rate.to / 2.0) {
                    EXPECT_LT(Decibels(Amplitude(out, 1, 0, rate.to, image)), -kImageDb) << image << " Hz";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, ResamplerPassbandTest,
                         ::testing::Values(RaisingCase{"Half", 22050, 44100}, RaisingCase{"Quarter", 11025, 44100},
                                           RaisingCase{"Broadcast", 32000, 44100}, RaisingCase{"Dvd", 44100, 48000}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace audiotest
