// The run sequence: split the command line, find the settings and the player, start the player
// if need be, apply the arguments, and return the exit status.
#include "run/run.h"

#include "control/control.h"

using namespace desktop;

namespace {

constexpr int CommandLineCapacity = LongestText + 1;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int SplitCommandLine(char* commandLine, char** arguments, int capacity) {
    int count = 0;
    char* at = commandLine;
    while (count < capacity) {
        while (IsBlank(*at))
            ++at;
        if (*at == '\0') break;
        if (*at == '"') {
            ++at;
            arguments[count++] = at;
            while (*at != '\0' && *at != '"')
                ++at;
        } else {
            arguments[count++] = at;
            while (*at != '\0' && !IsBlank(*at))
                ++at;
        }
        if (*at == '\0') break;
        *at++ = '\0';
    }
    return count;
}

void ReadArguments(char* commandLine, ArgumentList& arguments) {
    arguments.count = SplitCommandLine(commandLine, arguments.texts, MaxArguments);
    arguments.first = FirstSwitch;
}

bool HasArgument(const ArgumentList& arguments, const char* wanted) {
    for (int index = FirstSwitch; index < arguments.count; ++index) {
        if (lstrcmpiA(arguments.texts[index], wanted) == 0) return true;
    }
    return false;
}

int RunSequence(HINSTANCE instance) {
    // Windows' own command line must not be written to, so the run cuts a copy of it.
    char commandLine[CommandLineCapacity];
    lstrcpynA(commandLine, GetCommandLineA(), CommandLineCapacity);
    ArgumentList arguments;
    ReadArguments(commandLine, arguments);

    WCHAR modulePath[ModulePathCapacity];
    const unsigned modulePathLength = GetModuleFileNameW(instance, modulePath, ModulePathCapacity);
    SettingsPath settingsPath;
    LocateSettingsFile(modulePath, modulePathLength, settingsPath);

    if (arguments.count > HelpArgument &&
        lstrcmpiA(arguments.texts[HelpArgument], HelpSwitch) == 0) {
        ShowHelp(modulePath, modulePathLength, settingsPath);
        return RunResult;
    }

    char className[ClassCapacity];
    ReadPlayerClass(settingsPath, className);
    if (arguments.count > FollowArgument &&
        lstrcmpiA(arguments.texts[FollowArgument], FollowSwitch) == 0)
        return RunFollow(className, settingsPath);
    HWND window = FindWindowA(className, nullptr);

    if (window == nullptr && LaunchPlayer(arguments, className, settingsPath, window,
                                          Boxes::Shown) == LaunchOutcome::NothingToStart) {
        MessageBoxA(nullptr, NotRunningMessage, MessageCaption, MB_ICONEXCLAMATION);
        return NotRunningResult;
    }
    Player player{window, Patiently, false};
    Output output{};
    RunCommandPass(arguments, player, settingsPath, output);
    return RunResult;
}
