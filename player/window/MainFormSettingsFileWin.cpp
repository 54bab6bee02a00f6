// The board's two buttons that put the whole settings key into a .Ovel file
// and load one back. The system's reg command exports and imports the key;
// the file holds its text deflated, guarded by a checksum, and only a text
// that is an export of the settings key is ever imported.
#include "player/window/MainForm.h"

#include "platform/forms/Registry.h"
#include "player/settings/SettingsFile.h"
#include "player/window/ShellCommand.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <fstream>
#include <iterator>

namespace {

// reg and the command interpreter start within seconds; a reg that asks a
// question in its hidden console would wait for ever.
constexpr unsigned kRegLimitMs = 30000;
constexpr int kTempNameTries = 64;
constexpr const char* kPackedSuffix = "-";

// Why an import stopped, shown after "Info ".
constexpr int kImportCantOpen = 1;
constexpr int kImportTempFile = 2;
constexpr int kImportReadShort = 4;
constexpr int kImportWriteShort = 5;
constexpr int kImportNotRun = 6;

std::string SettingsKeyPath() { return kProductKeyBase + ProductName; }
std::string RegKeyName() { return "HKCU\\" + SettingsKeyPath(); }
std::string ExportKeyName() { return "HKEY_CURRENT_USER\\" + SettingsKeyPath(); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool FileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

// reg asks before it overwrites a file, and nobody answers a hidden console:
// each transfer takes names no file has.
std::string NewTempName()
{
    for (int i = 0; i < kTempNameTries; ++i) {
        const std::string name = TempDir + RandomLetters8();
        if (!FileExists(name) && !FileExists(name + kPackedSuffix))
            return name;
    }
    return {};
}

// A file of the transfer's own, gone when the transfer ends.
class TTempFile {
public:
    explicit TTempFile(std::string name) : name_(std::move(name)) {}
    ~TTempFile()
    {
        if (!name_.empty())
            DeleteFileA(name_.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

// The two buttons rest while a transfer waits for reg with the messages handled.
class TTransferRunning {
public:
    explicit TTransferRunning(TOvelMainForm& board) : board_(board) { Enable(false); }
    ~TTransferRunning() { Enable(true); }
    TTransferRunning(const TTransferRunning&) = delete;
    TTransferRunning& operator=(const TTransferRunning&) = delete;

private:
    void Enable(bool enabled)
    {
        board_.ExportBitBtn.SetEnabled(enabled);
        board_.ImportBitBtn.SetEnabled(enabled);
    }
    TOvelMainForm& board_;
};

// At most largest + 1 bytes, so that a file too large is known without reading it all.
int ReadFileBytes(const std::string& name, std::size_t largest, TBytes& bytes)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return kImportCantOpen;
    bytes.resize(largest + 1);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (file.bad())
        return kImportReadShort;
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return 0;
}

int WriteFileBytes(const std::string& name, const TBytes& bytes)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    if (!file)
        return kImportTempFile;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return file ? 0 : kImportWriteShort;
}

// Now as the system writes a date and a time.
std::string DateAndTimeText()
{
    char date[80] = {};
    char time[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

}  // namespace

void TOvelMainForm::ExportBitBtnClick(TObject*)
{
    SetsSaveDialog.Title = ExportBitBtn.Hint();
    SetsSaveDialog.FileName = ExportFileName(DesktopDir, DateAndTimeText());
    if (!SetsSaveDialog.Execute(Handle()))
        return;
    const TTransferRunning running(*this);
    if (!ExportSettings(SetsSaveDialog.FileName))
        LangWarningBox(GetLangText("filecreateerror", false));
}

// The chosen file is replaced only by a whole new one; on any failure it stays as it was.
bool TOvelMainForm::ExportSettings(const std::string& fileName)
{
    if (!SaveOptions())
        return false;
    const TTempFile exported(NewTempName());
    if (exported.Name().empty())
        return false;
    const TTempFile packed(exported.Name() + kPackedSuffix);
    if (!RunShellCommand("reg export " + RegKeyName() + " " + Quoted(exported.Name()), kRegLimitMs))
        return false;
    TBytes text;
    if (ReadFileBytes(exported.Name(), kLargestSettingsText, text) != 0 || text.empty() ||
        text.size() > kLargestSettingsText)
        return false;
    const TBytes file = PackFile(text);
    return !file.empty() && WriteFileBytes(packed.Name(), file) == 0 &&
           MoveFileExA(packed.Name().c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

void TOvelMainForm::ImportBitBtnClick(TObject*)
{
    const std::string title = UserFileDialog.Title;
    const std::string filter = UserFileDialog.Filter;
    UserFileDialog.Title = ImportBitBtn.Hint();
    UserFileDialog.Filter = SetsSaveDialog.Filter;
    const bool chosen = UserFileDialog.Execute(Handle());
    UserFileDialog.Title = title;
    UserFileDialog.Filter = filter;
    if (!chosen)
        return;
    const std::string fileName = UserFileDialog.FileName;
    if (!FileExists(fileName)) {
        LangWarningBox(GetLangTextFmt("filecantopen", {fileName}, false));
        return;
    }
    const TTransferRunning running(*this);
    const int code = ImportSettings(fileName);
    if (code == kUnpackCorrupt)
        LangWarningBox(GetLangTextFmt("filecorrupt", {fileName}, false));
    else if (code != 0)
        LangWarningBox(GetLangTextFmt("filecantopen", {fileName}, false) + "\r\nInfo " + std::to_string(code));
}

// The key changes only when the file is whole and holds an export of the
// settings key and nothing else.
int TOvelMainForm::ImportSettings(const std::string& fileName)
{
    TBytes file;
    if (const int code = ReadFileBytes(fileName, kLargestSettingsFile, file))
        return code;
    TBytes text;
    if (UnpackFile(file, text) != 0 || !ExportTextAccepted(text, ExportKeyName()))
        return kUnpackCorrupt;
    const TTempFile unpacked(NewTempName());
    if (unpacked.Name().empty())
        return kImportTempFile;
    if (const int code = WriteFileBytes(unpacked.Name(), text))
        return code;

    // Silent while the key changes; the scene then starts once, as the play switch says.
    StopAllSound();
    const bool imported = RunShellCommand("reg import " + Quoted(unpacked.Name()), kRegLimitMs);
    struct TStarting {
        TStarting() { BoardStarting = true; }
        ~TStarting() { BoardStarting = false; }
    } starting;
    SetControls();
    ApplyImportedPlace();
    OvelComboBoxSelect(nullptr);
    return imported ? 0 : kImportNotRun;
}

// What the start takes from the key besides the controls: the board's place,
// the output device and the language.
void TOvelMainForm::ApplyImportedPlace()
{
    TRegistry& registry = *ProgRegistry;
    const bool opened = OpenProductKey();
    const std::optional<std::int32_t> left = opened ? registry.ReadInteger("BoardLeft") : std::nullopt;
    const std::optional<std::int32_t> top = opened ? registry.ReadInteger("BoardTop") : std::nullopt;
    const std::optional<std::string> deviceName = opened ? registry.ReadString("DeviceName") : std::nullopt;
    const std::optional<std::string> langFile = opened ? registry.ReadString("LangFile") : std::nullopt;
    registry.CloseKey();

    PlaceBoard(left, top);
    const int device = deviceName ? DeviceComboBox.Items.IndexOf(*deviceName) : -1;
    if (device >= 0) {
        DeviceComboBox.SetItemIndex(device);
        OutputDevice = static_cast<int>(DeviceComboBox.Items.Objects(device));
        DeviceComboBox.SetHint(DeviceComboBox.Text());
    }
    for (std::size_t i = 0; langFile && i < LangFiles.size(); ++i) {
        const int index = static_cast<int>(i);
        if (LowerCase(LangFiles[i]) == LowerCase(*langFile) && index != CurrentLangIndex && SelectLanguage(index))
            LangComboBox.SetItemIndex(index);
    }
}
