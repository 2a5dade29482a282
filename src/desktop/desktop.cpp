// The desktop operations on Windows: each forwards to the system call of the same name.
// Our header comes first, since <windows.h> defines macros named like our constants.
#include "desktop/desktop.h"

namespace {
constexpr int ourHide = desktop::SW_HIDE;
constexpr int ourShowNormal = desktop::SW_SHOWNORMAL;
constexpr int ourMinimize = desktop::SW_MINIMIZE;
constexpr unsigned ourCommand = desktop::WM_COMMAND;
constexpr unsigned ourOk = desktop::MB_OK;
constexpr unsigned ourExclamation = desktop::MB_ICONEXCLAMATION;
constexpr int ourMaxPath = desktop::MAX_PATH;
}  // namespace

#include <windows.h>

static_assert(ourHide == SW_HIDE && ourShowNormal == SW_SHOWNORMAL && ourMinimize == SW_MINIMIZE);
static_assert(ourCommand == WM_COMMAND && ourOk == MB_OK && ourExclamation == MB_ICONEXCLAMATION);
static_assert(ourMaxPath == MAX_PATH);

namespace desktop {

namespace {
::HWND Real(HWND window) { return reinterpret_cast<::HWND>(window); }
}  // namespace

char* GetCommandLineA() { return ::GetCommandLineA(); }

unsigned GetModuleFileNameA(HINSTANCE module, char* buffer, unsigned capacity) {
    return ::GetModuleFileNameA(reinterpret_cast<::HMODULE>(module), buffer, capacity);
}

unsigned GetShortPathNameA(const char* longPath, char* shortPath, unsigned capacity) {
    return ::GetShortPathNameA(longPath, shortPath, capacity);
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, unsigned capacity, const char* fileName) {
    return ::GetPrivateProfileStringA(section, key, fallback, buffer, capacity, fileName);
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int fallback,
                               const char* fileName) {
    return ::GetPrivateProfileIntA(section, key, fallback, fileName);
}

HWND FindWindowA(const char* className, const char* windowName) {
    return reinterpret_cast<HWND>(::FindWindowA(className, windowName));
}

int ShowWindow(HWND window, int command) { return ::ShowWindow(Real(window), command); }

int IsWindowVisible(HWND window) { return ::IsWindowVisible(Real(window)); }

std::intptr_t SendMessageA(HWND window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    return ::SendMessageA(Real(window), message, wParam, lParam);
}

void Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

unsigned WinExec(const char* commandLine, int show) { return ::WinExec(commandLine, show); }

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    return ::MessageBoxA(Real(owner), text, caption, type);
}

int lstrcmpiA(const char* first, const char* second) { return ::lstrcmpiA(first, second); }

int lstrlenA(const char* text) { return ::lstrlenA(text); }

char* lstrcpynA(char* to, const char* from, int capacity) {
    return ::lstrcpynA(to, from, capacity);
}

}  // namespace desktop
