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
