// The switch table, its one lookup, and the help box that "/?" builds from its rows alone.
#include "run/switches.h"

#include "control/setters.h"
#include "run/context.h"
#include "run/follow.h"
#include "run/launch.h"

using namespace desktop;

namespace {

constexpr Fields Unchanged = 0;  // a query, a window action or a run of its own

void Help(Pass& pass, const char* value);

// Matched in this order; the first match wins. The help lists them in this order too. The last
// rows are runs of their own, matched only as the first argument. Each row says what its switch
// can change at the player: a follower reads those again after a line, and the rest at its polls.
constexpr Switch SwitchTable[] = {
    {"/HIDE\tminimise and hide the player", Hide, Unchanged},
    {"/SHOW\tshow the player", Show, Unchanged},
    {"/FLIPSHOW\thide the player, or show it", FlipShow, Unchanged},
    {"/PLAY\tplay", Command<PlayCommand>, AllFields},
    {"/STOP\tstop", Command<StopCommand>, AllFields},
    {"/NEXT\tnext track", Command<NextCommand>, AllFields},
    {"/PREV\tprevious track", Command<PreviousCommand>, AllFields},
    {"/PAUSE\tpause", Command<PauseCommand>, AllFields},
    {"/STATUS\tprint Playing, Paused, Stopped or Not running", Query<Field::Status>, Unchanged},
    {"/TITLE\tprint the title", Query<Field::Title>, Unchanged},
    {"/POSITION\tprint the position in seconds", Query<Field::Position>, Unchanged},
    {"/LENGTH\tprint the length in seconds", Query<Field::Length>, Unchanged},
    {"/VOLUME\tprint the volume in percent", Query<Field::Volume>, Unchanged},
    {"/TRACK\tprint track number/number of tracks", Query<Field::Track, Field::Tracks>, Unchanged},
    {"/FILE\tprint the file or URL playing", Query<Field::File>, Unchanged},
    {"/ARTIST\tprint the artist", Query<Field::Artist>, Unchanged},
    {"/ALBUM\tprint the album", Query<Field::Album>, Unchanged},
    {"/RATING\tprint the rating, 0 to 5", Query<Field::Rating>, Unchanged},
    {"/QUERY\tprint all of these", QueryAll, Unchanged},
    {"/FORMAT=T\tprint template T: {{artist}} - {{title}}", Format, Unchanged},
    {"/OUTPUT=FILE\tafter /FORMAT=: write its line to FILE", OutputTo, Unchanged},
    {"/MEDIACONTROLS\tafter /FOLLOW: on Windows' media controls", FollowerOption, Unchanged},
    {"/PLAYLIST\tprint each entry: N title", QueryPlaylist, Unchanged},
    {"/CLEAR\tempty the playlist", Clear, AllFields},
    {"/OPEN\tplay the files after it", Open, Unchanged},  // the files after it change it
    {"/INSERT\tplay the files after it next", Insert, Unchanged},
    {"/VOLUME=N\tset the volume in percent, or +N, -N", SetVolumeTo, FieldBit(Field::Volume)},
    {"/SEEK=S\tgo to second S, or +S, -S seconds", SeekTo, FieldBit(Field::Position)},
    {"/TRACK=N\tplay track N", PlayTrack, AllFields},
    {"/REMOVE=N\tremove track N", RemoveTrack, AllFields},
    {"/JUMP=TEXT\tplay the next title with TEXT", JumpTo, AllFields},
    {"/SHUFFLE=ON\tor OFF", SetShuffleTo, FieldBit(Field::Shuffle)},
    {"/REPEAT=ON\tor OFF, or TRACK: one track", SetRepeatTo, FieldBit(Field::Repeat)},
    {"/RATING=N\tset the rating, 0 to 5", SetRatingTo, FieldBit(Field::Rating)},
    {"/FOLLOW\tfirst: follow the player, run input lines", Follow, Unchanged},
    {"/FOLLOW=OFF\tfirst: end followers that have no input", StopFollowers, Unchanged},
    {"/?\tfirst: this help", Help, Unchanged},
};
constexpr int FirstArgumentRows = 3;
constexpr const Switch* FirstArgumentRow =
    SwitchTable + sizeof SwitchTable / sizeof *SwitchTable - FirstArgumentRows;

constexpr int NameCapacity = 16;  // room for the longest setter's name, "/SHUFFLE="

// Copies a setter's name, up to and with its "=", and returns where its value starts; an
// argument with no "=", or too long a name, gives an empty name that no setter matches.
const char* SplitSetter(const char* argument, char (&name)[NameCapacity]) {
    name[0] = '\0';
    int length = 0;
    while (argument[length] != '\0' && argument[length] != '=')
        if (++length >= NameCapacity - 1) return nullptr;
    if (argument[length] != '=') return nullptr;
    CopyText(name, argument, length + 2);
    return argument + length + 1;
}

// The switch a row names: its text up to the tab, or a setter's up to and with its "=". True for
// a setter.
bool RowName(const Switch& row, char (&name)[NameCapacity]) {
    int length = 0;
    while (row.text[length] != '\t' && row.text[length] != '=')
        ++length;
    const bool setter = row.text[length] == '=';
    CopyText(name, row.text, setter ? length + 2 : length + 1);
    return setter;
}

// A setter's argument is matched by its name, setterName; any other by its whole text.
bool Matches(const Switch& row, const char* argument, const char* setterName) {
    char name[NameCapacity];
    return lstrcmpiA(RowName(row, name) ? setterName : argument, name) == 0;
}

// The help, built as UTF-16, so that a folder whose name the ANSI code page can't spell is shown
// as the user knows it.
constexpr int HelpCapacity = 8192;
constexpr int KeysCapacity = 4096;
constexpr unsigned HelpStyle = MB_OK | MB_ICONINFORMATION;

template <int Length>
struct WideText {
    WCHAR text[Length];
};

// An ASCII text as UTF-16, made at compile time.
template <int Length>
constexpr WideText<Length> Widen(const char (&ascii)[Length]) {
    WideText<Length> wide{};
    for (int at = 0; at < Length; ++at)
        wide.text[at] = static_cast<WCHAR>(ascii[at]);
    return wide;
}

constexpr auto Caption = Widen(MessageCaption);

struct HelpText {
    WCHAR text[HelpCapacity];
    int length;
};

// Appends what fits; the help is cut rather than overrun.
void AppendWide(HelpText& help, const WCHAR* text, int length) {
    for (int at = 0; at < length && help.length < HelpCapacity - 1; ++at)
        help.text[help.length++] = text[at];
    help.text[help.length] = u'\0';
}

void Append(HelpText& help, const char* text) {
    WCHAR wide[KeysCapacity];
    AppendWide(help, wide,
               MultiByteToWideChar(CP_ACP, 0, text, TextLength(text), wide, KeysCapacity));
}

// The words that send something: keys with a number other than 0 that no switch shadows.
void AppendBoundWords(HelpText& help, const SettingsPath& settingsPath) {
    char keys[KeysCapacity];
    ReadCommandKeys(settingsPath, keys, KeysCapacity);
    const char* separator = "";
    for (const char* key = keys; *key != '\0'; key += TextLength(key) + 1) {
        const char* value = nullptr;
        if (FindSwitch(key, value) != nullptr || ReadCommandBinding(settingsPath, key) == 0)
            continue;
        Append(help, separator);
        Append(help, key);
        separator = ", ";
    }
    if (*separator == '\0') Append(help, "none");
}

void AppendSettingsFile(HelpText& help, const Run& run) {
    if (run.modulePathLength == 0 || run.modulePathLength >= ModulePathCapacity) {
        Append(help, "unknown: the program's path can't be read");
        return;
    }
    const WCHAR* path = help.text + help.length;  // the file's path, as the help spells it
    AppendWide(help, run.modulePath, SettingsDirectoryLength(run.modulePath, run.modulePathLength));
    Append(help, SettingsFileName);
    if (run.settingsPath.text[0] == '\0') {
        Append(help, "\n(not read: this system's code page can't spell its folder's name)");
    } else if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        Append(help, "\n(found)");
    } else {
        Append(help, "\n(not found: every setting takes its default)");
    }
}

// What the switches do, the words bound in the settings file, where that file is and whether it
// exists, and the version, in one message box.
void Help(Pass& pass, const char*) {
    HelpText help;
    help.length = 0;
    Append(help, "Tunedesk " TUNEDESK_VERSION
                 ", a command-line remote control for Winamp.\n"
                 "Switches act in turn: tunedesk /PLAY /HIDE\n\n");
    for (const Switch& row : SwitchTable) {
        Append(help, row.text);
        Append(help, "\n");
    }
    Append(help, "\nYour words in [Commands]: ");
    AppendBoundWords(help, pass.run.settingsPath);
    Append(help, "\n\nSettings file:\n");
    AppendSettingsFile(help, pass.run);
    MessageBoxW(nullptr, help.text, Caption.text, HelpStyle);
}

}  // namespace

const Switch* FindSwitch(const char* argument, const char*& value) {
    char name[NameCapacity];
    value = SplitSetter(argument, name);
    for (const Switch* row = SwitchTable; row < FirstArgumentRow; ++row)
        if (Matches(*row, argument, name)) return row;
    return nullptr;
}

const Switch* FindFirstSwitch(const ArgumentList& arguments, const char*& value) {
    if (arguments.count <= FirstSwitch) return nullptr;
    char name[NameCapacity];
    value = SplitSetter(arguments.texts[FirstSwitch], name);
    for (const Switch& row : SwitchTable)
        if (&row >= FirstArgumentRow && Matches(row, arguments.texts[FirstSwitch], name))
            return &row;
    return nullptr;
}
