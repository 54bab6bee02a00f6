#include "player/engine/UserFolders.h"

#include "platform/audio/core/Playlist.h"
#include "support/ProgInfo.h"
#include "support/Random.h"
#include "support/TextFiles.h"

#include <algorithm>
#include <deque>
#include <set>

std::array<TUserFolderSlot, UserFolderCount> UserFolders;
bool NatureListBusy = false;
bool MusicListBusy = false;

namespace {

TUserFileSystem* Files = nullptr;
TListingHooks Hooks;

constexpr const char* kListedExtensions[] = {".mp3", ".ogg", ".wav", ".aif",  ".aiff", ".flac",
                                             ".wma", ".wm",  ".m3u", ".m3u8", ".pls"};
// The message loop gets its turn after 255, 511, ... files.
constexpr int kYieldMask = 0xFF;

std::string WithBackslash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

std::string IdentityOf(const std::string& folder)
{
    const std::string identity = Files->FolderIdentity(folder);
    return identity.empty() ? LowerCase(WithBackslash(folder)) : identity;
}

void Yield()
{
    if (Hooks.Yield)
        Hooks.Yield();
}

void ShowRunning(bool running)
{
    if (Hooks.Running)
        Hooks.Running(running);
}

int WalkFolders(TUserFolderSlot& slot, bool fill)
{
    slot.HasSubfolders = false;
    if (fill)
        slot.Files.clear();
    int count = 0;
    std::deque<std::string> queue{slot.Path};
    std::set<std::string> seen{IdentityOf(slot.Path)};
    while (!queue.empty()) {
        const std::string folder = WithBackslash(queue.front());
        queue.pop_front();
        for (const TFolderEntry& entry : Files->List(folder)) {
            if (entry.Folder) {
                slot.HasSubfolders = true;
                const std::string subfolder = folder + entry.Name;
                if (slot.WithSubfolders && seen.insert(IdentityOf(subfolder)).second)
                    queue.push_back(subfolder);
            } else if (IsListedFile(entry.Name)) {
                ++count;
                if (fill)
                    slot.Files.push_back(folder + entry.Name);
                if ((count & kYieldMask) == kYieldMask)
                    Yield();
            }
        }
    }
    return count;
}

int ListFiles(bool& busy, int slot, bool fill)
{
    if (busy || Files == nullptr || slot < 0 || slot >= UserFolderCount)
        return -1;
    TUserFolderSlot& folder = UserFolders[slot];
    if (folder.Path.empty() || !Files->FolderExists(folder.Path))
        return -1;
    busy = true;
    ShowRunning(true);
    const int count = WalkFolders(folder, fill);
    folder.Count = count;
    ShowRunning(false);
    busy = false;
    return count;
}

// A listing without fill counts files it does not keep: only kept ones are drawn.
std::string DrawListed(const TUserFolderSlot& folder)
{
    const int listed = std::min(folder.Count, static_cast<int>(folder.Files.size()));
    return listed < 1 ? std::string() : folder.Files[Random(listed)];
}

std::string PickFileName(bool& busy, int (*list)(int, bool), int slot)
{
    if (busy || Files == nullptr || slot < 0 || slot >= UserFolderCount)
        return {};
    const std::string name = DrawListed(UserFolders[slot]);
    if (name.empty() || Files->FileExists(name))
        return name;
    list(slot, true);
    return DrawListed(UserFolders[slot]);
}

}  // namespace

void SetUserFileSystem(TUserFileSystem* files) { Files = files; }
void SetListingHooks(TListingHooks hooks) { Hooks = std::move(hooks); }

bool IsListedFile(const std::string& name)
{
    for (const char* extension : kListedExtensions)
        if (HasExtension(name, extension))
            return true;
    return false;
}

int ListFilesNature(int slot, bool fill) { return ListFiles(NatureListBusy, slot, fill); }
int ListFilesMusic(int slot, bool fill) { return ListFiles(MusicListBusy, slot, fill); }

std::string PickFileNameNature(int slot) { return PickFileName(NatureListBusy, ListFilesNature, slot); }
std::string PickFileNameMusic(int slot) { return PickFileName(MusicListBusy, ListFilesMusic, slot); }

std::optional<TSoundSource> PickPlaylistEntry(const std::string& name, const std::set<std::string>& tried)
{
    const TPlaylistKind kind = PlaylistKindOf(name);
    if (kind == TPlaylistKind::None)
        return TSoundSource{name, false};
    const std::optional<std::string> text = Files != nullptr ? Files->ReadText(name) : std::nullopt;
    if (!text)
        return std::nullopt;
    std::vector<std::string> untried;
    for (std::string entry : PlaylistEntries(kind, *text)) {
        if (kind == TPlaylistKind::M3u8)
            entry = Files->FromUtf8(entry);
        std::string resolved = ResolveEntry(entry, name);
        if (tried.count(resolved) == 0)
            untried.push_back(std::move(resolved));
    }
    if (untried.empty())
        return std::nullopt;
    const std::string& picked = untried[Random(static_cast<int>(untried.size()))];
    return TSoundSource{picked, IsUrlEntry(picked)};
}
