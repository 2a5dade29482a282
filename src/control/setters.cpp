// Carrying out a setter: the value read, checked against the player's state, and told to it.
#include "control/setters.h"

using namespace desktop;

namespace {

// The value as an amount, when there is a player to set it on.
bool ReadAmount(Pass& pass, const char* value, Amount& amount, std::int64_t scale = 1) {
    return pass.player.window != nullptr && ParseAmount(value, amount, scale);
}

// "ON" or "OFF", in any case; anything else sends nothing.
void SetOnOff(Pass& pass, const char* value, PlayerMessage id) {
    const bool on = lstrcmpiA(value, "ON") == 0;
    if (pass.player.window != nullptr && (on || lstrcmpiA(value, "OFF") == 0))
        Tell(pass.player, on ? On : Off, id);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ParseAmount(const char* text, Amount& amount, std::int64_t scale) {
    const bool negative = *text == '-';
    amount.relative = negative || *text == '+';
    if (amount.relative) ++text;
    if (!IsDigit(*text)) return false;
    std::int64_t value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * Decimal + (*text - '0');
        if (value > MaxAmount) return false;
    }
    value *= scale;
    if (*text == '.' && IsDigit(text[1])) {
        for (std::int64_t unit = scale / Decimal; IsDigit(*++text); unit /= Decimal) {
            if (unit == 0) return false;  // finer than the scale
            value += (*text - '0') * unit;
        }
    }
    if (*text != '\0') return false;
    amount.value = negative ? -value : value;
    return true;
}

// The percent asked for, from the current one when relative, within 0 to 100.
void SetVolumeTo(Pass& pass, const char* value) {
    Amount amount;
    if (!ReadAmount(pass, value, amount)) return;
    Player& player = pass.player;
    const std::int64_t percent =
        amount.relative ? PercentFromVolume(Ask(player, AskVolume, SetVolume)) + amount.value
                        : amount.value;
    const int target = percent < 0            ? 0
                       : percent > MaxPercent ? MaxPercent
                                              : static_cast<int>(percent);
    Tell(player, VolumeFromPercent(target), SetVolume);
}

void SeekTo(Pass& pass, const char* value) {
    Amount amount;
    if (!ReadAmount(pass, value, amount, MillisecondsPerSecond)) return;
    Player& player = pass.player;
    const std::int32_t status = Ask(player, 0, IsPlaying);
    if (status != Playing && status != Paused) return;  // a stopped player can't seek
    std::int64_t target = amount.value;
    if (amount.relative) {
        const std::int32_t position = Ask(player, PositionMode, OutputTime);
        if (position < 0) return;
        target += position;
        if (target < 0) target = 0;  // before the start: the start
    }
    if (target > INT32_MAX) return;  // a 32-bit player would read a negative time
    Tell(player, target, JumpToTime);
}

void PlayTrack(Pass& pass, const char* value) {
    Amount amount;
    if (!ReadAmount(pass, value, amount)) return;
    Player& player = pass.player;
    if (amount.relative || amount.value < TrackBase || amount.value > Ask(player, 0, ListLength))
        return;
    PlayEntry(player, static_cast<std::int32_t>(amount.value - TrackBase));
}

void SetShuffleTo(Pass& pass, const char* value) { SetOnOff(pass, value, SetShuffle); }

void SetRepeatTo(Pass& pass, const char* value) { SetOnOff(pass, value, SetRepeat); }
