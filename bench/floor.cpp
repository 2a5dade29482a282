// The floor for the speed benchmark: only the job's irreducible work. It finds the player's
// window, sends it one command and exits; built like tunedesk.exe, without a C runtime.
#include <windows.h>

extern "C" void WinMainCRTStartup() {
    SendMessageA(FindWindowA("Winamp v1.x", nullptr), WM_COMMAND, 40048, 0);
    ExitProcess(1);
}
