// The program's entry: Windows hands over the module instance, and the run's result becomes the
// process exit status. The command tail and show state are not used; the run reads the whole
// command line itself.
#include "run/run.h"

extern "C" int __stdcall WinMain(desktop::HINSTANCE instance, desktop::HINSTANCE, char*, int) {
    return RunSequence(instance);
}
