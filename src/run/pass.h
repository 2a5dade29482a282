// The command pass: each argument, in order, as its switch's row says, else as its binding.
#pragma once

#include "arguments/arguments.h"
#include "control/actions.h"

// Applies the arguments from the list's first switch onwards to the player, whose window may be
// none: then nothing visible happens, yet every binding is still read. Queries write their lines
// to the output as they come.
void RunCommandPass(const ArgumentList& arguments, Pass& pass);
