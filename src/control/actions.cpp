// The window actions and the queries that print more than one field.
#include "control/actions.h"

using namespace desktop;

namespace {

constexpr int Visible = 1;  // IsWindowVisible counts only when it says exactly 1

// The window of a player that does not answer would not move: nothing is done to it.
bool Moves(Pass& pass) { return Answers(pass.player); }

}  // namespace

void Hide(Pass& pass, const char*) {
    if (Moves(pass)) HideWindow(pass.player.window);
}

void Show(Pass& pass, const char*) {
    if (Moves(pass)) ShowWindow(pass.player.window, SW_SHOWNORMAL);
}

void FlipShow(Pass& pass, const char*) {
    if (!Moves(pass)) return;
    if (IsWindowVisible(pass.player.window) == Visible) {
        HideWindow(pass.player.window);
    } else {
        ShowWindow(pass.player.window, SW_SHOWNORMAL);
    }
}

void QueryFields(Pass& pass, Field first, Field last) {
    PlayerState state;
    Line line;
    line.length = 0;
    for (int at = static_cast<int>(first); at <= static_cast<int>(last); ++at) {
        const Field field = static_cast<Field>(at);
        ReadField(state, field, pass.player);
        if (field != first && state.running) Append(line, "/");
        AppendValue(line, field, state);
    }
    Text text;
    StartText(text, line);
    WriteText(pass.output, text);
}

void QueryAll(Pass& pass, const char*) {
    PlayerState state;
    ReadState(state, pass.player);
    Text text;
    text.length = 0;
    AppendQueryLines(text, state);
    WriteText(pass.output, text);
}
