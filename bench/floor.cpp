// The floor for the speed benchmark: only the job's irreducible work, built like tunedesk.exe,
// without a C runtime. It finds the player's window and sends it one command; built with
// FLOOR_STATUS it asks for the playing status instead and writes the answer's line; built with
// FLOOR_PLAYLIST it asks for the length of the playlist and then each entry's title, reading
// none of them.
#include <windows.h>

extern "C" __attribute__((used)) void WinMainCRTStartup() {
    HWND player = FindWindowA("Winamp v1.x", nullptr);
#if defined(FLOOR_PLAYLIST)
    const LRESULT entries = SendMessageA(player, WM_USER, 0, 124);
    for (LRESULT entry = 0; entry < entries; ++entry)
        SendMessageA(player, WM_USER, entry, 213);
#elif defined(FLOOR_STATUS)
    static const char* const lines[] = {"Stopped\r\n", "Playing\r\n", "Stopped\r\n", "Paused\r\n"};
    const char* line = lines[SendMessageA(player, WM_USER, 0, 104) & 3];
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, lstrlenA(line), &written, nullptr);
#else
    SendMessageA(player, WM_COMMAND, 40048, 0);
#endif
    ExitProcess(1);
}
