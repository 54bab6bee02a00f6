#include "tools/bankmaker/synth/Environment.h"

#include "tools/bankmaker/synth/Dsp.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int AmbienceRate = 22050;  // rustle, crickets and wind lose nothing above 11 kHz
constexpr int BrightRate = 44100;    // water, fire and rain live in the highs
constexpr int ThunderRate = 22050;

// The day's backgrounds play under the board's background volume (64 % at
// first), the night's at full volume: the night bed is made that much quieter.
constexpr double DayBackgroundRmsDb = -21.0;
constexpr double NightBackgroundRmsDb = -24.0;
constexpr double WaterRmsDb = -24.0;
// A strand of rain stays under the birds' song, whose phrases stand 6 dB and
// more over it in their band, even with a second strand joining it.
constexpr double RainRmsDb = -33.0;
constexpr double FireRmsDb = -25.0;
constexpr double WindRmsDb = -28.0;
constexpr double ClapRmsDb = -21.0;
constexpr double RollRmsDb = -24.0;

constexpr double BackgroundEdge = 0.4;  // seconds of fade: clips follow each other
constexpr double LoopCrossfade = 2.0;   // seconds of tail folded into the head
constexpr double StrikeFade = 0.005;    // just enough to start and end at zero

constexpr float AmbienceQuality = 0.0f;
constexpr float NoiseQuality = 0.2f;  // noise smears at the lowest settings

const char* const DayBank = "ovda.3bs";
const char* const NightBank = "ovna.3bs";
const char* const BrookBank = "oves.3bs";
const char* const FireBank = "ovef.3bs";
const char* const WindBank = "ovfw.3bs";
const char* const RainBank = "ovel.3bs";
const char* const StormBank = "ovrs.3bs";

float F(double x) { return static_cast<float>(x); }

SynthClip VorbisClip(Sound sound, float quality)
{
    SynthClip clip;
    clip.sound = std::move(sound);
    clip.vorbisQuality = quality;
    return clip;
}

// A separate random stream per channel keeps the channels uncorrelated.
uint64_t ChannelSeed(uint64_t clipSeed, int channel)
{
    return clipSeed ^ (0xA5A5A5A5DEADBEEFull * static_cast<uint64_t>(channel + 1));
}

// Onset times of a Poisson process whose rate follows `density` (events per
// second at each sample).
std::vector<size_t> PoissonOnsets(int rate, const Signal& density, Rng& rng)
{
    std::vector<size_t> onsets;
    for (size_t i = 0; i < density.size(); ++i) {
        if (rng.Uniform() < static_cast<double>(density[i]) / rate)
            onsets.push_back(i);
    }
    return onsets;
}

// Many small, few big: log-uniform gain between the two levels.
double LogGain(Rng& rng, double quietDb, double loudDb) { return DbToGain(rng.Range(quietDb, loudDb)); }

using EventMaker = std::function<Signal(int, Rng&)>;

// Short sounds (drops, crackles) at Poisson onsets, each at its own level.
Signal Events(int rate, const Signal& density, Rng& rng, const EventMaker& event, double quietDb, double loudDb)
{
    Signal out(density.size(), 0.0f);
    for (size_t at : PoissonOnsets(rate, density, rng)) {
        MixInto(out, event(rate, rng), at, LogGain(rng, quietDb, loudDb));
    }
    out.resize(density.size());
    return out;
}

Signal Filtered(Signal s, Biquad filter)
{
    filter.Run(s);
    return s;
}

Signal BandNoise(size_t n, Rng& rng, int rate, double lowHz, double highHz)
{
    Signal s = PinkNoise(n, rng);
    Biquad::HighPass(rate, lowHz).Run(s);
    Biquad::LowPass(rate, highHz).Run(s);
    return s;
}

// The same as BandNoise, scaled to unit RMS so the mix gains read as levels.
Signal UnitBandNoise(size_t n, Rng& rng, int rate, double lowHz, double highHz)
{
    Signal s = BandNoise(n, rng, rate, lowHz, highHz);
    NormaliseRms(s, 0.0, 30.0);
    return s;
}

void AddLayer(Signal& mix, Signal layer, double levelDb)
{
    NormaliseRms(layer, levelDb, 30.0);
    MixInto(mix, layer, 0);
}

// Far sources lose their highs and come back off the trees a little later.
Signal Distant(const Signal& dry, int rate, double cutoffHz, Rng& rng)
{
    Signal near = Filtered(dry, Biquad::LowPass(rate, cutoffHz));
    Signal wet = near;
    MixInto(wet, Filtered(near, Biquad::LowPass(rate, cutoffHz * 0.6)), Samples(rate, rng.Range(0.07, 0.22)),
            rng.Range(0.2, 0.35));
    return wet;
}

// --- Birds far off --------------------------------------------------------

struct NoteShape {
    double seconds;
    double freq;   // start frequency
    double glide;  // relative change over the note
    double vibratoHz;
    double vibratoDepth;
    double second, third;  // harmonic levels
};

Signal BirdNote(int rate, const NoteShape& shape)
{
    const size_t n = Samples(rate, shape.seconds);
    Signal out(n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double u = t / shape.seconds;
        const double freq =
            shape.freq * (1.0 + shape.glide * u) * (1.0 + shape.vibratoDepth * std::sin(TwoPi * shape.vibratoHz * t));
        phase += TwoPi * freq / rate;
        const double env = std::sin(Pi * u) * std::sin(Pi * u) * (1.0 - 0.4 * u);
        double s = std::sin(phase);
        if (freq * 2 < rate * 0.45)
            s += shape.second * std::sin(2 * phase);
        if (freq * 3 < rate * 0.45)
            s += shape.third * std::sin(3 * phase);
        out[i] = F(s * env);
    }
    return out;
}

// One call: a whistle, a trill or a short falling phrase.
Signal DistantBirdCall(int rate, Rng& rng)
{
    Signal call;
    const double base = rng.Range(1800.0, 4200.0);
    const int kind = rng.Int(3);
    const int notes = kind == 0 ? 1 : kind == 1 ? 6 + rng.Int(12) : 2 + rng.Int(3);
    const double gap = kind == 1 ? rng.Range(0.04, 0.07) : rng.Range(0.08, 0.2);
    size_t at = 0;
    for (int k = 0; k < notes; ++k) {
        NoteShape shape;
        shape.seconds = kind == 0 ? rng.Range(0.25, 0.6) : kind == 1 ? rng.Range(0.03, 0.06) : rng.Range(0.1, 0.25);
        shape.freq = base * (kind == 2 ? std::pow(0.9, k) : rng.Range(0.97, 1.03));
        shape.glide = kind == 1 ? rng.Range(-0.3, 0.3) : rng.Range(-0.35, 0.25);
        shape.vibratoHz = rng.Range(6.0, 30.0);
        shape.vibratoDepth = rng.Range(0.0, 0.04);
        shape.second = rng.Range(0.1, 0.35);
        shape.third = rng.Range(0.0, 0.12);
        Signal note = BirdNote(rate, shape);
        MixInto(call, note, at);
        at += note.size() + Samples(rate, gap);
    }
    return Distant(call, rate, rng.Range(2500.0, 4500.0), rng);
}

// --- Day -------------------------------------------------------------------

// Leaves: pink noise with the fast flutter of rustling and slow breeze swells.
Signal Rustle(int rate, size_t n, Rng& rng)
{
    Signal leaves = BandNoise(n, rng, rate, rng.Range(300.0, 600.0), rng.Range(3500.0, 6500.0));
    Signal flutter = WhiteNoise(n, rng);
    OnePole smooth(rate, rng.Range(8.0, 20.0));
    for (float& f : flutter)
        f = F(0.35 + 6.0 * std::fabs(smooth.Process(f)));
    Multiply(leaves, flutter);
    Multiply(leaves, Wander(rate, n, rng.Range(1.5, 4.0), 0.2, 1.0, rng));
    return leaves;
}

Signal DayBackground(int index)
{
    Rng rng(ClipSeed(DayBank, index));
    const int rate = AmbienceRate;
    const double seconds = rng.Range(14.0, 28.0);
    const size_t n = Samples(rate, seconds);

    Signal mix(n, 0.0f);
    AddLayer(mix, Rustle(rate, n, rng), 0.0);
    AddLayer(mix, Filtered(BrownNoise(n, rng), Biquad::LowPass(rate, 250.0)), -9.0);

    Signal birds(n, 0.0f);
    const int calls = static_cast<int>(seconds * rng.Range(0.3, 0.7));
    for (int c = 0; c < calls; ++c) {
        Signal call = DistantBirdCall(rate, rng);
        const size_t at = static_cast<size_t>(rng.Uniform() * static_cast<double>(n));
        MixInto(birds, call, at, LogGain(rng, -12.0, 0.0));
    }
    birds.resize(n);
    if (Rms(birds) > 0)
        AddLayer(mix, birds, rng.Range(-7.0, -3.0));

    NormaliseRms(mix, DayBackgroundRmsDb);
    Fade(mix, 1, rate, BackgroundEdge, BackgroundEdge);
    return mix;
}

// --- Night -----------------------------------------------------------------

constexpr double NightCrestDb = 18.0;  // a near frog may stand out, not set the peaks

// One pulse of a cricket's song: a tone that drops a little in pitch.
Signal CricketPulse(int rate, double freq, double seconds)
{
    const size_t n = Samples(rate, seconds);
    Signal out(n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(n);
        phase += TwoPi * freq * (1.0 - 0.04 * u) / rate;
        const double env = std::sin(Pi * u);
        double s = std::sin(phase);
        if (freq * 2 < rate * 0.45)
            s += 0.25 * std::sin(2 * phase);
        out[i] = F(s * env * env);
    }
    return out;
}

// A field cricket chirping (groups of pulses) or a tree cricket trilling.
Signal Cricket(int rate, size_t n, Rng& rng)
{
    Signal song(n, 0.0f);
    const double freq = rng.Range(3200.0, 5200.0);
    const bool triller = rng.Chance(0.4);
    const double pulse = triller ? rng.Range(0.008, 0.014) : rng.Range(0.012, 0.02);
    const double pulsePeriod = pulse * rng.Range(1.6, 2.2);
    const int pulsesPerChirp = triller ? 1 : 3 + rng.Int(4);
    const double chirpPeriod = triller ? pulsePeriod : rng.Range(0.35, 1.1);
    const Signal one = CricketPulse(rate, freq, pulse);
    // Tree crickets rise and fall; both kinds sing in bouts with pauses between.
    const Signal swell = Wander(rate, n, rng.Range(1.0, 3.0), triller ? 0.3 : 0.8, 1.0, rng);
    double t = rng.Range(0.0, 2.0);
    double boutEnd = t + rng.Range(2.0, 9.0);
    const double seconds = static_cast<double>(n) / rate;
    while (t < seconds) {
        if (t > boutEnd) {
            t += rng.Range(0.4, 3.0);
            boutEnd = t + rng.Range(2.0, 9.0);
            continue;
        }
        for (int p = 0; p < pulsesPerChirp; ++p) {
            const size_t at = Samples(rate, t + p * pulsePeriod);
            if (at < n)
                MixInto(song, one, at, swell[at] * rng.Range(0.85, 1.0));
        }
        t += chirpPeriod * rng.Range(0.96, 1.04);
    }
    song.resize(n);
    return song;
}

// A croak: a buzz of harmonics through a formant, the way a frog's throat shapes it.
Signal Croak(int rate, double f0, double formantHz, double seconds)
{
    const size_t n = Samples(rate, seconds);
    Signal buzz(n, 0.0f);
    for (int k = 1; k * f0 < 3000.0; ++k) {
        Oscillator osc(rate);
        for (size_t i = 0; i < n; ++i)
            buzz[i] += F(osc.Sine(k * f0) / static_cast<double>(k));
    }
    Biquad::BandPass(rate, formantHz, 2.5).Run(buzz);
    const size_t attack = Samples(rate, 0.02);
    for (size_t i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(n);
        const double rise = i < attack ? static_cast<double>(i) / static_cast<double>(attack) : 1.0;
        buzz[i] *= F(rise * (1.0 - u) * (1.0 - u) * 0.5 + rise * (1.0 - u) * 0.5);
    }
    return buzz;
}

// A peep: the short rising whistle of a small tree frog.
Signal Peep(int rate, Rng& rng)
{
    NoteShape shape{
        rng.Range(0.08, 0.16), rng.Range(2300.0, 3000.0), rng.Range(0.1, 0.25), 0.0, 0.0, rng.Range(0.05, 0.15), 0.0};
    return BirdNote(rate, shape);
}

Signal Frogs(int rate, size_t n, Rng& rng)
{
    Signal chorus(n, 0.0f);
    const int frogs = 1 + rng.Int(3);
    const double seconds = static_cast<double>(n) / rate;
    for (int f = 0; f < frogs; ++f) {
        const bool peeper = rng.Chance(0.3);
        const double f0 = rng.Range(90.0, 260.0);
        const double formant = rng.Range(500.0, 1400.0);
        const double gain = LogGain(rng, -10.0, 0.0);
        double t = rng.Range(0.0, 4.0);
        while (t < seconds) {
            const int croaks = 2 + rng.Int(6);
            const double spacing = rng.Range(0.25, 0.7);
            for (int c = 0; c < croaks; ++c) {
                Signal call =
                    peeper ? Peep(rate, rng) : Croak(rate, f0 * rng.Range(0.97, 1.03), formant, rng.Range(0.12, 0.35));
                NormaliseRms(call, -12.0, 0.0);
                MixInto(chorus, call, Samples(rate, t + c * spacing), gain);
            }
            t += croaks * spacing + rng.Range(2.0, 7.0);
        }
    }
    chorus.resize(n);
    return Distant(chorus, rate, 1600.0, rng);
}

Signal NightBackground(int index)
{
    Rng rng(ClipSeed(NightBank, index));
    const int rate = AmbienceRate;
    const double seconds = rng.Range(12.0, 26.0);
    const size_t n = Samples(rate, seconds);

    Signal mix(n, 0.0f);
    Signal air = BandNoise(n, rng, rate, 80.0, 1200.0);
    Multiply(air, Wander(rate, n, rng.Range(2.0, 5.0), 0.4, 1.0, rng));
    AddLayer(mix, air, -12.0);

    const int crickets = 1 + rng.Int(4);
    for (int c = 0; c < crickets; ++c) {
        Signal cricket = Cricket(rate, n, rng);
        // Nearer crickets are brighter and louder.
        const double nearness = rng.Uniform();
        Biquad::LowPass(rate, 5000.0 + 5000.0 * nearness).Run(cricket);
        AddLayer(mix, cricket, -14.0 + 12.0 * nearness);
    }
    if (rng.Chance(0.55))
        AddLayer(mix, Frogs(rate, n, rng), rng.Range(-8.0, -2.0));

    LimitCrest(mix, NightCrestDb);
    NormaliseRms(mix, NightBackgroundRmsDb);
    Fade(mix, 1, rate, BackgroundEdge, BackgroundEdge);
    return mix;
}

// --- Water -----------------------------------------------------------------

// A bubble closing at the surface: a damped tone whose pitch rises as it shrinks.
Signal Bubble(int rate, double freq, double tau, double rise)
{
    const size_t n = Samples(rate, tau * 5.0);
    Signal out(n);
    double phase = 0;
    const size_t attack = std::max<size_t>(1, Samples(rate, 0.0006));
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        phase += TwoPi * freq * (1.0 + rise * t / tau) / rate;
        const double onset = i < attack ? static_cast<double>(i) / static_cast<double>(attack) : 1.0;
        out[i] = F(std::sin(phase) * std::exp(-t / tau) * onset);
    }
    return out;
}

struct BubbleField {
    double perSecond;
    double lowHz, highHz;
    double quietDb, loudDb;
};

// Bubbles in clusters: the density itself wanders, which makes water babble.
Signal Bubbles(int rate, size_t n, const BubbleField& field, Rng& rng)
{
    Signal density = Wander(rate, n, rng.Range(0.15, 0.5), 0.2, 1.8, rng);
    Scale(density, field.perSecond);
    Signal out(n, 0.0f);
    for (size_t at : PoissonOnsets(rate, density, rng)) {
        const double freq = std::exp(rng.Range(std::log(field.lowHz), std::log(field.highHz)));
        // Small bubbles sing higher and die faster.
        const double tau = rng.Range(0.6, 1.4) * 8.0 / std::sqrt(freq / 300.0) * 0.001;
        MixInto(out, Bubble(rate, freq, tau, rng.Range(0.05, 0.4)), at, LogGain(rng, field.quietDb, field.loudDb));
    }
    out.resize(n);
    return out;
}

Signal BrookChannel(int rate, size_t n, Rng& rng)
{
    Signal mix(n, 0.0f);
    Signal flow = UnitBandNoise(n, rng, rate, 500.0, 3500.0);
    Multiply(flow, Wander(rate, n, 0.12, 0.5, 1.0, rng));
    AddLayer(mix, flow, -8.0);
    AddLayer(mix, Bubbles(rate, n, {160.0, 350.0, 2800.0, -30.0, 0.0}, rng), 0.0);
    AddLayer(mix, UnitBandNoise(n, rng, rate, 3000.0, 9000.0), -20.0);
    AddLayer(mix, Filtered(BrownNoise(n, rng), Biquad::LowPass(rate, 300.0)), -14.0);
    return mix;
}

Signal WaterfallChannel(int rate, size_t n, const Signal& shared, Rng& rng)
{
    Signal mix(n, 0.0f);
    AddLayer(mix, shared, -2.0);
    Signal own = UnitBandNoise(n, rng, rate, 80.0, 7000.0);
    Multiply(own, Wander(rate, n, 0.6, 0.75, 1.0, rng));
    AddLayer(mix, own, -3.0);
    Signal spray = UnitBandNoise(n, rng, rate, 2500.0, 12000.0);
    Multiply(spray, Wander(rate, n, 0.05, 0.5, 1.0, rng));
    AddLayer(mix, spray, -10.0);
    AddLayer(mix, Bubbles(rate, n, {500.0, 300.0, 2500.0, -30.0, -6.0}, rng), -9.0);
    return mix;
}

Sound Brook(uint64_t seed)
{
    const int rate = BrightRate;
    Rng rng(seed);
    const size_t n = Samples(rate, rng.Range(22.0, 26.0) + LoopCrossfade);
    Sound sound = MonoSound(rate, BrookChannel(rate, n, rng));
    NormaliseRms(sound.samples, WaterRmsDb);
    MakeLoop(sound.samples, 1, rate, LoopCrossfade);
    return sound;
}

Sound Waterfall(uint64_t seed)
{
    const int rate = BrightRate;
    Rng rng(seed);
    const size_t n = Samples(rate, rng.Range(20.0, 24.0) + LoopCrossfade);
    // Part of the roar reaches both ears alike; the rest is each side's own.
    Signal shared = UnitBandNoise(n, rng, rate, 40.0, 4000.0);
    Multiply(shared, Wander(rate, n, 1.5, 0.8, 1.0, rng));
    Rng left(ChannelSeed(seed, 0)), right(ChannelSeed(seed, 1));
    Sound sound = StereoSound(rate, WaterfallChannel(rate, n, shared, left), WaterfallChannel(rate, n, shared, right));
    NormaliseRms(sound.samples, WaterRmsDb);
    MakeLoop(sound.samples, 2, rate, LoopCrossfade);
    return sound;
}

// --- Fire ------------------------------------------------------------------

struct FireCharacter {
    double cracklesPerSecond;
    double popsPerSecond;
    double hissDb;
};

constexpr double FireCrestDb = 24.0;  // crackle stays sharp but sets no level alone

constexpr FireCharacter FireCharacters[FireClipCount] = {
    {14.0, 0.4, -14.0},  // a settled fire
    {26.0, 0.9, -16.0},  // dry twigs catching
    {8.0, 0.25, -8.0},   // damp wood that hisses
};

// A crackle: a few milliseconds of bright noise, sharp at the front.
Signal Crackle(int rate, Rng& rng)
{
    const size_t n = Samples(rate, rng.Range(0.0015, 0.006));
    Signal burst = WhiteNoise(n, rng);
    const double tau = rng.Range(0.0004, 0.0015) * rate;
    for (size_t i = 0; i < n; ++i)
        burst[i] *= F(std::exp(-static_cast<double>(i) / tau));
    Biquad::BandPass(rate, rng.Range(1500.0, 7000.0), rng.Range(0.7, 2.0)).Run(burst);
    return burst;
}

// A pop: wood splitting, a snap with a short woody ring after it.
Signal Pop(int rate, Rng& rng)
{
    Signal pop = Crackle(rate, rng);
    Scale(pop, 1.3);
    Signal ring = StruckPartials(rate, Samples(rate, 0.08), rng.Range(350.0, 1300.0),
                                 {{1.0, 1.0, rng.Range(0.008, 0.025)}, {2.3, 0.4, 0.006}});
    MixInto(pop, ring, 0, 0.6);
    return pop;
}

Signal FireEvents(int rate, size_t n, double perSecond, Rng& rng, const EventMaker& event, double quietDb,
                  double loudDb)
{
    // Crackles come in bursts as a log catches; the density wanders fast.
    Signal density = Wander(rate, n, rng.Range(0.3, 0.8), 0.1, 2.0, rng);
    Scale(density, perSecond);
    return Events(rate, density, rng, event, quietDb, loudDb);
}

Sound Fire(int index)
{
    const int rate = BrightRate;
    const FireCharacter& character = FireCharacters[index];
    Rng rng(ClipSeed(FireBank, index));
    const size_t n = Samples(rate, rng.Range(18.0, 24.0) + LoopCrossfade);

    Signal mix(n, 0.0f);
    Signal roar = Filtered(BrownNoise(n, rng), Biquad::LowPass(rate, rng.Range(180.0, 350.0)));
    Multiply(roar, Wander(rate, n, 0.15, 0.4, 1.0, rng));
    AddLayer(mix, roar, -3.0);
    Signal hiss = UnitBandNoise(n, rng, rate, 2000.0, 9000.0);
    Multiply(hiss, Wander(rate, n, 0.8, 0.3, 1.0, rng));
    AddLayer(mix, hiss, character.hissDb);
    // Pops ride on the crackle at their own, louder level.
    Signal events = FireEvents(rate, n, character.cracklesPerSecond, rng, Crackle, -22.0, 0.0);
    MixInto(events, FireEvents(rate, n, character.popsPerSecond, rng, Pop, -8.0, 0.0), 0);
    LimitCrest(events, FireCrestDb);
    AddLayer(mix, events, 0.0);

    Sound sound = MonoSound(rate, std::move(mix));
    NormaliseRms(sound.samples, FireRmsDb);
    MakeLoop(sound.samples, 1, rate, LoopCrossfade);
    return sound;
}

// --- Wind ------------------------------------------------------------------

constexpr double PuffSeconds = 0.085;

// Swell up to a peak somewhere past the first third, then die away.
Signal GustShape(int rate, size_t n, Rng& rng)
{
    const double seconds = static_cast<double>(n) / rate;
    const double peak = rng.Range(0.3, 0.6);
    Signal shape = Envelope(rate, n, {{0.0, 0.0}, {seconds * peak, 1.0}, {seconds, 0.0}});
    for (float& s : shape)
        s = F(std::sin(Pi / 2.0 * s) * std::sin(Pi / 2.0 * s));
    Multiply(shape, Wander(rate, n, rng.Range(0.25, 0.7), 0.6, 1.0, rng));
    return shape;
}

Signal Gust(int rate, double seconds, Rng& rng)
{
    const size_t n = Samples(rate, seconds);
    const Signal shape = GustShape(rate, n, rng);
    const Signal noise = PinkNoise(n, rng);
    StateVariable rush(rate), howl(rate);
    const double rushBase = rng.Range(250.0, 500.0);
    const double howlBase = rng.Range(220.0, 600.0);
    const double howlQ = rng.Range(4.0, 10.0);
    const double howlLevel = rng.Range(0.2, 0.6);
    Signal out(n);
    for (size_t i = 0; i < n; ++i) {
        // Stronger air is brighter and whistles higher through the branches.
        const double e = shape[i];
        const float low = rush.Process(noise[i], rushBase + 3000.0 * e, 0.6).low;
        const float band = howl.Process(noise[i], howlBase * (0.7 + 0.8 * e), howlQ).band;
        out[i] = F(e * (low + howlLevel * band * 2.0));
    }
    Biquad::HighPass(rate, 60.0).Run(out);
    return out;
}

// --- Rain ------------------------------------------------------------------

struct RainCharacter {
    double ticksPerSecond;   // the fine patter
    double plinksPerSecond;  // drops on leaves
    double dripsPerSecond;   // big drops into puddles
    double hissDb, lowDb;
};

constexpr double RainCrestDb = 20.0;  // a big drip may stand out, not set the level

constexpr RainCharacter RainCharacters[RainGroupCounts[0] + RainGroupCounts[1] + RainGroupCounts[2]] = {
    {900.0, 35.0, 1.0, -6.0, -14.0},   // steady rain
    {1200.0, 25.0, 2.0, -5.0, -12.0},  // steady rain, a little heavier
    {2600.0, 60.0, 4.0, -2.0, -8.0},   // a downpour
    {150.0, 10.0, 6.0, -18.0, -22.0},  // the rain has passed, leaves drip
};

Signal RainTick(int rate, Rng& rng)
{
    const size_t n = Samples(rate, rng.Range(0.0005, 0.002));
    Signal tick = WhiteNoise(n, rng);
    for (size_t i = 0; i < n; ++i)
        tick[i] *= F(1.0 - static_cast<double>(i) / static_cast<double>(n));
    return tick;
}

// A drop on a leaf: a tick and a short bright ring.
Signal RainPlink(int rate, Rng& rng)
{
    Signal plink = Bubble(rate, rng.Range(1800.0, 5500.0), rng.Range(0.002, 0.006), rng.Range(0.0, 0.15));
    MixInto(plink, RainTick(rate, rng), 0, 0.8);
    return plink;
}

// A big drop into a puddle: the splash and the bubble it leaves behind.
Signal RainDrip(int rate, Rng& rng)
{
    Signal drip = RainTick(rate, rng);
    MixInto(drip, Bubble(rate, rng.Range(700.0, 2200.0), rng.Range(0.012, 0.035), rng.Range(0.2, 0.6)),
            Samples(rate, rng.Range(0.002, 0.01)), 1.5);
    return drip;
}

Signal Scattered(int rate, size_t n, double perSecond, Rng& rng, const EventMaker& event, double quietDb, double loudDb)
{
    return Events(rate, Signal(n, F(perSecond)), rng, event, quietDb, loudDb);
}

Signal RainChannel(int rate, size_t n, const RainCharacter& c, Rng& rng)
{
    Signal mix(n, 0.0f);
    Signal hiss = UnitBandNoise(n, rng, rate, 900.0, 10000.0);
    Multiply(hiss, Wander(rate, n, rng.Range(2.0, 4.0), 0.8, 1.0, rng));
    AddLayer(mix, hiss, c.hissDb);
    AddLayer(mix, Filtered(BrownNoise(n, rng), Biquad::LowPass(rate, 500.0)), c.lowDb);
    Signal ticks = Scattered(rate, n, c.ticksPerSecond, rng, RainTick, -30.0, 0.0);
    Biquad::BandPass(rate, rng.Range(3000.0, 5000.0), 0.8).Run(ticks);
    AddLayer(mix, ticks, -4.0);
    AddLayer(mix, Scattered(rate, n, c.plinksPerSecond, rng, RainPlink, -24.0, 0.0), -9.0);
    AddLayer(mix, Scattered(rate, n, c.dripsPerSecond, rng, RainDrip, -10.0, 0.0), -8.0);
    LimitCrest(mix, RainCrestDb);
    return mix;
}

Sound Rain(int index)
{
    const int rate = BrightRate;
    const uint64_t seed = ClipSeed(RainBank, index);
    Rng rng(seed);
    const size_t n = Samples(rate, rng.Range(22.0, 28.0) + LoopCrossfade);
    Rng left(ChannelSeed(seed, 0)), right(ChannelSeed(seed, 1));
    const RainCharacter& c = RainCharacters[index];
    Sound sound = StereoSound(rate, RainChannel(rate, n, c, left), RainChannel(rate, n, c, right));
    NormaliseRms(sound.samples, RainRmsDb);
    MakeLoop(sound.samples, 2, rate, LoopCrossfade);
    return sound;
}

// --- Thunder ---------------------------------------------------------------

// The roll: a train of swells, each quick to rise and slow to fade, weaker
// as the sound comes from further along the lightning channel.
Signal RollEnvelope(int rate, size_t n, double start, double attack, Rng& rng)
{
    Signal env(n, 0.0f);
    const double seconds = static_cast<double>(n) / rate;
    double t = start;
    double level = 1.0;
    while (t < seconds * 0.8) {
        const double rise = attack * rng.Range(0.5, 1.5);
        const double tau = rng.Range(0.6, 2.2);
        const size_t from = Samples(rate, t);
        for (size_t i = from; i < n; ++i) {
            const double dt = static_cast<double>(i - from) / rate;
            const double shape = dt < rise ? std::sin(Pi / 2.0 * dt / rise) : std::exp(-(dt - rise) / tau);
            env[i] += F(level * shape);
        }
        t += rng.Range(0.3, 1.6);
        level *= rng.Range(0.55, 0.95);
    }
    return env;
}

// The crack of a near strike: a few ripping bursts of bright noise.
Signal Crack(int rate, size_t n, Rng& rng)
{
    Signal crack(n, 0.0f);
    const int bursts = 3 + rng.Int(4);
    double t = 0.0;
    for (int b = 0; b < bursts; ++b) {
        const size_t len = Samples(rate, rng.Range(0.03, 0.15));
        Signal burst = BandNoise(len, rng, rate, 250.0, 7000.0);
        const double tau = static_cast<double>(len) / 4.0;
        for (size_t i = 0; i < len; ++i)
            burst[i] *= F(std::exp(-static_cast<double>(i) / tau));
        MixInto(crack, burst, Samples(rate, t), std::pow(0.7, b));
        t += rng.Range(0.02, 0.09);
    }
    crack.resize(n);
    return crack;
}

Signal Rumble(int rate, size_t n, double cutoffHz, Rng& rng)
{
    Signal rumble = Filtered(BrownNoise(n, rng), Biquad::LowPass(rate, cutoffHz));
    Biquad::HighPass(rate, 25.0).Run(rumble);
    NormaliseRms(rumble, 0.0, 30.0);
    // Some grit in the middle register so small speakers still hear the roll.
    AddLayer(rumble, UnitBandNoise(n, rng, rate, 200.0, 900.0), -14.0);
    return rumble;
}

Sound Thunder(int index)
{
    const int rate = ThunderRate;
    const bool clap = index < StormGroupCounts[0];
    const uint64_t seed = ClipSeed(StormBank, index);
    Rng rng(seed);
    const double seconds = clap ? rng.Range(8.0, 13.0) : rng.Range(11.0, 20.0);
    const size_t n = Samples(rate, seconds);
    const double crackAt = 0.05;
    const Signal roll = RollEnvelope(rate, n, clap ? crackAt + rng.Range(0.0, 0.08) : rng.Range(0.2, 0.6),
                                     clap ? 0.15 : rng.Range(0.6, 1.4), rng);
    const double cutoff = clap ? rng.Range(200.0, 320.0) : rng.Range(110.0, 200.0);
    const double pan = rng.Range(-0.8, 0.8);
    // The roll is shared in part by both sides, so it seems wide and far.
    Signal shared = Rumble(rate, n, cutoff, rng);
    Signal crack = clap ? Crack(rate, n - Samples(rate, crackAt), rng) : Signal();

    Signal channels[2];
    for (int side = 0; side < 2; ++side) {
        Rng own(ChannelSeed(seed, side));
        Signal mix = Rumble(rate, n, cutoff, own);
        MixInto(mix, shared, 0, 1.2);
        Multiply(mix, roll);
        if (clap) {
            // Constant-power placement of the strike.
            const double angle = (pan + 1.0) * Pi / 4.0;
            MixInto(mix, crack, Samples(rate, crackAt), 1.8 * (side == 0 ? std::cos(angle) : std::sin(angle)));
        }
        mix.resize(n);
        channels[side] = std::move(mix);
    }
    Sound sound = StereoSound(rate, channels[0], channels[1]);
    NormaliseRms(sound.samples, clap ? ClapRmsDb : RollRmsDb);
    Fade(sound.samples, 2, rate, StrikeFade, 1.5);
    return sound;
}

}  // namespace

SynthClip DayBackgroundClip(int index)
{
    return VorbisClip(MonoSound(AmbienceRate, DayBackground(index)), AmbienceQuality);
}

SynthClip NightBackgroundClip(int index)
{
    return VorbisClip(MonoSound(AmbienceRate, NightBackground(index)), AmbienceQuality);
}

SynthClip BrookClip(int index)
{
    const uint64_t seed = ClipSeed(BrookBank, index);
    return VorbisClip(index == 0 ? Brook(seed) : Waterfall(seed), NoiseQuality);
}

SynthClip FireClip(int index) { return VorbisClip(Fire(index), NoiseQuality); }

SynthClip WindGustClip(int index)
{
    Rng rng(ClipSeed(WindBank, index));
    const bool puff = index == WindGustCount - 1;
    const int rate = AmbienceRate;
    Signal gust = Gust(rate, puff ? PuffSeconds : rng.Range(3.0, 12.0), rng);
    NormaliseRms(gust, WindRmsDb);
    Fade(gust, 1, rate, StrikeFade, StrikeFade);
    SynthClip clip = VorbisClip(MonoSound(rate, std::move(gust)), AmbienceQuality);
    // A puff this short is smaller, and exactly as long, as plain PCM.
    if (puff)
        clip.encoding = ClipEncoding::Wav16;
    return clip;
}

SynthClip RainClip(int index) { return VorbisClip(Rain(index), NoiseQuality); }

SynthClip ThunderClip(int index) { return VorbisClip(Thunder(index), AmbienceQuality); }
