// Process start-up without a C runtime: the program needs nothing from one, so the entry point
// calls WinMain directly and ends the process with its result.
#include <windows.h>

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandTail, int show);

extern "C" void WinMainCRTStartup() {
    // The command tail and show state go unused by WinMain, which reads the whole command line.
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT));
}
