// Where TUNEDESK.INI lies and what is read from it. Each key is read from the file when the run
// needs it, on every run; nothing is cached and the file is never written.
#pragma once

#include "desktop/desktop.h"

inline constexpr char SettingsFileName[] = "TUNEDESK.INI";
inline constexpr int ModulePathCapacity = desktop::LongestText + 1;
// The executable's directory, a backslash and the file name, with its terminator.
inline constexpr int SettingsPathCapacity = ModulePathCapacity + sizeof SettingsFileName;
inline constexpr int ClassCapacity = 250;
inline constexpr int PlayerPathCapacity = 260;

// The full path of the settings file. Empty when the executable's own path could not be had
// whole: the run then reads no file at all and every key takes its default.
struct SettingsPath {
    char text[SettingsPathCapacity];
};

// Builds the settings path from the module path and its length as GetModuleFileNameA reported
// it; a length of 0 or of the whole capacity means the module path is missing or cut. Where the
// settings path would reach MAX_PATH, which the reader cannot open, the directory's short form
// is used when the volume has one.
void LocateSettingsFile(const char* modulePath, unsigned modulePathLength,
                        SettingsPath& settingsPath);

// The player's window class; an empty value counts as absent.
void ReadPlayerClass(const SettingsPath& settingsPath, char (&className)[ClassCapacity]);
bool ReadAutoload(const SettingsPath& settingsPath);
bool ReadPathOnCmdLine(const SettingsPath& settingsPath);
void ReadPlayerPath(const SettingsPath& settingsPath, char (&playerPath)[PlayerPathCapacity]);
unsigned ReadWaitLength(const SettingsPath& settingsPath);  // milliseconds; a negative wait is 0
bool ReadHideOnLoad(const SettingsPath& settingsPath);
// The player command bound to an argument, looked up by its text exactly as typed; 0 if none.
unsigned ReadCommandBinding(const SettingsPath& settingsPath, const char* argument);
