#include "tools/bankmaker/synth/voices/Woodland.h"

#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// --- Woodpeckers ---------------------------------------------------------

// The bill strikes wood: a short click whose energy rings in the trunk.
struct Trunk {
    double body, f1, f2, q;
};

Trunk RandomTrunk(Rng& rng)
{
    const double f1 = rng.Range(600.0, 1400.0);
    return {rng.Range(300.0, 500.0), f1, f1 * rng.Range(2.3, 2.9), rng.Range(30.0, 60.0)};
}

void Strike(Signal& excitation, int rate, double at, double strength, Rng& rng)
{
    const size_t first = Samples(rate, at);
    const size_t length = Samples(rate, 0.0015);
    if (excitation.size() < first + length)
        excitation.resize(first + length, 0.0f);
    for (size_t i = 0; i < length; ++i) {
        const double w = std::sin(Pi * static_cast<double>(i) / static_cast<double>(length));
        excitation[first + i] += static_cast<float>(strength * w * rng.Range(-1.0, 1.0));
    }
}

Signal Resound(Signal excitation, int rate, const Trunk& trunk)
{
    excitation.resize(excitation.size() + Samples(rate, 0.2), 0.0f);
    Signal out = Formants(excitation, rate,
                          {{trunk.body, trunk.q * 0.5, 3.0}, {trunk.f1, trunk.q, 0.0}, {trunk.f2, trunk.q, -4.0}});
    Biquad click = Biquad::HighPass(rate, 2500.0);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] += 0.05f * click.Process(excitation[i]);
    return out;
}

Signal Drumming(int rate, Rng& rng)
{
    const Trunk trunk = RandomTrunk(rng);
    Signal excitation;
    double t = LeadIn(rng);
    const int rolls = 1 + rng.Int(3);
    for (int r = 0; r < rolls; ++r) {
        double interval = 1.0 / rng.Range(14.0, 25.0);
        const int knocks = 12 + rng.Int(29);
        for (int k = 0; k < knocks; ++k, t += interval, interval *= 0.99) {
            const double swell = std::min(1.0, (k + 1) / 3.0) * std::pow(0.97, k);
            Strike(excitation, rate, t, swell * rng.Range(0.85, 1.0), rng);
        }
        t += rng.Range(1.2, 2.5);
    }
    return Resound(std::move(excitation), rate, trunk);
}

Signal Tapping(int rate, Rng& rng)
{
    const Trunk trunk = RandomTrunk(rng);
    Signal excitation;
    double t = LeadIn(rng);
    const int knocks = 8 + rng.Int(13);
    for (int k = 0; k < knocks; ++k) {
        Strike(excitation, rate, t, rng.Range(0.4, 1.0), rng);
        t += rng.Chance(0.3) ? rng.Range(0.4, 0.8) : rng.Range(0.15, 0.3);
    }
    return Resound(std::move(excitation), rate, trunk);
}

Signal Yaffle(int rate, Rng& rng)
{
    Signal out;
    const int notes = 10 + rng.Int(7);
    const double high = rng.Range(1900.0, 2200.0);
    const double low = high * rng.Range(0.65, 0.75);
    const double step = 1.0 / rng.Range(7.0, 9.0);
    double t = LeadIn(rng);
    for (int i = 0; i < notes; ++i, t += step) {
        const double f = high + (low - high) * i / (notes - 1);
        Tone tone;
        tone.start = t;
        tone.length = step * 0.6;
        tone.f0 = f * 1.08;
        tone.fMid = f * 1.12;
        tone.f1 = f * 0.9;
        tone.partials = {1.0, 0.5, 0.3, 0.2};
        tone.attack = 0.01;
        tone.release = 0.03;
        tone.gain = 1.0 - 0.3 * i / notes;
        AddTone(out, rate, tone);
    }
    return out;
}

Signal Kik(int rate, Rng& rng)
{
    Signal out;
    const double f = rng.Range(1500.0, 2500.0);
    double t = LeadIn(rng);
    const int calls = 3 + rng.Int(6);
    for (int i = 0; i < calls; ++i) {
        Tone tone;
        tone.start = t;
        tone.length = rng.Range(0.03, 0.05);
        tone.f0 = f * 1.15;
        tone.f1 = f * 0.9;
        tone.partials = {1.0, 0.6, 0.35, 0.25};
        tone.attack = 0.003;
        tone.release = 0.015;
        AddTone(out, rate, tone);
        t += rng.Range(0.3, 1.0);
    }
    return out;
}

// --- Cuckoos -------------------------------------------------------------

Signal CuckooCall(int rate, Rng& rng, bool stutter)
{
    Signal out;
    const double f = rng.Range(620.0, 760.0);
    const double third = rng.Range(0.78, 0.84);
    const double interval = rng.Range(0.75, 1.0);
    const int calls = 3 + rng.Int(5);
    double t = LeadIn(rng);
    auto note = [&](double at, double length, double pitch, double release) {
        Tone tone;
        tone.start = at;
        tone.length = length;
        tone.f0 = pitch * 1.02;
        tone.f1 = pitch * 0.97;
        tone.partials = {1.0, 0.1, 0.03, 0.0};
        tone.attack = 0.025;
        tone.release = release;
        AddTone(out, rate, tone);
    };
    for (int i = 0; i < calls; ++i, t += interval) {
        double at = t;
        const int cus = stutter && rng.Chance(0.5) ? 2 : 1;
        for (int c = 0; c < cus; ++c, at += 0.22)
            note(at, rng.Range(0.13, 0.17), f, 0.04);
        note(at + 0.03, rng.Range(0.25, 0.32), f * third, 0.12);
        if (cus == 2)
            t += 0.22;
    }
    Biquad::LowPass(rate, 2000.0).Run(out);
    AddRoom(out, rate, 0.35, 0.6, 0.6);
    return out;
}

// --- Crows ---------------------------------------------------------------

struct CrowKind {
    double fLo, fHi, lenLo, lenHi, noise, gapLo, gapHi;
    int callsLo, callsHi;
    std::vector<Formant> formants;
};

const CrowKind kCrowKinds[] = {
    {350, 480, 0.25, 0.4, 0.35, 0.45, 0.7, 2, 5, {{1300, 4, 0}, {2100, 5, -3}, {3200, 6, -8}}},   // caw
    {300, 420, 0.4, 0.55, 0.5, 0.6, 0.9, 1, 4, {{1100, 3, 0}, {1800, 4, -3}, {2900, 5, -8}}},     // rook
    {600, 900, 0.08, 0.12, 0.25, 0.2, 0.5, 2, 6, {{1600, 4, 0}, {2600, 5, -4}, {3800, 6, -10}}},  // jackdaw
    {180, 280, 0.2, 0.35, 0.25, 0.7, 1.2, 1, 4, {{800, 3, 0}, {1500, 4, -3}, {2400, 5, -8}}},     // raven
};

Signal CrowKindCalls(const CrowKind& kind, int rate, Rng& rng, double distance)
{
    VoiceShape caw;
    const double f = rng.Range(kind.fLo, kind.fHi);
    caw.length = rng.Range(kind.lenLo, kind.lenHi);
    caw.f0 = f * 0.9;
    caw.fMid = f * 1.1;
    caw.f1 = f * 0.85;
    caw.jitter = rng.Range(0.03, 0.06);
    caw.noise = kind.noise;
    caw.attack = 0.02;
    caw.release = caw.length * 0.3;
    caw.formants = kind.formants;
    const int calls = kind.callsLo + rng.Int(kind.callsHi - kind.callsLo + 1);
    Signal out = RepeatedCalls(rate, caw, calls, kind.gapLo, kind.gapHi, rng);
    Biquad::LowPass(rate, 6000.0 / (1.0 + distance)).Run(out);
    return out;
}

template <int K>
Signal CrowOf(int rate, Rng& rng)
{
    Signal out = CrowKindCalls(kCrowKinds[K], rate, rng, 0.0);
    AddRoom(out, rate, 0.2, 0.4, 0.4);
    return out;
}

// A few birds of a roost calling over each other, farther off.
Signal Roost(int rate, Rng& rng)
{
    Signal out;
    const int birds = 3 + rng.Int(3);
    for (int b = 0; b < birds; ++b) {
        const Signal calls = CrowKindCalls(kCrowKinds[rng.Int(2)], rate, rng, rng.Range(0.5, 2.0));
        MixInto(out, calls, Samples(rate, rng.Range(0.0, 2.0)), rng.Range(0.4, 1.0));
    }
    AddRoom(out, rate, 0.35, 0.6, 0.6);
    return out;
}

// --- Crickets and grasshoppers -------------------------------------------

// One chirp: a few pulses of a pure carrier.
void Chirp(Signal& out, int rate, double at, double carrier, int pulses, double pulseLength, double gain)
{
    for (int p = 0; p < pulses; ++p) {
        Tone tone;
        tone.start = at + p * pulseLength * 1.6;
        tone.length = pulseLength;
        tone.f0 = carrier;
        tone.f1 = carrier * 0.99;
        tone.partials = {1.0, 0.1, 0.03, 0.0};
        tone.attack = 0.002;
        tone.release = 0.005;
        tone.gain = gain;
        AddTone(out, rate, tone);
    }
}

Signal FieldCricket(int rate, Rng& rng)
{
    Signal out;
    const double carrier = rng.Range(4000.0, 5000.0);
    const double interval = 1.0 / rng.Range(2.0, 4.0);
    const int pulses = 3 + rng.Int(3);
    const double pulse = rng.Range(0.015, 0.025);
    const double seconds = rng.Range(2.5, 5.5);
    for (double t = LeadIn(rng); t < seconds; t += interval * rng.Range(0.95, 1.05)) {
        Chirp(out, rate, t, carrier, pulses, pulse, rng.Range(0.8, 1.0));
    }
    return out;
}

// Legs over a wing: bursts of high, hissing pulses.
Signal Stridulation(int rate, double seconds, double pulseHz, double band, Rng& rng)
{
    Signal noise = WhiteNoise(Samples(rate, seconds), rng);
    Biquad::BandPass(rate, band, 1.5).Run(noise);
    Biquad::HighPass(rate, 3000.0).Run(noise);
    for (size_t i = 0; i < noise.size(); ++i) {
        const double phase = std::fmod(pulseHz * static_cast<double>(i) / rate, 1.0);
        noise[i] *= static_cast<float>(std::pow(std::sin(Pi * phase), 2.0));
    }
    Fade(noise, 1, rate, 0.05, 0.05);
    return noise;
}

Signal MeadowGrasshopper(int rate, Rng& rng)
{
    Signal out;
    const double band = rng.Range(6500.0, 9000.0);
    const double pulseHz = rng.Range(30.0, 80.0);
    const double length = rng.Range(0.3, 1.2);
    double t = LeadIn(rng);
    const int phrases = 3 + rng.Int(5);
    for (int i = 0; i < phrases; ++i) {
        MixInto(out, Stridulation(rate, length * rng.Range(0.9, 1.1), pulseHz, band, rng), Samples(rate, t));
        t += length + rng.Range(0.15, 0.6);
    }
    return out;
}

Signal BushCricket(int rate, Rng& rng)
{
    Signal out;
    const double band = rng.Range(8000.0, 10000.0);
    const double interval = 1.0 / rng.Range(4.0, 10.0);
    const double seconds = rng.Range(2.0, 5.0);
    for (double t = LeadIn(rng); t < seconds; t += interval) {
        MixInto(out, Stridulation(rate, 0.03, 200.0, band, rng), Samples(rate, t), rng.Range(0.7, 1.0));
    }
    return out;
}

Signal Trill(int rate, Rng& rng) { return CricketTrill(rate, rng.Range(2.0, 4.5), rng); }

constexpr CallMaker kWoodpeckers[] = {Drumming, Yaffle, Drumming, Kik, Tapping};
constexpr CallMaker kCrows[] = {CrowOf<0>, CrowOf<1>, CrowOf<2>, CrowOf<3>, Roost};
constexpr CallMaker kGrasshoppers[] = {FieldCricket, MeadowGrasshopper, BushCricket, Trill};

}  // namespace

Signal Woodpecker(int variant, int rate, Rng& rng) { return MakeVariant(kWoodpeckers, variant, rate, rng); }

// The last clip stutters ("cu-cu-coo"), as cuckoos now and then do.
Signal Cuckoo(int variant, int rate, Rng& rng) { return CuckooCall(rate, rng, variant % 5 == 4); }

Signal Crow(int variant, int rate, Rng& rng) { return MakeVariant(kCrows, variant, rate, rng); }

Signal Grasshopper(int variant, int rate, Rng& rng) { return MakeVariant(kGrasshoppers, variant, rate, rng); }

Signal CricketTrill(int rate, double seconds, Rng& rng)
{
    Tone tone;
    tone.start = 0.05;
    tone.length = seconds;
    tone.f0 = rng.Range(2500.0, 4500.0);
    tone.f1 = tone.f0 * rng.Range(0.98, 1.0);
    tone.flutterHz = rng.Range(40.0, 70.0);
    tone.flutterDepth = 0.95;
    tone.partials = {1.0, 0.08, 0.02, 0.0};
    tone.attack = 0.3;
    tone.release = 0.3;
    Signal out;
    AddTone(out, rate, tone);
    // The trill sways as the singer turns.
    Multiply(out, Wander(rate, out.size(), 0.4, 0.6, 1.0, rng));
    return out;
}
