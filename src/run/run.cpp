// The run sequence: split the command line, find the settings and the player, start the player
// if need be, apply the arguments, and return the exit status.
#include "run/run.h"

#include "run/context.h"
#include "run/launch.h"
#include "run/pass.h"
#include "run/switches.h"

using namespace desktop;

namespace {

constexpr int WideCommandLineCapacity = LongestWideText + 1;
constexpr int TextsCapacity = LongestText + MaxArguments;  // the arguments' ANSI forms
constexpr char NotRunningMessage[] = "WinAmp is not running.";

}  // namespace

int RunSequence(HINSTANCE instance) {
    // Windows' own command line must not be written to, so the run cuts a copy of it.
    WCHAR commandLine[WideCommandLineCapacity];
    CopyText(commandLine, GetCommandLineW(), WideCommandLineCapacity);
    char texts[TextsCapacity];
    Run run;
    ReadArguments(commandLine, texts, TextsCapacity, run.arguments);
    run.modulePathLength = GetModuleFileNameW(instance, run.modulePath, ModulePathCapacity);
    LocateSettingsFile(run.modulePath, run.modulePathLength, run.settingsPath);
    ReadPlayerClass(run.settingsPath, run.className);
    run.commandPass = RunCommandPass;
    run.instance = instance;

    Player player{nullptr, Patiently, false};
    Output output{};
    Pass pass{run, player, output};
    const char* value = nullptr;
    if (const Switch* whole = FindFirstSwitch(run.arguments, value)) {
        whole->act(pass, value);
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
