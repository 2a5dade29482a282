// Where the settings file is found, whatever the executable's path.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

SettingsPath settingsPath;  // too large for the stack of a test

std::string Locate(const std::string& modulePath, unsigned length) {
    LocateSettingsFile(modulePath.c_str(), length, settingsPath);
    return settingsPath.text;
}

std::string Locate(const std::string& modulePath) {
    return Locate(modulePath, static_cast<unsigned>(modulePath.size()));
}

TEST(LocateSettingsFile, FindsTheFileBesideTheExecutable) {
    const struct {
        const char* modulePath;
        const char* settingsPath;
    } cases[] = {
        {"tunedesk.exe", "TUNEDESK.INI"},
        {"C:\\tunedesk.exe", "C:\\TUNEDESK.INI"},
        {"C:\\Tools\\Media\\Deep\\er\\Remote.exe", "C:\\Tools\\Media\\Deep\\er\\TUNEDESK.INI"},
        {"\\\\server\\share\\tunedesk.exe", "\\\\server\\share\\TUNEDESK.INI"},
        {"C:\\dir\\", "C:\\dir\\TUNEDESK.INI"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Locate(c.modulePath), c.settingsPath) << c.modulePath;
}

TEST(LocateSettingsFile, KeepsTheWholeOfALongPath) {
    std::string directory = "C:";
    while (directory.size() < desktop::LongestText - 40)
        directory += "\\a-long-folder-name";
    EXPECT_EQ(Locate(directory + "\\tunedesk.exe"), directory + "\\TUNEDESK.INI");
}

TEST(LocateSettingsFile, ReadsNoFileWhenTheModulePathIsMissingOrCut) {
    EXPECT_EQ(Locate("C:\\T\\tunedesk.exe", 0), "");
    EXPECT_EQ(Locate("C:\\T\\tunedesk.exe", ModulePathCapacity), "");
}

}  // namespace
