// The switch table and the settings bindings, as seen from the calls that reach the window.
#include <gtest/gtest.h>

#include <string>

#include "run/context.h"
#include "run/pass.h"
#include "unit/calls.h"

namespace {

struct PassCase {
    const char* commandLine;
    const char* settingsText;
    bool window;
    bool visible;
    const char* calls;
};

constexpr char Bindings[] =
    "[Commands]\nvolup=40058\n/VOLUP=40059\nzero=0\nword=abc\n/NEXT=1\n/nex=7\n";

#define SEND(number) SENT(player, number)

Run run;  // too large for the stack of a test

// The pass over a command line's arguments from the first switch on, the player's window there or
// not, with the default desktop's settings file.
void Apply(const std::string& commandLine, bool window, int first = FirstSwitch) {
    LocateSettingsFile(Desktop.modulePath, std::char_traits<char16_t>::length(Desktop.modulePath),
                       run.settingsPath);
    std::u16string wide(commandLine.begin(), commandLine.end());
    static char texts[1 << 16];
    ReadArguments(wide.data(), texts, sizeof texts, run.arguments);
    run.arguments.first = first;
    Player player{window ? PlayerWindow : nullptr, Patiently, false};
    Output output{};
    Pass pass{run, player, output};
    RunCommandPass(run.arguments, pass);
}

TEST(RunCommandPass, AppliesEachArgumentInOrder) {
    const PassCase cases[] = {
        {"t", "", true, true, ""},
        {"t /PLAY /play /Play", "", true, true, SEND(40045) SEND(40045) SEND(40045)},
        {"t /STOP /NEXT /PREV /PAUSE", "", true, true,
         SEND(40047) SEND(40048) SEND(40044) SEND(40046)},
        {"t /NEXT /NEXT", "", true, true, SEND(40048) SEND(40048)},
        {"t /hide", "", true, true, HIDDEN(player)},
        {"t /Show", "", true, false, "ShowWindow(player, 1)\n"},
        {"t /FLIPSHOW /FLIPSHOW", "", true, true,
         "IsWindowVisible(player)\n" HIDDEN(
             player) "IsWindowVisible(player)\nShowWindow(player, 1)\n"},
        {"t /PAUSE /SHOW /PLAY", "", true, true, SEND(40046) "ShowWindow(player, 1)\n" SEND(40045)},
        {"t /NEXTTRACK /nex", Bindings, true, true, LOOKUP("/NEXTTRACK") LOOKUP("/nex") SEND(7)},
        {"t volup /volup VOLUP", Bindings, true, true,
         LOOKUP("volup") SEND(40058) LOOKUP("/volup") SEND(40059) LOOKUP("VOLUP") SEND(40058)},
        {"t zero word absent /NEXT", Bindings, true, true,
         LOOKUP("zero") EXISTS("zero") LOOKUP("word") EXISTS("word") LOOKUP("absent")
             EXISTS("absent") SEND(40048)},
        {"t /HIDE /FLIPSHOW volup", Bindings, false, false,
         HIDDEN(none) "IsWindowVisible(none)\nShowWindow(none, 1)\n" LOOKUP(
             "volup") "SendMessageTimeoutA(none, 0x111, 40058, 0)\nSleep(0)\n"},
    };
    for (const PassCase& c : cases) {
        ResetDesktop();
        Desktop.settingsText = c.settingsText;
        Desktop.visible = c.visible;
        Apply(c.commandLine, c.window);
        EXPECT_EQ(CallLog(), std::string(c.calls)) << "command line: " << c.commandLine;
    }
}

TEST(RunCommandPass, SkipsAPlayerPathTakenFromTheCommandLine) {
    const struct {
        const char* commandLine;
        const char* calls;
    } cases[] = {{"t /PLAY", ""}, {"t /PLAY /NEXT", SEND(40048)}};
    for (const auto& c : cases) {
        ResetDesktop();
        Apply(c.commandLine, true, FirstSwitchAfterPath);
        EXPECT_EQ(CallLog(), std::string(c.calls)) << c.commandLine;
    }
}

}  // namespace
