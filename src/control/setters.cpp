// Carrying out a setter: the value read, checked against the player's state, and told to it.
#include "control/setters.h"

#include "control/playlist.h"

using namespace desktop;

namespace {

constexpr std::int32_t NoAdvance = -1;

// The value as an amount, when there is a player to set it on.
bool ReadAmount(Pass& pass, const char* value, Amount& amount, std::int64_t scale = 1) {
    return pass.player.window != nullptr && ParseAmount(value, amount, scale);
}

// The values of "/SHUFFLE=" and "/REPEAT=", in any case: what each sets, and for repeat the manual
// advance of the playlist that goes with it. "TRACK" repeats the one track: repeat on, and the
// playlist advanced by hand only; "ON" advances it again; "OFF" leaves it be.
constexpr struct {
    const char* text;
    std::int32_t value, advance;
} OnOffValues[] = {{"ON", On, Off}, {"OFF", Off, NoAdvance}, {"TRACK", On, On}};

// Anything else, and "TRACK" for shuffle, sends nothing.
void SetOnOff(Pass& pass, const char* value, PlayerMessage id) {
    if (pass.player.window == nullptr) return;
    const bool repeat = id == SetRepeat;
    for (const auto& onOff : OnOffValues) {
        if (lstrcmpiA(value, onOff.text) != 0 || (onOff.advance == On && !repeat)) continue;
        Tell(pass.player, onOff.value, id);
        if (repeat && onOff.advance != NoAdvance)
            Tell(pass.player, onOff.advance, SetManualAdvance);
        return;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The entry a track number names, from 0; false for no such entry.
bool ReadTrack(Pass& pass, const char* value, std::int32_t& index) {
    Amount amount;
    if (!ReadAmount(pass, value, amount) || amount.relative || amount.value < TrackBase ||
        amount.value > Ask(pass.player, 0, ListLength))
        return false;
    index = static_cast<std::int32_t>(amount.value - TrackBase);
    return true;
}

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
    std::int32_t index;
    if (ReadTrack(pass, value, index)) PlayEntry(pass.player, index);
}

void RemoveTrack(Pass& pass, const char* value) {
    std::int32_t index;
    Player& player = pass.player;
    if (ReadTrack(pass, value, index))
        Send(player, FindPlaylist(player), WM_USER, RemoveEntry, index);
}

// The titles as /PLAYLIST reads them, compared in UTF-16 without regard to case, as the system
// compares them; the current entry's is the last one tried.
void JumpTo(Pass& pass, const char*) {
    Player& player = pass.player;
    const WCHAR* wanted = SetterValue(pass.wideArgument);
    if (*wanted == u'\0') return;
    const std::int32_t count = Ask(player, 0, ListLength);  // without a player, 0
    const std::int32_t current = Ask(player, 0, ListPosition);
    for (std::int32_t step = 1; step <= count; ++step) {
        const std::int32_t index = (current + step) % count;
        Line line;
        line.length = 0;
        AppendEntry(line, player, index, EntryText::Title);
        WCHAR title[LineCapacity];
        const int length =
            MultiByteToWideChar(CP_UTF8, 0, line.text, line.length, title, LineCapacity);
        if (length > 0 && FindStringOrdinal(FIND_FROMSTART, title, length, wanted, -1, true) >= 0)
            return PlayEntry(player, index);
    }
}

void SetShuffleTo(Pass& pass, const char* value) { SetOnOff(pass, value, SetShuffle); }

void SetRepeatTo(Pass& pass, const char* value) { SetOnOff(pass, value, SetRepeat); }

void SetRatingTo(Pass& pass, const char* value) {
    Amount amount;
    if (!ReadAmount(pass, value, amount) || amount.relative || amount.value > MaxRating) return;
    Tell(pass.player, amount.value, SetRating);
}
