#include "tests/player/window/BoardFixture.h"

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/win/PluginFiles.h"
#include "platform/forms/Application.h"
#include "player/window/MainForm.h"
#include "platform/forms/Registry.h"
#include "player/engine/ProductConsts.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"
#include "player/settings/PackedWords.h"
#include "player/window/Scenes.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultOutput = -1;

class TDistBankFiles : public TBankFileSystem {
public:
    bool FileExists(const std::string& name) override { return fs::is_regular_file(fs::path(OVEL_DIST_DIR) / name); }

    std::unique_ptr<TBankFile> OpenUnshared(const std::string& name) override
    {
        std::ifstream file(fs::path(OVEL_DIST_DIR) / name, std::ios::binary);
        if (!file)
            return nullptr;
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        return std::make_unique<TMemoryBankFile>(std::move(bytes));
    }
};

class TNoBankMessages : public TBankMessages {
public:
    void ReportFileNotFound(const std::string& name) override { ADD_FAILURE() << "not found: " << name; }
    void ReportFileCantOpen(const std::string& name) override { ADD_FAILURE() << "can't open: " << name; }
    void ReportFileBadVersion(const std::string& name) override { ADD_FAILURE() << "bad version: " << name; }
    void ReportFileCorrupt(const std::string& name) override { ADD_FAILURE() << "corrupt: " << name; }
};

class TSilentDevice : public ovelaudio::OutputBackend {
public:
    std::vector<ovelaudio::DeviceEntry> Devices() override { return {{"Speakers", "spk", true, true}}; }
    std::unique_ptr<ovelaudio::OutputDriver> Open(size_t, uint32_t rate, void*, ovelaudio::RenderFn, ovelaudio::FailFn,
                                                  int&) override
    {
        return std::make_unique<TSilentDriver>(rate);
    }
};

}  // namespace

void UseSilentOutput()
{
    static TSilentDevice device;
    ovelaudio::SetOutputBackend(&device);
}

TDateTime BoardClockStart() { return EncodeDate(2026, 6, 15) + EncodeTime(12, 7); }

TFakeScheduleClock& BoardClock()
{
    static TFakeScheduleClock clock;
    return clock;
}

void PrepareLikeTheStart()
{
    BoardClock().Wall = BoardClockStart();
    SetScheduleClock(&BoardClock());
    ProgInfoInitialization();
    SetProductGlobals();
    ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
    // The board loads the format plug-ins as the program's audio library does.
    ovelaudio::SetPluginLoader(ovelaudio::LoadPluginFile, ovelaudio::FreePluginFile);
    ASSERT_TRUE(LoadLanguages());
    ASSERT_NE(BASS_Init(kDefaultOutput, kOutputRate, 0, nullptr, nullptr), 0) << "no output: run under the display";
    DefaultDevice = static_cast<int>(BASS_GetDevice());
    BASS_Free();
    TDistBankFiles files;
    TNoBankMessages messages;
    const std::optional<unsigned> revisionSum = OpenSoundBanks(SoundBanks, files, messages);
    ASSERT_TRUE(revisionSum) << "no shipped banks in " << OVEL_DIST_DIR << ": build the native tree";
    AppendRevisionSum(*revisionSum);
}

void CreateDayForestBoard()
{
    PrepareLikeTheStart();
    StoreDayForestStart();
    ASSERT_TRUE(PrepareApplication());
    ASSERT_TRUE(CreateOvelMainForm());
}

void HoldTheSchedule() { OvelMainForm->ScheduleTimer.SetEnabled(false); }

void CreateBoardLikeTheProgram()
{
    PrepareLikeTheStart();
    ASSERT_TRUE(PrepareApplication());
    ASSERT_TRUE(CreateOvelMainForm());
}

void StoreDayForestStart()
{
    const auto bit = [](TBoardItem item, int state) { return PlaceField(*FindField(pwC1, item), state); };
    const std::uint32_t c1 = bit(TBoardItem::PlayCheckBox, 1) | bit(TBoardItem::UseCurrentDefDeviceRadioButton, 1) |
                             bit(TBoardItem::MuteComboBox, 1);
    ASSERT_TRUE(OpenProductKey());
    EXPECT_TRUE(ProgRegistry->WriteInteger("C1", static_cast<std::int32_t>(AddParityBits(c1))));
    EXPECT_TRUE(ProgRegistry->WriteInteger("OvelIndex", kDayScene));
    ProgRegistry->CloseKey();
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit, const std::function<void()>& watch)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        Application.ProcessMessages();
        if (watch)
            watch();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

bool PumpQueued()
{
    bool reached = false;
    Application.Post([&reached] { reached = true; });
    return PumpUntil([&reached] { return reached; }, kShortPump);
}
