// The board's settings in the real registry of the test's prefix: what one
// board stores is what the next start shows, in a process of its own (this
// program started again in its child role, which writes what its board shows
// to a file), and the export and import through the real reg with the
// system's dialogs answered by a watcher thread.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "platform/forms/Registry.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/SystemInfoLine.h"
#include "player/settings/SettingsFile.h"
#include "player/window/BoardState.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/player/window/BoardFixture.h"
#include "tests/player/window/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

bool operator==(const TRegistryValue& a, const TRegistryValue& b) { return a.Type == b.Type && a.Data == b.Data; }

namespace {

namespace fs = std::filesystem;
using B = TBoardItem;
using TShown = std::map<std::string, std::string>;

constexpr const char* kChildDumpVariable = "OVEL_BOARD_DUMP";
constexpr const char* kChildFilter = "--gtest_filter=BoardSettingsChild.*";
constexpr DWORD kChildLimitMs = 180000;
constexpr double kMinutesPerDay = 1440.0;
const std::string kSettingsKey = "Software\\Tamlin\\Ovel";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "OvelImportedRun";

const ovelaudio::DeviceEntry kSpeakers{"Speakers", "spk", true, false};
const ovelaudio::DeviceEntry kHeadphones{"Headphones", "hp", true, true};
TScriptedDevices Devices;

const std::map<TBoardItem, std::string>& ItemNames()
{
    static const std::map<TBoardItem, std::string> names = {
#define OVEL_BOARD_CONTROL(Name, Kind, Container) {TBoardItem::Name, #Name},
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
        {B::StreamMarkerX, "StreamX"}, {B::StreamMarkerY, "StreamY"},      {B::FireMarkerX, "FireX"},
        {B::FireMarkerY, "FireY"},     {B::LimiterLowBound, "LimiterLow"}, {B::LimiterHighBound, "LimiterHigh"},
    };
    return names;
}

std::optional<TBoardItem> ItemNamed(const std::string& name)
{
    for (const auto& [item, itemName] : ItemNames())
        if (itemName == name)
            return item;
    return std::nullopt;
}

TOvelMainForm& Board() { return *OvelMainForm; }

int Minutes(TDateTime time) { return static_cast<int>(std::lround(time * kMinutesPerDay)); }
TDateTime FromMinutes(const std::string& minutes) { return std::stoi(minutes) / kMinutesPerDay; }

std::string CurrentLangFile() { return LangFiles[static_cast<std::size_t>(CurrentLangIndex)]; }

void SelectLangFile(const std::string& file)
{
    for (std::size_t i = 0; i < LangFiles.size(); ++i) {
        if (LangFiles[i] == file) {
            ASSERT_TRUE(SelectLanguage(static_cast<int>(i)));
        }
    }
}

// Settings that no packed word holds, by the name the key gives them.
struct TPlainValue {
    const char* Name;
    std::function<std::string()> Shown;
    std::function<void(const std::string&)> Set;
};

const std::vector<TPlainValue>& PlainValues()
{
    static const auto folder = [](const char* name, TUserFolderId slot) {
        return TPlainValue{name, [slot] { return UserFolders[slot].Path; },
                           [slot](const std::string& path) { UserFolders[slot].Path = path; }};
    };
    static const auto picker = [](const char* name, TDateTimePicker TOvelMainForm::*control) {
        return TPlainValue{name, [control] { return std::to_string(Minutes((Board().*control).Time())); },
                           [control](const std::string& v) { (Board().*control).SetTime(FromMinutes(v)); }};
    };
    static const auto time = [](const char* name, TDateTime& global) {
        return TPlainValue{name, [&global] { return std::to_string(Minutes(global)); },
                           [&global](const std::string& v) { global = FromMinutes(v); }};
    };
    static const auto text = [](const char* name, std::string& global) {
        return TPlainValue{name, [&global] { return global; }, [&global](const std::string& v) { global = v; }};
    };
    static const auto caption = [](const char* name, TCheckBox TOvelMainForm::*box) {
        return TPlainValue{name, [box] { return (Board().*box).Caption(); },
                           [box](const std::string& v) { (Board().*box).SetCaption(v); }};
    };
    static const auto tag = [](const char* name, TBitBtn TOvelMainForm::*button) {
        return TPlainValue{name, [button] { return std::to_string((Board().*button).Tag); },
                           [button](const std::string& v) { (Board().*button).Tag = std::stoi(v); }};
    };
    static const std::vector<TPlainValue> values = {
        {"BoardLeft", [] { return std::to_string(Board().Left()); },
         [](const std::string& v) {
             const RECT bounds = Board().Bounds();
             Board().SetBounds(std::stoi(v), Board().Top(), bounds.right - bounds.left, bounds.bottom - bounds.top);
         }},
        {"BoardTop", [] { return std::to_string(Board().Top()); },
         [](const std::string& v) {
             const RECT bounds = Board().Bounds();
             Board().SetBounds(Board().Left(), std::stoi(v), bounds.right - bounds.left, bounds.bottom - bounds.top);
         }},
        {"DeviceName", [] { return Board().DeviceComboBox.Text(); },
         [](const std::string& v) {
             Board().DeviceComboBox.SetItemIndex(Board().DeviceComboBox.Items.IndexOf(v));
             Board().DeviceComboBoxSelect(nullptr);
         }},
        picker("TessilTime", &TOvelMainForm::TessilDateTimePicker),
        picker("CompOffTime", &TOvelMainForm::MuteDateTimePicker),
        picker("AlarmTime", &TOvelMainForm::AlarmTimePicker),
        text("UserAlarmFileName", AlarmFileName),
        caption("Chime00Min", &TOvelMainForm::Chime00CheckBox),
        tag("Chime00Num", &TOvelMainForm::Chime00BitBtn),
        text("Chime00Path", Chime00Path),
        caption("Chime30Min", &TOvelMainForm::Chime30CheckBox),
        tag("Chime30Num", &TOvelMainForm::Chime30BitBtn),
        text("Chime30Path", Chime30Path),
        time("SunsetOffset", SunsetOffset),
        time("SunriseOffset", SunriseOffset),
        time("DayOnTime", DayOnTime),
        time("NightOnTime", NightOnTime),
        {"LangFile", CurrentLangFile, SelectLangFile},
        folder("NatureFolderDFPath", ufDayNature),
        folder("NatureFolderNFPath", ufNightNature),
        folder("MusicFolderDFPath", ufDayMusic),
        folder("MusicFolderNFPath", ufNightMusic),
        {"ZoneTop", [] { return std::to_string(Board().ZoneVLabel.Top() - Board().ZoneVPanel.Top()); }, nullptr},
        {"ZoneHeight", [] { return std::to_string(Board().ZoneVLabel.Height()); }, nullptr},
    };
    return values;
}

const char* SceneName(int scene) { return scene == kNightScene ? "night" : "day"; }

// Every setting the shown scene stores, as the board shows it.
void WriteShown(std::ostream& out, int shownScene)
{
    const std::string scene = SceneName(shownScene);
    std::set<TBoardItem> items = {B::OvelComboBox, B::AutoStartComboBox, B::AlternateComboBox, B::RainComboBox,
                                  B::WaitAnyDefDeviceRadioButton};
    const std::vector<TPackedWordId> words =
        shownScene == kNightScene ? std::vector<TPackedWordId>{pwC1, pwC5, pwC6, pwC7, pwN1, pwN2, pwN70, pwN71, pwN7F}
                                  : std::vector<TPackedWordId>{pwC1, pwC5, pwC6, pwC7, pwD1, pwD2, pwD70, pwD71, pwD72};
    for (TPackedWordId word : words)
        for (const TWordField& field : WordLayout(word).Fields)
            items.insert(field.Item);
    for (TBoardItem item : items)
        out << scene << "." << ItemNames().at(item) << "=" << Board().ItemState(item) << "\n";
    for (const TPlainValue& value : PlainValues())
        out << scene << "." << value.Name << "=" << value.Shown() << "\n";
    // While the scenes alternate, a label stands in for the scene list.
    out << scene << ".SceneListShown=" << Board().OvelComboBox.Visible() << "\n";
}

void SetShown(const std::string& name, const std::string& value)
{
    if (const std::optional<TBoardItem> item = ItemNamed(name)) {
        // These are stored as they stand: their handlers would run the
        // service program, which does not lie beside the test, or ask for a
        // sound file, the test's board having no chimes or alarm bank.
        const std::map<std::string, TNotifyEvent*> quiet = {
            {"AutoStartCheckBox", &Board().AutoStartCheckBox.OnClick},
            {"AsServiceCheckBox", &Board().AsServiceCheckBox.OnClick},
            {"Chime00CheckBox", &Board().Chime00CheckBox.OnClick},
            {"Chime30CheckBox", &Board().Chime30CheckBox.OnClick},
            {"AlarmClockCheckBox", &Board().AlarmClockCheckBox.OnClick},
            {"InnerAlarmRadioButton", &Board().InnerAlarmRadioButton.OnClick},
            {"FileAlarmRadioButton", &Board().FileAlarmRadioButton.OnClick}};
        const auto found = quiet.find(name);
        const TNotifyEvent handler = found != quiet.end() ? *found->second : TNotifyEvent{};
        if (found != quiet.end())
            *found->second = nullptr;
        Board().SetItemState(*item, std::stoi(value));
        if (found != quiet.end())
            *found->second = handler;
        return;
    }
    for (const TPlainValue& plain : PlainValues())
        if (plain.Name == name && plain.Set)
            return plain.Set(value);
    ADD_FAILURE() << "no setting named " << name;
}

// A setting and what it holds: in a scene ("day.", "night.") or common.
struct TSetting {
    std::string Name;
    std::string Value;
};
using TSettings = std::vector<TSetting>;

// Every stored setting away from what a start without settings gives it, and
// each scene's value apart from the other's.
const TSettings kDayTable = {
    {"OptionTrackBar", "40"},
    {"OptionCheckBox", "0"},
    {"StreamX", "5"},
    {"StreamY", "30"},
    {"Option1TrackBar", "2"},
    {"Option1TrackBar1", "30"},
    {"Option5CheckBox", "1"},
    {"Option5ComboBox", "3"},
    {"GuitarCheckBox", "1"},
    {"GuitarComboBox", "1"},
    {"FluteCheckBox", "0"},
    {"FluteComboBox", "2"},
    {"HaCheckBox", "0"},
    {"HaComboBox", "3"},
    {"NatureFolderCheckBox", "1"},
    {"NatureFolderTrackBar", "60"},
    {"NatureFolderComboBox", "1"},
    {"NatureSubfoldersCheckBox", "0"},
    {"NatureAutoAllocCheckBox", "1"},
    {"MusicFolderCheckBox", "0"},
    {"MusicFolderTrackBar", "65"},
    {"MusicFolderComboBox", "2"},
    {"MusicSubfoldersCheckBox", "1"},
    {"MusicAutoAllocCheckBox", "0"},
    {"Option3CheckBox", "1"},
    {"NFBTrackBar", "20"},
    {"NFBComboBox", "2"},
    {"Option7CheckBox", "0"},
    {"NFITrackBar", "40"},
    {"NFIComboBox", "1"},
    {"Option6CheckBox", "0"},
    {"Option6ComboBox", "3"},
    {"WindCheckBox", "1"},
    {"WindVolumeTrackBar", "50"},
    {"RainComboBox", "3"},
    {"StormCheckBox", "2"},
    {"RainCheckBox", "0"},
    {"Option4CheckBox", "0"},
    {"Option4ComboBox", "2"},
    {"Option2CheckBox", "1"},
    {"Option2ComboBox", "1"},
    // A scene's folders are chosen while it shows.
    {"NatureFolderDFPath", "C:\\sounds\\day nature\\"},
    {"MusicFolderDFPath", "C:\\music\\day\\"},
};
// A bonfire level of 7 lies only in the night's range.
const TSettings kNightTable = {
    {"OptionCheckBox", "1"},
    {"OptionTrackBar", "60"},
    {"StreamX", "30"},
    {"StreamY", "5"},
    {"Option1TrackBar", "1"},
    {"Option1TrackBar1", "7"},
    {"Option1CheckBox", "0"},
    {"FireX", "20"},
    {"FireY", "3"},
    {"Option5CheckBox", "0"},
    {"Option5ComboBox", "2"},
    {"GuitarCheckBox", "0"},
    {"GuitarComboBox", "2"},
    {"FluteCheckBox", "1"},
    {"FluteComboBox", "3"},
    {"HaCheckBox", "1"},
    {"HaComboBox", "1"},
    {"NatureFolderCheckBox", "0"},
    {"NatureFolderComboBox", "2"},
    {"NatureFolderTrackBar", "70"},
    {"NatureSubfoldersCheckBox", "1"},
    {"NatureAutoAllocCheckBox", "0"},
    {"MusicFolderCheckBox", "1"},
    {"MusicFolderTrackBar", "75"},
    {"MusicFolderComboBox", "1"},
    {"MusicSubfoldersCheckBox", "0"},
    {"MusicAutoAllocCheckBox", "1"},
    {"Option3CheckBox", "0"},
    {"NFBTrackBar", "30"},
    {"NFBComboBox", "3"},
    {"Option7CheckBox", "1"},
    {"NFITrackBar", "45"},
    {"NFIComboBox", "2"},
    {"Option6CheckBox", "1"},
    {"Option6ComboBox", "1"},
    {"Option6TrackBar", "90"},
    {"WindCheckBox", "1"},
    {"WindVolumeTrackBar", "60"},
    {"RainComboBox", "4"},
    {"RainCheckBox", "0"},
    {"StormCheckBox", "0"},
    {"Option4CheckBox", "0"},
    {"Option4ComboBox", "3"},
    {"Option2CheckBox", "1"},
    {"Option2ComboBox", "3"},
    {"NatureFolderNFPath", "C:\\sounds\\night nature\\"},
    {"MusicFolderNFPath", "C:\\music\\night\\"},
};
const TSettings kCommonTable = {
    {"HWMCheckBox", "1"},
    {"MemoryCleanCheckBox", "1"},
    {"AlternateCheckBox", "0"},
    {"AlternateComboBox", "2"},
    {"Chime00CheckBox", "1"},
    {"Chime00Min", ":07"},
    {"Chime00Path", "C:\\chimes\\zero.wav"},
    {"FromComboBox", "6"},
    {"TillComboBox", "21"},
    {"LimiterLow", "15"},
    {"LimiterHigh", "40"},
    {"Chime00TrackBar", "33"},
    {"Chime30CheckBox", "1"},
    {"Chime30Min", ":45"},
    {"Chime30Path", "C:\\chimes\\half.wav"},
    {"Chime30TrackBar", "44"},
    {"Chime00Num", "2"},
    {"Chime30Num", "25"},
    {"CompressionCheckBox", "1"},
    {"AlarmClockCheckBox", "1"},
    {"AlarmTime", "425"},
    {"FileAlarmRadioButton", "1"},
    {"UserAlarmFileName", "C:\\alarm\\wake.mp3"},
    {"VolumeTrackBar", "40"},
    {"AutoStartComboBox", "0"},  // the plain start, which alone keeps the sound-on time
    {"AutoStartCheckBox", "1"},
    {"AsServiceCheckBox", "1"},
    {"CompOffTime", "1410"},
    {"MuteTimeCheckBox", "1"},
    {"TessilTime", "495"},
    {"MuteComboBox", "2"},
    {"SunsetOffset", "-30"},
    {"SunriseOffset", "20"},
    {"DayOnTime", "450"},
    {"NightOnTime", "1305"},
    {"TessilCheckBox", "1"},
    {"WaitThisDeviceRadioButton", "1"},
    {"DeviceName", "Speakers"},
    {"BoardLeft", "100"},
    {"BoardTop", "120"},
    {"LangFile", "german.lng"},
    // Shown only: the zone of the limiter's bounds.
    {"ZoneTop", "13"},
    {"ZoneHeight", "25"},
    {"InnerAlarmRadioButton", "0"},
    {"UseCurrentDefDeviceRadioButton", "0"},
    {"OvelComboBox", "1"},
};

bool IsPath(const TSetting& setting)
{
    const std::string suffix = "Path";
    return setting.Name.size() > suffix.size() &&
           setting.Name.compare(setting.Name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Paths first, as a user chooses the folder before its switch: a folder
// switched on without one opens the folder dialog.
void SetTable(const TSettings& table)
{
    for (const bool paths : {true, false})
        for (const TSetting& setting : table)
            if (IsPath(setting) == paths && setting.Name != "ZoneTop" && setting.Name != "ZoneHeight")
                SetShown(setting.Name, setting.Value);
}

// The table over another, names in both replaced.
TSettings With(TSettings table, const TSettings& changes)
{
    for (const TSetting& change : changes) {
        bool replaced = false;
        for (TSetting& setting : table)
            if (setting.Name == change.Name) {
                setting.Value = change.Value;
                replaced = true;
            }
        if (!replaced)
            table.push_back(change);
    }
    return table;
}

void ExpectShown(const TShown& shown, const std::string& scene, const TSettings& expected)
{
    for (const TSetting& setting : expected) {
        const auto found = shown.find(scene + "." + setting.Name);
        if (found == shown.end())
            ADD_FAILURE() << scene << " shows no " << setting.Name;
        else
            EXPECT_EQ(found->second, setting.Value) << scene << " " << setting.Name;
    }
}

// The settings key, value by value.
using TKeyValues = std::map<std::string, TRegistryValue>;

TKeyValues ReadKey(const std::string& path = kSettingsKey)
{
    TRegistry registry;
    TKeyValues values;
    if (registry.OpenKeyReadOnly(path))
        for (const std::string& name : registry.ValueNames())
            values[name] = *registry.ReadValue(name);
    return values;
}

void WriteKey(const TKeyValues& values)
{
    TRegistry registry;
    registry.DeleteKey(kSettingsKey);
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
    for (const auto& [name, value] : values)
        ASSERT_EQ(RegSetValueExA(registry.CurrentKey(), name.c_str(), 0, value.Type, value.Data.data(),
                                 static_cast<DWORD>(value.Data.size())),
                  ERROR_SUCCESS);
}

TRegistryValue Dword(std::uint32_t value)
{
    TRegistryValue stored{REG_DWORD, std::vector<BYTE>(sizeof value)};
    std::memcpy(stored.Data.data(), &value, sizeof value);
    return stored;
}

void ClearKey() { TRegistry().DeleteKey(kSettingsKey); }

void CreateBoard()
{
    ASSERT_TRUE(CreateOvelMainForm());
    ASSERT_TRUE(PumpQueued());
}

// The three ways the program ends.
enum class TEnd {
    Exit,
    PostedQuit,
    EndSession,
};

void EndBoard(TEnd end)
{
    const HWND board = Board().Handle();
    switch (end) {
        case TEnd::Exit:
            Board().ExitBitBtn.Click();
            break;
        case TEnd::PostedQuit:
            PostMessageA(board, WM_QUIT, 0, 0);
            break;
        case TEnd::EndSession:
            SendMessageA(board, WM_QUERYENDSESSION, 0, 0);
            SendMessageA(board, WM_ENDSESSION, TRUE, 0);
            break;
    }
    Application.Run();
    FreeOvelMainForm();
}

void ShowScene(int scene)
{
    if (scene == kDayScene)
        Board().ForestClick(nullptr);
    else
        Board().ForestNClick(nullptr);
    ASSERT_EQ(Board().OvelComboBox.ItemIndex(), scene);
}

// A board given every table value, then ended so.
void StoreTable(TEnd end)
{
    ClearKey();
    CreateBoard();
    ShowScene(kDayScene);
    SetTable(kDayTable);
    ShowScene(kNightScene);
    SetTable(kNightTable);
    SetTable(kCommonTable);
    Board().PlayCheckBox.SetChecked(false);
    EndBoard(end);
    SelectLangFile("english.lng");
}

const TKeyValues& TableKey()
{
    static const TKeyValues key = [] {
        StoreTable(TEnd::Exit);
        return ReadKey();
    }();
    return key;
}

// This program again, in its child role: what its board shows at the start
// and then in the other scene.
TShown RunChild(const std::string& startSwitch = "")
{
    const fs::path dump = fs::temp_directory_path() / "ovel-board-shown.txt";
    fs::remove(dump);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = std::string("\"") + program + "\" " + startSwitch + " " + kChildFilter;
    SetEnvironmentVariableA(kChildDumpVariable, dump.string().c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started =
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableA(kChildDumpVariable, nullptr);
    TShown shown;
    if (!started) {
        ADD_FAILURE() << "the child did not start";
        return shown;
    }
    EXPECT_EQ(WaitForSingleObject(child.hProcess, kChildLimitMs), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the child's board failed";
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    std::ifstream in(dump);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            shown[line.substr(0, equals)] = line.substr(equals + 1);
    }
    EXPECT_FALSE(shown.empty()) << "the child showed nothing";
    return shown;
}

void ExpectTable(const TShown& shown, const std::string& playing)
{
    ExpectShown(shown, "night", kNightTable);
    ExpectShown(shown, "day", kDayTable);
    ExpectShown(shown, "night", With(kCommonTable, {{"PlayCheckBox", playing}}));
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                             &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

std::set<fs::path> TempFiles()
{
    std::set<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(TempDir))
        files.insert(entry.path());
    return files;
}

TBytes FileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, const TBytes& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One press of a transfer button, its dialog answered with file; the boxes it showed.
std::vector<SeenMessageBox> Transfer(TBitBtn& button, const fs::path& file)
{
    const DialogAnswerer answerer(file.wstring());
    button.Click();
    EXPECT_EQ(answerer.FileDialogs(), 1);
    return answerer.Boxes();
}

class BoardSettingsWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static bool prepared = false;
        if (prepared)
            return;
        prepared = true;
        Devices.Set({kSpeakers, kHeadphones});
        ovelaudio::SetOutputBackend(&Devices);
        PrepareLikeTheStart();
        const std::string languages = ExeDir;
        InitSystemFolders();
        ExeDir = languages;
        ServerEdition = true;
        IsAdmin = true;
        ASSERT_TRUE(PrepareApplication());
    }

    void TearDown() override
    {
        if (OvelMainForm)
            FreeOvelMainForm();
        SelectLangFile("english.lng");
    }

    const fs::path folder_ = fs::temp_directory_path() / "ovel-settings";
    void SetUp() override { fs::create_directories(folder_); }
};

class BoardSettingsChild : public BoardSettingsWinTest {};

// The child role: skipped unless a parent asked for it.
TEST_F(BoardSettingsChild, ShowsWhatTheKeyHolds)
{
    const char* dump = std::getenv(kChildDumpVariable);
    if (!dump)
        GTEST_SKIP() << "run by the other cases";
    CreateBoard();
    std::ofstream out(dump);
    const int first = Board().OvelComboBox.ItemIndex();
    WriteShown(out, first);
    ShowScene(first == kNightScene ? kDayScene : kNightScene);
    WriteShown(out, Board().OvelComboBox.ItemIndex());
    out << "first=" << SceneName(first) << "\n";
}

TEST_F(BoardSettingsWinTest, EverySettingComesBackAfterEachWayOfEnding)
{
    // A start without a switch plays; one by a switch in the mode "as at the
    // close" is silent, as the board closed.
    const struct {
        TEnd End;
        const char* StartSwitch;
        const char* Playing;
    } cases[] = {{TEnd::Exit, "", "1"}, {TEnd::PostedQuit, "", "1"}, {TEnd::EndSession, "gstart", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.End));
        StoreTable(c.End);
        const TShown shown = RunChild(c.StartSwitch);
        EXPECT_EQ(shown.count("first") ? shown.at("first") : "", "night");
        ExpectTable(shown, c.Playing);
    }
}

TEST_F(BoardSettingsWinTest, AnEmptyKeyGivesTheFormValuesAndTheTableDefaults)
{
    ClearKey();
    const TShown shown = RunChild();
    TScheduleClock& clock = ScheduleClock();
    TSunState sun;
    const bool night = NightAt(sun, clock.Now(), {clock.DaylightInForce(), 0, 0}, false).Night;
    const std::string scene = SceneName(night ? kNightScene : kDayScene);
    ASSERT_EQ(shown.count("first") ? shown.at("first") : "", scene) << "the alternation chooses by the calendar";
    ExpectShown(shown, scene,
                {
                    {"HWMCheckBox", "0"},         {"MemoryCleanCheckBox", "0"}, {"AlternateCheckBox", "1"},
                    {"AlternateComboBox", "4"},   {"SceneListShown", "0"},      {"Chime00CheckBox", "0"},
                    {"Chime00Min", ":00"},        {"FromComboBox", "0"},        {"TillComboBox", "23"},
                    {"LimiterLow", "11"},         {"LimiterHigh", "30"},        {"ZoneTop", "23"},
                    {"ZoneHeight", "19"},         {"Chime00TrackBar", "70"},    {"Chime30CheckBox", "0"},
                    {"Chime30Min", ":30"},        {"Chime30TrackBar", "70"},    {"Chime00Num", "3"},
                    {"Chime30Num", "8"},          {"CompressionCheckBox", "0"}, {"InnerAlarmRadioButton", "1"},
                    {"AlarmClockCheckBox", "0"},  {"AlarmTime", "390"},         {"FileAlarmRadioButton", "0"},
                    {"VolumeTrackBar", "90"},     {"AutoStartComboBox", "3"},   {"PlayCheckBox", "1"},
                    {"AutoStartCheckBox", "0"},   {"AsServiceCheckBox", "0"},   {"CompOffTime", "60"},
                    {"MuteTimeCheckBox", "0"},    {"TessilTime", "600"},        {"MuteComboBox", "1"},
                    {"TessilCheckBox", "0"},      {"DayOnTime", "540"},         {"NightOnTime", "1200"},
                    {"SunsetOffset", "0"},        {"SunriseOffset", "0"},       {"UseCurrentDefDeviceRadioButton", "1"},
                    {"DeviceName", "Headphones"}, {"LangFile", "english.lng"},
                });
    const TSettings dayDefaults = {
        {"Option1TrackBar", "1"},
        {"Option1TrackBar1", "50"},
        {"OptionTrackBar", "10"},
        {"OptionCheckBox", "1"},
        {"StreamX", "24"},
        {"StreamY", "8"},
        {"Option5CheckBox", "0"},
        {"Option5ComboBox", "0"},
        {"GuitarCheckBox", "0"},
        {"FluteCheckBox", "1"},
        {"HaCheckBox", "0"},
        {"NatureFolderCheckBox", "0"},
        {"NatureFolderTrackBar", "50"},
        {"MusicFolderTrackBar", "50"},
        {"NFBTrackBar", "50"},
        {"Option6CheckBox", "1"},
        {"Option6ComboBox", "0"},
        {"WindCheckBox", "0"},
        {"WindVolumeTrackBar", "70"},
        {"RainComboBox", "0"},
        {"StormCheckBox", "1"},
        {"RainCheckBox", "1"},
        {"Option4CheckBox", "1"},
        {"Option2CheckBox", "0"},
    };
    const TSettings nightDefaults = {
        {"OptionCheckBox", "0"},  {"OptionTrackBar", "10"},   {"StreamX", "24"},         {"StreamY", "8"},
        {"Option1TrackBar", "2"}, {"Option1TrackBar1", "16"}, {"Option1CheckBox", "1"},  {"FireX", "8"},
        {"FireY", "8"},           {"GuitarCheckBox", "1"},    {"FluteCheckBox", "0"},    {"HaCheckBox", "0"},
        {"Option6CheckBox", "0"}, {"Option6ComboBox", "2"},   {"Option6TrackBar", "85"}, {"WindCheckBox", "0"},
        {"RainCheckBox", "1"},    {"StormCheckBox", "1"},     {"Option4CheckBox", "1"},  {"Option2CheckBox", "0"},
    };
    ExpectShown(shown, scene, night ? nightDefaults : dayDefaults);
}

TEST_F(BoardSettingsWinTest, ADamagedWordDefaultsOnlyItsOwnControls)
{
    TKeyValues key = TableKey();
    key["D70"].Data[0] ^= 1;
    WriteKey(key);
    const TShown shown = RunChild();
    ExpectShown(shown, "night", kNightTable);
    // The wind level of a 0 word lies outside its range: the night's stays.
    ExpectShown(
        shown, "day",
        With(kDayTable, {{"OptionTrackBar", "10"}, {"StreamX", "24"}, {"StreamY", "8"}, {"WindVolumeTrackBar", "60"}}));
}

TEST_F(BoardSettingsWinTest, ValuesOfAnotherTypeOrSizeCountAsAbsent)
{
    TKeyValues key = TableKey();
    key["C1"] = {REG_SZ, {'1', '2', '3', 0}};
    key["AlarmTime"] = {REG_BINARY, {0, 0, 0x50, 0x3f}};
    WriteKey(key);
    const TShown shown = RunChild();
    ExpectShown(shown, "night", kNightTable);
    ExpectShown(shown, "day", kDayTable);
    ExpectShown(shown, "night",
                With(kCommonTable, {{"HWMCheckBox", "0"},
                                    {"MemoryCleanCheckBox", "0"},
                                    {"AlternateCheckBox", "1"},
                                    {"Chime00CheckBox", "0"},
                                    {"Chime30CheckBox", "0"},
                                    {"CompressionCheckBox", "0"},
                                    {"InnerAlarmRadioButton", "1"},
                                    {"AlarmClockCheckBox", "0"},
                                    {"FileAlarmRadioButton", "0"},
                                    {"AlarmTime", "390"},
                                    {"AutoStartCheckBox", "0"},
                                    {"AsServiceCheckBox", "0"},
                                    {"MuteTimeCheckBox", "0"},
                                    {"MuteComboBox", "1"},
                                    {"TessilCheckBox", "0"},
                                    {"WaitThisDeviceRadioButton", "0"},
                                    {"UseCurrentDefDeviceRadioButton", "1"},
                                    {"PlayCheckBox", "1"}}));
}

TEST_F(BoardSettingsWinTest, TheOlderLayoutIsAppliedOnceAndDeleted)
{
    const struct {
        const char* Name;
        std::uint32_t Value;
        const char* Scene;
        const char* Shown;  // the setting it lands on; null for none
        const char* ShownValue;
    } older[] = {
        {"Alternate", 0, "day", "AlternateCheckBox", "0"},
        {"AutoStart", 1, "day", "AutoStartCheckBox", "1"},
        {"AsService", 1, "day", "AsServiceCheckBox", "1"},
        // The default start mode is not the plain one, which alone keeps the
        // sound-on time while playing.
        {"Tessil", 1, "day", "TessilCheckBox", "0"},
        {"CompOff", 1, "day", "MuteTimeCheckBox", "1"},
        {"LoudnessDown", 0, "day", nullptr, nullptr},
        {"SendToSleep", 1, "day", "MuteComboBox", "2"},
        {"TurnItOff", 0, "day", nullptr, nullptr},
        {"Chime00", 1, "day", "Chime00CheckBox", "1"},
        {"Chime00Vol", 60, "day", "Chime00TrackBar", "60"},
        {"Chime30Vol", 50, "day", "Chime30TrackBar", "50"},
        {"GeneralVolume", 33, "day", "VolumeTrackBar", "33"},
        {"AlarmClock", 1, "day", "AlarmClockCheckBox", "1"},
        {"UserAlarm", 1, "day", "FileAlarmRadioButton", "1"},
        {"BirdsActivity", 2, "day", "Option1TrackBar", "2"},
        {"StreamSound", 0, "day", "OptionCheckBox", "0"},
        {"StreamLevel", 40, "day", "OptionTrackBar", "40"},
        {"StreamX", 5, "day", "StreamX", "5"},
        {"Crows", 1, "day", "Option5CheckBox", "1"},
        {"CrowsRare", 3, "day", "Option5ComboBox", "3"},
        {"Flute", 0, "day", "FluteCheckBox", "0"},
        {"NearFlights", 1, "day", nullptr, nullptr},
        {"NFB", 1, "day", "Option3CheckBox", "1"},
        {"NFVolume", 20, "day", "NFBTrackBar", "20"},
        {"Cuckoo", 0, "day", "Option6CheckBox", "0"},
        {"DFWind", 1, "day", "WindCheckBox", "1"},
        {"DFWindVolume", 55, "day", "WindVolumeTrackBar", "55"},
        {"RainStormOptional", 1, "day", "StormCheckBox", "2"},
        {"Rain", 0, "day", "RainCheckBox", "0"},
        {"Woodpeck", 0, "day", "Option4CheckBox", "0"},
        {"Crickets", 1, "day", "Option2CheckBox", "1"},
        {"StreamSoundN", 1, "night", "OptionCheckBox", "1"},
        {"StreamLevelN", 60, "night", "OptionTrackBar", "60"},
        {"FireActivity", 1, "night", "Option1TrackBar", "1"},
        {"FireLevel", 7, "night", "Option1TrackBar1", "7"},
        {"FireSound", 0, "night", "Option1CheckBox", "0"},
        {"FireX", 20, "night", "FireX", "20"},
        {"Beasts", 1, "night", "Option5CheckBox", "1"},
        {"GuitarN", 0, "night", "GuitarCheckBox", "0"},
        {"NearFlightsN", 1, "night", nullptr, nullptr},
        {"NFWind", 1, "night", "WindCheckBox", "1"},
        {"RainN", 0, "night", "RainCheckBox", "0"},
        {"RainStormN", 0, "night", "StormCheckBox", "0"},
        {"Owls", 0, "night", "Option4CheckBox", "0"},
        {"Nightingales", 1, "night", "Option2CheckBox", "1"},
    };
    TKeyValues key;
    for (const auto& value : older)
        key[value.Name] = Dword(value.Value);
    // The file alarm has its file: without one it would give way to another alarm.
    const char alarmFile[] = "C:\\wake.wav";
    key["UserAlarmFileName"] = {REG_SZ, std::vector<BYTE>(alarmFile, alarmFile + sizeof alarmFile)};
    WriteKey(key);

    TShown shown = RunChild();
    EXPECT_EQ(shown["first"], "day");
    for (const auto& value : older)
        if (value.Shown)
            ExpectShown(shown, value.Scene, {{value.Shown, value.ShownValue}});

    const TKeyValues migrated = ReadKey();
    for (const auto& value : older) {
        const bool falseActionStays =
            value.Value == 0 && (std::string(value.Name) == "LoudnessDown" || std::string(value.Name) == "TurnItOff");
        EXPECT_EQ(migrated.count(value.Name), falseActionStays ? 1u : 0u) << value.Name;
    }
    for (const char* word : {"C1", "C7", "D1", "D70", "N1", "N7F"})
        EXPECT_EQ(migrated.count(word), 1u) << word;
    // The next start, in the scene the first one ended in, shows the same.
    TShown again = RunChild();
    shown.erase("first");
    again.erase("first");
    EXPECT_EQ(again, shown);
}

int StoredBrookLevel(const char* word, TPackedWordId id)
{
    const TKeyValues key = ReadKey();
    std::uint32_t stored = 0;
    std::memcpy(&stored, key.at(word).Data.data(), sizeof stored);
    return FieldState(*FindField(id, B::OptionTrackBar), stored);
}

// The drop-down stores the scene before a choice; keys and the wheel choose without it.
TEST_F(BoardSettingsWinTest, AKeyChoiceStoresTheLeftSceneUnderItsOwnName)
{
    ClearKey();
    CreateBoard();
    ShowScene(kNightScene);
    Board().OptionTrackBar.SetPosition(60);
    ShowScene(kDayScene);
    Board().OptionTrackBar.SetPosition(50);
    SendMessageA(Board().OvelComboBox.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(Board().OvelComboBox.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(StoredBrookLevel("D70", pwD70), 50) << "an opened and closed drop-down";

    Board().OptionTrackBar.SetPosition(45);
    SendMessageA(Board().OvelComboBox.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(Board().OvelComboBox.ItemIndex(), kNightScene);
    EXPECT_EQ(Board().OptionTrackBar.Position(), 60);
    EXPECT_EQ(StoredBrookLevel("D70", pwD70), 45);
    EXPECT_EQ(StoredBrookLevel("N70", pwN70), 60);
    ShowScene(kDayScene);
    EXPECT_EQ(Board().OptionTrackBar.Position(), 45);
}

TEST_F(BoardSettingsWinTest, ALoadThatFailsLeavesTheBoardSavingWithItsHandlers)
{
    ClearKey();
    CreateBoard();
    Board().CompressionCheckBox.OnClick = [](TObject*) { throw std::runtime_error("handler failed"); };
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
    const std::uint32_t compression = PlaceField(*FindField(pwC1, B::CompressionCheckBox), 1);
    registry.WriteInteger("C1", static_cast<std::int32_t>(AddParityBits(compression)));
    registry.CloseKey();

    BoardStarting = true;
    EXPECT_THROW(Board().SetControls(), std::runtime_error);
    BoardStarting = false;
    Board().CompressionCheckBox.OnClick = nullptr;
    EXPECT_FALSE(LoadingSettings);
    EXPECT_TRUE(Board().PlayCheckBox.OnClick) << "the play switch's handler is back";
    EXPECT_TRUE(Board().SaveOptions());
}

TEST_F(BoardSettingsWinTest, AnImportBringsTheExportBackAndStartsTheSoundOnce)
{
    WriteKey(TableKey());
    CreateBoard();
    HoldTheSchedule();
    // The start's alternation would choose the calendar's scene: an import keeps the stored one.
    TScheduleClock& clock = ScheduleClock();
    TSunState sun;
    const int calendarScene = NightAt(sun, clock.Now(), {clock.DaylightInForce(), 0, 0}, false).Night;
    const int otherScene = calendarScene == kNightScene ? kDayScene : kNightScene;
    ShowScene(otherScene);
    Board().AlternateCheckBox.SetChecked(true);
    Board().AlternateComboBox.SetItemIndex(kAlternateByCalendar);
    const int volume = Board().VolumeTrackBar.Position();
    const int brook = Board().OptionTrackBar.Position();

    SelectLangFile("german.lng");
    const fs::path file = folder_ / "settings.Ovel";
    WriteFile(file, {'o', 'l', 'd'});
    const std::set<fs::path> temps = TempFiles();
    EXPECT_TRUE(Transfer(Board().ExportBitBtn, file).empty());
    EXPECT_EQ(TempFiles(), temps) << "no transfer file is left";
    TBytes text;
    ASSERT_EQ(UnpackFile(FileBytes(file), text), 0);
    EXPECT_TRUE(ExportTextAccepted(text, "HKEY_CURRENT_USER\\" + kSettingsKey));

    Board().VolumeTrackBar.SetPosition(77);
    Board().OptionTrackBar.SetPosition(88);
    Board().SetBounds(200, 210, Board().Bounds().right - Board().Bounds().left,
                      Board().Bounds().bottom - Board().Bounds().top);
    SetShown("DeviceName", "Headphones");
    ShowScene(calendarScene);
    SelectLangFile("english.lng");
    ASSERT_TRUE(Board().SaveOptions());

    // One start of the sound from silence, as the play switch gives it.
    Board().StopOvel();
    const std::size_t before = Devices.Opens();
    Board().PlayCheckBoxClick(nullptr);
    const std::size_t oneStart = Devices.Opens() - before;
    const std::size_t importing = Devices.Opens();
    EXPECT_TRUE(Transfer(Board().ImportBitBtn, file).empty());
    EXPECT_EQ(Devices.Opens() - importing, oneStart);
    EXPECT_EQ(TempFiles(), temps);
    EXPECT_EQ(Board().OvelComboBox.ItemIndex(), otherScene);
    EXPECT_EQ(Board().VolumeTrackBar.Position(), volume);
    EXPECT_EQ(Board().OptionTrackBar.Position(), brook);
    EXPECT_EQ(Board().Left(), 100);
    EXPECT_EQ(Board().Top(), 120);
    EXPECT_EQ(Board().DeviceComboBox.Text(), "Speakers");
    EXPECT_EQ(OutputDevice, 1);
    EXPECT_EQ(CurrentLangFile(), "german.lng");
    EXPECT_FALSE(LoadingSettings);
    EXPECT_FALSE(BoardStarting);
}

TEST_F(BoardSettingsWinTest, AFileThatIsNotAWholeExportChangesNothing)
{
    WriteKey(TableKey());
    CreateBoard();
    const fs::path good = folder_ / "good.Ovel";
    ASSERT_TRUE(Transfer(Board().ExportBitBtn, good).empty());
    const TBytes file = FileBytes(good);
    TBytes cut(file.begin(), file.end() - 9);
    TBytes altered = file;
    altered[altered.size() / 2] ^= 0x10;
    const std::string runText = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + kSettingsKey +
                                "]\r\n\"C5\"=dword:00000001\r\n\r\n[HKEY_CURRENT_USER\\" + kRunKey + "]\r\n\"" +
                                kRunValue + "\"=\"calc.exe\"\r\n";
    const struct {
        const char* What;
        TBytes File;
    } refused[] = {
        {"foreign", TBytes(300, 0x5A)},
        {"cut", cut},
        {"altered", altered},
        {"a run key", PackFile(TBytes(runText.begin(), runText.end()))},
    };
    const TKeyValues key = ReadKey();
    for (const auto& c : refused) {
        SCOPED_TRACE(c.What);
        const fs::path bad = folder_ / (std::string(c.What) + ".Ovel");
        WriteFile(bad, c.File);
        const std::vector<SeenMessageBox> boxes = Transfer(Board().ImportBitBtn, bad);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, Wide(GetLangTextFmt("filecorrupt", {bad.string()}, false)));
        EXPECT_EQ(ReadKey(), key);
        EXPECT_EQ(ReadKey(kRunKey).count(kRunValue), 0u);
    }
}

TEST_F(BoardSettingsWinTest, AnExportThatCannotReplaceTheFileKeepsIt)
{
    ClearKey();
    CreateBoard();
    const fs::path kept = folder_ / "kept.Ovel";
    WriteFile(kept, {'o', 'l', 'd'});
    // Held open by another program that shares it with nobody.
    const HANDLE held = CreateFileA(kept.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::set<fs::path> temps = TempFiles();
    const std::vector<SeenMessageBox> boxes = Transfer(Board().ExportBitBtn, kept);
    CloseHandle(held);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Wide(GetLangText("filecreateerror", false)));
    EXPECT_EQ(FileBytes(kept), (TBytes{'o', 'l', 'd'}));
    EXPECT_EQ(TempFiles(), temps);
    EXPECT_TRUE(Board().ExportBitBtn.Enabled());
    EXPECT_TRUE(Board().ImportBitBtn.Enabled());
}

}  // namespace
