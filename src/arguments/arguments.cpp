// Splitting the command line into the run's arguments, and looking among them.
#include "arguments/arguments.h"

using namespace desktop;

namespace {

template <typename Char>
bool IsBlank(Char c) {
    return c == ' ' || c == '\t';
}

// The same rules over either kind of text: the quotes and blanks are ASCII in both.
template <typename Char>
int Split(Char* commandLine, Char** arguments, int capacity) {
    int count = 0;
    Char* at = commandLine;
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

}  // namespace

int SplitCommandLine(char* commandLine, char** arguments, int capacity) {
    return Split(commandLine, arguments, capacity);
}

int SplitCommandLine(WCHAR* commandLine, WCHAR** arguments, int capacity) {
    return Split(commandLine, arguments, capacity);
}

void ReadArguments(WCHAR* commandLine, char* texts, int capacity, ArgumentList& arguments) {
    arguments.count = SplitCommandLine(commandLine, arguments.wide, MaxArguments);
    arguments.first = FirstSwitch;
    int used = 0;
    for (int index = 0; index < arguments.count; ++index) {
        if (used >= capacity) {  // no room for the rest: they are dropped
            arguments.count = index;
            break;
        }
        char* text = texts + used;
        const int written = WideCharToMultiByte(CP_ACP, 0, arguments.wide[index], -1, text,
                                                capacity - used, nullptr, nullptr);
        if (written <= 0) text[0] = '\0';
        used += written > 0 ? written : 1;
        arguments.texts[index] = text;
    }
}

bool HasArgument(const ArgumentList& arguments, const char* wanted) {
    for (int index = FirstSwitch; index < arguments.count; ++index) {
        if (lstrcmpiA(arguments.texts[index], wanted) == 0) return true;
    }
    return false;
}
