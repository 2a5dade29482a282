// The player's side of every switch: its commands, its WM_USER interface, and its state read
// field by field, each beside the key /QUERY prints it under.
#include "control/player.h"

using namespace desktop;

namespace {

constexpr int MaxPercent = 100;
constexpr int CaptionCapacity = 2 * LineCapacity;  // UTF-16 units: more than a line can take
constexpr WCHAR WinampEnding[] = u" - Winamp";
constexpr WCHAR NumberEnding[] = u". ";

void AppendStatus(Line& line, HWND window) {
    const std::int32_t status = Ask(window, 0, IsPlaying);
    Append(line, status == Playing ? "Playing" : status == Paused ? "Paused" : "Stopped");
}

// GetWindowTextW, not WM_GETTEXT: on another process's window it reads the caption the system
// keeps, in UTF-16 and whole, without sending the player a message, so a busy player can't stall
// it and no character is lost to the ANSI code page.
void AppendCaptionTitle(Line& line, HWND window) {
    WCHAR caption[CaptionCapacity];
    const int length = GetWindowTextW(window, caption, CaptionCapacity);
    caption[length > 0 && length < CaptionCapacity ? length : 0] = u'\0';
    AppendTitle(line, caption);
}

void AppendPosition(Line& line, HWND window) {
    AppendMilliseconds(line, Ask(window, PositionMode, OutputTime));
}

void AppendLength(Line& line, HWND window) {
    AppendMilliseconds(line, Ask(window, LengthMode, OutputTime));
}

void AppendVolume(Line& line, HWND window) {
    AppendNumber(line, PercentFromVolume(Ask(window, AskVolume, SetVolume)));
}

// An empty list has no current track: 0.
void AppendTrack(Line& line, HWND window) {
    const std::int32_t track =
        Ask(window, 0, ListLength) > 0 ? Ask(window, 0, ListPosition) + TrackBase : 0;
    AppendNumber(line, track > 0 ? track : 0);
}

void AppendTracks(Line& line, HWND window) {
    const std::int32_t tracks = Ask(window, 0, ListLength);
    AppendNumber(line, tracks > 0 ? tracks : 0);
}

void AppendOnOff(Line& line, HWND window, PlayerMessage id) {
    Append(line, Ask(window, 0, id) == On ? "on" : "off");
}

void AppendShuffle(Line& line, HWND window) { AppendOnOff(line, window, GetShuffle); }

void AppendRepeat(Line& line, HWND window) { AppendOnOff(line, window, GetRepeat); }

struct FieldReader {
    const char* key;
    void (*append)(Line& line, HWND window);
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

}  // namespace

const char* FieldKey(Field field) { return FieldTable[static_cast<int>(field)].key; }

void AppendField(Line& line, Field field, HWND window) {
    FieldTable[static_cast<int>(field)].append(line, window);
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

std::int32_t Ask(HWND window, std::int64_t data, PlayerMessage id) {
    return static_cast<std::int32_t>(
        SendMessageA(window, WM_USER, static_cast<std::uintptr_t>(data), id));
}

void Tell(HWND window, std::int64_t data, PlayerMessage id) {
    SendMessageA(window, WM_USER, static_cast<std::uintptr_t>(data), id);
    Sleep(0);
}

void SendCommand(HWND window, CommandId command) {
    if (command == NoCommand) return;
    SendMessageA(window, WM_COMMAND, command, 0);
    Sleep(0);  // give up the time slice before the next argument
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
