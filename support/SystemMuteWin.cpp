#include "support/SystemMute.h"

#include "support/WinVer.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

IAudioEndpointVolume* EndpointVolume = nullptr;

namespace {

constexpr CLSID kMMDeviceEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr IID kIAudioEndpointVolume = {0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

const HMIXEROBJ kMixer0 = nullptr;  // a null handle names mixer 0
constexpr LONG kMixerMuted = -1;    // a Boolean with all bits set

IMMDeviceEnumerator* DeviceEnumerator = nullptr;
IMMDevice* RenderDevice = nullptr;
bool ComStartedHere = false;

template <typename T>
void ReleaseInterface(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// A failed call leaves nothing to keep or to release later.
template <typename T>
bool Obtained(HRESULT result, T*& object)
{
    if (SUCCEEDED(result) && object)
        return true;
    object = nullptr;
    return false;
}

MMRESULT FindSpeakersMuteControl(HMIXEROBJ mixer, MIXERCONTROLA& control)
{
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    const MMRESULT result = mixerGetLineInfoA(mixer, &line, MIXER_GETLINEINFOF_COMPONENTTYPE);
    if (result != MMSYSERR_NOERROR)
        return result;

    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    return mixerGetLineControlsA(mixer, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

bool CreateDeviceEnumerator()
{
    auto create = [] {
        return CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIMMDeviceEnumerator,
                                reinterpret_cast<void**>(&DeviceEnumerator));
    };
    HRESULT result = create();
    // The programs start COM themselves; a thread that did not gets it here, once.
    if (result == CO_E_NOTINITIALIZED && !ComStartedHere &&
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        ComStartedHere = true;
        result = create();
    }
    return Obtained(result, DeviceEnumerator);
}

void SetSystemMute(bool mute)
{
    if (!VistaOrLater) {
        SetMixerMute(mute);
        return;
    }
    if (GetEndpointVolume())
        EndpointVolume->SetMute(mute ? TRUE : FALSE, nullptr);
}

void ReleaseEndpoint()
{
    ReleaseInterface(EndpointVolume);
    ReleaseInterface(RenderDevice);
    ReleaseInterface(DeviceEnumerator);
}

}  // namespace

void MuteSystemSound() { SetSystemMute(true); }

void UnmuteSystemSound() { SetSystemMute(false); }

void SetMixerMute(bool mute)
{
    MIXERCONTROLA control{};
    if (FindSpeakersMuteControl(kMixer0, control) != MMSYSERR_NOERROR)
        return;

    MIXERCONTROLDETAILS_BOOLEAN value{mute ? kMixerMuted : 0};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    mixerSetControlDetails(kMixer0, &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

bool GetEndpointVolume()
{
    ReleaseEndpoint();
    return CreateDeviceEnumerator() &&
           Obtained(DeviceEnumerator->GetDefaultAudioEndpoint(eRender, eConsole, &RenderDevice), RenderDevice) &&
           Obtained(RenderDevice->Activate(kIAudioEndpointVolume, CLSCTX_INPROC_SERVER, nullptr,
                                           reinterpret_cast<void**>(&EndpointVolume)),
                    EndpointVolume);
}

void SystemMuteFinalization()
{
    ReleaseEndpoint();
    if (ComStartedHere) {
        CoUninitialize();
        ComStartedHere = false;
    }
}
