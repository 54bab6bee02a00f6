#include "player/engine/ChimeSound.h"

#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/LayerStreams.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/UserFolders.h"
#include "player/engine/UserSounds.h"

#include <optional>

HSTREAM ChimeChannel = 0;

namespace {

TClipBuffer ChimeClip;

void Sound(HSTREAM channel, float volume)
{
    ChimeChannel = channel;
    if (channel == 0)
        return;
    SetChimeVolume(volume);
    BASS_ChannelPlay(channel, kGoOn);
}

}  // namespace

bool ChimePlaying() { return BASS_ChannelIsActive(ChimeChannel) == BASS_ACTIVE_PLAYING; }

void StopChime()
{
    if (ChimeChannel != 0)
        BASS_StreamFree(ChimeChannel);
    ChimeChannel = 0;
}

void SetChimeVolume(float volume) { BASS_ChannelSetAttribute(ChimeChannel, BASS_ATTRIB_VOL, volume); }

// The bank holds the picker's N pictures first, then the N chimes.
void PlayBuiltInChime(int tag, float volume)
{
    StopChime();
    TSoundBank& bank = SoundBanks[sbOvch];
    if (!bank.Present || !bank.Handle || tag < 1 || tag > bank.EntryCount)
        return;
    const std::uint32_t entry = bank.EntryCount + static_cast<std::uint32_t>(tag) - 1;
    if (!ReadEntryClip(*bank.Handle, bank, entry, ChimeClip))
        return;
    UnscrambleClip(bank.Kind, ClipSoundNumber(sbOvch, entry, bank.EntryCount), ChimeClip);
    Sound(BASS_StreamCreateFile(kFromMemory, ChimeClip.Words.data(), 0, ChimeClip.Bytes,
                                SoftwareFlag() | BASS_STREAM_AUTOFREE | StreamFloatFlag),
          volume);
}

void PlayChimeFile(const std::string& path, float volume)
{
    StopChime();
    if (const std::optional<TSoundSource> source = PickPlaylistEntry(path))
        Sound(OpenSoundSource(*source, SoftwareFlag() | BASS_STREAM_AUTOFREE), volume);
}
