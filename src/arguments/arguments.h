// The run's arguments: cut in place from its copies of the command line, and which of them is the
// first switch.
#pragma once

#include "desktop/desktop.h"

inline constexpr int MaxArguments = 64;
inline constexpr int FirstSwitch = 1;           // argument 0 is the program's own path
inline constexpr int FirstSwitchAfterPath = 2;  // argument 1 held the player's path

struct ArgumentList {
    int count;
    int first;  // the first argument the command pass applies; the launch may move it on
    // Each argument in the ANSI code page, as switches, settings and the player's path take it,
    // and as cut from the UTF-16 command line, so that a file's name arrives whole.
    char* texts[MaxArguments];
    desktop::WCHAR* wide[MaxArguments];
};

// Cuts the command line in place into at most capacity arguments and returns their count.
// Blanks (space, tab) separate arguments; a double quote opens a quoted argument only at its
// start, and the argument runs to the next double quote. There is no escape character.
int SplitCommandLine(char* commandLine, char** arguments, int capacity);
int SplitCommandLine(desktop::WCHAR* commandLine, desktop::WCHAR** arguments, int capacity);

// Splits the UTF-16 command line into the list, whose first switch is then argument 1, and writes
// each argument's ANSI form into texts, as Windows would spell the whole line.
void ReadArguments(desktop::WCHAR* commandLine, char* texts, int capacity, ArgumentList& arguments);

// True when one of arguments 1 onwards equals wanted, without regard to case.
bool HasArgument(const ArgumentList& arguments, const char* wanted);
