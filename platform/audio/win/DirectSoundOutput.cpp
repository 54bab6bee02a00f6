#include "platform/audio/win/DirectSoundOutput.h"

#include "platform/audio/bass.h"
#include "platform/audio/core/OutputPump.h"
#include "platform/audio/win/Com.h"
#include "platform/audio/win/OutputThread.h"
#include "platform/audio/win/WaveFormats.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace ovelaudio {

namespace {

// The ring holds the output's queue and a guard of silence after it, so a
// ring that runs dry plays silence before it comes round to old sound.
constexpr uint32_t kGuardMs = 100;
constexpr uint32_t kRingMs = kOutputQueueMs + kGuardMs;
constexpr WORD kSampleBytes = sizeof(int16_t);
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

DeviceStatus StatusOf(HRESULT result)
{
    if (SUCCEEDED(result))
        return DeviceStatus::Ok;
    return result == DSERR_NODRIVER ? DeviceStatus::Lost : DeviceStatus::Failed;
}

// One open device: a looping secondary buffer, written just behind what it
// has queued, with silence after that.
class DirectSoundRing final : public DeviceQueue {
public:
    DirectSoundRing(IDirectSound8* sound, IDirectSoundBuffer* buffer, uint32_t rate, uint32_t speakers, bool emulated,
                    DWORD ringBytes)
        : sound_(sound), buffer_(buffer), rate_(rate), speakers_(speakers), emulated_(emulated),
          blockAlign_(speakers * kSampleBytes), ringBytes_(ringBytes - ringBytes % blockAlign_),
          guardBytes_(ringBytes_ * kGuardMs / kRingMs / blockAlign_ * blockAlign_)
    {}

    ~DirectSoundRing() override
    {
        Release(buffer_);
        Release(sound_);
    }

    int Enter() override
    {
        EnterOutputThread();
        return SUCCEEDED(Silence(0, ringBytes_)) ? BASS_OK : BASS_ERROR_DRIVER;
    }

    void Leave(uint64_t underruns) override { ReportUnderruns(underruns); }

    uint32_t Rate() const override { return rate_; }
    uint32_t Speakers() const override { return speakers_; }
    bool Emulated() const override { return emulated_; }
    uint32_t Capacity() const override { return (ringBytes_ - guardBytes_) / blockAlign_; }

    DeviceStatus Queued(uint32_t& frames) override
    {
        DWORD playCursor = 0;
        DWORD writeCursor = 0;
        HRESULT result = buffer_->GetCurrentPosition(&playCursor, &writeCursor);
        if (result == DSERR_BUFFERLOST)
            result = Restore(playCursor, writeCursor);
        if (FAILED(result))
            return StatusOf(result);
        const DWORD played = (playCursor + ringBytes_ - lastPlayCursor_) % ringBytes_;
        lastPlayCursor_ = playCursor;
        // A whole round since the last look shows as a short step of the cursor.
        const auto now = std::chrono::steady_clock::now();
        const bool lapped = now - lastLook_ >= RingDuration();
        lastLook_ = now;
        if (played >= queuedBytes_ || lapped) {
            // It ran past what was written: go on where it can still be written.
            queuedBytes_ = 0;
            writePosition_ = writeCursor - writeCursor % blockAlign_;
        } else {
            queuedBytes_ -= played;
        }
        frames = queuedBytes_ / blockAlign_;
        return DeviceStatus::Ok;
    }

    DeviceStatus Append(const float* samples, uint32_t frames) override
    {
        const DWORD bytes = frames * blockAlign_;
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
        const HRESULT result =
            buffer_->Lock(writePosition_, bytes + guardBytes_, &first, &firstBytes, &second, &secondBytes, 0);
        if (FAILED(result))
            return StatusOf(result);
        WriteSpan(samples, bytes, 0, first, firstBytes);
        WriteSpan(samples, bytes, firstBytes, second, secondBytes);
        buffer_->Unlock(first, firstBytes, second, secondBytes);
        writePosition_ = (writePosition_ + bytes) % ringBytes_;
        queuedBytes_ += bytes;
        return DeviceStatus::Ok;
    }

    DeviceStatus Play() override { return StatusOf(buffer_->Play(0, 0, DSBPLAY_LOOPING)); }
    void Halt() override { buffer_->Stop(); }

private:
    // Writes the part of bytes of samples, then silence, that falls into one locked span at offset.
    static void WriteSpan(const float* samples, DWORD bytes, DWORD offset, void* span, DWORD spanBytes)
    {
        if (!span)
            return;
        const DWORD sound = offset < bytes ? std::min(spanBytes, bytes - offset) : 0;
        ConvertToPcm16(samples + offset / kSampleBytes, span, sound / kSampleBytes);
        ZeroMemory(static_cast<uint8_t*>(span) + sound, spanBytes - sound);
    }

    HRESULT Silence(DWORD from, DWORD bytes)
    {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
        const HRESULT result = buffer_->Lock(from, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        if (FAILED(result))
            return result;
        ZeroMemory(first, firstBytes);
        if (second)
            ZeroMemory(second, secondBytes);
        return buffer_->Unlock(first, firstBytes, second, secondBytes);
    }

    // A buffer the system took back: silence in it again, and what it held counts as played.
    HRESULT Restore(DWORD& playCursor, DWORD& writeCursor)
    {
        HRESULT result = buffer_->Restore();
        if (SUCCEEDED(result))
            result = Silence(0, ringBytes_);
        if (SUCCEEDED(result))
            result = buffer_->GetCurrentPosition(&playCursor, &writeCursor);
        lastPlayCursor_ = playCursor;
        queuedBytes_ = 0;
        return result;
    }

    std::chrono::microseconds RingDuration() const
    {
        return std::chrono::microseconds(uint64_t(ringBytes_ / blockAlign_) * 1000000 / rate_);
    }

    IDirectSound8* sound_;
    IDirectSoundBuffer* buffer_;
    const uint32_t rate_;
    const uint32_t speakers_;
    const bool emulated_;
    const DWORD blockAlign_;
    const DWORD ringBytes_;
    const DWORD guardBytes_;
    DWORD writePosition_ = 0;
    DWORD lastPlayCursor_ = 0;
    DWORD queuedBytes_ = 0;
    std::chrono::steady_clock::time_point lastLook_ = std::chrono::steady_clock::now();
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

using Listed = ListedOutput<GUID>::Listed;

BOOL CALLBACK CollectDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context)
{
    // The entry without a GUID is the primary device, a second name for the default.
    if (guid)
        static_cast<std::vector<Listed>*>(context)->push_back({*guid, {description, module, true, false}});
    return TRUE;
}

}  // namespace

std::vector<DirectSoundOutput::Listed> DirectSoundOutput::List()
{
    std::vector<Listed> present;
    if (FAILED(DirectSoundEnumerateA(CollectDevice, &present)))
        present.clear();
    GUID defaultGuid = DefaultDeviceGuid();
    // Without the system's answer the first device listed is the default.
    if (defaultGuid == kNullGuid && !present.empty())
        defaultGuid = present.front().key;
    for (Listed& device : present)
        device.entry.isDefault = device.key == defaultGuid;
    return present;
}

std::unique_ptr<OutputDriver> DirectSoundOutput::OpenDevice(const GUID& device, uint32_t rate, void* window,
                                                            RenderFn render, FailFn fail, int& error)
{
    IDirectSound8* sound = nullptr;
    HRESULT result = DirectSoundCreate8(&device, &sound, nullptr);
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
    const WAVEFORMATEXTENSIBLE format = Pcm16Format(rate, speakers);
    const DWORD bufferBytes = rate * kRingMs / 1000 * format.Format.nBlockAlign;
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
    return PlayThroughRing(sound, ring, rate, speakers, emulated, bufferBytes, std::move(render), std::move(fail),
                           error);
}

std::unique_ptr<OutputDriver> PlayThroughRing(IDirectSound8* sound, IDirectSoundBuffer* ring, uint32_t rate,
                                              uint32_t speakers, bool emulated, DWORD ringBytes, RenderFn render,
                                              FailFn fail, int& error)
{
    return OutputPump::Open(std::make_unique<DirectSoundRing>(sound, ring, rate, speakers, emulated, ringBytes),
                            std::move(render), std::move(fail), error);
}

}  // namespace ovelaudio
