// Starting an absent player. Not built yet: the run goes on with no window.
#include "run/run.h"

void LaunchPlayer(const ArgumentList&, const char*, const SettingsPath&, desktop::HWND&, bool&) {}
