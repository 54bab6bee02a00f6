// The board's layer switches, the two user-folder groups, the day and night
// alternation, the mute-time switch and the hints of the rarity combos and
// the fly-by and night-voice trackbars. Each handler first brings its group's
// look in line; while settings are being loaded that is all it does.
// Before the board's header: the settings name their items as the board names
// its globals, and an item declared after a global would shadow it.
#include "player/settings/RegistryValues.h"
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"
#include "player/window/FolderBrowse.h"
#include "support/LangUnit.h"

namespace {

// RainFreq by the rain rarity: very seldom, seldom, often, very often, endless.
constexpr int kRainFrequencies[] = {512, 256, 96, 32, 16};
constexpr int kBrowseButtonGap = 8;
constexpr const char* kNoAlternationTime = "----------------------";

enum TAlternation : int {
    amBySun = 4,
    amAtSetTimes = 5,
};

std::string FolderBrowseTitle() { return GetLangText("soundfolderpathbrowse", false); }

}  // namespace

void TOvelMainForm::AttachLayerHandlers()
{
    Bind(OptionCheckBox.OnClick, &TOvelMainForm::OptionCheckBoxClick);
    Bind(RainCheckBox.OnClick, &TOvelMainForm::RainCheckBoxClick);
    Bind(RainComboBox.OnChange, &TOvelMainForm::RainComboBoxChange);
    Bind(Option1CheckBox.OnClick, &TOvelMainForm::Option1CheckBoxClick);
    Bind(Option2CheckBox.OnClick, &TOvelMainForm::Option2CheckBoxClick);
    Bind(Option4CheckBox.OnClick, &TOvelMainForm::Option4CheckBoxClick);
    Bind(Option5CheckBox.OnClick, &TOvelMainForm::Option5CheckBoxClick);
    Bind(Option6CheckBox.OnClick, &TOvelMainForm::Option6CheckBoxClick);
    Bind(Option3CheckBox.OnClick, &TOvelMainForm::Option3CheckBoxClick);
    Bind(Option7CheckBox.OnClick, &TOvelMainForm::Option7CheckBoxClick);
    Bind(WindCheckBox.OnClick, &TOvelMainForm::WindCheckBoxClick);
    Bind(NatureFolderCheckBox.OnClick, &TOvelMainForm::NatureFolderCheckBoxClick);
    Bind(MusicFolderCheckBox.OnClick, &TOvelMainForm::MusicFolderCheckBoxClick);
    Bind(NatureFolderBitBtn.OnClick, &TOvelMainForm::NatureFolderBitBtnClick);
    Bind(MusicFolderBitBtn.OnClick, &TOvelMainForm::MusicFolderBitBtnClick);
    Bind(GuitarCheckBox.OnClick, &TOvelMainForm::GuitarCheckBoxClick);
    Bind(HaCheckBox.OnClick, &TOvelMainForm::HaCheckBoxClick);
    Bind(FluteCheckBox.OnClick, &TOvelMainForm::FluteCheckBoxClick);
    Bind(AlternateCheckBox.OnClick, &TOvelMainForm::AlternateCheckBoxClick);
    Bind(AlternateComboBox.OnChange, &TOvelMainForm::AlternateComboBoxChange);
    Bind(MuteTimeCheckBox.OnClick, &TOvelMainForm::MuteTimeCheckBoxClick);
    Bind(Option6TrackBar.OnEnter, &TOvelMainForm::Option6TrackBarEnter);
    Bind(Option6TrackBar.OnExit, &TOvelMainForm::Option6TrackBarExit);
    Bind(Option6TrackBar.OnChange, &TOvelMainForm::Option6TrackBarChange);
    Bind(NFBTrackBar.OnChange, &TOvelMainForm::NFBTrackBarChange);
    Bind(NFITrackBar.OnChange, &TOvelMainForm::NFITrackBarChange);
    for (TComboBox* combo : {&NFBComboBox, &GuitarComboBox})
        Bind(combo->OnChange, &TOvelMainForm::NFBComboBoxChange);
    for (TComboBox* combo : {&NFIComboBox, &FluteComboBox, &HaComboBox})
        Bind(combo->OnChange, &TOvelMainForm::NFIComboBoxChange);
    Bind(NatureFolderComboBox.OnChange, &TOvelMainForm::NatureFolderComboBoxChange);
}

void TOvelMainForm::OptionCheckBoxClick(TObject*)
{
    KeepOffWhenDisabled(OptionCheckBox);
    const bool brook = OptionCheckBox.Checked();
    OShape.SetVisible(brook);
    OBackShape.SetVisible(brook);
    OptionTrackBar.SetEnabled(brook);
}

void TOvelMainForm::RainCheckBoxClick(TObject*)
{
    KeepOffWhenDisabled(RainCheckBox);
    const bool rain = RainCheckBox.Checked();
    StormCheckBox.SetVisible(rain);
    RainBitBtn.SetEnabled(rain);
    SetGreyed(RainComboBox, rain);
    if (rain)
        RainComboBoxChange(&RainCheckBox);
}

void TOvelMainForm::RainComboBoxChange(TObject*)
{
    const int item = RainComboBox.ItemIndex();
    if (item < 0 || item >= static_cast<int>(std::size(kRainFrequencies)))
        return;
    RainFreq = kRainFrequencies[item];
    RainComboBox.SetHint(RareHint(item));
}

void TOvelMainForm::Option1CheckBoxClick(TObject*)
{
    if (!Night())
        return;
    KeepOffWhenDisabled(Option1CheckBox);
    const bool fire = Option1CheckBox.Checked();
    Option1TrackBar.SetEnabled(fire);
    Option1TrackBar1.SetEnabled(fire);
    O1Shape.SetVisible(fire);
    O1BackShape.SetVisible(fire);
    if (LoadingSettings || !fire)
        return;
    LastOption1Position = -1;
    Option1TrackBarChange(&Option1CheckBox);
}

void TOvelMainForm::Option2CheckBoxClick(TObject*) { GreyWithBox(Option2CheckBox, Option2ComboBox); }

void TOvelMainForm::Option4CheckBoxClick(TObject*) { GreyWithBox(Option4CheckBox, Option4ComboBox); }

void TOvelMainForm::Option5CheckBoxClick(TObject*) { GreyWithBox(Option5CheckBox, Option5ComboBox); }

void TOvelMainForm::Option6CheckBoxClick(TObject*)
{
    GreyWithBox(Option6CheckBox, Option6ComboBox);
    Option6TrackBar.SetVisible(Option6CheckBox.Checked());
}

void TOvelMainForm::GreyWithBox(TCheckBox& box, TComboBox& rarity)
{
    KeepOffWhenDisabled(box);
    SetGreyed(rarity, box.Checked());
}

void TOvelMainForm::Option3CheckBoxClick(TObject*) { FlightsOutlook(); }

void TOvelMainForm::Option7CheckBoxClick(TObject*) { FlightsOutlook(); }

void TOvelMainForm::FlightsOutlook()
{
    const struct {
        TCheckBox& Box;
        TComboBox& Rarity;
        TTrackBar& Level;
    } flights[] = {{Option3CheckBox, NFBComboBox, NFBTrackBar}, {Option7CheckBox, NFIComboBox, NFITrackBar}};
    for (const auto& flight : flights) {
        GreyWithBox(flight.Box, flight.Rarity);
        flight.Level.SetVisible(flight.Box.Checked());
    }
}

void TOvelMainForm::WindCheckBoxClick(TObject*)
{
    KeepOffWhenDisabled(WindCheckBox);
    WindVolumeTrackBar.SetEnabled(WindCheckBox.Checked());
}

bool TOvelMainForm::ShowNatureFolderName()
{
    return ShowFolderName(NatureFolderLabel, NatureFolderBitBtn, NatureFolderSlot(OvelComboBox.ItemIndex()));
}

bool TOvelMainForm::ShowMusicFolderName()
{
    return ShowFolderName(MusicFolderLabel, MusicFolderBitBtn, MusicFolderSlot(OvelComboBox.ItemIndex()));
}

// The label sizes itself to its caption and the browse button follows it.
bool TOvelMainForm::ShowFolderName(TLabel& label, TBitBtn& browse, int slot)
{
    const std::string& path = UserFolders[slot].Path;
    const std::string word = GetLangString("folder");
    label.SetCaption(path.empty() ? word + ":" : word + ": " + QuotedFolderName(path));
    FitToCaption(label, 0);
    browse.SetLeft(label.Left() + label.Width() + kBrowseButtonGap);
    OfferFolderMenu(label, !path.empty());
    return !path.empty();
}

void TOvelMainForm::NatureFolderOutlook()
{
    FolderOutlook(NatureFolderCheckBox, NatureFolderLabel, NatureFolderBitBtn, NatureSubfoldersCheckBox,
                  NatureAutoAllocCheckBox, AutoNatureLabel, NatureFolderTrackBar, NatureFolderComboBox,
                  ShowNatureFolderName(), NatureFolderSlot(OvelComboBox.ItemIndex()));
}

void TOvelMainForm::MusicOutlook()
{
    FolderOutlook(MusicFolderCheckBox, MusicFolderLabel, MusicFolderBitBtn, MusicSubfoldersCheckBox,
                  MusicAutoAllocCheckBox, AutoMusicLabel, MusicFolderTrackBar, MusicFolderComboBox,
                  ShowMusicFolderName(), MusicFolderSlot(OvelComboBox.ItemIndex()));
    const struct {
        TCheckBox& Box;
        TComboBox& Rarity;
    } instruments[] = {{GuitarCheckBox, GuitarComboBox}, {HaCheckBox, HaComboBox}, {FluteCheckBox, FluteComboBox}};
    for (const auto& instrument : instruments)
        GreyWithBox(instrument.Box, instrument.Rarity);
}

void TOvelMainForm::FolderOutlook(TCheckBox& box, TLabel& label, TBitBtn& browse, TCheckBox& subfolders,
                                  TCheckBox& autoAlloc, TLabel& autoLabel, TTrackBar& level, TComboBox& rarity,
                                  bool folderSet, int slot)
{
    if (folderSet) {
        level.SetVisible(box.Checked() && !autoAlloc.Checked());
    } else {
        UncheckQuietly(box);
        autoLabel.SetEnabled(false);
        level.Hide();
    }
    const bool on = box.Checked();
    label.SetEnabled(on);
    browse.SetVisible(on);
    subfolders.SetVisible(on && UserFolders[slot].HasSubfolders);
    autoAlloc.SetVisible(on);
    SetGreyed(rarity, on);
    if (!on)
        autoLabel.Hide();
}

void TOvelMainForm::NatureFolderCheckBoxClick(TObject* sender)
{
    if (BoardStarting)
        return;
    if (NatureFolderCheckBox.Checked() && !ShowNatureFolderName())
        NatureFolderBitBtnClick(sender);
    else
        NatureFolderOutlook();
}

void TOvelMainForm::MusicFolderCheckBoxClick(TObject* sender)
{
    if (BoardStarting)
        return;
    if (MusicFolderCheckBox.Checked() && !ShowMusicFolderName())
        MusicFolderBitBtnClick(sender);
    else
        MusicOutlook();
}

void TOvelMainForm::NatureFolderBitBtnClick(TObject*)
{
    BrowseSceneFolder(NatureFolderSlot(OvelComboBox.ItemIndex()), OvelComboBox.Text() + ".", NatureSubfoldersCheckBox);
    NatureFolderOutlook();
}

void TOvelMainForm::MusicFolderBitBtnClick(TObject*)
{
    BrowseSceneFolder(MusicFolderSlot(OvelComboBox.ItemIndex()), OvelComboBox.Text() + ". " + MusicGroupBox.Hint() + ".",
                      MusicSubfoldersCheckBox);
    MusicOutlook();
}

void TOvelMainForm::BrowseSceneFolder(int slot, const std::string& firstLine, TCheckBox& subfolders)
{
    if (BrowseForFolder(firstLine + "\r\n" + FolderBrowseTitle(), "", UserFolders[slot].Path))
        subfolders.SetVisible(UserFolders[slot].HasSubfolders);
}

void TOvelMainForm::GuitarCheckBoxClick(TObject*) { MusicOutlook(); }

void TOvelMainForm::HaCheckBoxClick(TObject*) { MusicOutlook(); }

void TOvelMainForm::FluteCheckBoxClick(TObject*) { MusicOutlook(); }

void TOvelMainForm::AlternateCheckBoxClick(TObject*)
{
    const bool alternating = AlternateCheckBox.Checked();
    OvelComboBox.SetVisible(!alternating);
    OvelLabel.SetVisible(alternating);
    SetGreyed(AlternateComboBox, alternating);
    DayOnDateTimePicker.SetEnabled(alternating);
    NightOnDateTimePicker.SetEnabled(alternating);
    AlternateComboBoxChange(&AlternateCheckBox);
}

void TOvelMainForm::AlternateComboBoxChange(TObject*)
{
    const int mode = AlternateComboBox.ItemIndex();
    const bool timed = AlternateCheckBox.Checked() && (mode == amBySun || mode == amAtSetTimes);
    DayOnDateTimePicker.SetEnabled(timed);
    NightOnDateTimePicker.SetEnabled(timed);
    DayOnImage.SetVisible(timed);
    NightOnImage.SetVisible(timed);
    if (!timed) {
        DayOnLabel.SetCaption(kNoAlternationTime);
        NightOnLabel.SetCaption(kNoAlternationTime);
    } else {
        const bool bySun = mode == amBySun;
        DayOnLabel.SetCaption(GetLangString(bySun ? "sunrisetoday" : "dayovelon"));
        NightOnLabel.SetCaption(GetLangString(bySun ? "sunsettoday" : "nightovelon"));
    }
}

void TOvelMainForm::MuteTimeCheckBoxClick(TObject*)
{
    SetGreyed(MuteDateTimePicker, MuteTimeCheckBox.Checked());
    SetGreyed(MuteComboBox, MuteTimeCheckBox.Checked());
}

void TOvelMainForm::Option6TrackBarEnter(TObject*) { Option6Preview = true; }

void TOvelMainForm::Option6TrackBarExit(TObject*) { Option6Preview = false; }

void TOvelMainForm::Option6TrackBarChange(TObject*)
{
    Option6Preview = true;
    ShowLiveValue(Option6TrackBar);
}

void TOvelMainForm::NFBTrackBarChange(TObject*) { ShowLiveValue(NFBTrackBar); }

void TOvelMainForm::NFITrackBarChange(TObject*) { ShowLiveValue(NFITrackBar); }

void TOvelMainForm::NFBComboBoxChange(TObject*) { NFBComboBox.SetHint(RareHint(NFBComboBox.ItemIndex())); }

void TOvelMainForm::NFIComboBoxChange(TObject*) { NFIComboBox.SetHint(RareHint(NFIComboBox.ItemIndex())); }

void TOvelMainForm::NatureFolderComboBoxChange(TObject*)
{
    NatureFolderComboBox.SetHint(RareHint(NatureFolderComboBox.ItemIndex()));
}
