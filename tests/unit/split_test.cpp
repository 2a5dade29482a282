// The command-line splitting rules and the argument search used for "/HIDE".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arguments/arguments.h"

namespace {

std::vector<std::string> Split(std::string commandLine, int capacity = MaxArguments) {
    char* arguments[MaxArguments];
    const int count = SplitCommandLine(commandLine.data(), arguments, capacity);
    return std::vector<std::string>(arguments, arguments + count);
}

struct SplitCase {
    const char* commandLine;
    std::vector<std::string> arguments;
};

TEST(SplitCommandLine, FollowsTheSplittingRules) {
    const SplitCase cases[] = {
        {"", {}},
        {" \t ", {}},
        {"tunedesk.exe", {"tunedesk.exe"}},
        {"tunedesk.exe /NEXT", {"tunedesk.exe", "/NEXT"}},
        {"t \t /PLAY\t/HIDE  \t", {"t", "/PLAY", "/HIDE"}},
        {"\"C:\\Program Files\\tunedesk.exe\" /NEXT", {"C:\\Program Files\\tunedesk.exe", "/NEXT"}},
        {"t \"two words\"third", {"t", "two words", "third"}},
        {"t \"a\"\"b\"", {"t", "a", "b"}},
        {"t a\"b c", {"t", "a\"b", "c"}},
        {"t a\"b c\"", {"t", "a\"b", "c\""}},
        {"t \"\"", {"t", ""}},
        {"t \"\" /NEXT", {"t", "", "/NEXT"}},
        {"t \"never closed /NEXT", {"t", "never closed /NEXT"}},
        {"t \"/NEXT\"", {"t", "/NEXT"}},
        {"t \"", {"t", ""}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(Split(c.commandLine), c.arguments) << "command line: " << c.commandLine;
    }
}

TEST(SplitCommandLine, StopsAtCapacity) {
    std::string seventyWords = "tunedesk.exe";
    for (int word = 1; word < 70; ++word)
        seventyWords += " w" + std::to_string(word);
    const std::vector<std::string> arguments = Split(seventyWords);
    ASSERT_EQ(arguments.size(), 64u);
    EXPECT_EQ(arguments.back(), "w63");

    EXPECT_EQ(Split("a b c", 2), (std::vector<std::string>{"a", "b"}));
}

TEST(HasArgument, ComparesArgumentsAfterTheProgramWithoutCase) {
    char program[] = "/hide", other[] = "/PLAY", hide[] = "/Hide";
    ArgumentList arguments = {1, FirstSwitch, {program, other, hide}, {}};
    EXPECT_FALSE(HasArgument(arguments, "/HIDE"));  // argument 0 is never compared
    arguments.count = 2;
    EXPECT_FALSE(HasArgument(arguments, "/HIDE"));
    arguments.count = 3;
    EXPECT_TRUE(HasArgument(arguments, "/HIDE"));
}

}  // namespace
