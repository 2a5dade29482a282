// Process start-up without a C runtime: the program needs nothing from one, so the entry point
// calls WinMain directly and ends the process with its result.
#include "desktop/desktop.h"

extern "C" int __stdcall WinMain(desktop::HINSTANCE instance, desktop::HINSTANCE previous,
                                 char* commandTail, int show);
extern "C" char __ImageBase;  // the linker's name for the start of the program's own module

// "used": under link-time optimisation only the linker knows that the program starts here.
extern "C" __attribute__((used)) void WinMainCRTStartup() {
    // The command tail and show state go unused by WinMain, which reads the whole command line.
    desktop::ExitProcess(WinMain(reinterpret_cast<desktop::HINSTANCE>(&__ImageBase), nullptr,
                                 nullptr, desktop::SW_SHOWDEFAULT));
}
