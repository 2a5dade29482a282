// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings.
#include "control/control.h"

#include "control/player.h"
#include "control/switches.h"

using namespace desktop;

namespace {

constexpr int Visible = 1;  // IsWindowVisible counts only when it says exactly 1
constexpr char NotRunning[] = "Not running";

void ApplyWindowAction(WindowAction action, Player& player) {
    if (!Answers(player)) return;  // the window of a player that does not answer would not move
    const HWND window = player.window;
    switch (action) {
        case WindowAction::Hide:
            HideWindow(window);
            break;
        case WindowAction::Show:
            ShowWindow(window, SW_SHOWNORMAL);
            break;
        case WindowAction::FlipShow:
            if (IsWindowVisible(window) == Visible) {
                HideWindow(window);
            } else {
                ShowWindow(window, SW_SHOWNORMAL);
            }
            break;
    }
}

// The questions that print one field share its number.
static_assert(static_cast<int>(Question::Volume) == static_cast<int>(Field::Volume));

// Without a player only the status has an answer, and every other line is empty, so that a
// script reading a line per query stays in step.
void AppendAnswer(Line& line, Question question, Player& player) {
    if (player.window == nullptr) {
        if (question == Question::Status) Append(line, NotRunning);
    } else if (question == Question::TrackOfTracks) {
        AppendField(line, Field::Track, player);
        Append(line, "/");
        AppendField(line, Field::Tracks, player);
    } else {
        AppendField(line, static_cast<Field>(question), player);
    }
}

void AnswerAll(Player& player, Output& output) {
    State state;
    ReadState(state, player);
    for (int at = 0; at < state.count; ++at)
        WriteLine(output, state.lines[at]);
}

void Answer(Question question, Player& player, Output& output) {
    if (question == Question::All) {
        AnswerAll(player, output);
        return;
    }
    Line line;
    line.length = 0;
    AppendAnswer(line, question, player);
    WriteLine(output, line);
}

void Apply(const Switch& row, const char* value, Player& player, Output& output) {
    switch (row.kind) {
        case SwitchKind::Window:
            ApplyWindowAction(static_cast<WindowAction>(row.what), player);
            break;
        case SwitchKind::Command:
            SendCommand(player, row.what);
            break;
        case SwitchKind::Query:
            Answer(static_cast<Question>(row.what), player, output);
            break;
        case SwitchKind::Setter:
            ApplySetting(static_cast<Setting>(row.what), value, player);
            break;
    }
}

}  // namespace

void ReadState(State& state, Player& player) {
    state.count = player.window != nullptr ? FieldCount : 1;  // without a player, the status
    for (int at = 0; at < state.count; ++at) {
        const Field field = static_cast<Field>(at);
        Line& line = state.lines[at];
        line.length = 0;
        Append(line, FieldKey(field));
        Append(line, " ");
        if (player.window != nullptr) {
            AppendField(line, field, player);
        } else {
            Append(line, NotRunning);
        }
    }
}

void RunCommandPass(const ArgumentList& arguments, Player& player, const SettingsPath& settingsPath,
                    Output& output) {
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        if (const Switch* row = FindSwitch(argument, value)) {
            Apply(*row, value, player, output);
        } else {
            SendCommand(player, ReadCommandBinding(settingsPath, argument));
        }
    }
}
