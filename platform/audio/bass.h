#pragma once
// Our audio library: the operations, flags and constants the player calls, with
// the values it passes. Handles are plain 32-bit values; 0 means failure.
//
// The 3D stage: metres, x left-right, y height, z front-back, the listener at a
// point facing +z with +y up (zero orientation vectors mean that default).
// A source's gain is the inverse-distance rolloff from a reference distance
// r = 5 m (the nearest forest sources stand about that far off)
//     g = r / (r + rolloff * (d - r))  for d > r (d in metres times the
//     distance factor), 1 within r;
// its direction is panned over the output's speakers with constant power
// between the two speakers that enclose its azimuth (stereo: front left and
// right at +-90 degrees, sources behind fold to the front; quad, 5.1 and 7.1:
// their usual layouts, the LFE channel silent). A source above or below the
// listener keeps its azimuth. Doppler is not modelled.
//
// Pan on a plain stream is a left/right balance (pan < 0 lowers the right-side
// speakers by 1 + pan, pan > 0 the left-side ones by 1 - pan). END syncs run
// each time a stream stops at its end (not when a loop wraps), on the library's
// sync thread; an auto-free stream is freed after them, and also when stopped.
// BASS_StreamCreate makes dummy streams only (a null procedure). A URL stream
// starts once its format is known and plays while it downloads; when the bytes
// run out before the download ends it stalls (BASS_ACTIVE_STALLED, silence).
//
// A NaN or infinite volume, pan, slide target, position, listener vector, 3D
// factor or matrix gain is refused (BASS_ERROR_ILLPARAM) and the old value
// kept. Decoded NaN and infinite samples are silence, and samples beyond
// +-64.0 are held there. A stream plays to the end of its last frame, at any
// rate. Short compressed clips from memory are decoded ahead, from a copy, on
// a thread of the library's.
// A real output mixes about half a second ahead of what is heard, so a busy
// machine does not interrupt it: attribute changes and stops are heard that
// much later, and END syncs run that much before the end is heard. A stream
// played after an END sync ran starts where the ended stream stopped, when
// that has not been heard yet (one such stream for each END, in their order);
// any other stream starts as soon as the output can still take it.

#include <stdint.h>

#ifdef _WIN32
#define BASSDEF(f) __stdcall f
#define OVEL_AUDIO_CALLBACK __stdcall
typedef unsigned long DWORD;
#else
#define BASSDEF(f) f
#define OVEL_AUDIO_CALLBACK
typedef uint32_t DWORD;
#endif
typedef int BOOL;
typedef uint64_t QWORD;

typedef DWORD HSTREAM;
typedef DWORD HSYNC;
typedef DWORD HDSP;
typedef DWORD HPLUGIN;

#ifdef __cplusplus
extern "C" {
#endif

enum {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_FILEOPEN = 2,
    BASS_ERROR_DRIVER = 3,
    BASS_ERROR_BUFLOST = 4,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_FORMAT = 6,
    BASS_ERROR_POSITION = 7,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_START = 9,
    BASS_ERROR_REINIT = 11,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_NOTAUDIO = 17,
    BASS_ERROR_NOCHAN = 18,
    BASS_ERROR_ILLTYPE = 19,
    BASS_ERROR_ILLPARAM = 20,
    BASS_ERROR_NO3D = 21,
    BASS_ERROR_DEVICE = 23,
    BASS_ERROR_NOPLAY = 24,
    BASS_ERROR_FREQ = 25,
    BASS_ERROR_NOTFILE = 27,
    BASS_ERROR_NOTAVAIL = 37,
    BASS_ERROR_DECODE = 38,
    BASS_ERROR_TIMEOUT = 40,
    BASS_ERROR_FILEFORM = 41,
    BASS_ERROR_SPEAKER = 42,
    BASS_ERROR_VERSION = 43,
    BASS_ERROR_CODEC = 44,
    BASS_ERROR_ENDED = 45,
    BASS_ERROR_BUSY = 46,
    BASS_ERROR_UNSTREAMABLE = 47,
    BASS_ERROR_PROTOCOL = 48,
    BASS_ERROR_UNKNOWN = -1,
};

// BASS_SetConfig options.
#define BASS_CONFIG_GVOL_STREAM 5    // global stream volume 0..10000
#define BASS_CONFIG_NET_PLAYLIST 21  // 0 never, 1 file streams, 2 file and URL streams
#define BASS_CONFIG_DEV_DEFAULT 36   // 1: device -1 follows the system default

// Devices: 0 "no sound", -1 the default, 1..n the real outputs.
#define BASS_DEVICE_ENABLED 1
#define BASS_DEVICE_DEFAULT 2
#define BASS_DEVICE_DSOUND 0x40000

// BASS_INFO flags.
#define DSCAPS_EMULDRIVER 0x20

#define BASS_SAMPLE_MONO 2
#define BASS_SAMPLE_LOOP 4
#define BASS_SAMPLE_3D 8
#define BASS_SAMPLE_SOFTWARE 0x10
#define BASS_SAMPLE_FLOAT 0x100
#define BASS_STREAM_AUTOFREE 0x40000
#define BASS_STREAM_DECODE 0x200000

#define BASS_ATTRIB_VOL 2
#define BASS_ATTRIB_PAN 3

#define BASS_SYNC_END 2
#define BASS_SYNC_DEV_FAIL 14
#define BASS_SYNC_ONETIME 0x80000000u

#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2

#define BASS_POS_BYTE 0

typedef struct {
    const char* name;
    const char* driver;
    DWORD flags;
} BASS_DEVICEINFO;

typedef struct {
    DWORD flags;     // DSCAPS_EMULDRIVER
    DWORD speakers;  // 2, 4, 6 or 8
    DWORD freq;      // output rate
} BASS_INFO;

typedef struct {
    DWORD freq;
    DWORD chans;
    DWORD flags;
} BASS_CHANNELINFO;

typedef struct {
    float x;
    float y;
    float z;
} BASS_3DVECTOR;

typedef void(OVEL_AUDIO_CALLBACK SYNCPROC)(HSYNC handle, DWORD channel, DWORD data, void* user);
// buffer holds length bytes of interleaved float samples. It runs on the mixing
// thread while the library is locked: it may touch only its buffer and its own
// data; any library operation it calls fails with BASS_ERROR_BUSY.
typedef void(OVEL_AUDIO_CALLBACK DSPPROC)(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user);
typedef DWORD(OVEL_AUDIO_CALLBACK STREAMPROC)(HSTREAM handle, void* buffer, DWORD length, void* user);
typedef void(OVEL_AUDIO_CALLBACK DOWNLOADPROC)(const void* buffer, DWORD length, void* user);

DWORD BASSDEF(BASS_GetVersion)(void);
BOOL BASSDEF(BASS_SetConfig)(DWORD option, DWORD value);
BOOL BASSDEF(BASS_GetDeviceInfo)(DWORD device, BASS_DEVICEINFO* info);
BOOL BASSDEF(BASS_Init)(int device, DWORD freq, DWORD flags, void* win, const void* dsguid);
DWORD BASSDEF(BASS_GetDevice)(void);
BOOL BASSDEF(BASS_GetInfo)(BASS_INFO* info);
BOOL BASSDEF(BASS_Start)(void);
BOOL BASSDEF(BASS_Stop)(void);
BOOL BASSDEF(BASS_Free)(void);
int BASSDEF(BASS_ErrorGetCode)(void);

BOOL BASSDEF(BASS_Set3DFactors)(float distf, float rollf, float doppf);
BOOL BASSDEF(BASS_Set3DPosition)(const BASS_3DVECTOR* pos, const BASS_3DVECTOR* vel, const BASS_3DVECTOR* front,
                                 const BASS_3DVECTOR* top);
void BASSDEF(BASS_Apply3D)(void);

HSTREAM BASSDEF(BASS_StreamCreateFile)(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// Waits (up to a few seconds, else BASS_ERROR_TIMEOUT) only for the bytes that
// tell the format; the stream then plays while the download goes on. When it
// runs ahead of the download it plays silence and is BASS_ACTIVE_STALLED; it
// ends (END syncs) only when the download has ended or failed.
HSTREAM BASSDEF(BASS_StreamCreateURL)(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc, void* user);
HSTREAM BASSDEF(BASS_StreamCreate)(DWORD freq, DWORD chans, DWORD flags, STREAMPROC* proc, void* user);
BOOL BASSDEF(BASS_StreamFree)(HSTREAM handle);

BOOL BASSDEF(BASS_ChannelPlay)(DWORD handle, BOOL restart);
BOOL BASSDEF(BASS_ChannelStop)(DWORD handle);
DWORD BASSDEF(BASS_ChannelIsActive)(DWORD handle);
BOOL BASSDEF(BASS_ChannelGetInfo)(DWORD handle, BASS_CHANNELINFO* info);
QWORD BASSDEF(BASS_ChannelGetLength)(DWORD handle, DWORD mode);
double BASSDEF(BASS_ChannelBytes2Seconds)(DWORD handle, QWORD pos);
DWORD BASSDEF(BASS_ChannelFlags)(DWORD handle, DWORD flags, DWORD mask);
BOOL BASSDEF(BASS_ChannelSetAttribute)(DWORD handle, DWORD attrib, float value);
// The slide runs on output time: it reaches value after time ms of output, whether
// or not the channel plays (a stopped channel, a source of a stopped mixer); it
// waits while the output itself is stopped (BASS_Stop).
BOOL BASSDEF(BASS_ChannelSlideAttribute)(DWORD handle, DWORD attrib, float value, DWORD time);
BOOL BASSDEF(BASS_ChannelSet3DPosition)(DWORD handle, const BASS_3DVECTOR* pos, const BASS_3DVECTOR* orient,
                                        const BASS_3DVECTOR* vel);
HSYNC BASSDEF(BASS_ChannelSetSync)(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);
BOOL BASSDEF(BASS_ChannelRemoveSync)(DWORD handle, HSYNC sync);
HDSP BASSDEF(BASS_ChannelSetDSP)(DWORD handle, DSPPROC* proc, void* user, int priority);

HPLUGIN BASSDEF(BASS_PluginLoad)(const char* file, DWORD flags);
BOOL BASSDEF(BASS_PluginFree)(HPLUGIN handle);

#ifdef __cplusplus
}
#endif
