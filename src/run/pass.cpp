// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings, and one bound to nothing may be a
// file or URL for the playlist.
#include "run/pass.h"

#include "run/context.h"
#include "run/switches.h"

namespace {

// With PathOnCmdLine on, argument 1 is the player's path even when the player runs already: it is
// not a file to play.
bool IsPlayerPath(const ArgumentList& arguments, int index, const Pass& pass) {
    return index == FirstSwitch && arguments.first == FirstSwitch &&
           ReadPathOnCmdLine(pass.run.settingsPath);
}

}  // namespace

void RunCommandPass(const ArgumentList& arguments, Pass& pass) {
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        CommandId bound = NoCommand;
        if (const Switch* row = FindSwitch(argument, value)) {
            row->act(pass, value);
        } else if ((bound = ReadCommandBinding(pass.run.settingsPath, argument)) != NoCommand) {
            SendCommand(pass.player, bound);
        } else if (arguments.wide[index] != nullptr && !IsPlayerPath(arguments, index, pass)) {
            AddArgument(pass, arguments.wide[index]);
        }
    }
}
