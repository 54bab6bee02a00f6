// The board's settings: the packed words and plain values written to the
// settings key, and the key loaded into the controls at start, after an
// import and at every scene switch.
#include "player/window/MainForm.h"

#include "platform/forms/Registry.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/SystemInfoLine.h"
#include "player/settings/BoardDesign.h"
#include "player/settings/SceneLoader.h"
#include "player/settings/StartBoard.h"
#include "player/window/BoardState.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <algorithm>

namespace {

using B = TBoardItem;

constexpr TPackedWordId kCommonWords[] = {pwC1, pwC5, pwC6, pwC7};
constexpr TPackedWordId kDayWords[] = {pwD1, pwD2, pwD70, pwD71, pwD72};
constexpr TPackedWordId kNightWords[] = {pwN1, pwN2, pwN70, pwN71, pwN7F};

// The chimes hours the board starts with.
constexpr int kFirstHour = 0;
constexpr int kLastHour = 23;

// The limiter's track: a zone's top edge lies 53 - its far bound below the track's top.
constexpr int kZoneBottom = 53;

constexpr const char* kSettingsFilter = "Ovel|*.Ovel";

std::vector<std::string> LangStrings(const std::vector<const char*>& keys, std::size_t count)
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count && i < keys.size(); ++i)
        texts.push_back(GetLangString(keys[i]));
    return texts;
}

void FillList(TComboBox& combo, const std::vector<std::string>& items)
{
    combo.Items.BeginUpdate();
    combo.Items.Clear();
    for (const std::string& item : items)
        combo.Items.Add(item);
    combo.Items.EndUpdate();
}

void DeleteStoredValues(const std::vector<std::string>& names)
{
    if (OpenProductKey())
        for (const std::string& name : names)
            ProgRegistry->DeleteValue(name);
    ProgRegistry->CloseKey();
}

// The settings key open for one writer, closed again whatever happens; a
// writer given an open key leaves it to its caller.
class TOpenedKey {
public:
    explicit TOpenedKey(bool open) : open_(open), usable_(!open || OpenProductKey()) {}
    ~TOpenedKey()
    {
        if (open_)
            ProgRegistry->CloseKey();
    }
    TOpenedKey(const TOpenedKey&) = delete;
    TOpenedKey& operator=(const TOpenedKey&) = delete;
    bool Usable() const { return usable_; }

private:
    bool open_;
    bool usable_;
};

std::string CurrentLangFile()
{
    const bool chosen = CurrentLangIndex >= 0 && CurrentLangIndex < static_cast<int>(LangFiles.size());
    return chosen ? LangFiles[static_cast<std::size_t>(CurrentLangIndex)] : std::string();
}

}  // namespace

TStoredKey ReadSettingsKey()
{
    TStoredKey key;
    TRegistry& registry = *ProgRegistry;
    if (OpenProductKey()) {
        for (const std::string& name : registry.ValueNames())
            if (std::optional<TRegistryValue> value = registry.ReadValue(name))
                key.Set(name, {value->Type, std::move(value->Data)});
    }
    registry.CloseKey();
    return key;
}

// The scene loader's view of the board.
class TOvelMainForm::TSceneLoading : public TSceneBoard {
public:
    explicit TSceneLoading(TOvelMainForm& board) : board_(board) {}

    bool Present(TBankId bank) const override { return SoundBanks[bank].Present; }
    bool Enabled(TBoardItem item) const override
    {
        const TControl* control = board_.Control(item);
        return control && control->Enabled();
    }
    void SetState(TBoardItem item, int state) override { board_.SetItemState(item, state); }
    void DeleteValue(const std::string& name) override { board_.olderValuesRead_.push_back(name); }
    void RunStep(TSceneStep step, bool banksPresent) override { board_.RunSceneStep(step, banksPresent); }

private:
    TOvelMainForm& board_;
};

void TOvelMainForm::FillDesignLists()
{
    const std::vector<std::string> rain = LangStrings(RainListKeys, RainListKeys.size());
    const std::vector<std::string> rarity = LangStrings(RainListKeys, kRarityItemCount);
    FillList(RainComboBox, rain);
    for (TComboBox* combo :
         {&Option2ComboBox, &Option4ComboBox, &Option5ComboBox, &Option6ComboBox, &GuitarComboBox, &FluteComboBox,
          &HaComboBox, &MusicFolderComboBox, &NatureFolderComboBox, &NFBComboBox, &NFIComboBox})
        FillList(*combo, rarity);
    FillList(AutoStartComboBox, LangStrings(AutoStartListKeys, AutoStartListKeys.size()));
    FillList(AlternateComboBox, LangStrings(AlternationListKeys, AlternationListKeys.size()));
    FillList(MuteComboBox, LangStrings(MuteListKeys, MuteListKeys.size()));
    FillList(FromComboBox, HourItems());
    FillList(TillComboBox, HourItems());
    AlternateComboBox.SetItemIndex(kAlternateByCalendar);
    FromComboBox.SetItemIndex(kFirstHour);
    TillComboBox.SetItemIndex(kLastHour);

    for (const auto& [button, key] : {std::pair<TBitBtn*, const char*>{&ExportBitBtn, kExportSetsKey},
                                      std::pair<TBitBtn*, const char*>{&ImportBitBtn, kImportSetsKey}}) {
        const std::string text = GetLangText(key, false);
        button->SetCaption(text);
        button->SetHint(text);
    }
    SetsSaveDialog.Filter = kSettingsFilter;
    UserFileDialog.Filter = kUserFileFilter;
}

void TOvelMainForm::AttachSettingsHandlers()
{
    Bind(OvelComboBox.OnDropDown, &TOvelMainForm::OvelComboBoxDropDown);
    Bind(ExportBitBtn.OnClick, &TOvelMainForm::ExportBitBtnClick);
    Bind(ImportBitBtn.OnClick, &TOvelMainForm::ImportBitBtnClick);
}

void TOvelMainForm::OvelComboBoxDropDown(TObject*)
{
    if (!LoadingSettings)
        SaveOptions();
}

TControl* TOvelMainForm::Control(TBoardItem item)
{
    switch (item) {
#define OVEL_BOARD_CONTROL(Name, Kind, Container)                                                                      \
    case TBoardItem::Name:                                                                                             \
        return &Name;
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
        default:
            return nullptr;
    }
}

int TOvelMainForm::ItemState(TBoardItem item) const
{
    switch (item) {
        case B::StreamMarkerX:
            return StreamX;
        case B::StreamMarkerY:
            return StreamY;
        case B::FireMarkerX:
            return FireX;
        case B::FireMarkerY:
            return FireY;
        case B::LimiterLowBound:
            return LimiterLow;
        case B::LimiterHighBound:
            return LimiterHigh;
        default:
            break;
    }
    const TControl* control = const_cast<TOvelMainForm*>(this)->Control(item);
    if (const auto* box = dynamic_cast<const TCheckBox*>(control))
        return box->State();
    if (const auto* radio = dynamic_cast<const TRadioButton*>(control))
        return radio->Checked() ? 1 : 0;
    if (const auto* trackBar = dynamic_cast<const ::TTrackBar*>(control))
        return trackBar->Position();
    if (const auto* combo = dynamic_cast<const TComboBox*>(control))
        return combo->ItemIndex();
    return 0;
}

void TOvelMainForm::SetItemState(TBoardItem item, int state)
{
    switch (item) {
        case B::StreamMarkerX:
            StreamX = state;
            return;
        case B::StreamMarkerY:
            StreamY = state;
            return;
        case B::FireMarkerX:
            FireX = state;
            return;
        case B::FireMarkerY:
            FireY = state;
            return;
        case B::LimiterLowBound:
            LimiterLow = state;
            return;
        case B::LimiterHighBound:
            LimiterHigh = state;
            return;
        default:
            break;
    }
    TControl* control = Control(item);
    if (auto* box = dynamic_cast<TCheckBox*>(control))
        box->SetState(static_cast<TCheckBoxState>(std::clamp(state, 0, 2)));
    else if (auto* radio = dynamic_cast<TRadioButton*>(control))
        radio->SetChecked(state != 0);
    else if (auto* trackBar = dynamic_cast<::TTrackBar*>(control))
        trackBar->SetPosition(state);
    else if (auto* combo = dynamic_cast<TComboBox*>(control))
        combo->SetItemIndex(state);
}

bool TOvelMainForm::SaveWord(TPackedWordId word, bool openKey)
{
    if (LoadingSettings)
        return false;
    const TOpenedKey key(openKey);
    if (!key.Usable())
        return false;
    PackedWords[word] = PackWord(word, [this](const TWordField& field) { return ItemState(field.Item); });
    return ProgRegistry->WriteInteger(WordLayout(word).Name, static_cast<std::int32_t>(PackedWords[word]));
}

bool TOvelMainForm::SaveC1(bool openKey) { return SaveWord(pwC1, openKey); }
bool TOvelMainForm::SaveC5(bool openKey) { return SaveWord(pwC5, openKey); }
bool TOvelMainForm::SaveC6(bool openKey) { return SaveWord(pwC6, openKey); }
bool TOvelMainForm::SaveC7(bool openKey) { return SaveWord(pwC7, openKey); }
bool TOvelMainForm::SaveD1(bool openKey) { return SaveWord(pwD1, openKey); }
bool TOvelMainForm::SaveD2(bool openKey) { return SaveWord(pwD2, openKey); }
bool TOvelMainForm::SaveD70(bool openKey) { return SaveWord(pwD70, openKey); }
bool TOvelMainForm::SaveD71(bool openKey) { return SaveWord(pwD71, openKey); }
bool TOvelMainForm::SaveD72(bool openKey) { return SaveWord(pwD72, openKey); }
bool TOvelMainForm::SaveN1(bool openKey) { return SaveWord(pwN1, openKey); }
bool TOvelMainForm::SaveN2(bool openKey) { return SaveWord(pwN2, openKey); }
bool TOvelMainForm::SaveN70(bool openKey) { return SaveWord(pwN70, openKey); }
bool TOvelMainForm::SaveN71(bool openKey) { return SaveWord(pwN71, openKey); }
bool TOvelMainForm::SaveN7F(bool openKey) { return SaveWord(pwN7F, openKey); }

// Only the scene whose options the controls hold: whatever chose another scene
// since, the controls still belong to this one.
bool TOvelMainForm::SaveOptions()
{
    if (LoadingSettings)
        return false;
    const TOpenedKey key(true);
    if (!key.Usable())
        return false;
    bool written = SaveSceneOptions(loadedScene_);
    for (TPackedWordId word : kCommonWords)
        written = SaveWord(word, false) && written;
    return SavePlainValues() && written;
}

bool TOvelMainForm::SaveSceneOptions(int scene)
{
    if (scene != kDayScene && scene != kNightScene)
        return true;
    const bool day = scene == kDayScene;
    bool written = true;
    for (TPackedWordId word : day ? kDayWords : kNightWords)
        written = SaveWord(word, false) && written;
    TRegistry& registry = *ProgRegistry;
    if (Present(sbOvel))
        written = registry.WriteInteger(day ? "RainFreq" : "RainFreqN", RainComboBox.ItemIndex()) && written;
    const std::string& nature = UserFolders[NatureFolderSlot(scene)].Path;
    const std::string& music = UserFolders[MusicFolderSlot(scene)].Path;
    if (day)
        return registry.WriteString("NatureFolderDFPath", nature) && registry.WriteString("MusicFolderDFPath", music) &&
               written;
    return registry.WriteString("MusicFolderNFPath", music) && registry.WriteString("NatureFolderNFPath", nature) &&
           written;
}

bool TOvelMainForm::SavePlainValues()
{
    TRegistry& registry = *ProgRegistry;
    const bool written[] = {
        registry.WriteInteger("BoardLeft", Left()),
        registry.WriteInteger("BoardTop", Top()),
        registry.WriteInteger("OvelIndex", OvelComboBox.ItemIndex()),
        registry.WriteString("DeviceName", DeviceComboBox.Text()),
        registry.WriteInteger("AutoStartIndex", AutoStartComboBox.ItemIndex()),
        registry.WriteDateTime("TessilTime", TessilDateTimePicker.Time()),
        registry.WriteInteger("AlterIndex", AlternateComboBox.ItemIndex()),
        registry.WriteDateTime("CompOffTime", MuteDateTimePicker.Time()),
        registry.WriteDateTime("AlarmTime", AlarmTimePicker.Time()),
        registry.WriteString("UserAlarmFileName", AlarmFileName),
        registry.WriteString("Chime00Min", Chime00CheckBox.Caption()),
        registry.WriteInteger("Chime00Num", static_cast<std::int32_t>(Chime00BitBtn.Tag)),
        registry.WriteString("Chime00Path", Chime00Path),
        registry.WriteString("Chime30Min", Chime30CheckBox.Caption()),
        registry.WriteInteger("Chime30Num", static_cast<std::int32_t>(Chime30BitBtn.Tag)),
        registry.WriteString("Chime30Path", Chime30Path),
        registry.WriteDateTime("SunsetOffset", SunsetOffset),
        registry.WriteDateTime("SunriseOffset", SunriseOffset),
        registry.WriteDateTime("DayOnTime", DayOnTime),
        registry.WriteDateTime("NightOnTime", NightOnTime),
    };
    const std::string langFile = CurrentLangFile();
    const bool langWritten = langFile.empty() || registry.WriteString("LangFile", langFile);
    return langWritten && std::all_of(std::begin(written), std::end(written), [](bool ok) { return ok; });
}

void TOvelMainForm::Detach(TNotifyEvent& event)
{
    // Detached twice, the handler the first detach took is kept.
    if (detached_.emplace(&event, event).second)
        event = nullptr;
}

void TOvelMainForm::Reattach(TNotifyEvent& event)
{
    const auto found = detached_.find(&event);
    if (found == detached_.end())
        return;
    event = std::move(found->second);
    detached_.erase(found);
}

// The handler stays off for good.
void TOvelMainForm::Forget(TNotifyEvent& event) { detached_.erase(&event); }

void TOvelMainForm::ReattachAll()
{
    for (auto& [event, handler] : detached_)
        *event = std::move(handler);
    detached_.clear();
}

void TOvelMainForm::SetControls()
{
    olderValuesRead_.clear();
    {
        // Nothing saves while the controls are set; a load that fails part way
        // still leaves the board saving, with its handlers attached.
        struct TLoadingScope {
            TOvelMainForm& Board;
            ~TLoadingScope()
            {
                Board.ReattachAll();
                LoadingSettings = false;
            }
        } scope{*this};
        LoadingSettings = true;
        LoadSettings(ReadSettingsKey());
    }
    // Older values go only once what they gave is stored in the new layout.
    if (!olderValuesRead_.empty() && SaveOptions())
        DeleteStoredValues(olderValuesRead_);
}

void TOvelMainForm::LoadSettings(const TStoredKey& key)
{
    NoOption5Label.Hide();
    for (TCheckBox* box : {&PlayCheckBox,
                           &OptionCheckBox,
                           &Option1CheckBox,
                           &Option2CheckBox,
                           &Option3CheckBox,
                           &Option4CheckBox,
                           &Option5CheckBox,
                           &Option6CheckBox,
                           &Option7CheckBox,
                           &WindCheckBox,
                           &RainCheckBox,
                           &NatureFolderCheckBox,
                           &NatureSubfoldersCheckBox,
                           &NatureAutoAllocCheckBox,
                           &MusicFolderCheckBox,
                           &MusicSubfoldersCheckBox,
                           &MusicAutoAllocCheckBox,
                           &GuitarCheckBox,
                           &HaCheckBox,
                           &FluteCheckBox})
        Detach(box->OnClick);
    for (::TTrackBar* trackBar :
         {&NatureFolderTrackBar, &OptionTrackBar, &Option1TrackBar, &Option1TrackBar1, &WindVolumeTrackBar})
        Detach(trackBar->OnChange);
    Option4ComboBox.SetItemIndex(0);
    RainComboBox.SetItemIndex(0);
    PackedWords = ReadPackedWords(key);
    if (BoardStarting)
        LoadCommonOptions(key);
    LoadSceneOptionsOnShow(key);
    ReattachSceneHandlers();
}

void TOvelMainForm::ApplyDecision(TBoardItem item, const TLoadDecision& decision)
{
    if (decision.Value)
        SetItemState(item, *decision.Value);
    olderValuesRead_.insert(olderValuesRead_.end(), decision.Deleted.begin(), decision.Deleted.end());
}

void TOvelMainForm::ApplyRow(TBoardItem item, const TStoredKey& key)
{
    ApplyDecision(item, DecideRow(CommonRow(item), PackedWords, key, migration_.Pending, OvelComboBox.ItemIndex()));
}

void TOvelMainForm::ApplyItem(TBoardItem item, std::optional<int> index)
{
    if (index)
        SetItemState(item, *index);
}

// Set with its handler off, which then comes back.
void TOvelMainForm::ApplyRowQuietly(TNotifyEvent& handler, TBoardItem item, const TStoredKey& key)
{
    Detach(handler);
    ApplyRow(item, key);
    Reattach(handler);
}

void TOvelMainForm::LoadCommonOptions(const TStoredKey& key)
{
    const bool programStart = !startDecided_;
    startDecided_ = true;
    for (TLabel* label :
         {&NoInnerAlarmLabel, &NoOption3Label, &NoOption7Label, &NoGuitarLabel, &NoHaLabel, &NoFluteLabel})
        label->Hide();
    Detach(Chime00TrackBar.OnChange);
    Detach(Chime30TrackBar.OnChange);
    ApplyItem(B::OvelComboBox, StoredItem(key, "OvelIndex", B::OvelComboBox, std::nullopt));
    for (TComboBox* combo :
         {&Option2ComboBox, &Option5ComboBox, &Option6ComboBox, &NFBComboBox, &NFIComboBox, &RainComboBox,
          &GuitarComboBox, &FluteComboBox, &HaComboBox, &NatureFolderComboBox, &MusicFolderComboBox})
        combo->SetItemIndex(0);
    GateMissingBanks();
    // A key found in the older layout migrates anew, whatever an earlier load did.
    migration_ = TMigration{OlderLayoutFound(key)};

    ApplyRow(B::HWMCheckBox, key);
    SoftwareMixing = HWMCheckBox.Checked() ? 0 : 1;
    ApplyRowQuietly(MemoryCleanCheckBox.OnClick, B::MemoryCleanCheckBox, key);
    ApplyRowQuietly(AlternateCheckBox.OnClick, B::AlternateCheckBox, key);
    ApplyItem(B::AlternateComboBox, StoredItem(key, "AlterIndex", B::AlternateComboBox, kAlternateByCalendar));
    const struct {
        const char* Name;
        TUserFolderId Slot;
    } folders[] = {{"NatureFolderDFPath", ufDayNature},
                   {"NatureFolderNFPath", ufNightNature},
                   {"MusicFolderDFPath", ufDayMusic},
                   {"MusicFolderNFPath", ufNightMusic}};
    for (const auto& folder : folders)
        if (const std::optional<std::string> path = StoredText(key, folder.Name))
            UserFolders[folder.Slot].Path = *path;
    LoadChimes(key);
    ApplyRow(B::CompressionCheckBox, key);
    LoadAlarm(key);
    LoadStartOptions(key, programStart);
    Reattach(Chime00TrackBar.OnChange);
    Reattach(Chime30TrackBar.OnChange);
    ChimesControls();
    ChimesOutlook();
    ChimesWorkTime();
}

// Layers whose banks are missing are offered disabled, with a label that says so.
void TOvelMainForm::GateMissingBanks()
{
    const auto present = [](TBoardItem box) { return LayerBanksPresent(box, SoundBanks); };
    GateOption(Option3CheckBox, NoOption3Label, present(B::Option3CheckBox));
    GateOption(Option7CheckBox, NoOption7Label, present(B::Option7CheckBox));
    ShowBankGate(WindCheckBox, NoWindLabel, present(B::WindCheckBox));
    if (!present(B::WindCheckBox))
        WindVolumeTrackBar.Hide();
    ShowBankGate(OptionCheckBox, NoStreamLabel, present(B::OptionCheckBox));
    ShowBankGate(StormCheckBox, NoStormLabel, present(B::StormCheckBox));
    ShowBankGate(RainCheckBox, NoRainLabel, present(B::RainCheckBox));
    if (!present(B::RainCheckBox)) {
        RainNow.Visible = false;
        StormCheckBox.SetEnabled(false);
    }
    ShowBankGate(GuitarCheckBox, NoGuitarLabel, present(B::GuitarCheckBox));
    ShowBankGate(HaCheckBox, NoHaLabel, present(B::HaCheckBox));
    ShowBankGate(FluteCheckBox, NoFluteLabel, present(B::FluteCheckBox));
}

// Without its bank a box is disabled and labelled so; its state stays.
void TOvelMainForm::ShowBankGate(TCheckBox& box, TLabel& label, bool present)
{
    box.SetEnabled(present);
    label.SetVisible(!present);
}

void TOvelMainForm::LoadChimes(const TStoredKey& key)
{
    LoadChimeBox({B::Chime00CheckBox, "Chime00Min", ":00", "Chime00Path"}, Chime00Path, key);
    ApplyRow(B::FromComboBox, key);
    ApplyRow(B::TillComboBox, key);
    LoadLimiter();
    ApplyRow(B::Chime00TrackBar, key);
    LoadChimeBox({B::Chime30CheckBox, "Chime30Min", ":30", "Chime30Path"}, Chime30Path, key);
    ApplyRow(B::Chime30TrackBar, key);
    if (Present(sbOvch)) {
        const int chimeCount = SoundBanks[sbOvch].EntryCount;
        Chime00BitBtn.Tag = StoredChimeNumber(key, "Chime00Num", !Chime00Path.empty(), kChime00Number, chimeCount);
        Chime30BitBtn.Tag = StoredChimeNumber(key, "Chime30Num", !Chime30Path.empty(), kChime30Number, chimeCount);
    } else {
        Chime00BitBtn.Tag = 0;
        Chime30BitBtn.Tag = 0;
        Chime30BitBtn.SetGlyph(Chime00BitBtn.Glyph());
    }
}

// A chime's box, its minute as the caption and its own sound file.
void TOvelMainForm::LoadChimeBox(const TChimeValues& chime, std::string& path, const TStoredKey& key)
{
    ApplyRow(chime.Box, key);
    if (const std::optional<std::string> caption = StoredChimeCaption(key, chime.Caption, chime.AbsentCaption))
        Control(chime.Box)->SetCaption(*caption);
    if (const std::optional<std::string> stored = StoredText(key, chime.Path))
        path = *stored;
}

void TOvelMainForm::LoadLimiter()
{
    const TLimiterBounds limiter = LoadedLimiter(PackedWords.C6);
    LimiterLow = limiter.Low;
    LimiterHigh = limiter.High;
    ZoneVLabel.SetBounds(ZoneVLabel.Left(), ZoneVPanel.Top() + kZoneBottom - LimiterHigh, ZoneVLabel.Width(),
                         LimiterHigh - LimiterLow);
}

void TOvelMainForm::LoadAlarm(const TStoredKey& key)
{
    TNotifyEvent* handlers[] = {&AlarmClockCheckBox.OnClick, &InnerAlarmRadioButton.OnClick,
                                &FileAlarmRadioButton.OnClick};
    for (TNotifyEvent* handler : handlers)
        Detach(*handler);
    if (Present(sbOvac)) {
        ApplyRow(B::InnerAlarmRadioButton, key);
    } else {
        InnerAlarmRadioButton.SetEnabled(false);
        NoInnerAlarmLabel.Show();
    }
    ApplyRow(B::AlarmClockCheckBox, key);
    if (const std::optional<double> time = StoredTimeOfDay(key, "AlarmTime"))
        AlarmTimePicker.SetTime(*time);
    ApplyRow(B::FileAlarmRadioButton, key);
    if (const std::optional<std::string> name = StoredText(key, "UserAlarmFileName"))
        AlarmFileName = *name;
    if (!InnerAlarmRadioButton.Checked() && !FileAlarmRadioButton.Checked() && !NoInnerAlarmLabel.Visible())
        InnerAlarmRadioButton.SetChecked(true);
    for (TNotifyEvent* handler : handlers)
        Reattach(*handler);
    AlarmClockOutlook();
}

void TOvelMainForm::LoadStartOptions(const TStoredKey& key, bool programStart)
{
    ApplyRowQuietly(VolumeTrackBar.OnChange, B::VolumeTrackBar, key);
    ApplyItem(B::AutoStartComboBox, StoredItem(key, "AutoStartIndex", B::AutoStartComboBox, kStartByCalendar));
    ApplyRow(B::AutoStartCheckBox, key);

    // The service option exists only on a server edition, and only an
    // administrator may change it.
    Detach(AsServiceCheckBox.OnClick);
    ApplyDecision(B::AsServiceCheckBox,
                  DecideServiceBox({StartedByRunKey, ServerEdition, IsAdmin}, PackedWords.C1, key, migration_.Pending));
    AsServiceCheckBox.SetEnabled(IsAdmin);
    AsServiceCheckBox.SetVisible(ServerEdition);
    if (ServerEdition)
        Reattach(AsServiceCheckBox.OnClick);
    else
        Forget(AsServiceCheckBox.OnClick);

    Detach(MuteTimeCheckBox.OnClick);
    Detach(MuteDateTimePicker.OnChange);
    if (const std::optional<double> time = StoredTimeOfDay(key, "CompOffTime"))
        MuteDateTimePicker.SetTime(*time);
    ApplyRow(B::MuteTimeCheckBox, key);
    if (const std::optional<double> time = StoredTimeOfDay(key, "TessilTime"))
        TessilDateTimePicker.SetTime(*time);
    ApplyDecision(B::MuteComboBox, DecideMuteItem(PackedWords.C1, key, migration_.Pending));
    LoadTimes(key);
    if (programStart)
        DecideSceneAndPlay(key);
    if (AlternateComboBox.ItemIndex() == kAlternateByTimes) {
        ShowSwitchTimes(DayOnTime, NightOnTime);
    } else {
        NowIsNight(&AlternateComboBox);
    }
    AlternateCheckBoxClick(nullptr);
    ApplyRowQuietly(TessilCheckBox.OnClick, B::TessilCheckBox, key);
    TessilCheckBoxClick(nullptr);
    SetItemState(DeviceRadio(PackedWords.C1), 1);
    Reattach(MuteTimeCheckBox.OnClick);
    Reattach(MuteDateTimePicker.OnChange);
    MuteTimeCheckBoxClick(nullptr);
}

void TOvelMainForm::LoadTimes(const TStoredKey& key)
{
    const struct {
        const char* Name;
        TDateTime& Time;
        bool Offset;
    } times[] = {{"SunsetOffset", SunsetOffset, true},
                 {"SunriseOffset", SunriseOffset, true},
                 {"DayOnTime", DayOnTime, false},
                 {"NightOnTime", NightOnTime, false}};
    for (const auto& time : times)
        if (const std::optional<double> stored =
                time.Offset ? StoredOffset(key, time.Name) : StoredTimeOfDay(key, time.Name))
            time.Time = *stored;
}

// Only the program's start decides, by its switch or the alternation; an
// import keeps the scene and the play switch as they are. A sound started
// before the board decided the same from the same key: the board shows it.
void TOvelMainForm::DecideSceneAndPlay(const TStoredKey& key)
{
    const TDayTimes times{ScheduleClock().Now(), DayOnTime, NightOnTime};
    const std::optional<TStartState> early = TakeEarlyStartState();
    const TStartState state = early ? *early
                                    : DecideStartState({OvelComboBox.ItemIndex(), PlayCheckBox.Checked()},
                                                       {StartedBySwitch, key.Has("AutoStartIndex"),
                                                        AutoStartComboBox.ItemIndex(), PackedWords.C1, times},
                                                       {AlternateCheckBox.Checked(), AlternateComboBox.ItemIndex()},
                                                       [this] { return NowIsNight(&OvelComboBox); });
    OvelComboBox.SetItemIndex(state.Scene);
    PlayCheckBox.SetChecked(state.Play);
}

void TOvelMainForm::SetSceneRanges(int scene)
{
    for (const TTrackBarDesign& design : TrackBarDesign) {
        const TRange range = TrackBarRange(design.Item, scene);
        if (auto* trackBar = dynamic_cast<::TTrackBar*>(Control(design.Item)))
            trackBar->SetRange(range.Min, range.Max);
    }
}

void TOvelMainForm::LoadSceneOptionsOnShow(const TStoredKey& key)
{
    const int scene = OvelComboBox.ItemIndex();
    // A stored level holds only in the range its scene gives the control.
    SetSceneRanges(scene);
    TSceneLoading loading(*this);
    LoadSceneOptions(loading, scene, PackedWords, key, migration_);
    loadedScene_ = scene;
}

void TOvelMainForm::RunSceneStep(TSceneStep step, bool banksPresent)
{
    const int scene = OvelComboBox.ItemIndex();
    switch (step) {
        case TSceneStep::HideNoFireLabel:
            NoFireLabel.Hide();
            break;
        case TSceneStep::ReattachLevels:
            Reattach(OptionTrackBar.OnChange);
            Reattach(Option1TrackBar1.OnChange);
            Reattach(Option1TrackBar.OnChange);
            break;
        case TSceneStep::NatureSlot:
            UserFolders[NatureFolderSlot(scene)].WithSubfolders = NatureSubfoldersCheckBox.Checked();
            break;
        case TSceneStep::MusicSlot:
            UserFolders[MusicFolderSlot(scene)].WithSubfolders = MusicSubfoldersCheckBox.Checked();
            break;
        case TSceneStep::Option5Bank:
            GateOption(Option5CheckBox, NoOption5Label, banksPresent);
            break;
        case TSceneStep::Option6Bank:
            ShowBankGate(Option6CheckBox, NoOption6Label, banksPresent);
            break;
        case TSceneStep::FireBank:
            GateOption(Option1CheckBox, NoFireLabel, banksPresent);
            break;
        case TSceneStep::StormBank:
            if (!banksPresent)
                StormCheckBox.SetEnabled(false);
            break;
    }
}

void TOvelMainForm::ReattachSceneHandlers()
{
    const auto reattachWith = [this](TNotifyEvent& handler, bool banksPresent) {
        if (banksPresent)
            Reattach(handler);
        else
            Forget(handler);
    };
    Reattach(OptionCheckBox.OnClick);
    OptionCheckBoxClick(nullptr);
    Reattach(Option1CheckBox.OnClick);
    Reattach(Option2CheckBox.OnClick);
    reattachWith(Option3CheckBox.OnClick, Present(sbOvdf) || Present(sbOvbf));
    Reattach(Option4CheckBox.OnClick);
    Option4CheckBoxClick(nullptr);
    Reattach(Option5CheckBox.OnClick);
    Reattach(Option6CheckBox.OnClick);
    reattachWith(Option7CheckBox.OnClick, Present(sbOvdf) || Present(sbOvif));
    reattachWith(WindCheckBox.OnClick, Present(sbOvfw));
    reattachWith(WindVolumeTrackBar.OnChange, Present(sbOvfw));
    for (TCheckBox* box :
         {&NatureFolderCheckBox, &NatureSubfoldersCheckBox, &NatureAutoAllocCheckBox, &MusicFolderCheckBox,
          &MusicSubfoldersCheckBox, &MusicAutoAllocCheckBox, &GuitarCheckBox, &HaCheckBox, &FluteCheckBox})
        Reattach(box->OnClick);
    Reattach(NatureFolderTrackBar.OnChange);
    // The loaded states set from here on show as the handlers would show them.
    Option2CheckBoxClick(nullptr);
    Option5CheckBoxClick(nullptr);
    Option6CheckBoxClick(nullptr);
    Reattach(RainCheckBox.OnClick);
    RainCheckBoxClick(nullptr);
    MusicAutoAllocCheckBoxClick(nullptr);
    CompressionCheckBoxClick(nullptr);
    NatureAutoAllocCheckBoxClick(nullptr);
    Reattach(PlayCheckBox.OnClick);
    NatureFolderOutlook();
    MusicOutlook();
    if (!BoardStarting) {
        NatureSubfoldersCheckBoxClick(nullptr);
        MusicSubfoldersCheckBoxClick(nullptr);
    }
    FlightsOutlook();
}
