#include "tools/bankmaker/synth/music/Music.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMajorSteps[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinorSteps[7] = {0, 2, 3, 5, 7, 8, 10};

// Progressions as chord roots (scale degrees), four bars each.
const std::vector<std::vector<int>> kMajorProgressions = {
    {0, 3, 4, 0}, {0, 5, 3, 4}, {0, 4, 5, 3}, {1, 4, 0, 0}, {0, 3, 0, 4}};
const std::vector<std::vector<int>> kMinorProgressions = {
    {0, 3, 4, 0}, {0, 5, 2, 6}, {0, 3, 6, 2}, {0, 6, 5, 4}, {0, 5, 3, 4}};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Rhythm cells of one beat (or two, for the long note), in beats.
const std::vector<std::vector<double>> kCells = {{1.0},        {0.5, 0.5},        {0.5, 0.5},
                                                 {0.75, 0.25}, {0.25, 0.25, 0.5}, {0.25, 0.25, 0.25, 0.25}};
const std::vector<double> kLongCell = {2.0};

int Reflect(int degree, int low, int high)
{
    if (degree < low)
        return low + (low - degree);
    if (degree > high)
        return high - (degree - high);
    return degree;
}

// The chord tone (degree root + 0, 2, 4 in any octave) nearest `degree`.
int NearestChordTone(int root, int degree)
{
    int best = root;
    for (int d = root - 21; d <= root + 28; ++d) {
        const int step = ((d - root) % 7 + 7) % 7;
        if ((step == 0 || step == 2 || step == 4) && std::abs(d - degree) < std::abs(best - degree))
            best = d;
    }
    return best;
}

// The tonic (a multiple of 7) nearest `degree`, inside low .. high if one is.
int TonicNear(int degree, int low, int high)
{
    int tonic = 7 * FloorDiv(degree + 3, 7);
    if (tonic > high && tonic - 7 >= low)
        tonic -= 7;
    if (tonic < low && tonic + 7 <= high)
        tonic += 7;
    return tonic;
}

}  // namespace

const std::vector<Key>& MusicKeys()
{
    static const std::vector<Key> keys = {{60, false}, {57, true}, {55, false}, {64, true}, {62, false}};
    return keys;
}

const Key& RandomKey(Rng& rng) { return MusicKeys()[rng.Int(static_cast<int>(MusicKeys().size()))]; }

int ScaleNote(const Key& key, int degree)
{
    const int octave = FloorDiv(degree, 7);
    const int step = degree - 7 * octave;
    return key.tonic + 12 * octave + (key.minor ? kMinorSteps : kMajorSteps)[step];
}

double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

std::vector<int> Progression(const Key& key, int count, Rng& rng)
{
    const auto& table = key.minor ? kMinorProgressions : kMajorProgressions;
    std::vector<int> roots;
    while (static_cast<int>(roots.size()) < count) {
        const auto& p = table[rng.Int(static_cast<int>(table.size()))];
        roots.insert(roots.end(), p.begin(), p.end());
    }
    roots.resize(count);
    if (count >= 2)
        roots.back() = 0;
    return roots;
}

std::vector<int> Voicing(const Key& key, int root, int lowNote, int count)
{
    std::vector<int> notes;
    for (int octave = -3; octave <= 4; ++octave) {
        for (int third : {0, 2, 4})
            notes.push_back(ScaleNote(key, root + third + 7 * octave));
    }
    std::sort(notes.begin(), notes.end());
    notes.erase(notes.begin(), std::lower_bound(notes.begin(), notes.end(), lowNote));
    notes.resize(std::min<size_t>(notes.size(), count));
    return notes;
}

std::vector<Note> Melody(const Key& key, const std::vector<int>& chords, int beatsPerBar, int low, int high,
                         bool breaths, Rng& rng)
{
    std::vector<Note> notes;
    int degree = NearestChordTone(chords.front(), (low + high) / 2);
    int direction = rng.Chance(0.5) ? 1 : -1;
    const int bars = static_cast<int>(chords.size());
    // The last beat (two in longer bars) is kept for the final tonic.
    const double tail = beatsPerBar >= 4 ? 2.0 : 1.0;
    const double end = bars * beatsPerBar - tail;
    double beat = 0.0;
    while (beat < end - 1e-9) {
        const bool roomForLong = std::fmod(beat, 1.0) == 0.0 && beat + 2.0 <= end;
        const auto& cell =
            roomForLong && rng.Chance(0.15) ? kLongCell : kCells[rng.Int(static_cast<int>(kCells.size()))];
        for (double length : cell) {
            if (beat >= end - 1e-9)
                break;
            length = std::min(length, end - beat);
            const int bar = static_cast<int>(beat) / beatsPerBar;
            const bool downbeat = std::fmod(beat, static_cast<double>(beatsPerBar)) == 0.0;
            if (rng.Chance(0.2))
                direction = -direction;
            const int leap = rng.Chance(0.2) ? 2 : 1;
            degree = Reflect(degree + direction * leap, low, high);
            if (downbeat)
                degree = Reflect(NearestChordTone(chords[bar], degree), low, high);
            if (!(breaths && !notes.empty() && !downbeat && rng.Chance(0.08))) {
                notes.push_back({beat, length, ScaleNote(key, degree), (downbeat ? 0.9 : 0.7) * rng.Range(0.85, 1.0)});
            }
            beat += length;
        }
    }
    notes.push_back({end, tail, ScaleNote(key, TonicNear(degree, low, high)), 0.8});
    return notes;
}

double ClipTarget(Rng& rng)
{
    const double u = rng.Uniform();
    if (u < 0.15)
        return rng.Range(0.6, 1.6);
    if (u < 0.85)
        return rng.Range(1.8, 4.5);
    if (u < 0.97)
        return rng.Range(4.5, 8.0);
    return rng.Range(8.0, 13.0);
}

int BarsFor(double seconds, int beatsPerBar, double bpm)
{
    constexpr double longest = 13.5;
    const double bar = beatsPerBar * 60.0 / bpm;
    const int most = std::max(1, static_cast<int>(longest / bar));
    return std::clamp(static_cast<int>(std::lround(seconds / bar)), 1, most);
}
