// Finding a cover: one look through the file's folder, keeping the best-ranked image, and among
// images of one rank the first by name, as the companion sorts them.
#include "control/cover.h"

using namespace desktop;

namespace {

constexpr const char* CoverNames[] = {"cover", "folder", "front", "album", "albumart"};
constexpr const char* CoverExtensions[] = {".jpg", ".jpeg", ".png"};
constexpr char AnyAlbumArt[] = "albumart";  // AlbumArt*, after the names above
constexpr int Ranks = sizeof CoverNames / sizeof *CoverNames + 1;
// True when the name, from `at`, is the text, without regard to ASCII case.
bool Matches(const WCHAR* name, int at, int length, const char* text) {
    return at + TextLength(text) <= length && StartsWithAnyCase(name + at, text);
}

// The name's rank among the covers, from 0; Ranks for no cover.
int Rank(const WCHAR* name) {
    const int length = TextLength(name);
    for (const char* extension : CoverExtensions) {
        const int stem = length - TextLength(extension);
        if (stem <= 0 || !Matches(name, stem, length, extension)) continue;
        for (int rank = 0; rank < Ranks - 1; ++rank)
            if (TextLength(CoverNames[rank]) == stem && Matches(name, 0, stem, CoverNames[rank]))
                return rank;
        if (Matches(name, 0, stem, AnyAlbumArt)) return Ranks - 1;
    }
    return Ranks;
}

// Ordinal order, as the companion sorts names.
bool Before(const WCHAR* first, const WCHAR* second) {
    while (*first != u'\0' && *first == *second)
        ++first, ++second;
    return *first < *second;
}

}  // namespace

bool FindCover(const Line& file, WCHAR (&cover)[CoverCapacity]) {
    if (IsUrl(file.text, file.length)) return false;  // a stream has no folder
    WCHAR* path = cover;                              // the folder's pattern, then the image's path
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, file.text, file.length, path, CoverCapacity - MAX_PATH);
    int folder = units > 0 ? units : 0;
    while (folder > 0 && path[folder - 1] != u'\\' && path[folder - 1] != u'/')
        --folder;
    if (folder == 0) return false;
    path[folder] = u'*';
    path[folder + 1] = u'\0';
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path, &found);
    if (!IsUsable(search)) return false;
    WCHAR best[MAX_PATH] = {};
    int bestRank = Ranks;
    do {
        const int rank = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                             ? Ranks
                             : Rank(found.cFileName);
        if (rank < bestRank ||
            (rank == bestRank && rank < Ranks && Before(found.cFileName, best))) {
            bestRank = rank;
            CopyText(best, found.cFileName, MAX_PATH);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    CopyText(path + folder, best, MAX_PATH);
    return bestRank < Ranks;
}
