#include "platform/audio/core/Playlist.h"

#include <algorithm>

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kUrlMark = "://";
constexpr const char* kPlsEntryKey = "file";
constexpr std::size_t kPlsValueLeast = 4;  // "=" stands at character 5 or later
constexpr char kComment = '#';
constexpr char kBackslash = '\\';
constexpr const char* kBlanks = " \t\r\n";
constexpr const char* kM3uMark = "#extm3u";
constexpr const char* kPlsMark = "[playlist]";

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether text holds lowerText at at, letter case ignored.
bool HoldsAt(const std::string& text, std::size_t at, const std::string& lowerText)
{
    if (at > text.size() || text.size() - at < lowerText.size())
        return false;
    for (std::size_t i = 0; i < lowerText.size(); ++i)
        if (LowerLetter(text[at + i]) != lowerText[i])
            return false;
    return true;
}

bool EndsWith(const std::string& name, const std::string& extension)
{
    return name.size() > extension.size() && HoldsAt(name, name.size() - extension.size(), extension);
}

// Lines end in LF or CR LF; the CR goes with the blanks each entry is trimmed of.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

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
    if (!HoldsAt(trimmed, 0, kPlsEntryKey))
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
    if (EndsWith(name, ".m3u"))
        return TPlaylistKind::M3u;
    if (EndsWith(name, ".m3u8"))
        return TPlaylistKind::M3u8;
    if (EndsWith(name, ".pls"))
        return TPlaylistKind::Pls;
    return TPlaylistKind::None;
}

std::vector<std::string> PlaylistEntries(TPlaylistKind kind, const std::string& text)
{
    std::vector<std::string> entries;
    if (kind == TPlaylistKind::None)
        return entries;
    for (const std::string& line : Lines(WithoutByteOrderMark(text))) {
        const std::string entry = kind == TPlaylistKind::Pls ? PlsEntry(line) : M3uEntry(line);
        if (!entry.empty())
            entries.push_back(entry);
    }
    return entries;
}

TPlaylistKind PlaylistKindOfText(const std::string& head)
{
    const bool marked = head.rfind(kByteOrderMark, 0) == 0;
    const std::string text = WithoutByteOrderMark(head);
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return TPlaylistKind::None;
    if (HoldsAt(text, first, kPlsMark))
        return TPlaylistKind::Pls;
    if (HoldsAt(text, first, kM3uMark))
        return marked ? TPlaylistKind::M3u8 : TPlaylistKind::M3u;
    return TPlaylistKind::None;
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
