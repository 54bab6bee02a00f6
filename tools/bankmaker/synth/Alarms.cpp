#include "tools/bankmaker/synth/Alarms.h"

#include "tools/bankmaker/synth/Dsp.h"

#include <cmath>
#include <functional>
#include <utility>

namespace {

constexpr int VorbisRate = 44100;
constexpr int PcmRate = 22050;  // PCM clips stay small at half rate
constexpr float AlarmQuality = 0.1f;
constexpr double EdgeFade = 0.005;
constexpr double PeakCeilingDb = -1.0;

// Each group is louder than the one before.
constexpr double GroupRmsDb[3] = {-24.0, -20.0, -16.0};

const char* const AlarmBank = "ovac.3bs";

float F(double x) { return static_cast<float>(x); }

// Where the sound events of one clip land: mono, or panned across a stereo field.
class Canvas {
public:
    Canvas(int rate, int channels) : rate_(rate), channels_(channels) {}

    int Rate() const { return rate_; }

    void Add(const Signal& event, double atSeconds, double pan, double gain = 1.0)
    {
        const size_t at = Samples(rate_, atSeconds);
        if (channels_ == 1) {
            MixInto(samples_, event, at, gain);
        } else {
            MixPanned(samples_, event, at, pan, gain);
        }
    }

    Sound Take()
    {
        Sound sound;
        sound.rate = rate_;
        sound.channels = channels_;
        sound.samples = std::move(samples_);
        return sound;
    }

private:
    int rate_;
    int channels_;
    std::vector<float> samples_;
};

// A tone built from harmonics of a pitch that may move; harmonics above the
// band are left out, so square-ish beeps do not alias.
Signal Harmonic(int rate, double seconds, const std::function<double(double)>& pitchAt,
                const std::vector<double>& harmonics)
{
    const size_t n = Samples(rate, seconds);
    Signal out(n);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        const double freq = pitchAt(static_cast<double>(i) / rate);
        double s = 0;
        for (size_t k = 0; k < harmonics.size(); ++k) {
            if (freq * static_cast<double>(k + 1) < rate * 0.45)
                s += harmonics[k] * std::sin(phase * static_cast<double>(k + 1));
        }
        out[i] = F(s);
        phase += TwoPi * freq / rate;
    }
    Fade(out, 1, rate, 0.004, 0.008);
    return out;
}

Signal SteadyTone(int rate, double seconds, double freq, const std::vector<double>& harmonics)
{
    return Harmonic(
        rate, seconds, [freq](double) { return freq; }, harmonics);
}

const std::vector<double> SquareHarmonics = {1.0, 0.0, 0.33, 0.0, 0.2, 0.0, 0.14, 0.0, 0.11};
const std::vector<double> SoftHarmonics = {1.0, 0.2, 0.08};

// The bodies that are struck: tuned bars, music-box tines, small bells.
const std::vector<Partial> TineModes = {{1.0, 1.0, 1.1}, {5.9, 0.22, 0.12}, {15.3, 0.06, 0.04}};
const std::vector<Partial> MarimbaModes = {{1.0, 1.0, 0.45}, {3.93, 0.3, 0.12}, {9.2, 0.08, 0.04}};
const std::vector<Partial> BarModes = {{1.0, 1.0, 1.4}, {2.76, 0.45, 0.5}, {5.40, 0.2, 0.2}};
const std::vector<Partial> AlarmBellModes = {{1.0, 1.0, 0.5}, {2.32, 0.6, 0.3}, {4.25, 0.35, 0.15}, {6.63, 0.2, 0.08}};

Signal Strike(int rate, double freq, const std::vector<Partial>& modes, double seconds)
{
    return StruckPartials(rate, Samples(rate, seconds), freq, modes);
}

// --- Gentle --------------------------------------------------------------

void MusicBox(Canvas& c, Rng& rng)
{
    const double root = rng.Range(500.0, 800.0);
    const int notes = 6 + rng.Int(5);
    const double step = rng.Range(0.14, 0.22);
    for (int k = 0; k < notes; ++k) {
        const int degree = MajorPentatonic[(k * (1 + rng.Int(2))) % 8];
        c.Add(Strike(c.Rate(), Transpose(root, degree), TineModes, 1.6), k * step, (k % 2 ? 0.4 : -0.4),
              rng.Range(0.7, 1.0));
    }
}

void Marimba(Canvas& c, Rng& rng)
{
    const double root = rng.Range(260.0, 420.0);
    const int notes = 4 + rng.Int(3);
    const double step = rng.Range(0.18, 0.3);
    for (int k = 0; k < notes; ++k) {
        c.Add(Strike(c.Rate(), Transpose(root, MajorPentatonic[rng.Int(6)]), MarimbaModes, 1.2), k * step,
              rng.Range(-0.6, 0.6), rng.Range(0.7, 1.0));
    }
}

void WakeBirds(Canvas& c, Rng& rng)
{
    const double base = rng.Range(1500.0, 2500.0);
    const int calls = 2 + rng.Int(3);
    for (int k = 0; k < calls; ++k) {
        const double rise = rng.Range(1.2, 1.6);
        const double len = rng.Range(0.2, 0.35);
        const double vib = rng.Range(15.0, 30.0);
        Signal call = Harmonic(
            c.Rate(), len,
            [=](double t) { return base * (1.0 + (rise - 1.0) * t / len) * (1.0 + 0.02 * std::sin(TwoPi * vib * t)); },
            SoftHarmonics);
        c.Add(call, k * rng.Range(0.35, 0.5), rng.Range(-0.5, 0.5));
    }
}

void SoftBell(Canvas& c, Rng& rng)
{
    const double freq = rng.Range(500.0, 900.0);
    const int strikes = 2 + rng.Int(2);
    for (int k = 0; k < strikes; ++k) {
        c.Add(Strike(c.Rate(), freq * (k % 2 ? 0.84 : 1.0), BarModes, 2.0), k * rng.Range(0.5, 0.7),
              k % 2 ? 0.5 : -0.5);
    }
}

// --- Insistent -----------------------------------------------------------

void Beeps(Canvas& c, Rng& rng)
{
    const double freq = rng.Range(2000.0, 3000.0);
    const int perGroup = 2 + rng.Int(3);
    const double beep = rng.Range(0.08, 0.12), gap = rng.Range(0.06, 0.1);
    for (int g = 0; g < 2; ++g) {
        for (int b = 0; b < perGroup; ++b) {
            c.Add(SteadyTone(c.Rate(), beep, freq, SquareHarmonics),
                  g * (perGroup * (beep + gap) + 0.4) + b * (beep + gap), 0.0, 0.6);
        }
    }
}

void TwoTone(Canvas& c, Rng& rng)
{
    const double high = rng.Range(800.0, 1100.0);
    const double low = high * rng.Range(0.74, 0.8);
    const double len = rng.Range(0.16, 0.24);
    const int tones = 6 + rng.Int(3);
    for (int k = 0; k < tones; ++k) {
        c.Add(SteadyTone(c.Rate(), len, k % 2 ? low : high, {1.0, 0.0, 0.3, 0.0, 0.1}), k * len, k % 2 ? 0.3 : -0.3);
    }
}

void DingDong(Canvas& c, Rng& rng)
{
    const double high = rng.Range(650.0, 900.0);
    const int pairs = 2 + rng.Int(2);
    for (int p = 0; p < pairs; ++p) {
        const double at = p * 0.9;
        c.Add(Strike(c.Rate(), high, BarModes, 1.5), at, -0.4);
        c.Add(Strike(c.Rate(), high * 0.7937, BarModes, 1.5), at + 0.4, 0.4);  // a major third down
    }
}

void Cuckoo(Canvas& c, Rng& rng)
{
    const double high = rng.Range(650.0, 800.0);
    const int calls = 3 + rng.Int(2);
    for (int k = 0; k < calls; ++k) {
        const double at = k * 0.6;
        c.Add(SteadyTone(c.Rate(), 0.17, high, SoftHarmonics), at, 0.0);
        c.Add(SteadyTone(c.Rate(), 0.25, high * 0.8409, SoftHarmonics), at + 0.22, 0.0);  // a minor third
    }
}

// --- Loud ----------------------------------------------------------------

// A wind-up alarm clock: the hammer runs between two bells.
void TwinBell(Canvas& c, Rng& rng)
{
    const double freq = rng.Range(1700.0, 2500.0);
    const double hammerHz = rng.Range(15.0, 22.0);
    const double seconds = rng.Range(1.8, 2.6);
    const Signal bells[2] = {Strike(c.Rate(), freq, AlarmBellModes, 0.8),
                             Strike(c.Rate(), freq * 1.19, AlarmBellModes, 0.8)};
    for (int k = 0; k * (1.0 / hammerHz) < seconds; ++k) {
        const double at = k / hammerHz + rng.Range(0.0, 0.004);
        Signal rattle = WhiteNoise(Samples(c.Rate(), 0.004), rng);
        Biquad::BandPass(c.Rate(), 3500.0, 1.0).Run(rattle);
        c.Add(bells[k % 2], at, k % 2 ? 0.3 : -0.3, rng.Range(0.35, 0.5));
        c.Add(rattle, at, 0.0, 0.15);
    }
}

void Buzzer(Canvas& c, Rng& rng)
{
    const double freq = rng.Range(140.0, 240.0);
    const double on = rng.Range(0.3, 0.45), off = rng.Range(0.1, 0.18);
    const int bursts = 3 + rng.Int(2);
    std::vector<double> buzz(24, 0.0);
    for (size_t k = 0; k < buzz.size(); k += 2)
        buzz[k] = 1.0 / static_cast<double>(k + 1);
    for (int b = 0; b < bursts; ++b) {
        Signal burst = SteadyTone(c.Rate(), on, freq, buzz);
        Biquad::Peaking(c.Rate(), rng.Range(800.0, 1400.0), 2.0, 9.0).Run(burst);
        c.Add(burst, b * (on + off), 0.0);
    }
}

void FastBeeps(Canvas& c, Rng& rng)
{
    const double freq = rng.Range(3000.0, 3800.0);
    const double beep = 0.05, gap = 0.045;
    for (int g = 0; g < 3; ++g) {
        for (int b = 0; b < 4; ++b) {
            c.Add(SteadyTone(c.Rate(), beep, freq, SquareHarmonics), g * 0.55 + b * (beep + gap), g % 2 ? 0.5 : -0.5,
                  0.6);
        }
    }
}

void Whoop(Canvas& c, Rng& rng)
{
    const double from = rng.Range(500.0, 700.0), to = from * rng.Range(2.0, 2.6);
    const double len = rng.Range(0.45, 0.6);
    for (int k = 0; k < 3; ++k) {
        Signal whoop = Harmonic(c.Rate(), len, [=](double t) { return from * std::pow(to / from, t / len); },
                                {1.0, 0.0, 0.3, 0.0, 0.15});
        c.Add(whoop, k * (len + 0.1), 0.0);
    }
}

using AlarmKind = void (*)(Canvas&, Rng&);
constexpr AlarmKind GroupKinds[3][4] = {
    {MusicBox, Marimba, WakeBirds, SoftBell},
    {Beeps, TwoTone, DingDong, Cuckoo},
    {TwinBell, Buzzer, FastBeeps, Whoop},
};

struct Placement {
    int group, member;
};

Placement Locate(int index)
{
    int group = 0;
    while (index >= AlarmGroupCounts[group])
        index -= AlarmGroupCounts[group++];
    return {group, index};
}

// A mix of formats, as real alarm collections have: mostly Vorbis, some PCM,
// and now and then an 8-bit mono clip of an odd number of samples (only in the
// louder groups, where 8-bit noise stays under the sound).
ClipEncoding EncodingOf(int index)
{
    if (index >= AlarmGroupCounts[0] && index % 9 == 4)
        return ClipEncoding::Wav8;
    if (index % 5 == 2)
        return ClipEncoding::Wav16;
    return ClipEncoding::Vorbis;
}

}  // namespace

SynthClip AlarmClip(int index)
{
    const Placement where = Locate(index);
    Rng rng(ClipSeed(AlarmBank, index));
    SynthClip clip;
    clip.encoding = EncodingOf(index);
    clip.vorbisQuality = AlarmQuality;
    const bool pcm = clip.encoding != ClipEncoding::Vorbis;
    const int channels = clip.encoding == ClipEncoding::Wav8 || index % 3 != 1 ? 1 : 2;
    Canvas canvas(pcm ? PcmRate : VorbisRate, channels);
    GroupKinds[where.group][where.member % 4](canvas, rng);
    clip.sound = canvas.Take();
    std::vector<float>& s = clip.sound.samples;
    if (clip.encoding == ClipEncoding::Wav8 && s.size() % 2 == 0)
        s.push_back(0.0f);
    NormaliseRms(s, GroupRmsDb[where.group], PeakCeilingDb);
    Fade(s, channels, clip.sound.rate, EdgeFade, EdgeFade);
    return clip;
}
