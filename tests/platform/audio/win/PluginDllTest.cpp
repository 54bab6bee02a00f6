// The format plug-in DLLs as the player loads them: each is taken by
// BASS_PluginLoad and its files play through the null sink.

#include "platform/audio/bass.h"
#include "SinkRecording.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr double kAudible = 0.02;  // RMS of each side, full scale 1 (the tone is near 0.35)

bool WithoutRuntime() { return std::getenv("OVEL_NO_WMA_RUNTIME") != nullptr; }

std::string Fixture(const char* name) { return std::string(OVEL_PLUGIN_FILES) + "/" + name; }

struct PluginCase {
    const char* dll;
    const char* file;
};

class PluginDllPlayTest : public testing::TestWithParam<PluginCase> {
protected:
    void TearDown() override
    {
        BASS_Free();
        BASS_PluginFree(0);
    }
};

TEST_P(PluginDllPlayTest, LoadsAndPlaysItsFiles)
{
    if (WithoutRuntime())
        GTEST_SKIP() << "run where the system has its media runtime";
    const std::optional<SinkRecording> recording = SinkRecording::Open();
    ASSERT_TRUE(recording) << "run through record-sink.sh";
    ASSERT_NE(BASS_PluginLoad(GetParam().dll, 0), 0u) << "error " << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << "error " << BASS_ErrorGetCode();
    const std::string path = Fixture(GetParam().file);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.freq, kRate);
    EXPECT_EQ(info.chans, 2u);

    const uint64_t start = recording->Frames();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    const ChannelLevels levels = recording->LevelsOnceSounding(start);
    EXPECT_GT(levels.left, kAudible);
    EXPECT_GT(levels.right, kAudible);
}

INSTANTIATE_TEST_SUITE_P(Formats, PluginDllPlayTest,
                         testing::Values(PluginCase{"bassflac.dll", "tone.flac"}, PluginCase{"basswv.dll", "tone.wv"},
                                         PluginCase{"basswma.dll", "tone.wma"}),
                         [](const auto& test) { return std::string(test.param.file).substr(5); });

TEST(PluginDllTest, RefusesAPluginOfAnotherVersion)
{
    EXPECT_EQ(BASS_PluginLoad(OVEL_PLUGIN_FILES "/NewerPlugin.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_VERSION);
    EXPECT_EQ(GetModuleHandleA("NewerPlugin.dll"), nullptr);
}

TEST(PluginDllTest, FreeingAllPluginsWhileAFlacPlaysFreesItsStreamFirst)
{
    ASSERT_NE(BASS_PluginLoad("bassflac.dll", 0), 0u);
    ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << "error " << BASS_ErrorGetCode();
    const std::string path = Fixture("tone.flac");
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    Sleep(300);

    EXPECT_TRUE(BASS_PluginFree(0));
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(GetModuleHandleA("bassflac.dll"), nullptr);
    Sleep(100);
    BASS_Free();
}

// Like any file of a format nobody decodes.
TEST(PluginDllTest, AWmaFileDoesNotOpenWithoutTheRuntime)
{
    if (!WithoutRuntime())
        GTEST_SKIP() << "run with the media runtime disabled";
    ASSERT_NE(BASS_PluginLoad("basswma.dll", 0), 0u) << "error " << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    const std::string path = Fixture("tone.wma");
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    BASS_Free();
    BASS_PluginFree(0);
}

}  // namespace
