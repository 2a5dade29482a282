// Where TUNEDESK.INI lies and what is read from it. Each key is read from the file when the run
// needs it, on every run; nothing is cached and the file is never written.
#pragma once

#include "desktop/desktop.h"

inline constexpr char SettingsFileName[] = "TUNEDESK.INI";
inline constexpr int ModulePathCapacity = desktop::LongestWideText + 1;  // in UTF-16 units
// The executable's directory in the ANSI code page, a backslash and the file name, with its
// terminator.
inline constexpr int SettingsPathCapacity = desktop::LongestText + 1 + sizeof SettingsFileName;
inline constexpr int ClassCapacity = 250;
inline constexpr int PlayerPathCapacity = 260;

// The full path of the settings file. Empty when the executable's own path could not be had
// whole: the run then reads no file at all and every key takes its default.
struct SettingsPath {
    char text[SettingsPathCapacity];
};

// Builds the settings path from the module path and its length as GetModuleFileNameW reported
// it; a length of 0 or of the whole capacity means the module path is missing or cut. The reader
// takes ANSI paths shorter than MAX_PATH: where the directory's name can't be spelled exactly
// in the ANSI code page, or the path would be too long, the directory's short form is used when
// the volume has one. A deep directory without one keeps its long name; a name that can't be
// spelled at all leaves the settings path empty.
void LocateSettingsFile(const desktop::WCHAR* modulePath, unsigned modulePathLength,
                        SettingsPath& settingsPath);

// Where the file name starts in the module path: the length of its directory with the closing
// backslash, or 0 when the path names no directory.
int SettingsDirectoryLength(const desktop::WCHAR* modulePath, unsigned modulePathLength);

// The keys of the [Commands] section, each ended by a zero and the list by another; empty when
// there are none or no file is read.
void ReadCommandKeys(const SettingsPath& settingsPath, char* keys, int capacity);

// The player's window class; an empty value counts as absent.
void ReadPlayerClass(const SettingsPath& settingsPath, char (&className)[ClassCapacity]);
bool ReadAutoload(const SettingsPath& settingsPath);
bool ReadPathOnCmdLine(const SettingsPath& settingsPath);
void ReadPlayerPath(const SettingsPath& settingsPath, char (&playerPath)[PlayerPathCapacity]);
unsigned ReadWaitLength(const SettingsPath& settingsPath);  // milliseconds; a negative wait is 0
bool ReadHideOnLoad(const SettingsPath& settingsPath);
// The player command bound to an argument, looked up by its text exactly as typed; 0 if none.
unsigned ReadCommandBinding(const SettingsPath& settingsPath, const char* argument);
