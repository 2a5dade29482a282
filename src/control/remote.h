// The two-way switches: queries that ask the player for its state and write one line each to
// standard output, and setters for its volume, position, track, shuffle and repeat. Numbers go
// through the player's WM_USER messages, the title through WM_GETTEXT of its caption.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"

// Where the lines go: the standard output the caller gave, or the parent's console when there is
// none. Looked up when the first line is written, so a run with no query touches neither.
struct Output {
    desktop::HANDLE handle;
    bool found;
};

// One line of output, cut at a character boundary when it would not fit with its line end.
inline constexpr int LineCapacity = 1024;
struct Line {
    char text[LineCapacity];
    int length;
};

void Append(Line& line, const char* text);
void AppendNumber(Line& line, std::uint32_t number);
// Seconds with three decimals, "83.250"; nothing for a negative time, which the player gives
// when it has none.
void AppendMilliseconds(Line& line, std::int32_t milliseconds);
// The title within the player's caption, "3. Artist - Title - Winamp [Paused]": without a
// leading playlist number, and without the last " - Winamp" and what follows. Nothing when that
// ending is absent, as it is when nothing is loaded.
void AppendTitle(Line& line, const char* caption);

// "N", "+N" or "-N": a whole number, absolute or relative, of at most MaxAmount.
struct Amount {
    std::int64_t value;  // negative only when relative
    bool relative;
};
inline constexpr std::int64_t MillisecondsPerSecond = 1000;
// The most seconds whose milliseconds a 32-bit player can take.
inline constexpr std::int64_t MaxAmount = INT32_MAX / MillisecondsPerSecond;
// False for anything else: no digits, other characters, or a number too large.
bool ParseAmount(const char* text, Amount& amount);

// The player's volume, 0 to 255, in whole percent as /VOLUME prints it, and back; halves round up.
int PercentFromVolume(int volume);
int VolumeFromPercent(int percent);

// Carries out a query or a setter on the window, which may be none; false when the argument is
// neither, so that the caller looks it up in the bindings.
bool RunRemoteSwitch(const char* argument, desktop::HWND window, Output& output);

// True for an argument that is a query; setters hold "=", which no binding's key can.
bool IsQuery(const char* argument);

// Calls visit with each query and setter and a few words on what it does, after a tab.
void DescribeRemoteSwitches(void (*visit)(const char* text, const char* words, void* context),
                            void* context);
