#pragma once
// The program's one random generator: every random draw comes from here.

#include <cstdint>

void Randomize();                   // seeds from the clock
void RandSeed(std::uint32_t seed);  // a fixed seed, for reproducible runs
int Random(int range);              // 0 .. range-1; 0 when range <= 0
double RandomFloat();               // [0, 1)

// Tests put a script in the generator's place for Random; null gives it back.
using TRandomSource = int (*)(int range);
void SetRandomSource(TRandomSource source);
