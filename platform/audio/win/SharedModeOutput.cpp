#include "platform/audio/win/SharedModeOutput.h"

#include "platform/audio/bass.h"
#include "platform/audio/core/OutputPump.h"
#include "platform/audio/win/Com.h"
#include "platform/audio/win/OutputThread.h"
#include "platform/audio/win/WaveFormats.h"

#include <mmdeviceapi.h>
#include <audioclient.h>
#include <propsys.h>

#include <algorithm>

namespace ovelaudio {
namespace {

// The endpoint's buffer, well past the output's queue: Wine's PulseAudio
// client counts what is queued by a clock of its own, which can run ahead of
// the server's; with little room past the queue it overwrites sound it has
// not sent yet.
constexpr uint32_t kEndpointBufferMs = 1000;
constexpr REFERENCE_TIME kUnitsPerMs = 10000;
constexpr REFERENCE_TIME kBufferDuration = kEndpointBufferMs * kUnitsPerMs;
constexpr PROPERTYKEY kFriendlyName = {{0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}},
                                       14};

IMMDeviceEnumerator* NewEnumerator()
{
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))))
        return nullptr;
    return enumerator;
}

std::string Narrow(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], bytes, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(bytes - 1));
    return narrow;
}

std::wstring IdOf(IMMDevice* device)
{
    LPWSTR id = nullptr;
    if (FAILED(device->GetId(&id)))
        return {};
    std::wstring copy(id);
    CoTaskMemFree(id);
    return copy;
}

std::string FriendlyNameOf(IMMDevice* device)
{
    IPropertyStore* properties = nullptr;
    if (FAILED(device->OpenPropertyStore(STGM_READ, &properties)))
        return {};
    PROPVARIANT value;
    PropVariantInit(&value);
    std::string name;
    if (SUCCEEDED(properties->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR)
        name = Narrow(value.pwszVal);
    PropVariantClear(&value);
    properties->Release();
    return name;
}

struct Endpoint {
    std::wstring id;
    std::string name;
};

// The active endpoints and the default one's id.
std::vector<Endpoint> ActiveEndpoints(std::wstring& defaultId)
{
    std::vector<Endpoint> endpoints;
    IMMDeviceEnumerator* enumerator = NewEnumerator();
    if (!enumerator)
        return endpoints;
    IMMDevice* preferred = nullptr;
    if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &preferred))) {
        defaultId = IdOf(preferred);
        preferred->Release();
    }
    IMMDeviceCollection* collection = nullptr;
    UINT count = 0;
    if (SUCCEEDED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &collection)) &&
        SUCCEEDED(collection->GetCount(&count))) {
        for (UINT i = 0; i < count; ++i) {
            IMMDevice* device = nullptr;
            if (FAILED(collection->Item(i, &device)))
                continue;
            endpoints.push_back({IdOf(device), FriendlyNameOf(device)});
            device->Release();
        }
    }
    Release(collection);
    enumerator->Release();
    return endpoints;
}

DeviceStatus StatusOf(HRESULT result)
{
    if (SUCCEEDED(result))
        return DeviceStatus::Ok;
    const bool gone = result == AUDCLNT_E_DEVICE_INVALIDATED || result == AUDCLNT_E_SERVICE_NOT_RUNNING;
    return gone ? DeviceStatus::Lost : DeviceStatus::Failed;
}

int BassErrorOf(HRESULT result)
{
    switch (result) {
        case AUDCLNT_E_UNSUPPORTED_FORMAT:
            return BASS_ERROR_FORMAT;
        case E_OUTOFMEMORY:
            return BASS_ERROR_MEM;
        case AUDCLNT_E_DEVICE_IN_USE:
            return BASS_ERROR_BUSY;
        case AUDCLNT_E_DEVICE_INVALIDATED:
            return BASS_ERROR_DEVICE;
        default:
            return BASS_ERROR_DRIVER;
    }
}

// One open endpoint. Everything it holds is made and let go on the output's thread.
class SharedModeClient final : public DeviceQueue {
public:
    SharedModeClient(std::wstring id, uint32_t rate) : id_(std::move(id)), rate_(rate) {}

    SharedModeClient(IAudioClient* client, IAudioRenderClient* render, uint32_t rate, uint32_t speakers)
        : client_(client), render_(render), rate_(rate), speakers_(speakers)
    {}

    ~SharedModeClient() override { Disconnect(); }

    int Enter() override
    {
        EnterOutputThread();
        com_ = std::make_unique<ComScope>();
        HRESULT result = client_ ? S_OK : Connect();
        UINT32 frames = 0;
        if (SUCCEEDED(result))
            result = client_->GetBufferSize(&frames);
        if (FAILED(result)) {
            Disconnect();
            return BassErrorOf(result);
        }
        capacity_ = frames;
        return BASS_OK;
    }

    void Leave(uint64_t underruns) override
    {
        ReportUnderruns(underruns);
        Disconnect();
    }

    uint32_t Rate() const override { return rate_; }
    uint32_t Speakers() const override { return speakers_; }
    uint32_t Capacity() const override { return capacity_; }

    DeviceStatus Queued(uint32_t& frames) override
    {
        UINT32 padding = 0;
        const HRESULT result = client_->GetCurrentPadding(&padding);
        frames = padding;
        return StatusOf(result);
    }

    DeviceStatus Append(const float* samples, uint32_t frames) override
    {
        BYTE* data = nullptr;
        HRESULT result = render_->GetBuffer(frames, &data);
        if (FAILED(result))
            return StatusOf(result);
        ConvertToPcm16(samples, data, size_t(frames) * speakers_);
        return StatusOf(render_->ReleaseBuffer(frames, 0));
    }

    DeviceStatus Play() override
    {
        const HRESULT result = client_->Start();
        return result == AUDCLNT_E_NOT_STOPPED ? DeviceStatus::Ok : StatusOf(result);
    }

    void Halt() override { client_->Stop(); }

private:
    // 16-bit samples at the output's rate; else converted by the system where it
    // can; else at the endpoint's own rate, which the mix then follows.
    HRESULT Connect()
    {
        IMMDeviceEnumerator* enumerator = NewEnumerator();
        IMMDevice* device = nullptr;
        HRESULT result = enumerator ? enumerator->GetDevice(id_.c_str(), &device) : E_FAIL;
        Release(enumerator);
        if (FAILED(result))
            return AUDCLNT_E_DEVICE_INVALIDATED;
        WAVEFORMATEX* mix = nullptr;
        const DWORD convert = AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
        for (int attempt = 0; attempt < 3 && !render_; ++attempt) {
            result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client_));
            if (SUCCEEDED(result) && !mix)
                result = client_->GetMixFormat(&mix);
            if (FAILED(result))
                break;
            speakers_ = SpeakersOfChannels(mix->nChannels);
            const uint32_t rate = attempt == 2 ? mix->nSamplesPerSec : rate_;
            const WAVEFORMATEXTENSIBLE format = Pcm16Format(rate, speakers_);
            result = client_->Initialize(AUDCLNT_SHAREMODE_SHARED, attempt == 1 ? convert : 0, kBufferDuration, 0,
                                         &format.Format, nullptr);
            if (SUCCEEDED(result))
                result = client_->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render_));
            if (SUCCEEDED(result))
                rate_ = rate;
            else
                Release(client_);
            if (result != AUDCLNT_E_UNSUPPORTED_FORMAT && result != E_INVALIDARG)
                break;
        }
        CoTaskMemFree(mix);
        device->Release();
        return result;
    }

    void Disconnect()
    {
        Release(render_);
        Release(client_);
        com_.reset();
    }

    std::wstring id_;
    IAudioClient* client_ = nullptr;
    IAudioRenderClient* render_ = nullptr;
    uint32_t rate_;
    uint32_t speakers_ = 2;
    uint32_t capacity_ = 0;
    std::unique_ptr<ComScope> com_;
};

}  // namespace

bool SharedModeAvailable()
{
    const ComScope com;
    IMMDeviceEnumerator* enumerator = NewEnumerator();
    const bool available = enumerator != nullptr;
    Release(enumerator);
    return available;
}

std::vector<SharedModeOutput::Listed> SharedModeOutput::List()
{
    const ComScope com;
    std::wstring defaultId;
    std::vector<Listed> present;
    for (const Endpoint& endpoint : ActiveEndpoints(defaultId))
        present.push_back({endpoint.id, {endpoint.name, Narrow(endpoint.id.c_str()), true, endpoint.id == defaultId}});
    return present;
}

std::unique_ptr<OutputDriver> SharedModeOutput::OpenDevice(const std::wstring& endpoint, uint32_t rate, void*,
                                                           RenderFn render, FailFn fail, int& error)
{
    return OutputPump::Open(std::make_unique<SharedModeClient>(endpoint, rate), std::move(render), std::move(fail),
                            error);
}

std::unique_ptr<OutputDriver> PlayThroughClient(IAudioClient* client, IAudioRenderClient* render, uint32_t rate,
                                                uint32_t speakers, RenderFn mix, FailFn fail, int& error)
{
    return OutputPump::Open(std::make_unique<SharedModeClient>(client, render, rate, speakers), std::move(mix),
                            std::move(fail), error);
}

}  // namespace ovelaudio
