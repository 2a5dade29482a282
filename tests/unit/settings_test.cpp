// Where the settings file is found, whatever the executable's path.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "unit/desktop_double.h"

namespace {

SettingsPath settingsPath;  // too large for the stack of a test

std::string Locate(const std::u16string& modulePath, unsigned length) {
    LocateSettingsFile(modulePath.c_str(), length, settingsPath);
    return settingsPath.text;
}

std::string Locate(const std::u16string& modulePath) {
    return Locate(modulePath, static_cast<unsigned>(modulePath.size()));
}

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TEST(LocateSettingsFile, FindsTheFileBesideTheExecutable) {
    const struct {
        const char16_t* modulePath;
        const char* settingsPath;
    } cases[] = {
        {u"tunedesk.exe", "TUNEDESK.INI"},
        {u"C:\\tunedesk.exe", "C:\\TUNEDESK.INI"},
        {u"C:\\Tools\\Media\\Deep\\er\\Remote.exe", "C:\\Tools\\Media\\Deep\\er\\TUNEDESK.INI"},
        {u"\\\\server\\share\\tunedesk.exe", "\\\\server\\share\\TUNEDESK.INI"},
        {u"C:\\dir\\", "C:\\dir\\TUNEDESK.INI"},
        {u"C:\\Musique\\Caf\u00e9\\t.exe", "C:\\Musique\\Caf\xe9\\TUNEDESK.INI"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Locate(c.modulePath), c.settingsPath) << c.settingsPath;
}

// The reader takes only ANSI paths shorter than MAX_PATH: a directory too long, or named with
// letters the code page lacks, is read by its short name, and never by a look-alike spelling.
TEST(LocateSettingsFile, UsesTheShortNameWhereTheReaderCantTakeTheLongOne) {
    const std::string under = "C:\\" + std::string(243, 'x'), at = "C:\\" + std::string(244, 'x');
    std::string longest = "C:";
    while (longest.size() < desktop::LongestWideText - 40)
        longest += "\\a-long-folder-name";
    const std::u16string lukasz = u"C:\\Users\\\u0141ukasz", cjk = u"C:\\\u97f3\u697d";
    const std::u16string tooLongShort = u"C:\\" + std::u16string(ModulePathCapacity, u'S');
    const struct {
        std::u16string modulePath;
        const char16_t* shortPath;
        std::string settingsPath;
        const char* shortened;  // the directory whose short name is asked for
    } cases[] = {
        {Wide(under) + u"\\t.exe", u"C:\\XXXX~1", under + "\\TUNEDESK.INI", nullptr},    // 259
        {Wide(at) + u"\\t.exe", u"C:\\XXXX~1", "C:\\XXXX~1\\TUNEDESK.INI", at.c_str()},  // 260
        {Wide(at) + u"\\t.exe", nullptr, at + "\\TUNEDESK.INI", at.c_str()},
        {Wide(at) + u"\\t.exe", tooLongShort.c_str(), at + "\\TUNEDESK.INI", at.c_str()},
        {Wide(longest) + u"\\t.exe", u"C:\\A-LONG~1", "C:\\A-LONG~1\\TUNEDESK.INI",
         longest.c_str()},
        {Wide(longest) + u"\\t.exe", nullptr, longest + "\\TUNEDESK.INI", longest.c_str()},
        {lukasz + u"\\t.exe", u"C:\\Users\\UKASZ~1", "C:\\Users\\UKASZ~1\\TUNEDESK.INI",
         "C:\\Users\\\xc5\x81ukasz"},
        {lukasz + u"\\t.exe", nullptr, "", "C:\\Users\\\xc5\x81ukasz"},
        {cjk + u"\\t.exe", u"C:\\\u97f3~1", "", "C:\\\xe9\x9f\xb3\xe6\xa5\xbd"},
    };
    for (const auto& c : cases) {
        ResetDesktop();
        Desktop.shortPath = c.shortPath;
        EXPECT_EQ(Locate(c.modulePath), c.settingsPath);
        EXPECT_EQ(CallLog(), c.shortened
                                 ? "GetShortPathNameW(\"" + std::string(c.shortened) + "\")\n"
                                 : std::string());
    }
}

TEST(LocateSettingsFile, ReadsNoFileWhenTheModulePathIsMissingOrCut) {
    EXPECT_EQ(Locate(u"C:\\T\\tunedesk.exe", 0), "");
    EXPECT_EQ(Locate(u"C:\\T\\tunedesk.exe", ModulePathCapacity), "");
}

}  // namespace
