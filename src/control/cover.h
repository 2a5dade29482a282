// The cover image that lies beside a file, found by the names and in the order the Linux companion
// finds it: cover, folder, front, album, albumart, each .jpg, .jpeg or .png, then AlbumArt*.
#pragma once

#include "control/line.h"

// The image's full path, UTF-8, for a file's full path, UTF-8; false where there is none.
bool FindCover(const Line& file, Line& cover);
