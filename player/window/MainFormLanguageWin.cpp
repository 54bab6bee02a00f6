// The board in the chosen language: the module's character set for the
// fonts, its texts for every caption, hint, menu item and list, the texts
// other handlers show later, and boxes as wide as their new captions.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/WeatherStrands.h"
#include "player/settings/RegistryValues.h"
#include "player/window/BoardTexts.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <algorithm>
#include <vector>

std::string HotKeysCaption;
std::string RainNowText;
std::string StopRainText;
std::string MeterUnit;
std::string NoSoundsHint;
std::string CompOffText;
std::string CompSleepText;
std::string FolderWord;
std::string FolderBrowseTitle;
std::string DayOvelOnText;
std::string NightOvelOnText;
std::string SunriseTodayText;
std::string SunsetTodayText;
std::array<std::string, LayerTitleCount> LayerTitleTexts;
std::uint8_t LanguageApplying = 0;

namespace {

// What a box needs beside its caption's text: the check mark, or the wider
// room of the boxes that a group's frame or a list follows.
constexpr int kBoxMargin = 20;
constexpr int kWideBoxMargin = 24;

constexpr int kWaterfallLevel = 76;  // the brook level from which the waterfall sounds

// A title's key: a word of its own, or the registry value name of a layer's
// switch in a scene, so that one word names both the switch and its title.
struct TTitleKey {
    const char* Key;
    TBoardItem Item;
    int Scene;
};

constexpr TTitleKey Own(const char* key) { return {key, TBoardItem{}, kDayScene}; }
constexpr TTitleKey ValueName(TBoardItem item, int scene) { return {nullptr, item, scene}; }

constexpr TTitleKey kRainTitle = ValueName(TBoardItem::RainCheckBox, kDayScene);
constexpr TTitleKey kCricketsTitle = ValueName(TBoardItem::Option2CheckBox, kDayScene);
constexpr TTitleKey kNightingalesTitle = ValueName(TBoardItem::Option2CheckBox, kNightScene);
constexpr TTitleKey kOwlsTitle = ValueName(TBoardItem::Option4CheckBox, kNightScene);
constexpr TTitleKey kGuitarTitle = ValueName(TBoardItem::GuitarCheckBox, kDayScene);
constexpr TTitleKey kFluteTitle = ValueName(TBoardItem::FluteCheckBox, kDayScene);

// The layer titles in the order of TLayerTitle.
constexpr TTitleKey kLayerTitleKeys[LayerTitleCount] = {
    Own("waterfall"),
    Own("brook"),
    Own("bonfire"),
    ValueName(TBoardItem::Option5CheckBox, kNightScene),
    Own("cuckoos"),
    ValueName(TBoardItem::Option5CheckBox, kDayScene),
    ValueName(TBoardItem::FlightsGroupBox, kDayScene),
    Own("frogs"),
};

const char* const kRarityKeys[] = {"veryseldom", "seldom", "often", "veryoften", "endless"};
constexpr int kSharedRarities = 4;  // only the rain list has the last one
const char* const kAutoStartKeys[] = {"mutedstart",      "dayforeststart",    "nightforeststart",
                                      "timeforeststart", "onexacttimechange", "asattheclose"};
const char* const kAlternateKeys[] = {"5minchange",   "15minchange",      "30minchange",
                                      "onhourchange", "foresttimechange", "exacttimechange"};
const char* const kMuteKeys[] = {"loudnessdown", "keepiton", "sendtosleep", "andturnoff"};

std::string Line(const char* key) { return GetLangString(key); }

std::string Line(const TTitleKey& title)
{
    if (title.Key)
        return Line(title.Key);
    const auto found = std::find_if(OptionValueNames.begin(), OptionValueNames.end(),
                                    [&title](const TOptionValueName& name) { return name.Item == title.Item; });
    const char* key = found == OptionValueNames.end() ? nullptr
                      : title.Scene == kNightScene    ? found->Night
                                                      : found->Day;
    return key ? Line(key) : std::string();
}

std::string Text(const char* key) { return GetLangText(key, false); }

// A group box's caption keeps a blank before its frame goes on.
std::string Titled(const std::string& line) { return line + " "; }


bool FlightBanksPresent() { return Present(sbOvbf) || Present(sbOvif) || Present(sbOvdf); }

void SetCaptionAndHint(TControl& control, const std::string& text)
{
    control.SetCaption(text);
    control.SetHint(text);
}

// The caption, and the box as wide as it is drawn plus the margin.
void SetFitted(TControl& box, const std::string& caption, int margin)
{
    box.SetCaption(caption);
    box.SetWidth(box.TextWidth(caption) + margin);
}

template <typename Keys>
std::vector<std::string> Lines(const Keys& keys)
{
    std::vector<std::string> lines;
    for (const char* key : keys)
        lines.push_back(Line(key));
    return lines;
}

// The list's items anew, with the item chosen before.
void FillList(TComboBox& combo, const std::vector<std::string>& items, int index)
{
    combo.Items.BeginUpdate();
    combo.Items.Clear();
    for (const std::string& item : items)
        combo.Items.Add(item);
    combo.Items.EndUpdate();
    combo.SetItemIndex(index);
}

}  // namespace

void TOvelMainForm::AttachLanguageHandlers() { Bind(LangComboBox.OnChange, &TOvelMainForm::LangComboBoxChange); }

void TOvelMainForm::LangComboBoxChange(TObject*) { ToggleLang(); }

// Its icon and the rain button pump messages: a switch asked for meanwhile
// runs once this one is whole.
void TOvelMainForm::ToggleLang()
{
    RunWhole(languageSwitch_, [this] { ApplyLanguage(); });
}

void TOvelMainForm::ApplyLanguage()
{
    const TLangLookupPass lookups;
    LanguageApplying = 1;
    if (LangComboBox.ItemIndex() >= 0)
        SelectLanguage(LangComboBox.ItemIndex());
    ApplyLanguageCharset();
    const int scene = OvelComboBox.ItemIndex();
    const int autoStart = AutoStartComboBox.ItemIndex();
    const int alternate = AlternateComboBox.ItemIndex();
    for (TComboBox* combo : RarityLists())
        combo->Tag = combo->ItemIndex();
    MuteComboBox.Tag = MuteComboBox.ItemIndex();

    ApplyVolumeAndLimiterTexts();
    ApplyRainAndFolderTexts();
    ApplyFlightAndChimeTexts();
    ApplyBottomRowTexts();
    ApplyCaptionTexts();
    ApplySceneTexts();
    SetMusicCaption();
    ApplyAutomationTexts();
    ApplyMenuTexts();
    SetFitted(OptionCheckBox, LayerTitleTexts[OptionTrackBar.Position() < kWaterfallLevel ? ltBrook : ltWaterfall],
              kWideBoxMargin);

    FillRarityLists();
    // The rarity hints read the lists in their new words.
    if (FlightBanksPresent()) {
        NFBComboBoxChange(&NFBComboBox);
        NFIComboBoxChange(&NFIComboBox);
    }
    NatureFolderComboBoxChange(&NatureFolderComboBox);
    FillFixedLists(scene);
    for (TLabel* label : {&NoOption2Label, &NoOption4Label, &NoOption5Label, &NoOption6Label, &NoRainLabel,
                          &NoFireLabel, &NoStreamLabel, &NoOption3Label, &NoOption7Label, &NoStormLabel,
                          &NoInnerAlarmLabel, &NoWindLabel, &NoGuitarLabel, &NoHaLabel, &NoFluteLabel})
        label->SetHint(NoSoundsHint);
    AutoStartComboBox.SetItemIndex(autoStart);
    AlternateComboBox.SetItemIndex(alternate);
    AlternateComboBoxChange(&AlternateComboBox);
    HWMCheckBox.SetHint(Line("hwmixer"));
    LanguageApplying = 0;
}

// The board and every control in the module's character set; the language
// list alone keeps the default one, for names of every language.
void TOvelMainForm::ApplyLanguageCharset()
{
    SetFontCharset(static_cast<BYTE>(LangCharset));
    PopupMenu1.Charset = LangCharset;
    LangComboBox.SetFontCharset(DEFAULT_CHARSET);
}

std::vector<TComboBox*> TOvelMainForm::RarityLists()
{
    return {&RainComboBox,        &Option2ComboBox,      &Option4ComboBox, &Option5ComboBox,
            &Option6ComboBox,     &GuitarComboBox,       &FluteComboBox,   &HaComboBox,
            &MusicFolderComboBox, &NatureFolderComboBox, &NFBComboBox,     &NFIComboBox};
}

void TOvelMainForm::ApplyVolumeAndLimiterTexts()
{
    SetCaptionAndHint(WrapBitBtn, Line("minimize"));
    HotKeysCaption = Line("hotkeys");
    RainNowText = Line("rainnow");
    StopRainText = Line("stoprain");
    RainNow.Caption = RainPlays() ? StopRainText : RainNowText;
    RainBitBtn.SetCaption(RainNowText);
    RainBitBtn.SetHint(RainNow.Caption);
    VolumeTrackBar.SetHint(Text("generalvolumehint"));
    SetFitted(CompressionCheckBox, Line("compression"), kWideBoxMargin);
    const std::string limiter = Text("soundspacelimiter");
    CompressionCheckBox.SetHint(limiter);
    ZoneVLabel.SetHint(limiter);
    FarthestSoundsLabel.SetHint(Text("farthestsounds"));
    ClosestSoundsLabel.SetHint(Text("closestsounds"));
    MeterUnit = Text("meterunit");
    ShowLimiters();
    NoSoundsHint = Text("nosoundshint");
    for (int title = 0; title < LayerTitleCount; ++title)
        LayerTitleTexts[title] = Line(kLayerTitleKeys[title]);
    CompOffText = Line("compoff");
    CompSleepText = Line("compsleep");
    OptionTrackBar.SetHint(Text("streamnearnesshint"));
}

void TOvelMainForm::ApplyRainAndFolderTexts()
{
    SetFitted(RainCheckBox, Titled(Line(kRainTitle)), kWideBoxMargin);
    SetFitted(StormCheckBox, Titled(Line("storm")), kWideBoxMargin);
    StormCheckBox.SetHint(Line("notalways"));
    SetDeviceHint();
    FolderWord = Line("folder");
    ShowNatureFolderName();
    ShowMusicFolderName();
    const std::string placement = Text("placement");
    for (TShape* shape : {&OShape, &OBackShape, &O1Shape, &O1BackShape})
        shape->SetHint(placement);
    PosPanel.SetHint(Text("topview"));
    NatureFolderGroupBox.SetCaption(Titled(Line("nature")));
    const std::string ownFolder = Line("soundfolder");
    SetFitted(NatureFolderCheckBox, ownFolder, kBoxMargin);
    SetFitted(MusicFolderCheckBox, ownFolder, kBoxMargin);
    const std::string subfolders = Line("withsubfolders");
    SetFitted(NatureSubfoldersCheckBox, subfolders, kBoxMargin);
    SetFitted(MusicSubfoldersCheckBox, subfolders, kBoxMargin);
    SetFitted(GuitarCheckBox, Line(kGuitarTitle), kBoxMargin);
    SetFitted(FluteCheckBox, Line(kFluteTitle), kBoxMargin);
    SetFitted(HaCheckBox, Line("accordion"), kBoxMargin);
    SetCaptionAndHint(MusicFolderBitBtn, Line("soundfolderpathbrowse"));
    NatureFolderBitBtn.SetHint(MusicFolderBitBtn.Caption());
    const std::string allocation = Text("randomallocation");
    for (TControl* control : std::initializer_list<TControl*>{&AutoNatureLabel, &AutoMusicLabel,
                                                              &NatureAutoAllocCheckBox, &MusicAutoAllocCheckBox})
        control->SetHint(allocation);
}

void TOvelMainForm::ApplyFlightAndChimeTexts()
{
    FlightsGroupBox.SetCaption(Titled(LayerTitleTexts[ltNearFlights]));
    SetFitted(Option3CheckBox, Line("birds"), kBoxMargin);
    SetFitted(Option7CheckBox, Line("insects"), kBoxMargin);
    if (FlightBanksPresent()) {
        const std::string nearVolume = Text("nearvolumehint");
        NFBTrackBar.SetHint(nearVolume);
        NFITrackBar.SetHint(nearVolume);
    }
    SetFitted(WindCheckBox, Titled(Line("wind")), kBoxMargin);
    WindVolumeTrackBar.SetHint(Text("windvolumehint"));
    SetCaptionAndHint(AlarmFileBitBtn, Line("alarmpathbrowse"));
    const std::string chimeButtons = Present(sbOvch) ? Line("soundselection") : AlarmFileBitBtn.Caption();
    SetCaptionAndHint(Chime00BitBtn, chimeButtons);
    SetCaptionAndHint(Chime30BitBtn, chimeButtons);
    ChimesGroupBox.SetCaption(Titled(Line("chimes")));
    OpHoursLabel.SetCaption(Line("chimeshours"));
    OpHoursLabel.SetHint(Line("roundtheclock"));
    TillLabel.SetCaption(Line("till"));
    ActMinutesLabel.SetCaption(Line("chimesminutes"));
}

void TOvelMainForm::ApplyBottomRowTexts()
{
    SetCaptionAndHint(ExportBitBtn, Text("exportsets"));
    SetCaptionAndHint(ImportBitBtn, Text("importsets"));
    SetFitted(MemoryCleanCheckBox, Line("automemoryclean"), kBoxMargin);
}

void TOvelMainForm::ApplyCaptionTexts()
{
    SetCaption(Line("progname") + " " + VersionText);
    Application.SetTitle(Caption(), CodePage());
    SetMainIcon();
}

void TOvelMainForm::ApplySceneTexts()
{
    // The bonfire's box and the frogs' nearness serve the night alone; they
    // follow the language in either scene, so a switch never shows them stale.
    SetFitted(Option1CheckBox, LayerTitleTexts[ltBonfire], kWideBoxMargin);
    Option6TrackBar.SetHint(Text("frogsnearnesshint"));
    if (OvelComboBox.ItemIndex() == kNightScene) {
        Option1TrackBar.SetHint(Text("fireintensityhint"));
        Option1GroupBox.SetCaption("");
        Option1TrackBar1.SetHint(Text("firenearnesshint"));
        SetFitted(Option2CheckBox, Line(kNightingalesTitle), kWideBoxMargin);
        SetFitted(Option4CheckBox, Line(kOwlsTitle), kWideBoxMargin);
        SetFitted(Option5CheckBox, LayerTitleTexts[ltBeasts], kWideBoxMargin);
        MusicGroupBox.SetHint(Line("musicfornightforest"));
        SetFitted(Option6CheckBox, LayerTitleTexts[ltFrogs], kWideBoxMargin);
        return;
    }
    const std::string activity = Line("birdsactivity");
    Option1TrackBar.SetHint(activity);
    Option1GroupBox.SetCaption(Titled(activity));
    Option1TrackBar1.SetHint(Line("daybackground"));
    SetFitted(Option2CheckBox, Line(kCricketsTitle), kWideBoxMargin);
    SetFitted(Option4CheckBox, Line("woodpeckers"), kWideBoxMargin);
    SetFitted(Option5CheckBox, LayerTitleTexts[ltCrows], kWideBoxMargin);
    MusicGroupBox.SetHint(Line("musicfordayforest"));
    SetFitted(Option6CheckBox, LayerTitleTexts[ltCuckoos], kWideBoxMargin);
}

void TOvelMainForm::ApplyAutomationTexts()
{
    const std::string auditionHint = Line("volume&auditionhint");
    for (TTrackBar* trackBar : {&NatureFolderTrackBar, &MusicFolderTrackBar, &Chime00TrackBar, &Chime30TrackBar})
        trackBar->SetHint(auditionHint);
    FolderBrowseTitle = Text("soundfolderpathbrowse");
    PlayCheckBox.SetCaption(Line("soundplay"));
    PlayCheckBox.SetHint(Text("volumerestorehint"));
    SpkAnimate.SetHint(PlayCheckBox.Hint());
    AutomationGroupBox.SetCaption(Titled(Line("automation")));
    SetFitted(AutoStartCheckBox, Line("autostart"), kWideBoxMargin);
    // Hidden while the service is not offered, the box still reads in the language.
    SetFitted(AsServiceCheckBox, Line("asservice"), kWideBoxMargin);
    AsServiceCheckBox.SetHint(IsAdmin ? Text("asservicehint") : GetLangText("noright", true));
    SetFitted(TessilCheckBox, Text("playstarttime"), kWideBoxMargin);
    SetFitted(AlternateCheckBox, Line("ovelchange"), kWideBoxMargin);
    DayOvelOnText = Line("dayovelon");
    NightOvelOnText = Line("nightovelon");
    SunriseTodayText = Line("sunrisetoday");
    SunsetTodayText = Line("sunsettoday");
    SetFitted(MuteTimeCheckBox, Line("mutetime"), kWideBoxMargin);
    SetFitted(AlarmClockCheckBox, Line("alarmclock"), kWideBoxMargin);
    InnerAlarmRadioButton.SetCaption(Line("ownalarms"));
    ShowAlarmFileName();
    RainComboBox.SetHint(Text("rarelongerhint"));
    SetCaptionAndHint(AlarmTestBitBtn, Line("alarmsoundtest"));
    DeviceGroupBox.SetCaption(Titled(Line("deviceinuse")));
    SetFitted(UseCurrentDefDeviceRadioButton, Line("usecurrentdefdevice"), kWideBoxMargin);
    SetFitted(WaitThisDeviceRadioButton, Line("waitthisdevice"), kWideBoxMargin);
    SetFitted(WaitAnyDefDeviceRadioButton, Line("waitanydefdevice"), kWideBoxMargin);
}

void TOvelMainForm::ApplyMenuTexts()
{
    Forest.Caption = Line("dayforest");
    ForestN.Caption = Line("nightforest");
    Customize.Caption = Line("controlboard");
    About.Caption = Line("information");
    Exit.Caption = Line("exit");
    FolderClear.Caption = Line("clear");
    LiveUpdate.Caption = Line("liveupdate");
    SetCaptionAndHint(InfoBitBtn, About.Caption);
    SetCaptionAndHint(ExitBitBtn, Exit.Caption);
    SetCaptionAndHint(LiveUpdateBitBtn, LiveUpdate.Caption);
    HotKeys.Caption = HotKeysCaption;
    SetCaptionAndHint(HotKeysBitBtn, HotKeysCaption);
    LangGroupBox.SetCaption(Line("language"));
    PlayOnOffLook();
}

// Each list anew in the module's words, keeping what was chosen in it.
void TOvelMainForm::FillRarityLists()
{
    const std::vector<std::string> rarities = Lines(kRarityKeys);
    const std::vector<std::string> shared(rarities.begin(), rarities.begin() + kSharedRarities);
    for (TComboBox* combo : RarityLists())
        FillList(*combo, combo == &RainComboBox ? rarities : shared, static_cast<int>(combo->Tag));
}

void TOvelMainForm::FillFixedLists(int scene)
{
    FillList(AutoStartComboBox, Lines(kAutoStartKeys), -1);
    FillList(AlternateComboBox, Lines(kAlternateKeys), -1);
    FillList(MuteComboBox, Lines(kMuteKeys), static_cast<int>(MuteComboBox.Tag));
    FillList(OvelComboBox, {Forest.Caption, ForestN.Caption}, scene);
    // The scene's name beside the list, in the list's new words.
    OvelLabel.SetCaption(OvelComboBox.Text());
    OvelLabel.SetHint(AlternateCheckBox.Caption());
}
