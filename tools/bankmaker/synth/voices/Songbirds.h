#pragma once
// Songs and calls of small birds: each song a run of notes that glide, warble
// and trill in a pattern of its kind.

#include "tools/bankmaker/synth/Dsp.h"

enum class Song {
    Finch,      // accelerating trills ending in a flourish
    Blackbird,  // low fluty phrase with a squeaky end
    Thrush,     // short motifs, each repeated
    Cascade,    // a falling string of soft notes
    TwoNote,    // a see-saw of two notes
    Chatter,    // fast scratchy syllables
    Buzzer,     // a wheezing buzz after a twitter
    Calls,      // scattered thin call notes
    Warble,     // jumpy warbling runs
    Coo,        // a pigeon's soft hoots
    Oriole,     // yodelled whistles
    Bunting,    // repeated notes and a long last one
    Count
};

// One song or call bout of `song`, mono, with a short lead-in.
Signal Sing(Song song, int rate, Rng& rng);

// Several singers far off at once, spread over the stereo field.
Sound DistantChorus(int rate, double seconds, Rng& rng);
