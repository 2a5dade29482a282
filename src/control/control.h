// The command pass: each argument, in order, changes the player window's visibility, sends the
// player a numbered command, asks for its state or sets it.
#pragma once

#include "desktop/desktop.h"
#include "run/arguments.h"
#include "settings/settings.h"

// Applies the arguments from the list's first switch onwards to the window, which may be none:
// then nothing visible happens, yet every binding is still read. Queries write their lines to
// standard output as they come.
void RunCommandPass(const ArgumentList& arguments, desktop::HWND window,
                    const SettingsPath& settingsPath);
