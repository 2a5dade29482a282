// A stand-in for the media player in the acceptance tests. It opens a shown top-level window of
// the class named on its command line (default "Winamp v1.x") and appends to standin.log, beside
// its executable, one line per WM_COMMAND and per change of visibility, in the order received.
// When asked to close it logs its final state.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

char logPath[32768];  // the tests put players in folders deeper than MAX_PATH
const char* lastState = "";
bool closed = false;

void Log(const char* line) {
    FILE* log = std::fopen(logPath, "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", line);
    std::fclose(log);
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
            std::snprintf(line, sizeof line, "command %llu", (unsigned long long)wParam);
            Log(line);
            return 0;
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
    GetModuleFileNameA(nullptr, logPath, sizeof logPath);
    char* name = std::strrchr(logPath, '\\');
    std::strcpy(name != nullptr ? name + 1 : logPath, "standin.log");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(className, "Stand-in player", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
