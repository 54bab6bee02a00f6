// The alarm window over the board as the program makes it, the board silent,
// on the null sink's real output, which is recorded around the test.
#include "player/tools/AlarmClockUnit.h"

#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "player/engine/SoundBanks.h"
#include "player/window/MainForm.h"
#include "tests/platform/audio/win/SinkRecording.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kSilence = 0.001;  // root mean square of a recording with nothing playing
constexpr double kSounding = 0.005;
constexpr uint32_t kRate = SinkRecording::kRate;
constexpr uint32_t kToneFrames = kRate / 2;
constexpr UINT kWatchStep = 20;
constexpr UINT kGiveUpMs = 20000;

// A test's own timer: its closure runs every step while the window is open.
class TWatch {
public:
    explicit TWatch(std::function<void()> look)
    {
        timer_.OnTimer = [look = std::move(look)](TObject*) { look(); };
        timer_.SetInterval(kWatchStep);
        timer_.SetEnabled(true);
    }

private:
    TTimer timer_;
};

void PressKey(const TAlarmClockForm& form, UINT message, WPARAM key)
{
    PostMessageA(form.ExitBitBtn.Handle(), message, key, 0);
}

// Shows the window as the board's test button does; a window that does not
// close itself or by the test's key is closed after a while, as a failure.
bool ShowAlarm(TAlarmClockForm& form, const std::function<void()>& meanwhile = nullptr)
{
    bool gaveUp = false;
    const auto start = std::chrono::steady_clock::now();
    TWatch watch([&] {
        if (meanwhile)
            meanwhile();
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kGiveUpMs)) {
            gaveUp = true;
            form.Close();
        }
    });
    form.ShowModal();
    return !gaveUp;
}

std::string ToneFile()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "ovel-alarm-tone.wav";
    std::vector<int16_t> samples;
    for (uint64_t frame = 0; frame < kToneFrames; ++frame) {
        const auto sample = static_cast<int16_t>(std::lround(ToneSample(frame) * 32767.0f));
        samples.insert(samples.end(), {sample, sample});
    }
    const auto dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::ofstream file(path, std::ios::binary);
    const auto put = [&file](uint32_t value, int bytes) { file.write(reinterpret_cast<const char*>(&value), bytes); };
    file.write("RIFF", 4);
    put(36 + dataBytes, 4);
    file.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);  // PCM
    put(2, 2);
    put(kRate, 4);
    put(kRate * 4, 4);
    put(4, 2);
    put(16, 2);
    file.write("data", 4);
    put(dataBytes, 4);
    file.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
    return path;
}

double Level(const std::vector<int16_t>& stereo)
{
    const ChannelLevels levels = LevelsOf(stereo);
    return std::max(levels.left, levels.right);
}

class AlarmClockWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovelaudio::RegisterWindowsBackends();
        CreateBoardLikeTheProgram();
        OvelMainForm->PlayCheckBox.SetChecked(false);
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr);
        ASSERT_TRUE(recording) << "run under tests/platform/audio/win/record-sink.sh";
        OvelMainForm->FileAlarmRadioButton.SetFontColor(clDefault);
        OvelMainForm->InnerAlarmRadioButton.SetChecked(true);
        // What sounded before (the board's start, an earlier case) is recorded whole.
        ASSERT_TRUE(PumpUntil([this] { return Level(recording->Read(recording->Frames(), kRate / 4)) < kSilence; },
                              kShortPump));
    }

    static void ChooseFile(const std::string& path)
    {
        AlarmFileName = path;
        OvelMainForm->FileAlarmRadioButton.SetChecked(true);
    }

    // The first frame from that one on in which something sounds; none within the seconds.
    std::optional<uint64_t> FirstSound(uint64_t from, uint32_t seconds) const
    {
        const std::vector<int16_t> stereo = recording->Read(from, seconds * kRate);
        for (size_t i = 0; i < stereo.size(); ++i) {
            if (std::abs(stereo[i]) > 64)
                return from + i / 2;
        }
        return std::nullopt;
    }

    std::optional<SinkRecording> recording = SinkRecording::Open();
};

TEST_F(AlarmClockWinTest, TheBuiltInAlarmIsSilentASecondThenRingsUntilALoneShiftClosesIt)
{
    const uint64_t opened = recording->Frames();
    TAlarmClockForm form;
    ASSERT_TRUE(form.Created());
    uint64_t pressed = 0;
    EXPECT_TRUE(ShowAlarm(form, [&] {
        if (pressed == 0 && AlarmSeries.SoundCount >= 2) {
            pressed = recording->Frames();
            PressKey(form, WM_KEYDOWN, VK_SHIFT);
        }
    }));
    EXPECT_EQ(AlarmStream, 0u) << "the stream is freed";
    ASSERT_NE(pressed, 0u);
    const uint64_t closed = recording->Frames();

    EXPECT_LT(Level(recording->Read(opened, kRate * 9 / 10)), kSilence) << "the first second";
    const std::optional<uint64_t> first = FirstSound(opened, 4);
    ASSERT_TRUE(first) << "no built-in sound";
    std::printf("alarm window: first sound %.0f ms after the window was made\n",
                static_cast<double>(*first - opened) * 1000.0 / kRate);
    EXPECT_GT(Level(recording->Read(*first, kRate / 4)), kSounding);
    EXPECT_LT(Level(recording->Read(closed + kRate / 5, kRate / 2)), kSilence) << "silent once closed";
}

TEST_F(AlarmClockWinTest, AnyKeyClosesItAModifierAndAltAlone)
{
    struct Key {
        UINT message;
        WPARAM key;
    };
    for (const Key key : {Key{WM_SYSKEYDOWN, VK_MENU}, Key{WM_KEYDOWN, VK_CONTROL}, Key{WM_KEYDOWN, 'A'},
                          Key{WM_KEYDOWN, VK_RETURN}, Key{WM_KEYDOWN, VK_ESCAPE}}) {
        TAlarmClockForm form;
        ASSERT_TRUE(form.Created());
        PressKey(form, key.message, key.key);
        EXPECT_TRUE(ShowAlarm(form)) << "key " << key.key;
        EXPECT_EQ(AlarmStream, 0u);
    }
}

TEST_F(AlarmClockWinTest, AMissingFileRingsBuiltInAndReddensTheFileChoice)
{
    ChooseFile("Z:\\nowhere\\alarm.wav");
    TAlarmClockForm form;
    ASSERT_TRUE(form.Created());
    EXPECT_TRUE(OvelMainForm->InnerAlarmRadioButton.Checked()) << "the built-in alarm is the choice now";
    EXPECT_EQ(OvelMainForm->FileAlarmRadioButton.FontColor(), clRed);
    EXPECT_EQ(AlarmFileName, "Z:\\nowhere\\alarm.wav") << "the choice of file stays";
    bool rang = false;
    EXPECT_TRUE(ShowAlarm(form, [&] {
        if (!rang && BASS_ChannelIsActive(AlarmStream) == BASS_ACTIVE_PLAYING) {
            rang = true;
            PressKey(form, WM_KEYDOWN, VK_SPACE);
        }
    }));
    EXPECT_TRUE(rang);
    EXPECT_EQ(AlarmSeries.SoundCount, 1);
}

TEST_F(AlarmClockWinTest, WithoutTheAlarmBankAFailedFileClosesTheWindow)
{
    ChooseFile("Z:\\nowhere\\alarm.wav");
    SoundBanks[sbOvac].Present = false;
    TAlarmClockForm form;
    ASSERT_TRUE(form.Created());
    EXPECT_TRUE(ShowAlarm(form)) << "the window closes by itself";
    SoundBanks[sbOvac].Present = true;
    EXPECT_TRUE(OvelMainForm->FileAlarmRadioButton.Checked());
    EXPECT_EQ(OvelMainForm->FileAlarmRadioButton.FontColor(), clRed);
    EXPECT_EQ(AlarmSeries.SoundCount, 0);
}

TEST_F(AlarmClockWinTest, AToneFilePlaysOnceAndTheWindowThenClosesItself)
{
    const std::string tone = ToneFile();
    ChooseFile(tone);
    const uint64_t opened = recording->Frames();
    TAlarmClockForm form;
    ASSERT_TRUE(form.Created());
    EXPECT_TRUE(ShowAlarm(form));
    const uint64_t closed = recording->Frames();
    std::remove(tone.c_str());

    EXPECT_EQ(AlarmSeries.SoundCount, 0) << "no built-in sound";
    EXPECT_FALSE(OvelMainForm->InnerAlarmRadioButton.Checked());
    const std::optional<uint64_t> first = FirstSound(opened, 2);
    ASSERT_TRUE(first) << "the tone was not heard";
    EXPECT_GT(Level(recording->Read(*first + kRate / 20, kRate / 4)), kSounding);
    const uint64_t afterTone = *first + kToneFrames + kRate / 10;
    ASSERT_GT(closed, afterTone);
    EXPECT_LT(Level(recording->Read(afterTone, static_cast<size_t>(closed - afterTone))), kSilence)
        << "once played, silence until the window closed";
}

}  // namespace
