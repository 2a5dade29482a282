// Building lines and writing them where the caller reads them.
#include "control/output.h"

using namespace desktop;

namespace {

constexpr char LineEnd[] = "\r\n";
// What a line holds at most before its line end: 1020 bytes, where lines have always been cut.
constexpr int Room = LineCapacity - static_cast<int>(sizeof LineEnd) - 1;
constexpr std::intptr_t InvalidHandle = -1;
constexpr int Decimal = 10;

// UTF-16 and UTF-8, as far as a line needs them.
constexpr char32_t HighSurrogate = 0xD800, LowSurrogate = 0xDC00, LastSurrogate = 0xDFFF;
constexpr char32_t SurrogateBits = 10, Supplementary = 0x10000, Replacement = 0xFFFD;
constexpr char32_t TwoBytes = 0x80, ThreeBytes = 0x800, FourBytes = Supplementary;
constexpr unsigned ContinuationBits = 6, ContinuationMask = 0x3F, Continuation = 0x80;
constexpr unsigned Lead[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};  // by the sequence's length
constexpr int LongestSequence = 4;

// The character at `at`, which moves past it.
char32_t NextCharacter(const WCHAR*& at, const WCHAR* end) {
    const char32_t unit = *at++;
    if (unit < HighSurrogate || unit > LastSurrogate) return unit;
    if (unit < LowSurrogate && at < end && *at >= LowSurrogate && *at <= LastSurrogate)
        return Supplementary + ((unit - HighSurrogate) << SurrogateBits) + (*at++ - LowSurrogate);
    return Replacement;
}

// Writes the character's UTF-8 sequence and returns its length.
int Encode(char32_t character, char (&sequence)[LongestSequence]) {
    const int length = character < TwoBytes     ? 1
                       : character < ThreeBytes ? 2
                       : character < FourBytes  ? 3
                                                : LongestSequence;
    for (int at = length - 1; at > 0; --at, character >>= ContinuationBits)
        sequence[at] = static_cast<char>(Continuation | (character & ContinuationMask));
    sequence[0] = static_cast<char>(Lead[length] | character);
    return length;
}

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

void Append(Line& line, const char* text) {
    while (*text != '\0' && line.length < Room)
        line.text[line.length++] = *text++;
}

void AppendWide(Line& line, const WCHAR* from, const WCHAR* end) {
    while (from < end) {
        char sequence[LongestSequence];
        const int length = Encode(NextCharacter(from, end), sequence);
        if (line.length + length > Room) break;
        for (int at = 0; at < length; ++at)
            line.text[line.length++] = sequence[at];
    }
}

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

bool WriteText(Output& output, const char* text, int length) {
    if (!output.found) FindOutput(output);
    if (!Usable(output.handle)) return false;
    // A console takes UTF-16 and shows it whatever its code page; WriteConsoleW fails on
    // anything else, a pipe or a file, which get the UTF-8 bytes.
    WCHAR wide[TextCapacity];
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, length, wide, TextCapacity);
    unsigned written = 0;
    if (WriteConsoleW(output.handle, wide, units, &written, nullptr)) return true;
    return WriteFile(output.handle, text, length, &written, nullptr) &&
           written == static_cast<unsigned>(length);
}

void WriteLine(Output& output, Line& line) {
    for (const char* end = LineEnd; *end != '\0'; ++end)
        line.text[line.length++] = *end;  // the appends keep room for it
    WriteText(output, line.text, line.length);
}
