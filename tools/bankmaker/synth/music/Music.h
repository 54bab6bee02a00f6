#pragma once
// What the instruments play: keys, chords and melodies. All clips share a
// few neighbouring keys, so one clip after another sounds of a piece.

#include "tools/bankmaker/synth/Dsp.h"

#include <vector>

struct Key {
    int tonic;  // MIDI note number of the tonic, middle octave
    bool minor;
};

// The keys of all music clips: close together on the circle of fifths.
const std::vector<Key>& MusicKeys();
const Key& RandomKey(Rng& rng);

// MIDI note of a scale degree (0 = tonic, 7 = an octave up, negative below).
int ScaleNote(const Key& key, int degree);
double MidiToHz(double note);

// Roots (scale degrees) of `count` chords, one a bar, from common
// progressions; a phrase of two bars or more comes home to the tonic.
std::vector<int> Progression(const Key& key, int count, Rng& rng);

// The notes of the triad on `root` from `lowNote` upwards, `count` of them.
std::vector<int> Voicing(const Key& key, int root, int lowNote, int count);

struct Note {
    double beat;      // start, in beats from the phrase start
    double beats;     // length in beats
    int pitch;        // MIDI note number
    double velocity;  // 0 .. 1
};

// A melody over `chords` (one a bar): steps along the scale, chord tones on
// the strong beats, an ending on the tonic. Degrees are kept within
// low .. high; `breaths` leaves a rest now and then (wind players).
std::vector<Note> Melody(const Key& key, const std::vector<int>& chords, int beatsPerBar, int low, int high,
                         bool breaths, Rng& rng);

// How long a clip should be, in seconds: mostly 2 to 4.5, some shorter tags,
// a few long pieces up to 13.
double ClipTarget(Rng& rng);

// Bars of `beatsPerBar` at `bpm` that come nearest `seconds`: at least one,
// and no more than leave room for the last note to ring within 15 s.
int BarsFor(double seconds, int beatsPerBar, double bpm);
