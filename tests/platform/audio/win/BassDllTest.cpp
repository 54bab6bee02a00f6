// bass.dll and bassmix.dll as the programs load them, heard through the null sink.

#include "platform/audio/bass.h"
#include "platform/audio/bassmix.h"
#include "SinkRecording.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr double kAudible = 0.02;  // RMS of the louder side, full scale 1 (0.07 expected at 5 m)
constexpr double kLouder = 2.0;    // how much louder the near side must be

const char* const kBassExports[] = {"BASS_GetVersion",
                                    "BASS_SetConfig",
                                    "BASS_GetDeviceInfo",
                                    "BASS_Init",
                                    "BASS_GetDevice",
                                    "BASS_GetInfo",
                                    "BASS_Start",
                                    "BASS_Stop",
                                    "BASS_Free",
                                    "BASS_ErrorGetCode",
                                    "BASS_Set3DFactors",
                                    "BASS_Set3DPosition",
                                    "BASS_Apply3D",
                                    "BASS_StreamCreateFile",
                                    "BASS_StreamCreateURL",
                                    "BASS_StreamCreate",
                                    "BASS_StreamFree",
                                    "BASS_ChannelPlay",
                                    "BASS_ChannelStop",
                                    "BASS_ChannelIsActive",
                                    "BASS_ChannelGetInfo",
                                    "BASS_ChannelGetLength",
                                    "BASS_ChannelBytes2Seconds",
                                    "BASS_ChannelFlags",
                                    "BASS_ChannelSetAttribute",
                                    "BASS_ChannelSlideAttribute",
                                    "BASS_ChannelSet3DPosition",
                                    "BASS_ChannelSetSync",
                                    "BASS_ChannelRemoveSync",
                                    "BASS_ChannelSetDSP",
                                    "BASS_PluginLoad",
                                    "BASS_PluginFree"};
const char* const kMixerExports[] = {"BASS_Mixer_StreamCreate", "BASS_Mixer_StreamAddChannel",
                                     "BASS_Mixer_ChannelSetMatrix"};

TEST(BassDllTest, ExportsEveryFunctionUndecoratedAndTheMixerForwardsToTheLibrary)
{
    const HMODULE bass = GetModuleHandleA("bass.dll");
    const HMODULE mixer = LoadLibraryA("bassmix.dll");
    ASSERT_NE(bass, nullptr);
    ASSERT_NE(mixer, nullptr);
    for (const char* name : kBassExports)
        EXPECT_NE(GetProcAddress(bass, name), nullptr) << name;
    for (const char* name : kMixerExports) {
        const FARPROC own = GetProcAddress(bass, name);
        EXPECT_NE(own, nullptr) << name;
        EXPECT_EQ(GetProcAddress(mixer, name), own) << name;
    }
    FreeLibrary(mixer);
}

TEST(BassDllTest, ListsTheSystemDevicesFromOne)
{
    EXPECT_EQ(HIWORD(BASS_GetVersion()), 0x0204);
    bool anyDefault = false;
    DWORD device = 1;
    for (BASS_DEVICEINFO info; BASS_GetDeviceInfo(device, &info); ++device) {
        EXPECT_TRUE(info.flags & BASS_DEVICE_ENABLED) << info.name;
        anyDefault |= (info.flags & BASS_DEVICE_DEFAULT) != 0;
    }
    EXPECT_GT(device, 1u);
    EXPECT_TRUE(anyDefault);
}

TEST(BassDllTest, OpensMp3FilesThroughTheSystemCodec)
{
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    const std::string path = OVEL_MP3_DIR "/stereo44.mp3";
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.freq, kRate);
    EXPECT_EQ(info.chans, 2u);
    BASS_Free();
}

struct PlacedCase {
    float x;
    bool leftLouder;
};

class BassDllPlacementTest : public testing::TestWithParam<PlacedCase> {};

TEST_P(BassDllPlacementTest, PlaysA3DSourceLouderOnItsSide)
{
    const std::optional<SinkRecording> recording = SinkRecording::Open();
    ASSERT_TRUE(recording) << "run through record-sink.sh";
    const std::vector<uint8_t> wave = MonoToneWave();
    ASSERT_TRUE(BASS_Init(-1, kRate, BASS_DEVICE_DSOUND, nullptr, nullptr)) << "error " << BASS_ErrorGetCode();
    BASS_Set3DFactors(1, 1, 0);
    const BASS_3DVECTOR listener{0, 1.7f, 0};
    const BASS_3DVECTOR none{0, 0, 0};
    BASS_Set3DPosition(&listener, &none, &none, &none);
    const HSTREAM stream = BASS_StreamCreateFile(TRUE, wave.data(), 0, wave.size(), BASS_SAMPLE_3D | BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    const BASS_3DVECTOR source{GetParam().x, 1.7f, 0};
    BASS_ChannelSet3DPosition(stream, &source, &none, &none);
    BASS_Apply3D();

    const uint64_t start = recording->Frames();
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    const ChannelLevels levels = recording->LevelsOnceSounding(start);
    BASS_Free();

    const double nearSide = GetParam().leftLouder ? levels.left : levels.right;
    const double farSide = GetParam().leftLouder ? levels.right : levels.left;
    EXPECT_GT(nearSide, kAudible);
    EXPECT_GT(nearSide, kLouder * farSide);
}

INSTANTIATE_TEST_SUITE_P(Sides, BassDllPlacementTest, testing::Values(PlacedCase{-5, true}, PlacedCase{5, false}));

}  // namespace
