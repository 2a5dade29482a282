// Starting an absent player, and the message boxes a run may show.
#pragma once

#include <cstdint>

#include "arguments/arguments.h"
#include "desktop/desktop.h"
#include "settings/settings.h"

inline constexpr char MessageCaption[] = "Tunedesk";

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
