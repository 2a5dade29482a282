// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings.
#include "control/control.h"

#include "control/player.h"
#include "control/switches.h"

using namespace desktop;

namespace {

constexpr int Visible = 1;  // IsWindowVisible counts only when it says exactly 1
constexpr char NotRunning[] = "Not running";

void ApplyWindowAction(WindowAction action, HWND window) {
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
void AppendAnswer(Line& line, Question question, HWND window) {
    if (window == nullptr) {
        if (question == Question::Status) Append(line, NotRunning);
    } else if (question == Question::TrackOfTracks) {
        AppendField(line, Field::Track, window);
        Append(line, "/");
        AppendField(line, Field::Tracks, window);
    } else {
        AppendField(line, static_cast<Field>(question), window);
    }
}

// Every field after its key; without a player the status alone.
void AnswerAll(HWND window, Output& output) {
    for (int at = 0; at < FieldCount; ++at) {
        const Field field = static_cast<Field>(at);
        Line line;
        line.length = 0;
        Append(line, FieldKey(field));
        Append(line, " ");
        if (window != nullptr) {
            AppendField(line, field, window);
        } else {
            Append(line, NotRunning);  // after the status, the first key
        }
        WriteLine(output, line);
        if (window == nullptr) return;
    }
}

void Answer(Question question, HWND window, Output& output) {
    if (question == Question::All) {
        AnswerAll(window, output);
        return;
    }
    Line line;
    line.length = 0;
    AppendAnswer(line, question, window);
    WriteLine(output, line);
}

void Apply(const Switch& row, const char* value, HWND window, Output& output) {
    switch (row.kind) {
        case SwitchKind::Window:
            ApplyWindowAction(static_cast<WindowAction>(row.what), window);
            break;
        case SwitchKind::Command:
            SendCommand(window, row.what);
            break;
        case SwitchKind::Query:
            Answer(static_cast<Question>(row.what), window, output);
            break;
        case SwitchKind::Setter:
            ApplySetting(static_cast<Setting>(row.what), value, window);
            break;
    }
}

}  // namespace

void RunCommandPass(const ArgumentList& arguments, HWND window, const SettingsPath& settingsPath) {
    Output output{};
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        if (const Switch* row = FindSwitch(argument, value)) {
            Apply(*row, value, window, output);
        } else {
            SendCommand(window, ReadCommandBinding(settingsPath, argument));
        }
    }
}
