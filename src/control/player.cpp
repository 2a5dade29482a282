// The player's side of every switch: its commands, its WM_USER interface, and its state read
// field by field, each beside the key /QUERY prints it under.
#include "control/player.h"

using namespace desktop;

namespace {

constexpr int MaxPercent = 100;
constexpr int CaptionCapacity = 2 * LineCapacity;
constexpr char WinampEnding[] = " - Winamp";

void AppendStatus(Line& line, HWND window) {
    const std::int32_t status = Ask(window, 0, IsPlaying);
    Append(line, status == Playing ? "Playing" : status == Paused ? "Paused" : "Stopped");
}

void AppendCaptionTitle(Line& line, HWND window) {
    char caption[CaptionCapacity];
    const std::intptr_t length =
        SendMessageA(window, WM_GETTEXT, CaptionCapacity, reinterpret_cast<std::intptr_t>(caption));
    caption[length > 0 && length < CaptionCapacity ? length : 0] = '\0';
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

bool StartsWith(const char* text, const char* start) {
    while (*start != '\0' && *text == *start)
        ++text, ++start;
    return *start == '\0';
}

}  // namespace

const char* FieldKey(Field field) { return FieldTable[static_cast<int>(field)].key; }

void AppendField(Line& line, Field field, HWND window) {
    FieldTable[static_cast<int>(field)].append(line, window);
}

void AppendTitle(Line& line, const char* caption) {
    // A space can't be the second byte of a double-byte character, so a match is a real one.
    const char* end = nullptr;
    for (const char* at = caption; *at != '\0'; ++at)
        if (StartsWith(at, WinampEnding)) end = at;
    if (end == nullptr) return;
    const char* start = caption;
    while (*start >= '0' && *start <= '9')
        ++start;
    start = start > caption && StartsWith(start, ". ") ? start + 2 : caption;
    AppendCut(line, start, end > start ? end : start);
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
