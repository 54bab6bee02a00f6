// The mixing stage's inner loops: each shape's own kernel against the general
// path, and the rate converter's positions over many pulls.

#include "platform/audio/core/Mixing.h"
#include "platform/audio/core/Resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

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

class MixShapeTest : public ::testing::TestWithParam<ShapeCase> {
protected:
    std::vector<float> Random(size_t count) {
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        std::vector<float> values(count);
        for (float& value : values) value = sample(random_);
        return values;
    }

    GainMatrix Gains() {
        GainMatrix m{};
        const std::vector<float> values = Random(kMaxChannels * kMaxChannels);
        for (uint32_t o = 0; o < GetParam().outputs; ++o)
            for (uint32_t i = 0; i < GetParam().used; ++i) Gain(m, o, i) = values[o * kMaxChannels + i];
        return m;
    }

    // MixRamped and the general path on the same input, added to the same output.
    void ExpectSameMix(const GainMatrix& from, const GainMatrix& to) {
        const ShapeCase& shape = GetParam();
        for (size_t frames : kFrameCounts) {
            SCOPED_TRACE(frames);
            const std::vector<float> in = Random(frames * shape.inputs);
            std::vector<float> fast = Random(frames * shape.outputs);
            std::vector<float> general = fast;
            ovelaudio::MixRamped(in.data(), shape.inputs, fast.data(), shape.outputs, frames, from, to);
            ovelaudio::MixAnyShape(in.data(), shape.inputs, general.data(), shape.outputs, frames, from, to);
            for (size_t s = 0; s < fast.size(); ++s) ASSERT_FLOAT_EQ(fast[s], general[s]) << "sample " << s;
        }
    }

    std::mt19937 random_{7};
};

TEST_P(MixShapeTest, SteadyGainsMixAsTheGeneralPath) {
    const GainMatrix gains = Gains();
    ExpectSameMix(gains, gains);
}

TEST_P(MixShapeTest, RampedGainsMixAsTheGeneralPath) {
    const GainMatrix from = Gains();
    ExpectSameMix(from, Gains());
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
};

constexpr size_t kSourceFrames = 4000;
// Pull sizes that move the output's phase against the source's from pull to pull.
const size_t kPullFrames[] = {441, 1, 7, 512, 64};
constexpr float kChannelLift = 0.125f;
// A few roundings of values below 2; a position 1/100 frame off is 2.5e-6 away.
constexpr float kTolerance = 2e-6f;

class ResamplerTest : public ::testing::TestWithParam<RateCase> {};

// A ramp rising by one step a frame, each channel lifted a little more: linear
// interpolation gives it back exactly at every output position.
TEST_P(ResamplerTest, FollowsALinearRampToItsLastFrame) {
    const RateCase& rate = GetParam();
    const float slope = 1.0f / kSourceFrames;
    std::vector<float> source(kSourceFrames * rate.channels);
    const auto lift = [](uint32_t channel) { return static_cast<float>(channel) * kChannelLift; };
    for (size_t n = 0; n < kSourceFrames; ++n)
        for (uint32_t c = 0; c < rate.channels; ++c)
            source[n * rate.channels + c] = static_cast<float>(n) * slope + lift(c);
    size_t pulled = 0;
    const auto pull = [&](float* out, size_t frames) {
        const size_t count = std::min(frames, kSourceFrames - pulled);
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(pulled * rate.channels), count * rate.channels, out);
        pulled += count;
        return count;
    };
    ovelaudio::Resampler resampler;
    resampler.Configure(rate.channels, rate.from, rate.to, ovelaudio::kDecodeChunkFrames);

    std::vector<float> out;
    for (size_t i = 0;; ++i) {
        const size_t want = kPullFrames[i % std::size(kPullFrames)];
        const size_t done = out.size() / rate.channels;
        out.resize((done + want) * rate.channels);
        const size_t got = resampler.Render(out.data() + done * rate.channels, want, pull);
        out.resize((done + got) * rate.channels);
        if (got < want) break;
    }

    // Output frame k sits at source position k * from / to; the last one still has a frame after it,
    // except at equal rates, where every source frame passes.
    const bool equal = rate.from == rate.to;
    const uint64_t lastPositionTicks = (kSourceFrames - (equal ? 0 : 1)) * uint64_t{rate.to};
    EXPECT_EQ(out.size() / rate.channels, (lastPositionTicks + rate.from - 1) / rate.from);
    for (size_t k = 0; k < out.size() / rate.channels; ++k) {
        const double position = static_cast<double>(k) * rate.from / rate.to;
        for (uint32_t c = 0; c < rate.channels; ++c)
            ASSERT_NEAR(out[k * rate.channels + c], position * slope + lift(c), kTolerance)
                << "frame " << k << " channel " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, ResamplerTest,
                         ::testing::Values(RateCase{"SameRate", 44100, 44100, 2},
                                           RateCase{"HalfRateMono", 22050, 44100, 1},
                                           RateCase{"HalfRateStereo", 22050, 44100, 2},
                                           RateCase{"QuarterRate", 11025, 44100, 1},
                                           RateCase{"UpToDvd", 44100, 48000, 2},
                                           RateCase{"DownFromDvd", 48000, 44100, 1},
                                           RateCase{"FromTelephone", 8000, 44100, 1},
                                           RateCase{"HalfRateSixChannels", 22050, 44100, 6},
                                           RateCase{"DownToAThird", 132300, 44100, 3}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace audiotest
