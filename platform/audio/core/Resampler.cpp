#include "platform/audio/core/Resampler.h"

#include <cmath>

namespace ovelaudio {
namespace {

// A Kaiser-windowed sinc cut off at the lower rate's Nyquist frequency. A
// cutoff there makes the phase on the source's frames a unit impulse, and the
// filter half-band at twice the rate: flat within 0.02 dB to 0.4 of the source
// rate, images 52 dB down from 0.6 of it on.
constexpr size_t kTaps = 16;      // source frames under the filter when raising the rate
constexpr size_t kMaxTaps = 256;  // lowering by more than 16 widens the transition instead
constexpr double kCutoff = 0.5;   // of the lower rate
constexpr double kKaiserBeta = 5.0;
constexpr int kBesselTerms = 30;
constexpr double kPi = 3.14159265358979323846;

// The modified Bessel function of order zero, from its power series.
double BesselI0(double x)
{
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < kBesselTerms; ++k) {
        const double half = x / (2.0 * k);
        term *= half * half;
        sum += term;
    }
    return sum;
}

// Exact zeros at the other whole multiples, so a cutoff at the source's
// Nyquist frequency passes its frames as they are.
double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    if (x == std::round(x))
        return 0.0;
    return std::sin(kPi * x) / (kPi * x);
}

double KaiserWindow(double x, double halfWidth)
{
    const double r = x / halfWidth;
    if (std::fabs(r) >= 1.0)
        return 0.0;
    static const double peak = BesselI0(kKaiserBeta);
    return BesselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / peak;
}

size_t RoundUp(size_t value, size_t step) { return (value + step - 1) / step * step; }

}  // namespace

void Resampler::Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames)
{
    channels_ = channels;
    fromRate_ = fromRate;
    toRate_ = toRate;
    fixedStep_ = (static_cast<uint64_t>(fromRate) << kFractionBits) / toRate;
    // Lowering the rate stretches the filter over more source frames.
    const size_t stretched = (kTaps * fromRate + toRate - 1) / toRate;
    taps_ = std::min(RoundUp(std::max(kTaps, stretched), kLanes), kMaxTaps);
    capacity_ = chunkFrames + taps_;
    const bool converts = fromRate != toRate;
    input_.assign(converts ? (capacity_ + kSpareFrames) * channels : 0, 0.0f);
    blended_.assign(converts ? RowLength() : 0, 0.0f);
    table_.assign(converts ? (kPhases + 1) * RowLength() : 0, 0.0f);
    if (converts)
        MakeTable();
    Reset();
}

void Resampler::Reset()
{
    position_ = 0;
    buffered_ = 0;
    flushed_ = false;
    if (fromRate_ != toRate_)
        AppendSilence(FramesBefore());
}

void Resampler::AppendSilence(size_t frames)
{
    std::fill_n(input_.begin() + static_cast<std::ptrdiff_t>(buffered_ * channels_), frames * channels_, 0.0f);
    buffered_ += frames;
}

// Each row sums to one, so a steady level passes unchanged at every phase.
void Resampler::MakeTable()
{
    const double scale = std::min(1.0, static_cast<double>(toRate_) / fromRate_);
    const double cutoff = 2.0 * kCutoff * scale;
    const double halfWidth = static_cast<double>(taps_) / 2.0;
    std::vector<double> taps(taps_);
    for (uint32_t phase = 0; phase <= kPhases; ++phase) {
        float* row = table_.data() + phase * RowLength();
        const double offset = static_cast<double>(FramesBefore()) + static_cast<double>(phase) / kPhases;
        double sum = 0.0;
        for (size_t j = 0; j < taps_; ++j) {
            const double x = static_cast<double>(j) - offset;
            taps[j] = Sinc(cutoff * x) * KaiserWindow(x, halfWidth);
            sum += taps[j];
        }
        for (size_t j = 0; j < RowLength(); ++j)
            row[j] = static_cast<float>(taps[j / channels_] / sum);
    }
}

}  // namespace ovelaudio
