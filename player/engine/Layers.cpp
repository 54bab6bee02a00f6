#include "player/engine/Layers.h"

#include "player/engine/FlyBys.h"
#include "player/engine/LayerStreams.h"
#include "player/engine/RainPhases.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/UserSounds.h"
#include "player/window/Scenes.h"
#include "support/Random.h"

#include <optional>
#include <utility>

bool AmbienceClip1 = false;
bool AmbienceClip2 = false;
bool AmbienceClip3 = false;
bool Option6Clip1 = false;
bool Option6Clip2 = false;
bool Option6Preview = false;

namespace {

TDeviceFailHandler DeviceFailHandler = nullptr;
TRainDrawHandler RainDrawHandler = nullptr;

constexpr int kSwapPriority = 2;
// Unplaced stereo birds are not softened by distance: 0.16 to 0.47.
constexpr int kStereoBirdVolumeSteps = 32;
constexpr int kStereoBirdVolumeLow = 16;
// Where a night voice sits while the user sets the Option6 nearness.
constexpr float kPreviewFarthest = 100.0f;
constexpr float kPreviewOtherVoice = 2.0f;

enum class TStreamKind {
    Clip3D,       // always a 3D stream
    ProbeThen3D,  // a mono clip becomes a 3D stream, a stereo one plays unplaced
};

struct TLayerStream {
    HSTREAM Handle = 0;
    bool Placed = false;
};

bool ValidLayer(TLayerId layer) { return layer >= 0 && layer < LayerSlotCount; }

TLayerStream CreateLayerStream(TLayerId layer, TStreamKind kind)
{
    constexpr DWORD kPlain = BASS_STREAM_AUTOFREE;
    constexpr DWORD kPlaced = BASS_STREAM_AUTOFREE | BASS_SAMPLE_3D;
    if (kind == TStreamKind::Clip3D)
        return {CreateClipStream(layer, kPlaced), true};
    const HSTREAM probe = CreateClipStream(layer, kPlain);
    if (StreamChannels(probe) != 1)
        return {probe, false};
    BASS_StreamFree(probe);
    return {CreateClipStream(layer, kPlaced), true};
}

float BackgroundVolume() { return PercentVolume(TBoardControl::Option1TrackBar1); }

float StereoBirdVolume()
{
    return static_cast<float>(Random(kStereoBirdVolumeSteps) + kStereoBirdVolumeLow) / kPercent;
}

TClipPosition PreviewPosition(bool option6Voice)
{
    const float distance =
        option6Voice ? kPreviewFarthest - static_cast<float>(LayerBoard()->Position(TBoardControl::Option6TrackBar))
                     : kPreviewOtherVoice;
    return {distance, 0.0f, distance};
}

// A layer that plays on is left alone: its clip chains on by itself.
bool LayerReady(TLayerId layer) { return LayerBoard() != nullptr && !LayerPlaying(layer); }

// Background layer 1 gives music and rain their chance, layer 2 the nature folder.
void BackgroundCompanions(TLayerId layer)
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr)
        return;
    if (layer == lyDayBackground1 || layer == lyNightBackground1) {
        PlayMusic(0);
        if (board->Checked(TBoardControl::RainCheckBox) && Random(RainFreq) == 0 && RainDrawHandler != nullptr)
            RainDrawHandler();
    } else if (board->Checked(TBoardControl::NatureFolderCheckBox)) {
        PlayNatureFolder(false);
    }
}

void PlayBackground(TLayerId layer, TBankId bank, TPlacementRow row, bool boardVolume)
{
    BackgroundCompanions(layer);
    if (!LayerReady(layer))
        return;
    const std::optional<TClipChoice> choice = ChooseBankClip(SoundBanks, bank);
    if (!choice || !ReadLayerClip(layer, *choice))
        return;
    const TLayerStream stream = CreateLayerStream(layer, TStreamKind::Clip3D);
    if (boardVolume)
        SetVolume(stream.Handle, BackgroundVolume());
    PlaceStream(stream.Handle, DrawPosition(row));
    StartLayerStream(layer, stream.Handle);
}

struct TBirdStrandState {
    TBirdStrand Strand;
    TLayerId Layer;
    bool& AmbienceClip;
    bool* Option6Clip;  // null for the strand without an Option6 partner
    const bool* PartnerOption6;
};

void PlayBirdStrand(const TBirdStrandState& state)
{
    if (state.Strand == TBirdStrand::Birds1)
        PlayFlight(0);
    if (!LayerReady(state.Layer))
        return;
    const bool partnerOnOption6 = state.PartnerOption6 != nullptr && *state.PartnerOption6;
    const std::optional<TClipChoice> choice = ChooseBirdClip(state.Strand, *LayerBoard(), SoundBanks, partnerOnOption6);
    state.AmbienceClip = choice && choice->Group == TVoiceGroup::Ambience;
    if (state.Option6Clip != nullptr)
        *state.Option6Clip = choice && choice->Group == TVoiceGroup::Option6;
    if (!choice || !ReadLayerClip(state.Layer, *choice))
        return;
    // Strand 3 would be 3D only, but a stereo clip cannot be placed: all strands probe.
    const TLayerStream stream = CreateLayerStream(state.Layer, TStreamKind::ProbeThen3D);
    if (stream.Placed) {
        if (state.AmbienceClip)
            SetVolume(stream.Handle, BackgroundVolume());
        PlaceStream(stream.Handle, DrawPosition(prBirds));
    } else {
        if (state.Strand != TBirdStrand::Birds3 && Random(2) == 0)
            BASS_ChannelSetDSP(stream.Handle, SwapStereoDSP, nullptr, kSwapPriority);
        SetVolume(stream.Handle, StereoBirdVolume());
    }
    StartLayerStream(state.Layer, stream.Handle);
}

void PlayNightVoiceStrand(TLayerId layer)
{
    if (layer == lyNightVoices1)
        PlayFlight(0);
    if (!LayerReady(layer))
        return;
    const bool preview = Option6Preview;
    const std::optional<TClipChoice> choice = ChooseNightVoice(*LayerBoard(), SoundBanks, preview);
    if (!choice || !ReadLayerClip(layer, *choice))
        return;
    const TLayerStream stream = CreateLayerStream(layer, TStreamKind::ProbeThen3D);
    if (stream.Placed)
        PlaceStream(stream.Handle,
                    preview ? PreviewPosition(choice->Group == TVoiceGroup::Option6) : DrawPosition(prNightVoices));
    StartLayerStream(layer, stream.Handle);
}

void OnBirds1End()
{
    Option6Clip1 = false;
    PlayBirds1();
}

void OnBirds2End()
{
    Option6Clip2 = false;
    PlayBirds2();
}

// What each layer's END does on the GUI thread; layers that do not chain
// have none.
using TEndWork = void (*)();
TEndWork EndWork(TLayerId layer)
{
    switch (layer) {
        case lyDayBackground1:
            return PlayDayBackground1;
        case lyDayBackground2:
            return PlayDayBackground2;
        case lyBirds1:
            return OnBirds1End;
        case lyBirds2:
            return OnBirds2End;
        case lyBirds3:
            return PlayBirds3;
        case lyNightBackground1:
            return PlayNightBackground1;
        case lyNightBackground2:
            return PlayNightBackground2;
        case lyNightVoices1:
            return PlayNightVoices1;
        case lyNightVoices2:
            return PlayNightVoices2;
        case lyMusic:
            return RestoreMusicFolderControls;
        case lyNature:
            return RestoreNatureFolderControls;
        default:
            return nullptr;
    }
}

void DispatchLayerEnd(TLayerId layer, HSYNC sync)
{
    if (sync == 0 || LayerEndSyncs[layer] != sync)
        return;
    LayerEndSyncs[layer] = 0;
    if (const TEndWork work = EndWork(layer))
        work();
}

void DispatchLayerDeviceFail(TLayerId layer, HSYNC sync)
{
    if (sync == 0 || LayerDeviceSyncs[layer] != sync)
        return;
    LayerDeviceSyncs[layer] = 0;
    if (DeviceFailHandler != nullptr)
        DeviceFailHandler();
}

constexpr int kTwoBirdStrands = 1;
constexpr int kThreeBirdStrands = 2;

// The layers that rain takes out of their chains, in this order.
constexpr TLayerId kRainSilenced[] = {lyDayBackground1,   lyDayBackground2, lyNightBackground1,
                                      lyNightBackground2, lyBirds1,         lyBirds2,
                                      lyBirds3,           lyNightVoices1,   lyNightVoices2};
constexpr TLayerId kFires[] = {lyFire1, lyFire2, lyFire3};

void SlideFires(float volume, unsigned ms)
{
    for (TLayerId fire : kFires)
        if (LayerPlaying(fire))
            BASS_ChannelSlideAttribute(LayerChannels[fire], BASS_ATTRIB_VOL, volume, ms);
}

}  // namespace

void OVEL_AUDIO_CALLBACK SwapStereoDSP(HDSP, DWORD, void* buffer, DWORD length, void*)
{
    auto* samples = static_cast<float*>(buffer);
    const auto count = static_cast<DWORD>(length / sizeof(float));
    for (DWORD i = 0; i + 1 < count; i += 2)
        std::swap(samples[i], samples[i + 1]);
}

void PlayDayBackground1() { PlayBackground(lyDayBackground1, sbOvda, prDayBackground, true); }
void PlayDayBackground2() { PlayBackground(lyDayBackground2, sbOvda, prDayBackground, true); }
void PlayNightBackground1() { PlayBackground(lyNightBackground1, sbOvna, prNightBackground, false); }
void PlayNightBackground2() { PlayBackground(lyNightBackground2, sbOvna, prNightBackground, false); }

void PlayBirds1() { PlayBirdStrand({TBirdStrand::Birds1, lyBirds1, AmbienceClip1, &Option6Clip1, &Option6Clip2}); }
void PlayBirds2() { PlayBirdStrand({TBirdStrand::Birds2, lyBirds2, AmbienceClip2, &Option6Clip2, &Option6Clip1}); }
void PlayBirds3() { PlayBirdStrand({TBirdStrand::Birds3, lyBirds3, AmbienceClip3, nullptr, nullptr}); }

void PlayNightVoices1() { PlayNightVoiceStrand(lyNightVoices1); }
void PlayNightVoices2() { PlayNightVoiceStrand(lyNightVoices2); }

void StartDayLayers()
{
    PlayDayBackground1();
    PlayDayBackground2();
    if (LayerBoard() == nullptr)
        return;
    const int birdActivity = LayerBoard()->Position(TBoardControl::Option1TrackBar);
    if (birdActivity < kTwoBirdStrands)
        return;
    PlayBirds1();
    PlayBirds2();
    if (birdActivity >= kThreeBirdStrands)
        PlayBirds3();
}

void StartNightLayers()
{
    PlayNightBackground1();
    PlayNightBackground2();
    PlayNightVoices1();
    PlayNightVoices2();
}

void RemoveLayerEndSync(TLayerId layer)
{
    if (!ValidLayer(layer) || LayerEndSyncs[layer] == 0)
        return;
    BASS_ChannelRemoveSync(LayerChannels[layer], LayerEndSyncs[layer]);
    LayerEndSyncs[layer] = 0;
}

void FadeOutSceneForRain(unsigned ms)
{
    for (TLayerId layer : kRainSilenced)
        if (LayerPlaying(layer))
            RemoveLayerEndSync(layer);
    SlideFires(0.0f, ms);
}

void FadeInSceneAfterRain(unsigned ms)
{
    TLayerBoard* board = LayerBoard();
    if (board == nullptr)
        return;
    if (board->ItemIndex(TBoardControl::OvelComboBox) != kDayScene) {
        StartNightLayers();
        if (board->Checked(TBoardControl::Option1CheckBox))
            SlideFires(PercentVolume(TBoardControl::Option1TrackBar1), ms);
    } else {
        StartDayLayers();
    }
}

void StopLayers()
{
    ForgetSoundOpens();
    for (int i = 0; i < LayerSlotCount; ++i)
        FreeLayer(static_cast<TLayerId>(i));
    AmbienceClip1 = AmbienceClip2 = AmbienceClip3 = false;
    Option6Clip1 = Option6Clip2 = false;
}

void SetRainDrawHandler(TRainDrawHandler handler) { RainDrawHandler = handler; }

void SetDeviceFailHandler(TDeviceFailHandler handler) { DeviceFailHandler = handler; }

void DispatchLayerEvent(TLayerEvent event, TLayerId layer, DWORD data)
{
    if (!ValidLayer(layer))
        return;
    switch (event) {
        case TLayerEvent::End:
            DispatchLayerEnd(layer, data);
            break;
        case TLayerEvent::DeviceFail:
            DispatchLayerDeviceFail(layer, data);
            break;
        case TLayerEvent::Opened:
            FinishSoundOpen(layer, data);
            break;
    }
}
