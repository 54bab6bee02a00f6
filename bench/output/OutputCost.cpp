// What each way to the system's sound costs: plays a tone through one path
// for the given seconds on a thread named "ovel audio" (the library names its
// own output thread so too). measure.sh reads the CPU of every thread of the
// process meanwhile. The paths:
//   library        the library as the player uses it (BASS_Init(-1) and a looping stream)
//   ds16-100       DirectSound, 16-bit ring of 100 ms topped up every 20 ms
//   ds16-500       DirectSound, 16-bit ring of 500 ms topped up every 100 ms
//   dsfloat-500    DirectSound, float ring of 500 ms, float primary format
//   dsprimary      DirectSound, writing the primary buffer itself
//   shared16-500   shared-mode endpoint, 16-bit, 500 ms buffer, filled every 100 ms
//   sharedfloat-500  the same with float samples, the endpoint's own format
//   waveout        waveOut, five 100 ms blocks

#include "platform/audio/bass.h"
#include "platform/audio/win/WindowsBackends.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>
#include <mmdeviceapi.h>
#include <audioclient.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr double kToneHz = 440;  // a whole number of periods in a second: the table loops
constexpr double kTwoPi = 6.283185307179586;
constexpr REFERENCE_TIME kUnitsPerMs = 10000;
constexpr GUID kPcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

volatile bool running = true;

// A second of the tone, so the paths pay for the way, not for the sine.
class Tone {
public:
    Tone() : table_(kRate)
    {
        for (uint32_t i = 0; i < kRate; ++i)
            table_[i] = 0.25f * float(std::sin(kTwoPi * kToneHz * i / kRate));
    }

    // frames of interleaved stereo, 16-bit or float.
    void Fill(void* out, uint32_t frames, bool isFloat)
    {
        for (uint32_t i = 0; i < frames; ++i, next_ = (next_ + 1) % kRate) {
            for (uint32_t c = 0; c < kChannels; ++c) {
                if (isFloat)
                    static_cast<float*>(out)[i * kChannels + c] = table_[next_];
                else
                    static_cast<int16_t*>(out)[i * kChannels + c] = int16_t(std::lrint(table_[next_] * 32767.0f));
            }
        }
    }

private:
    std::vector<float> table_;
    uint32_t next_ = 0;
};

Tone tone;

WAVEFORMATEXTENSIBLE Format(bool isFloat)
{
    WAVEFORMATEXTENSIBLE f{};
    f.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    f.Format.nChannels = kChannels;
    f.Format.nSamplesPerSec = kRate;
    f.Format.wBitsPerSample = isFloat ? 32 : 16;
    f.Format.nBlockAlign = WORD(kChannels * f.Format.wBitsPerSample / 8);
    f.Format.nAvgBytesPerSec = kRate * f.Format.nBlockAlign;
    f.Format.cbSize = sizeof f - sizeof f.Format;
    f.Samples.wValidBitsPerSample = f.Format.wBitsPerSample;
    f.dwChannelMask = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    f.SubFormat = isFloat ? kFloat : kPcm;
    return f;
}

// A looping DirectSound buffer (a secondary one, or the primary itself) kept filled behind its cursor.
int PlayDirectSound(bool isFloat, bool writePrimary, DWORD ringMs, DWORD periodMs)
{
    IDirectSound8* sound = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &sound, nullptr)) ||
        FAILED(sound->SetCooperativeLevel(GetDesktopWindow(), writePrimary ? DSSCL_WRITEPRIMARY : DSSCL_PRIORITY)))
        return 1;
    WAVEFORMATEXTENSIBLE format = Format(isFloat);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_GETCURRENTPOSITION2;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&description, &primary, nullptr)))
        return 2;
    primary->SetFormat(&format.Format);
    IDirectSoundBuffer* ring = primary;
    DWORD ringBytes = 0;
    if (writePrimary) {
        DSBCAPS caps{};
        caps.dwSize = sizeof caps;
        primary->GetCaps(&caps);
        ringBytes = caps.dwBufferBytes;
        periodMs = std::max<DWORD>(1, DWORD(uint64_t(ringBytes) * 1000 / format.Format.nAvgBytesPerSec / 4));
    } else {
        description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
        ringBytes = description.dwBufferBytes = kRate * ringMs / 1000 * format.Format.nBlockAlign;
        description.lpwfxFormat = &format.Format;
        if (FAILED(sound->CreateSoundBuffer(&description, &ring, nullptr)))
            return 3;
    }
    ring->Play(0, 0, DSBPLAY_LOOPING);
    DWORD written = 0;
    while (running) {
        Sleep(periodMs);
        DWORD playCursor = 0;
        DWORD writeCursor = 0;
        if (FAILED(ring->GetCurrentPosition(&playCursor, &writeCursor)))
            return 4;
        DWORD bytes = (playCursor + ringBytes - written) % ringBytes;
        bytes -= bytes % format.Format.nBlockAlign;
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0;
        DWORD secondBytes = 0;
        if (bytes == 0 || FAILED(ring->Lock(written, bytes, &first, &firstBytes, &second, &secondBytes, 0)))
            continue;
        tone.Fill(first, firstBytes / format.Format.nBlockAlign, isFloat);
        if (second)
            tone.Fill(second, secondBytes / format.Format.nBlockAlign, isFloat);
        ring->Unlock(first, firstBytes, second, secondBytes);
        written = (written + bytes) % ringBytes;
    }
    return 0;
}

// The default endpoint in shared mode, filled from a thread that polls it.
int PlayShared(bool isFloat, DWORD bufferMs, DWORD periodMs)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioRenderClient* render = nullptr;
    WAVEFORMATEXTENSIBLE format = Format(isFloat);
    UINT32 bufferFrames = 0;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(&enumerator))) ||
        FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device)) ||
        FAILED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void**>(&client))) ||
        FAILED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0, bufferMs * kUnitsPerMs, 0, &format.Format, nullptr)) ||
        FAILED(client->GetBufferSize(&bufferFrames)) ||
        FAILED(client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&render))))
        return 11;
    client->Start();
    while (running) {
        UINT32 padding = 0;
        BYTE* data = nullptr;
        if (FAILED(client->GetCurrentPadding(&padding)))
            return 12;
        const UINT32 frames = bufferFrames - padding;
        if (frames > 0 && SUCCEEDED(render->GetBuffer(frames, &data))) {
            tone.Fill(data, frames, isFloat);
            render->ReleaseBuffer(frames, 0);
        }
        Sleep(periodMs);
    }
    client->Stop();
    return 0;
}

int PlayWaveOut(DWORD blocks, DWORD blockMs)
{
    WAVEFORMATEX format = Format(false).Format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.cbSize = 0;
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT out = nullptr;
    if (waveOutOpen(&out, WAVE_MAPPER, &format, DWORD_PTR(done), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return 21;
    const DWORD frames = kRate * blockMs / 1000;
    std::vector<std::vector<char>> memory(blocks, std::vector<char>(frames * format.nBlockAlign));
    std::vector<WAVEHDR> headers(blocks);
    for (DWORD i = 0; i < blocks; ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = DWORD(memory[i].size());
        waveOutPrepareHeader(out, &headers[i], sizeof(WAVEHDR));
        headers[i].dwFlags |= WHDR_DONE;
    }
    while (running) {
        for (WAVEHDR& header : headers) {
            if (!(header.dwFlags & WHDR_DONE))
                continue;
            tone.Fill(header.lpData, frames, false);
            waveOutWrite(out, &header, sizeof(WAVEHDR));
        }
        WaitForSingleObject(done, 1000);
    }
    waveOutReset(out);
    return 0;
}

std::vector<uint8_t> ToneWave()
{
    std::vector<int16_t> samples(size_t(kRate) * kChannels);
    tone.Fill(samples.data(), kRate, false);
    const uint32_t dataBytes = uint32_t(samples.size() * sizeof(int16_t));
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, kChannels, kRate, kRate * kChannels * 2, kChannels * 2, 16, 0};
    std::vector<uint8_t> wave(44 + dataBytes);
    const uint32_t riffBytes = 36 + dataBytes;
    const uint32_t formatBytes = 16;
    std::memcpy(&wave[0], "RIFF", 4);
    std::memcpy(&wave[4], &riffBytes, 4);
    std::memcpy(&wave[8], "WAVEfmt ", 8);
    std::memcpy(&wave[16], &formatBytes, 4);
    std::memcpy(&wave[20], &format, 16);
    std::memcpy(&wave[36], "data", 4);
    std::memcpy(&wave[40], &dataBytes, 4);
    std::memcpy(&wave[44], samples.data(), dataBytes);
    return wave;
}

// The library plays on its own thread; this one only waits.
int PlayThroughLibrary()
{
    ovelaudio::RegisterWindowsBackends();
    const std::vector<uint8_t> wave = ToneWave();
    if (!BASS_Init(-1, kRate, 0, nullptr, nullptr))
        return 31;
    const HSTREAM stream = BASS_StreamCreateFile(TRUE, wave.data(), 0, wave.size(), BASS_SAMPLE_LOOP);
    if (!stream || !BASS_ChannelPlay(stream, FALSE))
        return 32;
    while (running)
        Sleep(100);
    BASS_Free();
    return 0;
}

struct Candidate {
    const char* name;
    int (*play)();
    bool ownThread;  // the path plays on this thread, not on one of its own
};

const Candidate kCandidates[] = {
    {"library", PlayThroughLibrary, false},
    {"ds16-100", [] { return PlayDirectSound(false, false, 100, 20); }, true},
    {"ds16-500", [] { return PlayDirectSound(false, false, 500, 100); }, true},
    {"dsfloat-500", [] { return PlayDirectSound(true, false, 500, 100); }, true},
    {"dsprimary", [] { return PlayDirectSound(false, true, 0, 0); }, true},
    {"shared16-500", [] { return PlayShared(false, 500, 100); }, true},
    {"sharedfloat-500", [] { return PlayShared(true, 500, 100); }, true},
    {"waveout", [] { return PlayWaveOut(5, 100); }, true},
};

const Candidate* chosen = nullptr;
int result = 0;

DWORD WINAPI Play(LPVOID)
{
    using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    const auto describe = reinterpret_cast<Describe>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadDescription")));
    if (chosen->ownThread && describe) {
        describe(GetCurrentThread(), L"ovel audio");
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    }
    result = chosen->play();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (const Candidate& candidate : kCandidates)
        if (argc == 3 && std::strcmp(argv[1], candidate.name) == 0)
            chosen = &candidate;
    if (!chosen) {
        std::fprintf(stderr, "usage: OutputCost PATH SECONDS (see the source for the paths)\n");
        return 2;
    }
    HANDLE thread = CreateThread(nullptr, 0, Play, nullptr, 0, nullptr);
    if (WaitForSingleObject(thread, DWORD(std::atoi(argv[2])) * 1000) == WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s failed: %d\n", chosen->name, result);
        return 1;
    }
    running = false;
    WaitForSingleObject(thread, INFINITE);
    return result;
}
