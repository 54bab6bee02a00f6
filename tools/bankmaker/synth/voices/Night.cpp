#include "tools/bankmaker/synth/voices/Night.h"

#include "tools/bankmaker/synth/voices/Songbirds.h"
#include "tools/bankmaker/synth/voices/VoiceKit.h"
#include "tools/bankmaker/synth/voices/Woodland.h"

#include <algorithm>
#include <cmath>

namespace {

// Night air carries far; a soft forest echo follows every call.
Signal InTheWoods(Signal signal, int rate, double wet)
{
    AddRoom(signal, rate, wet, 0.7, 0.8);
    return signal;
}

// --- Owls ----------------------------------------------------------------

// A hollow hoot: a nearly pure tone with a breath of air around its pitch.
void Hoot(Signal& out, int rate, double at, double length, double f0, double fMid, double f1, double quaverHz, Rng& rng)
{
    Tone tone;
    tone.start = at;
    tone.length = length;
    tone.f0 = f0;
    tone.fMid = fMid;
    tone.f1 = f1;
    tone.partials = {1.0, 0.18, 0.05, 0.0};
    tone.attack = std::min(0.07, length * 0.3);
    tone.release = std::min(0.15, length * 0.4);
    tone.flutterHz = quaverHz;
    tone.flutterDepth = quaverHz > 0.0 ? 0.55 : 0.0;
    AddTone(out, rate, tone);
    Signal breath = WhiteNoise(Samples(rate, length), rng);
    Biquad::BandPass(rate, f0, 6.0).Run(breath);
    Fade(breath, 1, rate, tone.attack, tone.release);
    MixInto(out, breath, Samples(rate, at), 0.25);
}

Signal TawnyHoot(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(430.0, 500.0);
    double t = LeadIn(rng);
    Hoot(out, rate, t, rng.Range(0.6, 0.9), f * 0.97, f * 1.03, f * 0.92, 0.0, rng);
    t += rng.Range(2.0, 3.0);
    Hoot(out, rate, t, 0.15, f, 0.0, f * 0.95, 0.0, rng);
    t += 0.45;
    Hoot(out, rate, t, rng.Range(1.2, 1.6), f * 0.95, f * 1.05, f * 0.9, rng.Range(9.0, 12.0), rng);
    return InTheWoods(out, rate, 0.4);
}

Signal Kewick(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int calls = 1 + rng.Int(3);
    for (int i = 0; i < calls; ++i) {
        VoiceShape ke;
        ke.length = 0.08;
        ke.f0 = ke.f1 = rng.Range(1200.0, 1400.0);
        ke.noise = 0.3;
        ke.attack = 0.01;
        ke.release = 0.03;
        ke.formants = {{1500, 3, 0}, {2800, 4, -6}};
        VoiceShape wick = ke;
        wick.length = rng.Range(0.22, 0.3);
        wick.f0 = ke.f0 * 0.95;
        wick.fMid = ke.f0 * 1.3;
        wick.f1 = ke.f0;
        wick.noise = 0.35;
        wick.release = 0.08;
        MixInto(out, Voice(rate, ke, rng), Samples(rate, t));
        MixInto(out, Voice(rate, wick, rng), Samples(rate, t + 0.15));
        t += rng.Range(1.5, 3.0);
    }
    return InTheWoods(out, rate, 0.4);
}

// Hoots repeated at a steady pace, from low to high voices.
Signal SteadyHoots(int rate, Rng& rng, double fLo, double fHi, double length, double gapLo, double gapHi)
{
    Signal out;
    const double f = rng.Range(fLo, fHi);
    double t = LeadIn(rng);
    const int hoots = 2 + rng.Int(3);
    for (int i = 0; i < hoots; ++i) {
        Hoot(out, rate, t, length * rng.Range(0.9, 1.1), f, f * 1.04, f * 0.94, 0.0, rng);
        t += rng.Range(gapLo, gapHi);
    }
    return InTheWoods(out, rate, 0.4);
}

Signal LongEared(int rate, Rng& rng) { return SteadyHoots(rate, rng, 300.0, 380.0, 0.35, 2.0, 3.0); }

Signal Scops(int rate, Rng& rng) { return SteadyHoots(rate, rng, 1100.0, 1300.0, 0.18, 1.8, 2.6); }

Signal EagleOwl(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(180.0, 230.0);
    double t = LeadIn(rng);
    const int calls = 1 + rng.Int(2);
    for (int i = 0; i < calls; ++i) {
        Hoot(out, rate, t, 0.35, f * 0.9, f * 1.1, f, 0.0, rng);
        Hoot(out, rate, t + 0.5, 0.25, f * 0.95, 0.0, f * 0.85, 0.0, rng);
        t += rng.Range(3.0, 4.5);
    }
    return InTheWoods(out, rate, 0.45);
}

Signal LittleOwl(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const double f = rng.Range(1150.0, 1300.0);
    const int calls = 2 + rng.Int(3);
    for (int i = 0; i < calls; ++i) {
        Tone kiew;
        kiew.start = t;
        kiew.length = rng.Range(0.35, 0.5);
        kiew.f0 = f;
        kiew.fMid = f * rng.Range(1.45, 1.65);
        kiew.f1 = f * 1.05;
        kiew.vibratoHz = 30.0;
        kiew.vibratoDepth = 0.01;
        kiew.partials = {1.0, 0.3, 0.15, 0.05};
        kiew.attack = 0.03;
        kiew.release = 0.1;
        AddTone(out, rate, kiew);
        t += rng.Range(1.2, 2.5);
    }
    return InTheWoods(out, rate, 0.35);
}

Signal BarnOwl(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int screeches = 1 + rng.Int(2);
    for (int i = 0; i < screeches; ++i) {
        VoiceShape shape;
        shape.length = rng.Range(1.0, 1.8);
        shape.f0 = rng.Range(1300.0, 1700.0);
        shape.f1 = shape.f0 * 0.9;
        shape.noise = 0.85;
        shape.jitter = 0.05;
        shape.attack = 0.1;
        shape.release = 0.4;
        shape.formants = {{3000, 1.5, 0}, {5000, 2, -4}};
        MixInto(out, Voice(rate, shape, rng), Samples(rate, t));
        t += shape.length + rng.Range(1.0, 2.0);
    }
    return InTheWoods(out, rate, 0.35);
}

// --- Nightingales ---------------------------------------------------------

// Each adds one kind of passage from `t` and gives back where it ends.
double Jugs(Signal& out, int rate, double t, Rng& rng)
{
    const int notes = 4 + rng.Int(7);
    const double step = 1.0 / rng.Range(10.0, 15.0);
    const double f = rng.Range(1200.0, 2000.0);
    for (int i = 0; i < notes; ++i, t += step) {
        Tone tone;
        tone.start = t;
        tone.length = 0.03;
        tone.f0 = f * 1.2;
        tone.f1 = f * 0.85;
        tone.partials = {1.0, 0.6, 0.4, 0.3};
        tone.attack = 0.003;
        tone.release = 0.01;
        AddTone(out, rate, tone);
    }
    return t;
}

double Pius(Signal& out, int rate, double t, Rng& rng)
{
    const int notes = 3 + rng.Int(4);
    const double f = rng.Range(2500.0, 4000.0);
    const double length = rng.Range(0.2, 0.35);
    for (int i = 0; i < notes; ++i) {
        Tone tone;
        tone.start = t;
        tone.length = length;
        tone.f0 = f * 1.03;
        tone.f1 = f * 0.94;
        tone.partials = {1.0, 0.05, 0.0, 0.0};
        tone.attack = length * 0.6;
        tone.release = 0.04;
        tone.gain = 0.3 + 0.7 * i / (notes - 1);  // the famous swelling
        AddTone(out, rate, tone);
        t += length + 0.1;
    }
    return t;
}

double FastTrill(Signal& out, int rate, double t, Rng& rng)
{
    const double step = 1.0 / rng.Range(20.0, 30.0);
    const double f = rng.Range(3000.0, 6000.0);
    const int notes = static_cast<int>(rng.Range(0.5, 1.2) / step);
    for (int i = 0; i < notes; ++i, t += step) {
        Tone tone;
        tone.start = t;
        tone.length = step * 0.7;
        tone.f0 = f * 0.8;
        tone.fMid = f * 1.2;
        tone.f1 = f * 0.85;
        tone.partials = {1.0, 0.2, 0.05, 0.0};
        tone.attack = 0.003;
        tone.release = 0.008;
        AddTone(out, rate, tone);
    }
    return t;
}

double Rattle(Signal& out, int rate, double t, Rng& rng)
{
    Tone tone;
    tone.start = t;
    tone.length = rng.Range(0.4, 0.8);
    tone.f0 = rng.Range(2000.0, 3000.0);
    tone.f1 = tone.f0 * rng.Range(0.9, 1.1);
    tone.flutterHz = rng.Range(50.0, 80.0);
    tone.flutterDepth = 0.9;
    tone.partials = {1.0, 0.5, 0.3, 0.2};
    tone.attack = 0.02;
    tone.release = 0.05;
    AddTone(out, rate, tone);
    return t + tone.length;
}

double HighNotes(Signal& out, int rate, double t, Rng& rng)
{
    const int notes = 2 + rng.Int(3);
    for (int i = 0; i < notes; ++i) {
        Tone tone;
        tone.start = t;
        tone.length = rng.Range(0.08, 0.12);
        const double f = rng.Range(6000.0, 8000.0);
        tone.f0 = f * 0.85;
        tone.fMid = f;
        tone.f1 = f * 0.8;
        tone.partials = {1.0, 0.05, 0.0, 0.0};
        tone.gain = 0.7;
        AddTone(out, rate, tone);
        t += tone.length + 0.05;
    }
    return t;
}

using Passage = double (*)(Signal&, int, double, Rng&);
constexpr Passage kPassages[] = {Jugs, Pius, FastTrill, Rattle, HighNotes};

Signal NightingaleSong(int rate, Rng& rng)
{
    Signal out;
    const double seconds = rng.Range(2.0, 6.0);
    double t = LeadIn(rng);
    while (t < seconds) {
        const int passages = 2 + rng.Int(3);
        for (int p = 0; p < passages; ++p) {
            t = kPassages[rng.Int(static_cast<int>(std::size(kPassages)))](out, rate, t, rng);
            t += rng.Range(0.05, 0.2);
        }
        t += rng.Range(0.5, 1.0);
    }
    return InTheWoods(out, rate, 0.25);
}

// --- Other night callers ---------------------------------------------------

Signal Nightjar(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const double base = rng.Range(900.0, 1300.0);
    const int spells = 3 + rng.Int(4);
    for (int i = 0; i < spells; ++i) {
        Tone churr;
        churr.start = t;
        churr.length = rng.Range(0.5, 1.0);
        churr.f0 = churr.f1 = base * (i % 2 == 0 ? 1.0 : rng.Range(0.8, 0.9));
        churr.flutterHz = rng.Range(25.0, 40.0);
        churr.flutterDepth = 0.9;
        churr.partials = {1.0, 0.3, 0.1, 0.05};
        churr.attack = 0.02;
        churr.release = 0.02;
        AddTone(out, rate, churr);
        t += churr.length - 0.02;
    }
    return InTheWoods(out, rate, 0.3);
}

Signal Corncrake(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int pairs = 4 + rng.Int(5);
    const double f = rng.Range(1800.0, 2400.0);
    for (int i = 0; i < pairs; ++i) {
        for (int half = 0; half < 2; ++half) {
            VoiceShape crex;
            crex.length = rng.Range(0.1, 0.14);
            crex.f0 = crex.f1 = f;
            crex.noise = 0.7;
            crex.pulseHz = rng.Range(55.0, 70.0);
            crex.pulseDepth = 0.9;
            crex.attack = 0.01;
            crex.release = 0.02;
            crex.formants = {{2500, 2, 0}, {4000, 3, -5}};
            MixInto(out, Voice(rate, crex, rng), Samples(rate, t + half * 0.18));
        }
        t += rng.Range(0.45, 0.55);
    }
    return InTheWoods(out, rate, 0.3);
}

Signal Quail(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const double f = rng.Range(2500.0, 3200.0);
    const int calls = 3 + rng.Int(3);
    for (int i = 0; i < calls; ++i) {
        const double offsets[] = {0.0, 0.22, 0.34};
        for (double o : offsets) {
            Tone tone;
            tone.start = t + o;
            tone.length = o == 0.0 ? 0.08 : 0.06;
            tone.f0 = f * 0.8;
            tone.fMid = f * 1.1;
            tone.f1 = f * 0.9;
            tone.partials = {1.0, 0.5, 0.25, 0.1};
            tone.attack = 0.004;
            tone.release = 0.02;
            AddTone(out, rate, tone);
        }
        t += rng.Range(0.7, 0.9);
    }
    return InTheWoods(out, rate, 0.3);
}

Signal DistantTawny(int rate, Rng& rng)
{
    Signal out = TawnyHoot(rate, rng);
    Biquad::LowPass(rate, 1500.0).Run(out);
    return out;
}

Signal Moorhen(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int calls = 1 + rng.Int(3);
    for (int i = 0; i < calls; ++i) {
        VoiceShape kurruk;
        kurruk.length = rng.Range(0.18, 0.25);
        kurruk.f0 = rng.Range(800.0, 1200.0);
        kurruk.fMid = kurruk.f0 * 1.15;
        kurruk.f1 = kurruk.f0 * 0.9;
        kurruk.noise = 0.3;
        kurruk.jitter = 0.04;
        kurruk.pulseHz = 18.0;
        kurruk.pulseDepth = 0.4;
        kurruk.formants = {{1400, 3, 0}, {2600, 4, -4}};
        MixInto(out, Voice(rate, kurruk, rng), Samples(rate, t));
        t += rng.Range(0.8, 2.0);
    }
    return InTheWoods(out, rate, 0.35);
}

Signal Woodcock(int rate, Rng& rng)
{
    Signal out;
    double t = LeadIn(rng);
    const int grunts = 3 + rng.Int(2);
    for (int i = 0; i < grunts; ++i, t += 0.28) {
        VoiceShape orrt;
        orrt.length = 0.18;
        orrt.f0 = orrt.f1 = rng.Range(220.0, 280.0);
        orrt.noise = 0.4;
        orrt.pulseHz = 30.0;
        orrt.pulseDepth = 0.6;
        orrt.formants = {{600, 2, 0}, {1200, 3, -6}};
        MixInto(out, Voice(rate, orrt, rng), Samples(rate, t));
    }
    Tone tsiwick;
    tsiwick.start = t + 0.1;
    tsiwick.length = 0.15;
    tsiwick.f0 = rng.Range(4500.0, 5500.0);
    tsiwick.fMid = tsiwick.f0 * 1.4;
    tsiwick.f1 = tsiwick.f0 * 1.1;
    tsiwick.partials = {1.0, 0.2, 0.05, 0.0};
    tsiwick.gain = 0.6;
    AddTone(out, rate, tsiwick);
    return InTheWoods(out, rate, 0.3);
}

Signal DuskThrush(int rate, Rng& rng)
{
    Signal out = Sing(Song::Thrush, rate, rng);
    Biquad::LowPass(rate, 4000.0).Run(out);
    return InTheWoods(out, rate, 0.45);
}

Signal TreeCricket(int rate, Rng& rng) { return CricketTrill(rate, rng.Range(2.5, 5.0), rng); }

// --- Beasts ----------------------------------------------------------------

// Far off in the dark: highs lost, a long echo.
Signal FarOff(Signal signal, int rate, double cutoff)
{
    Biquad::LowPass(rate, cutoff).Run(signal);
    return InTheWoods(std::move(signal), rate, 0.5);
}

Signal Wolf(int rate, Rng& rng)
{
    VoiceShape howl;
    howl.length = rng.Range(2.5, 4.0);
    howl.f0 = rng.Range(280.0, 350.0);
    howl.fMid = rng.Range(550.0, 700.0);
    howl.f1 = rng.Range(380.0, 450.0);
    howl.vibratoHz = 5.0;
    howl.vibratoDepth = 0.01;
    howl.jitter = 0.01;
    howl.noise = 0.08;
    howl.attack = 0.3;
    howl.release = 0.8;
    howl.formants = {{700, 2, 0}, {1300, 3, -6}, {2600, 4, -14}};
    Signal out = Voice(rate, howl, rng);
    if (rng.Chance(0.5)) {
        VoiceShape second = howl;
        second.f0 *= 1.12;
        second.fMid *= 1.1;
        second.f1 *= 1.15;
        second.length *= 0.8;
        MixInto(out, Voice(rate, second, rng), Samples(rate, rng.Range(0.8, 1.6)), 0.6);
    }
    return FarOff(std::move(out), rate, 3000.0);
}

Signal FoxBark(int rate, Rng& rng)
{
    VoiceShape bark;
    bark.length = 0.16;
    bark.f0 = rng.Range(600.0, 900.0);
    bark.fMid = bark.f0 * 1.2;
    bark.f1 = bark.f0 * 0.8;
    bark.noise = 0.4;
    bark.jitter = 0.05;
    bark.attack = 0.01;
    bark.release = 0.06;
    bark.formants = {{1200, 3, 0}, {2500, 4, -4}};
    return FarOff(RepeatedCalls(rate, bark, 3 + rng.Int(3), 0.3, 0.7, rng), rate, 4000.0);
}

Signal FoxScream(int rate, Rng& rng)
{
    VoiceShape scream;
    scream.length = rng.Range(0.8, 1.3);
    scream.f0 = rng.Range(900.0, 1300.0);
    scream.fMid = scream.f0 * 1.25;
    scream.f1 = scream.f0 * 0.85;
    scream.noise = 0.55;
    scream.jitter = 0.08;
    scream.attack = 0.05;
    scream.release = 0.3;
    scream.formants = {{1800, 2, 0}, {3200, 3, -3}};
    return FarOff(RepeatedCalls(rate, scream, 1 + rng.Int(2), 1.0, 2.0, rng), rate, 4000.0);
}

Signal DeerRoar(int rate, Rng& rng)
{
    VoiceShape roar;
    roar.length = rng.Range(0.8, 1.6);
    roar.f0 = rng.Range(90.0, 140.0);
    roar.fMid = roar.f0 * 1.1;
    roar.f1 = roar.f0 * 0.8;
    roar.noise = 0.45;
    roar.jitter = 0.05;
    roar.pulseHz = rng.Range(6.0, 10.0);
    roar.pulseDepth = 0.3;
    roar.attack = 0.1;
    roar.release = 0.4;
    roar.formants = {{400, 2, 0}, {900, 3, -3}, {1800, 4, -8}};
    return FarOff(RepeatedCalls(rate, roar, 2 + rng.Int(3), 1.0, 1.8, rng), rate, 2500.0);
}

Signal BoarGrunts(int rate, Rng& rng)
{
    VoiceShape grunt;
    grunt.length = 0.2;
    grunt.f0 = rng.Range(70.0, 110.0);
    grunt.f1 = grunt.f0 * 0.85;
    grunt.noise = 0.7;
    grunt.jitter = 0.08;
    grunt.attack = 0.02;
    grunt.release = 0.08;
    grunt.formants = {{300, 2, 0}, {700, 3, -4}};
    return FarOff(RepeatedCalls(rate, grunt, 4 + rng.Int(7), 0.1, 0.5, rng), rate, 2000.0);
}

Signal RoeBark(int rate, Rng& rng)
{
    VoiceShape bark;
    bark.length = 0.25;
    bark.f0 = rng.Range(250.0, 350.0);
    bark.f1 = bark.f0 * 0.85;
    bark.noise = 0.6;
    bark.jitter = 0.04;
    bark.attack = 0.015;
    bark.release = 0.1;
    bark.formants = {{700, 2.5, 0}, {1500, 3, -5}};
    return FarOff(RepeatedCalls(rate, bark, 2 + rng.Int(3), 1.3, 2.7, rng), rate, 3000.0);
}

Signal VillageDog(int rate, Rng& rng)
{
    VoiceShape bark;
    bark.length = 0.15;
    bark.f0 = rng.Range(400.0, 600.0);
    bark.fMid = bark.f0 * 1.15;
    bark.f1 = bark.f0 * 0.85;
    bark.noise = 0.3;
    bark.jitter = 0.04;
    bark.attack = 0.01;
    bark.release = 0.06;
    bark.formants = {{900, 3, 0}, {1800, 4, -3}};
    return FarOff(RepeatedCalls(rate, bark, 3 + rng.Int(5), 0.2, 0.6, rng), rate, 1500.0);
}

// --- Frogs -----------------------------------------------------------------

Signal CommonFrog(int rate, Rng& rng)
{
    VoiceShape croak;
    croak.length = rng.Range(0.3, 0.7);
    croak.f0 = rng.Range(250.0, 400.0);
    croak.f1 = croak.f0 * 0.95;
    croak.pulseHz = rng.Range(25.0, 40.0);
    croak.pulseDepth = 0.9;
    croak.noise = 0.2;
    croak.formants = {{800, 3, 0}, {1600, 4, -6}};
    return RepeatedCalls(rate, croak, 3 + rng.Int(4), 0.3, 1.0, rng);
}

Signal MarshFrog(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(500.0, 800.0);
    const double step = 1.0 / rng.Range(7.0, 11.0);
    double t = LeadIn(rng);
    const int series = 1 + rng.Int(2);
    for (int s = 0; s < series; ++s) {
        const int notes = 5 + rng.Int(6);
        for (int i = 0; i < notes; ++i, t += step) {
            VoiceShape brek;
            brek.length = step * rng.Range(0.55, 0.75);
            brek.f0 = f * 1.05;
            brek.f1 = f * 0.95;
            brek.pulseHz = rng.Range(80.0, 120.0);
            brek.pulseDepth = 0.8;
            brek.noise = 0.15;
            brek.attack = 0.01;
            brek.release = 0.02;
            brek.formants = {{1300, 3, 0}, {2400, 4, -4}};
            MixInto(out, Voice(rate, brek, rng), Samples(rate, t));
        }
        t += rng.Range(0.8, 1.5);
    }
    return out;
}

Signal Toad(int rate, Rng& rng)
{
    VoiceShape trill;
    trill.length = rng.Range(2.0, 4.0);
    trill.f0 = rng.Range(1100.0, 1600.0);
    trill.f1 = trill.f0 * 0.97;
    trill.pulseHz = rng.Range(15.0, 25.0);
    trill.pulseDepth = 1.0;
    trill.noise = 0.05;
    trill.attack = 0.2;
    trill.release = 0.3;
    trill.formants = {{trill.f0, 5, 0}, {trill.f0 * 2, 5, -10}};
    Signal out;
    MixInto(out, Voice(rate, trill, rng), Samples(rate, LeadIn(rng)));
    return out;
}

Signal TreeFrog(int rate, Rng& rng)
{
    VoiceShape krek;
    krek.length = 0.06;
    krek.f0 = rng.Range(1800.0, 2400.0);
    krek.f1 = krek.f0 * 0.95;
    krek.pulseHz = 150.0;
    krek.pulseDepth = 0.9;
    krek.noise = 0.1;
    krek.attack = 0.005;
    krek.release = 0.015;
    krek.formants = {{2000, 4, 0}, {3500, 5, -6}};
    const double step = rng.Range(0.1, 0.2);
    return RepeatedCalls(rate, krek, 6 + rng.Int(10), step * 0.8, step, rng);
}

Signal BellToad(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(400.0, 550.0);
    double t = LeadIn(rng);
    const int calls = 4 + rng.Int(5);
    for (int i = 0; i < calls; ++i) {
        Tone oop;
        oop.start = t;
        oop.length = rng.Range(0.15, 0.25);
        oop.f0 = f;
        oop.f1 = f * 0.97;
        oop.partials = {1.0, 0.08, 0.0, 0.0};
        oop.attack = 0.03;
        oop.release = 0.08;
        AddTone(out, rate, oop);
        t += rng.Range(0.8, 1.4);
    }
    return out;
}

constexpr CallMaker kSoloFrogs[] = {CommonFrog, MarshFrog, Toad, TreeFrog, BellToad};

Signal FrogChorus(int rate, Rng& rng)
{
    Signal out;
    const int frogs = 4 + rng.Int(4);
    for (int i = 0; i < frogs; ++i) {
        Signal frog = kSoloFrogs[rng.Int(static_cast<int>(std::size(kSoloFrogs)))](rate, rng);
        Biquad::LowPass(rate, rng.Range(1500.0, 5000.0)).Run(frog);
        MixInto(out, frog, Samples(rate, rng.Range(0.0, 2.5)), rng.Range(0.3, 1.0));
    }
    return out;
}

// A pond by night has a little echo off the water.
template <CallMaker M>
Signal ByThePond(int rate, Rng& rng)
{
    return InTheWoods(M(rate, rng), rate, 0.2);
}

constexpr CallMaker kOwls[] = {TawnyHoot, Kewick, LongEared, EagleOwl, LittleOwl, BarnOwl, Scops};
constexpr CallMaker kNightCallers[] = {Nightjar,     Corncrake, Quail,    TreeCricket,
                                       DistantTawny, Moorhen,   Woodcock, DuskThrush};
constexpr CallMaker kBeasts[] = {Wolf, FoxBark, FoxScream, DeerRoar, BoarGrunts, RoeBark, VillageDog};
constexpr CallMaker kFrogs[] = {ByThePond<CommonFrog>, ByThePond<MarshFrog>, ByThePond<Toad>,
                                ByThePond<TreeFrog>,   ByThePond<BellToad>,  ByThePond<FrogChorus>};

}  // namespace

Signal Owl(int variant, int rate, Rng& rng) { return MakeVariant(kOwls, variant, rate, rng); }

Signal Nightingale(int rate, Rng& rng) { return NightingaleSong(rate, rng); }

Signal NightCaller(int variant, int rate, Rng& rng) { return MakeVariant(kNightCallers, variant, rate, rng); }

Signal Beast(int variant, int rate, Rng& rng) { return MakeVariant(kBeasts, variant, rate, rng); }

Signal Frog(int variant, int rate, Rng& rng) { return MakeVariant(kFrogs, variant, rate, rng); }
