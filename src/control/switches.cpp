// The switch table and its one lookup.
#include "control/switches.h"

#include "desktop/desktop.h"

using namespace desktop;

namespace {

constexpr int NameCapacity = 16;  // room for the longest setter's name, "/SHUFFLE="

constexpr Switch Row(const char* text, SwitchKind kind, std::uint32_t what, const char* help,
                     const char* form = "") {
    Switch row = {text, help, {}, kind, static_cast<std::uint16_t>(what)};
    for (int at = 0; form[at] != '\0'; ++at)
        row.form[at] = form[at];
    return row;
}

constexpr Switch Window(const char* text, WindowAction action, const char* help) {
    return Row(text, SwitchKind::Window, static_cast<std::uint32_t>(action), help);
}

constexpr Switch Command(const char* text, CommandId command, const char* help) {
    return Row(text, SwitchKind::Command, command, help);
}

constexpr Switch Query(const char* text, Question question, const char* help) {
    return Row(text, SwitchKind::Query, static_cast<std::uint32_t>(question), help);
}

constexpr Switch Setter(const char* name, Setting setting, const char* form, const char* help) {
    return Row(name, SwitchKind::Setter, static_cast<std::uint32_t>(setting), help, form);
}

// Matched in this order; the first match wins.
constexpr Switch SwitchTable[] = {
    Window(HideSwitch, WindowAction::Hide, "minimise and hide the player"),
    Window("/SHOW", WindowAction::Show, "show the player"),
    Window("/FLIPSHOW", WindowAction::FlipShow, "hide the player if shown, else show it"),
    Command("/PLAY", PlayCommand, "play"),
    Command("/STOP", StopCommand, "stop"),
    Command("/NEXT", NextCommand, "next track"),
    Command("/PREV", PreviousCommand, "previous track"),
    Command("/PAUSE", PauseCommand, "pause"),
    Query("/STATUS", Question::Status, "print Playing, Paused, Stopped or Not running"),
    Query("/TITLE", Question::Title, "print the title"),
    Query("/POSITION", Question::Position, "print the position in seconds"),
    Query("/LENGTH", Question::Length, "print the length in seconds"),
    Query("/VOLUME", Question::Volume, "print the volume in percent"),
    Query("/TRACK", Question::TrackOfTracks, "print track number/number of tracks"),
    Query("/QUERY", Question::All, "print all of these"),
    Setter("/VOLUME=", Setting::Volume, "N", "set the volume in percent, or +N, -N"),
    Setter("/SEEK=", Setting::Seek, "S", "go to second S, or +S, -S seconds"),
    Setter("/TRACK=", Setting::Track, "N", "play track N"),
    Setter("/SHUFFLE=", Setting::Shuffle, "ON", "or OFF"),
    Setter("/REPEAT=", Setting::Repeat, "ON", "or OFF"),
};

// Copies a setter's name, up to and with its "=", and returns where its value starts; an
// argument with no "=", or too long a name, gives an empty name that no setter matches.
const char* SplitSetter(const char* argument, char (&name)[NameCapacity]) {
    name[0] = '\0';
    int length = 0;
    while (argument[length] != '\0' && argument[length] != '=')
        if (++length >= NameCapacity - 1) return nullptr;
    if (argument[length] != '=') return nullptr;
    lstrcpynA(name, argument, length + 2);
    return argument + length + 1;
}

}  // namespace

const Switch* FindSwitch(const char* argument, const char*& value) {
    char name[NameCapacity];
    value = SplitSetter(argument, name);
    for (const Switch& row : SwitchTable) {
        const char* compared = row.kind == SwitchKind::Setter ? name : argument;
        if (lstrcmpiA(compared, row.text) == 0) return &row;
    }
    return nullptr;
}

bool IsBuiltInSwitch(const char* argument) {
    const char* value = nullptr;
    return FindSwitch(argument, value) != nullptr;
}

void DescribeSwitches(void (*visit)(const char* text, const char* form, const char* help,
                                    void* context),
                      void* context) {
    for (const Switch& row : SwitchTable)
        visit(row.text, row.form, row.help, context);
}
