// Starting an absent player: from the configured path or from argument 1, then one wait, one
// more search for its window, and a hide when asked for.
#include "run/launch.h"

#include "control/actions.h"

using namespace desktop;

namespace {

constexpr char StartFailedMessage[] = "Unable to start Winamp.";
constexpr int PathArgument = 1;  // with PathOnCmdLine on

// Takes the player's path from argument 1. A missing argument leaves the path empty; one too
// long for the path is refused rather than cut, since a cut path would start some other program.
bool TakePathFromCommandLine(const ArgumentList& arguments, char (&playerPath)[PlayerPathCapacity],
                             Boxes boxes) {
    playerPath[0] = '\0';
    if (arguments.count <= PathArgument) return true;
    const char* path = arguments.texts[PathArgument];
    if (TextLength(path) >= PlayerPathCapacity) return false;
    CopyText(playerPath, path, PlayerPathCapacity);
    if (boxes == Boxes::Shown) MessageBoxA(nullptr, playerPath, playerPath, MB_OK);
    return true;
}

LaunchOutcome ReportStartFailed(Boxes boxes) {
    if (boxes == Boxes::Shown)
        MessageBoxA(nullptr, StartFailedMessage, MessageCaption, MB_ICONEXCLAMATION);
    return LaunchOutcome::StartFailed;
}

}  // namespace

LaunchOutcome LaunchPlayer(ArgumentList& arguments, const char* className,
                           const SettingsPath& settingsPath, HWND& window, Boxes boxes) {
    if (!ReadAutoload(settingsPath)) return LaunchOutcome::NotAsked;

    char playerPath[PlayerPathCapacity];
    if (ReadPathOnCmdLine(settingsPath)) {
        arguments.first = FirstSwitchAfterPath;  // argument 1 is the path, whatever comes of it
        if (!TakePathFromCommandLine(arguments, playerPath, boxes)) return ReportStartFailed(boxes);
    } else {
        ReadPlayerPath(settingsPath, playerPath);
    }
    if (playerPath[0] == '\0') return LaunchOutcome::NothingToStart;

    if (WinExec(playerPath, SW_SHOWNORMAL) < WinExecFirstSuccess) return ReportStartFailed(boxes);
    Sleep(ReadWaitLength(settingsPath));
    window = FindWindowA(className, nullptr);

    // Both are always read, whichever holds.
    const bool hideAsked = HasArgument(arguments, HideSwitch);
    const bool hideOnLoad = ReadHideOnLoad(settingsPath);
    if (hideAsked || hideOnLoad) HideWindow(window);
    return LaunchOutcome::Started;
}
