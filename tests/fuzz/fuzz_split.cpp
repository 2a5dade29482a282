// Fuzzes the command-line splitter with arbitrary bytes and checks what it hands back.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "arguments/arguments.h"

namespace {
char text[1 << 16];
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof text) return 0;
    std::memcpy(text, data, size);
    text[size] = '\0';
    const std::size_t length = std::strlen(text);  // the command line ends at its first zero

    char* arguments[MaxArguments];
    const int count = SplitCommandLine(text, arguments, MaxArguments);
    if (count < 0 || count > MaxArguments) std::abort();
    const char* end = text;
    for (int index = 0; index < count; ++index) {
        // Arguments lie in order inside the text, each ended before the next begins.
        if (arguments[index] < end || arguments[index] > text + length) std::abort();
        end = arguments[index] + std::strlen(arguments[index]);
        if (end > text + length) std::abort();
    }
    return 0;
}
