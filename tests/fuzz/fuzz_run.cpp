// Fuzzes whole runs on the recording desktop: any command line, any settings text, any module
// path, and a player window present or absent. Input layout: a byte of flags, a byte for the
// WinExec result, then the command line, the settings text and the module path, split by zeros.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "run/run.h"
#include "unit/desktop_double.h"

namespace {

enum Flag : std::uint8_t {
    Running = 1,
    Visible = 2,
    StartsPlayer = 4,
    ModulePathCut = 8,
    HasShortPath = 16,
    WidePath = 32,
};

char input[1 << 16];
char16_t modulePath[1 << 16];

// The next zero-ended field of the input, or the fallback when the input is used up.
const char* NextField(char*& at, const char* end, const char* fallback) {
    if (at >= end) return fallback;
    const char* field = at;
    at += std::strlen(at) + 1;
    return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size >= sizeof input) return 0;
    std::memcpy(input, data + 2, size - 2);
    input[size - 2] = '\0';
    char* at = input;
    const char* end = input + size - 2;

    ResetDesktop();
    const std::uint8_t flags = data[0];
    Desktop.runningClass = flags & Running ? "Winamp v1.x" : nullptr;
    Desktop.visible = flags & Visible;
    Desktop.startedClass = flags & StartsPlayer ? "Winamp v1.x" : nullptr;
    Desktop.modulePathCut = flags & ModulePathCut;
    Desktop.shortPath = flags & HasShortPath ? u"C:\\SHORT~1" : nullptr;
    Desktop.winExecResult = data[1];
    Desktop.settingsFile = nullptr;  // whatever path the run builds, it reads the text below
    Desktop.input = "";              // so that a follower ends
    Desktop.commandLine = NextField(at, end, "tunedesk.exe");
    Desktop.settingsText = NextField(at, end, "");
    // The module path's bytes widen to units, so a byte over 0x7F is a letter the code page may
    // lack; two bytes make one unit past Latin-1 when the flags say so.
    const char* path = NextField(at, end, "C:\\T\\tunedesk.exe");
    std::size_t units = 0;
    for (; *path != '\0'; ++path) {
        const unsigned char byte = static_cast<unsigned char>(*path);
        modulePath[units++] =
            flags & WidePath && byte > 0x7F && path[1] != '\0'
                ? static_cast<char16_t>(byte << 8 | static_cast<unsigned char>(*++path))
                : byte;
    }
    modulePath[units] = u'\0';
    Desktop.modulePath = modulePath;

    const int result = RunSequence(nullptr);
    if (result != RunResult && result != NotRunningResult) std::abort();
    return 0;
}
