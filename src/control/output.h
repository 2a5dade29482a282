// The lines that queries write: built in a fixed buffer, then written to the caller's standard
// output, or to the parent's console when there is none.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"

// Where the lines go. Looked up when the first line is written, so a run with no query touches
// neither standard output nor the console.
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
// Copies from..end, whole characters only, as far as the line has room before its line end.
void AppendCut(Line& line, const char* from, const char* end);
void AppendNumber(Line& line, std::uint32_t number);
// Seconds with three decimals, "83.250"; nothing for a negative time, which the player gives
// when it has none.
void AppendMilliseconds(Line& line, std::int32_t milliseconds);

// Ends the line and writes it.
void WriteLine(Output& output, Line& line);
