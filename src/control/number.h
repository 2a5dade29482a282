// Numbers as status bars' templates print them: whole numbers plainly, and real numbers as GLib
// prints a double, C's "%.17g" with ".0" added where that leaves no point, so that a template
// prints what playerctl prints for the same value.
#pragma once

#include <cstdint>

// The longest text either gives: a sign, 17 digits, a point, "e-308" and ".0", with room to spare.
inline constexpr int NumberTextCapacity = 32;
struct NumberText {
    char text[NumberTextCapacity];
    int length;
};

void FormatInteger(std::int64_t number, NumberText& text);
// Exact: the 17 significant digits are those of the double's own value, correctly rounded.
void FormatReal(double number, NumberText& text);
// Digits with at most one point, as a template writes a number ("12", "0.5", ".5", "5."); false
// for anything else. Exact for up to 15 significant digits; longer ones are close.
bool ParseReal(const char16_t* text, int length, double& number);
