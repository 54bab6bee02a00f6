#include "LayerPlaybackFixture.h"

#include "platform/audio/core/TestHooks.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

// What the board's window message would carry to the GUI thread.
std::mutex PostedMutex;
std::vector<PostedEvent> Posted;

void PostToQueue(TLayerEvent event, TLayerId layer, DWORD data)
{
    std::lock_guard<std::mutex> lock(PostedMutex);
    Posted.push_back({event, layer, data});
}

}  // namespace

std::vector<std::uint8_t> WaveFile(std::uint16_t channels, std::uint32_t frames)
{
    return WaveFileOf(channels, frames, [](std::uint32_t i) { return static_cast<std::int16_t>((i % 50) * 100); });
}

std::vector<std::uint8_t> WaveFileOf(std::uint16_t channels, std::uint32_t frames,
                                     const std::function<std::int16_t(std::uint32_t)>& sampleAt)
{
    const std::uint32_t dataBytes = frames * channels * 2;
    std::vector<std::uint8_t> file(44 + dataBytes);
    auto put = [&file](std::size_t at, std::uint32_t value, std::size_t width) {
        StoreLittleEndian(&file[at], value, width);
    };
    std::memcpy(&file[0], "RIFF", 4);
    put(4, 36 + dataBytes, 4);
    std::memcpy(&file[8], "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, channels, 2);
    put(24, kRate, 4);
    put(28, kRate * channels * 2, 4);
    put(32, channels * 2u, 2);
    put(34, 16, 2);
    std::memcpy(&file[36], "data", 4);
    put(40, dataBytes, 4);
    for (std::uint32_t i = 0; i < frames * channels; ++i)
        put(44 + 2 * i, static_cast<std::uint16_t>(sampleAt(i)), 2);
    return file;
}

void LoadBankFiles(TBankId id, std::array<std::uint8_t, 3> groups, std::uint16_t entries,
                   const std::vector<std::vector<std::uint8_t>>& files)
{
    const std::size_t count = TableEntryCount(BankCatalogue[id].Kind, BankCatalogue[id].SingleGroup, groups[0],
                                              groups[1], groups[2], entries);
    std::vector<BankClip> clips(count);
    for (std::size_t i = 0; i < count; ++i)
        clips[i].bytes = files[std::min(i, files.size() - 1)];
    auto file = std::make_unique<TMemoryBankFile>(WriteBank(BankFileNames[id], 1, groups, entries, clips));
    TSoundBank& bank = SoundBanks[id];
    ASSERT_EQ(ReadBankHeader(*file, BankCatalogue[id].Kind, BankCatalogue[id].SingleGroup, bank), TBankVerdict::Sound);
    bank.Handle = std::move(file);
    bank.Present = true;
}

void LoadBank(TBankId id, std::array<std::uint8_t, 3> groups, std::uint16_t entries, std::uint16_t channels,
              std::uint32_t frames)
{
    LoadBankFiles(id, groups, entries, {WaveFile(channels, frames)});
}

std::vector<PostedEvent> TakePosted()
{
    std::lock_guard<std::mutex> lock(PostedMutex);
    return std::exchange(Posted, {});
}

std::vector<float> RenderNoSound(std::uint32_t frames)
{
    std::vector<float> out(std::size_t{frames} * ovelaudio::testhooks::NoSoundSpeakers());
    ovelaudio::testhooks::RenderNoSound(out.data(), frames);
    return out;
}

std::size_t LiveStreamCount() { return ovelaudio::testhooks::LiveStreams(); }

int LayerPlaybackTest::DeviceFailures = 0;

void LayerPlaybackTest::SetUp()
{
    for (TSoundBank& bank : SoundBanks)
        bank = TSoundBank{};
    LoadBank(sbOvda, {0, 2, 0}, 0, 1);
    LoadBank(sbOvna, {0, 2, 0}, 0, 1);
    LoadBank(sbOvnb, {1, 2, 1}, 0, 1);
    TakePosted();
    DeviceFailures = 0;
    SetLayerBoard(&board);
    SetLayerEventPoster(PostToQueue);
    SetDeviceFailHandler(CountDeviceFailure);
    ovelaudio::testhooks::SetManualNoSound(true);
    ASSERT_NE(BASS_Init(0, kRate, 0, nullptr, nullptr), 0);
    BASS_INFO info{};
    BASS_GetInfo(&info);
    SpeakerCount = static_cast<int>(info.speakers);
}

void LayerPlaybackTest::TearDown()
{
    BASS_Free();
    ovelaudio::testhooks::SetManualNoSound(false);
    StopLayers();
    SetLayerBoard(nullptr);
    SetLayerEventPoster(nullptr);
    SetDeviceFailHandler(nullptr);
    for (TSoundBank& bank : SoundBanks)
        bank = TSoundBank{};
}

void LayerPlaybackTest::DispatchPosted()
{
    for (const PostedEvent& posted : TakePosted())
        DispatchLayerEvent(posted.event, posted.layer, posted.data);
}

bool LayerPlaybackTest::Playing(TLayerId layer)
{
    return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING;
}

DWORD LayerPlaybackTest::StreamFlags(HSTREAM handle)
{
    BASS_CHANNELINFO info{};
    EXPECT_TRUE(BASS_ChannelGetInfo(handle, &info));
    return info.flags;
}
