#pragma once
// How a two-channel clip reaches the speakers when it goes through a mixer
// instead of the 3D stage: the weather surrounds the listener, a fly-by passes
// over one random pair of speakers.

#include <array>
#include <vector>

// Rows are the mixer's output channels in the library's speaker order (front
// left, front right, centre, LFE, rear left, rear right, side left, side
// right); columns the clip's left and right.
constexpr int kMatrixRows = 8;
constexpr int kMatrixColumns = 2;
using TChannelMatrix = std::array<std::array<float, kMatrixColumns>, kMatrixRows>;

// The filled rows of a centre or LFE that carries both channels a little.
constexpr float kSurroundShare = 0.3f;

// Channels of the mixer for the output's speakers: at most eight.
int MixerChannels(int speakerCount);

// Rain and thunder: the fronts (and the rears and sides) carry the clip kept
// or mirrored at random, the centre and LFE a share of both channels.
void SurroundMatrix(TChannelMatrix& matrix, int speakerCount);

// A fly-by: each channel on a speaker of its own, never the centre or the LFE
// once there are five speakers or more.
void PickSpeakerMatrix(TChannelMatrix& matrix, int speakerCount);

// The gains as the mixer takes them for a source of sourceChannels: mixer
// channels by source channels, row after row. A mono clip is both columns at
// once, so its gain is their sum; channels past the second stay silent.
std::vector<float> SourceMatrix(const TChannelMatrix& matrix, int mixerChannels, int sourceChannels);
