// Fuzz target over the playlists of the user's folders: any bytes as an M3U,
// an M3U8 and a PLS; every entry they give must be a usable name, and making
// it absolute must keep it whole.

#include "platform/audio/core/Playlist.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The playlist's own path comes from the first line, so that odd ones are tried too.
    const std::string playlist = text.substr(0, text.find('\n'));
    for (TPlaylistKind kind : {TPlaylistKind::M3u, TPlaylistKind::M3u8, TPlaylistKind::Pls}) {
        for (const std::string& entry : PlaylistEntries(kind, text)) {
            Require(!entry.empty());
            Require(!Blank(entry.front()) && !Blank(entry.back()));
            Require(entry.find('\n') == std::string::npos);
            Require(kind == TPlaylistKind::Pls || entry[0] != '#');
            const std::string resolved = ResolveEntry(entry, playlist);
            Require(resolved.size() >= entry.size());
            Require(resolved.compare(resolved.size() - entry.size(), entry.size(), entry) == 0);
            Require(IsUrlEntry(resolved) == IsUrlEntry(entry) || IsUrlEntry(resolved));
        }
    }
    return 0;
}
