#include "platform/audio/win/DirectSoundOutput.h"

#include "platform/audio/bass.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace ovelaudio {

namespace {

constexpr uint32_t kBufferMs = 100;  // the whole ring: the output's latency
// How often the thread refills what has played: each wake-up costs the
// device's lock and a few calls, so not more often than the ring needs.
constexpr DWORD kTopUpMs = 20;
constexpr int kMaxFailedTopUps = 20;  // in a row: the device is gone
// A play cursor that stands still this long while every call succeeds: an
// endpoint that was unplugged. Counted in wake-ups, as a stall is seen there.
constexpr DWORD kStalledMs = 500;
constexpr int kMaxStalledTopUps = kStalledMs / kTopUpMs;
constexpr WORD kSampleBytes = sizeof(int16_t);
constexpr GUID kPcmSubFormat = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kNullGuid = {};

uint32_t SpeakersOf(DWORD config)
{
    switch (DSSPEAKER_CONFIG(config)) {
        case DSSPEAKER_QUAD:
            return 4;
        case DSSPEAKER_5POINT1:
        case DSSPEAKER_5POINT1_SURROUND:
            return 6;
        case DSSPEAKER_7POINT1:
        case DSSPEAKER_7POINT1_SURROUND:
            return 8;
        default:
            return 2;
    }
}

DWORD ChannelMaskOf(uint32_t speakers)
{
    switch (speakers) {
        case 4:
            return SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT | SPEAKER_BACK_LEFT | SPEAKER_BACK_RIGHT;
        case 6:
            return ChannelMaskOf(4) | SPEAKER_FRONT_CENTER | SPEAKER_LOW_FREQUENCY;
        case 8:
            return ChannelMaskOf(6) | SPEAKER_SIDE_LEFT | SPEAKER_SIDE_RIGHT;
        default:
            return SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    }
}

// 16-bit PCM plays on every DirectSound device; more than two channels need
// the extensible form to say which speaker each one is.
WAVEFORMATEXTENSIBLE PcmFormat(uint32_t rate, uint32_t speakers)
{
    WAVEFORMATEXTENSIBLE format{};
    format.Format.wFormatTag = speakers > 2 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM;
    format.Format.nChannels = static_cast<WORD>(speakers);
    format.Format.nSamplesPerSec = rate;
    format.Format.wBitsPerSample = kSampleBytes * 8;
    format.Format.nBlockAlign = static_cast<WORD>(speakers * kSampleBytes);
    format.Format.nAvgBytesPerSec = rate * format.Format.nBlockAlign;
    if (speakers > 2) {
        format.Format.cbSize = sizeof format - sizeof format.Format;
        format.Samples.wValidBitsPerSample = format.Format.wBitsPerSample;
        format.dwChannelMask = ChannelMaskOf(speakers);
        format.SubFormat = kPcmSubFormat;
    }
    return format;
}

int BassErrorOf(HRESULT result)
{
    switch (result) {
        case DSERR_BADFORMAT:
            return BASS_ERROR_FORMAT;
        case DSERR_OUTOFMEMORY:
            return BASS_ERROR_MEM;
        case DSERR_ALLOCATED:
            return BASS_ERROR_BUSY;
        default:
            return BASS_ERROR_DRIVER;
    }
}

void ConvertToPcm16(const float* in, void* out, DWORD bytes)
{
    auto* samples = static_cast<int16_t*>(out);
    for (DWORD i = 0; i < bytes / kSampleBytes; ++i) {
        const float scaled = std::clamp(in[i] * 32767.0f, -32768.0f, 32767.0f);
        samples[i] = static_cast<int16_t>(std::lrint(scaled));
    }
}

template <typename T>
void Release(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// One open device: a looping secondary buffer that a thread of its own keeps
// filled just behind the play cursor.
class DirectSoundStream final : public OutputDriver {
public:
    DirectSoundStream(IDirectSound8* sound, IDirectSoundBuffer* buffer, uint32_t speakers, bool emulated,
                      DWORD bufferBytes, RenderFn render, FailFn fail)
        : sound_(sound), buffer_(buffer), speakers_(speakers), emulated_(emulated), bufferBytes_(bufferBytes),
          blockAlign_(speakers * kSampleBytes), mix_(bufferBytes / kSampleBytes), render_(std::move(render)),
          fail_(std::move(fail)), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
    {}

    ~DirectSoundStream() override
    {
        Stop();
        Release(buffer_);
        Release(sound_);
        if (wake_)
            CloseHandle(wake_);
    }

    uint32_t Speakers() const override { return speakers_; }
    bool Emulated() const override { return emulated_; }

    bool Start() override
    {
        // A failed device stays failed, though its ended thread is still joinable.
        if (failed_ || !wake_)
            return false;
        if (thread_.joinable())
            return true;
        running_ = true;
        try {
            thread_ = std::thread(&DirectSoundStream::Run, this);
        } catch (const std::system_error&) {
            running_ = false;
            return false;
        }
        return true;
    }

    void Stop() override
    {
        if (!thread_.joinable())
            return;
        running_ = false;
        SetEvent(wake_);
        thread_.join();
        buffer_->Stop();
    }

private:
    void Run()
    {
        int failedTopUps = 0;
        HRESULT result = Prime();
        while (running_) {
            if (result == DSERR_BUFFERLOST)
                result = Restore();
            failedTopUps = SUCCEEDED(result) ? 0 : failedTopUps + 1;
            if (failedTopUps >= kMaxFailedTopUps || stalledTopUps_ >= kMaxStalledTopUps || result == DSERR_BUFFERLOST ||
                result == DSERR_NODRIVER) {
                Fail();
                return;
            }
            WaitForSingleObject(wake_, kTopUpMs);
            result = playing_ ? TopUp() : Prime();
        }
    }

    // Silence in the whole ring, playing from its start: what is rendered
    // next is heard one ring later.
    HRESULT Prime()
    {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
        playing_ = false;
        HRESULT result = buffer_->Lock(0, bufferBytes_, &first, &firstBytes, &second, &secondBytes, 0);
        if (FAILED(result))
            return result;
        ZeroMemory(first, firstBytes);
        buffer_->Unlock(first, firstBytes, second, secondBytes);
        writePosition_ = lastPlayCursor_ = 0;
        stalledTopUps_ = 0;
        result = buffer_->SetCurrentPosition(0);
        if (SUCCEEDED(result))
            result = buffer_->Play(0, 0, DSBPLAY_LOOPING);
        playing_ = SUCCEEDED(result);
        return result;
    }

    HRESULT Restore()
    {
        const HRESULT result = buffer_->Restore();
        return SUCCEEDED(result) ? Prime() : result;
    }

    HRESULT TopUp()
    {
        DWORD playCursor = 0;
        DWORD writeCursor = 0;
        HRESULT result = buffer_->GetCurrentPosition(&playCursor, &writeCursor);
        if (FAILED(result))
            return result;
        stalledTopUps_ = playCursor == lastPlayCursor_ ? stalledTopUps_ + 1 : 0;
        lastPlayCursor_ = playCursor;
        DWORD bytes = (playCursor + bufferBytes_ - writePosition_) % bufferBytes_;
        bytes -= bytes % blockAlign_;
        if (bytes == 0)
            return S_OK;

        render_(mix_.data(), bytes / blockAlign_);
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
        result = buffer_->Lock(writePosition_, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        if (FAILED(result))
            return result;
        ConvertToPcm16(mix_.data(), first, firstBytes);
        if (second)
            ConvertToPcm16(mix_.data() + firstBytes / kSampleBytes, second, secondBytes);
        buffer_->Unlock(first, firstBytes, second, secondBytes);
        writePosition_ = (writePosition_ + bytes) % bufferBytes_;
        return S_OK;
    }

    // The ring stops first: left looping it would repeat its last round as a buzz.
    void Fail()
    {
        buffer_->Stop();
        if (!failed_.exchange(true))
            fail_();
    }

    IDirectSound8* sound_;
    IDirectSoundBuffer* buffer_;
    const uint32_t speakers_;
    const bool emulated_;
    const DWORD bufferBytes_;
    const DWORD blockAlign_;
    std::vector<float> mix_;  // the whole ring in floats: the loop never allocates
    RenderFn render_;
    FailFn fail_;
    HANDLE wake_;
    // The thread's own: where rendering goes next, whether the ring has been
    // primed and plays, and how many top-ups in a row saw the cursor stand still.
    DWORD writePosition_ = 0;
    DWORD lastPlayCursor_ = 0;
    int stalledTopUps_ = 0;
    bool playing_ = false;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> failed_{false};
};

// The primary buffer's format is what the device runs at; left alone it may
// be far below ours, so ask for ours and take what we get.
void AskPrimaryFormat(IDirectSound8* sound, const WAVEFORMATEXTENSIBLE& format)
{
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (SUCCEEDED(sound->CreateSoundBuffer(&description, &primary, nullptr))) {
        primary->SetFormat(&format.Format);
        primary->Release();
    }
}

HRESULT CreateRing(IDirectSound8* sound, const WAVEFORMATEXTENSIBLE& format, DWORD bytes, IDirectSoundBuffer*& ring)
{
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    // Global focus: the sound goes on while none of our windows is active.
    description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = const_cast<WAVEFORMATEX*>(&format.Format);
    return sound->CreateSoundBuffer(&description, &ring, nullptr);
}

// The system default device, where this system can tell (it cannot before XP).
GUID DefaultDeviceGuid()
{
    using GetDeviceIdFn = HRESULT(WINAPI*)(LPCGUID, LPGUID);
    GUID device = kNullGuid;
    const HMODULE module = GetModuleHandleA("dsound.dll");
    const auto getDeviceId =
        module ? reinterpret_cast<GetDeviceIdFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetDeviceID")))
               : nullptr;
    if (getDeviceId && FAILED(getDeviceId(&DSDEVID_DefaultPlayback, &device)))
        device = kNullGuid;
    return device;
}

struct Enumerated {
    GUID guid;
    std::string name;
    std::string driver;
};

BOOL CALLBACK CollectDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context)
{
    // The entry without a GUID is the primary device, a second name for the default.
    if (guid)
        static_cast<std::vector<Enumerated>*>(context)->push_back({*guid, description, module});
    return TRUE;
}

}  // namespace

void DirectSoundOutput::Refresh()
{
    std::vector<Enumerated> present;
    if (FAILED(DirectSoundEnumerateA(CollectDevice, &present)))
        present.clear();
    GUID defaultGuid = DefaultDeviceGuid();
    // Without the system's answer the first device listed is the default.
    if (defaultGuid == kNullGuid && !present.empty())
        defaultGuid = present.front().guid;

    for (KnownDevice& device : known_)
        device.entry.enabled = device.entry.isDefault = false;
    for (const Enumerated& device : present) {
        auto known =
            std::find_if(known_.begin(), known_.end(), [&](const KnownDevice& k) { return k.guid == device.guid; });
        if (known == known_.end())
            known = known_.insert(known_.end(), KnownDevice{device.guid, {}});
        known->entry = {device.name, device.driver, true, device.guid == defaultGuid};
    }
}

std::vector<DeviceEntry> DirectSoundOutput::Devices()
{
    std::lock_guard<std::mutex> lock(mutex_);
    Refresh();
    std::vector<DeviceEntry> entries;
    for (const KnownDevice& device : known_)
        entries.push_back(device.entry);
    return entries;
}

std::unique_ptr<OutputDriver> DirectSoundOutput::Open(size_t index, uint32_t rate, void* window, RenderFn render,
                                                      FailFn fail, int& error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (known_.empty())
        Refresh();
    if (index >= known_.size() || !known_[index].entry.enabled) {
        error = BASS_ERROR_DEVICE;
        return nullptr;
    }

    IDirectSound8* sound = nullptr;
    HRESULT result = DirectSoundCreate8(&known_[index].guid, &sound, nullptr);
    if (FAILED(result)) {
        error = BassErrorOf(result);
        return nullptr;
    }
    const HWND owner = window ? static_cast<HWND>(window) : GetDesktopWindow();
    DWORD speakerConfig = 0;
    DSCAPS caps{};
    caps.dwSize = sizeof caps;
    result = sound->SetCooperativeLevel(owner, DSSCL_PRIORITY);
    if (SUCCEEDED(result))
        result = sound->GetCaps(&caps);
    if (FAILED(result) || FAILED(sound->GetSpeakerConfig(&speakerConfig)))
        speakerConfig = DSSPEAKER_STEREO;

    const uint32_t speakers = SpeakersOf(speakerConfig);
    const WAVEFORMATEXTENSIBLE format = PcmFormat(rate, speakers);
    const DWORD bufferBytes = rate * kBufferMs / 1000 * format.Format.nBlockAlign;
    IDirectSoundBuffer* ring = nullptr;
    if (SUCCEEDED(result)) {
        AskPrimaryFormat(sound, format);
        result = CreateRing(sound, format, bufferBytes, ring);
    }
    if (FAILED(result)) {
        sound->Release();
        error = BassErrorOf(result);
        return nullptr;
    }
    const bool emulated = (caps.dwFlags & DSCAPS_EMULDRIVER) != 0;
    return PlayThroughRing(sound, ring, speakers, emulated, bufferBytes, std::move(render), std::move(fail));
}

std::unique_ptr<OutputDriver> PlayThroughRing(IDirectSound8* sound, IDirectSoundBuffer* ring, uint32_t speakers,
                                              bool emulated, DWORD ringBytes, RenderFn render, FailFn fail)
{
    return std::make_unique<DirectSoundStream>(sound, ring, speakers, emulated, ringBytes, std::move(render),
                                               std::move(fail));
}

}  // namespace ovelaudio
