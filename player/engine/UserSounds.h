#pragma once
// Two occasional layers: music (guitar, accordion and flute clips of the
// banks, or a file of the user's music folder) and the user's own nature
// sounds. Neither chains by itself: each plays one sound when it is asked and
// its chance comes, and waits to be asked again. The user's files and
// addresses open on a worker, so that a slow one never holds the board.

#include "platform/audio/bass.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"

// "Auto" of each user-file layer: 0 or 1; shifted left by 1 it is
// BASS_SAMPLE_MONO, so that every file of the layer is decoded to mono and
// placed in the space.
extern int NatureAuto;
extern int MusicAuto;

enum TMusicKind : int {
    mkNone,
    mkGuitar,
    mkAccordion,
    mkFlute,
    mkMusicFolder,
};
// The source of the music sound that plays last.
extern int MusicKind;

// A file stream, or a URL stream for an address.
HSTREAM OpenSoundSource(const TSoundSource& source, DWORD flags);

// A sound of the scene's nature folder, by the folder's rarity unless preview.
void PlayNatureFolder(bool preview);
// Mode 0 chooses a source by the board's boxes and rarities; 1 to 4 force it.
void PlayMusic(int mode);

// A placed user file gives back the layer's volume control when it ends.
void RestoreMusicFolderControls();
void RestoreNatureFolderControls();

// The board switches the layer off: its sound goes, whether it plays, waits
// for its bytes or is still opening.
void StopNatureFolder();
// The same for the music of that kind only, with its clip.
void StopMusicKind(int kind);

// Sounds still opening will be freed when they come: the layers have stopped.
void ForgetSoundOpens();
// On the GUI thread, for the layer's request that a worker has finished.
void FinishSoundOpen(TLayerId layer, DWORD request);
// Workers still opening (tests wait for none).
int SoundOpensRunning();
