#pragma once
// The scene part of loading: the controls that change meaning with the scene,
// from the scene's packed words or, once, from its older values, in loading
// order, gated by the sound banks installed.

#include "player/settings/SettingsLoader.h"

#include <string>

// What the board does between the rows.
enum class TSceneStep {
    HideNoFireLabel,
    // Re-attach OptionTrackBar and run its change handler, re-attach
    // Option1TrackBar1, forget the last activity position, re-attach Option1TrackBar.
    ReattachLevels,
    NatureSlot,   // the scene's nature folder slot takes NatureSubfoldersCheckBox
    MusicSlot,    // the same for the music folder
    Option5Bank,  // present: box enabled; missing: unticked, disabled, NoOption5Label shown
    Option6Bank,  // missing: box disabled, NoOption6Label shown
    FireBank,     // missing: Option1CheckBox unticked, disabled, NoFireLabel shown
    StormBank,    // missing: StormCheckBox disabled
};

// The board as the scene loader sees it. States are as the field kinds of
// the packed words read them: checked 0 or 1, the storm box 0, 1 or 2 (grayed),
// item indexes, positions and marker places.
class TSceneBoard {
public:
    virtual ~TSceneBoard() = default;
    virtual bool Present(TBankId bank) const = 0;
    virtual bool Enabled(TBoardItem item) const = 0;
    virtual void SetState(TBoardItem item, int state) = 0;
    virtual void DeleteValue(const std::string& name) = 0;
    virtual void RunStep(TSceneStep step, bool banksPresent) = 0;
};

// Loads the scene's rows (any other scene loads nothing) and keeps the
// migration's account of the scenes already migrated.
void LoadSceneOptions(TSceneBoard& board, int scene, const TPackedWords& words, const TStoredKey& key,
                      TMigration& migration);
