// What the instruments play: scales, chords and melodies that stay in key.

#include "tools/bankmaker/synth/music/Music.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct ScaleCase {
    Key key;
    int degree;
    int note;
};

TEST(Music, ScaleDegreesLandOnTheirNotes)
{
    const Key cMajor{60, false};
    const Key aMinor{57, true};
    const ScaleCase cases[] = {
        {cMajor, 0, 60},  {cMajor, 2, 64},  {cMajor, 3, 65},  {cMajor, 6, 71},  {cMajor, 7, 72},
        {cMajor, -1, 59}, {cMajor, -7, 48}, {cMajor, -8, 47}, {cMajor, 16, 88}, {aMinor, 2, 60},
        {aMinor, 5, 65},  {aMinor, 6, 67},  {aMinor, -2, 53},
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ScaleNote(c.key, c.degree), c.note) << "tonic " << c.key.tonic << " degree " << c.degree;
    }
    EXPECT_DOUBLE_EQ(MidiToHz(69), 440.0);
    EXPECT_NEAR(MidiToHz(60), 261.626, 0.001);
}

std::set<int> PitchClasses(const Key& key)
{
    std::set<int> classes;
    for (int d = 0; d < 7; ++d)
        classes.insert(ScaleNote(key, d) % 12);
    return classes;
}

TEST(Music, MelodiesStayInKeyFillTheirBarsAndComeHome)
{
    for (const Key& key : MusicKeys()) {
        for (int beatsPerBar : {3, 4}) {
            for (int bars : {1, 2, 5}) {
                SCOPED_TRACE("tonic " + std::to_string(key.tonic) + ", " + std::to_string(bars) + " bars of " +
                             std::to_string(beatsPerBar));
                Rng rng(ClipSeed("music", key.tonic * 100 + bars * 10 + beatsPerBar));
                const std::vector<int> chords = Progression(key, bars, rng);
                ASSERT_EQ(static_cast<int>(chords.size()), bars);
                if (bars >= 2) {
                    EXPECT_EQ(chords.back(), 0);
                }

                const auto notes = Melody(key, chords, beatsPerBar, 5, 16, true, rng);
                ASSERT_FALSE(notes.empty());
                const std::set<int> scale = PitchClasses(key);
                double until = 0.0;
                for (const Note& n : notes) {
                    EXPECT_EQ(scale.count(n.pitch % 12), 1u) << "note " << n.pitch << " out of key";
                    EXPECT_GE(n.pitch, ScaleNote(key, 5));
                    EXPECT_LE(n.pitch, ScaleNote(key, 16));
                    EXPECT_GE(n.beat, until - 1e-9) << "notes overlap";
                    EXPECT_GT(n.beats, 0.0);
                    until = n.beat + n.beats;
                }
                EXPECT_NEAR(until, bars * beatsPerBar, 1e-9);
                EXPECT_EQ(notes.back().pitch % 12, key.tonic % 12);
            }
        }
    }
}

TEST(Music, VoicingsHoldOnlyTheChordFromTheLowNoteUp)
{
    const Key gMajor{55, false};
    // The chord on the fifth degree of G is D major: D, F#, A.
    const std::vector<int> notes = Voicing(gMajor, 4, 52, 5);
    EXPECT_EQ(notes, (std::vector<int>{54, 57, 62, 66, 69}));
}

}  // namespace
