// The player's playlist: an entry's file or title read from the player's memory, whole and only
// from memory it can read, and files and URLs handed to it.
#pragma once

#include <cstdint>

#include "control/line.h"
#include "control/player.h"

// The most characters of an entry read; a longer one is cut here.
inline constexpr int LongestEntry = 32767;

enum class EntryText : std::uint8_t { File, Title };

// Appends the text of the entry at index to the line, as far as the line takes it; nothing when
// the player gives no address it can be read at, or no terminator comes before memory that can't
// be read. Gives the address the player answered.
std::uintptr_t AppendEntry(Line& line, Player& player, std::int32_t index, EntryText which);

// The current entry's file or title, given the index the player last gave as current: read again,
// with the index asked again, until the list held still while it was read; empty after three
// tries.
void ReadCurrentEntry(Line& line, Player& player, std::int32_t index, EntryText which);

// Adds a file or URL, in UTF-16, to the end of the playlist.
void AddToPlaylist(Player& player, const desktop::WCHAR* entry, int length);
// Inserts one before the entry at index, through the playlist window; false for a path too long
// for the player to take, which is sent nothing.
bool InsertInPlaylist(Player& player, const desktop::WCHAR* entry, int length, std::int32_t index);
