// What a file tells of itself: its tags and length, read with TagLib, and its cover art, from
// the front cover embedded in it or an image beside it, handed out as a file:// URL.
#pragma once

#include <cstdint>
#include <string>

namespace mpris {

struct Tags {
    std::string title, artist, album, albumArtist, genre;
    int track = 0, disc = 0;   // 0: not given
    std::int64_t length = -1;  // microseconds; -1: unknown
    std::string cover;         // the front cover's bytes, else the first picture's
    std::string artUrl;        // where the cover art is, as a file:// URL; empty: none

    bool operator==(const Tags&) const = default;
};

// Reads the file's tags, length and embedded cover; nothing for a file TagLib can't read.
Tags ReadTags(const std::string& path);

// Where the cover art of the file is: its embedded cover, written once to the cache folder under a
// name made from a hash of its bytes (the folder kept to its newest 64 files), else the first of
// cover, folder, front, album, albumart and AlbumArt* beside it, as .jpg, .jpeg or .png, matched
// without regard to case. Empty when there is none.
std::string CoverArt(const Tags& tags, const std::string& path, const std::string& cacheFolder);

// $XDG_CACHE_HOME/tunedesk-mpris, or ~/.cache/tunedesk-mpris.
std::string CacheFolder();

}  // namespace mpris
