#include "player/engine/WindGusts.h"

#include "player/engine/LayerStreams.h"
#include "player/engine/SoundBanks.h"
#include "support/Random.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int kDriftSteps = 9;  // -4 .. 4 metres
constexpr int kDriftReach = 4;
constexpr int kStartSide = 32;  // -15 .. 16 metres
constexpr int kStartReach = 16;
constexpr int kHeightSteps = 4;  // 2 .. 5 metres
constexpr int kLowestHeight = 2;
constexpr double kMillisecondsPerSecond = 1000.0;

struct TGust {
    TClipPosition Position;
    TGustDrift Drift;
    std::uint32_t DurationMs = 0;
};

constexpr TLayerId kGustLayers[] = {lyWind1, lyWind2, lyWind3};
std::array<TGust, 3> Gusts;

std::uint32_t StreamDurationMs(HSTREAM handle)
{
    const QWORD bytes = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    if (bytes == static_cast<QWORD>(-1))
        return 0;
    const double ms = std::trunc(BASS_ChannelBytes2Seconds(handle, bytes) * kMillisecondsPerSecond);
    if (!(ms >= 0.0))
        return 0;
    return ms < static_cast<double>(std::numeric_limits<std::uint32_t>::max())
               ? static_cast<std::uint32_t>(ms)
               : std::numeric_limits<std::uint32_t>::max();
}

void PlayWindGust(int strand)
{
    const TLayerId layer = kGustLayers[strand];
    TGust& gust = Gusts[strand];
    gust.DurationMs = 0;
    const std::optional<TClipChoice> choice = ChooseBankClip(SoundBanks, sbOvfw);
    if (LayerBoard() == nullptr || !choice || !ReadLayerClip(layer, *choice))
        return;
    const HSTREAM handle = CreateClipStream(layer, BASS_STREAM_AUTOFREE | BASS_SAMPLE_3D);
    LayerChannels[layer] = handle;
    gust.DurationMs = StreamDurationMs(handle);
    gust.Position.x = static_cast<float>(kStartReach - Random(kStartSide));
    gust.Position.z = static_cast<float>(kStartReach - Random(kStartSide));
    gust.Position.y = static_cast<float>(Random(kHeightSteps) + kLowestHeight);
    SetVolume(handle, PercentVolume(TBoardControl::WindVolumeTrackBar));
    PlaceStream(handle, gust.Position);
    BASS_ChannelPlay(handle, kGoOn);
}

void DriftOn(int strand)
{
    TGust& gust = Gusts[strand];
    gust.Position.x += gust.Drift.dx;
    gust.Position.z += gust.Drift.dz;
    const BASS_3DVECTOR position{gust.Position.x, gust.Position.y, gust.Position.z};
    BASS_ChannelSet3DPosition(LayerChannels[kGustLayers[strand]], &position, &ListenerNoVector[0],
                              &ListenerNoVector[1]);
}

}  // namespace

TGustDrift DrawGustDrift(std::uint32_t durationMs, unsigned intervalMs)
{
    const int dx = kDriftReach - Random(kDriftSteps);
    const int dz = kDriftReach - Random(kDriftSteps);
    const std::uint32_t ticks = intervalMs == 0 ? 0 : durationMs / intervalMs;
    if (ticks == 0)
        return {};
    return {static_cast<float>(dx) / static_cast<float>(ticks), static_cast<float>(dz) / static_cast<float>(ticks)};
}

void PlayWindGust1() { PlayWindGust(0); }
void PlayWindGust2() { PlayWindGust(1); }
void PlayWindGust3() { PlayWindGust(2); }

void WindTick(unsigned intervalMs)
{
    for (int strand = 0; strand < static_cast<int>(Gusts.size()); ++strand) {
        if (LayerPlaying(kGustLayers[strand])) {
            DriftOn(strand);
        } else {
            PlayWindGust(strand);
            Gusts[strand].Drift = DrawGustDrift(Gusts[strand].DurationMs, intervalMs);
        }
    }
    BASS_Apply3D();
}
