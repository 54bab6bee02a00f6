// The DirectSound output's failure handling, over a ring that misbehaves.

#include "platform/audio/bass.h"
#include "platform/audio/win/DirectSoundOutput.h"
#include "OutputTestParts.h"

#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

using ovelaudio::PlayThroughRing;

constexpr uint32_t kRate = 44100;
constexpr DWORD kRingBytes = 17640;  // a tenth of a second of 16-bit stereo at 44,100 Hz

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
    ExpectReportedOnceAfterHalt(
        [&](ovelaudio::RenderFn render, ovelaudio::FailFn fail) {
            int error = BASS_OK;
            return PlayThroughRing(nullptr, &ring, kRate, 2, false, kRingBytes, std::move(render), std::move(fail),
                                   error);
        },
        [&] { return ring.Playing(); });
}

INSTANTIATE_TEST_SUITE_P(Faults, RingFaultTest,
                         testing::Values(RingFault{"a cursor that stands still while all succeeds", S_OK},
                                         RingFault{"a cursor that cannot be read", DSERR_GENERIC},
                                         RingFault{"a driver that is gone", DSERR_NODRIVER}));

}  // namespace
