// The lines that queries write: built as UTF-8 in a fixed buffer, then written to the caller's
// standard output, or to the parent's console when there is none.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"

// Where the lines go. Looked up when the first line is written, so a run with no query touches
// neither standard output nor the console; found with no handle, it takes nothing.
struct Output {
    desktop::HANDLE handle;
    bool found;
};

// One line of output in UTF-8, cut before a character that would not fit with its line end.
inline constexpr int LineCapacity = 1024;
struct Line {
    char text[LineCapacity];
    int length;
};

// Appends a text of our own, which is ASCII.
void Append(Line& line, const char* text);
// Appends from..end, a UTF-16 text, in UTF-8 and whole characters only, as far as the line has
// room; a lone surrogate becomes U+FFFD, so that every line is valid UTF-8.
void AppendWide(Line& line, const desktop::WCHAR* from, const desktop::WCHAR* end);
void AppendNumber(Line& line, std::uint32_t number);
// Seconds with three decimals, "83.250"; nothing for a negative time, which the player gives
// when it has none.
void AppendMilliseconds(Line& line, std::int32_t milliseconds);

// The most that is written at once: a block of the nine /QUERY lines, "done N" and an empty line.
inline constexpr int BlockLines = 11;
inline constexpr int TextCapacity = BlockLines * LineCapacity;

// Writes whole lines of UTF-8 text, at most TextCapacity bytes: to a console as UTF-16, to a
// pipe or a file as UTF-8 without a byte-order mark. False when nothing could take them, as when
// the reader has gone away.
bool WriteText(Output& output, const char* text, int length);

// Ends the line and writes it.
void WriteLine(Output& output, Line& line);
