// The two-way switches and the player's WM_USER interface. Every answer is read as the 32-bit
// signed number the player returns: a 64-bit Tunedesk talking to the 32-bit player gets it
// sign-extended, and -1 must stay -1.
#include "control/remote.h"

#include "control/control.h"

using namespace desktop;

namespace {

// The player's WM_USER message ids, passed as lParam; the data goes in wParam.
enum PlayerMessage : std::intptr_t {
    IsPlaying = 104,
    OutputTime = 105,
    JumpToTime = 106,
    SetListPosition = 121,
    SetVolume = 122,
    ListLength = 124,
    ListPosition = 125,
    GetShuffle = 250,
    GetRepeat = 251,
    SetShuffle = 252,
    SetRepeat = 253,
};
constexpr std::int64_t AskVolume = -666;  // SetVolume with this returns the volume instead
constexpr std::int64_t PositionMode = 0;  // OutputTime: the position in milliseconds
constexpr std::int64_t LengthMode = 2;    // OutputTime: the track's length in milliseconds
constexpr std::int32_t Playing = 1;
constexpr std::int32_t Paused = 3;
constexpr std::int32_t On = 1;
constexpr std::int32_t Off = 0;
constexpr int MaxVolume = 255;
constexpr int MaxPercent = 100;
constexpr int NameCapacity = 16;  // room for the longest setter's name, "/SHUFFLE="
constexpr int CaptionCapacity = 2 * LineCapacity;
constexpr int TrackBase = 1;  // tracks are counted from 1 for the user, from 0 by the player
constexpr char LineEnd[] = "\r\n";
constexpr char NotRunning[] = "Not running";
constexpr char WinampEnding[] = " - Winamp";
constexpr std::intptr_t InvalidHandle = -1;

// What a query prints. /QUERY prints the fields from Status to Repeat in this order, each after
// its key in QueryKeys. The status comes first: it is all there is without a player.
enum class Field : std::uint8_t {
    Status,
    Title,
    Position,
    Length,
    Volume,
    Track,
    Tracks,
    Shuffle,
    Repeat,
    TrackOfTracks,
    All
};
constexpr char QueryKeys[] =
    "status\0title\0position\0length\0volume\0track\0tracks\0shuffle\0repeat";

struct Query {
    const char* text;   // matched whole, without regard to case
    const char* words;  // a tab, and what it does
    Field field;
};

constexpr Query QueryTable[] = {
    {"/STATUS", "\tprint Playing, Paused, Stopped or Not running", Field::Status},
    {"/TITLE", "\tprint the title", Field::Title},
    {"/POSITION", "\tprint the position in seconds", Field::Position},
    {"/LENGTH", "\tprint the length in seconds", Field::Length},
    {"/VOLUME", "\tprint the volume in percent", Field::Volume},
    {"/TRACK", "\tprint track number/number of tracks", Field::TrackOfTracks},
    {"/QUERY", "\tprint all of these", Field::All},
};

enum class Setting : std::uint8_t { Volume, Seek, Track, Shuffle, Repeat };

struct Setter {
    const char* name;   // matched without regard to case; the value follows
    const char* words;  // the value's form, a tab, and what it does
    Setting setting;
};

constexpr Setter SetterTable[] = {
    {"/VOLUME=", "N\tset the volume in percent, or +N, -N", Setting::Volume},
    {"/SEEK=", "S\tgo to second S, or +S, -S seconds", Setting::Seek},
    {"/TRACK=", "N\tplay track N", Setting::Track},
    {"/SHUFFLE=", "ON\tor OFF", Setting::Shuffle},
    {"/REPEAT=", "ON\tor OFF", Setting::Repeat},
};

// The player's answer as the 32-bit signed number it is.
std::int32_t Ask(HWND window, std::int64_t data, PlayerMessage id) {
    return static_cast<std::int32_t>(
        SendMessageA(window, WM_USER, static_cast<std::uintptr_t>(data), id));
}

void Tell(HWND window, std::int64_t data, PlayerMessage id) {
    SendMessageA(window, WM_USER, static_cast<std::uintptr_t>(data), id);
    Sleep(0);
}

// Copies from..end, whole characters only, as far as the line has room before its line end.
void AppendCut(Line& line, const char* from, const char* end) {
    while (from < end) {
        const int size = IsDBCSLeadByte(*from) && from + 1 < end ? 2 : 1;
        if (line.length + size >= LineCapacity - static_cast<int>(sizeof LineEnd)) break;
        for (int at = 0; at < size; ++at)
            line.text[line.length++] = *from++;
    }
    line.text[line.length] = '\0';
}

bool StartsWith(const char* text, const char* start) {
    while (*start != '\0' && *text == *start)
        ++text, ++start;
    return *start == '\0';
}

void AppendField(Line& line, Field field, HWND window) {
    switch (field) {
        case Field::Status: {
            const std::int32_t status = Ask(window, 0, IsPlaying);
            Append(line, status == Playing ? "Playing" : status == Paused ? "Paused" : "Stopped");
            break;
        }
        case Field::Title: {
            char caption[CaptionCapacity];
            const std::intptr_t length = SendMessageA(window, WM_GETTEXT, CaptionCapacity,
                                                      reinterpret_cast<std::intptr_t>(caption));
            caption[length > 0 && length < CaptionCapacity ? length : 0] = '\0';
            AppendTitle(line, caption);
            break;
        }
        case Field::Position:
            AppendMilliseconds(line, Ask(window, PositionMode, OutputTime));
            break;
        case Field::Length:
            AppendMilliseconds(line, Ask(window, LengthMode, OutputTime));
            break;
        case Field::Volume:
            AppendNumber(line, PercentFromVolume(Ask(window, AskVolume, SetVolume)));
            break;
        case Field::TrackOfTracks:
            AppendField(line, Field::Track, window);
            Append(line, "/");
            AppendField(line, Field::Tracks, window);
            break;
        case Field::Track: {
            // An empty list has no current track: 0.
            const std::int32_t track =
                Ask(window, 0, ListLength) > 0 ? Ask(window, 0, ListPosition) + TrackBase : 0;
            AppendNumber(line, track > 0 ? track : 0);
            break;
        }
        case Field::Tracks: {
            const std::int32_t tracks = Ask(window, 0, ListLength);
            AppendNumber(line, tracks > 0 ? tracks : 0);
            break;
        }
        case Field::Shuffle:
        case Field::Repeat:
            Append(line, Ask(window, 0, field == Field::Shuffle ? GetShuffle : GetRepeat) == On
                             ? "on"
                             : "off");
            break;
        case Field::All:
            break;
    }
}

// GetStdHandle gives none or INVALID_HANDLE_VALUE where there is no standard output.
bool Usable(HANDLE handle) {
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(handle);
    return value != 0 && value != InvalidHandle;
}

void WriteLine(Output& output, Line& line) {
    if (!output.found) {
        output.found = true;
        output.handle = GetStdHandle(STD_OUTPUT_HANDLE);
        if (!Usable(output.handle)) {
            // Typed bare at a prompt, a GUI program has no standard output: use the console.
            output.handle =
                AttachConsole(ATTACH_PARENT_PROCESS) ? GetStdHandle(STD_OUTPUT_HANDLE) : nullptr;
        }
    }
    for (const char* end = LineEnd; *end != '\0'; ++end)
        line.text[line.length++] = *end;  // AppendCut keeps room for it
    if (Usable(output.handle)) {
        unsigned written = 0;
        WriteFile(output.handle, line.text, line.length, &written, nullptr);
    }
}

// One answer, after its key when it has one. Without a player the status says so and every other
// answer is empty, so that a script reading a line per query stays in step.
void WriteAnswer(Output& output, const char* key, Field field, HWND window) {
    Line line;
    line.length = 0;
    if (key != nullptr) {
        Append(line, key);
        Append(line, " ");
    }
    if (window != nullptr) {
        AppendField(line, field, window);
    } else if (field == Field::Status) {
        Append(line, NotRunning);
    }
    WriteLine(output, line);
}

void Answer(Field field, HWND window, Output& output) {
    if (field != Field::All) {
        WriteAnswer(output, nullptr, field, window);
        return;
    }
    const char* key = QueryKeys;
    for (int field = 0; field <= static_cast<int>(Field::Repeat); ++field) {
        WriteAnswer(output, key, static_cast<Field>(field), window);
        if (window == nullptr) return;  // the status alone
        key += lstrlenA(key) + 1;
    }
}

// The percent /VOLUME=N asks for, from the current one when relative, within 0 to 100.
int TargetPercent(const Amount& amount, HWND window) {
    const std::int64_t percent =
        amount.relative ? PercentFromVolume(Ask(window, AskVolume, SetVolume)) + amount.value
                        : amount.value;
    return percent < 0 ? 0 : percent > MaxPercent ? MaxPercent : static_cast<int>(percent);
}

void Seek(const Amount& amount, HWND window) {
    const std::int32_t status = Ask(window, 0, IsPlaying);
    if (status != Playing && status != Paused) return;  // a stopped player can't seek
    std::int64_t target = amount.value * MillisecondsPerSecond;
    if (amount.relative) {
        const std::int32_t position = Ask(window, PositionMode, OutputTime);
        if (position < 0) return;
        target += position;
        if (target < 0) target = 0;  // before the start: the start
    }
    if (target > INT32_MAX) return;
    Tell(window, target, JumpToTime);
}

void PlayTrack(const Amount& amount, HWND window) {
    if (amount.relative || amount.value < TrackBase || amount.value > Ask(window, 0, ListLength))
        return;
    Tell(window, amount.value - TrackBase, SetListPosition);
    SendCommand(window, PlayCommand);
}

void Apply(Setting setting, const char* value, HWND window) {
    if (window == nullptr) return;
    if (setting == Setting::Shuffle || setting == Setting::Repeat) {
        const PlayerMessage id = setting == Setting::Shuffle ? SetShuffle : SetRepeat;
        if (lstrcmpiA(value, "ON") == 0) Tell(window, On, id);
        if (lstrcmpiA(value, "OFF") == 0) Tell(window, Off, id);
        return;
    }
    Amount amount;
    if (!ParseAmount(value, amount)) return;
    if (setting == Setting::Volume) {
        Tell(window, VolumeFromPercent(TargetPercent(amount, window)), SetVolume);
    } else if (setting == Setting::Seek) {
        Seek(amount, window);
    } else {
        PlayTrack(amount, window);
    }
}

const Query* FindQuery(const char* argument) {
    for (const Query& query : QueryTable) {
        if (lstrcmpiA(argument, query.text) == 0) return &query;
    }
    return nullptr;
}

// The setter an argument names, with value pointing after its "=".
const Setter* FindSetter(const char* argument, const char*& value) {
    char name[NameCapacity];
    int length = 0;
    while (argument[length] != '\0' && argument[length] != '=')
        if (++length >= NameCapacity - 1) return nullptr;
    if (argument[length] != '=') return nullptr;
    lstrcpynA(name, argument, length + 2);  // the name with its "="
    value = argument + length + 1;
    for (const Setter& setter : SetterTable) {
        if (lstrcmpiA(name, setter.name) == 0) return &setter;
    }
    return nullptr;
}

}  // namespace

void Append(Line& line, const char* text) { AppendCut(line, text, text + lstrlenA(text)); }

void AppendNumber(Line& line, std::uint32_t number) {
    char digits[16];
    int at = sizeof digits;
    digits[--at] = '\0';
    do {
        digits[--at] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    Append(line, digits + at);
}

void AppendMilliseconds(Line& line, std::int32_t milliseconds) {
    if (milliseconds < 0) return;
    AppendNumber(line, milliseconds / MillisecondsPerSecond);
    const int fraction = milliseconds % MillisecondsPerSecond;
    const char decimals[] = {'.', static_cast<char>('0' + fraction / 100),
                             static_cast<char>('0' + fraction / 10 % 10),
                             static_cast<char>('0' + fraction % 10), '\0'};
    Append(line, decimals);
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

bool ParseAmount(const char* text, Amount& amount) {
    const bool negative = *text == '-';
    amount.relative = negative || *text == '+';
    if (amount.relative) ++text;
    if (*text == '\0') return false;
    std::int64_t value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return false;
        value = value * 10 + (*text - '0');
        if (value > MaxAmount) return false;
    }
    amount.value = negative ? -value : value;
    return true;
}

int PercentFromVolume(int volume) {
    const int clamped = volume < 0 ? 0 : volume > MaxVolume ? MaxVolume : volume;
    return (2 * MaxPercent * clamped + MaxVolume) / (2 * MaxVolume);
}

int VolumeFromPercent(int percent) {
    return (2 * MaxVolume * percent + MaxPercent) / (2 * MaxPercent);
}

bool RunRemoteSwitch(const char* argument, HWND window, Output& output) {
    if (const Query* query = FindQuery(argument)) {
        Answer(query->field, window, output);
        return true;
    }
    const char* value = nullptr;
    if (const Setter* setter = FindSetter(argument, value)) {
        Apply(setter->setting, value, window);
        return true;
    }
    return false;
}

bool IsQuery(const char* argument) { return FindQuery(argument) != nullptr; }

void DescribeRemoteSwitches(void (*visit)(const char* text, const char* words, void* context),
                            void* context) {
    for (const Query& query : QueryTable)
        visit(query.text, query.words, context);
    for (const Setter& setter : SetterTable)
        visit(setter.name, setter.words, context);
}
