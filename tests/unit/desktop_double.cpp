// The recording desktop double. It keeps its log in a fixed buffer so that a run under test
// allocates nothing, and reads settings from an in-memory INI text much as Windows reads a file.
#include "unit/desktop_double.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace desktop;

FakeDesktop Desktop;
namespace {
char playerWindow;  // only its address matters
char callLog[1 << 20];
size_t callLogLength;
char commandLine[1 << 17];
}  // namespace
const HWND PlayerWindow = reinterpret_cast<HWND>(&playerWindow);

void ResetDesktop() {
    Desktop = FakeDesktop{};
    callLog[0] = '\0';
    callLogLength = 0;
}

const char* CallLog() { return callLog; }

namespace {

void Log(const char* format, ...) {
    va_list values;
    va_start(values, format);
    const size_t room = sizeof callLog - callLogLength;
    const int written = vsnprintf(callLog + callLogLength, room, format, values);
    va_end(values);
    if (written > 0) callLogLength += static_cast<size_t>(written) < room ? written : room - 1;
}

const char* Name(HWND window) {
    if (window == nullptr) return "none";
    return window == PlayerWindow ? "player" : "stranger";
}

const char* Text(const char* text) { return text == nullptr ? "null" : text; }

bool SameText(const char* first, size_t firstLength, const char* second) {
    if (std::strlen(second) != firstLength) return false;
    for (size_t at = 0; at < firstLength; ++at) {
        if (std::tolower(static_cast<unsigned char>(first[at])) !=
            std::tolower(static_cast<unsigned char>(second[at])))
            return false;
    }
    return true;
}

// Finds a key's value, trimmed, in the settings text; sections and keys ignore case.
bool FindValue(const char* section, const char* key, const char* fileName, const char** value,
               size_t* length) {
    if (Desktop.settingsFile != nullptr && std::strcmp(fileName, Desktop.settingsFile) != 0) {
        return false;
    }
    if (key[0] == '\0') return false;
    bool inSection = false;
    for (const char* line = Desktop.settingsText; *line != '\0';) {
        const char* end = std::strchr(line, '\n');
        if (end == nullptr) end = line + std::strlen(line);
        const char* close = static_cast<const char*>(std::memchr(line, ']', end - line));
        const char* equals = static_cast<const char*>(std::memchr(line, '=', end - line));
        if (line[0] == '[' && close != nullptr) {
            inSection = SameText(line + 1, close - line - 1, section);
        } else if (inSection && equals != nullptr) {
            const char* keyEnd = equals;
            while (keyEnd > line && keyEnd[-1] == ' ')
                --keyEnd;
            if (SameText(line, keyEnd - line, key)) {
                const char* start = equals + 1;
                while (start < end && *start == ' ')
                    ++start;
                const char* stop = end;
                while (stop > start && (stop[-1] == ' ' || stop[-1] == '\r'))
                    --stop;
                *value = start;
                *length = stop - start;
                return true;
            }
        }
        line = *end == '\0' ? end : end + 1;
    }
    return false;
}

}  // namespace

namespace desktop {

char* GetCommandLineA() {
    Log("GetCommandLineA()\n");
    std::snprintf(commandLine, sizeof commandLine, "%s", Desktop.commandLine);
    return commandLine;
}

unsigned GetModuleFileNameA(HINSTANCE, char* buffer, unsigned capacity) {
    Log("GetModuleFileNameA()\n");
    const size_t length = std::strlen(Desktop.modulePath);
    std::snprintf(buffer, capacity, "%s", Desktop.modulePath);
    return Desktop.modulePathCut || length >= capacity ? capacity : length;
}

unsigned GetShortPathNameA(const char* longPath, char* shortPath, unsigned capacity) {
    Log("GetShortPathNameA(\"%s\")\n", longPath);
    if (Desktop.shortPath == nullptr) return 0;
    std::snprintf(shortPath, capacity, "%s", Desktop.shortPath);
    return static_cast<unsigned>(std::strlen(Desktop.shortPath));
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, unsigned capacity, const char* fileName) {
    Log("GetPrivateProfileStringA(\"%s\", \"%s\", \"%s\", %u, \"%s\")\n", section, key, fallback,
        capacity, fileName);
    const char* value = fallback;
    size_t length = std::strlen(fallback);
    FindValue(section, key, fileName, &value, &length);
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(buffer, value, length);
    buffer[length] = '\0';
    return static_cast<unsigned>(length);
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int fallback,
                               const char* fileName) {
    Log("GetPrivateProfileIntA(\"%s\", \"%s\", %d, \"%s\")\n", section, key, fallback, fileName);
    const char* value;
    size_t length;
    if (!FindValue(section, key, fileName, &value, &length) || length == 0) return fallback;
    // Like Windows: a sign and leading digits count, anything else reads as 0.
    const bool negative = value[0] == '-';
    size_t at = value[0] == '-' || value[0] == '+' ? 1 : 0;
    unsigned number = 0;
    for (; at < length && std::isdigit(static_cast<unsigned char>(value[at])); ++at)
        number = number * 10 + (value[at] - '0');
    return negative ? 0u - number : number;
}

HWND FindWindowA(const char* className, const char* windowName) {
    Log("FindWindowA(\"%s\", %s)\n", className, Text(windowName));
    const char* running = Desktop.runningClass;
    return running != nullptr && SameText(className, std::strlen(className), running) ? PlayerWindow
                                                                                      : nullptr;
}

int ShowWindow(HWND window, int command) {
    Log("ShowWindow(%s, %d)\n", Name(window), command);
    if (window == PlayerWindow) Desktop.visible = command != SW_HIDE;
    return 0;
}

int IsWindowVisible(HWND window) {
    Log("IsWindowVisible(%s)\n", Name(window));
    return window == PlayerWindow && Desktop.visible ? 1 : 0;
}

std::intptr_t SendMessageA(HWND window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    Log("SendMessageA(%s, 0x%x, %llu, %lld)\n", Name(window), message,
        static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    return 0;
}

void Sleep(unsigned milliseconds) { Log("Sleep(%u)\n", milliseconds); }

unsigned WinExec(const char* commandLine, int show) {
    Log("WinExec(\"%s\", %d)\n", commandLine, show);
    if (Desktop.winExecResult >= WinExecFirstSuccess) Desktop.runningClass = Desktop.startedClass;
    return Desktop.winExecResult;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    Log("MessageBoxA(%s, \"%s\", \"%s\", 0x%x)\n", Name(owner), text, caption, type);
    return 1;
}

int lstrcmpiA(const char* first, const char* second) {
    for (;; ++first, ++second) {
        const int difference = std::tolower(static_cast<unsigned char>(*first)) -
                               std::tolower(static_cast<unsigned char>(*second));
        if (difference != 0 || *first == '\0') return difference;
    }
}

int lstrlenA(const char* text) { return static_cast<int>(std::strlen(text)); }

char* lstrcpynA(char* to, const char* from, int capacity) {
    if (capacity <= 0) return to;
    int at = 0;
    for (; at < capacity - 1 && from[at] != '\0'; ++at)
        to[at] = from[at];
    to[at] = '\0';
    return to;
}

}  // namespace desktop
