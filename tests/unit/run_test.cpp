// Whole runs: the order of every platform call from the command line to the exit status.
#include "run/run.h"

#include <gtest/gtest.h>

#include <string>

#include "unit/desktop_double.h"

namespace {

struct RunCase {
    const char* name;
    const char* commandLine;
    const char* modulePath;  // null: GetModuleFileNameA reports a cut path
    const char* settingsFile;
    const char* settingsText;
    const char* runningClass;
    const char* calls;
    int result;
};

#define START             \
    "GetCommandLineA()\n" \
    "GetModuleFileNameA()\n"
#define READ_CLASS(directory)                                                                   \
    "GetPrivateProfileStringA(\"Configuration\", \"Class\", \"Winamp v1.x\", 250, \"" directory \
    "TUNEDESK.INI\")\n"

constexpr char Ini[] = "C:\\T\\TUNEDESK.INI";

TEST(RunSequence, CallsThePlatformInOrder) {
    const RunCase cases[] = {
        {"next", "tunedesk.exe /NEXT", "C:\\T\\tunedesk.exe", Ini, "", "Winamp v1.x",
         START READ_CLASS("C:\\T\\") "FindWindowA(\"Winamp v1.x\", null)\n"
                                     "SendMessageA(player, 0x111, 40048, 0)\nSleep(0)\n",
         RunResult},
        {"program path only", "\"C:\\T\\tunedesk.exe\"", "C:\\T\\tunedesk.exe", Ini, "",
         "Winamp v1.x", START READ_CLASS("C:\\T\\") "FindWindowA(\"Winamp v1.x\", null)\n",
         RunResult},
        {"class from the settings", "t /PLAY", "C:\\Remote.exe", "C:\\TUNEDESK.INI",
         "[Configuration]\nClass=Other Player\n", "Other Player",
         START READ_CLASS("C:\\") "FindWindowA(\"Other Player\", null)\n"
                                  "SendMessageA(player, 0x111, 40045, 0)\nSleep(0)\n",
         RunResult},
        {"empty class", "t /STOP", "C:\\T\\tunedesk.exe", Ini, "[Configuration]\nClass=\n",
         "Winamp v1.x",
         START READ_CLASS("C:\\T\\") "FindWindowA(\"Winamp v1.x\", null)\n"
                                     "SendMessageA(player, 0x111, 40047, 0)\nSleep(0)\n",
         RunResult},
        {"cut module path reads no settings", "t /HIDE bound", nullptr, Ini,
         "[Commands]\nbound=5\n", "Winamp v1.x",
         START "FindWindowA(\"Winamp v1.x\", null)\n"
               "ShowWindow(player, 6)\nShowWindow(player, 0)\n",
         RunResult},
    };
    for (const RunCase& c : cases) {
        ResetDesktop();
        Desktop.commandLine = c.commandLine;
        Desktop.modulePath = c.modulePath != nullptr ? c.modulePath : Desktop.modulePath;
        Desktop.modulePathCut = c.modulePath == nullptr;
        Desktop.settingsFile = c.settingsFile;
        Desktop.settingsText = c.settingsText;
        Desktop.runningClass = c.runningClass;
        EXPECT_EQ(RunSequence(nullptr), c.result) << c.name;
        EXPECT_EQ(CallLog(), std::string(c.calls)) << c.name;
    }
}

}  // namespace

namespace {

struct LaunchCase {
    const char* name;
    const char* commandLine;
    const char* settingsText;
    unsigned winExecResult;
    const char* startedClass;  // null: the player is slower than the wait
    const char* calls;
    int result;
};

#define INI "C:\\T\\TUNEDESK.INI"
#define NUMBER(key, fallback) \
    "GetPrivateProfileIntA(\"Configuration\", \"" key "\", " #fallback ", \"" INI "\")\n"
#define ABSENT START READ_CLASS("C:\\T\\") FIND NUMBER("Autoload", 0)
#define FIND "FindWindowA(\"Winamp v1.x\", null)\n"
#define PATH_READ              \
    NUMBER("PathOnCmdLine", 0) \
    "GetPrivateProfileStringA(\"Configuration\", \"Path\", \"\", 260, \"" INI "\")\n"
#define BOX(text, caption, type) "MessageBoxA(none, \"" text "\", \"" caption "\", " #type ")\n"
#define STARTED(path, wait) \
    "WinExec(\"" path "\", 1)\n" NUMBER("WaitLength", 1000) "Sleep(" #wait ")\n" FIND
#define HIDE_ON_LOAD NUMBER("HideOnLoad", 0)
#define HIDDEN(window) "ShowWindow(" #window ", 6)\nShowWindow(" #window ", 0)\n"
#define SENT(window, number) "SendMessageA(" #window ", 0x111, " #number ", 0)\nSleep(0)\n"
#define AUTOLOAD "[Configuration]\nAutoload=1\n"
#define WINAMP AUTOLOAD "Path=C:\\P\\winamp.exe\n"

const std::string LongPath(300, 'p');

TEST(LaunchPlayer, StartsAnAbsentPlayerOnlyWhenAsked) {
    const std::string longPathLine = "t " + LongPath + " /PLAY";
    const LaunchCase cases[] = {
        {"autoload absent", "t /NEXT", "", 33, "Winamp v1.x", ABSENT SENT(none, 40048), RunResult},
        {"autoload 2", "t /NEXT", "[Configuration]\nAutoload=2\nPath=C:\\P\\w.exe\n", 33,
         "Winamp v1.x", ABSENT SENT(none, 40048), RunResult},
        {"no path", "t /NEXT", AUTOLOAD, 33, "Winamp v1.x",
         ABSENT PATH_READ BOX("WinAmp is not running.", "Tunedesk", 0x30), NotRunningResult},
        {"start", "t /NEXT", WINAMP, 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD SENT(player, 40048),
         RunResult},
        {"start refused", "t /NEXT", WINAMP, 2, "Winamp v1.x",
         ABSENT PATH_READ "WinExec(\"C:\\P\\winamp.exe\", 1)\n" BOX(
             "Unable to start Winamp.", "Tunedesk", 0x30) SENT(none, 40048),
         RunResult},
        {"no wait", "t", WINAMP "WaitLength=0\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 0) HIDE_ON_LOAD, RunResult},
        {"negative wait", "t", WINAMP "WaitLength=-1\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 0) HIDE_ON_LOAD, RunResult},
        {"player slower than the wait", "t /HIDE /PLAY", WINAMP, 33, nullptr,
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(none) HIDDEN(none)
             SENT(none, 40045),
         RunResult},
        {"hide on load", "t /PLAY", WINAMP "HideOnLoad=1\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(player)
             SENT(player, 40045),
         RunResult},
        {"hide asked", "t /hide", WINAMP, 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(player)
             HIDDEN(player),
         RunResult},
        {"path on the command line", "t \"C:\\P\\winamp.exe\" /PLAY", AUTOLOAD "PathOnCmdLine=1\n",
         33, "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("C:\\P\\winamp.exe", "C:\\P\\winamp.exe", 0x0)
             STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD SENT(player, 40045),
         RunResult},
        {"no argument 1", "t", AUTOLOAD "PathOnCmdLine=1\n", 33, "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("WinAmp is not running.", "Tunedesk", 0x30),
         NotRunningResult},
        {"argument 1 too long", longPathLine.c_str(), AUTOLOAD "PathOnCmdLine=1\n", 33,
         "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("Unable to start Winamp.", "Tunedesk", 0x30)
             SENT(none, 40045),
         RunResult},
    };
    for (const LaunchCase& c : cases) {
        ResetDesktop();
        Desktop.commandLine = c.commandLine;
        Desktop.settingsText = c.settingsText;
        Desktop.runningClass = nullptr;
        Desktop.winExecResult = c.winExecResult;
        Desktop.startedClass = c.startedClass;
        EXPECT_EQ(RunSequence(nullptr), c.result) << c.name;
        EXPECT_EQ(CallLog(), std::string(c.calls)) << c.name;
    }
}

}  // namespace
