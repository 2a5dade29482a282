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
    char* texts[MaxArguments];
    // The same arguments cut from the UTF-16 command line, so that a file's name arrives whole;
    // all null when that split differs.
    desktop::WCHAR* wide[MaxArguments];
};

// Cuts the command line in place into at most capacity arguments and returns their count.
// Blanks (space, tab) separate arguments; a double quote opens a quoted argument only at its
// start, and the argument runs to the next double quote. There is no escape character.
int SplitCommandLine(char* commandLine, char** arguments, int capacity);
int SplitCommandLine(desktop::WCHAR* commandLine, desktop::WCHAR** arguments, int capacity);

// Splits the command line and its UTF-16 form (null: none) into the list, whose first switch is
// then argument 1.
void ReadArguments(char* commandLine, desktop::WCHAR* wideCommandLine, ArgumentList& arguments);

// True when one of arguments 1 onwards equals wanted, without regard to case.
bool HasArgument(const ArgumentList& arguments, const char* wanted);
