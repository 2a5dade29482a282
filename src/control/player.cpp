// The player's side of every switch: its commands, its WM_USER interface, and its state read
// field by field, each beside the key /QUERY prints it under.
#include "control/player.h"

using namespace desktop;

namespace {

constexpr int CaptionCapacity = 2 * LineCapacity;  // UTF-16 units: more than a line can take
constexpr WCHAR WinampEnding[] = u" - Winamp";
constexpr WCHAR NumberEnding[] = u". ";

void AppendStatus(Line& line, Player& player) {
    const std::int32_t status = Ask(player, 0, IsPlaying);
    Append(line, status == Playing ? "Playing" : status == Paused ? "Paused" : "Stopped");
}

// GetWindowTextW, not WM_GETTEXT: on another process's window it reads the caption the system
// keeps, in UTF-16 and whole, without sending the player a message, so a busy player can't stall
// it and no character is lost to the ANSI code page.
void AppendCaptionTitle(Line& line, Player& player) {
    WCHAR caption[CaptionCapacity];
    const int length = GetWindowTextW(player.window, caption, CaptionCapacity);
    caption[length > 0 && length < CaptionCapacity ? length : 0] = u'\0';
    AppendTitle(line, caption);
}

void AppendPosition(Line& line, Player& player) {
    AppendMilliseconds(line, Ask(player, PositionMode, OutputTime));
}

void AppendLength(Line& line, Player& player) {
    AppendMilliseconds(line, Ask(player, LengthMode, OutputTime));
}

void AppendVolume(Line& line, Player& player) {
    AppendNumber(line, PercentFromVolume(Ask(player, AskVolume, SetVolume)));
}

// An empty list has no current track: 0.
void AppendTrack(Line& line, Player& player) {
    const std::int32_t track =
        Ask(player, 0, ListLength) > 0 ? Ask(player, 0, ListPosition) + TrackBase : 0;
    AppendNumber(line, track > 0 ? track : 0);
}

void AppendTracks(Line& line, Player& player) {
    const std::int32_t tracks = Ask(player, 0, ListLength);
    AppendNumber(line, tracks > 0 ? tracks : 0);
}

void AppendOnOff(Line& line, Player& player, PlayerMessage id) {
    Append(line, Ask(player, 0, id) == On ? "on" : "off");
}

void AppendShuffle(Line& line, Player& player) { AppendOnOff(line, player, GetShuffle); }

void AppendRepeat(Line& line, Player& player) { AppendOnOff(line, player, GetRepeat); }

struct FieldReader {
    const char* key;
    void (*append)(Line& line, Player& player);
};

// In the order of Field.
constexpr FieldReader FieldTable[FieldCount] = {
    {"status", AppendStatus}, {"title", AppendCaptionTitle}, {"position", AppendPosition},
    {"length", AppendLength}, {"volume", AppendVolume},      {"track", AppendTrack},
    {"tracks", AppendTracks}, {"shuffle", AppendShuffle},    {"repeat", AppendRepeat},
};

bool StartsWith(const WCHAR* text, const WCHAR* start) {
    while (*start != '\0' && *text == *start)
        ++text, ++start;
    return *start == '\0';
}

// Sends one message, unless an earlier one went unanswered; nothing is sent to no window.
std::uintptr_t Send(Player& player, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::uintptr_t answer = 0;
    if (player.unanswered) return answer;
    // Waiting patiently, an ordinary run waits for a hung player too, as it always has.
    const unsigned flags = player.timeout == Patiently ? SMTO_NORMAL : SMTO_ABORTIFHUNG;
    if (!SendMessageTimeoutA(player.window, message, wParam, lParam, flags, player.timeout,
                             &answer) &&
        player.window != nullptr)
        player.unanswered = true;
    return answer;
}

}  // namespace

const char* FieldKey(Field field) { return FieldTable[static_cast<int>(field)].key; }

void AppendField(Line& line, Field field, Player& player) {
    FieldTable[static_cast<int>(field)].append(line, player);
}

void AppendTitle(Line& line, const WCHAR* caption) {
    const WCHAR* end = nullptr;
    for (const WCHAR* at = caption; *at != u'\0'; ++at)
        if (StartsWith(at, WinampEnding)) end = at;
    if (end == nullptr) return;
    const WCHAR* start = caption;
    while (*start >= u'0' && *start <= u'9')
        ++start;
    constexpr int NumberEndingLength = sizeof NumberEnding / sizeof *NumberEnding - 1;
    start =
        start > caption && StartsWith(start, NumberEnding) ? start + NumberEndingLength : caption;
    AppendWide(line, start, end > start ? end : start);
}

std::int32_t Ask(Player& player, std::int64_t data, PlayerMessage id) {
    return static_cast<std::int32_t>(Send(player, WM_USER, static_cast<std::uintptr_t>(data), id));
}

void Tell(Player& player, std::int64_t data, PlayerMessage id) {
    Send(player, WM_USER, static_cast<std::uintptr_t>(data), id);
    Sleep(0);
}

void SendCommand(Player& player, CommandId command) {
    if (command == NoCommand) return;
    Send(player, WM_COMMAND, command, 0);
    Sleep(0);  // give up the time slice before the next argument
}

bool Answers(Player& player) {
    if (player.timeout != Patiently) Send(player, WM_NULL, 0, 0);
    return !player.unanswered;
}

void HideWindow(HWND window) {
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

int PercentFromVolume(int volume) {
    const int clamped = volume < 0 ? 0 : volume > MaxVolume ? MaxVolume : volume;
    return (2 * MaxPercent * clamped + MaxVolume) / (2 * MaxVolume);
}

int VolumeFromPercent(int percent) {
    return (2 * MaxVolume * percent + MaxPercent) / (2 * MaxPercent);
}
