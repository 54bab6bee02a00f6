// Plug-ins through the library's calls: the table's version is checked, and
// freeing the plug-ins frees their streams first, even while they play.

#include "platform/audio/bass.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/core/TestHooks.h"
#include "platform/audio/plugins/flac/FlacPlugin.h"
#include "platform/audio/plugins/wavpack/WavPackPlugin.h"
#include "tests/platform/audio/plugins/CodecFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace codectest;

constexpr uintptr_t kFlacModule = 1;
constexpr uintptr_t kNewerModule = 2;
constexpr uint32_t kRate = 44100;

const OvelPluginTable* NewerTable()
{
    static OvelPluginTable table = [] {
        OvelPluginTable newer = *ovelflac::FlacPluginTable();
        newer.version = OVEL_PLUGIN_VERSION + 1;
        return newer;
    }();
    return &table;
}

std::vector<uintptr_t> unloaded;

uintptr_t LoadFake(const std::string& file, OvelPluginInitFn& init)
{
    if (file == "bassflac.dll") {
        init = ovelflac::FlacPluginTable;
        return kFlacModule;
    }
    if (file == "newer.dll") {
        init = NewerTable;
        return kNewerModule;
    }
    return 0;
}

void UnloadFake(uintptr_t module) { unloaded.push_back(module); }

// One second of a stereo tone as FLAC, made by the system's encoder.
std::vector<uint8_t> FlacTone()
{
    const std::string wave = ScratchPath("wav");
    const std::string flac = ScratchPath("flac");
    WriteFile(wave, MakeWave(MakeSignal(2, 16, kRate), 2, kRate, 16));
    EXPECT_TRUE(Run(std::string(OVEL_FLAC) + " --silent -f -o " + flac + " " + wave));
    return ReadFile(flac);
}

class PluginAbiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unloaded.clear();
        ovelaudio::SetPluginLoader(LoadFake, UnloadFake);
    }
    void TearDown() override
    {
        BASS_PluginFree(0);
        BASS_Free();
        ovelaudio::SetPluginLoader(nullptr, nullptr);
    }

    void Open(bool manual)
    {
        ovelaudio::testhooks::SetManualNoSound(manual);
        ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    }
};

TEST_F(PluginAbiTest, RefusesATableOfAnotherVersionAndUnloadsIt)
{
    EXPECT_EQ(BASS_PluginLoad("newer.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_VERSION);
    EXPECT_EQ(unloaded, std::vector<uintptr_t>{kNewerModule});
    EXPECT_EQ(BASS_PluginLoad("missing.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

TEST_F(PluginAbiTest, AFlacPlaysOnlyWhileItsPluginIsLoaded)
{
    Open(true);
    const std::vector<uint8_t> flac = FlacTone();
    EXPECT_EQ(BASS_StreamCreateFile(1, flac.data(), 0, flac.size(), 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

    const HPLUGIN plugin = BASS_PluginLoad("bassflac.dll", 0);
    ASSERT_NE(plugin, 0u);
    const HSTREAM stream = BASS_StreamCreateFile(1, flac.data(), 0, flac.size(), 0);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.freq, kRate);
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), uint64_t{kRate} * 2 * 2);

    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    std::vector<float> out(2 * 4096);
    ovelaudio::testhooks::RenderNoSound(out.data(), 4096);
    const std::vector<int64_t> signal = MakeSignal(2, 16, 4096);
    EXPECT_NEAR(out.back(), static_cast<float>(signal.back()) / 32768.0f, 1e-3f);

    ASSERT_TRUE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(unloaded, std::vector<uintptr_t>{kFlacModule});
    EXPECT_FALSE(BASS_PluginFree(plugin));
}

// The mixing thread is pulling the stream when everything is freed.
TEST_F(PluginAbiTest, FreeingAllPluginsWhileAFlacPlaysFreesTheStreamFirst)
{
    Open(false);
    const std::vector<uint8_t> flac = FlacTone();
    ASSERT_NE(BASS_PluginLoad("bassflac.dll", 0), 0u);
    const HSTREAM stream = BASS_StreamCreateFile(1, flac.data(), 0, flac.size(), BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    ASSERT_TRUE(BASS_PluginFree(0));
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(unloaded, std::vector<uintptr_t>{kFlacModule});
    EXPECT_EQ(ovelaudio::testhooks::LiveStreams(), 0u);
}

struct TableCase {
    const char* name;
    const OvelPluginTable* (*table)();
    const char* encode;  // wave in, file out
};

std::vector<float> ReadAll(const OvelPluginTable& table, OvelPluginStream* stream, uint32_t channels)
{
    std::vector<float> all;
    std::vector<float> piece(1000 * channels);
    while (const size_t got = table.read(stream, piece.data(), 1000))
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got * channels));
    return all;
}

class PluginTableTest : public ::testing::TestWithParam<TableCase> {
protected:
    static constexpr size_t kFrames = 10000;
    const std::vector<int64_t> signal_ = MakeSignal(2, 16, kFrames);

    std::vector<uint8_t> Encoded() const
    {
        const std::string wave = ScratchPath("wav");
        const std::string file = ScratchPath("coded.wv");  // the WavPack encoder would add the extension
        WriteFile(wave, MakeWave(signal_, 2, kRate, 16));
        EXPECT_TRUE(codectest::Run(std::string(GetParam().encode) + " " + wave + " -o " + file));
        return ReadFile(file);
    }
};

// What the library's loop and restart need: the same sound again from the start.
TEST_P(PluginTableTest, PlaysTheSameSoundAgainAfterARewind)
{
    const std::vector<uint8_t> bytes = Encoded();
    const OvelPluginTable& table = *GetParam().table();
    MemoryInput memory(bytes);
    OvelPluginFormat format{};
    OvelPluginStream* stream = table.open(&memory.Input(), &format);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(format.length_frames, kFrames);
    const std::vector<float> first = ReadAll(table, stream, format.channels);
    ASSERT_EQ(first.size(), signal_.size());
    EXPECT_EQ(first[1001], static_cast<float>(signal_[1001]) / 32768.0f);
    ASSERT_TRUE(table.rewind(stream));
    EXPECT_EQ(ReadAll(table, stream, format.channels), first);
    table.close(stream);
}

// A download that falls behind: reads give nothing for now, and the sound
// goes on whole once more bytes arrive.
TEST_P(PluginTableTest, PlaysADownloadWholeAsItArrives)
{
    const std::vector<uint8_t> bytes = Encoded();
    const OvelPluginTable& table = *GetParam().table();
    MemoryInput download(bytes, bytes.size() / 3);
    OvelPluginFormat format{};
    OvelPluginStream* stream = table.open(&download.Input(), &format);
    ASSERT_NE(stream, nullptr);
    std::vector<float> all;
    std::vector<float> piece(700 * 2);
    int waits = 0;
    for (;;) {
        const size_t got = table.read(stream, piece.data(), 700);
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got * 2));
        if (got > 0)
            continue;
        if (!download.Input().pending(download.Input().user))
            break;
        ++waits;
        download.Arrive(333);
    }
    table.close(stream);
    EXPECT_GT(waits, 0);
    ASSERT_EQ(all.size(), signal_.size());
    for (size_t i = 0; i < all.size(); i += 997)
        EXPECT_EQ(all[i], static_cast<float>(signal_[i]) / 32768.0f) << i;
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginTableTest,
                         ::testing::Values(TableCase{"Flac", ovelflac::FlacPluginTable, OVEL_FLAC " --silent -f"},
                                           TableCase{"WavPack", ovelwavpack::WavPackPluginTable,
                                                     OVEL_WAVPACK " -q -y --blocksize=1024"}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
