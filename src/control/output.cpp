// Building lines and writing them where the caller reads them.
#include "control/output.h"

using namespace desktop;

namespace {

constexpr char LineEnd[] = "\r\n";
constexpr std::intptr_t InvalidHandle = -1;
constexpr int Decimal = 10;

// GetStdHandle gives none or INVALID_HANDLE_VALUE where there is no standard output.
bool Usable(HANDLE handle) {
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(handle);
    return value != 0 && value != InvalidHandle;
}

void FindOutput(Output& output) {
    output.found = true;
    output.handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!Usable(output.handle)) {
        // Typed bare at a prompt, a GUI program has no standard output: use the console.
        output.handle =
            AttachConsole(ATTACH_PARENT_PROCESS) ? GetStdHandle(STD_OUTPUT_HANDLE) : nullptr;
    }
}

}  // namespace

void AppendCut(Line& line, const char* from, const char* end) {
    while (from < end) {
        const int size = IsDBCSLeadByte(*from) && from + 1 < end ? 2 : 1;
        if (line.length + size >= LineCapacity - static_cast<int>(sizeof LineEnd)) break;
        for (int at = 0; at < size; ++at)
            line.text[line.length++] = *from++;
    }
    line.text[line.length] = '\0';
}

void Append(Line& line, const char* text) { AppendCut(line, text, text + lstrlenA(text)); }

void AppendNumber(Line& line, std::uint32_t number) {
    char digits[16];
    int at = sizeof digits;
    digits[--at] = '\0';
    do {
        digits[--at] = static_cast<char>('0' + number % Decimal);
        number /= Decimal;
    } while (number != 0);
    Append(line, digits + at);
}

void AppendMilliseconds(Line& line, std::int32_t milliseconds) {
    constexpr int PerSecond = 1000;
    if (milliseconds < 0) return;
    AppendNumber(line, milliseconds / PerSecond);
    const int fraction = milliseconds % PerSecond;
    const char decimals[] = {'.', static_cast<char>('0' + fraction / 100),
                             static_cast<char>('0' + fraction / 10 % 10),
                             static_cast<char>('0' + fraction % 10), '\0'};
    Append(line, decimals);
}

void WriteLine(Output& output, Line& line) {
    if (!output.found) FindOutput(output);
    for (const char* end = LineEnd; *end != '\0'; ++end)
        line.text[line.length++] = *end;  // AppendCut keeps room for it
    if (Usable(output.handle)) {
        unsigned written = 0;
        WriteFile(output.handle, line.text, line.length, &written, nullptr);
    }
}
