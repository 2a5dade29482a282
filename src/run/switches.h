// The switch table: every switch, one row each, with how it is matched, its help and its action.
// Adding a switch is a row and a function.
#pragma once

#include "arguments/arguments.h"
#include "control/actions.h"

// A row's text is its line of help: the switch, a tab and what it does. A switch is matched whole
// and without regard to case, but for a setter, which is matched by its name up to and with its
// "=" and is followed there by the form of its value: "/VOLUME=N\tset the volume...".
struct Switch {
    const char* text;
    Action act;
    Fields changes;  // what it can change at the player, which the follower reads again after it
};

// The row of a switch that acts in turn, or none; a setter's value is the text after its "=".
// Built-in switches are matched before the settings file's bindings.
const Switch* FindSwitch(const char* argument, const char*& value);

// The row that argument 1 names when it is the whole run, such as "/?", or none, and a setter's
// value.
const Switch* FindFirstSwitch(const ArgumentList& arguments, const char*& value);
