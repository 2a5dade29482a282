// The unit tests' vocabulary: the call-log lines of the recording desktop, written as macros so
// that the tables can join them, and the set-up of a run on it.
#pragma once

#include <string>

#include "unit/desktop_double.h"

#define INI "C:\\T\\TUNEDESK.INI"
#define START             \
    "GetCommandLineW()\n" \
    "GetModuleFileNameW()\n"
#define READ_CLASS(directory)                                                                   \
    "GetPrivateProfileStringA(\"Configuration\", \"Class\", \"Winamp v1.x\", 250, \"" directory \
    "TUNEDESK.INI\")\n"
#define FIND "FindWindowA(\"Winamp v1.x\", null)\n"
#define NUMBER(key, fallback) \
    "GetPrivateProfileIntA(\"Configuration\", \"" key "\", " #fallback ", \"" INI "\")\n"
#define LOOKUP(key) "GetPrivateProfileIntA(\"Commands\", \"" key "\", 0, \"" INI "\")\n"
#define EXISTS(name) "GetFileAttributesW(\"C:\\Work\\" name "\")\n"  // a word that may be a file
#define SENT(window, number) "SendMessageTimeoutA(" #window ", 0x111, " #number ", 0)\nSleep(0)\n"
#define HIDDEN(window) "ShowWindow(" #window ", 6)\nShowWindow(" #window ", 0)\n"
#define BOX(text, caption, type) "MessageBoxA(none, \"" text "\", \"" caption "\", " #type ")\n"

// The default desktop with this command line, settings text and running player's class (null:
// none runs).
inline void SetUpRun(const char* commandLine, const char* settingsText,
                     const char* runningClass = "Winamp v1.x") {
    ResetDesktop();
    Desktop.commandLine = commandLine;
    Desktop.settingsText = settingsText;
    Desktop.runningClass = runningClass;
}

// How often part stands in text, such as a call in the log.
inline int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}
