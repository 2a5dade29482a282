// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings, and one bound to nothing may be a
// file or URL for the playlist.
#include "run/pass.h"

#include "run/context.h"
#include "run/switches.h"

using namespace desktop;

namespace {

// An argument that names a file, a folder or a URL goes to the playlist; but with PathOnCmdLine on,
// argument 1 is the player's path even when the player runs already, not a file to play.
void AddNamedEntry(const ArgumentList& arguments, int index, Pass& pass) {
    WCHAR full[LongestWideText + 1];
    int length = 0;
    const WCHAR* entry = PlaylistEntry(arguments.wide[index], full, length);
    if (entry != nullptr && !(index == FirstSwitch && arguments.first == FirstSwitch &&
                              ReadPathOnCmdLine(pass.run.settingsPath)))
        AddEntry(pass, entry, length);
}

}  // namespace

void RunCommandPass(const ArgumentList& arguments, Pass& pass) {
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        CommandId bound = NoCommand;
        if (const Switch* row = FindSwitch(argument, value)) {
            pass.wideArgument = arguments.wide[index];
            pass.nextArgument = index + 1 < arguments.count ? arguments.wide[index + 1] : nullptr;
            row->act(pass, value);
            pass.changes |= row->changes;
        } else if ((bound = ReadCommandBinding(pass.run.settingsPath, argument)) != NoCommand) {
            SendCommand(pass.player, bound);
            pass.changes = AllFields;  // a command of the user's own may do anything
        } else if (pass.player.window != nullptr) {
            AddNamedEntry(arguments, index, pass);
            pass.changes = AllFields;
        }
    }
}
