// Starting an absent player: from the configured path or from argument 1, then one wait, one
// more search for its window, and a hide when asked for.
#include "control/control.h"
#include "run/run.h"

using namespace desktop;

namespace {

constexpr int PathArgument = 1;

// Takes the player's path from argument 1. A missing argument leaves the path empty; one too
// long for the path is refused rather than cut, since a cut path would start some other program.
bool TakePathFromCommandLine(const ArgumentList& arguments,
                             char (&playerPath)[PlayerPathCapacity]) {
    playerPath[0] = '\0';
    if (arguments.count <= PathArgument) return true;
    const char* path = arguments.texts[PathArgument];
    if (lstrlenA(path) >= PlayerPathCapacity) return false;
    lstrcpynA(playerPath, path, PlayerPathCapacity);
    MessageBoxA(nullptr, playerPath, playerPath, MB_OK);
    return true;
}

void ReportStartFailed() {
    MessageBoxA(nullptr, StartFailedMessage, MessageCaption, MB_ICONEXCLAMATION);
}

}  // namespace

void LaunchPlayer(const ArgumentList& arguments, const char* className,
                  const SettingsPath& settingsPath, HWND& window, bool& playerNotRunning) {
    if (!ReadAutoload(settingsPath)) return;

    char playerPath[PlayerPathCapacity];
    PathFromCommandLine = ReadPathOnCmdLine(settingsPath);
    if (PathFromCommandLine) {
        if (!TakePathFromCommandLine(arguments, playerPath)) {
            ReportStartFailed();
            return;
        }
    } else {
        ReadPlayerPath(settingsPath, playerPath);
    }
    if (playerPath[0] == '\0') {
        playerNotRunning = true;
        return;
    }

    if (WinExec(playerPath, SW_SHOWNORMAL) < WinExecFirstSuccess) {
        ReportStartFailed();
        return;
    }
    Sleep(ReadWaitLength(settingsPath));
    window = FindWindowA(className, nullptr);

    // Both are always read, whichever holds.
    const bool hideAsked = HasArgument(arguments.count, arguments.texts, HideSwitch);
    const bool hideOnLoad = ReadHideOnLoad(settingsPath);
    if (hideAsked || hideOnLoad) HideWindow(window);
}
