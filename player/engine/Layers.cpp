#include "player/engine/Layers.h"

#include "player/engine/ClipPlacement.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/LayerChoices.h"
#include "player/engine/SoundBanks.h"
#include "support/Random.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <utility>

std::array<TClipBuffer, LayerSlotCount> ClipBuffers;
std::array<HSTREAM, LayerSlotCount> LayerChannels{};
std::array<HSYNC, LayerSlotCount> LayerEndSyncs{};
std::array<HSYNC, LayerSlotCount> LayerDeviceSyncs{};
BASS_3DVECTOR ListenerNoVector[2] = {};

int SoftwareMixing = 0;
DWORD StreamFloatFlag = 0;
int SpeakerCount = 0;

bool AmbienceClip1 = false;
bool AmbienceClip2 = false;
bool AmbienceClip3 = false;
bool Option6Clip1 = false;
bool Option6Clip2 = false;
bool Option6Preview = false;
int RainFreq = 1024;

namespace {

TLayerBoard* Board = nullptr;
// Read on the sync thread, set on the GUI thread.
std::atomic<TLayerEventPoster> EventPoster{nullptr};
TDeviceFailHandler DeviceFailHandler = nullptr;

constexpr DWORD kEndSync = BASS_SYNC_END | BASS_SYNC_ONETIME;
constexpr DWORD kDeviceFailSync = BASS_SYNC_DEV_FAIL | BASS_SYNC_ONETIME;
constexpr BOOL kFromMemory = 1;
constexpr BOOL kGoOn = 0;  // play on from where the stream stands
constexpr int kSoftwareShift = 4;
constexpr int kSwapPriority = 2;
constexpr float kPercent = 100.0f;
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

void* LayerTag(TLayerId layer) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(layer)); }

TLayerId TaggedLayer(void* user) { return static_cast<TLayerId>(reinterpret_cast<std::uintptr_t>(user)); }

void PostLayerEvent(TLayerEvent event, HSYNC sync, void* user)
{
    if (const TLayerEventPoster poster = EventPoster.load())
        poster(event, TaggedLayer(user), sync);
}

void OVEL_AUDIO_CALLBACK OnLayerEndSync(HSYNC sync, DWORD, DWORD, void* user)
{
    PostLayerEvent(TLayerEvent::End, sync, user);
}

void OVEL_AUDIO_CALLBACK OnLayerDeviceFailSync(HSYNC sync, DWORD, DWORD, void* user)
{
    PostLayerEvent(TLayerEvent::DeviceFail, sync, user);
}

bool LayerPlaying(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING; }

// Whatever its state, the stream may still read the buffer: it goes first.
void ReleaseLayerStream(TLayerId layer)
{
    if (LayerChannels[layer] != 0)
        BASS_StreamFree(LayerChannels[layer]);
    LayerChannels[layer] = 0;
    LayerEndSyncs[layer] = 0;
    LayerDeviceSyncs[layer] = 0;
}

bool ReadLayerClip(TLayerId layer, const TClipChoice& choice)
{
    ReleaseLayerStream(layer);
    TSoundBank& bank = SoundBanks[choice.Bank];
    TClipBuffer& clip = ClipBuffers[layer];
    if (!bank.Present || !bank.Handle || !ReadEntryClip(*bank.Handle, bank, choice.Entry, clip))
        return false;
    UnscrambleClip(bank.Kind, ClipSoundNumber(choice.Bank, choice.Entry, bank.EntryCount), clip);
    return true;
}

HSTREAM CreateClipStream(TLayerId layer, DWORD kindFlags)
{
    const TClipBuffer& clip = ClipBuffers[layer];
    const DWORD flags = (static_cast<DWORD>(SoftwareMixing) << kSoftwareShift) | StreamFloatFlag | kindFlags;
    return BASS_StreamCreateFile(kFromMemory, clip.Words.data(), 0, clip.Bytes, flags);
}

TLayerStream CreateLayerStream(TLayerId layer, TStreamKind kind)
{
    constexpr DWORD kPlain = BASS_STREAM_AUTOFREE;
    constexpr DWORD kPlaced = BASS_STREAM_AUTOFREE | BASS_SAMPLE_3D;
    if (kind == TStreamKind::Clip3D)
        return {CreateClipStream(layer, kPlaced), true};
    const HSTREAM probe = CreateClipStream(layer, kPlain);
    BASS_CHANNELINFO info{};
    if (!BASS_ChannelGetInfo(probe, &info) || info.chans != 1)
        return {probe, false};
    BASS_StreamFree(probe);
    return {CreateClipStream(layer, kPlaced), true};
}

void PlaceStream(HSTREAM handle, const TClipPosition& where)
{
    const BASS_3DVECTOR position{where.x, where.y, where.z};
    BASS_ChannelSet3DPosition(handle, &position, &ListenerNoVector[0], &ListenerNoVector[1]);
    BASS_Apply3D();
}

void SetVolume(HSTREAM handle, float volume) { BASS_ChannelSetAttribute(handle, BASS_ATTRIB_VOL, volume); }

float BackgroundVolume() { return static_cast<float>(Board->Position(TBoardControl::Option1TrackBar1)) / kPercent; }

float StereoBirdVolume()
{
    return static_cast<float>(Random(kStereoBirdVolumeSteps) + kStereoBirdVolumeLow) / kPercent;
}

TClipPosition DrawPosition(TPlacementRow row)
{
    return DrawClipPosition(row, Board->Checked(TBoardControl::CompressionCheckBox));
}

TClipPosition PreviewPosition(bool option6Voice)
{
    const float distance = option6Voice
                               ? kPreviewFarthest - static_cast<float>(Board->Position(TBoardControl::Option6TrackBar))
                               : kPreviewOtherVoice;
    return {distance, 0.0f, distance};
}

void StartLayerStream(TLayerId layer, HSTREAM handle)
{
    LayerChannels[layer] = handle;
    LayerEndSyncs[layer] = BASS_ChannelSetSync(handle, kEndSync, 0, OnLayerEndSync, LayerTag(layer));
    LayerDeviceSyncs[layer] = BASS_ChannelSetSync(handle, kDeviceFailSync, 0, OnLayerDeviceFailSync, LayerTag(layer));
    BASS_ChannelPlay(handle, kGoOn);
}

// A layer that plays on is left alone: its clip chains on by itself.
bool LayerReady(TLayerId layer) { return Board != nullptr && !LayerPlaying(layer); }

void PlayBackground(TLayerId layer, TBankId bank, TPlacementRow row, bool boardVolume)
{
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
    if (!LayerReady(state.Layer))
        return;
    const bool partnerOnOption6 = state.PartnerOption6 != nullptr && *state.PartnerOption6;
    const std::optional<TClipChoice> choice = ChooseBirdClip(state.Strand, *Board, SoundBanks, partnerOnOption6);
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
    if (!LayerReady(layer))
        return;
    const bool preview = Option6Preview;
    const std::optional<TClipChoice> choice = ChooseNightVoice(*Board, SoundBanks, preview);
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

// What each layer's END does on the GUI thread; the slots of layers that do
// not chain have none.
using TEndWork = void (*)();
const std::array<TEndWork, LayerSlotCount> kEndWork = {
    PlayDayBackground1,   PlayDayBackground2,   OnBirds1End,      OnBirds2End,      PlayBirds3,
    PlayNightBackground1, PlayNightBackground2, PlayNightVoices1, PlayNightVoices2,
};

void DispatchLayerEnd(TLayerId layer, HSYNC sync)
{
    if (!ValidLayer(layer) || sync == 0 || LayerEndSyncs[layer] != sync)
        return;
    LayerEndSyncs[layer] = 0;
    if (kEndWork[layer] != nullptr)
        kEndWork[layer]();
}

void DispatchLayerDeviceFail(TLayerId layer, HSYNC sync)
{
    if (!ValidLayer(layer) || sync == 0 || LayerDeviceSyncs[layer] != sync)
        return;
    LayerDeviceSyncs[layer] = 0;
    if (DeviceFailHandler != nullptr)
        DeviceFailHandler();
}

constexpr int kTwoBirdStrands = 1;
constexpr int kThreeBirdStrands = 2;

}  // namespace

void ClearChannel3DVectors()
{
    ListenerNoVector[0] = BASS_3DVECTOR{};
    ListenerNoVector[1] = BASS_3DVECTOR{};
}

void SetLayerBoard(TLayerBoard* board) { Board = board; }

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
    if (Board == nullptr)
        return;
    const int birdActivity = Board->Position(TBoardControl::Option1TrackBar);
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

void StopLayers()
{
    for (int i = 0; i < LayerSlotCount; ++i) {
        const auto layer = static_cast<TLayerId>(i);
        ReleaseLayerStream(layer);
        ClipBuffers[layer] = TClipBuffer{};
    }
    AmbienceClip1 = AmbienceClip2 = AmbienceClip3 = false;
    Option6Clip1 = Option6Clip2 = false;
}

void SetLayerEventPoster(TLayerEventPoster poster) { EventPoster.store(poster); }

void SetDeviceFailHandler(TDeviceFailHandler handler) { DeviceFailHandler = handler; }

void DispatchLayerEvent(TLayerEvent event, TLayerId layer, HSYNC sync)
{
    if (event == TLayerEvent::End)
        DispatchLayerEnd(layer, sync);
    else
        DispatchLayerDeviceFail(layer, sync);
}
