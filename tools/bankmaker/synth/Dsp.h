#pragma once
// Building blocks shared by every generator of the bankmaker: a seeded random
// source, noise, filters, envelopes, mixing, level and loop helpers.
//
// A mono signal is a std::vector<float>; a Sound (Sound.h) carries rate and
// channel count for what is finally encoded.

#include "tools/bankmaker/synth/Sound.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Signal = std::vector<float>;

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2.0 * Pi;

// Seed of clip `index` of a bank, from its file name: the same on every run.
uint64_t ClipSeed(const std::string& bankFileName, int index);

// Deterministic random source (splitmix64 seeding a xoshiro256**).
class Rng {
public:
    explicit Rng(uint64_t seed);
    uint64_t Next();
    double Uniform();                    // [0, 1)
    double Range(double lo, double hi);  // [lo, hi)
    int Int(int n);                      // 0 .. n-1
    bool Chance(double p);               // true with probability p

private:
    uint64_t state_[4];
};

// Steps of the major pentatonic scale, in semitones, from the tonic up to the
// third of the octave above.
constexpr int MajorPentatonic[] = {0, 2, 4, 7, 9, 12, 14, 16};

double Transpose(double freq, double semitones);

double DbToGain(double db);
double GainToDb(double gain);
size_t Samples(int rate, double seconds);

// Noise of `count` samples, roughly within -1 .. 1.
Signal WhiteNoise(size_t count, Rng& rng);
Signal PinkNoise(size_t count, Rng& rng);   // -3 dB per octave
Signal BrownNoise(size_t count, Rng& rng);  // -6 dB per octave, leak-limited

// RBJ biquad; set up once, then run sample by sample or over a signal.
class Biquad {
public:
    static Biquad LowPass(int rate, double freq, double q = 0.7071);
    static Biquad HighPass(int rate, double freq, double q = 0.7071);
    static Biquad BandPass(int rate, double freq, double q);  // 0 dB at peak
    static Biquad Peaking(int rate, double freq, double q, double gainDb);

    float Process(float x);
    void Run(Signal& signal);

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One-pole low-pass, cheap smoothing of control signals and gentle tilts.
class OnePole {
public:
    OnePole(int rate, double cutoffHz);
    float Process(float x);
    void Run(Signal& signal);

private:
    double a_;
    double y_ = 0;
};

// State-variable filter whose cutoff and Q may change every sample, for sweeps
// (wind, vowels, gliding resonances).
class StateVariable {
public:
    struct Outputs {
        float low, band, high;  // band is 0 dB at the centre
    };
    explicit StateVariable(int rate);
    Outputs Process(float x, double freqHz, double q);

private:
    double rate_;
    double ic1_ = 0, ic2_ = 0;
};

// Piecewise-linear envelope through (seconds, level) points, held flat after
// the last point; `count` samples at `rate`.
Signal Envelope(int rate, size_t count, const std::vector<std::pair<double, double>>& points);

// A slowly wandering control signal within lo .. hi (smoothed random steps
// every `stepSeconds`), for swells of wind, rustle of leaves and the like.
Signal Wander(int rate, size_t count, double stepSeconds, double lo, double hi, Rng& rng);

// Raised-cosine fade in at the start and fade out at the end, so the clip
// starts and ends at zero. Works on interleaved samples of `channels`.
void Fade(std::vector<float>& samples, int channels, int rate, double inSeconds, double outSeconds);

void Multiply(Signal& signal, const Signal& by);  // sample by sample, up to the shorter
void Scale(std::vector<float>& samples, double gain);

// Adds `src` × gain into `dst` from sample `offset`, growing `dst` if needed.
void MixInto(Signal& dst, const Signal& src, size_t offset, double gain = 1.0);

// Constant-power pan of a mono signal into an interleaved stereo buffer
// (pan -1 left .. +1 right), from frame `offset`, growing it if needed.
void MixPanned(std::vector<float>& stereo, const Signal& mono, size_t offset, double pan, double gain = 1.0);

// Oscillator with a running phase: FM, glides and vibrato come from varying
// the frequency per sample.
class Oscillator {
public:
    explicit Oscillator(int rate, double phase = 0.0);
    float Sine(double freqHz);

private:
    double step_;
    double phase_;
};

// One mode of a struck body: frequency as a ratio of the fundamental.
struct Partial {
    double ratio;
    double amplitude;
    double decaySeconds;  // time constant of its exponential decay
};

// A struck resonator (bell, bar, plate): decaying sines, each from zero phase
// so the strike itself does not click. The last tenth of `count` fades out,
// so a ring cut short ends smoothly too.
Signal StruckPartials(int rate, size_t count, double fundamental, const std::vector<Partial>& partials);

double Rms(const std::vector<float>& samples);
double Peak(const std::vector<float>& samples);

// Scales to `rmsDb` dBFS RMS, then lowers the gain if the peak would exceed
// `peakCeilingDb` (so the ceiling wins over the RMS target).
void NormaliseRms(std::vector<float>& samples, double rmsDb, double peakCeilingDb = -1.0);

// Rounds off (tanh) the peaks that stand more than `crestDb` above the RMS,
// for sounds made of sharp events whose loudest few would set the level.
void LimitCrest(std::vector<float>& samples, double crestDb);

// Makes an interleaved recording loop seamlessly: the last `fadeSeconds` are
// crossfaded (equal power) into the head and dropped, so the end flows into
// the start. The result is shorter by the fade, and turned round to begin at
// its quietest near-zero frame, so the first play starts without a click.
void MakeLoop(std::vector<float>& samples, int channels, int rate, double fadeSeconds);

Sound MonoSound(int rate, Signal samples);
Sound StereoSound(int rate, const Signal& left, const Signal& right);
