#include "player/engine/LayerStreams.h"

#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"

#include <atomic>

std::array<TClipBuffer, LayerSlotCount> ClipBuffers;
std::array<HSTREAM, LayerSlotCount> LayerChannels{};
std::array<HSYNC, LayerSlotCount> LayerEndSyncs{};
std::array<HSYNC, LayerSlotCount> LayerDeviceSyncs{};
std::array<HSTREAM, LayerSlotCount> LayerMixers{};
BASS_3DVECTOR ListenerNoVector[2] = {};

int SoftwareMixing = 0;
DWORD StreamFloatFlag = 0;
int SpeakerCount = 0;

namespace {

TLayerBoard* Board = nullptr;
// Read on the sync thread and on workers, set on the GUI thread.
std::atomic<TLayerEventPoster> EventPoster{nullptr};

constexpr DWORD kEndSync = BASS_SYNC_END | BASS_SYNC_ONETIME;
constexpr DWORD kDeviceFailSync = BASS_SYNC_DEV_FAIL | BASS_SYNC_ONETIME;
constexpr int kSoftwareShift = 4;

void* LayerTag(TLayerId layer) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(layer)); }

TLayerId TaggedLayer(void* user) { return static_cast<TLayerId>(reinterpret_cast<std::uintptr_t>(user)); }

void OVEL_AUDIO_CALLBACK OnLayerEndSync(HSYNC sync, DWORD, DWORD, void* user)
{
    PostLayerEvent(TLayerEvent::End, TaggedLayer(user), sync);
}

void OVEL_AUDIO_CALLBACK OnLayerDeviceFailSync(HSYNC sync, DWORD, DWORD, void* user)
{
    PostLayerEvent(TLayerEvent::DeviceFail, TaggedLayer(user), sync);
}

void FreeStream(HSTREAM& handle)
{
    if (handle != 0)
        BASS_StreamFree(handle);
    handle = 0;
}

}  // namespace

void ClearChannel3DVectors()
{
    ListenerNoVector[0] = BASS_3DVECTOR{};
    ListenerNoVector[1] = BASS_3DVECTOR{};
}

void SetLayerBoard(TLayerBoard* board) { Board = board; }
TLayerBoard* LayerBoard() { return Board; }

void SetLayerEventPoster(TLayerEventPoster poster) { EventPoster.store(poster); }

void PostLayerEvent(TLayerEvent event, TLayerId layer, DWORD data)
{
    if (const TLayerEventPoster poster = EventPoster.load())
        poster(event, layer, data);
}

bool LayerPlaying(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING; }

bool LayerSounding(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) != BASS_ACTIVE_STOPPED; }

void ReleaseLayerStream(TLayerId layer)
{
    FreeStream(LayerChannels[layer]);
    FreeStream(LayerMixers[layer]);
    LayerEndSyncs[layer] = 0;
    LayerDeviceSyncs[layer] = 0;
}

void FreeLayer(TLayerId layer)
{
    ReleaseLayerStream(layer);
    ClipBuffers[layer] = TClipBuffer{};
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

bool ReadBankEntry(TLayerId layer, TBankId bank, std::uint32_t entry)
{
    if (!SoundBanks[bank].Present || entry >= SoundBanks[bank].TableEntries)
        return false;
    return ReadLayerClip(layer, TClipChoice{TVoiceGroup::Default, bank, entry});
}

DWORD SoftwareFlag() { return static_cast<DWORD>(SoftwareMixing) << kSoftwareShift; }

DWORD StreamFlags(DWORD kindFlags) { return SoftwareFlag() | StreamFloatFlag | kindFlags; }

HSTREAM CreateClipStream(TLayerId layer, DWORD kindFlags)
{
    const TClipBuffer& clip = ClipBuffers[layer];
    return BASS_StreamCreateFile(kFromMemory, clip.Words.data(), 0, clip.Bytes, StreamFlags(kindFlags));
}

DWORD StreamChannels(HSTREAM handle)
{
    BASS_CHANNELINFO info{};
    return BASS_ChannelGetInfo(handle, &info) ? info.chans : 0;
}

void PlaceStream(HSTREAM handle, const TClipPosition& where)
{
    const BASS_3DVECTOR position{where.x, where.y, where.z};
    BASS_ChannelSet3DPosition(handle, &position, &ListenerNoVector[0], &ListenerNoVector[1]);
    BASS_Apply3D();
}

void SetVolume(HSTREAM handle, float volume) { BASS_ChannelSetAttribute(handle, BASS_ATTRIB_VOL, volume); }

float PercentVolume(TBoardControl control) { return static_cast<float>(Board->Position(control)) / kPercent; }

TClipPosition DrawPosition(TPlacementRow row)
{
    return DrawClipPosition(row, Board->Checked(TBoardControl::CompressionCheckBox));
}

HSYNC SetLayerEndSync(TLayerId layer, HSTREAM handle)
{
    LayerEndSyncs[layer] = BASS_ChannelSetSync(handle, kEndSync, 0, OnLayerEndSync, LayerTag(layer));
    return LayerEndSyncs[layer];
}

HSYNC SetLayerDeviceSync(TLayerId layer, HSTREAM handle)
{
    LayerDeviceSyncs[layer] = BASS_ChannelSetSync(handle, kDeviceFailSync, 0, OnLayerDeviceFailSync, LayerTag(layer));
    return LayerDeviceSyncs[layer];
}

void StartLayerStream(TLayerId layer, HSTREAM handle)
{
    LayerChannels[layer] = handle;
    SetLayerEndSync(layer, handle);
    SetLayerDeviceSync(layer, handle);
    BASS_ChannelPlay(handle, kGoOn);
}
