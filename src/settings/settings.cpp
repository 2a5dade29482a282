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
    char* const text = settingsPath.text;
    text[0] = '\0';
    if (modulePathLength == 0 || modulePathLength >= ModulePathCapacity) return;

    int nameAt = 0;  // with no directory the reader looks for the bare name in its default place
    for (int at = 0; at < static_cast<int>(modulePathLength); ++at) {
        if (modulePath[at] == '\\') nameAt = at + 1;
    }
    lstrcpynA(text, modulePath, nameAt + 1);
    if (nameAt + lstrlenA(SettingsFileName) >= MAX_PATH) {
        text[nameAt - 1] = '\0';  // the directory alone, without its closing backslash
        const unsigned length = GetShortPathNameA(text, text, ModulePathCapacity);
        if (length == 0 || length >= ModulePathCapacity) lstrcpynA(text, modulePath, nameAt);
        nameAt = lstrlenA(text) + 1;
        text[nameAt - 1] = '\\';
    }
    lstrcpynA(text + nameAt, SettingsFileName, sizeof SettingsFileName);
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
    const int wait = static_cast<int>(
        ReadNumber(settingsPath, ConfigurationSection, "WaitLength", DefaultWaitLength));
    // Taken as unsigned, -1 would be Sleep(INFINITE): a run that never ends.
    return wait < 0 ? 0 : wait;
}

bool ReadHideOnLoad(const SettingsPath& settingsPath) {
    return ReadSwitch(settingsPath, "HideOnLoad");
}

unsigned ReadCommandBinding(const SettingsPath& settingsPath, const char* argument) {
    return ReadNumber(settingsPath, CommandsSection, argument, NoCommand);
}
