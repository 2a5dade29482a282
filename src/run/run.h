// One run of Tunedesk: from the command line to the exit status, including the start of an
// absent player.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"
#include "run/arguments.h"
#include "settings/settings.h"

inline constexpr int RunResult = 1;         // every run but the one below
inline constexpr int NotRunningResult = 0;  // after "WinAmp is not running."
inline constexpr char MessageCaption[] = "Tunedesk";
inline constexpr char NotRunningMessage[] = "WinAmp is not running.";
inline constexpr char StartFailedMessage[] = "Unable to start Winamp.";
inline constexpr char HelpSwitch[] = "/?";
inline constexpr int HelpArgument = 1;  // "/?" asks for help only as the first argument
inline constexpr char FollowSwitch[] = "/FOLLOW";
inline constexpr int FollowArgument = 1;  // as is "/FOLLOW"

// What the launch of an absent player came to.
enum class LaunchOutcome : std::uint8_t {
    NotAsked,        // Autoload is off: the switches reach no window
    NothingToStart,  // no path to start the player from: "WinAmp is not running."
    StartFailed,     // "Unable to start Winamp." has been shown
    Started,         // started and waited for; the window is the one found then, if any
};

// Whether the launch may show its message boxes: a follower shows none.
enum class Boxes : std::uint8_t { Shown, Hidden };

// Runs when the player's window is absent. With Autoload on it starts the player from Path, or
// from argument 1 with PathOnCmdLine on (the pass then begins after it), waits, finds the window
// and hides it on request.
LaunchOutcome LaunchPlayer(ArgumentList& arguments, const char* className,
                           const SettingsPath& settingsPath, desktop::HWND& window, Boxes boxes);

// Follows the player until standard input ends or the reader goes away: each line of standard
// input is carried out as a run with that command line would carry it out, and a block of the
// player's state is written at the start, after each line and whenever the state changes.
int RunFollow(const char* className, const SettingsPath& settingsPath);

// Shows what the switches do, the words bound in the settings file, where that file is and
// whether it exists, and the version, in one message box.
void ShowHelp(const desktop::WCHAR* modulePath, unsigned modulePathLength,
              const SettingsPath& settingsPath);

// The whole run; returns the process exit status.
int RunSequence(desktop::HINSTANCE instance);
