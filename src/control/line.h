// A line of UTF-8 text in a fixed buffer, as queries print it and the player's title is kept.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"

inline constexpr int Decimal = 10;  // numbers are written and read in base 10
inline constexpr char LineEnd[] = "\r\n";
inline constexpr int LineEndLength = sizeof LineEnd - 1;

// One line of output in UTF-8, cut before a character that would not fit with its line end.
inline constexpr int LineCapacity = 1024;
struct Line {
    char text[LineCapacity];
    int length;
};

// Appends a text of our own, which is ASCII.
void Append(Line& line, const char* text);
// Appends a UTF-8 text of whole characters, as many of them as the line has room for.
void AppendUtf8(Line& line, const char* text, int length);
// Appends from..end, a UTF-16 text, in UTF-8 and whole characters only, as far as the line has
// room; a lone surrogate becomes U+FFFD, so that every line is valid UTF-8.
void AppendWide(Line& line, const desktop::WCHAR* from, const desktop::WCHAR* end);
void AppendNumber(Line& line, std::uint32_t number);
// Seconds with three decimals, "83.250"; nothing for a negative time, which the player gives
// when it has none.
void AppendMilliseconds(Line& line, std::int32_t milliseconds);

bool SameLine(const Line& first, const Line& second);

// A URL, not a path: letters, then "://".
template <typename Char>
bool IsUrl(const Char* text, int length) {
    constexpr Char LowerCase = 0x20;  // the bit that makes an ASCII letter lower case
    int at = 0;
    while (at < length && (text[at] | LowerCase) >= 'a' && (text[at] | LowerCase) <= 'z')
        ++at;
    return at > 0 && at + 2 < length && text[at] == ':' && text[at + 1] == '/' &&
           text[at + 2] == '/';
}

// True when the text starts with the ASCII one, without regard to ASCII case.
bool StartsWithAnyCase(const desktop::WCHAR* text, const char* ascii);
