#include "player/engine/Playlist.h"

#include "support/ProgInfo.h"
#include "support/TextFiles.h"

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kUrlMark = "://";
constexpr const char* kPlsEntryKey = "file";
constexpr std::size_t kPlsValueLeast = 4;  // "=" stands at character 5 or later
constexpr char kComment = '#';
constexpr char kBackslash = '\\';
constexpr const char* kBlanks = " \t\r\n";

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string WithoutByteOrderMark(const std::string& text)
{
    return text.rfind(kByteOrderMark, 0) == 0 ? text.substr(3) : text;
}

std::string M3uEntry(const std::string& line)
{
    const std::string entry = Trimmed(line);
    return entry.empty() || entry[0] == kComment ? std::string() : entry;
}

std::string PlsEntry(const std::string& line)
{
    const std::string trimmed = Trimmed(line);
    if (LowerCase(trimmed.substr(0, 4)) != kPlsEntryKey)
        return {};
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos || equals < kPlsValueLeast)
        return {};
    return Trimmed(trimmed.substr(equals + 1));
}

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

bool IsServerPath(const std::string& path)
{
    return path.size() >= 2 && path[0] == kBackslash && path[1] == kBackslash;
}

// "C:" of "C:\x\y", or "\\server\share" of "\\server\share\x".
std::string RootOf(const std::string& path)
{
    if (HasDrive(path))
        return path.substr(0, 2);
    if (!IsServerPath(path))
        return {};
    const std::size_t share = path.find(kBackslash, 2);
    if (share == std::string::npos)
        return path;
    return path.substr(0, path.find(kBackslash, share + 1));
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TPlaylistKind PlaylistKindOf(const std::string& name)
{
    if (HasExtension(name, ".m3u"))
        return TPlaylistKind::M3u;
    if (HasExtension(name, ".m3u8"))
        return TPlaylistKind::M3u8;
    if (HasExtension(name, ".pls"))
        return TPlaylistKind::Pls;
    return TPlaylistKind::None;
}

std::vector<std::string> PlaylistEntries(TPlaylistKind kind, const std::string& text)
{
    std::vector<std::string> entries;
    if (kind == TPlaylistKind::None)
        return entries;
    for (const std::string& line : SplitLines(WithoutByteOrderMark(text))) {
        const std::string entry = kind == TPlaylistKind::Pls ? PlsEntry(line) : M3uEntry(line);
        if (!entry.empty())
            entries.push_back(entry);
    }
    return entries;
}

bool IsUrlEntry(const std::string& entry) { return entry.find(kUrlMark) != std::string::npos; }

std::string ResolveEntry(const std::string& entry, const std::string& playlistPath)
{
    if (IsUrlEntry(entry) || HasDrive(entry) || IsServerPath(entry))
        return entry;
    if (!entry.empty() && (entry[0] == kBackslash || entry[0] == '/'))
        return RootOf(playlistPath) + entry;
    return FolderOf(playlistPath) + entry;
}
