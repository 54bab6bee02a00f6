// The chimes picker's window and its handlers.
#include "player/tools/ChimesUnit.h"

#include "platform/forms/Registry.h"
#include "player/engine/SoundBanks.h"
#include "player/tools/WindowLook.h"
#include "player/window/ChimePictures.h"
#include "player/window/Chimes.h"
#include "player/window/MainForm.h"
#include "resources/player/ChimesIds.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"

#include <algorithm>

TChimesForm* ChimesForm = nullptr;

namespace {

constexpr const char* kTemplate = "TCHIMESFORM";
constexpr const char* kClassName = "TChimesForm";
constexpr const char* kFontFace = "Arial";
constexpr int kLabelFontHeight = -11;
constexpr int kLabelMostWidth = 190;
constexpr int kChimeFileButtonGap = 2;
constexpr int kChimeFileButtonWidth = 20;
constexpr int kChimeFileButtonHeight = 16;
constexpr const char* kNoUserFile = "...";
constexpr const char* kChime00Value = "Chime00Num";
constexpr const char* kChime30Value = "Chime30Num";

int ChimeCount() { return SoundBanks[sbOvch].EntryCount; }

// A picture of the bank as a bitmap of the screen; null when it is no whole bitmap.
HBITMAP PictureBitmap(const std::vector<std::uint8_t>& file)
{
    const std::optional<std::size_t> bits = BitmapFileBitsOffset(file);
    if (!bits)
        return nullptr;
    const std::vector<std::uint8_t> info(file.begin() + sizeof(BITMAPFILEHEADER), file.begin() + *bits);
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &header->bmiHeader, CBM_INIT, file.data() + *bits, header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace

TChimesForm::TChimesForm()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    created_ = CreateFromTemplate(kTemplate);
}

TChimesForm::~TChimesForm() { FormDestroy(this); }

void TChimesForm::CreateParams(TCreateParams& params)
{
    params.WindowClassName = kClassName;
    AddWindowShadow(params);
}

void TChimesForm::AttachControls()
{
    UserFileBitBtn.Attach(*this, IDC_UserFileBitBtn);
    UserFileLabel.Attach(*this, IDC_UserFileLabel);
    ChimeFileBitBtn.Attach(*this, IDC_ChimeFileBitBtn);
    OKBitBtn.Attach(*this, IDOK);
    OKBitBtn.ModalResult = mrOk;
    FilePopupMenu.Add(FileClear);

    OnShow = [this](TObject* sender) { FormShow(sender); };
    UserFileBitBtn.OnClick = [this](TObject* sender) { ChimeBitBtnClick(sender); };
    UserFileLabel.OnClick = [this](TObject* sender) { UserFileLabelClick(sender); };
    UserFileLabel.OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        UserFileLabelMouseUp(sender, button, shift, x, y);
    };
    ChimeFileBitBtn.OnClick = [this](TObject* sender) { ChimeFileBitBtnClick(sender); };
    OKBitBtn.OnClick = [this](TObject* sender) { OKBitBtnClick(sender); };
    FileClear.OnClick = [this](TObject* sender) { FileClearClick(sender); };
}

void TChimesForm::FormCreate(TObject*)
{
    UserFileDialog.Title = GetLangString("alarmpathbrowse");
    UserFileDialog.Filter = kUserFileFilter;
    UserFileLabel.SetFont(kFontFace, kLabelFontHeight, true);
    UserFileLabel.SetFontColor(clLime);
    UserFileLabel.Cursor = crHandPoint;
    ChimeFileBitBtn.SetBounds(ChimeFileBitBtn.Left(), ChimeFileBitBtn.Top(), kChimeFileButtonWidth,
                              kChimeFileButtonHeight);

    UserFileBitBtn.SetGlyph(OvelMainForm->Chime00BitBtn.Glyph());
    MakeChimeButtons();
    // Below the grid; OK keeps its place at the bottom right.
    const int offset = ChimeGridHeight(ChimeCount());
    UserFileBitBtn.SetBounds(0, offset, kChimeButtonSize, kChimeButtonSize);
    UserFileLabel.SetTop(UserFileLabel.Top() + offset);
    OKBitBtn.SetTop(OKBitBtn.Top() + offset);
    RECT client{};
    GetClientRect(Handle(), &client);
    SetClientSize(client.right, client.bottom + offset);
    UserFileLabel.SetHint(UserFileDialog.Title);
    PlaceChimeFileBitBtn();
    SetPicture(true);
}

void TChimesForm::MakeChimeButtons()
{
    TSoundBank& bank = SoundBanks[sbOvch];
    const std::vector<std::vector<std::uint8_t>> pictures =
        bank.Handle ? ReadChimePictures(*bank.Handle, bank) : std::vector<std::vector<std::uint8_t>>{};
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const TChimeButtonPlace place = ChimeButtonPlace(static_cast<int>(i));
        auto button = std::make_unique<TBitBtn>();
        if (!button->Create(*this, place.Left, place.Top, kChimeButtonSize, kChimeButtonSize))
            return;
        button->Cursor = crHandPoint;
        button->Tag = place.Tag;
        button->OnClick = [this](TObject* sender) { ChimeBitBtnClick(sender); };
        pictures_.push_back(PictureBitmap(pictures[i]));
        button->SetGlyph(pictures_.back());
        button->Show();
        ChimeButtons.push_back(std::move(button));
    }
}

void TChimesForm::FormDestroy(TObject*)
{
    ChimeButtons.clear();
    for (HBITMAP picture : pictures_) {
        if (picture)
            DeleteObject(picture);
    }
    pictures_.clear();
}

void TChimesForm::FormShow(TObject*)
{
    SetColor(OvelMainForm->Color());
    ShowUserFile(EditedPath());
    const TCheckBox& chimeBox = EditsChime30() ? OvelMainForm->Chime30CheckBox : OvelMainForm->Chime00CheckBox;
    SetCaption(GetLangString("progname") + " - " + OvelMainForm->ChimesGroupBox.Caption() + " " + chimeBox.Caption());
    ChimeFileBitBtn.SetHint(UserFileDialog.Title);
    const std::optional<int> chosen = BuiltInChimeIndex(static_cast<int>(EditedBoardButton().Tag), ChimeCount());
    (chosen ? *ChimeButtons[static_cast<std::size_t>(*chosen)] : UserFileBitBtn).SetFocus();
    FileClear.Caption = GetLangText("clear", false);
    PlaceChimeFileBitBtn();
}

void TChimesForm::ChimeBitBtnClick(TObject* sender)
{
    const std::intptr_t tag = static_cast<const TControl*>(sender)->Tag;
    EditedBoardButton().Tag = tag;
    if (tag == 0 && EditedPath().empty()) {
        UserFileLabelClick(this);
        UserFileBitBtn.SetFocus();
    } else if (EditsChime30()) {
        OvelMainForm->Chime30TrackBarEnter(this);
    } else {
        OvelMainForm->Chime00TrackBarEnter(this);
    }
    SetPicture(false);
}

void TChimesForm::SetPicture(bool both)
{
    if (both || !EditsChime30())
        OvelMainForm->Chime00BitBtn.SetGlyph(GlyphOfTag(OvelMainForm->Chime00BitBtn.Tag));
    if (both || EditsChime30())
        OvelMainForm->Chime30BitBtn.SetGlyph(GlyphOfTag(OvelMainForm->Chime30BitBtn.Tag));
}

HBITMAP TChimesForm::GlyphOfTag(std::intptr_t tag) const
{
    const std::optional<int> index = BuiltInChimeIndex(static_cast<int>(tag), static_cast<int>(ChimeButtons.size()));
    return index ? ChimeButtons[static_cast<std::size_t>(*index)]->Glyph() : UserFileBitBtn.Glyph();
}

void TChimesForm::OKBitBtnClick(TObject*)
{
    if (OpenProductKey()) {
        if (EditsChime30())
            ProgRegistry->WriteInteger(kChime30Value, static_cast<std::int32_t>(OvelMainForm->Chime30BitBtn.Tag));
        else
            ProgRegistry->WriteInteger(kChime00Value, static_cast<std::int32_t>(OvelMainForm->Chime00BitBtn.Tag));
    }
    ProgRegistry->CloseKey();
}

void TChimesForm::UserFileLabelClick(TObject*)
{
    UserFileDialog.FileName = EditedPath();
    if (!UserFileDialog.Execute(Handle()))
        return;
    EditedPath() = UserFileDialog.FileName;
    ShowUserFile(EditedPath());
    PlaceChimeFileBitBtn();
    (EditsChime30() ? OvelMainForm->Chime30TrackBar : OvelMainForm->Chime00TrackBar).Show();
}

void TChimesForm::ChimeFileBitBtnClick(TObject* sender) { UserFileLabelClick(sender); }

void TChimesForm::FileClearClick(TObject*)
{
    EditedPath().clear();
    ShowUserFile(EditedPath());
    PlaceChimeFileBitBtn();
}

void TChimesForm::PlaceChimeFileBitBtn()
{
    ChimeFileBitBtn.SetBounds(UserFileLabel.Left() + UserFileLabel.Width() + kChimeFileButtonGap, UserFileLabel.Top(),
                              ChimeFileBitBtn.Width(), ChimeFileBitBtn.Height());
}

bool TChimesForm::EditsChime30() const { return OvelMainForm->ChimesGroupBox.Tag != 0; }

TBitBtn& TChimesForm::EditedBoardButton() const
{
    return EditsChime30() ? OvelMainForm->Chime30BitBtn : OvelMainForm->Chime00BitBtn;
}

std::string& TChimesForm::EditedPath() const { return EditsChime30() ? Chime30Path : Chime00Path; }

// The label shows the file's name, or "..." for none, at its text's width.
void TChimesForm::ShowUserFile(const std::string& path)
{
    const std::string text = path.empty() ? kNoUserFile : FileTitleOfPath(path);
    UserFileLabel.SetCaption(text);
    UserFileLabel.SetWidth(std::min(UserFileLabel.TextWidth(text), kLabelMostWidth));
    fileMenu_ = !path.empty();
}

void TChimesForm::UserFileLabelMouseUp(TObject*, TMouseButton button, TShiftState, int, int)
{
    if (button != TMouseButton::mbRight || !fileMenu_)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    FilePopupMenu.Popup(cursor.x, cursor.y, Handle());
}

void CreateChimesForm()
{
    if (!SoundBanks[sbOvch].Present)
        return;
    ChimesForm = new TChimesForm;
    if (!ChimesForm->Created())
        FreeChimesForm();
}

void FreeChimesForm()
{
    delete ChimesForm;
    ChimesForm = nullptr;
}
