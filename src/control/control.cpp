// The command pass and its switch table. Built-in switches are matched first, in table order;
// any other argument is looked up in the settings file's bindings.
#include "control/control.h"

using namespace desktop;

bool PathFromCommandLine = false;

namespace {

enum class WindowAction { None, Hide, Show, FlipShow };

constexpr CommandId NoCommand = 0;

struct Switch {
    const char* text;  // matched whole, without regard to case
    WindowAction action;
    CommandId command;
};

constexpr Switch SwitchTable[] = {
    {HideSwitch, WindowAction::Hide, NoCommand},
    {"/SHOW", WindowAction::Show, NoCommand},
    {"/FLIPSHOW", WindowAction::FlipShow, NoCommand},
    {"/PLAY", WindowAction::None, 40045},
    {"/STOP", WindowAction::None, 40047},
    {"/NEXT", WindowAction::None, 40048},
    {"/PREV", WindowAction::None, 40044},
    {"/PAUSE", WindowAction::None, 40046},
};

constexpr int Visible = 1;  // IsWindowVisible counts only when it says exactly 1

const Switch* FindSwitch(const char* argument) {
    for (const Switch& candidate : SwitchTable) {
        if (lstrcmpiA(argument, candidate.text) == 0) return &candidate;
    }
    return nullptr;
}

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
        case WindowAction::None:
            break;
    }
}

}  // namespace

void HideWindow(HWND window) {
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

void RunCommandPass(int count, char* const* arguments, HWND window,
                    const SettingsPath& settingsPath) {
    const int first = PathFromCommandLine ? 2 : 1;  // argument 0 is the program itself
    for (int index = first; index < count; ++index) {
        const Switch* match = FindSwitch(arguments[index]);
        if (match != nullptr && match->action != WindowAction::None) {
            ApplyWindowAction(match->action, window);
            continue;
        }
        const CommandId command =
            match != nullptr ? match->command : ReadCommandBinding(settingsPath, arguments[index]);
        if (command != NoCommand) {
            SendMessageA(window, WM_COMMAND, command, 0);
            Sleep(0);  // give up the time slice before the next argument
        }
    }
}
