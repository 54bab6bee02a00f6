#pragma once
// Short pieces for the music layer, mono: each a phrase of its own key,
// tempo and pattern, 0.5 to 15 s.

#include "tools/bankmaker/synth/Dsp.h"

// Plucked strings: arpeggios, strums, picked melodies, alternating bass.
Signal GuitarPiece(int rate, Rng& rng);

// Reeds and bellows: a tune in the right hand over bass and chords.
Signal AccordionPiece(int rate, Rng& rng);

// A breathy tune with vibrato, slurred and tongued.
Signal FlutePiece(int rate, Rng& rng);
