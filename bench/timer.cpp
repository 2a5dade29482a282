// Times tunedesk.exe against the floor program inside Wine. In its current directory it starts
// standin.exe, then runs "tunedesk.exe /NEXT" and "floor.exe /NEXT" the given number of times
// each, alternating which goes first, and prints one line per pair: the two wall times in
// microseconds, from CreateProcessA to the end of the process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Run(const char* program) {
    char commandLine[64];
    std::snprintf(commandLine, sizeof commandLine, "%s /NEXT", program);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", program);
        std::exit(1);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 20;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION player;
    char playerLine[] = "standin.exe";
    if (!CreateProcessA("standin.exe", playerLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &player))
        return 1;
    HWND window = nullptr;
    for (int wait = 0; wait < 1000 && window == nullptr; ++wait) {
        Sleep(10);
        window = FindWindowA("Winamp v1.x", nullptr);
    }
    if (window == nullptr) return 1;
    Run("tunedesk.exe");  // warm both up: the first start of each program loads its pages
    Run("floor.exe");
    for (int pair = 0; pair < pairs; ++pair) {
        double tunedesk, floor;
        if (pair % 2 == 0) {
            tunedesk = Run("tunedesk.exe");
            floor = Run("floor.exe");
        } else {
            floor = Run("floor.exe");
            tunedesk = Run("tunedesk.exe");
        }
        std::printf("%.0f %.0f\n", tunedesk, floor);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(player.hProcess, 10000);
    return 0;
}
