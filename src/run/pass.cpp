// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings, and one bound to nothing may be a
// file or URL for the playlist.
#include "run/pass.h"

#include "run/context.h"
#include "run/switches.h"

void RunCommandPass(const ArgumentList& arguments, Pass& pass) {
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        CommandId bound = NoCommand;
        if (const Switch* row = FindSwitch(argument, value)) {
            row->act(pass, value);
        } else if ((bound = ReadCommandBinding(pass.run.settingsPath, argument)) != NoCommand) {
            SendCommand(pass.player, bound);
        } else if (arguments.wide[index] != nullptr) {
            AddArgument(pass, arguments.wide[index]);
        }
    }
}
