// The board's layer switches, the two user-folder groups, the day and night
// alternation, the mute-time switch and the hints of the rarity combos and
// the fly-by and night-voice trackbars. Each handler first brings its group's
// look in line; while settings are being loaded that is all it does.
// Before the board's header: the settings name their items as the board names
// its globals, and an item declared after a global would shadow it.
#include "player/settings/RegistryValues.h"
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"
#include "player/engine/UserSounds.h"
#include "player/window/BoardState.h"
#include "player/window/BoardTexts.h"
#include "player/window/FolderBrowse.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"

namespace {

// RainFreq by the rain rarity: very seldom, seldom, often, very often, endless.
constexpr int kRainFrequencies[] = {512, 256, 96, 32, 16};
constexpr int kBrowseButtonGap = 8;
constexpr const char* kNoAlternationTime = "----------------------";

constexpr float kPercent = 100.0f;

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

void TOvelMainForm::SaveSceneLayers()
{
    if (Night())
        SaveN1(true);
    else
        SaveD1(true);
}

void TOvelMainForm::OptionCheckBoxClick(TObject*)
{
    KeepOffWhenDisabled(OptionCheckBox);
    const bool brook = OptionCheckBox.Checked();
    OShape.SetVisible(brook);
    OBackShape.SetVisible(brook);
    OptionTrackBar.SetEnabled(brook);
    if (LoadingSettings)
        return;
    SaveSceneLayers();
    if (brook && PlayCheckBox.Checked())
        PlayBrook();
    else
        StopBrook();
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
    if (!LoadingSettings)
        SaveSceneLayers();
}

void TOvelMainForm::RainComboBoxChange(TObject*)
{
    const int item = RainComboBox.ItemIndex();
    if (item < 0 || item >= static_cast<int>(std::size(kRainFrequencies)))
        return;
    RainFreq = kRainFrequencies[item];
    RainComboBox.SetHint(RareHint(item));
    if (!LoadingSettings)
        SaveOptions();
}

// The bonfire burns in the night forest alone. Without a sender (the output's
// start) the box is only put in line with the fires, and nothing is saved.
void TOvelMainForm::Option1CheckBoxClick(TObject* sender)
{
    if (!Night())
        return;
    KeepOffWhenDisabled(Option1CheckBox);
    const bool fire = Option1CheckBox.Checked();
    Option1TrackBar.SetEnabled(fire);
    Option1TrackBar1.SetEnabled(fire);
    O1Shape.SetVisible(fire);
    O1BackShape.SetVisible(fire);
    if (LoadingSettings)
        return;
    if (fire) {
        LastOption1Position = -1;
        Option1TrackBarChange(&Option1CheckBox);
    } else {
        StopFires();
    }
    if (sender)
        SaveN1(true);
}

void TOvelMainForm::Option2CheckBoxClick(TObject*) { GreyLayerWithBox(Option2CheckBox, Option2ComboBox); }

void TOvelMainForm::Option4CheckBoxClick(TObject*) { GreyLayerWithBox(Option4CheckBox, Option4ComboBox); }

void TOvelMainForm::Option5CheckBoxClick(TObject*) { GreyLayerWithBox(Option5CheckBox, Option5ComboBox); }

void TOvelMainForm::Option6CheckBoxClick(TObject*)
{
    GreyWithBox(Option6CheckBox, Option6ComboBox);
    Option6TrackBar.SetVisible(Option6CheckBox.Checked());
    if (!LoadingSettings)
        SaveSceneLayers();
}

void TOvelMainForm::GreyLayerWithBox(TCheckBox& box, TComboBox& rarity)
{
    GreyWithBox(box, rarity);
    if (!LoadingSettings)
        SaveSceneLayers();
}

void TOvelMainForm::GreyWithBox(TCheckBox& box, TComboBox& rarity)
{
    KeepOffWhenDisabled(box);
    SetGreyed(rarity, box.Checked());
}

void TOvelMainForm::Option3CheckBoxClick(TObject*) { FlightsClick(); }

void TOvelMainForm::Option7CheckBoxClick(TObject*) { FlightsClick(); }

void TOvelMainForm::FlightsClick()
{
    FlightsOutlook();
    if (!LoadingSettings)
        SaveSceneLayers();
}

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

// The gusts blow only while the output plays.
void TOvelMainForm::WindCheckBoxClick(TObject*)
{
    KeepOffWhenDisabled(WindCheckBox);
    const bool wind = WindCheckBox.Checked();
    WindVolumeTrackBar.SetEnabled(wind);
    if (LoadingSettings)
        return;
    SaveSceneLayers();
    if (wind && PlayCheckBox.Checked())
        StartFWind();
    else
        StopFWind();
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
    label.SetCaption(path.empty() ? FolderWord + ":" : FolderWord + ": " + QuotedFolderName(path));
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
    if (!LoadingSettings)
        SaveSceneLayers();
}

// Unticking frees the folder's sound, whether it plays, stalls or still opens.
void TOvelMainForm::NatureFolderCheckBoxClick(TObject* sender)
{
    if (BoardStarting)
        return;
    if (!NatureFolderCheckBox.Checked())
        StopNatureFolder();
    if (NatureFolderCheckBox.Checked() && !ShowNatureFolderName())
        NatureFolderBitBtnClick(sender);
    else
        NatureFolderOutlook();
}

void TOvelMainForm::MusicFolderCheckBoxClick(TObject* sender)
{
    if (BoardStarting)
        return;
    if (!MusicFolderCheckBox.Checked())
        StopMusicKind(mkMusicFolder);
    if (MusicFolderCheckBox.Checked() && !ShowMusicFolderName())
        MusicFolderBitBtnClick(sender);
    else
        MusicOutlook();
}

void TOvelMainForm::NatureFolderBitBtnClick(TObject*)
{
    BrowseSceneFolder(NatureFolderSlot(OvelComboBox.ItemIndex()), OvelComboBox.Text() + ".", NatureSubfoldersCheckBox,
                      ListFilesNature);
    NatureFolderOutlook();
}

void TOvelMainForm::MusicFolderBitBtnClick(TObject*)
{
    BrowseSceneFolder(MusicFolderSlot(OvelComboBox.ItemIndex()),
                      OvelComboBox.Text() + ". " + MusicGroupBox.Hint() + ".", MusicSubfoldersCheckBox, ListFilesMusic);
    MusicOutlook();
}

void TOvelMainForm::BrowseSceneFolder(int slot, const std::string& firstLine, TCheckBox& subfolders,
                                      int (*list)(int slot, bool fill))
{
    if (!BrowseForFolder(firstLine + "\r\n" + FolderBrowseTitle, "", UserFolders[slot].Path))
        return;
    list(slot, true);
    subfolders.SetVisible(UserFolders[slot].HasSubfolders);
}

// An instrument's box stops only the music of its own kind.
void TOvelMainForm::GuitarCheckBoxClick(TObject*) { InstrumentClick(GuitarCheckBox, mkGuitar); }

void TOvelMainForm::HaCheckBoxClick(TObject*) { InstrumentClick(HaCheckBox, mkAccordion); }

void TOvelMainForm::FluteCheckBoxClick(TObject*) { InstrumentClick(FluteCheckBox, mkFlute); }

void TOvelMainForm::InstrumentClick(TCheckBox& box, int kind)
{
    if (!box.Checked())
        StopMusicKind(kind);
    MusicOutlook();
}

void TOvelMainForm::AlternateCheckBoxClick(TObject*)
{
    const bool alternating = AlternateCheckBox.Checked();
    OvelComboBox.SetVisible(!alternating);
    OvelLabel.SetVisible(alternating);
    SetGreyed(AlternateComboBox, alternating);
    DayOnDateTimePicker.SetEnabled(alternating);
    NightOnDateTimePicker.SetEnabled(alternating);
    AlternateComboBoxChange(&AlternateCheckBox);
    if (!LoadingSettings)
        SaveC1(true);
}

// A new mode counts its alternation from now; the box saves on its own.
void TOvelMainForm::AlternateComboBoxChange(TObject* sender)
{
    const int mode = AlternateComboBox.ItemIndex();
    const bool timed = AlternateCheckBox.Checked() && (mode == kAlternateByCalendar || mode == kAlternateByTimes);
    DayOnDateTimePicker.SetEnabled(timed);
    NightOnDateTimePicker.SetEnabled(timed);
    DayOnImage.SetVisible(timed);
    NightOnImage.SetVisible(timed);
    if (!timed) {
        DayOnLabel.SetCaption(kNoAlternationTime);
        NightOnLabel.SetCaption(kNoAlternationTime);
    } else {
        const bool bySun = mode == kAlternateByCalendar;
        DayOnLabel.SetCaption(bySun ? SunriseTodayText : DayOvelOnText);
        NightOnLabel.SetCaption(bySun ? SunsetTodayText : NightOvelOnText);
        if (bySun) {
            NowIsNight(&AlternateComboBox);
        } else {
            ShowSwitchTimes(DayOnTime, NightOnTime);
        }
    }
    if (LoadingSettings || LanguageApplying || sender == &AlternateCheckBox)
        return;
    SaveOptions();
    SceneSwitchTime = ScheduleClock().Now();
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

void TOvelMainForm::NFBTrackBarChange(TObject*) { FlightLevelChange(NFBTrackBar); }

void TOvelMainForm::NFITrackBarChange(TObject*) { FlightLevelChange(NFITrackBar); }

// Bird and insect fly-bys share one channel: the level moved is the one heard.
void TOvelMainForm::FlightLevelChange(::TTrackBar& level)
{
    const HSTREAM flight = LayerChannels[lyFlight];
    if (BASS_ChannelIsActive(flight) == BASS_ACTIVE_PLAYING)
        BASS_ChannelSetAttribute(flight, BASS_ATTRIB_VOL, static_cast<float>(level.Position()) / kPercent);
    ShowLiveValue(level);
}

void TOvelMainForm::NFBComboBoxChange(TObject*) { NFBComboBox.SetHint(RareHint(NFBComboBox.ItemIndex())); }

void TOvelMainForm::NFIComboBoxChange(TObject*) { NFIComboBox.SetHint(RareHint(NFIComboBox.ItemIndex())); }

void TOvelMainForm::NatureFolderComboBoxChange(TObject*)
{
    NatureFolderComboBox.SetHint(RareHint(NatureFolderComboBox.ItemIndex()));
}
