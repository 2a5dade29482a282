// The help box for "/?": what each switch does, the words the settings file binds, where that
// file is and whether it exists, and the version. It is built as UTF-16, so that a folder whose
// name the ANSI code page can't spell is shown as the user knows it.
#include "control/switches.h"
#include "run/run.h"

using namespace desktop;

namespace {

constexpr int HelpCapacity = 8192;
constexpr int KeysCapacity = 4096;
constexpr unsigned HelpStyle = MB_OK | MB_ICONINFORMATION;

template <int Length>
struct WideText {
    WCHAR text[Length];
};

// An ASCII text as UTF-16, made at compile time.
template <int Length>
constexpr WideText<Length> Widen(const char (&ascii)[Length]) {
    WideText<Length> wide{};
    for (int at = 0; at < Length; ++at)
        wide.text[at] = static_cast<WCHAR>(ascii[at]);
    return wide;
}

constexpr auto Caption = Widen(MessageCaption);

struct Help {
    WCHAR text[HelpCapacity];
    int length;
};

// Appends what fits; the help is cut rather than overrun.
void AppendWide(Help& help, const WCHAR* text, int length) {
    for (int at = 0; at < length && help.length < HelpCapacity - 1; ++at)
        help.text[help.length++] = text[at];
    help.text[help.length] = u'\0';
}

void Append(Help& help, const char* text) {
    WCHAR wide[KeysCapacity];
    AppendWide(help, wide,
               MultiByteToWideChar(CP_ACP, 0, text, lstrlenA(text), wide, KeysCapacity));
}

void AppendSwitch(const char* text, const char* form, const char* words, void* context) {
    Help& help = *static_cast<Help*>(context);
    Append(help, text);
    Append(help, form);
    Append(help, "\t");
    Append(help, words);
    Append(help, "\n");
}

// The words that send something: keys with a number other than 0 that no switch shadows.
void AppendBoundWords(Help& help, const SettingsPath& settingsPath) {
    char keys[KeysCapacity];
    ReadCommandKeys(settingsPath, keys, KeysCapacity);
    const char* separator = "";
    for (const char* key = keys; *key != '\0'; key += lstrlenA(key) + 1) {
        if (IsBuiltInSwitch(key) || ReadCommandBinding(settingsPath, key) == 0) continue;
        Append(help, separator);
        Append(help, key);
        separator = ", ";
    }
    if (*separator == '\0') Append(help, "none");
}

}  // namespace

void ShowHelp(const WCHAR* modulePath, unsigned modulePathLength,
              const SettingsPath& settingsPath) {
    Help help;
    help.length = 0;
    Append(help, "Tunedesk " TUNEDESK_VERSION
                 ", a command-line remote control for Winamp.\n"
                 "Switches act in turn: tunedesk /PLAY /HIDE\n\n");
    DescribeSwitches(AppendSwitch, &help);
    AppendSwitch(FollowSwitch, "", "first: report the player's changes and carry out input lines",
                 &help);
    Append(help, "\nYour words in [Commands]: ");
    AppendBoundWords(help, settingsPath);
    Append(help, "\n\nSettings file:\n");
    if (modulePathLength == 0 || modulePathLength >= ModulePathCapacity) {
        Append(help, "unknown: the program's path can't be read");
    } else {
        AppendWide(help, modulePath, SettingsDirectoryLength(modulePath, modulePathLength));
        Append(help, SettingsFileName);
        if (settingsPath.text[0] == '\0') {
            Append(help, "\n(not read: this system's code page can't spell its folder's name)");
        } else if (SettingsFileExists(settingsPath)) {
            Append(help, "\n(found)");
        } else {
            Append(help, "\n(not found: every setting takes its default)");
        }
    }
    MessageBoxW(nullptr, help.text, Caption.text, HelpStyle);
}
