// The lines that queries write: the player's state formatted as UTF-8 lines, then written to the
// caller's standard output, or to the parent's console when there is none.
#pragma once

#include "control/line.h"
#include "control/state.h"
#include "desktop/desktop.h"

// Where the lines go. Looked up when the first line is written, so a run with no query touches
// neither standard output nor the console; found with no handle, it takes nothing.
struct Output {
    desktop::HANDLE handle;
    bool found;
};

// The field's value as a query prints it. Without a player the status is "Not running" and every
// other value is empty, so that a script reading a line per query stays in step.
void AppendValue(Line& line, Field field, const PlayerState& state);

// The most that is written at once: a block of the /QUERY lines, "done N" and an empty line.
inline constexpr int BlockLines = FieldCount + 2;
inline constexpr int TextCapacity = BlockLines * LineCapacity;
struct Text {
    char text[TextCapacity];
    int length;
};

// Appends the line and its line end.
void AppendLine(Text& text, const Line& line);
// Appends the /QUERY lines, "key value" each: without a player only the status.
void AppendQueryLines(Text& text, const PlayerState& state);

// Writes whole lines of UTF-8 text, at most TextCapacity bytes: to a console as UTF-16, to a
// pipe or a file as UTF-8 without a byte-order mark. False when nothing could take them, as when
// the reader has gone away.
bool WriteText(Output& output, const Text& text);
// True when the run has an output of its own: a standard output, or the parent's console.
bool HasOutput(Output& output);
// Replaces a now-playing file's content with the line, in UTF-8 without a byte-order mark or a
// line end: written to a file beside it, then moved over it, so that a reader such as a
// streaming program never sees half of it. False when it could not be written or replaced.
bool WriteWholeFile(const desktop::WCHAR* path, const Line& line);
// Writes a line and its end to standard error, in UTF-8, where a run says what it could not do.
void WriteError(Line& line);
