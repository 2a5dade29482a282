// The player's state as values: read field by field from the player, compared by the follower and
// formatted only where it is written.
#pragma once

#include <cstdint>

#include "control/line.h"
#include "control/player.h"

// What the player's state holds, in the order /QUERY prints it. The status comes first: it is all
// there is without a player.
enum class Field : std::uint8_t {
    Status,
    Title,
    Position,
    Length,
    Volume,
    Track,
    Tracks,
    Shuffle,
    Repeat,
    File,
    Artist,
    Album,
    AlbumArtist,
    Year,
    Genre,
    Rating
};
inline constexpr Field LastField = Field::Rating;
inline constexpr int FieldCount = static_cast<int>(LastField) + 1;

// A set of fields, a bit each.
using Fields = std::uint32_t;
constexpr Fields FieldBit(Field field) { return Fields{1} << static_cast<int>(field); }
constexpr Fields FieldRange(Field first, Field last) {
    return (FieldBit(last) << 1) - FieldBit(first);
}
inline constexpr Fields AllFields = FieldRange(Field::Status, LastField);
inline constexpr Fields TagFields = FieldRange(Field::Artist, Field::Genre);  // read as one

// What a field's value is, which says how it is read and how it is shown.
enum class Kind : std::uint8_t {
    Status,   // Playing, Paused or Stopped
    Title,    // the current entry's title, from the player's memory, else from the caption
    File,     // the current entry's file or URL, from the player's memory
    Tag,      // a tag of the current file, as the player reads it, by the field's key
    Time,     // milliseconds, or NoTime when there is none
    Percent,  // the volume
    Count,    // 0 or more
    Track,    // counted from 1; 0 with an empty playlist
    OnOff,    // On or Off
    Repeat,   // On, Off or RepeatTrack
    Rating,   // 0 to MaxRating
};

inline constexpr int CaptionCapacity = 2048;  // UTF-16 units: more than a line can take

struct PlayerState {
    bool running;  // a player's window was there to ask; nothing else is read without one
    std::int32_t status, position, length, volume, track, tracks, shuffle, repeat, rating;
    // In UTF-8, cut as a line is.
    Line title, file, artist, album, albumArtist, year, genre;
};

// The field's key, as /QUERY prints it before the value, its kind, and its value: a number, or
// for the texts their line.
const char* FieldKey(Field field);
Kind FieldKind(Field field);
std::int32_t FieldValue(const PlayerState& state, Field field);
const Line* FieldText(const PlayerState& state, Field field);  // null for a number

// Reads a set of fields, one field, or every field, from the player, each question asked once;
// without a player only that it is absent. The tags are read with the file, at most once a read,
// and not at all when known, a state read before, holds the same file.
void ReadFields(PlayerState& state, Fields fields, Player& player,
                const PlayerState* known = nullptr);
void ReadField(PlayerState& state, Field field, Player& player);
void ReadState(PlayerState& state, Player& player, const PlayerState* known = nullptr);

// Takes the title from the player's caption, "3. Artist - Title - Winamp [Paused]": without a
// leading playlist number, and without the last " - Winamp" and what follows. Nothing when that
// ending is absent, as it is when nothing is loaded.
void TakeTitle(PlayerState& state, const desktop::WCHAR* caption);

// True when the two differ in anything but the position, which moves on by itself; without a
// player nothing else counts.
bool DiffersBesidesPosition(const PlayerState& first, const PlayerState& second);
