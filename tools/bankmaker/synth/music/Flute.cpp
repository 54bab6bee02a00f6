#include "tools/bankmaker/synth/music/Instruments.h"

#include "tools/bankmaker/synth/music/Music.h"
#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGlide = 0.025;  // s, a slur between notes
constexpr double kTongue = 0.03;  // s, the dip of a tongued attack

// The line as targets over time: pitch, loudness, and where notes start.
struct Line {
    std::vector<double> hz, level;
    std::vector<size_t> onsets;
};

Line Lay(const std::vector<Note>& notes, double beat, double lead, int rate, size_t count)
{
    Line line{std::vector<double>(count, 0.0), std::vector<double>(count, 0.0), {}};
    double hz = MidiToHz(notes.front().pitch);
    size_t filled = 0;
    for (const Note& n : notes) {
        const size_t from = Samples(rate, lead + n.beat * beat);
        const size_t to = std::min(count, Samples(rate, lead + (n.beat + n.beats) * beat));
        // A rest holds the last pitch silently, so the next note slurs from it.
        for (size_t i = filled; i < from && i < count; ++i)
            line.hz[i] = hz;
        hz = MidiToHz(n.pitch);
        for (size_t i = from; i < to; ++i) {
            line.hz[i] = hz;
            line.level[i] = n.velocity;
        }
        line.onsets.push_back(from);
        filled = std::max(filled, to);
    }
    for (size_t i = filled; i < count; ++i)
        line.hz[i] = hz;
    return line;
}

}  // namespace

Signal FlutePiece(int rate, Rng& rng)
{
    const Key& key = RandomKey(rng);
    const int beatsPerBar = rng.Chance(0.3) ? 3 : 4;
    const double bpm = rng.Range(60.0, 100.0);
    const double beat = 60.0 / bpm;
    const int bars = BarsFor(ClipTarget(rng), beatsPerBar, bpm);
    const std::vector<int> chords = Progression(key, bars, rng);
    const std::vector<Note> notes = Melody(key, chords, beatsPerBar, 7, 19, true, rng);
    const double lead = 0.05;
    const double tail = 0.4;
    const size_t count = Samples(rate, lead + bars * beatsPerBar * beat + tail);
    const Line line = Lay(notes, beat, lead, rate, count);

    // Slurs glide in pitch; loudness follows the breath more slowly.
    OnePole glide(rate, 1.0 / (TwoPi * kGlide));
    OnePole breath(rate, 12.0);
    glide.Process(static_cast<float>(std::log(line.hz.front())));
    const double vibratoHz = rng.Range(4.5, 5.5);
    const double vibratoDepth = rng.Range(0.004, 0.008);
    const double tongued = rng.Range(0.3, 0.8);  // share of notes tongued rather than slurred
    // 0 .. 1 over each tongued start, a smooth bump, so the chiff does not click.
    Signal tongue(count, 0.0f);
    const size_t span = Samples(rate, kTongue);
    for (size_t onset : line.onsets) {
        if (!rng.Chance(tongued))
            continue;
        for (size_t i = onset; i < std::min(count, onset + span); ++i) {
            tongue[i] = static_cast<float>(std::sin(Pi * static_cast<double>(i - onset) / static_cast<double>(span)));
        }
    }
    Signal noise = WhiteNoise(count, rng);
    Biquad::BandPass(rate, MidiToHz(key.tonic + 12), 1.0).Run(noise);
    Signal out(count);
    double phase = 0.0;
    size_t sinceOnset = 0;
    size_t nextOnset = 0;
    for (size_t i = 0; i < count; ++i) {
        if (nextOnset < line.onsets.size() && i >= line.onsets[nextOnset]) {
            ++nextOnset;
            sinceOnset = 0;
        }
        const double t = static_cast<double>(sinceOnset++) / rate;
        // Vibrato comes in once the note has settled.
        const double vib = vibratoDepth * std::min(1.0, std::max(0.0, t - 0.15) / 0.3);
        const double f = std::exp(glide.Process(static_cast<float>(std::log(line.hz[i])))) *
                         (1.0 + vib * std::sin(TwoPi * vibratoHz * static_cast<double>(i) / rate));
        const double a = breath.Process(static_cast<float>(line.level[i] * (1.0 - tongue[i])));
        phase = std::fmod(phase + TwoPi * f / rate, TwoPi);
        const double tone =
            std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase) + 0.03 * std::sin(4 * phase);
        // Air across the embouchure: a hiss that rises with the breath, and a
        // chiff at each tongued start.
        const double air = noise[i] * (0.12 * a + 0.4 * tongue[i] * line.level[i]);
        out[i] = static_cast<float>(a * tone + air);
    }
    AddRoom(out, rate, 0.2, 0.45, 0.5);
    return out;
}
