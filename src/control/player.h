// Talking to the player: commands, the WM_USER questions and settings, and reading each field of
// its state into a line.
#pragma once

#include <cstdint>

#include "control/output.h"
#include "control/protocol.h"
#include "desktop/desktop.h"

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
    Repeat
};
inline constexpr int FieldCount = static_cast<int>(Field::Repeat) + 1;

// The key /QUERY prints before the field.
const char* FieldKey(Field field);

// Appends the field as a query prints it.
void AppendField(Line& line, Field field, desktop::HWND window);

// The title within the player's caption, "3. Artist - Title - Winamp [Paused]": without a
// leading playlist number, and without the last " - Winamp" and what follows. Nothing when that
// ending is absent, as it is when nothing is loaded.
void AppendTitle(Line& line, const desktop::WCHAR* caption);

// The player's answer to a WM_USER question, as the 32-bit signed number it is: a 64-bit
// Tunedesk talking to the 32-bit player gets it sign-extended, and -1 must stay -1.
std::int32_t Ask(desktop::HWND window, std::int64_t data, PlayerMessage id);
// A WM_USER setting, then the rest of the time slice given up.
void Tell(desktop::HWND window, std::int64_t data, PlayerMessage id);
// Sends a numbered command, unless it is NoCommand, then gives up the rest of the time slice.
void SendCommand(desktop::HWND window, CommandId command);
// Minimises the window, then hides it, the way the player itself would leave the screen.
void HideWindow(desktop::HWND window);

// The player's volume, 0 to 255, in whole percent as /VOLUME prints it, and back; halves round up.
int PercentFromVolume(int volume);
int VolumeFromPercent(int percent);

inline constexpr int TrackBase = 1;  // tracks are counted from 1 for the user, from 0 by the player
