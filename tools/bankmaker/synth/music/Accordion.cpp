#include "tools/bankmaker/synth/music/Instruments.h"

#include "tools/bankmaker/synth/music/Music.h"
#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>

namespace {

struct Reeds {
    double detuneCents;  // the musette beating between the two reeds
    double squareShare;  // reedier with more square in the mix
    bool lowReed;        // a third reed an octave down
};

// One note on the reeds: two (or three) sawtooth-square reeds slightly apart,
// speaking with the soft start and stop of air through a valve.
void AddReedNote(Signal& out, int rate, double at, double seconds, int pitch, double gain, const Reeds& reeds, Rng& rng)
{
    const size_t first = Samples(rate, at);
    const size_t count = Samples(rate, seconds);
    if (out.size() < first + count)
        out.resize(first + count, 0.0f);
    const double hz = MidiToHz(pitch);
    const double apart = std::pow(2.0, reeds.detuneCents / 1200.0);
    Buzz a(rate, rng.Uniform()), b(rate, rng.Uniform()), low(rate, rng.Uniform());
    Signal note(count);
    for (size_t i = 0; i < count; ++i) {
        const double mixA = (1.0 - reeds.squareShare) * a.Saw(hz) + reeds.squareShare * a.Square(hz);
        const double mixB = (1.0 - reeds.squareShare) * b.Saw(hz * apart) + reeds.squareShare * b.Square(hz * apart);
        const double under = reeds.lowReed ? 0.5 * low.Saw(hz * 0.5) : 0.0;
        note[i] = static_cast<float>(0.5 * (mixA + mixB) + under);
    }
    Fade(note, 1, rate, 0.03, 0.05);
    MixInto(out, note, first, gain);
}

struct Style {
    int beatsPerBar;
    double bpmLo, bpmHi;
    bool sustainedChords;  // slow airs hold the chords; dances go oom-pah
};

const Style kStyles[] = {
    {3, 110, 160, false},  // waltz
    {2, 90, 120, false},   // polka, march
    {4, 60, 85, true},     // slow air
    {4, 85, 110, false},   // song
};

// The left hand: bass on the strong beats, short chords between (or chords
// held through the bar in a slow air).
void LeftHand(Signal& out, int rate, const Key& key, const std::vector<int>& chords, const Style& style, double beat,
              const Reeds& reeds, Rng& rng)
{
    for (int bar = 0; bar < static_cast<int>(chords.size()); ++bar) {
        const double barStart = bar * style.beatsPerBar * beat;
        int bass = ScaleNote(key, chords[bar]);
        while (bass >= 48)
            bass -= 12;
        const std::vector<int> chord = Voicing(key, chords[bar], 55, 3);
        if (style.sustainedChords) {
            AddReedNote(out, rate, barStart, style.beatsPerBar * beat, bass, 0.35, reeds, rng);
            for (int n : chord)
                AddReedNote(out, rate, barStart, style.beatsPerBar * beat, n, 0.2, reeds, rng);
            continue;
        }
        for (int b = 0; b < style.beatsPerBar; ++b) {
            const double at = barStart + b * beat;
            if (b == 0 || (style.beatsPerBar == 4 && b == 2)) {
                AddReedNote(out, rate, at, beat * 0.8, b == 0 ? bass : bass + 7, 0.4, reeds, rng);
            } else {
                for (int n : chord)
                    AddReedNote(out, rate, at, beat * 0.5, n, 0.18, reeds, rng);
            }
        }
    }
}

}  // namespace

Signal AccordionPiece(int rate, Rng& rng)
{
    const Style& style = kStyles[rng.Int(static_cast<int>(std::size(kStyles)))];
    const Key& key = RandomKey(rng);
    const double bpm = rng.Range(style.bpmLo, style.bpmHi);
    const double beat = 60.0 / bpm;
    const double barSeconds = style.beatsPerBar * beat;
    const int bars = BarsFor(ClipTarget(rng), style.beatsPerBar, bpm);
    // At least two bars, so that the tune can come home to the tonic.
    const std::vector<int> chords = Progression(key, std::max(bars, 2), rng);
    const Reeds reeds{rng.Range(3.0, 12.0), rng.Range(0.2, 0.5), rng.Chance(0.3)};
    const double lead = 0.03;
    Signal out;
    for (const Note& n : Melody(key, chords, style.beatsPerBar, 5, 16, false, rng)) {
        AddReedNote(out, rate, lead + n.beat * beat, n.beats * beat * 0.95, n.pitch, 0.5 * n.velocity, reeds, rng);
    }
    Signal left;
    LeftHand(left, rate, key, chords, style, beat, reeds, rng);
    MixInto(out, left, Samples(rate, lead));
    // The bellows: the player's push swells and eases over each bar.
    const double depth = rng.Range(0.1, 0.25);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        out[i] *= static_cast<float>(1.0 - depth + depth * std::sin(Pi * std::fmod(t / barSeconds, 1.0)));
    }
    // The box: reeds lose their edge above a few kHz, a hollow mid resonance.
    Biquad::LowPass(rate, 4000.0).Run(out);
    Biquad::Peaking(rate, 1200.0, 1.0, 3.0).Run(out);
    AddRoom(out, rate, 0.15, 0.35, 0.4);
    return out;
}
