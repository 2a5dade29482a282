// The setters: "/VOLUME=N", "/SEEK=S", "/TRACK=N", "/SHUFFLE=ON", "/REPEAT=OFF", and the numbers
// they take. A malformed value, or no window, sends nothing.
#pragma once

#include <cstdint>

#include "control/actions.h"

// "N", "+N" or "-N": a whole number, absolute or relative, of at most MaxAmount.
struct Amount {
    std::int64_t value;  // negative only when relative
    bool relative;
};
// The most seconds whose milliseconds a 32-bit player can take.
inline constexpr std::int64_t MaxAmount = INT32_MAX / MillisecondsPerSecond;
// False for anything else: no digits, other characters, or a number too large.
bool ParseAmount(const char* text, Amount& amount);

void SetVolumeTo(Pass& pass, const char* value);
void SeekTo(Pass& pass, const char* value);
void PlayTrack(Pass& pass, const char* value);
void SetShuffleTo(Pass& pass, const char* value);
void SetRepeatTo(Pass& pass, const char* value);
