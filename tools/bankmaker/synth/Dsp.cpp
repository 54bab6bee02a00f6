#include "tools/bankmaker/synth/Dsp.h"

#include <algorithm>
#include <cmath>

namespace {

uint64_t SplitMix(uint64_t& x)
{
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t RotateLeft(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

float ToFloat(double x) { return static_cast<float>(x); }

double RaisedCosine(double t) { return 0.5 - 0.5 * std::cos(Pi * t); }

}  // namespace

uint64_t ClipSeed(const std::string& bankFileName, int index)
{
    // FNV-1a over the name, then the index mixed in.
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : bankFileName) {
        h = (h ^ c) * 0x100000001B3ull;
    }
    uint64_t mix = h ^ (static_cast<uint64_t>(index) * 0x9E3779B97F4A7C15ull);
    return SplitMix(mix);
}

Rng::Rng(uint64_t seed)
{
    for (uint64_t& s : state_)
        s = SplitMix(seed);
}

uint64_t Rng::Next()
{
    const uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

int Rng::Int(int n) { return static_cast<int>(Uniform() * n); }

bool Rng::Chance(double p) { return Uniform() < p; }

double Transpose(double freq, double semitones) { return freq * std::pow(2.0, semitones / 12.0); }

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

double GainToDb(double gain) { return 20.0 * std::log10(std::max(gain, 1e-12)); }

size_t Samples(int rate, double seconds) { return static_cast<size_t>(std::lround(std::max(0.0, seconds) * rate)); }

Signal WhiteNoise(size_t count, Rng& rng)
{
    Signal out(count);
    for (float& s : out)
        s = ToFloat(rng.Range(-1.0, 1.0));
    return out;
}

Signal PinkNoise(size_t count, Rng& rng)
{
    // Three leaky integrators of staggered corners over white noise.
    Signal out(count);
    double b0 = 0, b1 = 0, b2 = 0;
    for (float& s : out) {
        const double w = rng.Range(-1.0, 1.0);
        b0 = 0.99765 * b0 + w * 0.0990460;
        b1 = 0.96300 * b1 + w * 0.2965164;
        b2 = 0.57000 * b2 + w * 1.0526913;
        s = ToFloat((b0 + b1 + b2 + w * 0.1848) * 0.25);
    }
    return out;
}

Signal BrownNoise(size_t count, Rng& rng)
{
    Signal out(count);
    double y = 0;
    for (float& s : out) {
        // The leak keeps the walk from drifting off into DC.
        y = 0.996 * y + 0.06 * rng.Range(-1.0, 1.0);
        s = ToFloat(y);
    }
    return out;
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0)
{}

namespace {

struct BiquadAngles {
    double cosw, alpha;
};

BiquadAngles Angles(int rate, double freq, double q)
{
    const double w = TwoPi * std::min(freq, rate * 0.49) / rate;
    return {std::cos(w), std::sin(w) / (2.0 * q)};
}

}  // namespace

Biquad Biquad::LowPass(int rate, double freq, double q)
{
    const auto [c, a] = Angles(rate, freq, q);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + a, -2 * c, 1 - a);
}

Biquad Biquad::HighPass(int rate, double freq, double q)
{
    const auto [c, a] = Angles(rate, freq, q);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + a, -2 * c, 1 - a);
}

Biquad Biquad::BandPass(int rate, double freq, double q)
{
    const auto [c, a] = Angles(rate, freq, q);
    return Biquad(a, 0, -a, 1 + a, -2 * c, 1 - a);
}

Biquad Biquad::Peaking(int rate, double freq, double q, double gainDb)
{
    const auto [c, a] = Angles(rate, freq, q);
    const double g = std::pow(10.0, gainDb / 40.0);
    return Biquad(1 + a * g, -2 * c, 1 - a * g, 1 + a / g, -2 * c, 1 - a / g);
}

float Biquad::Process(float x)
{
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return ToFloat(y);
}

void Biquad::Run(Signal& signal)
{
    for (float& s : signal)
        s = Process(s);
}

OnePole::OnePole(int rate, double cutoffHz) : a_(std::exp(-TwoPi * cutoffHz / rate)) {}

float OnePole::Process(float x)
{
    y_ = (1.0 - a_) * x + a_ * y_;
    return ToFloat(y_);
}

void OnePole::Run(Signal& signal)
{
    for (float& s : signal)
        s = Process(s);
}

StateVariable::StateVariable(int rate) : rate_(rate) {}

StateVariable::Outputs StateVariable::Process(float x, double freqHz, double q)
{
    // Trapezoidal (zero-delay feedback) form: stable under fast modulation.
    const double g = std::tan(Pi * std::min(freqHz, rate_ * 0.49) / rate_);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double v3 = x - ic2_;
    const double v1 = a1 * ic1_ + g * a1 * v3;
    const double v2 = ic2_ + g * v1;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {ToFloat(v2), ToFloat(k * v1), ToFloat(x - k * v1 - v2)};
}

Signal Envelope(int rate, size_t count, const std::vector<std::pair<double, double>>& points)
{
    Signal out(count, points.empty() ? 0.0f : ToFloat(points.front().second));
    size_t p = 0;
    for (size_t i = 0; i < count && !points.empty(); ++i) {
        const double t = static_cast<double>(i) / rate;
        while (p + 1 < points.size() && points[p + 1].first <= t)
            ++p;
        if (p + 1 >= points.size() || t < points[p].first) {
            out[i] = ToFloat(t < points[p].first ? points[p].second : points.back().second);
            continue;
        }
        const auto& [t0, v0] = points[p];
        const auto& [t1, v1] = points[p + 1];
        out[i] = ToFloat(v0 + (v1 - v0) * (t - t0) / (t1 - t0));
    }
    return out;
}

Signal Wander(int rate, size_t count, double stepSeconds, double lo, double hi, Rng& rng)
{
    // Cosine interpolation between random targets: smooth, no corners.
    Signal out(count);
    const size_t step = std::max<size_t>(1, Samples(rate, stepSeconds));
    double from = rng.Range(lo, hi);
    double to = rng.Range(lo, hi);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && i % step == 0) {
            from = to;
            to = rng.Range(lo, hi);
        }
        const double t = static_cast<double>(i % step) / static_cast<double>(step);
        out[i] = ToFloat(from + (to - from) * RaisedCosine(t));
    }
    return out;
}

void Fade(std::vector<float>& samples, int channels, int rate, double inSeconds, double outSeconds)
{
    const size_t frames = samples.size() / channels;
    const size_t in = std::min(frames, Samples(rate, inSeconds));
    const size_t out = std::min(frames, Samples(rate, outSeconds));
    for (size_t f = 0; f < frames; ++f) {
        double g = 1.0;
        if (f < in)
            g *= RaisedCosine(static_cast<double>(f) / static_cast<double>(in));
        const size_t fromEnd = frames - 1 - f;
        if (fromEnd < out)
            g *= RaisedCosine(static_cast<double>(fromEnd) / static_cast<double>(out));
        for (int c = 0; c < channels; ++c)
            samples[f * channels + c] *= ToFloat(g);
    }
}

void Multiply(Signal& signal, const Signal& by)
{
    const size_t n = std::min(signal.size(), by.size());
    for (size_t i = 0; i < n; ++i)
        signal[i] *= by[i];
}

void Scale(std::vector<float>& samples, double gain)
{
    for (float& s : samples)
        s = ToFloat(s * gain);
}

void MixInto(Signal& dst, const Signal& src, size_t offset, double gain)
{
    if (dst.size() < offset + src.size())
        dst.resize(offset + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i)
        dst[offset + i] += ToFloat(src[i] * gain);
}

void MixPanned(std::vector<float>& stereo, const Signal& mono, size_t offset, double pan, double gain)
{
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * Pi / 4.0;
    const double left = std::cos(angle) * gain;
    const double right = std::sin(angle) * gain;
    const size_t end = 2 * (offset + mono.size());
    if (stereo.size() < end)
        stereo.resize(end, 0.0f);
    for (size_t i = 0; i < mono.size(); ++i) {
        stereo[2 * (offset + i)] += ToFloat(mono[i] * left);
        stereo[2 * (offset + i) + 1] += ToFloat(mono[i] * right);
    }
}

Oscillator::Oscillator(int rate, double phase) : step_(TwoPi / rate), phase_(phase) {}

float Oscillator::Sine(double freqHz)
{
    const float out = ToFloat(std::sin(phase_));
    phase_ = std::fmod(phase_ + step_ * freqHz, TwoPi);
    return out;
}

Signal StruckPartials(int rate, size_t count, double fundamental, const std::vector<Partial>& partials)
{
    Signal out(count, 0.0f);
    const double nyquist = rate * 0.45;
    for (const Partial& p : partials) {
        const double freq = fundamental * p.ratio;
        if (freq >= nyquist)
            continue;
        // Rotating phasor: one complex multiply per sample instead of sin().
        const double w = TwoPi * freq / rate;
        const double decay = std::exp(-1.0 / (p.decaySeconds * rate));
        const double c = std::cos(w) * decay, s = std::sin(w) * decay;
        double re = p.amplitude, im = 0.0;
        for (size_t i = 0; i < count; ++i) {
            out[i] += ToFloat(im);
            const double nre = re * c - im * s;
            im = re * s + im * c;
            re = nre;
            if (std::fabs(re) + std::fabs(im) < 1e-7)
                break;
        }
    }
    const size_t tail = count / 10;
    for (size_t i = 0; i < tail; ++i) {
        out[count - 1 - i] *= ToFloat(RaisedCosine(static_cast<double>(i) / static_cast<double>(tail)));
    }
    return out;
}

double Rms(const std::vector<float>& samples)
{
    if (samples.empty())
        return 0.0;
    double sum = 0;
    for (float s : samples)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

double Peak(const std::vector<float>& samples)
{
    double peak = 0;
    for (float s : samples)
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
    return peak;
}

void NormaliseRms(std::vector<float>& samples, double rmsDb, double peakCeilingDb)
{
    const double rms = Rms(samples);
    const double peak = Peak(samples);
    if (rms <= 0.0)
        return;
    const double gain = std::min(DbToGain(rmsDb) / rms, DbToGain(peakCeilingDb) / peak);
    Scale(samples, gain);
}

void LimitCrest(std::vector<float>& samples, double crestDb)
{
    const double ceiling = Rms(samples) * DbToGain(crestDb);
    if (ceiling <= 0.0)
        return;
    for (float& s : samples)
        s = ToFloat(ceiling * std::tanh(s / ceiling));
}

namespace {

// The loop is circular, so any frame may be its start: take the one where
// every channel sits closest to zero and moves least.
void RotateToQuietFrame(std::vector<float>& samples, int channels)
{
    const size_t frames = samples.size() / channels;
    if (frames < 2)
        return;
    size_t best = 0;
    double bestScore = 1e30;
    for (size_t f = 0; f < frames; ++f) {
        const size_t prev = (f + frames - 1) % frames;
        double score = 0;
        for (int c = 0; c < channels; ++c) {
            score += std::fabs(samples[f * channels + c]) + std::fabs(samples[prev * channels + c]);
        }
        if (score < bestScore) {
            bestScore = score;
            best = f;
        }
    }
    std::rotate(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(best * channels), samples.end());
}

}  // namespace

void MakeLoop(std::vector<float>& samples, int channels, int rate, double fadeSeconds)
{
    const size_t frames = samples.size() / channels;
    const size_t fade = std::min(frames / 2, Samples(rate, fadeSeconds));
    const size_t keep = frames - fade;
    for (size_t f = 0; f < fade; ++f) {
        const double t = (static_cast<double>(f) + 0.5) / static_cast<double>(fade);
        const double in = std::sin(t * Pi / 2.0);
        const double out = std::cos(t * Pi / 2.0);
        for (int c = 0; c < channels; ++c) {
            float& head = samples[f * channels + c];
            head = ToFloat(head * in + samples[(keep + f) * channels + c] * out);
        }
    }
    samples.resize(keep * channels);
    RotateToQuietFrame(samples, channels);
}

Sound MonoSound(int rate, Signal samples)
{
    Sound s;
    s.rate = rate;
    s.channels = 1;
    s.samples = std::move(samples);
    return s;
}

Sound StereoSound(int rate, const Signal& left, const Signal& right)
{
    Sound s;
    s.rate = rate;
    s.channels = 2;
    const size_t n = std::min(left.size(), right.size());
    s.samples.resize(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s.samples[2 * i] = left[i];
        s.samples[2 * i + 1] = right[i];
    }
    return s;
}
