// Times tunedesk.exe against the floor programs inside Wine. In its current directory it starts
// standin.exe, then runs "tunedesk.exe /NEXT" against "floor.exe /NEXT", "tunedesk.exe /STATUS"
// against "floor_status.exe /STATUS", "tunedesk.exe /PLAYLIST" against "floor_playlist.exe", and
// a five-variable template against "tunedesk.exe /QUERY", the last three with their output to a
// file, the given number of times each (the playlist's a
// quarter as often: its runs are long), alternating which goes first. It prints one line per
// pair: the kind and the two wall times in microseconds, from CreateProcessA to the process's end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Run(const char* program, const char* switches, HANDLE output) {
    char commandLine[256];
    std::snprintf(commandLine, sizeof commandLine, "%s %s", program, switches);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
    }
    PROCESS_INFORMATION process;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, output != nullptr, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s\n", program);
        std::exit(1);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart;
}

struct Kind {
    const char* name;
    const char* floor;
    const char* switches;
    bool output;
    int share;                   // runs this kind 1/share as often
    const char* floorSwitches;  // the floor's, where they differ
};

constexpr char Template[] =
    "\"/FORMAT={{artist}} - {{title}} ({{album}}) "
    "[{{duration(position)}}/{{duration(mpris:length)}}]\"";

constexpr Kind Kinds[] = {{"next", "floor.exe", "/NEXT", false, 1, nullptr},
                          {"status", "floor_status.exe", "/STATUS", true, 1, nullptr},
                          {"playlist", "floor_playlist.exe", "/PLAYLIST", true, 4, nullptr},
                          {"format", "tunedesk.exe", Template, true, 1, "/QUERY"}};

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
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA("output.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (const Kind& kind : Kinds) {
        HANDLE output = kind.output ? file : nullptr;
        const char* floorSwitches = kind.floorSwitches != nullptr ? kind.floorSwitches : kind.switches;
        // Warm both up: the first start of each program loads its pages.
        Run("tunedesk.exe", kind.switches, output);
        Run(kind.floor, floorSwitches, output);
        const int runs = pairs / kind.share > 0 ? pairs / kind.share : 1;
        for (int pair = 0; pair < runs; ++pair) {
            double tunedesk, floor;
            if (pair % 2 == 0) {
                tunedesk = Run("tunedesk.exe", kind.switches, output);
                floor = Run(kind.floor, floorSwitches, output);
            } else {
                floor = Run(kind.floor, floorSwitches, output);
                tunedesk = Run("tunedesk.exe", kind.switches, output);
            }
            std::printf("%s %.0f %.0f\n", kind.name, tunedesk, floor);
        }
    }
    CloseHandle(file);
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(player.hProcess, 10000);
    return 0;
}
