#pragma once
// The chimes picker: a grid of picture buttons, one per built-in chime of the
// chimes bank, and one for a sound file of the user's own. The board shows it
// beside its chimes group for the chime its ChimesGroupBox's Tag names (0 the
// :00 chime, else the :30 one). A click chooses the chime at once, as the
// board button's Tag and picture; only OK stores it. Made once at the start,
// and only when the chimes bank passed validation.

#include "platform/forms/Dialogs.h"
#include "player/window/BoardState.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

class TChimesForm : public TForm {
public:
    // Makes the window from its template; FormCreate runs inside.
    TChimesForm();
    ~TChimesForm() override;
    bool Created() const { return created_; }

    TBitBtn UserFileBitBtn;
    TLabel UserFileLabel;
    TBitBtn ChimeFileBitBtn;
    TBitBtn OKBitBtn;
    TPopupMenu FilePopupMenu;
    TMenuItem FileClear;
    // Button i chooses built-in chime i; its Tag is i + 1.
    std::vector<std::unique_ptr<TBitBtn>> ChimeButtons;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormDestroy(TObject* sender);
    // Every picture button and the user-file button.
    void ChimeBitBtnClick(TObject* sender);
    // The board's chime buttons take the pictures their Tags name: both, or
    // the edited one.
    void SetPicture(bool both);
    void OKBitBtnClick(TObject* sender);
    void UserFileLabelClick(TObject* sender);
    void ChimeFileBitBtnClick(TObject* sender);
    void FileClearClick(TObject* sender);
    void PlaceChimeFileBitBtn();

protected:
    void AttachControls() override;
    void CreateParams(TCreateParams& params) override;

private:
    void MakeChimeButtons();
    bool EditsChime30() const;
    TBitBtn& EditedBoardButton() const;
    std::string& EditedPath() const;
    HBITMAP GlyphOfTag(std::intptr_t tag) const;
    void ShowUserFile(const std::string& path);
    void UserFileLabelMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    // The board's dialog for sound files will serve here once it has one.
    TOpenDialog UserFileDialog;
    std::vector<HBITMAP> pictures_;  // the picture buttons' glyphs, freed with them
    bool fileMenu_ = false;          // the label offers FilePopupMenu while it shows a file
    bool created_ = false;
};

extern TChimesForm* ChimesForm;

// The user's files of the two chimes; empty for none.

// The program block's: the picker with the board, only when the chimes bank
// is there, and its end.
void CreateChimesForm();
void FreeChimesForm();
