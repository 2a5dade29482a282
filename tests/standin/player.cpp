// A stand-in for the media player in the acceptance tests. It opens a shown top-level window of
// the class named on its command line (default "Winamp v1.x") and appends to standin.log, beside
// its executable, one line per WM_COMMAND, per setting sent through WM_USER ("ipc ID VALUE") and
// per change of visibility, in the order received. When asked to close it logs its final state.
//
// It answers the player's WM_USER queries from a state that standin.ini beside it may set
// ([Player]: Status 0/1/3, Position and Length in ms, Volume 0..255, Shuffle, Repeat, Track from
// 0, Titles separated by "|", Numbers 0 to leave the playlist number out of the caption), keeps
// its caption in the player's format, and plays, pauses, stops and changes track on command.
// Its window is a Unicode one, as the player's is; standin.ini is saved as UTF-8 with a mark, so
// that titles in any language reach the caption whole. While playing, the position moves on with
// the clock where Clock=1 says so. When standin.ini changes it reads its state afresh, so that a
// scenario can change the player behind Tunedesk's back; Hang=1 there makes it stop answering
// altogether.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "player_model.h"

namespace {

constexpr int MaxTitles = 64;
constexpr UINT_PTR ReloadTimer = 1;
constexpr UINT ReloadPoll = 50;                          // ms
constexpr char StandInProperty[] = "Tunedesk stand-in";  // how the harness finds every stand-in

char logPath[32768];  // the tests put players in folders deeper than MAX_PATH
const char* lastState = "";
bool closed = false;

struct Player {
    PlayerModel model;
    DWORD movedAt;  // when the position last moved on
    bool clock;     // the position moves on while playing
    int numbers;
    wchar_t titleText[4096];
    const wchar_t* titles[MaxTitles];
} player;
wchar_t settings[32768];
FILETIME loadedAt;  // standin.ini's time when it was read

// While playing, the position is where the clock has taken it.
void MoveOn() {
    const DWORD now = GetTickCount();
    if (player.clock && player.model.status == Playing)
        player.model.position += now - player.movedAt;
    player.movedAt = now;
}

// Kept open, each line written through at once, so that a player that is killed has logged all
// it received and logging costs a follower's measurements little.
void Log(const char* line) {
    static FILE* log = std::fopen(logPath, "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", line);
    std::fflush(log);
}

FILETIME WrittenAt() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(settings, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void LoadState() {
    loadedAt = WrittenAt();
    player.movedAt = GetTickCount();
    const auto number = [&](const wchar_t* key, int fallback) {
        return static_cast<int>(GetPrivateProfileIntW(L"Player", key, fallback, settings));
    };
    PlayerModel& model = player.model;
    model = PlayerModel{};  // what the file leaves out takes its default, however often it is read
    model.status = number(L"Status", model.status);
    model.position = number(L"Position", model.position);
    model.length = number(L"Length", model.length);
    model.volume = number(L"Volume", model.volume);
    model.shuffle = number(L"Shuffle", model.shuffle);
    model.repeat = number(L"Repeat", model.repeat);
    model.track = number(L"Track", model.track);
    player.numbers = number(L"Numbers", 1);
    player.clock = number(L"Clock", 0) == 1;
    GetPrivateProfileStringW(L"Player", L"Titles", L"", player.titleText, 4096, settings);
    for (wchar_t* title = player.titleText; *title != L'\0' && model.tracks < MaxTitles;) {
        player.titles[model.tracks++] = title;
        wchar_t* bar = std::wcschr(title, L'|');
        if (bar == nullptr) break;
        *bar = L'\0';
        title = bar + 1;
    }
    if (model.track >= model.tracks) model.track = 0;
}

void ShowCaption(HWND window) {
    static wchar_t caption[8192];
    const PlayerModel& model = player.model;
    if (model.tracks == 0) {
        std::wcscpy(caption, L"Winamp 5.9.2 Build 10042");
    } else {
        caption[0] = L'\0';
        if (player.numbers)
            std::wcscat(caption, std::to_wstring(model.track + 1).append(L". ").c_str());
        std::wcscat(caption, player.titles[model.track]);
        std::wcscat(caption, L" - Winamp");
        std::wcscat(caption, model.status == Playing  ? L""
                             : model.status == Paused ? L" [Paused]"
                                                      : L" [Stopped]");
    }
    SetWindowTextW(window, caption);
}

void Command(HWND window, WPARAM command) {
    char line[64];
    std::snprintf(line, sizeof line, "command %llu", (unsigned long long)command);
    Log(line);
    MoveOn();
    CarryOutCommand(player.model, command);
    ShowCaption(window);
}

// Carries out one WM_USER call; settings are logged with their value as the player reads it.
LRESULT Ipc(HWND window, WPARAM wParam, LPARAM id) {
    const std::int32_t data = static_cast<std::int32_t>(wParam);  // the player is 32-bit
    if (IsSetting(id, data)) {
        char line[64];
        std::snprintf(line, sizeof line, "ipc %d %d", static_cast<int>(id), data);
        Log(line);
    }
    MoveOn();
    const std::int32_t answer = AnswerUserMessage(player.model, data, id);
    if (id == SetListPosition) ShowCaption(window);
    return answer;
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
        case WM_TIMER: {
            const FILETIME written = WrittenAt();
            if (CompareFileTime(&loadedAt, &written) == 0) return 0;
            LoadState();
            ShowCaption(window);
            if (GetPrivateProfileIntW(L"Player", L"Hang", 0, settings)) Sleep(INFINITE);
            return 0;
        }
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
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* className = __argc > 1 ? __argv[1] : "Winamp v1.x";
    GetModuleFileNameA(nullptr, logPath, sizeof logPath);
    char* name = std::strrchr(logPath, '\\');
    name = name != nullptr ? name + 1 : logPath;
    std::strcpy(name, "standin.log");
    GetModuleFileNameW(nullptr, settings, 32768);
    std::wcscpy(std::wcsrchr(settings, L'\\') + 1, L"standin.ini");
    LoadState();

    const std::wstring wideClass(className, className + std::strlen(className));
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = wideClass.c_str();
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(wideClass.c_str(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetPropA(window, StandInProperty, reinterpret_cast<HANDLE>(1));
    ShowCaption(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, ReloadTimer, ReloadPoll, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
