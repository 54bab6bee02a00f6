#pragma once
// Switches the system's sound output off and on: through the old multimedia
// mixer before Vista, through the default render endpoint's volume from Vista on.
// Failures are silent: without a mixer control or an endpoint nothing changes.

struct IAudioEndpointVolume;

// The default render endpoint's volume, as the last GetEndpointVolume left it.
extern IAudioEndpointVolume* EndpointVolume;

void MuteSystemSound();
void UnmuteSystemSound();

// The speakers' mute control of mixer 0; nothing happens when there is none.
void SetMixerMute(bool mute);

// Releases the previous interfaces and fetches EndpointVolume afresh;
// false when the system has no default render endpoint.
bool GetEndpointVolume();

void SystemMuteFinalization();
