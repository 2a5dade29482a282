// The command pass: each argument, in order, changes the player window's visibility or sends
// the player a numbered command.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"
#include "settings/settings.h"

using CommandId = std::uint32_t;  // a player command number; 0 sends nothing

inline constexpr char HideSwitch[] = "/HIDE";
inline constexpr CommandId PlayCommand = 40045;

// Set by the player launch when argument 1 held the player's path, so the pass skips it.
extern bool PathFromCommandLine;

// Calls visit with each built-in switch and a few words on what it does, after a tab: the eight
// of the switch table, then the queries and setters.
void DescribeSwitches(void (*visit)(const char* text, const char* words, void* context),
                      void* context);

// True for an argument that a built-in switch takes, so that no binding of it is ever read.
bool IsBuiltInSwitch(const char* argument);

// Sends the player a numbered command, then yields the rest of the time slice.
void SendCommand(desktop::HWND window, CommandId command);

// Minimises the window, then hides it, the way the player itself would leave the screen.
void HideWindow(desktop::HWND window);

// Applies arguments 1 to count - 1 (2 onwards after a path from the command line) to the
// window, which may be none: then nothing visible happens, yet every binding is still read.
// Queries write their lines to standard output as they come.
void RunCommandPass(int count, char* const* arguments, desktop::HWND window,
                    const SettingsPath& settingsPath);
