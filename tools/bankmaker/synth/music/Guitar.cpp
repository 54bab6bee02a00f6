#include "tools/bankmaker/synth/music/Instruments.h"

#include "tools/bankmaker/synth/music/Music.h"
#include "tools/bankmaker/synth/voices/VoiceKit.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace {

constexpr double kMaxRing = 2.5;  // s a string sounds when nothing stops it
constexpr int kBassLow = 40;      // low E
constexpr int kStrings = 6;

struct Pluck {
    double at;        // s
    int pitch;        // MIDI
    double velocity;  // 0 .. 1
    int string;       // 0 = bass .. 5; a new pluck stops the string's last note
};

// Karplus-Strong: one period of noise circulating in a delay line, losing
// highs on each pass. Low strings ring longer than high ones.
Signal String(int rate, double hz, double velocity, double seconds, Rng& rng)
{
    const double period = rate / hz;
    const double delay = period - 0.5;  // the two-tap average adds half a sample
    const double t60 = std::clamp(4.0 * std::sqrt(110.0 / hz), 1.0, 5.0);
    const double loss = std::pow(0.001, 1.0 / (hz * t60));
    const size_t burst = static_cast<size_t>(period);
    Signal excitation = WhiteNoise(burst, rng);
    OnePole(rate, 1200.0 + 5000.0 * velocity).Run(excitation);
    // Plucking away from the bridge takes out the harmonics with a node there.
    const size_t pick = std::max<size_t>(1, static_cast<size_t>(period * rng.Range(0.1, 0.25)));
    Signal s(Samples(rate, seconds), 0.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        double x = 0.0;
        if (i < burst)
            x = excitation[i] - (i >= pick ? excitation[i - pick] : 0.0f);
        const double back = static_cast<double>(i) - delay;
        const double fed = back >= 1.0 ? 0.5 * (ReadAt(s, back) + ReadAt(s, back - 1.0)) : 0.0;
        s[i] = static_cast<float>(x + loss * fed);
    }
    Fade(s, 1, rate, 0.0, 0.04);
    return s;
}

struct Plan {
    Key key;
    double bpm;
    int beatsPerBar;
    std::vector<int> chords;
    double Beat() const { return 60.0 / bpm; }
    int Bars() const { return static_cast<int>(chords.size()); }
};

int BassNote(const Plan& plan, int root)
{
    int note = ScaleNote(plan.key, root);
    while (note >= kBassLow + 12)
        note -= 12;
    while (note < kBassLow)
        note += 12;
    return note;
}

// Bass first, then the chord above it on the upper strings.
std::vector<int> Shape(const Plan& plan, int root)
{
    const int bass = BassNote(plan, root);
    std::vector<int> notes{bass};
    for (int n : Voicing(plan.key, root, bass + 5, kStrings - 1))
        notes.push_back(n);
    return notes;
}

double Humanise(Rng& rng) { return rng.Range(-0.008, 0.008); }

void Strum(std::vector<Pluck>& plucks, const std::vector<int>& shape, double at, bool down, double velocity,
           double spread, Rng& rng)
{
    // Up strokes catch only the upper strings.
    const size_t first = down ? 0 : shape.size() / 2;
    for (size_t k = first; k < shape.size(); ++k) {
        const double order = static_cast<double>(down ? k - first : shape.size() - 1 - k);
        plucks.push_back({at + order * spread, shape[k], velocity * rng.Range(0.8, 1.0), static_cast<int>(k)});
    }
}

// Arpeggios over the chords in eighths, picking from bass and chord.
void Arpeggio(std::vector<Pluck>& plucks, const Plan& plan, Rng& rng)
{
    static const std::vector<std::string> patterns4 = {"01234321", "02132432", "01213121", "03142314"};
    static const std::vector<std::string> patterns3 = {"012321", "021324", "013231"};
    const auto& set = plan.beatsPerBar == 3 ? patterns3 : patterns4;
    const std::string& pattern = set[rng.Int(static_cast<int>(set.size()))];
    const double eighth = plan.Beat() / 2.0;
    for (int bar = 0; bar < plan.Bars(); ++bar) {
        const auto shape = Shape(plan, plan.chords[bar]);
        const int steps = static_cast<int>(pattern.size());
        for (int i = 0; i < steps; ++i) {
            const size_t k = std::min<size_t>(pattern[i] - '0', shape.size() - 1);
            const double at = (bar * steps + i) * eighth + Humanise(rng);
            plucks.push_back({at, shape[k], (i == 0 ? 0.9 : 0.65) * rng.Range(0.85, 1.0), static_cast<int>(k)});
        }
    }
}

// Strummed chords in a rhythm of down and up strokes ('.' a rest), in eighths.
void Strumming(std::vector<Pluck>& plucks, const Plan& plan, Rng& rng)
{
    static const std::vector<std::string> patterns4 = {"D.DU.UDU", "D.D.DUDU", "D..UD.DU", "D.DUD.DU"};
    static const std::vector<std::string> patterns3 = {"D.DUDU", "D.D.D.", "D.DUD."};
    const auto& set = plan.beatsPerBar == 3 ? patterns3 : patterns4;
    const std::string& rhythm = set[rng.Int(static_cast<int>(set.size()))];
    const double eighth = plan.Beat() / 2.0;
    const double spread = rng.Range(0.008, 0.02);
    for (int bar = 0; bar < plan.Bars(); ++bar) {
        const auto shape = Shape(plan, plan.chords[bar]);
        const int steps = static_cast<int>(rhythm.size());
        for (int i = 0; i < steps; ++i) {
            if (rhythm[i] == '.')
                continue;
            const double at = (bar * steps + i) * eighth + Humanise(rng);
            Strum(plucks, shape, at, rhythm[i] == 'D', rhythm[i] == 'D' ? 0.8 : 0.55, spread, rng);
        }
    }
}

// A melody picked on the upper strings over a soft bass on each bar.
void Melodic(std::vector<Pluck>& plucks, const Plan& plan, Rng& rng)
{
    const double beat = plan.Beat();
    for (int bar = 0; bar < plan.Bars(); ++bar) {
        plucks.push_back({bar * plan.beatsPerBar * beat, BassNote(plan, plan.chords[bar]), 0.6, 0});
    }
    int string = 1;
    for (const Note& n : Melody(plan.key, plan.chords, plan.beatsPerBar, -2, 10, false, rng)) {
        // Successive notes go to alternate strings so each rings into the next.
        string = string % (kStrings - 1) + 1;
        plucks.push_back({n.beat * beat + Humanise(rng), n.pitch, n.velocity, string});
    }
}

// Alternating bass on the beats, chord notes on the off-beats.
void Travis(std::vector<Pluck>& plucks, const Plan& plan, Rng& rng)
{
    const double beat = plan.Beat();
    for (int bar = 0; bar < plan.Bars(); ++bar) {
        const int root = plan.chords[bar];
        const auto shape = Shape(plan, root);
        const int fifth = BassNote(plan, root + 4);
        for (int b = 0; b < plan.beatsPerBar; ++b) {
            const double at = (bar * plan.beatsPerBar + b) * beat;
            plucks.push_back({at + Humanise(rng), b % 2 == 0 ? shape[0] : fifth, 0.75, 0});
            const size_t k = 2 + static_cast<size_t>(rng.Int(static_cast<int>(shape.size()) - 2));
            plucks.push_back({at + beat / 2.0 + Humanise(rng), shape[k], 0.6, static_cast<int>(k)});
        }
    }
}

// A chord or two, slowly rolled, left to ring: the short tags.
void Tag(std::vector<Pluck>& plucks, const Plan& plan, Rng& rng)
{
    const double spread = rng.Range(0.035, 0.06);
    for (int bar = 0; bar < plan.Bars(); ++bar) {
        Strum(plucks, Shape(plan, plan.chords[bar]), bar * plan.beatsPerBar * plan.Beat(), true, 0.75, spread, rng);
    }
}

using Pattern = void (*)(std::vector<Pluck>&, const Plan&, Rng&);
constexpr Pattern kPatterns[] = {Arpeggio, Strumming, Melodic, Travis};

Plan MakePlan(Rng& rng, double target)
{
    Plan plan;
    plan.key = RandomKey(rng);
    plan.beatsPerBar = rng.Chance(0.25) ? 3 : 4;
    // A short piece is played brisker, so that even one bar fits it.
    plan.bpm = std::min(140.0, std::max(rng.Range(60.0, 120.0), 60.0 * plan.beatsPerBar / target));
    plan.chords = Progression(plan.key, BarsFor(target, plan.beatsPerBar, plan.bpm), rng);
    return plan;
}

// A tag: the tonic, or dominant then tonic, each chord a third of the time.
Plan TagPlan(Rng& rng, double target)
{
    Plan plan;
    plan.key = RandomKey(rng);
    plan.beatsPerBar = 4;
    plan.bpm = 60.0 * plan.beatsPerBar / (0.35 * target);
    plan.chords = rng.Chance(0.5) ? std::vector<int>{0} : std::vector<int>{4, 0};
    return plan;
}

// Each pluck sounds until its string is plucked again or the piece ends;
// `plucks` are in time order.
Signal Render(const std::vector<Pluck>& plucks, double seconds, int rate, Rng& rng)
{
    constexpr double lead = 0.03;
    Signal out(Samples(rate, lead + seconds), 0.0f);
    for (size_t i = 0; i < plucks.size(); ++i) {
        const Pluck& p = plucks[i];
        const double at = std::max(0.0, p.at);
        double stop = std::min(seconds, at + kMaxRing);
        for (size_t j = i + 1; j < plucks.size(); ++j) {
            if (plucks[j].string != p.string)
                continue;
            stop = std::min(stop, plucks[j].at + 0.02);
            break;
        }
        if (stop <= at)
            continue;
        MixInto(out, String(rate, MidiToHz(p.pitch), p.velocity, stop - at, rng), Samples(rate, lead + at), p.velocity);
    }
    out.resize(Samples(rate, lead + seconds));
    return out;
}

// Pulls the pick transients down (about 2.5:1 above a threshold well under
// the peak), so the ringing notes rather than their clicks set the level.
void TameAttacks(Signal& signal, int rate)
{
    const double threshold = 0.2 * Peak(signal);
    const double release = std::exp(-1.0 / (0.1 * rate));
    double envelope = 0.0;
    for (float& s : signal) {
        envelope = std::max(static_cast<double>(std::fabs(s)), envelope * release);
        if (envelope > threshold)
            s = static_cast<float>(s * std::pow(threshold / envelope, 0.6));
    }
}

}  // namespace

Signal GuitarPiece(int rate, Rng& rng)
{
    const double target = ClipTarget(rng);
    std::vector<Pluck> plucks;
    Plan plan;
    double ring = rng.Range(0.3, 0.6);
    if (target < 1.8) {
        plan = TagPlan(rng, target);
        Tag(plucks, plan, rng);
        ring = std::max(0.4, target * (plan.chords.size() == 1 ? 0.65 : 0.3));
    } else {
        plan = MakePlan(rng, target);
        kPatterns[rng.Int(static_cast<int>(std::size(kPatterns)))](plucks, plan, rng);
    }
    // Sort by time so each string's next pluck is found after it.
    std::stable_sort(plucks.begin(), plucks.end(), [](const Pluck& a, const Pluck& b) { return a.at < b.at; });
    const double playing = plan.Bars() * plan.beatsPerBar * plan.Beat();
    Signal out = Render(plucks, playing + ring, rate, rng);
    TameAttacks(out, rate);
    // The wooden body: a warm low resonance, a little presence.
    Biquad::Peaking(rate, 100.0, 1.2, 4.0).Run(out);
    Biquad::Peaking(rate, 220.0, 1.5, 2.5).Run(out);
    Biquad::Peaking(rate, 2500.0, 1.0, 1.5).Run(out);
    AddRoom(out, rate, 0.15, 0.3, 0.3);
    return out;
}
