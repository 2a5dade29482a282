// The setters: "/VOLUME=N", "/SEEK=S", "/TRACK=N", "/SHUFFLE=ON", "/REPEAT=OFF", "/RATING=N", and
// the numbers they take. A malformed value, or no window, sends nothing.
#pragma once

#include <cstdint>

#include "control/actions.h"

// "N", "+N" or "-N": a number, absolute or relative, whose whole part is at most MaxAmount.
struct Amount {
    std::int64_t value;  // in units of 1/scale; negative only when relative
    bool relative;
};
// The most seconds whose milliseconds a 32-bit player can take.
inline constexpr std::int64_t MaxAmount = INT32_MAX / MillisecondsPerSecond;
// Reads the amount in units of 1/scale: with a scale of 1000, "30.6" is 30600 and three decimals
// are the most; with 1, only whole numbers. False for anything else: no digits, other characters,
// too many decimals, or a number too large.
bool ParseAmount(const char* text, Amount& amount, std::int64_t scale = 1);

void SetVolumeTo(Pass& pass, const char* value);
void SeekTo(Pass& pass, const char* value);
void PlayTrack(Pass& pass, const char* value);
void SetShuffleTo(Pass& pass, const char* value);
void SetRepeatTo(Pass& pass, const char* value);
void SetRatingTo(Pass& pass, const char* value);  // 0 to 5; 0 clears it
void RemoveTrack(Pass& pass, const char* value);  // the entry, counted from 1
// Plays the first entry after the current one, and around, whose title holds the value.
void JumpTo(Pass& pass, const char* value);
