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
    const char* words;  // what the help says it does
};

constexpr Switch SwitchTable[] = {
    {HideSwitch, WindowAction::Hide, NoCommand, "minimise and hide the player"},
    {"/SHOW", WindowAction::Show, NoCommand, "show the player"},
    {"/FLIPSHOW", WindowAction::FlipShow, NoCommand, "hide the player if shown, else show it"},
    {"/PLAY", WindowAction::None, 40045, "play"},
    {"/STOP", WindowAction::None, 40047, "stop"},
    {"/NEXT", WindowAction::None, 40048, "next track"},
    {"/PREV", WindowAction::None, 40044, "previous track"},
    {"/PAUSE", WindowAction::None, 40046, "pause"},
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

void DescribeSwitches(void (*visit)(const char* text, const char* words, void* context),
                      void* context) {
    for (const Switch& entry : SwitchTable)
        visit(entry.text, entry.words, context);
}

bool IsBuiltInSwitch(const char* argument) { return FindSwitch(argument) != nullptr; }

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
