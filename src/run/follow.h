// "/FOLLOW": following the player until standard input ends or the reader goes away.
#pragma once

#include "control/actions.h"

// Each line of standard input is carried out as a run with that command line would carry it out,
// and a block of the player's state is written at the start, after each line and whenever the
// state changes.
void Follow(Pass& pass, const char* value);
