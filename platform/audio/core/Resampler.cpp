#include "platform/audio/core/Resampler.h"

#include <cmath>

namespace ovelaudio {
namespace {

// A Kaiser-windowed sinc cut off at the lower rate's Nyquist frequency. A
// cutoff there makes the phase on the source's frames a unit impulse, and the
// filter half-band at twice the rate. The window reaches a little past the
// taps, where the sinc's zero cuts the filter off without a step: raising the
// rate, it is flat within 0.02 dB to 0.4 of the source rate, and images lie
// 52 dB down from 0.6 of it on.
constexpr size_t kTaps = 16;              // source frames under the filter when raising the rate
constexpr size_t kMaxTaps = 256;          // lowering by more than 16 widens the transition instead
constexpr double kWindowHalfWidth = 8.3;  // frames of the lower rate
constexpr double kKaiserBeta = 5.3;
constexpr double kCutoff = 0.5;  // of the lower rate
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

// Source frames per frame of the lower rate.
double Stretch(uint32_t fromRate, uint32_t toRate) { return std::max(1.0, static_cast<double>(fromRate) / toRate); }

// Raising the rate, the taps end at the sinc's zeros inside the window;
// lowering it, they stretch over the whole window.
size_t TapsFor(uint32_t fromRate, uint32_t toRate)
{
    if (fromRate <= toRate)
        return kTaps;
    const auto window = static_cast<size_t>(std::ceil(2.0 * kWindowHalfWidth * Stretch(fromRate, toRate)));
    return std::min(RoundUp(window, kLanes), kMaxTaps);
}

// Source frames from the middle of the filter to its window's end; the window
// never reaches past the taps that a lowering was allowed.
double WindowHalfWidth(uint32_t fromRate, uint32_t toRate, size_t taps)
{
    const double halfWidth = kWindowHalfWidth * Stretch(fromRate, toRate);
    return fromRate <= toRate ? halfWidth : std::min(halfWidth, static_cast<double>(taps) / 2.0);
}

}  // namespace

void Resampler::Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames,
                          const KernelSet& kernels)
{
    kernels_ = &kernels;
    channels_ = channels;
    fromRate_ = fromRate;
    toRate_ = toRate;
    fixedStep_ = (static_cast<uint64_t>(fromRate) << kFractionBits) / toRate;
    taps_ = TapsFor(fromRate, toRate);
    capacity_ = chunkFrames + taps_;
    const bool converts = fromRate != toRate;
    input_.assign(converts ? (capacity_ + kKernelSpareFrames) * channels : 0, 0.0f);
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

// Each needs taps_ frames from its position on.
size_t Resampler::Interpolate(float* out, size_t frames)
{
    if (buffered_ < taps_)
        return 0;
    const uint64_t end = Ticks(buffered_ - taps_ + 1);
    if (position_ >= end)
        return 0;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(frames, (end - position_ + fromRate_ - 1) / fromRate_));
    const uint64_t fixedPosition =
        (static_cast<uint64_t>(Frame(position_)) << kFractionBits) + ((position_ % toRate_) << kFractionBits) / toRate_;
    const ResampleJob job{input_.data(), table_.data(), blended_.data(), taps_,
                          channels_,     fixedPosition, fixedStep_,      toRate_ == 2 * fromRate_};
    kernels_->resample(job, out, count);
    position_ += static_cast<uint64_t>(count) * fromRate_;
    return count;
}

// Each row sums to one, so a steady level passes unchanged at every phase.
void Resampler::MakeTable()
{
    const double scale = std::min(1.0, static_cast<double>(toRate_) / fromRate_);
    const double cutoff = 2.0 * kCutoff * scale;
    const double halfWidth = WindowHalfWidth(fromRate_, toRate_, taps_);
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
