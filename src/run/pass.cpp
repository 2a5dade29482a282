// The command pass. A built-in switch is carried out as its row in the switch table says; any
// other argument is looked up in the settings file's bindings.
#include "run/pass.h"

#include "run/context.h"
#include "run/switches.h"

void RunCommandPass(const ArgumentList& arguments, Pass& pass) {
    for (int index = arguments.first; index < arguments.count; ++index) {
        const char* argument = arguments.texts[index];
        const char* value = nullptr;
        if (const Switch* row = FindSwitch(argument, value)) {
            row->act(pass, value);
        } else {
            SendCommand(pass.player, ReadCommandBinding(pass.run.settingsPath, argument));
        }
    }
}
