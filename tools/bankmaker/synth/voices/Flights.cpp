#include "tools/bankmaker/synth/voices/Flights.h"

#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr double kSpeedOfSound = 343.0;  // m/s
constexpr double kNearest = 0.3;         // m; keeps the level finite at the pass
constexpr double kSourceLead = 0.2;      // s of source sent before the clip starts (68 m of travel)

// A straight pass in front of the listener, with an optional weave.
struct Path {
    double seconds;    // length of the clip
    double speed;      // m/s along the path
    double distance;   // m, nearest approach
    double passAt;     // s, when it is nearest
    double direction;  // +1 left to right, -1 right to left
    double weave;      // m of side-to-side wobble
    double weaveHz;
};

struct Spot {
    double x, r;
};

Spot Where(const Path& path, double t)
{
    const double x = path.direction * path.speed * (t - path.passAt) + path.weave * std::sin(TwoPi * path.weaveHz * t);
    return {x, std::sqrt(x * x + path.distance * path.distance)};
}

// Renders what the listener hears of `source` (in source time, starting
// kSourceLead before the clip) as it moves along `path`.
Sound Pass(const Signal& source, int rate, const Path& path)
{
    const size_t frames = Samples(rate, path.seconds);
    Sound out;
    out.rate = rate;
    out.channels = 2;
    out.samples.assign(2 * frames, 0.0f);
    double lowpass = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        // Heard now, sent when the source stood r / c ago.
        const Spot spot = Where(path, t);
        const double emitted = t - spot.r / kSpeedOfSound;
        const double sample = ReadAt(source, (emitted + kSourceLead) * rate);
        // The air dulls a far sound.
        const double cutoff = std::min(0.45 * rate, 16000.0 / (1.0 + spot.r / 4.0));
        const double a = std::exp(-TwoPi * cutoff / rate);
        lowpass = (1.0 - a) * sample + a * lowpass;
        const double gain = 1.0 / std::max(spot.r, kNearest);
        const double angle = (spot.x / spot.r + 1.0) * Pi / 4.0;
        out.samples[2 * i] = static_cast<float>(lowpass * gain * std::cos(angle));
        out.samples[2 * i + 1] = static_cast<float>(lowpass * gain * std::sin(angle));
    }
    return out;
}

Path RandomPath(Rng& rng, double seconds, double speed, double distance, double weave)
{
    return {seconds,
            speed,
            distance,
            seconds * rng.Range(0.4, 0.6),
            rng.Chance(0.5) ? 1.0 : -1.0,
            weave,
            rng.Range(0.3, 1.2)};
}

size_t SourceLength(int rate, double seconds) { return Samples(rate, seconds + 2.0 * kSourceLead); }

// --- Birds ----------------------------------------------------------------

// Wing beats: air pushed in bursts, each a puff of band-limited noise.
Signal Wings(int rate, size_t count, double beatHz, double band, double glideShare, Rng& rng)
{
    Signal out = WhiteNoise(count, rng);
    Biquad::BandPass(rate, band, 0.8).Run(out);
    double beatGain = 1.0;
    double lastBeat = -1.0;
    // Now and then the bird stops beating and glides.
    const double glideFrom = rng.Range(0.2, 0.6) * static_cast<double>(count) / rate;
    const double glideTo = glideFrom + glideShare * static_cast<double>(count) / rate;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double beat = beatHz * t;
        if (std::floor(beat) != lastBeat) {
            lastBeat = std::floor(beat);
            beatGain = rng.Range(0.7, 1.0);
        }
        const double puff = std::pow(std::sin(Pi * (beat - lastBeat)), 4.0) * beatGain;
        const double gliding = t > glideFrom && t < glideTo ? 0.12 : 1.0;
        out[i] *= static_cast<float>(0.1 + puff * gliding);
    }
    return out;
}

// Wing feathers that whistle on each beat (pigeons, ducks).
void AddWingWhistle(Signal& wings, int rate, double beatHz, double pitch, double level)
{
    Oscillator osc(rate);
    for (size_t i = 0; i < wings.size(); ++i) {
        const double beat = beatHz * static_cast<double>(i) / rate;
        const double swing = std::sin(TwoPi * beat);
        const double tone = osc.Sine(pitch * (1.0 + 0.04 * swing));
        wings[i] += static_cast<float>(level * tone * std::pow(std::fabs(swing), 2.0));
    }
}

void AddCall(Signal& source, int rate, double at, Rng& rng)
{
    Tone call;
    call.start = at;
    call.length = rng.Range(0.08, 0.2);
    const double f = rng.Range(3000.0, 6000.0);
    call.f0 = f * 0.85;
    call.fMid = f * 1.15;
    call.f1 = f * 0.9;
    call.partials = {1.0, 0.25, 0.08, 0.0};
    call.gain = 0.5;
    AddTone(source, rate, call);
}

Sound SmallBird(int rate, Rng& rng)
{
    const double seconds = rng.Range(1.2, 2.5);
    const Signal wings =
        Wings(rate, SourceLength(rate, seconds), rng.Range(14.0, 20.0), rng.Range(1500.0, 3000.0), 0.2, rng);
    return Pass(wings, rate, RandomPath(rng, seconds, rng.Range(7.0, 11.0), rng.Range(1.0, 2.5), 0.0));
}

Sound Pigeon(int rate, Rng& rng)
{
    const double seconds = rng.Range(1.8, 3.5);
    const double beat = rng.Range(6.0, 8.5);
    Signal wings = Wings(rate, SourceLength(rate, seconds), beat, rng.Range(700.0, 1400.0), 0.3, rng);
    AddWingWhistle(wings, rate, beat, rng.Range(1200.0, 1800.0), 0.15);
    return Pass(wings, rate, RandomPath(rng, seconds, rng.Range(10.0, 15.0), rng.Range(2.0, 4.0), 0.0));
}

Sound Duck(int rate, Rng& rng)
{
    const double seconds = rng.Range(2.0, 3.5);
    const double beat = rng.Range(5.0, 7.0);
    Signal wings = Wings(rate, SourceLength(rate, seconds), beat, rng.Range(1000.0, 2000.0), 0.0, rng);
    AddWingWhistle(wings, rate, beat * 2.0, rng.Range(2000.0, 2800.0), 0.3);
    return Pass(wings, rate, RandomPath(rng, seconds, rng.Range(14.0, 18.0), rng.Range(3.0, 6.0), 0.0));
}

Sound Flock(int rate, Rng& rng)
{
    const double seconds = rng.Range(1.8, 3.0);
    const size_t count = SourceLength(rate, seconds);
    Signal all(count, 0.0f);
    const int birds = 3 + rng.Int(4);
    for (int b = 0; b < birds; ++b) {
        const Signal wings = Wings(rate, count, rng.Range(12.0, 20.0), rng.Range(1200.0, 3500.0), 0.25, rng);
        MixInto(all, wings, 0, rng.Range(0.4, 1.0));
        if (rng.Chance(0.5))
            AddCall(all, rate, rng.Range(0.2, seconds - 0.3), rng);
    }
    return Pass(all, rate, RandomPath(rng, seconds, rng.Range(7.0, 11.0), rng.Range(2.0, 4.0), 0.5));
}

Sound Caller(int rate, Rng& rng)
{
    const double seconds = rng.Range(1.5, 3.0);
    Signal wings = Wings(rate, SourceLength(rate, seconds), rng.Range(10.0, 16.0), rng.Range(1200.0, 2500.0), 0.2, rng);
    const int calls = 2 + rng.Int(3);
    for (int c = 0; c < calls; ++c)
        AddCall(wings, rate, kSourceLead + seconds * (0.15 + 0.7 * c / calls), rng);
    return Pass(wings, rate, RandomPath(rng, seconds, rng.Range(6.0, 10.0), rng.Range(1.5, 3.0), 0.0));
}

// --- Insects --------------------------------------------------------------

struct Wingbeat {
    double hzLo, hzHi;  // wing-beat pitch
    double wander;      // how far the pitch strays, fraction
    double body;        // Hz, resonance of the body
    double speedLo, speedHi, weave;
};

// The buzz of beating wings: a sawtooth at the wing rate that strays in
// pitch as the insect turns, coloured by its body.
Signal Whine(int rate, size_t count, const Wingbeat& kind, Rng& rng)
{
    const double hz = rng.Range(kind.hzLo, kind.hzHi);
    const Signal stray = Wander(rate, count, rng.Range(0.15, 0.4), -kind.wander, kind.wander, rng);
    const Signal sway = Wander(rate, count, 0.2, 0.6, 1.0, rng);
    Buzz buzz(rate, rng.Uniform());
    Signal out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = buzz.Saw(hz * (1.0 + stray[i])) * sway[i];
    Signal shaped = Formants(out, rate, {{kind.body, 1.2, 0.0}, {kind.body * 2.7, 2.0, -6.0}});
    MixInto(shaped, out, 0, 0.3);
    return shaped;
}

const Wingbeat kInsects[] = {
    {130, 180, 0.04, 900, 1.5, 3.0, 0.3},   // bumblebee
    {220, 250, 0.03, 1400, 2.0, 3.5, 0.2},  // honeybee
    {110, 150, 0.05, 1200, 2.5, 4.0, 0.2},  // wasp
    {180, 220, 0.08, 1600, 2.0, 4.0, 0.5},  // fly
    {450, 600, 0.04, 2500, 1.0, 2.0, 0.4},  // mosquito
    {150, 250, 0.15, 1300, 1.0, 2.5, 0.6},  // hoverfly
};

Sound BuzzingInsect(const Wingbeat& kind, int rate, Rng& rng)
{
    const double seconds = rng.Range(1.5, 4.0);
    const Signal whine = Whine(rate, SourceLength(rate, seconds), kind, rng);
    const double speed = rng.Range(kind.speedLo, kind.speedHi);
    return Pass(whine, rate, RandomPath(rng, seconds, speed, rng.Range(0.3, 1.2), kind.weave));
}

// A dragonfly's wings rattle rather than buzz.
Sound Dragonfly(int rate, Rng& rng)
{
    const double seconds = rng.Range(1.0, 2.5);
    const Signal wings =
        Wings(rate, SourceLength(rate, seconds), rng.Range(25.0, 35.0), rng.Range(300.0, 700.0), 0.15, rng);
    return Pass(wings, rate, RandomPath(rng, seconds, rng.Range(4.0, 7.0), rng.Range(0.5, 1.5), 0.3));
}

using FlightMaker = Sound (*)(int, Rng&);
constexpr FlightMaker kBirds[] = {SmallBird, Pigeon, Duck, Flock, Caller};

}  // namespace

Sound BirdFlyBy(int variant, int rate, Rng& rng)
{
    return kBirds[static_cast<size_t>(variant) % std::size(kBirds)](rate, rng);
}

// Every seventh insect is a dragonfly; the rest cycle through the buzzers.
Sound InsectFlyBy(int variant, int rate, Rng& rng)
{
    constexpr size_t kinds = std::size(kInsects) + 1;
    const size_t kind = static_cast<size_t>(variant) % kinds;
    return kind == std::size(kInsects) ? Dragonfly(rate, rng) : BuzzingInsect(kInsects[kind], rate, rng);
}
