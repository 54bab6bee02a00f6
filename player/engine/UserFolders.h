#pragma once
// The user's own folders of nature sounds and music: their listing (breadth
// first, yielding to the message loop now and then), the random pick of a
// listed file and the entry of a playlist.

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

enum TUserFolderId : int {
    ufDayNature,
    ufNightNature,
    ufDayMusic,
    ufNightMusic,
    UserFolderCount
};

struct TUserFolderSlot {
    std::string Path;
    std::vector<std::string> Files;  // full paths, in the order found
    int Count = 0;                   // files the last listing counted
    bool HasSubfolders = false;      // the last listing met a subfolder
    bool WithSubfolders = false;     // subfolders are listed too
};

extern std::array<TUserFolderSlot, UserFolderCount> UserFolders;

// Set while a listing of that kind runs: the listing yields to the message
// loop, and nothing else lists or picks that kind meanwhile.
extern bool NatureListBusy;
extern bool MusicListBusy;

struct TFolderEntry {
    std::string Name;
    bool Folder = false;
};

// What the folders need of the system. Paths are Windows paths.
class TUserFileSystem {
public:
    virtual ~TUserFileSystem() = default;
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The folder's entries without "." and ".."; empty when it cannot be read.
    virtual std::vector<TFolderEntry> List(const std::string& folder) = 0;
    // The same for every way the folder is reached (a junction, another
    // spelling); empty when it cannot be told.
    virtual std::string FolderIdentity(const std::string& folder) = 0;
    virtual std::optional<std::string> ReadText(const std::string& path) = 0;
    // A name in the system's code page, from UTF-8.
    virtual std::string FromUtf8(const std::string& text) = 0;
};

// How a listing shows that it runs and lets the board answer meanwhile.
struct TListingHooks {
    std::function<void(bool running)> Running;
    std::function<void()> Yield;
};

void SetUserFileSystem(TUserFileSystem* files);
void SetListingHooks(TListingHooks hooks);

// A file the player plays: .mp3, .ogg, .wav, .aif, .aiff, .flac, .wma, .wm
// and the playlists .m3u, .m3u8, .pls, letter case ignored.
bool IsListedFile(const std::string& name);

// The file dialogs' filter for a sound file of the user's own: every kind
// the player opens, then each kind alone.
constexpr const char* kUserFileFilter =
    "wav, mp3, ogg, wma, flac, aiff, aif, wv, m3u, m3u8, pls|*.wav;*.mp3;*.ogg;*.wma;*.flac;*.aiff;*.aif;*.wv;*.m3u;"
    "*.m3u8;*.pls|wav|*.wav|mp3|*.mp3|ogg|*.ogg|wma|*.wma|flac|*.flac|aiff, aif|*.aiff;*.aif|wv|*.wv|"
    "m3u, m3u8|*.m3u;*.m3u8|pls|*.pls";

// Lists the slot's folder (and its subfolders when asked), each folder once;
// with fill the slot's file list is made anew. The count of files, or -1 when
// nothing was listed (a listing of the kind runs, no path, no such folder).
int ListFilesNature(int slot, bool fill);
int ListFilesMusic(int slot, bool fill);

// A random listed file; when it has gone, the folder is listed again and the
// pick taken from the new list. Empty while the kind lists or has no files.
std::string PickFileNameNature(int slot);
std::string PickFileNameMusic(int slot);

struct TSoundSource {
    std::string Name;
    bool Url = false;
};

// A playlist becomes one of its entries, drawn at random from those not yet
// tried; any other file stays itself. Nothing when the playlist names nothing
// more or cannot be read.
std::optional<TSoundSource> PickPlaylistEntry(const std::string& name, const std::set<std::string>& tried = {});
