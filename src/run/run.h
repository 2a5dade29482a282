// One run of Tunedesk: from the command line to the exit status.
#pragma once

#include "desktop/desktop.h"

inline constexpr int RunResult = 1;         // every run but the one below
inline constexpr int NotRunningResult = 0;  // after "WinAmp is not running."

// The whole run; returns the process exit status.
int RunSequence(desktop::HINSTANCE instance);
