#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

double RaisedCosine(double t) { return 0.5 - 0.5 * std::cos(Pi * std::clamp(t, 0.0, 1.0)); }

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

// Raised-cosine attack and release over a sound of `length` seconds, at t.
double Swell(double t, double length, double attack, double release)
{
    const double squeeze = std::min(1.0, length / std::max(1e-9, attack + release));
    return RaisedCosine(t / std::max(attack * squeeze, 1e-9)) *
           RaisedCosine((length - t) / std::max(release * squeeze, 1e-9));
}

// 1 at the pulse peaks, 1 - depth between them.
double Pulsing(double t, double hz, double depth) { return 1.0 - depth * (0.5 - 0.5 * std::cos(TwoPi * hz * t)); }

// Correction of a sawtooth edge (PolyBLEP) at phase t with step dt.
double Blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// A feedback comb with a damped loop, the body of the room.
class Comb {
public:
    Comb(size_t length, double feedback, double damping)
        : line_(std::max<size_t>(1, length), 0.0f), feedback_(feedback), damping_(damping)
    {}
    float Process(float x)
    {
        const float out = line_[pos_];
        lowpass_ = out * (1.0 - damping_) + lowpass_ * damping_;
        line_[pos_] = static_cast<float>(x + lowpass_ * feedback_);
        pos_ = (pos_ + 1) % line_.size();
        return out;
    }

private:
    Signal line_;
    size_t pos_ = 0;
    double feedback_, damping_;
    double lowpass_ = 0.0;
};

// Smears the combs' echoes into a diffuse tail.
class AllPass {
public:
    explicit AllPass(size_t length) : line_(std::max<size_t>(1, length), 0.0f) {}
    float Process(float x)
    {
        const float delayed = line_[pos_];
        const float out = -x + delayed;
        line_[pos_] = x + delayed * 0.5f;
        pos_ = (pos_ + 1) % line_.size();
        return out;
    }

private:
    Signal line_;
    size_t pos_ = 0;
};

void RemoveDc(std::vector<float>& samples, int channels, int rate)
{
    const double r = 1.0 - TwoPi * 20.0 / rate;
    for (int c = 0; c < channels; ++c) {
        double x1 = 0.0, y1 = 0.0;
        for (size_t i = c; i < samples.size(); i += channels) {
            const double y = samples[i] - x1 + r * y1;
            x1 = samples[i];
            y1 = y;
            samples[i] = static_cast<float>(y);
        }
    }
}

}  // namespace

double GlidePitch(double f0, double fMid, double f1, double u)
{
    const double a = std::log(f0);
    const double b = std::log(f1);
    if (fMid <= 0.0)
        return std::exp(Lerp(a, b, u));
    const double m = std::log(fMid);
    return std::exp(u < 0.5 ? Lerp(a, m, Smooth(2.0 * u)) : Lerp(m, b, Smooth(2.0 * u - 1.0)));
}

void AddTone(Signal& signal, int rate, const Tone& tone)
{
    const size_t first = Samples(rate, tone.start);
    const size_t count = Samples(rate, tone.length);
    if (count == 0)
        return;
    if (signal.size() < first + count)
        signal.resize(first + count, 0.0f);
    const double limit = 0.45 * rate;
    double phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double u = static_cast<double>(i) / static_cast<double>(count);
        const double f = GlidePitch(tone.f0, tone.fMid, tone.f1, u) *
                         (1.0 + tone.vibratoDepth * std::sin(TwoPi * tone.vibratoHz * t));
        phase = std::fmod(phase + TwoPi * f / rate, TwoPi);
        double v = 0.0;
        for (int k = 0; k < static_cast<int>(tone.partials.size()); ++k) {
            // Partials fade out as they near the top of the band, rather than
            // switching off (a click) when a glide carries them across it.
            const double room = std::clamp((limit - f * (k + 1)) / (0.15 * limit), 0.0, 1.0);
            if (tone.partials[k] != 0.0 && room > 0.0)
                v += room * tone.partials[k] * std::sin((k + 1) * phase);
        }
        const double env =
            Swell(t, tone.length, tone.attack, tone.release) * Pulsing(t, tone.flutterHz, tone.flutterDepth);
        signal[first + i] += static_cast<float>(tone.gain * env * v);
    }
}

Signal Voice(int rate, const VoiceShape& shape, Rng& rng)
{
    const size_t count = Samples(rate, shape.length);
    const Signal wobble = Wander(rate, count, 0.012, -shape.jitter, shape.jitter, rng);
    Buzz buzz(rate, rng.Uniform());
    Signal source(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double u = static_cast<double>(i) / static_cast<double>(count);
        const double f = GlidePitch(shape.f0, shape.fMid, shape.f1, u) *
                         (1.0 + wobble[i] + shape.vibratoDepth * std::sin(TwoPi * shape.vibratoHz * t));
        const double pulse = buzz.Saw(f);
        // Rasp rides on the glottal pulses rather than hissing evenly.
        const double rasp = rng.Range(-1.0, 1.0) * (0.6 + 0.4 * pulse);
        source[i] = static_cast<float>((pulse * (1.0 - shape.noise) + rasp * shape.noise * 1.5) *
                                       Swell(t, shape.length, shape.attack, shape.release) *
                                       Pulsing(t, shape.pulseHz, shape.pulseDepth));
    }
    return shape.formants.empty() ? source : Formants(source, rate, shape.formants);
}

Signal RepeatedCalls(int rate, const VoiceShape& shape, int count, double gapLo, double gapHi, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    for (int i = 0; i < count; ++i) {
        VoiceShape call = shape;
        const double spread = rng.Range(0.92, 1.08);
        call.length *= rng.Range(0.85, 1.15);
        call.f0 *= spread;
        call.fMid *= spread;
        call.f1 *= spread;
        MixInto(out, Voice(rate, call, rng), Samples(rate, t), rng.Range(0.75, 1.0));
        t += call.length + rng.Range(gapLo, gapHi);
    }
    return out;
}

double LeadIn(Rng& rng) { return rng.Range(0.05, 0.25); }

Buzz::Buzz(int rate, double phase) : rate_(rate), phase_(phase) {}

double Buzz::Advance(double freqHz)
{
    const double t = phase_;
    step_ = std::clamp(freqHz / rate_, 1e-6, 0.5);
    phase_ += step_;
    if (phase_ >= 1.0)
        phase_ -= 1.0;
    return t;
}

float Buzz::Saw(double freqHz)
{
    const double t = Advance(freqHz);
    return static_cast<float>(2.0 * t - 1.0 - Blep(t, step_));
}

float Buzz::Square(double freqHz)
{
    const double t = Advance(freqHz);
    const double v = (t < 0.5 ? 1.0 : -1.0) + Blep(t, step_) - Blep(std::fmod(t + 0.5, 1.0), step_);
    return static_cast<float>(v);
}

Signal Formants(const Signal& source, int rate, const std::vector<Formant>& formants)
{
    Signal out(source.size(), 0.0f);
    for (const Formant& f : formants) {
        Biquad band = Biquad::BandPass(rate, f.freq, f.q);
        const double gain = DbToGain(f.gainDb);
        for (size_t i = 0; i < source.size(); ++i)
            out[i] += static_cast<float>(band.Process(source[i]) * gain);
    }
    return out;
}

void AddRoom(Signal& signal, int rate, double wet, double decay, double tailSeconds)
{
    signal.resize(signal.size() + Samples(rate, tailSeconds), 0.0f);
    // Mutually prime comb lengths keep the tail from ringing at one pitch.
    const double combMs[] = {29.7, 37.1, 41.1, 43.7};
    const double allPassMs[] = {5.0, 1.7};
    const double feedback = 0.55 + 0.4 * std::clamp(decay, 0.0, 1.0);
    std::vector<Comb> combs;
    for (double ms : combMs)
        combs.emplace_back(Samples(rate, ms / 1000.0), feedback, 0.3);
    std::vector<AllPass> passes;
    for (double ms : allPassMs)
        passes.emplace_back(Samples(rate, ms / 1000.0));
    for (float& s : signal) {
        float tail = 0.0f;
        for (Comb& c : combs)
            tail += c.Process(s);
        for (AllPass& a : passes)
            tail = a.Process(tail);
        s = static_cast<float>(s + wet * 0.25 * tail);
    }
}

void FinishClip(Sound& sound, Level level)
{
    RemoveDc(sound.samples, sound.channels, sound.rate);
    Fade(sound.samples, sound.channels, sound.rate, 0.004, 0.012);
    NormaliseRms(sound.samples, level.rmsDb, level.peakDb);
}

float ReadAt(const Signal& signal, double position)
{
    if (position < 0.0)
        return 0.0f;
    const size_t i = static_cast<size_t>(position);
    if (i + 1 >= signal.size())
        return 0.0f;
    const double frac = position - static_cast<double>(i);
    return static_cast<float>(signal[i] * (1.0 - frac) + signal[i + 1] * frac);
}

std::vector<Sound> RenderAll(int count, const std::function<Sound(int)>& make)
{
    std::vector<Sound> out(count);
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++)
            out[i] = make(i);
    };
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::max(1, count));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return out;
}
