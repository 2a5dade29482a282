// One run of Tunedesk: from the command line to the exit status, including the start of an
// absent player.
#pragma once

#include "desktop/desktop.h"
#include "settings/settings.h"

inline constexpr int MaxArguments = 64;
inline constexpr int RunResult = 1;         // every run but the one below
inline constexpr int NotRunningResult = 0;  // after "WinAmp is not running."
inline constexpr char MessageCaption[] = "Tunedesk";
inline constexpr char NotRunningMessage[] = "WinAmp is not running.";
inline constexpr char StartFailedMessage[] = "Unable to start Winamp.";
inline constexpr char HelpSwitch[] = "/?";
inline constexpr int HelpArgument = 1;  // "/?" asks for help only as the first argument

// The arguments, cut in place from the run's copy of the command line. Argument 0 is the
// program's own path and is never a switch.
struct ArgumentList {
    int count;
    char* texts[MaxArguments];
};

// Cuts the command line in place into at most capacity arguments and returns their count.
// Blanks (space, tab) separate arguments; a double quote opens a quoted argument only at its
// start, and the argument runs to the next double quote. There is no escape character.
int SplitCommandLine(char* commandLine, char** arguments, int capacity);

// True when one of arguments 1 to count - 1 equals wanted, without regard to case.
bool HasArgument(int count, char* const* arguments, const char* wanted);

// Runs when the player's window is absent. With Autoload on it starts the player from Path, or
// from argument 1 with PathOnCmdLine on, waits, replaces the window with the one found then and
// hides it on request; or it sets playerNotRunning when there is no path to start it from.
void LaunchPlayer(const ArgumentList& arguments, const char* className,
                  const SettingsPath& settingsPath, desktop::HWND& window, bool& playerNotRunning);

// Shows what the switches do, the words bound in the settings file, where that file is and
// whether it exists, and the version, in one message box.
void ShowHelp(const desktop::WCHAR* modulePath, unsigned modulePathLength,
              const SettingsPath& settingsPath);

// The whole run; returns the process exit status.
int RunSequence(desktop::HINSTANCE instance);
