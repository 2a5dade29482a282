// A scripted desktop for the host tests: it plays the window system, the settings reader and
// the process starter, and logs every call the logic makes, with its arguments, in order. Its
// ANSI code page is Latin-1; wide texts are logged in UTF-8.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"
#include "player_model.h"

// The player: its state, which answers WM_USER and changes with its commands and settings as the
// stand-in's does, and its caption.
struct FakePlayer : PlayerModel {
    const char16_t* caption;
    bool zeroExtended;  // a 32-bit answer reaches the 64-bit caller zero-extended: -1 as 2^32-1
    bool hung;          // answers no message
};

// What the caller gave the run as its standard output.
enum class StandardOutput { Given, None, Invalid };

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
    FakePlayer player = {{Playing, 83250, 240000, 200, On, Off, 2, 4},
                         u"3. Artist C - Three - Winamp",
                         false,
                         false};
    StandardOutput standardOutput = StandardOutput::Given;
    bool parentConsole = false;  // AttachConsole finds one
    // Following: standard input's text (null: there is none), read whole before wait `inputAt`,
    // and the waits of the follower's loop, each a poll's time on the clock: after `waits` of
    // them writing fails, as when the reader has gone away, and before each, `between` may change
    // the desktop.
    const char* input = nullptr;
    int inputAt = 0;
    int waits = 3;
    void (*between)(int wait) = nullptr;
};

// The desktop the next calls see; ResetDesktop restores the defaults above and clears the log.
extern FakeDesktop Desktop;
void ResetDesktop();

// Every call since the last reset, one line each, as Name(arguments).
const char* CallLog();

// What the run wrote to its standard output or console since the last reset.
const char* Printed();

// The handle FindWindowA gives for the player's window; it prints as "player".
extern const desktop::HWND PlayerWindow;
