// Building a line of UTF-8 text: our own ASCII, the player's UTF-16 and numbers.
#include "control/line.h"

#include "control/protocol.h"

using namespace desktop;

namespace {

// What a line holds at most before its line end: 1020 bytes, where lines have always been cut.
constexpr int Room = LineCapacity - static_cast<int>(sizeof LineEnd) - 1;
constexpr int NumberCapacity = 16;  // "4294967295" and its terminator, with room to spare

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

}  // namespace

void Append(Line& line, const char* text) {
    while (*text != '\0' && line.length < Room)
        line.text[line.length++] = *text++;
}

void AppendUtf8(Line& line, const char* text, int length) {
    int fits = length < Room - line.length ? length : Room - line.length;
    if (fits < length) {
        while (fits > 0 &&
               (static_cast<unsigned char>(text[fits]) & ~ContinuationMask) == Continuation)
            --fits;  // the character that would not fit starts before here
    }
    for (int at = 0; at < fits; ++at)
        line.text[line.length++] = text[at];
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
    char digits[NumberCapacity];
    int at = NumberCapacity;
    digits[--at] = '\0';
    do {
        digits[--at] = static_cast<char>('0' + number % Decimal);
        number /= Decimal;
    } while (number != 0);
    Append(line, digits + at);
}

void AppendMilliseconds(Line& line, std::int32_t milliseconds) {
    if (milliseconds < 0) return;
    AppendNumber(line, milliseconds / MillisecondsPerSecond);
    int fraction = milliseconds % MillisecondsPerSecond;
    char decimals[] = {'.', '0', '0', '0', '\0'};  // as many as milliseconds have
    for (int at = sizeof decimals - 2; at > 0; --at, fraction /= Decimal)
        decimals[at] = static_cast<char>('0' + fraction % Decimal);
    Append(line, decimals);
}

bool StartsWithAnyCase(const WCHAR* text, const char* ascii) {
    constexpr WCHAR LowerCase = 0x20;
    const auto lower = [](WCHAR c) { return c >= u'A' && c <= u'Z' ? c | LowerCase : c; };
    for (int at = 0; ascii[at] != '\0'; ++at)
        if (lower(text[at]) != lower(static_cast<WCHAR>(ascii[at]))) return false;
    return true;
}

bool SameLine(const Line& first, const Line& second) {
    bool same = first.length == second.length;
    for (int at = 0; same && at < first.length; ++at)
        same = first.text[at] == second.text[at];
    return same;
}
