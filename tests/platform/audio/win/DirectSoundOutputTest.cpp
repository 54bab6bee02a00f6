// The DirectSound output under Wine, heard through the null sink's monitor,
// and its failure handling over a ring that misbehaves.

#include "platform/audio/bass.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "SinkRecording.h"

#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <vector>

namespace {

using ovelaudio::DeviceEntry;
using ovelaudio::DirectSoundOutput;
using ovelaudio::PlayThroughRing;

constexpr uint32_t kRate = SinkRecording::kRate;
constexpr DWORD kAfterStopMs = 100;
constexpr double kAudible = 0.2;  // RMS of the recording, full scale 1 (0.35 expected)
constexpr double kSilent = 0.005;

size_t DefaultIndex(const std::vector<DeviceEntry>& devices)
{
    return size_t(std::find_if(devices.begin(), devices.end(), [](const DeviceEntry& d) { return d.isDefault; }) -
                  devices.begin());
}

// The tone on the first channel only.
class LeftTone {
public:
    explicit LeftTone(uint32_t channels) : channels_(channels) {}

    void Render(float* out, uint32_t frames)
    {
        std::fill(out, out + size_t(frames) * channels_, 0.0f);
        for (uint32_t i = 0; i < frames; ++i, ++frame_)
            out[size_t(i) * channels_] = ToneSample(frame_);
        calls_++;
    }

    int Calls() const { return calls_; }

private:
    uint32_t channels_;
    uint64_t frame_ = 0;
    std::atomic<int> calls_{0};
};

TEST(DirectSoundOutputTest, ListsEnabledDevicesWithOneDefaultUnderStableNumbers)
{
    DirectSoundOutput output;
    const std::vector<DeviceEntry> first = output.Devices();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::count_if(first.begin(), first.end(), [](const DeviceEntry& d) { return d.isDefault; }), 1);
    for (const DeviceEntry& device : first) {
        EXPECT_TRUE(device.enabled) << device.name;
        EXPECT_FALSE(device.name.empty());
        EXPECT_FALSE(device.driver.empty());
    }

    const std::vector<DeviceEntry> again = output.Devices();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(again[i].name, first[i].name);
}

TEST(DirectSoundOutputTest, RefusesADeviceNumberPastTheList)
{
    DirectSoundOutput output;
    int error = BASS_OK;
    EXPECT_EQ(output.Open(
                  output.Devices().size(), kRate, nullptr, [](float*, uint32_t) {}, [] {}, error),
              nullptr);
    EXPECT_EQ(error, BASS_ERROR_DEVICE);
}

TEST(DirectSoundOutputTest, PlaysWhatItRendersOnTheRightSpeakerUntilStopped)
{
    const std::optional<SinkRecording> recording = SinkRecording::Open();
    ASSERT_TRUE(recording) << "run through record-sink.sh";
    DirectSoundOutput output;
    const std::vector<DeviceEntry> devices = output.Devices();
    int error = BASS_OK;
    std::atomic<int> failures{0};
    std::unique_ptr<LeftTone> tone;
    auto driver = output.Open(
        DefaultIndex(devices), kRate, nullptr, [&](float* out, uint32_t frames) { tone->Render(out, frames); },
        [&] { failures++; }, error);
    ASSERT_NE(driver, nullptr) << "error " << error;
    ASSERT_EQ(driver->Speakers(), 2u) << "the null sink is stereo";
    tone = std::make_unique<LeftTone>(driver->Speakers());

    const uint64_t start = recording->Frames();
    ASSERT_TRUE(driver->Start());
    const ChannelLevels levels = recording->LevelsOnceSounding(start);
    driver->Stop();
    const int callsAtStop = tone->Calls();

    EXPECT_GT(levels.left, kAudible);
    EXPECT_LT(levels.right, kSilent);
    EXPECT_GT(callsAtStop, 0);
    Sleep(kAfterStopMs);
    EXPECT_EQ(tone->Calls(), callsAtStop) << "rendering went on after Stop";
    EXPECT_EQ(failures, 0);
}

constexpr DWORD kRingBytes = 17640;                          // a tenth of a second of 16-bit stereo at 44,100 Hz
constexpr auto kFailureDeadline = std::chrono::seconds(10);  // far past any failure's detection

// A ring whose every call succeeds, except that its cursor stands at its start
// and answers what it is told to.
class StuckRing final : public IDirectSoundBuffer {
public:
    explicit StuckRing(HRESULT position) : position_(position), bytes_(kRingBytes) {}

    bool Playing() const { return playing_; }

    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetCaps(LPDSBCAPS) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP GetCurrentPosition(LPDWORD play, LPDWORD write) override
    {
        *play = *write = 0;
        return position_;
    }
    STDMETHODIMP GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP GetVolume(LPLONG) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP GetPan(LPLONG) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP GetFrequency(LPDWORD) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP GetStatus(LPDWORD status) override
    {
        *status = playing_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
        return S_OK;
    }
    STDMETHODIMP Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return DSERR_ALREADYINITIALIZED; }
    STDMETHODIMP Lock(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second, LPDWORD secondBytes,
                      DWORD) override
    {
        *first = bytes_.data() + offset;
        *firstBytes = std::min<DWORD>(bytes, kRingBytes - offset);
        *secondBytes = bytes - *firstBytes;
        *second = *secondBytes ? bytes_.data() : nullptr;
        return S_OK;
    }
    STDMETHODIMP Play(DWORD, DWORD, DWORD) override
    {
        playing_ = true;
        return S_OK;
    }
    STDMETHODIMP SetCurrentPosition(DWORD) override { return S_OK; }
    STDMETHODIMP SetFormat(LPCWAVEFORMATEX) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP SetVolume(LONG) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP SetPan(LONG) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP SetFrequency(DWORD) override { return DSERR_UNSUPPORTED; }
    STDMETHODIMP Stop() override
    {
        playing_ = false;
        return S_OK;
    }
    STDMETHODIMP Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return S_OK; }
    STDMETHODIMP Restore() override { return S_OK; }

private:
    const HRESULT position_;
    std::vector<uint8_t> bytes_;
    std::atomic<bool> playing_{false};
};

struct RingFault {
    const char* what;
    HRESULT position;  // what asking for the cursor answers
};

class RingFaultTest : public testing::TestWithParam<RingFault> {};

TEST_P(RingFaultTest, StopsTheRingThenReportsOnceAndStaysDown)
{
    StuckRing ring(GetParam().position);
    std::atomic<int> failures{0};
    std::promise<bool> playingWhenReported;
    auto driver = PlayThroughRing(
        nullptr, &ring, 2, false, kRingBytes, [](float*, uint32_t) {},
        [&] {
            if (failures++ == 0)
                playingWhenReported.set_value(ring.Playing());
        });
    std::future<bool> reported = playingWhenReported.get_future();
    ASSERT_TRUE(driver->Start());
    ASSERT_EQ(reported.wait_for(kFailureDeadline), std::future_status::ready) << GetParam().what;

    EXPECT_FALSE(reported.get()) << "the ring still looped when the failure was reported";
    EXPECT_FALSE(driver->Start()) << "a failed device started again";
    driver.reset();
    EXPECT_EQ(failures, 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, RingFaultTest,
                         testing::Values(RingFault{"a cursor that stands still while all succeeds", S_OK},
                                         RingFault{"a cursor that cannot be read", DSERR_GENERIC},
                                         RingFault{"a driver that is gone", DSERR_NODRIVER}));

}  // namespace
