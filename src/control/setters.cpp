// Carrying out a setter: the value read, checked against the player's state, and told to it.
#include "control/setters.h"

#include "control/player.h"

using namespace desktop;

namespace {

constexpr int Decimal = 10;

// The percent /VOLUME=N asks for, from the current one when relative, within 0 to 100.
int TargetPercent(const Amount& amount, Player& player) {
    const std::int64_t percent =
        amount.relative ? PercentFromVolume(Ask(player, AskVolume, SetVolume)) + amount.value
                        : amount.value;
    return percent < 0 ? 0 : percent > MaxPercent ? MaxPercent : static_cast<int>(percent);
}

void Seek(const Amount& amount, Player& player) {
    const std::int32_t status = Ask(player, 0, IsPlaying);
    if (status != Playing && status != Paused) return;  // a stopped player can't seek
    std::int64_t target = amount.value * MillisecondsPerSecond;
    if (amount.relative) {
        const std::int32_t position = Ask(player, PositionMode, OutputTime);
        if (position < 0) return;
        target += position;
        if (target < 0) target = 0;  // before the start: the start
    }
    if (target > INT32_MAX) return;  // a 32-bit player would read a negative time
    Tell(player, target, JumpToTime);
}

void PlayTrack(const Amount& amount, Player& player) {
    if (amount.relative || amount.value < TrackBase || amount.value > Ask(player, 0, ListLength))
        return;
    Tell(player, amount.value - TrackBase, SetListPosition);
    SendCommand(player, PlayCommand);
}

void SetOnOff(const char* value, Player& player, PlayerMessage id) {
    if (lstrcmpiA(value, "ON") == 0) Tell(player, On, id);
    if (lstrcmpiA(value, "OFF") == 0) Tell(player, Off, id);
}

}  // namespace

bool ParseAmount(const char* text, Amount& amount) {
    const bool negative = *text == '-';
    amount.relative = negative || *text == '+';
    if (amount.relative) ++text;
    if (*text == '\0') return false;
    std::int64_t value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return false;
        value = value * Decimal + (*text - '0');
        if (value > MaxAmount) return false;
    }
    amount.value = negative ? -value : value;
    return true;
}

void ApplySetting(Setting setting, const char* value, Player& player) {
    if (player.window == nullptr) return;
    if (setting == Setting::Shuffle || setting == Setting::Repeat) {
        SetOnOff(value, player, setting == Setting::Shuffle ? SetShuffle : SetRepeat);
        return;
    }
    Amount amount;
    if (!ParseAmount(value, amount)) return;
    if (setting == Setting::Volume) {
        Tell(player, VolumeFromPercent(TargetPercent(amount, player)), SetVolume);
    } else if (setting == Setting::Seek) {
        Seek(amount, player);
    } else {
        PlayTrack(amount, player);
    }
}
