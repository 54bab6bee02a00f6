#include "player/engine/BrookAndFire.h"

#include "player/engine/LayerStreams.h"
#include "player/engine/SoundBanks.h"

namespace {

constexpr std::uint32_t kBrookClip = 0;
constexpr std::uint32_t kWaterfallClip = 1;
constexpr int kWaterfallSteps = 4;
constexpr int kTwoFires = 1;
constexpr int kThreeFires = 2;
constexpr DWORD kPlaced = BASS_STREAM_AUTOFREE | BASS_SAMPLE_3D;

int BrookLevel() { return LayerBoard()->Position(TBoardControl::OptionTrackBar); }

// A mono clip stands at the brook's marker; a stereo one plays unplaced.
void PlayAtTheBrook(TLayerId layer, std::uint32_t clip, DWORD firstFlags, float volume)
{
    if (!ReadBankEntry(layer, sbOves, clip))
        return;
    HSTREAM handle = CreateClipStream(layer, firstFlags);
    if (StreamChannels(handle) == 1) {
        BASS_StreamFree(handle);
        handle = CreateClipStream(layer, kPlaced);
        PlaceStream(handle, MarkerPosition(StreamX, StreamY));
    }
    LayerChannels[layer] = handle;
    SetVolume(handle, volume);
    BASS_ChannelFlags(handle, BASS_SAMPLE_LOOP, BASS_SAMPLE_LOOP);
    BASS_ChannelPlay(handle, kGoOn);
}

// The bonfire is always placed, whatever its clip.
void PlayFire(TLayerId layer, std::uint32_t clip)
{
    if (LayerBoard() == nullptr || LayerPlaying(layer) || !ReadBankEntry(layer, sbOvef, clip))
        return;
    const HSTREAM handle = CreateClipStream(layer, kPlaced);
    LayerChannels[layer] = handle;
    PlaceStream(handle, MarkerPosition(FireX, FireY));
    SetVolume(handle, PercentVolume(TBoardControl::Option1TrackBar1));
    BASS_ChannelFlags(handle, BASS_SAMPLE_LOOP, BASS_SAMPLE_LOOP);
    BASS_ChannelPlay(handle, kGoOn);
}

}  // namespace

float WaterfallVolume(int brookLevel)
{
    return static_cast<float>((brookLevel - kWaterfallFrom) * kWaterfallSteps) / kPercent;
}

void PlayBrook()
{
    if (LayerBoard() == nullptr || LayerPlaying(lyBrook))
        return;
    PlayAtTheBrook(lyBrook, kBrookClip, BASS_SAMPLE_LOOP | BASS_STREAM_AUTOFREE,
                   static_cast<float>(BrookLevel()) / kPercent);
    if (BrookLevel() > kWaterfallFrom)
        PlayWaterfall();
}

void PlayWaterfall()
{
    if (LayerBoard() == nullptr || LayerPlaying(lyWaterfall))
        return;
    PlayAtTheBrook(lyWaterfall, kWaterfallClip, BASS_STREAM_AUTOFREE, WaterfallVolume(BrookLevel()));
}

void StopWaterfall() { FreeLayer(lyWaterfall); }

void StopBrook()
{
    FreeLayer(lyBrook);
    if (LayerPlaying(lyWaterfall))
        StopWaterfall();
}

void FadeOutWater(unsigned ms)
{
    for (TLayerId layer : {lyBrook, lyWaterfall})
        if (LayerPlaying(layer))
            BASS_ChannelSlideAttribute(LayerChannels[layer], BASS_ATTRIB_VOL, 0.0f, ms);
}

void PlayFire1() { PlayFire(lyFire1, 0); }
void PlayFire2() { PlayFire(lyFire2, 1); }
void PlayFire3() { PlayFire(lyFire3, 2); }

void PlayFires()
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr || !board->Checked(TBoardControl::Option1CheckBox))
        return;
    const int intensity = board->Position(TBoardControl::Option1TrackBar);
    PlayFire1();
    if (intensity >= kTwoFires)
        PlayFire2();
    if (intensity >= kThreeFires)
        PlayFire3();
}

void StopFires()
{
    for (TLayerId fire : {lyFire1, lyFire2, lyFire3})
        FreeLayer(fire);
}
