// A stand-in for the media player in the acceptance tests. It opens a shown top-level window of
// the class named on its command line (default "Winamp v1.x") and appends to standin.log, beside
// its executable, one line per WM_COMMAND, per setting sent through WM_USER ("ipc ID VALUE") and
// per change of visibility, in the order received. When asked to close it logs its final state.
//
// It answers the player's WM_USER queries from a state that standin.ini beside it may set
// ([Player]: Status 0/1/3, Position and Length in ms, Volume 0..255, Shuffle, Repeat, Track from
// 0, Titles separated by "|", Numbers 0 to leave the playlist number out of the caption), keeps
// its caption in the player's format, and plays, pauses, stops and changes track on command.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int Stopped = 0, Playing = 1, Paused = 3;
constexpr int MaxTitles = 64;
constexpr char StandInProperty[] = "Tunedesk stand-in";  // how the harness finds every stand-in

char logPath[32768];  // the tests put players in folders deeper than MAX_PATH
const char* lastState = "";
bool closed = false;

struct Player {
    int status, position, length, volume, shuffle, repeat, track, count, numbers;
    char titleText[4096];
    const char* titles[MaxTitles];
} player;

void Log(const char* line) {
    FILE* log = std::fopen(logPath, "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", line);
    std::fclose(log);
}

void LoadState(const char* settings) {
    const auto number = [&](const char* key, int fallback) {
        return static_cast<int>(GetPrivateProfileIntA("Player", key, fallback, settings));
    };
    player.status = number("Status", Stopped);
    player.position = number("Position", 0);
    player.length = number("Length", -1);
    player.volume = number("Volume", 255);
    player.shuffle = number("Shuffle", 0);
    player.repeat = number("Repeat", 0);
    player.track = number("Track", 0);
    player.numbers = number("Numbers", 1);
    GetPrivateProfileStringA("Player", "Titles", "", player.titleText, sizeof player.titleText,
                             settings);
    for (char* title = player.titleText; *title != '\0' && player.count < MaxTitles;) {
        player.titles[player.count++] = title;
        char* bar = std::strchr(title, '|');
        if (bar == nullptr) break;
        *bar = '\0';
        title = bar + 1;
    }
}

void ShowCaption(HWND window) {
    static char caption[8192];
    if (player.count == 0) {
        std::strcpy(caption, "Winamp 5.9.2 Build 10042");
    } else {
        char number[16] = "";
        if (player.numbers) std::snprintf(number, sizeof number, "%d. ", player.track + 1);
        std::snprintf(caption, sizeof caption, "%s%s - Winamp%s", number,
                      player.titles[player.track],
                      player.status == Playing  ? ""
                      : player.status == Paused ? " [Paused]"
                                                : " [Stopped]");
    }
    SetWindowTextA(window, caption);
}

void Command(HWND window, WPARAM command) {
    char line[64];
    std::snprintf(line, sizeof line, "command %llu", (unsigned long long)command);
    Log(line);
    const int count = player.count > 0 ? player.count : 1;
    switch (command) {
        case 40045:
            if (player.status == Stopped) player.position = 0;
            player.status = Playing;
            break;
        case 40046:
            player.status = player.status == Playing ? Paused : Playing;
            break;
        case 40047:
            player.status = Stopped;
            break;
        case 40048:
            player.track = (player.track + 1) % count;
            break;
        case 40044:
            player.track = (player.track + count - 1) % count;
            break;
    }
    ShowCaption(window);
}

// Carries out one WM_USER call; settings are logged with their value as the player reads it.
LRESULT Ipc(HWND window, WPARAM wParam, LPARAM id) {
    const int value = static_cast<int>(wParam);  // the player is a 32-bit program
    char line[64];
    std::snprintf(line, sizeof line, "ipc %d %d", static_cast<int>(id), value);
    switch (id) {
        case 104:
            return player.status;
        case 105:
            if (value == 0) return player.status == Stopped ? -1 : player.position;
            if (player.length < 0) return -1;
            return value == 1 ? player.length / 1000 : player.length;
        case 106:
            Log(line);
            if (player.status == Stopped) return -1;
            player.position = value;
            return player.length >= 0 && value >= player.length ? 1 : 0;
        case 121:
            Log(line);
            if (value >= 0 && value < player.count) player.track = value;
            ShowCaption(window);
            return 0;
        case 122:
            if (value == -666) return player.volume;
            Log(line);
            player.volume = value & 0xFF;
            return 0;
        case 124:
            return player.count;
        case 125:
            return player.track;
        case 250:
            return player.shuffle;
        case 251:
            return player.repeat;
        case 252:
        case 253:
            Log(line);
            (id == 252 ? player.shuffle : player.repeat) = value;
            return 0;
    }
    return 1;  // an id the player does not know
}

const char* StateOf(HWND window) {
    if (!IsWindowVisible(window)) return "hidden";
    return IsIconic(window) ? "minimised" : "shown";
}

void LogStateChange(HWND window) {
    if (closed) return;  // being destroyed hides the window: not a change anyone asked for
    const char* state = StateOf(window);
    if (std::strcmp(state, lastState) == 0) return;
    lastState = state;
    Log(state);
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char line[64];
    switch (message) {
        case WM_COMMAND:
            Command(window, wParam);
            return 0;
        case WM_USER:
            return Ipc(window, wParam, lParam);
        case WM_WINDOWPOSCHANGED:
            LogStateChange(window);
            break;
        case WM_CLOSE:
            std::snprintf(line, sizeof line, "closed %s, %s",
                          IsWindowVisible(window) ? "visible" : "invisible",
                          IsIconic(window) ? "minimised" : "not minimised");
            Log(line);
            closed = true;
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* className = __argc > 1 ? __argv[1] : "Winamp v1.x";
    char settings[32768];
    GetModuleFileNameA(nullptr, logPath, sizeof logPath);
    char* name = std::strrchr(logPath, '\\');
    name = name != nullptr ? name + 1 : logPath;
    std::strcpy(name, "standin.ini");
    std::strcpy(settings, logPath);
    std::strcpy(name, "standin.log");
    LoadState(settings);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(className, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                300, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetPropA(window, StandInProperty, reinterpret_cast<HANDLE>(1));
    ShowCaption(window);
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
