#pragma once
// Pieces shared by the creature voices and the instruments: pitched notes with
// glides and vibrato, a buzzing source, formant filtering, a little room, and
// the finishing of a clip to its level.

#include "tools/bankmaker/synth/Dsp.h"

#include <array>
#include <functional>
#include <vector>

// One pitched note. The pitch runs from `f0` through `fMid` (when not 0) to
// `f1` on a logarithmic path; vibrato and flutter ride on top.
struct Tone {
    double start = 0.0;   // seconds into the signal
    double length = 0.1;  // seconds
    double f0 = 3000.0, fMid = 0.0, f1 = 3000.0;
    double vibratoHz = 0.0, vibratoDepth = 0.0;  // depth as a fraction of the pitch
    double flutterHz = 0.0, flutterDepth = 0.0;  // amplitude modulation, 0 .. 1
    double attack = 0.005, release = 0.01;       // seconds
    double gain = 1.0;
    std::array<double, 4> partials{1.0, 0.12, 0.04, 0.0};  // harmonics 1 to 4
};

// Adds the tone into `signal` (grown when it ends past the end).
void AddTone(Signal& signal, int rate, const Tone& tone);

// A resonance of a vocal tract or a body: centre and Q, level in dB.
struct Formant {
    double freq, q, gainDb;
};

// Pitch of a glide from f0 through fMid (when not 0) to f1 at fraction u.
double GlidePitch(double f0, double fMid, double f1, double u);

// A voiced call through a throat: a buzzing source on a glide, with jitter,
// rasp (noise riding on the pulses), pulsing and formants. Caws, croaks,
// barks, howls.
struct VoiceShape {
    double length = 0.3;
    double f0 = 400.0, fMid = 0.0, f1 = 400.0;
    double jitter = 0.0;  // random pitch wobble, fraction
    double noise = 0.0;   // share of rasp in the source, 0 .. 1
    double vibratoHz = 0.0, vibratoDepth = 0.0;
    double pulseHz = 0.0, pulseDepth = 0.0;  // amplitude pulsing, 0 .. 1
    double attack = 0.02, release = 0.05;
    std::vector<Formant> formants;  // none: the bare source
};

Signal Voice(int rate, const VoiceShape& shape, Rng& rng);

// `count` calls after a short lead-in, each drawn a little apart from `shape`
// in length and pitch, with a gap of gapLo .. gapHi seconds between them.
Signal RepeatedCalls(int rate, const VoiceShape& shape, int count, double gapLo, double gapHi, Rng& rng);

// The moment of quiet before a clip's first sound.
double LeadIn(Rng& rng);

// A maker of one kind of call; a bank cycles through a table of them.
using CallMaker = Signal (*)(int rate, Rng& rng);

template <size_t N>
Signal MakeVariant(const CallMaker (&makers)[N], int variant, int rate, Rng& rng)
{
    return makers[static_cast<size_t>(variant) % N](rate, rng);
}

// Band-limited sawtooth and square (PolyBLEP) with a running phase, so the
// pitch may change every sample: the source of buzzes, caws and reeds.
class Buzz {
public:
    explicit Buzz(int rate, double phase = 0.0);
    float Saw(double freqHz);
    float Square(double freqHz);

private:
    double Advance(double freqHz);
    double rate_;
    double phase_;  // 0 .. 1
    double step_ = 0.0;
};

// The sum of band-passes at the formants (a rough tract or body shape).
Signal Formants(const Signal& source, int rate, const std::vector<Formant>& formants);

// A small diffuse room (combs and all-passes), mixed in at `wet`; `decay`
// 0 .. 1 sets how long the tail rings. Appends `tailSeconds` for the tail.
void AddRoom(Signal& signal, int rate, double wet, double decay, double tailSeconds);

// Loudness of a kind of clip: the RMS aimed at and the ceiling of the peak.
struct Level {
    double rmsDb, peakDb;
};

constexpr Level kBirdLevel{-18.0, -5.0};  // bright songs: the codec lifts their peaks
constexpr Level kInsectLevel{-22.0, -6.0};
constexpr Level kKnockLevel{-21.0, -2.0};  // drumming: sharp, sparse blows
constexpr Level kFlightLevel{-22.0, -4.0};
constexpr Level kMusicLevel{-18.0, -1.5};

// Takes out DC, fades both ends (so the clip starts and ends at zero) and sets
// the level.
void FinishClip(Sound& sound, Level level);

// Linear-interpolated read of `signal` at a fractional sample position.
float ReadAt(const Signal& signal, double position);

// Calls make(i) for i in 0 .. count-1 on all cores; results in index order.
std::vector<Sound> RenderAll(int count, const std::function<Sound(int)>& make);
