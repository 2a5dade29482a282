// The run sequence: split the command line, find the settings and the player, start the player
// if need be, apply the arguments, and return the exit status.
#include "run/run.h"

#include "run/context.h"
#include "run/launch.h"
#include "run/pass.h"
#include "run/switches.h"

using namespace desktop;

namespace {

constexpr int CommandLineCapacity = LongestText + 1;
constexpr int WideCommandLineCapacity = LongestWideText + 1;
constexpr char NotRunningMessage[] = "WinAmp is not running.";

void CopyWide(WCHAR* to, const WCHAR* from, int capacity) {
    int at = 0;
    for (; at < capacity - 1 && from[at] != u'\0'; ++at)
        to[at] = from[at];
    to[at] = u'\0';
}

}  // namespace

int RunSequence(HINSTANCE instance) {
    // Windows' own command line must not be written to, so the run cuts copies of it.
    char commandLine[CommandLineCapacity];
    lstrcpynA(commandLine, GetCommandLineA(), CommandLineCapacity);
    WCHAR wideCommandLine[WideCommandLineCapacity];
    CopyWide(wideCommandLine, GetCommandLineW(), WideCommandLineCapacity);
    Run run;
    ReadArguments(commandLine, wideCommandLine, run.arguments);
    run.modulePathLength = GetModuleFileNameW(instance, run.modulePath, ModulePathCapacity);
    LocateSettingsFile(run.modulePath, run.modulePathLength, run.settingsPath);
    ReadPlayerClass(run.settingsPath, run.className);
    run.commandPass = RunCommandPass;

    Player player{nullptr, Patiently, false};
    Output output{};
    Pass pass{run, player, output};
    if (const Switch* whole = FindFirstSwitch(run.arguments)) {
        whole->act(pass, nullptr);
        return RunResult;
    }

    player.window = FindWindowA(run.className, nullptr);
    if (player.window == nullptr &&
        LaunchPlayer(run.arguments, run.className, run.settingsPath, player.window, Boxes::Shown) ==
            LaunchOutcome::NothingToStart) {
        MessageBoxA(nullptr, NotRunningMessage, MessageCaption, MB_ICONEXCLAMATION);
        return NotRunningResult;
    }
    RunCommandPass(run.arguments, pass);
    return RunResult;
}
