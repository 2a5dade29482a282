// The setters: "/VOLUME=N", "/SEEK=S", "/TRACK=N", "/SHUFFLE=ON", "/REPEAT=OFF", and the numbers
// they take.
#pragma once

#include <cstdint>

#include "control/player.h"

enum class Setting : std::uint8_t { Volume, Seek, Track, Shuffle, Repeat };

// "N", "+N" or "-N": a whole number, absolute or relative, of at most MaxAmount.
struct Amount {
    std::int64_t value;  // negative only when relative
    bool relative;
};
inline constexpr std::int64_t MillisecondsPerSecond = 1000;
// The most seconds whose milliseconds a 32-bit player can take.
inline constexpr std::int64_t MaxAmount = INT32_MAX / MillisecondsPerSecond;
// False for anything else: no digits, other characters, or a number too large.
bool ParseAmount(const char* text, Amount& amount);

// Sets the player's state from the setter's value; a malformed value, or no window, sends
// nothing.
void ApplySetting(Setting setting, const char* value, Player& player);
