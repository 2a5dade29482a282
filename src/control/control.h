// The command pass: each argument, in order, changes the player window's visibility, sends the
// player a numbered command, asks for its state or sets it.
#pragma once

#include "control/output.h"
#include "control/player.h"
#include "run/arguments.h"
#include "settings/settings.h"

// The player's state as /QUERY reports it: each field after its key, a line each without the line
// end; without a player only "status Not running".
struct State {
    Line lines[FieldCount];
    int count;
};
void ReadState(State& state, Player& player);

// Applies the arguments from the list's first switch onwards to the player, whose window may be
// none: then nothing visible happens, yet every binding is still read. Queries write their lines
// to the output as they come.
void RunCommandPass(const ArgumentList& arguments, Player& player, const SettingsPath& settingsPath,
                    Output& output);
