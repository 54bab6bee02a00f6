#pragma once
// The places and the weather: day and night backgrounds, brook and waterfall,
// bonfire, wind gusts, rain and thunder. Clip `index` of each bank is the same
// on every run.

#include "tools/bankmaker/synth/Sound.h"

#include <array>

constexpr int DayBackgroundCount = 8;                        // ovda.3bs
constexpr int NightBackgroundCount = 37;                     // ovna.3bs
constexpr int BrookClipCount = 2;                            // oves.3bs: brook, waterfall
constexpr int FireClipCount = 3;                             // ovef.3bs: one clip per fire strand
constexpr int WindGustCount = 8;                             // ovfw.3bs
constexpr std::array<int, 3> RainGroupCounts = {2, 1, 1};    // ovel.3bs: rain strands 1, 2, 3
constexpr std::array<int, 3> StormGroupCounts = {6, 13, 0};  // ovrs.3bs: claps, rolls

// Mono, 10 to 30 s: rustling leaves in a breeze and birds far off.
SynthClip DayBackgroundClip(int index);

// Mono, 10 to 30 s: crickets, now and then frogs far off.
SynthClip NightBackgroundClip(int index);

// Seamless loops: clip 0 the brook (mono), clip 1 the waterfall (stereo).
SynthClip BrookClip(int index);

// Seamless mono loops of a bonfire: crackle, hiss and the low roar of flames.
SynthClip FireClip(int index);

// Mono gusts that swell and fade, 3 to 12 s; the last one is a puff of
// under 100 ms.
SynthClip WindGustClip(int index);

// Seamless stereo loops with uncorrelated channels, numbered across the
// groups: steady rain, heavy rain, dripping leaves.
SynthClip RainClip(int index);

// Stereo thunder, numbered across the groups: near claps, then long rolls.
SynthClip ThunderClip(int index);
