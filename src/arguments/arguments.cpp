// Splitting the command line into the run's arguments, and looking among them.
#include "arguments/arguments.h"

using namespace desktop;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int SplitCommandLine(char* commandLine, char** arguments, int capacity) {
    int count = 0;
    char* at = commandLine;
    while (count < capacity) {
        while (IsBlank(*at))
            ++at;
        if (*at == '\0') break;
        if (*at == '"') {
            ++at;
            arguments[count++] = at;
            while (*at != '\0' && *at != '"')
                ++at;
        } else {
            arguments[count++] = at;
            while (*at != '\0' && !IsBlank(*at))
                ++at;
        }
        if (*at == '\0') break;
        *at++ = '\0';
    }
    return count;
}

void ReadArguments(char* commandLine, ArgumentList& arguments) {
    arguments.count = SplitCommandLine(commandLine, arguments.texts, MaxArguments);
    arguments.first = FirstSwitch;
}

bool HasArgument(const ArgumentList& arguments, const char* wanted) {
    for (int index = FirstSwitch; index < arguments.count; ++index) {
        if (lstrcmpiA(arguments.texts[index], wanted) == 0) return true;
    }
    return false;
}
