// The command pass and its switch table. Built-in switches are matched first, in table order;
// any other argument is looked up in the settings file's bindings.
#include "control/control.h"

#include "control/remote.h"

using namespace desktop;

bool PathFromCommandLine = false;

namespace {

enum class WindowAction : std::uint8_t { None, Hide, Show, FlipShow };

constexpr CommandId NoCommand = 0;

struct Switch {
    const char* text;   // matched whole, without regard to case
    const char* words;  // a tab, and what the help says it does
    CommandId command;
    WindowAction action;
};

constexpr Switch SwitchTable[] = {
    {HideSwitch, "\tminimise and hide the player", NoCommand, WindowAction::Hide},
    {"/SHOW", "\tshow the player", NoCommand, WindowAction::Show},
    {"/FLIPSHOW", "\thide the player if shown, else show it", NoCommand, WindowAction::FlipShow},
    {"/PLAY", "\tplay", PlayCommand, WindowAction::None},
    {"/STOP", "\tstop", 40047, WindowAction::None},
    {"/NEXT", "\tnext track", 40048, WindowAction::None},
    {"/PREV", "\tprevious track", 40044, WindowAction::None},
    {"/PAUSE", "\tpause", 40046, WindowAction::None},
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
    DescribeRemoteSwitches(visit, context);
}

bool IsBuiltInSwitch(const char* argument) {
    return FindSwitch(argument) != nullptr || IsQuery(argument);
}

void SendCommand(HWND window, CommandId command) {
    SendMessageA(window, WM_COMMAND, command, 0);
    Sleep(0);  // give up the time slice before the next argument
}

void HideWindow(HWND window) {
    ShowWindow(window, SW_MINIMIZE);
    ShowWindow(window, SW_HIDE);
}

void RunCommandPass(int count, char* const* arguments, HWND window,
                    const SettingsPath& settingsPath) {
    const int first = PathFromCommandLine ? 2 : 1;  // argument 0 is the program itself
    Output output{};
    for (int index = first; index < count; ++index) {
        const Switch* match = FindSwitch(arguments[index]);
        if (match != nullptr && match->action != WindowAction::None) {
            ApplyWindowAction(match->action, window);
            continue;
        }
        if (match == nullptr && RunRemoteSwitch(arguments[index], window, output)) continue;
        const CommandId command =
            match != nullptr ? match->command : ReadCommandBinding(settingsPath, arguments[index]);
        if (command != NoCommand) SendCommand(window, command);
    }
}
