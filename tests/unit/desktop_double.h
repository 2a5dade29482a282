// A scripted desktop for the host tests: it plays the window system, the settings reader and
// the process starter, and logs every call the logic makes, with its arguments, in order. Its
// ANSI code page is Latin-1; wide texts are logged in UTF-8.
#pragma once

#include "desktop/desktop.h"

struct FakeDesktop {
    const char* commandLine = "tunedesk.exe";
    const char16_t* modulePath = u"C:\\T\\tunedesk.exe";
    bool modulePathCut = false;           // GetModuleFileNameW reports a cut path
    const char16_t* shortPath = nullptr;  // what GetShortPathNameW gives; null: the volume has none
    bool settingsExist = true;            // what GetFileAttributesA says of the settings file
    const char* settingsFile = "C:\\T\\TUNEDESK.INI";  // where settingsText lies; null: anywhere
    const char* settingsText = "";                     // the file's lines, INI format
    const char* runningClass = "Winamp v1.x";          // the player window's class; null: absent
    const char* startedClass = "Winamp v1.x";          // what a successful WinExec brings up
    unsigned winExecResult = 33;
    bool visible = true;
};

// The desktop the next calls see; ResetDesktop restores the defaults above and clears the log.
extern FakeDesktop Desktop;
void ResetDesktop();

// Every call since the last reset, one line each, as Name(arguments).
const char* CallLog();

// The handle FindWindowA gives for the player's window; it prints as "player".
extern const desktop::HWND PlayerWindow;
