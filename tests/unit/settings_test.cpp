// Where the settings file is found, whatever the executable's path.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "unit/desktop_double.h"

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

TEST(LocateSettingsFile, ShortensADirectoryTooLongForTheReader) {
    const std::string under = "C:\\" + std::string(243, 'x'), at = "C:\\" + std::string(244, 'x');
    std::string longest = "C:";
    while (longest.size() < desktop::LongestText - 40)
        longest += "\\a-long-folder-name";
    const struct {
        std::string modulePath;
        const char* shortPath;
        std::string settingsPath;
        bool shortened;
    } cases[] = {
        {under + "\\t.exe", "C:\\XXXX~1", under + "\\TUNEDESK.INI", false},  // 259 characters
        {at + "\\t.exe", "C:\\XXXX~1", "C:\\XXXX~1\\TUNEDESK.INI", true},    // 260
        {at + "\\t.exe", nullptr, at + "\\TUNEDESK.INI", true},
        {longest + "\\t.exe", "C:\\A-LONG~1", "C:\\A-LONG~1\\TUNEDESK.INI", true},
        {longest + "\\t.exe", nullptr, longest + "\\TUNEDESK.INI", true},
    };
    for (const auto& c : cases) {
        ResetDesktop();
        Desktop.shortPath = c.shortPath;
        EXPECT_EQ(Locate(c.modulePath), c.settingsPath);
        const std::string directory = c.modulePath.substr(0, c.modulePath.rfind('\\'));
        EXPECT_EQ(CallLog(), c.shortened ? "GetShortPathNameA(\"" + directory + "\")\n" : "");
    }
}

TEST(LocateSettingsFile, ReadsNoFileWhenTheModulePathIsMissingOrCut) {
    EXPECT_EQ(Locate("C:\\T\\tunedesk.exe", 0), "");
    EXPECT_EQ(Locate("C:\\T\\tunedesk.exe", ModulePathCapacity), "");
}

}  // namespace
