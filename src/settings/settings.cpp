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

// A text key of [Configuration], or the fallback when no file is read.
template <int Capacity>
void ReadConfigurationText(const SettingsPath& settingsPath, const char* key, const char* fallback,
                           char (&buffer)[Capacity]) {
    if (HasFile(settingsPath)) {
        GetPrivateProfileStringA(ConfigurationSection, key, fallback, buffer, Capacity,
                                 settingsPath.text);
    } else {
        CopyText(buffer, fallback, Capacity);
    }
}

unsigned ReadNumber(const SettingsPath& settingsPath, const char* section, const char* key,
                    unsigned fallback) {
    if (!HasFile(settingsPath)) return fallback;
    return GetPrivateProfileIntA(section, key, static_cast<int>(fallback), settingsPath.text);
}

// An on/off key of [Configuration]: on only when exactly 1.
bool ReadOnOffKey(const SettingsPath& settingsPath, const char* key) {
    return ReadNumber(settingsPath, ConfigurationSection, key, Off) == On;
}

// The room for the directory's name in the ANSI code page, with the file name still to follow.
constexpr int DirectoryCapacity = SettingsPathCapacity - sizeof SettingsFileName;

// Writes the first length units of a wide text into text in the ANSI code page and returns the
// number of bytes, or -1 when some letter has no exact spelling there. Without
// WC_NO_BEST_FIT_CHARS Windows would quietly write look-alikes (L for Ł), naming another folder.
int SpellInAnsi(const WCHAR* wide, int length, char* text) {
    if (length == 0) return 0;
    int lost = 0;
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, text,
                                            DirectoryCapacity, nullptr, &lost);
    return written <= 0 || lost ? -1 : written;
}

// Writes the short form of the module path's directory, with a closing backslash, and returns
// its length in bytes, or -1 when there is none that the ANSI code page spells.
int SpellShortDirectory(const WCHAR* modulePath, int nameAt, char* text) {
    if (nameAt == 0) return -1;
    WCHAR directory[ModulePathCapacity], shortDirectory[ModulePathCapacity];
    for (int at = 0; at < nameAt - 1; ++at)
        directory[at] = modulePath[at];
    directory[nameAt - 1] = u'\0';  // the directory alone, without its closing backslash
    const unsigned length = GetShortPathNameW(directory, shortDirectory, ModulePathCapacity);
    if (length == 0 || length >= ModulePathCapacity) return -1;
    const int spelled = SpellInAnsi(shortDirectory, static_cast<int>(length), text);
    if (spelled < 0 || spelled + 1 >= DirectoryCapacity) return -1;
    text[spelled] = '\\';
    return spelled + 1;
}

}  // namespace

int SettingsDirectoryLength(const WCHAR* modulePath, unsigned modulePathLength) {
    int nameAt = 0;  // with no directory the reader looks for the bare name in its default place
    for (int at = 0; at < static_cast<int>(modulePathLength); ++at) {
        if (modulePath[at] == u'\\') nameAt = at + 1;
    }
    return nameAt;
}

void LocateSettingsFile(const WCHAR* modulePath, unsigned modulePathLength,
                        SettingsPath& settingsPath) {
    char* const text = settingsPath.text;
    text[0] = '\0';
    if (modulePathLength == 0 || modulePathLength >= ModulePathCapacity) return;

    const int nameAt = SettingsDirectoryLength(modulePath, modulePathLength);
    int length = SpellInAnsi(modulePath, nameAt, text);
    if (length < 0 || length + TextLength(SettingsFileName) >= MAX_PATH) {
        const int shortLength = SpellShortDirectory(modulePath, nameAt, text);
        if (shortLength >= 0) {
            length = shortLength;
        } else if (length >= 0) {
            // No short name: the long one after all, which the reader may still refuse.
            length = SpellInAnsi(modulePath, nameAt, text);
        } else {
            // No spelling the reader can take: read no file rather than a wrong one.
            text[0] = '\0';
            return;
        }
    }
    CopyText(text + length, SettingsFileName, sizeof SettingsFileName);
}

void ReadCommandKeys(const SettingsPath& settingsPath, char* keys, int capacity) {
    keys[0] = keys[1] = '\0';
    if (HasFile(settingsPath)) {
        GetPrivateProfileStringA(CommandsSection, nullptr, "", keys, capacity, settingsPath.text);
    }
}

void ReadPlayerClass(const SettingsPath& settingsPath, char (&className)[ClassCapacity]) {
    ReadConfigurationText(settingsPath, "Class", DefaultClass, className);
    if (className[0] == '\0') CopyText(className, DefaultClass, ClassCapacity);
}

bool ReadAutoload(const SettingsPath& settingsPath) {
    return ReadOnOffKey(settingsPath, "Autoload");
}

bool ReadPathOnCmdLine(const SettingsPath& settingsPath) {
    return ReadOnOffKey(settingsPath, "PathOnCmdLine");
}

void ReadPlayerPath(const SettingsPath& settingsPath, char (&playerPath)[PlayerPathCapacity]) {
    ReadConfigurationText(settingsPath, "Path", "", playerPath);
}

unsigned ReadWaitLength(const SettingsPath& settingsPath) {
    const int wait = static_cast<int>(
        ReadNumber(settingsPath, ConfigurationSection, "WaitLength", DefaultWaitLength));
    // Taken as unsigned, -1 would be Sleep(INFINITE): a run that never ends.
    return wait < 0 ? 0 : wait;
}

bool ReadHideOnLoad(const SettingsPath& settingsPath) {
    return ReadOnOffKey(settingsPath, "HideOnLoad");
}

unsigned ReadCommandBinding(const SettingsPath& settingsPath, const char* argument) {
    return ReadNumber(settingsPath, CommandsSection, argument, NoCommand);
}
