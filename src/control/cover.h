// The cover image that lies beside a file, found by the names and in the order the Linux companion
// finds it: cover, folder, front, album, albumart, each .jpg, .jpeg or .png, then AlbumArt*.
#pragma once

#include "control/line.h"

// The image's full path, for a file's full path, UTF-8; false for a URL, or where there is none.
inline constexpr int CoverCapacity = LineCapacity + desktop::MAX_PATH;  // UTF-16 units
bool FindCover(const Line& file, desktop::WCHAR (&cover)[CoverCapacity]);
