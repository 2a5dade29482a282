// Locating and reading TUNEDESK.INI: the sections, keys and defaults live here and nowhere else.
#include "settings/settings.h"

using namespace desktop;

namespace {

constexpr char ConfigurationSection[] = "Configuration";
constexpr char CommandsSection[] = "Commands";
constexpr char DefaultClass[] = "Winamp v1.x";
constexpr unsigned DefaultWaitLength = 1000;
constexpr unsigned Off = 0;
constexpr unsigned On = 1;  // an on/off key is on only when it is exactly 1
constexpr unsigned NoCommand = 0;

bool HasFile(const SettingsPath& settingsPath) { return settingsPath.text[0] != '\0'; }

template <int Capacity>
void ReadText(const SettingsPath& settingsPath, const char* key, const char* fallback,
              char (&buffer)[Capacity]) {
    if (HasFile(settingsPath)) {
        GetPrivateProfileStringA(ConfigurationSection, key, fallback, buffer, Capacity,
                                 settingsPath.text);
    } else {
        lstrcpynA(buffer, fallback, Capacity);
    }
}

unsigned ReadNumber(const SettingsPath& settingsPath, const char* section, const char* key,
                    unsigned fallback) {
    if (!HasFile(settingsPath)) return fallback;
    return GetPrivateProfileIntA(section, key, static_cast<int>(fallback), settingsPath.text);
}

bool ReadSwitch(const SettingsPath& settingsPath, const char* key) {
    return ReadNumber(settingsPath, ConfigurationSection, key, Off) == On;
}

}  // namespace

void LocateSettingsFile(const char* modulePath, unsigned modulePathLength,
                        SettingsPath& settingsPath) {
    settingsPath.text[0] = '\0';
    if (modulePathLength == 0 || modulePathLength >= ModulePathCapacity) return;

    int lastBackslash = -1;
    for (int at = 0; at < static_cast<int>(modulePathLength); ++at) {
        if (modulePath[at] == '\\') lastBackslash = at;
    }
    // With no directory the bare name goes to the reader, which looks in its own default place.
    int nameAt = lastBackslash + 1;
    lstrcpynA(settingsPath.text, modulePath, nameAt + 1);
    lstrcpynA(settingsPath.text + nameAt, SettingsFileName, sizeof SettingsFileName);
}

void ReadPlayerClass(const SettingsPath& settingsPath, char (&className)[ClassCapacity]) {
    ReadText(settingsPath, "Class", DefaultClass, className);
    if (className[0] == '\0') lstrcpynA(className, DefaultClass, ClassCapacity);
}

bool ReadAutoload(const SettingsPath& settingsPath) { return ReadSwitch(settingsPath, "Autoload"); }

bool ReadPathOnCmdLine(const SettingsPath& settingsPath) {
    return ReadSwitch(settingsPath, "PathOnCmdLine");
}

void ReadPlayerPath(const SettingsPath& settingsPath, char (&playerPath)[PlayerPathCapacity]) {
    ReadText(settingsPath, "Path", "", playerPath);
}

unsigned ReadWaitLength(const SettingsPath& settingsPath) {
    return ReadNumber(settingsPath, ConfigurationSection, "WaitLength", DefaultWaitLength);
}

bool ReadHideOnLoad(const SettingsPath& settingsPath) {
    return ReadSwitch(settingsPath, "HideOnLoad");
}

unsigned ReadCommandBinding(const SettingsPath& settingsPath, const char* argument) {
    return ReadNumber(settingsPath, CommandsSection, argument, NoCommand);
}
