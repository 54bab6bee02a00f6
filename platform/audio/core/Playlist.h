#pragma once
// Playlists: M3U (the system's code page), M3U8 (UTF-8) and PLS. A playlist
// names files or addresses; the player plays one entry of it, and the
// library's streams may follow one to its first entry that opens.

#include <string>
#include <vector>

enum class TPlaylistKind {
    None,  // not a playlist
    M3u,
    M3u8,
    Pls
};

// By the name's extension, letter case ignored.
TPlaylistKind PlaylistKindOf(const std::string& name);

// By the first bytes of a text without a playlist's extension: "[playlist]"
// begins a PLS, "#EXTM3U" an M3U (an M3U8 after a UTF-8 byte-order mark).
TPlaylistKind PlaylistKindOfText(const std::string& head);

// The entries of a playlist's text in their order: of an M3U every line that
// is not a comment ("#"), of a PLS the value of every "File" line. Blank
// lines, a byte-order mark and a "File" line without a value name none.
std::vector<std::string> PlaylistEntries(TPlaylistKind kind, const std::string& text);

// An address for a URL stream ("http://..."), not a file.
bool IsUrlEntry(const std::string& entry);

// An entry as the name to open: an address or a path with its drive stays as
// it is; "\dir\x" takes the drive (or server share) of the playlist; any
// other path is taken from the playlist's folder.
std::string ResolveEntry(const std::string& entry, const std::string& playlistPath);
