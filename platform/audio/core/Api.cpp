// The library's C operations over the engine.

#include "platform/audio/bass.h"
#include "platform/audio/core/ApiErrors.h"
#include "platform/audio/core/BackendRegistry.h"
#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/DecodeAhead.h"
#include "platform/audio/core/Decoders.h"
#include "platform/audio/core/Engine.h"
#include "platform/audio/core/Playlist.h"
#include "platform/audio/core/TestHooks.h"
#include "platform/audio/core/UrlReader.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <set>

using namespace ovelaudio;

namespace ovelaudio {
namespace {

thread_local int lastError = BASS_OK;

constexpr DWORD kVersion = 0x02040001;
constexpr DWORD kMaxGlobalVolume = 10000;
constexpr DWORD kChangeableFlags = BASS_SAMPLE_LOOP | BASS_STREAM_AUTOFREE;
constexpr float kMillisecondsPerSecond = 1000.0f;
constexpr DWORD kNoValue = static_cast<DWORD>(-1);
constexpr QWORD kNoLength = static_cast<QWORD>(-1);
const char* const kNoSoundName = "No sound";

Engine& TheEngine() { return Engine::Instance(); }

// Names handed out through BASS_DEVICEINFO stay valid for the whole run.
const char* Keep(const std::string& text)
{
    static std::mutex mutex;
    static std::set<std::string> kept;
    std::lock_guard<std::mutex> lock(mutex);
    return kept.insert(text).first->c_str();
}

uint32_t BytesPerSample(const Channel& channel) { return (channel.flags & BASS_SAMPLE_FLOAT) ? 4 : 2; }

bool IsOpen()
{
    std::lock_guard<std::mutex> lock(TheEngine().mutex);
    return TheEngine().IsOpen();
}

HSTREAM AddStream(std::unique_ptr<Decoder> decoder, DWORD flags,
                  std::shared_ptr<const DownloadState> download = nullptr)
{
    if ((flags & BASS_SAMPLE_3D) && decoder->Channels() != 1)
        return Failed<HSTREAM>(BASS_ERROR_NO3D, 0);
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<HSTREAM>(BASS_ERROR_INIT, 0);
    const DWORD handle = engine.NewHandle();
    auto channel = std::make_unique<Channel>(handle, flags, std::move(decoder));
    channel->download = std::move(download);
    engine.Add(std::move(channel));
    return Succeeded(handle);
}

// Caller memory stays valid while its stream lives: a short clip there is decoded ahead.
std::unique_ptr<Decoder> OpenStreamDecoder(std::unique_ptr<ByteSource> source, DWORD flags, int& error)
{
    const auto* memory = dynamic_cast<const MemorySource*>(source.get());
    const uint8_t* bytes = memory ? memory->Data() : nullptr;
    const size_t size = memory ? static_cast<size_t>(memory->Size()) : 0;
    std::unique_ptr<Decoder> decoder = OpenDecoder(std::move(source), error);
    if (decoder && bytes)
        decoder = DecodeAhead(std::move(decoder), bytes, size);
    if (decoder && (flags & BASS_SAMPLE_MONO))
        decoder = DownmixToMono(std::move(decoder));
    return decoder;
}

HSTREAM CreateFromBytes(std::unique_ptr<ByteSource> source, DWORD flags)
{
    int error = BASS_OK;
    std::unique_ptr<Decoder> decoder = OpenStreamDecoder(std::move(source), flags, error);
    if (!decoder)
        return Failed<HSTREAM>(error, 0);
    return AddStream(std::move(decoder), flags);
}

// Playlists that stream creation follows to their first entry that opens.
// The walk is bounded, so a playlist naming itself, or a chain of them, ends.
constexpr int kPlaylistDepthLimit = 4;     // playlists within playlists
constexpr int kPlaylistEntryLimit = 64;    // entries tried in one creation, each maybe a slow address
constexpr size_t kPlaylistHeadBytes = 16;  // enough for the mark that tells a playlist by its text
constexpr size_t kPlaylistBytesLimit = 1024 * 1024;
constexpr uint32_t kFollowFiles = 1;
constexpr uint32_t kFollowFilesAndUrls = 2;

struct PlaylistWalk {
    int depth = 0;
    int entriesLeft = kPlaylistEntryLimit;
};

struct PlaylistText {
    TPlaylistKind kind;
    std::string text;
};

uint32_t FollowedPlaylists()
{
    std::lock_guard<std::mutex> lock(TheEngine().mutex);
    return TheEngine().followedPlaylists;
}

// An address's name without its query, for its extension.
std::string WithoutQuery(const std::string& url) { return url.substr(0, url.find('?')); }

// The playlist in the bytes, known by the name's extension or by its first
// bytes; nothing, and the source back at its start, when they are no playlist.
std::optional<PlaylistText> ReadPlaylist(const std::string& name, ByteSource& source)
{
    TPlaylistKind kind = PlaylistKindOf(name);
    if (kind == TPlaylistKind::None) {
        std::string head(kPlaylistHeadBytes, '\0');
        head.resize(source.Read(head.data(), head.size()));
        source.Seek(0);
        kind = PlaylistKindOfText(head);
        if (kind == TPlaylistKind::None)
            return std::nullopt;
    }
    const std::vector<uint8_t> bytes = ReadAtMost(source, kPlaylistBytesLimit);
    return PlaylistText{kind, std::string(bytes.begin(), bytes.end())};
}

HSTREAM CreateFileStream(const std::string& path, QWORD offset, QWORD length, DWORD flags, PlaylistWalk& walk);
HSTREAM CreateUrlStream(const std::string& url, DWORD offset, DWORD flags, PlaylistWalk& walk);

// Without an entry that opens, the error of the last one tried; an empty
// playlist is no sound file.
HSTREAM FollowPlaylist(const PlaylistText& playlist, const std::string& name, DWORD flags, PlaylistWalk& walk)
{
    if (walk.depth >= kPlaylistDepthLimit)
        return Failed<HSTREAM>(BASS_ERROR_FILEFORM, 0);
    int error = BASS_ERROR_FILEFORM;
    ++walk.depth;
    for (std::string entry : PlaylistEntries(playlist.kind, playlist.text)) {
        if (walk.entriesLeft == 0)
            break;
        --walk.entriesLeft;
        if (playlist.kind == TPlaylistKind::M3u8 && !IsUrlEntry(entry))
            entry = NameFromUtf8(entry);
        const std::string resolved = ResolveEntry(entry, name);
        const HSTREAM stream = IsUrlEntry(resolved) ? CreateUrlStream(resolved, 0, flags, walk)
                                                    : CreateFileStream(resolved, 0, 0, flags, walk);
        if (stream != 0) {
            --walk.depth;
            return stream;
        }
        error = lastError;
    }
    --walk.depth;
    return Failed<HSTREAM>(error, 0);
}

HSTREAM CreateFileStream(const std::string& path, QWORD offset, QWORD length, DWORD flags, PlaylistWalk& walk)
{
    std::unique_ptr<ByteSource> source = FileSource::Open(path, offset, length);
    if (!source)
        return Failed<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
    if (FollowedPlaylists() >= kFollowFiles)
        if (const std::optional<PlaylistText> playlist = ReadPlaylist(path, *source))
            return FollowPlaylist(*playlist, path, flags, walk);
    return CreateFromBytes(std::move(source), flags);
}

// Creation waits only for the bytes that tell the format; the stream then
// plays while the download goes on, stalling when it runs ahead of it.
HSTREAM CreateUrlStream(const std::string& url, DWORD offset, DWORD flags, PlaylistWalk& walk)
{
    UrlOpener opener = CurrentUrlOpener();
    if (!opener)
        return Failed<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
    int error = BASS_OK;
    std::unique_ptr<ByteSource> source = opener(url, offset, error);
    if (!source)
        return Failed<HSTREAM>(error != BASS_OK ? error : BASS_ERROR_FILEOPEN, 0);
    auto download = std::make_shared<DownloadState>();
    auto reader = std::make_unique<UrlReader>(std::move(source), download, testhooks::UrlOpenWait());
    if (FollowedPlaylists() >= kFollowFilesAndUrls)
        if (const std::optional<PlaylistText> playlist = ReadPlaylist(WithoutQuery(url), *reader))
            return FollowPlaylist(*playlist, url, flags, walk);
    std::unique_ptr<Decoder> decoder = OpenStreamDecoder(std::move(reader), flags, error);
    download->opening = false;
    if (!decoder)
        return Failed<HSTREAM>(download->timedOut ? BASS_ERROR_TIMEOUT : error, 0);
    return AddStream(std::move(decoder), flags, std::move(download));
}

// Runs an operation on a channel with the engine locked; unknown handles fail with BASS_ERROR_HANDLE.
template <typename T, typename Op>
T WithChannel(DWORD handle, T failure, Op op)
{
    if (RefusedInMix())
        return failure;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    Channel* channel = engine.Find(handle);
    if (!channel)
        return Failed<T>(BASS_ERROR_HANDLE, failure);
    return op(engine, *channel);
}

Attribute* AttributeOf(Channel& channel, DWORD attrib)
{
    switch (attrib) {
        case BASS_ATTRIB_VOL:
            return &channel.volume;
        case BASS_ATTRIB_PAN:
            return &channel.pan;
        default:
            return nullptr;
    }
}

float Clamped(DWORD attrib, float value)
{
    return attrib == BASS_ATTRIB_PAN ? std::clamp(value, -1.0f, 1.0f) : std::max(value, 0.0f);
}

BOOL ChangeAttribute(DWORD handle, DWORD attrib, float value, double seconds)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine&, Channel& channel) {
        Attribute* attribute = AttributeOf(channel, attrib);
        if (!attribute)
            return Failed<BOOL>(BASS_ERROR_ILLTYPE, kFalse);
        if (!std::isfinite(value))
            return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
        attribute->Slide(Clamped(attrib, value), seconds);
        return Succeeded<BOOL>(kTrue);
    });
}

Vec3 ToVec3(const BASS_3DVECTOR& v) { return {v.x, v.y, v.z}; }

// A NaN or an infinity would reach every sample of the mix. A vector not given changes nothing.
bool AllFinite(std::initializer_list<const BASS_3DVECTOR*> vectors)
{
    return std::all_of(vectors.begin(), vectors.end(), [](const BASS_3DVECTOR* v) {
        return !v || (std::isfinite(v->x) && std::isfinite(v->y) && std::isfinite(v->z));
    });
}

void SetIfGiven(Vec3& target, const BASS_3DVECTOR* value)
{
    if (value)
        target = ToVec3(*value);
}

void SetIfGiven(float& target, float value)
{
    if (value >= 0.0f)
        target = value;
}

}  // namespace

void SetLastError(int code) { lastError = code; }
int LastError() { return lastError; }

bool RefusedInMix()
{
    if (!Engine::MixingHere())
        return false;
    SetLastError(BASS_ERROR_BUSY);
    return true;
}

}  // namespace ovelaudio

extern "C" {

DWORD BASSDEF(BASS_GetVersion)(void) { return kVersion; }

BOOL BASSDEF(BASS_SetConfig)(DWORD option, DWORD value)
{
    if (RefusedInMix())
        return kFalse;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    switch (option) {
        case BASS_CONFIG_GVOL_STREAM:
            if (value > kMaxGlobalVolume)
                return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
            engine.globalStreamVolume = value;
            break;
        case BASS_CONFIG_NET_PLAYLIST:
            if (value > kFollowFilesAndUrls)
                return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
            engine.followedPlaylists = value;
            break;
        // Accepted and kept nowhere: device -1 is resolved once, when the output opens.
        case BASS_CONFIG_DEV_DEFAULT:
            break;
        default:
            return Failed<BOOL>(BASS_ERROR_ILLTYPE, kFalse);
    }
    return Succeeded<BOOL>(kTrue);
}

BOOL BASSDEF(BASS_GetDeviceInfo)(DWORD device, BASS_DEVICEINFO* info)
{
    if (!info)
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    if (device == 0) {
        *info = {Keep(kNoSoundName), Keep(""), BASS_DEVICE_ENABLED};
        return Succeeded<BOOL>(kTrue);
    }
    OutputBackend* backend = CurrentOutputBackend();
    const std::vector<DeviceEntry> devices = backend ? backend->Devices() : std::vector<DeviceEntry>();
    if (device > devices.size())
        return Failed<BOOL>(BASS_ERROR_DEVICE, kFalse);
    const DeviceEntry& entry = devices[device - 1];
    const DWORD flags = (entry.enabled ? BASS_DEVICE_ENABLED : 0) | (entry.isDefault ? BASS_DEVICE_DEFAULT : 0);
    *info = {Keep(entry.name), Keep(entry.driver), flags};
    return Succeeded<BOOL>(kTrue);
}

BOOL BASSDEF(BASS_Init)(int device, DWORD freq, DWORD, void* win, const void*)
{
    if (RefusedInMix())
        return kFalse;
    return Outcome(TheEngine().Open(device, freq, win));
}

DWORD BASSDEF(BASS_GetDevice)(void)
{
    if (RefusedInMix())
        return kNoValue;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<DWORD>(BASS_ERROR_INIT, kNoValue);
    return Succeeded(static_cast<DWORD>(engine.Device()));
}

BOOL BASSDEF(BASS_GetInfo)(BASS_INFO* info)
{
    if (RefusedInMix())
        return kFalse;
    if (!info)
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<BOOL>(BASS_ERROR_INIT, kFalse);
    info->flags = engine.Emulated() ? DSCAPS_EMULDRIVER : 0;
    info->speakers = engine.Speakers();
    info->freq = engine.OutputRate();
    return Succeeded<BOOL>(kTrue);
}

BOOL BASSDEF(BASS_Start)(void) { return !RefusedInMix() && Outcome(TheEngine().Resume()); }
BOOL BASSDEF(BASS_Stop)(void) { return !RefusedInMix() && Outcome(TheEngine().Pause()); }
BOOL BASSDEF(BASS_Free)(void) { return !RefusedInMix() && Outcome(TheEngine().Close()); }
int BASSDEF(BASS_ErrorGetCode)(void) { return LastError(); }

BOOL BASSDEF(BASS_Set3DFactors)(float distf, float rollf, float doppf)
{
    if (RefusedInMix())
        return kFalse;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<BOOL>(BASS_ERROR_INIT, kFalse);
    if (!std::isfinite(distf) || !std::isfinite(rollf) || !std::isfinite(doppf))
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    SetIfGiven(engine.pendingFactors.distance, distf);
    SetIfGiven(engine.pendingFactors.rolloff, rollf);
    SetIfGiven(engine.pendingFactors.doppler, doppf);
    return Succeeded<BOOL>(kTrue);
}

BOOL BASSDEF(BASS_Set3DPosition)(const BASS_3DVECTOR* pos, const BASS_3DVECTOR* vel, const BASS_3DVECTOR* front,
                                 const BASS_3DVECTOR* top)
{
    if (RefusedInMix())
        return kFalse;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<BOOL>(BASS_ERROR_INIT, kFalse);
    if (!AllFinite({pos, vel, front, top}))
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    SetIfGiven(engine.pendingListener.position, pos);
    SetIfGiven(engine.pendingListener.front, front);
    SetIfGiven(engine.pendingListener.top, top);
    return Succeeded<BOOL>(kTrue);
}

void BASSDEF(BASS_Apply3D)(void)
{
    if (RefusedInMix())
        return;
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> lock(engine.mutex);
    engine.Apply3D();
}

HSTREAM BASSDEF(BASS_StreamCreateFile)(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    if (RefusedInMix())
        return 0;
    if (!file)
        return Failed<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
    if (!IsOpen())
        return Failed<HSTREAM>(BASS_ERROR_INIT, 0);
    if (mem) {
        const uint8_t* start = static_cast<const uint8_t*>(file) + offset;
        return CreateFromBytes(std::make_unique<MemorySource>(start, static_cast<size_t>(length)), flags);
    }
    PlaylistWalk walk;
    return CreateFileStream(static_cast<const char*>(file), offset, length, flags, walk);
}

HSTREAM BASSDEF(BASS_StreamCreateURL)(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC*, void*)
{
    if (RefusedInMix())
        return 0;
    if (!url)
        return Failed<HSTREAM>(BASS_ERROR_ILLPARAM, 0);
    if (!IsOpen())
        return Failed<HSTREAM>(BASS_ERROR_INIT, 0);
    PlaylistWalk walk;
    return CreateUrlStream(url, offset, flags, walk);
}

// Only dummy streams: a stream procedure would be user code on the mixing thread.
HSTREAM BASSDEF(BASS_StreamCreate)(DWORD freq, DWORD chans, DWORD flags, STREAMPROC* proc, void*)
{
    if (RefusedInMix())
        return 0;
    if (proc)
        return Failed<HSTREAM>(BASS_ERROR_NOTAVAIL, 0);
    if (const int error = FormatError(freq, chans))
        return Failed<HSTREAM>(error, 0);
    return AddStream(MakeSilence(freq, chans), flags);
}

BOOL BASSDEF(BASS_StreamFree)(HSTREAM handle)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine& engine, Channel&) {
        engine.Free(handle);
        return Succeeded<BOOL>(kTrue);
    });
}

BOOL BASSDEF(BASS_ChannelPlay)(DWORD handle, BOOL restart)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine& engine, Channel& channel) {
        if (channel.IsDecodeOnly())
            return Failed<BOOL>(BASS_ERROR_DECODE, kFalse);
        if (restart)
            channel.Restart();
        else if (!channel.playing)
            channel.Resume();
        engine.Play(channel);
        return Succeeded<BOOL>(kTrue);
    });
}

BOOL BASSDEF(BASS_ChannelStop)(DWORD handle)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine& engine, Channel& channel) {
        engine.Stop(channel);
        return Succeeded<BOOL>(kTrue);
    });
}

DWORD BASSDEF(BASS_ChannelIsActive)(DWORD handle)
{
    return WithChannel<DWORD>(handle, BASS_ACTIVE_STOPPED, [](Engine&, Channel& channel) {
        const bool active = channel.IsDecodeOnly() ? !channel.ended && !channel.stopped : channel.playing;
        if (!active)
            return Succeeded<DWORD>(BASS_ACTIVE_STOPPED);
        return Succeeded<DWORD>(channel.stalled ? BASS_ACTIVE_STALLED : BASS_ACTIVE_PLAYING);
    });
}

BOOL BASSDEF(BASS_ChannelGetInfo)(DWORD handle, BASS_CHANNELINFO* info)
{
    if (!info)
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    return WithChannel<BOOL>(handle, kFalse, [&](Engine&, Channel& channel) {
        *info = {channel.Rate(), channel.Channels(), channel.flags};
        return Succeeded<BOOL>(kTrue);
    });
}

QWORD BASSDEF(BASS_ChannelGetLength)(DWORD handle, DWORD mode)
{
    return WithChannel<QWORD>(handle, kNoLength, [&](Engine&, Channel& channel) {
        const uint64_t frames = channel.LengthFrames();
        if (mode != BASS_POS_BYTE || frames == UINT64_MAX)
            return Failed<QWORD>(BASS_ERROR_NOTAVAIL, kNoLength);
        return Succeeded<QWORD>(frames * channel.Channels() * BytesPerSample(channel));
    });
}

double BASSDEF(BASS_ChannelBytes2Seconds)(DWORD handle, QWORD pos)
{
    return WithChannel<double>(handle, -1.0, [&](Engine&, Channel& channel) {
        const double bytesPerSecond =
            static_cast<double>(channel.Rate()) * channel.Channels() * BytesPerSample(channel);
        return Succeeded(static_cast<double>(pos) / bytesPerSecond);
    });
}

DWORD BASSDEF(BASS_ChannelFlags)(DWORD handle, DWORD flags, DWORD mask)
{
    return WithChannel<DWORD>(handle, kNoValue, [&](Engine&, Channel& channel) {
        const DWORD changed = mask & kChangeableFlags;
        channel.flags = (channel.flags & ~changed) | (flags & changed);
        return Succeeded(channel.flags);
    });
}

BOOL BASSDEF(BASS_ChannelSetAttribute)(DWORD handle, DWORD attrib, float value)
{
    return ChangeAttribute(handle, attrib, value, 0.0);
}

BOOL BASSDEF(BASS_ChannelSlideAttribute)(DWORD handle, DWORD attrib, float value, DWORD time)
{
    return ChangeAttribute(handle, attrib, value, static_cast<double>(time) / kMillisecondsPerSecond);
}

BOOL BASSDEF(BASS_ChannelSet3DPosition)(DWORD handle, const BASS_3DVECTOR* pos, const BASS_3DVECTOR* orient,
                                        const BASS_3DVECTOR* vel)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine&, Channel& channel) {
        if (!channel.IsSpatial())
            return Failed<BOOL>(BASS_ERROR_NO3D, kFalse);
        if (!AllFinite({pos, orient, vel}))
            return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
        SetIfGiven(channel.pendingPosition, pos);
        return Succeeded<BOOL>(kTrue);
    });
}

HSYNC BASSDEF(BASS_ChannelSetSync)(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user)
{
    const DWORD kind = type & ~BASS_SYNC_ONETIME;
    if (kind != BASS_SYNC_END && kind != BASS_SYNC_DEV_FAIL)
        return Failed<HSYNC>(BASS_ERROR_ILLTYPE, 0);
    if (!proc)
        return Failed<HSYNC>(BASS_ERROR_ILLPARAM, 0);
    return WithChannel<HSYNC>(handle, 0, [&](Engine& engine, Channel& channel) {
        const HSYNC id = engine.NewHandle();
        channel.syncs.push_back({id, kind, (type & BASS_SYNC_ONETIME) != 0, proc, user});
        return Succeeded(id);
    });
}

BOOL BASSDEF(BASS_ChannelRemoveSync)(DWORD handle, HSYNC sync)
{
    return WithChannel<BOOL>(handle, kFalse, [&](Engine&, Channel& channel) {
        auto& syncs = channel.syncs;
        const auto found = std::find_if(syncs.begin(), syncs.end(), [&](const SyncEntry& s) { return s.id == sync; });
        if (found == syncs.end())
            return Failed<BOOL>(BASS_ERROR_HANDLE, kFalse);
        syncs.erase(found);
        return Succeeded<BOOL>(kTrue);
    });
}

HDSP BASSDEF(BASS_ChannelSetDSP)(DWORD handle, DSPPROC* proc, void* user, int priority)
{
    if (!proc)
        return Failed<HDSP>(BASS_ERROR_ILLPARAM, 0);
    return WithChannel<HDSP>(handle, 0, [&](Engine& engine, Channel& channel) {
        const HDSP id = engine.NewHandle();
        channel.AddDsp({id, proc, user, priority});
        return Succeeded(id);
    });
}

}  // extern "C"
