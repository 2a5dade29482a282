// What one run holds for its length: its arguments, its own path, its settings file, the player's
// window class and the command pass, handed to the follower, which carries out each line of its
// input with it.
#pragma once

#include "arguments/arguments.h"
#include "control/actions.h"
#include "settings/settings.h"

struct Run {
    ArgumentList arguments;
    desktop::WCHAR modulePath[ModulePathCapacity];
    unsigned modulePathLength;
    SettingsPath settingsPath;
    char className[ClassCapacity];  // the player's window class
    // Handed down rather than called, since the pass's switch table holds the follower.
    void (*commandPass)(const ArgumentList& arguments, Pass& pass);
    desktop::HINSTANCE instance;  // the program's own module, whose windows the follower makes
};
