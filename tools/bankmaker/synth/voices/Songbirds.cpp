#include "tools/bankmaker/synth/voices/Songbirds.h"

#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Harmonic colour of a bird's syrinx: mostly pure, a little richer for some.
std::array<double, 4> Timbre(Rng& rng, double richness)
{
    return {1.0, richness * rng.Range(0.05, 0.35), richness * rng.Range(0.0, 0.12), richness * rng.Range(0.0, 0.05)};
}

// A note's pitch path: a slur up or down, a chevron, or nearly level.
void Contour(Tone& tone, double f, Rng& rng)
{
    switch (rng.Int(4)) {
        case 0:
            tone.f0 = f * rng.Range(1.1, 1.4);
            tone.f1 = f * rng.Range(0.75, 0.9);
            break;
        case 1:
            tone.f0 = f * rng.Range(0.75, 0.9);
            tone.f1 = f * rng.Range(1.1, 1.35);
            break;
        case 2:
            tone.f0 = f * rng.Range(0.8, 0.95);
            tone.fMid = f * rng.Range(1.15, 1.4);
            tone.f1 = f * rng.Range(0.8, 0.95);
            break;
        default:
            tone.f0 = f;
            tone.f1 = f * rng.Range(0.95, 1.05);
            break;
    }
}

Tone Note(double start, double length, double f, Rng& rng, const std::array<double, 4>& timbre)
{
    Tone tone;
    tone.start = start;
    tone.length = length;
    Contour(tone, f, rng);
    tone.partials = timbre;
    tone.attack = std::min(0.012, length * 0.25);
    tone.release = std::min(0.02, length * 0.35);
    tone.gain = rng.Range(0.7, 1.0);
    return tone;
}

Signal Finch(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 0.8);
    double t = LeadIn(rng);
    const int songs = 1 + rng.Int(2);
    for (int s = 0; s < songs; ++s) {
        double base = rng.Range(4500.0, 6500.0);
        const double step1 = 1.0 / rng.Range(9.0, 13.0);
        const int n1 = 5 + rng.Int(6);
        for (int i = 0; i < n1; ++i, t += step1 * (1.0 - 0.02 * i), base *= 0.975) {
            Tone tone = Note(t, step1 * 0.6, base, rng, timbre);
            tone.f0 = base * 1.08;
            tone.f1 = base * 0.72;
            tone.gain = 0.6 + 0.04 * i;
            AddTone(out, rate, tone);
        }
        base *= rng.Range(0.6, 0.72);
        const double step2 = 1.0 / rng.Range(6.0, 8.0);
        const int n2 = 3 + rng.Int(4);
        for (int i = 0; i < n2; ++i, t += step2) {
            Tone tone = Note(t, step2 * 0.65, base, rng, timbre);
            tone.f0 = base * 0.9;
            tone.fMid = base * 1.3;
            tone.f1 = base * 0.85;
            AddTone(out, rate, tone);
        }
        Tone flourish = Note(t, rng.Range(0.15, 0.25), base, rng, timbre);
        flourish.f0 = base * 0.8;
        flourish.fMid = base * 1.6;
        flourish.f1 = base * 0.6;
        AddTone(out, rate, flourish);
        t += 0.3 + rng.Range(1.0, 2.0);
    }
    return out;
}

Signal Blackbird(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 1.0);
    double t = LeadIn(rng);
    const int phrases = 1 + rng.Int(2);
    for (int p = 0; p < phrases; ++p) {
        const int notes = 4 + rng.Int(4);
        for (int i = 0; i < notes; ++i) {
            Tone tone = Note(t, rng.Range(0.08, 0.25), rng.Range(1500.0, 3000.0), rng, timbre);
            tone.vibratoHz = rng.Range(20.0, 40.0);
            tone.vibratoDepth = rng.Range(0.0, 0.012);
            tone.attack = 0.02;
            AddTone(out, rate, tone);
            t += tone.length + rng.Range(0.03, 0.1);
        }
        const int squeaks = 3 + rng.Int(4);
        for (int i = 0; i < squeaks; ++i, t += 0.045) {
            Tone tone = Note(t, 0.03, rng.Range(5000.0, 8000.0), rng, timbre);
            tone.gain *= 0.35;
            AddTone(out, rate, tone);
        }
        t += rng.Range(0.8, 1.6);
    }
    return out;
}

Signal Thrush(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int motifs = 2 + rng.Int(2);
    for (int m = 0; m < motifs; ++m) {
        const auto timbre = Timbre(rng, 0.9);
        std::vector<Tone> motif;
        double at = 0.0;
        const int notes = 2 + rng.Int(3);
        for (int i = 0; i < notes; ++i) {
            motif.push_back(Note(at, rng.Range(0.04, 0.15), rng.Range(2000.0, 5500.0), rng, timbre));
            at += motif.back().length + rng.Range(0.02, 0.06);
        }
        const int repeats = 2 + rng.Int(2);
        for (int r = 0; r < repeats; ++r) {
            for (Tone tone : motif) {
                tone.start += t;
                AddTone(out, rate, tone);
            }
            t += at + rng.Range(0.08, 0.15);
        }
        t += rng.Range(0.3, 0.6);
    }
    return out;
}

Signal Cascade(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 0.5);
    double t = LeadIn(rng);
    const int notes = 10 + rng.Int(7);
    const double high = rng.Range(5000.0, 6000.0);
    const double low = rng.Range(3000.0, 3500.0);
    for (int i = 0; i < notes; ++i) {
        const double u = static_cast<double>(i) / (notes - 1);
        Tone tone = Note(t, rng.Range(0.07, 0.09), high + (low - high) * u, rng, timbre);
        tone.f1 = tone.f0 * 0.88;
        tone.fMid = 0.0;
        tone.gain = 0.55 + 0.45 * std::sin(Pi * (0.2 + 0.7 * u));
        AddTone(out, rate, tone);
        t += tone.length + rng.Range(0.02, 0.04) * (1.0 - 0.3 * u);
    }
    return out;
}

Signal TwoNote(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 0.7);
    const double high = rng.Range(5000.0, 6500.0);
    const double low = high * rng.Range(0.6, 0.75);
    const double spacing = rng.Range(0.28, 0.35);
    const int pairs = 4 + rng.Int(5);
    double t = LeadIn(rng);
    for (int i = 0; i < pairs; ++i, t += spacing) {
        Tone a = Note(t, rng.Range(0.08, 0.1), high, rng, timbre);
        a.f0 = high * 1.04;
        a.fMid = 0.0;
        a.f1 = high * 0.96;
        Tone b = Note(t + a.length + 0.03, rng.Range(0.1, 0.12), low, rng, timbre);
        b.f0 = low;
        b.fMid = 0.0;
        b.f1 = low * 0.97;
        AddTone(out, rate, a);
        AddTone(out, rate, b);
    }
    return out;
}

Signal Chatter(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 2.5);
    double t = LeadIn(rng);
    const int groups = 2 + rng.Int(3);
    for (int g = 0; g < groups; ++g) {
        const double step = 1.0 / rng.Range(14.0, 25.0);
        const double centre = rng.Range(3000.0, 6000.0);
        const int syllables = 8 + rng.Int(13);
        for (int i = 0; i < syllables; ++i, t += step) {
            AddTone(out, rate, Note(t, step * rng.Range(0.5, 0.8), centre * rng.Range(0.75, 1.25), rng, timbre));
        }
        t += rng.Range(0.1, 0.4);
    }
    return out;
}

Signal Buzzer(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 1.5);
    double t = LeadIn(rng);
    const int twitters = 4 + rng.Int(5);
    for (int i = 0; i < twitters; ++i, t += 0.1) {
        AddTone(out, rate, Note(t, 0.04, rng.Range(3500.0, 5500.0), rng, timbre));
    }
    const int buzzes = 1 + rng.Int(2);
    for (int i = 0; i < buzzes; ++i) {
        Tone buzz;
        buzz.start = t + 0.1;
        buzz.length = rng.Range(0.6, 1.2);
        buzz.f0 = rng.Range(2800.0, 3400.0);
        buzz.f1 = buzz.f0 * rng.Range(1.15, 1.35);
        buzz.flutterHz = rng.Range(40.0, 70.0);
        buzz.flutterDepth = 0.8;
        buzz.vibratoHz = buzz.flutterHz;
        buzz.vibratoDepth = 0.03;
        buzz.attack = 0.08;
        buzz.release = 0.1;
        buzz.partials = timbre;
        AddTone(out, rate, buzz);
        t = buzz.start + buzz.length + rng.Range(0.5, 1.0);
    }
    return out;
}

Signal Calls(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 1.0);
    const bool thin = rng.Chance(0.5);
    const double f = thin ? rng.Range(6000.0, 8000.0) : rng.Range(3000.0, 4500.0);
    double t = LeadIn(rng);
    const int calls = 3 + rng.Int(8);
    for (int i = 0; i < calls; ++i) {
        const double length = thin ? rng.Range(0.04, 0.07) : rng.Range(0.06, 0.1);
        Tone tone = Note(t, length, f * rng.Range(0.95, 1.05), rng, timbre);
        if (thin) {
            tone.f0 = tone.f1 * 0.8;
            tone.fMid = 0.0;
        }
        AddTone(out, rate, tone);
        t += rng.Range(0.25, 0.8);
    }
    return out;
}

Signal Warble(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 0.8);
    double t = LeadIn(rng);
    const int runs = 2 + rng.Int(2);
    for (int r = 0; r < runs; ++r) {
        const int notes = 4 + rng.Int(4);
        for (int i = 0; i < notes; ++i) {
            Tone tone = Note(t, rng.Range(0.05, 0.2), rng.Range(3000.0, 8000.0), rng, timbre);
            tone.vibratoHz = rng.Range(40.0, 90.0);
            tone.vibratoDepth = rng.Range(0.02, 0.06);
            tone.gain *= rng.Range(0.5, 1.0);
            AddTone(out, rate, tone);
            t += tone.length + rng.Range(0.02, 0.06);
        }
        t += rng.Range(0.3, 0.6);
    }
    return out;
}

Signal Coo(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(380.0, 520.0);
    const double lengths[] = {0.25, 0.45, 0.25, 0.3, 0.3};
    const double gains[] = {0.7, 1.0, 0.75, 0.8, 0.7};
    double t = LeadIn(rng);
    const int bouts = 1 + rng.Int(2);
    for (int b = 0; b < bouts; ++b) {
        for (int i = 0; i < 5; ++i) {
            Tone tone;
            tone.start = t;
            tone.length = lengths[i] * rng.Range(0.9, 1.1);
            tone.f0 = f * (i == 1 ? 1.08 : 1.0);
            tone.f1 = tone.f0 * 0.93;
            tone.partials = {1.0, 0.35, 0.12, 0.04};
            tone.attack = 0.05;
            tone.release = 0.08;
            tone.gain = gains[i];
            AddTone(out, rate, tone);
            t += tone.length + (i == 2 ? 0.25 : 0.08);
        }
        t += rng.Range(0.5, 0.8);
    }
    return out;
}

Signal Oriole(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 0.6);
    double t = LeadIn(rng);
    const int phrases = 2 + rng.Int(2);
    std::vector<double> pitches;
    const int notes = 3 + rng.Int(2);
    for (int i = 0; i < notes; ++i)
        pitches.push_back(rng.Range(1200.0, 2500.0));
    for (int p = 0; p < phrases; ++p) {
        for (double f : pitches) {
            Tone tone;
            tone.start = t;
            tone.length = rng.Range(0.12, 0.25);
            tone.f0 = f * rng.Range(0.8, 1.0);
            tone.fMid = f * rng.Range(1.1, 1.35);
            tone.f1 = f * rng.Range(0.7, 1.0);
            tone.vibratoHz = 8.0;
            tone.vibratoDepth = 0.01;
            tone.attack = 0.02;
            tone.release = 0.04;
            tone.partials = timbre;
            AddTone(out, rate, tone);
            t += tone.length + 0.02;
        }
        t += rng.Range(0.8, 1.5);
    }
    return out;
}

Signal Bunting(int rate, Rng& rng)
{
    Signal out;
    const auto timbre = Timbre(rng, 1.0);
    const double f = rng.Range(5000.0, 6500.0);
    const double step = 1.0 / rng.Range(7.0, 9.0);
    double t = LeadIn(rng);
    const int notes = 6 + rng.Int(5);
    for (int i = 0; i < notes; ++i, t += step) {
        Tone tone = Note(t, 0.05, f, rng, timbre);
        tone.f0 = f * 1.05;
        tone.fMid = 0.0;
        tone.f1 = f * 0.85;
        tone.gain = 0.75;
        AddTone(out, rate, tone);
    }
    const int finals = 1 + rng.Int(2);
    for (int i = 0; i < finals; ++i) {
        Tone last;
        last.start = t;
        last.length = rng.Range(0.3, 0.5);
        last.f0 = f * (i == 0 ? 0.8 : 0.65);
        last.f1 = last.f0 * 0.95;
        last.partials = timbre;
        last.attack = 0.03;
        last.release = 0.08;
        AddTone(out, rate, last);
        t += last.length + 0.03;
    }
    return out;
}

using SongMaker = Signal (*)(int, Rng&);

// In the order of the Song enumeration.
constexpr SongMaker kSongMakers[] = {Finch,  Blackbird, Thrush, Cascade, TwoNote, Chatter,
                                     Buzzer, Calls,     Warble, Coo,     Oriole,  Bunting};
static_assert(std::size(kSongMakers) == static_cast<size_t>(Song::Count));

}  // namespace

Signal Sing(Song song, int rate, Rng& rng) { return kSongMakers[static_cast<size_t>(song)](rate, rng); }

Sound DistantChorus(int rate, double seconds, Rng& rng)
{
    std::vector<float> stereo(2 * Samples(rate, seconds), 0.0f);
    const int singers = 3 + rng.Int(3);
    for (int i = 0; i < singers; ++i) {
        Signal song = Sing(static_cast<Song>(rng.Int(static_cast<int>(Song::Count))), rate, rng);
        // Distance takes the highs away first.
        Biquad::LowPass(rate, rng.Range(3000.0, 7000.0)).Run(song);
        const size_t at = Samples(rate, rng.Range(0.0, seconds * 0.5));
        const size_t room = stereo.size() / 2 - std::min(stereo.size() / 2, at);
        song.resize(std::min(song.size(), room));
        Fade(song, 1, rate, 0.0, 0.05);
        MixPanned(stereo, song, at, rng.Range(-0.9, 0.9), rng.Range(0.3, 1.0));
    }
    Sound out;
    out.rate = rate;
    out.channels = 2;
    out.samples = std::move(stereo);
    return out;
}
