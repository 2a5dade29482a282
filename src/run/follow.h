// "/FOLLOW": following the player until standard input ends, the reader goes away, or, for a
// follower without input of its own, until "/FOLLOW=OFF".
#pragma once

#include "control/actions.h"

// Each line of standard input is carried out as a run with that command line would carry it out,
// and a block of the player's state is written at the start, after each line and whenever the
// state changes.
void Follow(Pass& pass, const char* value);
// "/FOLLOW=OFF": ends every follower of the session that has no input of its own.
void StopFollowers(Pass& pass, const char* value);
