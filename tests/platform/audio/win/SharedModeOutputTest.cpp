// The shared-mode output's failure handling, over a client that misbehaves.

#include "platform/audio/bass.h"
#include "platform/audio/win/SharedModeOutput.h"
#include "OutputTestParts.h"

#include <mmdeviceapi.h>
#include <audioclient.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kSpeakers = 2;
constexpr UINT32 kBufferFrames = kRate / 2;

// Takes what it is given into a buffer that never plays: the padding only
// grows, unless asking for it answers what the case says.
class StuckClient final : public IAudioClient, public IAudioRenderClient {
public:
    explicit StuckClient(HRESULT padding) : padding_(padding), buffer_(size_t(kBufferFrames) * kSpeakers) {}

    bool Playing() const { return playing_; }

    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP Initialize(AUDCLNT_SHAREMODE, DWORD, REFERENCE_TIME, REFERENCE_TIME, const WAVEFORMATEX*,
                            LPCGUID) override
    {
        return AUDCLNT_E_ALREADY_INITIALIZED;
    }
    STDMETHODIMP GetBufferSize(UINT32* frames) override
    {
        *frames = kBufferFrames;
        return S_OK;
    }
    STDMETHODIMP GetStreamLatency(REFERENCE_TIME*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCurrentPadding(UINT32* frames) override
    {
        *frames = queued_;
        return padding_;
    }
    STDMETHODIMP IsFormatSupported(AUDCLNT_SHAREMODE, const WAVEFORMATEX*, WAVEFORMATEX**) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetMixFormat(WAVEFORMATEX**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDevicePeriod(REFERENCE_TIME*, REFERENCE_TIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Start() override
    {
        playing_ = true;
        return S_OK;
    }
    STDMETHODIMP Stop() override
    {
        playing_ = false;
        return S_OK;
    }
    STDMETHODIMP Reset() override { return S_OK; }
    STDMETHODIMP SetEventHandle(HANDLE) override { return E_NOTIMPL; }
    STDMETHODIMP GetService(REFIID, void**) override { return E_NOINTERFACE; }

    STDMETHODIMP GetBuffer(UINT32 frames, BYTE** data) override
    {
        if (queued_ + frames > kBufferFrames)
            return AUDCLNT_E_BUFFER_TOO_LARGE;
        *data = reinterpret_cast<BYTE*>(buffer_.data());
        return S_OK;
    }
    STDMETHODIMP ReleaseBuffer(UINT32 frames, DWORD) override
    {
        queued_ += frames;
        return S_OK;
    }

private:
    const HRESULT padding_;
    std::vector<float> buffer_;
    std::atomic<UINT32> queued_{0};
    std::atomic<bool> playing_{false};
};

struct ClientFault {
    const char* what;
    HRESULT padding;  // what asking for the padding answers
};

class ClientFaultTest : public testing::TestWithParam<ClientFault> {};

TEST_P(ClientFaultTest, StopsTheClientThenReportsOnceAndStaysDown)
{
    StuckClient client(GetParam().padding);
    ExpectReportedOnceAfterHalt(
        [&](ovelaudio::RenderFn render, ovelaudio::FailFn fail) {
            int error = BASS_OK;
            return ovelaudio::PlayThroughClient(&client, &client, kRate, kSpeakers, std::move(render), std::move(fail),
                                                error);
        },
        [&] { return client.Playing(); });
}

INSTANTIATE_TEST_SUITE_P(Faults, ClientFaultTest,
                         testing::Values(ClientFault{"a buffer that does not play while all succeeds", S_OK},
                                         ClientFault{"an endpoint that was removed", AUDCLNT_E_DEVICE_INVALIDATED},
                                         ClientFault{"a padding that cannot be read", E_FAIL}));

}  // namespace
