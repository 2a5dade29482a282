// Prints what the companion reads of each file named, a line each: album, artist and cover art
// URL, tab-separated; tests/mpris/run.py --tags checks it where the companion's own bus can't go.
#include <cstdio>

#include "tags.h"

int main(int count, char** arguments) {
    if (count < 2) {
        std::fprintf(stderr, "usage: tags-probe CACHE-FOLDER FILE...\n");
        return 2;
    }
    for (int at = 2; at < count; ++at) {
        const mpris::Tags tags = mpris::ReadTags(arguments[at]);
        std::printf("%s\t%s\t%s\n", tags.album.c_str(), tags.artist.c_str(),
                    mpris::CoverArt(tags, arguments[at], arguments[1]).c_str());
    }
    return 0;
}
