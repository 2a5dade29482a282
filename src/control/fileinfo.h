// The current file's tags, asked of the player through memory reserved in its process, since its
// question takes a structure there and answers into it.
#pragma once

#include "control/line.h"
#include "control/player.h"

inline constexpr int TagNameUnits = 16;  // a tag's name, ASCII, and its terminator at the most

// Reads each named tag of the file into its line, through one block of the player's memory that
// is freed before it returns; a tag the player does not fill is empty, and so is every tag where
// that memory can't be had, written or read.
void ReadFileTags(Player& player, const Line& file, const char* const* names, Line* const* tags,
                  int count);
