// Whole runs: the order of every platform call from the command line to the exit status.
#include "run/run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "unit/calls.h"

namespace {

struct RunCase {
    const char* name;
    const char* commandLine;
    const char16_t* modulePath;  // null: GetModuleFileNameW reports a cut path
    const char* settingsFile;
    const char* settingsText;
    const char* runningClass;
    const char* calls;
    int result;
};

TEST(RunSequence, CallsThePlatformInOrder) {
    const RunCase cases[] = {
        {"next", "tunedesk.exe /NEXT", u"C:\\T\\tunedesk.exe", INI, "", "Winamp v1.x",
         START READ_CLASS("C:\\T\\") FIND SENT(player, 40048), RunResult},
        {"program path only", "\"C:\\T\\tunedesk.exe\"", u"C:\\T\\tunedesk.exe", INI, "",
         "Winamp v1.x", START READ_CLASS("C:\\T\\") FIND, RunResult},
        {"class from the settings", "t /PLAY", u"C:\\Remote.exe", "C:\\TUNEDESK.INI",
         "[Configuration]\nClass=Other Player\n", "Other Player",
         START READ_CLASS("C:\\") "FindWindowA(\"Other Player\", null)\n" SENT(player, 40045),
         RunResult},
        {"empty class", "t /STOP", u"C:\\T\\tunedesk.exe", INI, "[Configuration]\nClass=\n",
         "Winamp v1.x", START READ_CLASS("C:\\T\\") FIND SENT(player, 40047), RunResult},
        {"/FOLLOW=OFF closes the followers without input, and never looks for or starts the player",
         "t /FOLLOW=OFF", u"C:\\T\\tunedesk.exe", INI, "[Configuration]\nAutoload=1\nPath=w.exe\n",
         nullptr, START READ_CLASS("C:\\T\\") "FindWindowExW(\"Tunedesk follower\")\n", RunResult},
        {"cut module path reads no settings", "t /HIDE bound", nullptr, INI,
         "[Commands]\nbound=5\n", "Winamp v1.x",
         START FIND "ShowWindow(player, 6)\nShowWindow(player, 0)\n" EXISTS("bound"), RunResult},
    };
    for (const RunCase& c : cases) {
        SetUpRun(c.commandLine, c.settingsText, c.runningClass);
        Desktop.modulePath = c.modulePath != nullptr ? c.modulePath : Desktop.modulePath;
        Desktop.modulePathCut = c.modulePath == nullptr;
        Desktop.settingsFile = c.settingsFile;
        EXPECT_EQ(RunSequence(nullptr), c.result) << c.name;
        EXPECT_EQ(CallLog(), std::string(c.calls)) << c.name;
    }
}

}  // namespace

namespace {

struct LaunchCase {
    const char* name;
    const char* commandLine;
    const char* settingsText;
    unsigned winExecResult;
    const char* startedClass;  // null: the player is slower than the wait
    const char* calls;
    int result;
};

#define ABSENT START READ_CLASS("C:\\T\\") FIND NUMBER("Autoload", 0)
#define PATH_READ              \
    NUMBER("PathOnCmdLine", 0) \
    "GetPrivateProfileStringA(\"Configuration\", \"Path\", \"\", 260, \"" INI "\")\n"
#define STARTED(path, wait) \
    "WinExec(\"" path "\", 1)\n" NUMBER("WaitLength", 1000) "Sleep(" #wait ")\n" FIND
#define HIDE_ON_LOAD NUMBER("HideOnLoad", 0)
#define AUTOLOAD "[Configuration]\nAutoload=1\n"
#define WINAMP AUTOLOAD "Path=C:\\P\\winamp.exe\n"

const std::string LongPath(300, 'p'), LongestPath(259, 'p'), TooLongPath(260, 'p');

// The calls of a start from argument 1, with its echo.
std::string StartedFromArgument(const std::string& path) {
    return ABSENT NUMBER("PathOnCmdLine", 0) "MessageBoxA(none, \"" + path + "\", \"" + path +
           "\", 0x0)\nWinExec(\"" + path +
           "\", 1)\n" NUMBER("WaitLength", 1000) "Sleep(1000)\n" FIND HIDE_ON_LOAD SENT(player,
                                                                                        40045);
}

TEST(LaunchPlayer, StartsAnAbsentPlayerOnlyWhenAsked) {
    const std::string longPathLine = "t " + LongPath + " /PLAY";
    const std::string longestLine = "t " + LongestPath + " /PLAY";
    const std::string tooLongLine = "t " + TooLongPath + " /PLAY";
    const std::string startedFromLongest = StartedFromArgument(LongestPath);
    const LaunchCase cases[] = {
        {"autoload absent", "t /NEXT", "", 33, "Winamp v1.x", ABSENT SENT(none, 40048), RunResult},
        {"autoload 2", "t /NEXT", "[Configuration]\nAutoload=2\nPath=C:\\P\\w.exe\n", 33,
         "Winamp v1.x", ABSENT SENT(none, 40048), RunResult},
        {"no path", "t /NEXT", AUTOLOAD, 33, "Winamp v1.x",
         ABSENT PATH_READ BOX("WinAmp is not running.", "Tunedesk", 0x30), NotRunningResult},
        {"start", "t /NEXT", WINAMP, 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD SENT(player, 40048),
         RunResult},
        {"start refused", "t /NEXT", WINAMP, 2, "Winamp v1.x",
         ABSENT PATH_READ "WinExec(\"C:\\P\\winamp.exe\", 1)\n" BOX(
             "Unable to start Winamp.", "Tunedesk", 0x30) SENT(none, 40048),
         RunResult},
        {"no wait", "t", WINAMP "WaitLength=0\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 0) HIDE_ON_LOAD, RunResult},
        {"negative wait", "t", WINAMP "WaitLength=-1\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 0) HIDE_ON_LOAD, RunResult},
        {"player slower than the wait", "t /HIDE /PLAY", WINAMP, 33, nullptr,
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(none) HIDDEN(none)
             SENT(none, 40045),
         RunResult},
        {"hide on load", "t /PLAY", WINAMP "HideOnLoad=1\n", 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(player)
             SENT(player, 40045),
         RunResult},
        {"hide asked", "t /hide", WINAMP, 33, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD HIDDEN(player)
             HIDDEN(player),
         RunResult},
        {"path on the command line", "t \"C:\\P\\winamp.exe\" /PLAY", AUTOLOAD "PathOnCmdLine=1\n",
         33, "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("C:\\P\\winamp.exe", "C:\\P\\winamp.exe", 0x0)
             STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD SENT(player, 40045),
         RunResult},
        {"no argument 1", "t", AUTOLOAD "PathOnCmdLine=1\n", 33, "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("WinAmp is not running.", "Tunedesk", 0x30),
         NotRunningResult},
        {"argument 1 too long", longPathLine.c_str(), AUTOLOAD "PathOnCmdLine=1\n", 33,
         "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("Unable to start Winamp.", "Tunedesk", 0x30)
             SENT(none, 40045),
         RunResult},
        {"argument 1 as long as a path can be", longestLine.c_str(), AUTOLOAD "PathOnCmdLine=1\n",
         33, "Winamp v1.x", startedFromLongest.c_str(), RunResult},
        {"argument 1 one longer", tooLongLine.c_str(), AUTOLOAD "PathOnCmdLine=1\n", 33,
         "Winamp v1.x",
         ABSENT NUMBER("PathOnCmdLine", 0) BOX("Unable to start Winamp.", "Tunedesk", 0x30)
             SENT(none, 40045),
         RunResult},
        {"WinExec's 32 is a start", "t /NEXT", WINAMP, 32, "Winamp v1.x",
         ABSENT PATH_READ STARTED("C:\\P\\winamp.exe", 1000) HIDE_ON_LOAD SENT(player, 40048),
         RunResult},
    };
    for (const LaunchCase& c : cases) {
        SetUpRun(c.commandLine, c.settingsText, nullptr);
        Desktop.winExecResult = c.winExecResult;
        Desktop.startedClass = c.startedClass;
        EXPECT_EQ(RunSequence(nullptr), c.result) << c.name;
        EXPECT_EQ(CallLog(), std::string(c.calls)) << c.name;
    }
}

}  // namespace

namespace {

// "/?" as argument 1 shows the help and nothing else; anywhere else it is an ordinary word.
TEST(RunSequence, ShowsHelpOnlyForArgumentOne) {
    // The help of a folder this deep is cut within the folder's name, never overrun.
    const std::u16string deep = u"C:\\" + std::u16string(8100, u'a') + u"\\t.exe";
    const std::string cutHere = std::string(40, 'a') + "\", \"Tunedesk\", 0x40)\n";
    const struct {
        const char* commandLine;
        const char16_t* modulePath;
        const char16_t* shortPath;
        bool settingsExist;
        std::string fragment;  // in the help box, or in the calls when there is none
    } cases[] = {
        {"t /?", u"C:\\T\\t.exe", nullptr, true,
         "Your words in [Commands]: volup, /VOLDOWN\n\nSettings "
         "file:\nC:\\T\\TUNEDESK.INI\n(found)"},
        {"t \"/?\" /NEXT", u"C:\\T\\t.exe", nullptr, false,
         "C:\\T\\TUNEDESK.INI\n(not found: every setting takes its default)"},
        {"t /?", u"C:\\\u0141\u00f3d\u017a\\t.exe", u"C:\\ODZ~1", true,
         "Settings file:\nC:\\\u0141\u00f3d\u017a\\TUNEDESK.INI\n(found)"},
        {"t /?", u"C:\\\u0141\u00f3d\u017a\\t.exe", nullptr, true,
         "words in [Commands]: none\n\nSettings file:\nC:\\\u0141\u00f3d\u017a\\TUNEDESK.INI\n(not "
         "read: this system's code page can't spell its folder's name)"},
        {"t /NEXT /?", u"C:\\T\\t.exe", nullptr, true,
         "SendMessageTimeoutA(player, 0x111, 40048, 0)"},
        {"t /?", deep.c_str(), nullptr, true, "/REPEAT=ON\tor OFF, or TRACK: one track\n"},
        {"t /?", deep.c_str(), nullptr, true, cutHere},
        {"t /?", nullptr, nullptr, true,
         "Settings file:\nunknown: the program's path can't be read\", \"Tunedesk\", 0x40)"},
    };
    for (const auto& c : cases) {
        SetUpRun(c.commandLine, "[Commands]\nvolup=40058\n/VOLDOWN=40059\nzero=0\n/NEXT=1\n");
        Desktop.modulePath = c.modulePath != nullptr ? c.modulePath : Desktop.modulePath;
        Desktop.modulePathCut = c.modulePath == nullptr;
        Desktop.shortPath = c.shortPath;
        Desktop.settingsFile = nullptr;
        Desktop.settingsExist = c.settingsExist;
        EXPECT_EQ(RunSequence(nullptr), RunResult) << c.commandLine;
        const std::string calls = CallLog();
        EXPECT_NE(calls.find(c.fragment), std::string::npos) << calls;
        const bool help = calls.find("\", \"Tunedesk\", 0x40)\n") != std::string::npos;
        EXPECT_EQ(help, calls.find("FindWindowA") == std::string::npos) << calls;
    }
}

}  // namespace

namespace {

// A block as the follower writes it, of the double's player with these values.
std::string Block(int done, const char* status = "Playing", const char* title = "Artist C - Three",
                  const char* position = "83.250", int volume = 78, int track = 3,
                  const char* repeat = "off", const char* shuffle = "on") {
    const char* files[] = {"C:\\M\\one.mp3", "C:\\M\\two.flac", "C:\\M\\音.mp3"};
    const char* tags[] = {"artist Artist A\r\nalbum One\r\nalbumartist \r\nyear 1999\r\ngenre Pop",
                          "artist Artist B\r\nalbum Two\r\nalbumartist Various\r\nyear 2001\r\n"
                          "genre Rock",
                          "artist Artist Ç\r\nalbum 三\r\nalbumartist Various\r\nyear 2003\r\n"
                          "genre Jazz"};
    return "done " + std::to_string(done) + "\r\nstatus " + status + "\r\ntitle " + title +
           "\r\nposition " + position + "\r\nlength 240.000\r\nvolume " + std::to_string(volume) +
           "\r\ntrack " + std::to_string(track) + "\r\ntracks 4\r\nshuffle " + shuffle +
           "\r\nrepeat " + repeat + "\r\nfile " + files[track - 1] + "\r\n" + tags[track - 1] +
           "\r\nrating 4\r\n\r\n";
}

std::string Gone(int done) {
    return "done " + std::to_string(done) + "\r\nstatus Not running\r\n\r\n";
}

// The media controls' calls: opened up to IsEnabled, the double's player shown on them at entry 3
// and 1, the player gone, and the controls closed.
#define OPENED                                                                          \
    "RoInitialize(1)\nGetForWindow(follower)\nput_IsButtonEnabled(0, 1)\n"              \
    "put_IsButtonEnabled(1, 1)\nput_IsButtonEnabled(2, 1)\nput_IsButtonEnabled(6, 1)\n" \
    "put_IsButtonEnabled(7, 1)\nadd_ButtonPressed()\nput_IsEnabled(1)\n"
#define SHOWN_THREE                                                                           \
    "put_Type(1)\nput_Title(\"Three\")\nput_Artist(\"Artist Ç\")\nput_AlbumTitle(\"三\")\n" \
    "put_AlbumArtist(\"Various\")\nput_Thumbnail(\"\")\nUpdate()\nput_PlaybackStatus(3)\n"
#define SHOWN_ONE                                                             \
    "put_Title(\"One\")\nput_Artist(\"Artist A\")\nput_AlbumTitle(\"One\")\n" \
    "put_AlbumArtist(\"\")\nput_Thumbnail(\"\")\nUpdate()\n"
#define TIMELINE(position)                        \
    "UpdateTimelineProperties(240000, " #position \
    ")\nput_ShuffleEnabled(1)\nput_AutoRepeatMode(0)\n"
#define GONE_FROM_CONTROLS "put_PlaybackStatus(2)\nClearAll()\nput_IsEnabled(0)\n"
#define CLOSED                                                                       \
    "put_PlaybackStatus(2)\nremove_ButtonPressed()\nremove_Requests()\nClearAll()\n" \
    "put_IsEnabled(0)\nReleaseMediaControls()\nReleaseMutex()\n"

// Each wait of the follower is a caption poll, 250 ms; the position moves on while playing.
TEST(RunFollow, WritesABlockAtTheStartAfterEachLineAndOnEachChange) {
    const std::string longLine = std::string(1100, 'x') + "\n/PAUSE\n";
    const struct {
        const char* name;
        const char* input;
        void (*between)(int wait);  // -1 before the follower starts; the input ends before wait 14
        std::string printed;
        const char* logged = "";  // lines that must be among the calls too
        int tagReads = -1;        // blocks reserved in the player for its tags, if it matters
        int fullReads = -1;       // state reads, which alone ask the rating, if it matters
        // What follows /FOLLOW but its options is ignored.
        const char* commandLine = "t /FOLLOW /NEXT";
        const char* file = nullptr;      // what C:\np.txt holds at the end
        const char* errors = "";         // what standard error is told
        const char* controls = nullptr;  // the media controls' calls, if they matter
        void (*setUp)() = nullptr;       // the desktop, before the run
        // After a line's call, its block's writes that come before a question: the state is read
        // only after what must not wait for it.
        const char* afterLine = nullptr;
        int writes = 0;
        const char* question = nullptr;
    } cases[] = {
        {"lines that come together, an empty one counted, answered by one block",
         "/PAUSE\r\n\n/VOLUME=50\n/STATUS", nullptr,
         Block(0) + Block(4, "Paused", "Artist C - Three", "83.250", 50)},
        {"a Set's block reads again what it changes, not the title, the file or the tags",
         "/VOLUME=50\n", nullptr, Block(0) + Block(1, "Playing", "Artist C - Three", "83.250", 50),
         "", -1, -1, "t /FOLLOW /NEXT", nullptr, "", nullptr, nullptr, "0x400, 128, 122", 2,
         ", 213, "},
        {"after Next, its done comes before the player is asked for its state", "/NEXT\n", nullptr,
         Block(0, "Playing", "Artist B - Two", "83.250", 78, 2) + Block(1), "", -1, -1,
         "t /FOLLOW /NEXT", nullptr, "", nullptr, [] { Desktop.player.track = 1; }, "0x111, 40048",
         1, ", 0, 104, "},
        {"a line longer than a slot, cut", longLine.c_str(), nullptr,
         Block(0) + Block(2, "Paused")},
        {"no player, no input", "", nullptr, Gone(0)},
        {"playing on writes nothing", "",
         [](int wait) {
             if (wait == 12) Desktop.runningClass = nullptr;
         },
         Block(0) + Gone(0)},
        {"a caption change, and the new entry's title and tags from the player's memory", "",
         [](int wait) {
             if (wait == 2) Desktop.player.caption = u"1. Other - Song - Winamp";
             if (wait == 2) Desktop.player.track = 0;
             if (wait == 3) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist A - One", "84.000", 78, 1) + Gone(0), "", 2},
        {"a scrolling caption alone writes nothing, and the tags are read once", "",
         [](int wait) {
             static const char16_t* const scrolled[] = {u"ee - Winamp *** 3. Artist C - Thr",
                                                        u"e - Winamp *** 3. Artist C - Thre",
                                                        u" - Winamp *** 3. Artist C - Three"};
             if (wait >= 0) Desktop.player.caption = scrolled[wait % 3];
             if (wait == 12) Desktop.runningClass = nullptr;
         },
         Block(0) + Gone(0), "", 1, 4},
        {"the track number alone changes: seen at the next caption poll, not the state poll", "",
         [](int wait) {
             if (wait == 1) Desktop.player.playlist.titles[1] = u"Artist C - Three";
             if (wait == 1) Desktop.player.caption = u"2. Artist C - Three - Winamp";
             if (wait == 1) Desktop.player.track = 1;
             if (wait == 5) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "83.750", 78, 2) + Gone(0)},
        {"a template on standard output in place of blocks, a line when it changes", "",
         [](int wait) {
             if (wait == 2) Desktop.player.caption = u"1. Other - Song - Winamp";
             if (wait == 2) Desktop.player.track = 0;
             if (wait == 9) Desktop.player.volume = 255;  // not in the template: no line
             if (wait == 12) Desktop.runningClass = nullptr;
         },
         "Playing Three 3\r\nPlaying One 1\r\nNot running  \r\n", "", -1, -1,
         "t /FOLLOW \"/FORMAT={{status}} {{title}} {{track}}\" /FORMAT=x", nullptr,
         "tunedesk: /FOLLOW: standard output takes one template; passed over: /FORMAT=x\r\n"},
        {"a now-playing file beside the blocks, replaced whole, its position once a second", "",
         [](int wait) {
             if (wait == 2) Desktop.player.status = Paused;
             if (wait == 2) Desktop.player.caption = u"3. Artist C - Three - Winamp [Paused]";
             if (wait == 6) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Paused", "Artist C - Three", "83.750") + Gone(0),
         "CreateFileW(\"C:\\np.txt.42.new\")\nMoveFileExW(\"C:\\np.txt.42.new\", \"C:\\np.txt\")\n",
         -1, -1, "t /FOLLOW /OUTPUT=a.txt /FORMAT={{status}}:{{position}} /OUTPUT=C:\\np.txt",
         "Not running:",
         "tunedesk: /FOLLOW: /OUTPUT= goes right after a /FORMAT=; passed over: /OUTPUT=a.txt\r\n"},
        {"a file that can't be replaced is said once and tried again at the next state poll", "",
         [](int wait) { Desktop.refuseReplace = wait < 6; }, Block(0), "", -1, -1,
         "t /FOLLOW /FORMAT={{title}} /OUTPUT=C:\\np.txt", "Three",
         "tunedesk: /FOLLOW: can't write C:\\np.txt\r\n"},
        {"no input of its own: it runs until its hidden window is closed, as /FOLLOW=OFF does",
         nullptr,
         [](int wait) {
             using namespace desktop;
             if (wait == 8)
                 PostMessageW(FindWindowExW(nullptr, nullptr, u"Tunedesk follower", nullptr),
                              WM_CLOSE, 0, 0);
         },
         Block(0), "CreateWindowExW(\"Tunedesk follower\")\nDestroyWindow(follower)\n"},
        {"the media controls opened in order; a title change once, scrolling not at all; the "
         "player "
         "gone, back, and the follower ending",
         "",
         [](int wait) {
             static const char16_t* const scrolled[] = {u"ne - Winamp *** 1. Artist A - O",
                                                        u"e - Winamp *** 1. Artist A - On"};
             if (wait == 2) Desktop.player.caption = u"1. Artist A - One - Winamp";
             if (wait == 2) Desktop.player.track = 0;
             if (wait >= 4 && wait < 8) Desktop.player.caption = scrolled[wait % 2];
             if (wait == 8) Desktop.runningClass = nullptr;
             if (wait == 11) Desktop.runningClass = "Winamp v1.x";
         },
         Block(0) + Block(0, "Playing", "Artist A - One", "84.000", 78, 1) + Gone(0) +
             Block(0, "Playing", "Artist A - One", "86.250", 78, 1),
         "", -1, -1, "t /FOLLOW /MEDIACONTROLS", nullptr, "",
         OPENED "QueryControls2()\nadd_Requests()\n" SHOWN_THREE TIMELINE(83250) SHOWN_ONE
         "UpdateTimelineProperties(240000, 84000)\n" GONE_FROM_CONTROLS "put_IsEnabled(1)\n"
         "put_Type(1)\n" SHOWN_ONE "put_PlaybackStatus(3)\n" TIMELINE(86250) CLOSED},
        {"the media controls' buttons and requests: what the companion's calls send, no line "
         "counted",
         "",
         [](int wait) {
             using desktop::MediaButton;
             using desktop::MediaRequest;
             const auto press = [](auto what, std::intptr_t value = 0) {
                 PressMediaButton(static_cast<std::uintptr_t>(what), value);
             };
             if (wait == 1) press(MediaButton::Play);  // while playing: nothing
             if (wait == 2) press(MediaButton::Pause);
             if (wait == 3) press(MediaButton::Pause);  // while paused: nothing
             if (wait == 4) press(MediaButton::Play);
             if (wait == 5) press(MediaRequest::Position, 30000);
             if (wait == 6) press(MediaRequest::Shuffle, 0);
             if (wait == 7) press(MediaRequest::Repeat, 1);
             if (wait == 8) press(MediaButton::Next);
             if (wait == 9) press(MediaButton::Previous);
             if (wait == 10) press(MediaButton::Stop);
             if (wait == 11) press(MediaButton::Pause);  // while stopped: nothing
         },
         Block(0) + Block(0, "Paused", "Artist C - Three", "83.500") +
             Block(0, "Playing", "Artist C - Three", "83.500") +
             Block(0, "Playing", "Artist C - Three", "30.000") +
             Block(0, "Playing", "Artist C - Three", "30.000", 78, 3, "off", "off") +
             Block(0, "Playing", "Artist C - Three", "30.000", 78, 3, "track", "off") +
             "done 0\r\nstatus Playing\r\ntitle 音\r\nposition 30.000\r\nlength 240.000\r\n"
             "volume 78\r\ntrack 4\r\ntracks 4\r\nshuffle off\r\nrepeat track\r\n"
             "file http://radio.example/stream\r\nartist \r\nalbum \r\nalbumartist \r\nyear \r\n"
             "genre \r\nrating 4\r\n\r\n" +
             Block(0, "Playing", "Artist C - Three", "30.000", 78, 3, "track", "off") +
             Block(0, "Stopped", "Artist C - Three", "", 78, 3, "track", "off"),
         "", -1, -1, "t /FOLLOW /MEDIACONTROLS"},
        {"the media controls refuse a property, and have no timeline: the rest are set", "",
         [](int wait) {
             if (wait == 3) Desktop.runningClass = nullptr;
         },
         Block(0) + Gone(0), "", -1, -1, "t /FOLLOW /MEDIACONTROLS", nullptr, "",
         OPENED "QueryControls2()\n" SHOWN_THREE GONE_FROM_CONTROLS
                "put_PlaybackStatus(2)\nremove_ButtonPressed()\nClearAll()\nput_IsEnabled(0)\n"
                "ReleaseMediaControls()\nReleaseMutex()\n",
         [] {
             Desktop.refusedControl = "put_AlbumArtist";
             Desktop.controls2 = false;
         }},
        {"no media controls here: said once, and the follower goes on", "",
         [](int wait) {
             if (wait == 3) Desktop.player.volume = 255;
             if (wait == 6) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "84.250", 100) + Gone(0), "", -1, -1,
         "t /FOLLOW /MEDIACONTROLS", nullptr,
         "tunedesk: /MEDIACONTROLS: Windows' media controls are not available here\r\n",
         "RoInitialize(1)\nGetForWindow(follower)\nReleaseMutex()\n",
         [] { Desktop.controlsFound = desktop::REGDB_E_CLASSNOTREG; }},
        {"a step before IsEnabled refused: said once, and no controls from then on", "",
         [](int wait) {
             if (wait == 3) Desktop.runningClass = nullptr;
             if (wait == 5) Desktop.runningClass = "Winamp v1.x";
         },
         Block(0) + Gone(0) + Block(0, "Playing", "Artist C - Three", "84.500"), "", -1, -1,
         "t /FOLLOW /MEDIACONTROLS", nullptr,
         "tunedesk: /MEDIACONTROLS: Windows refused the media controls; going on without them\r\n",
         OPENED "ReleaseMediaControls()\nReleaseMutex()\n",
         [] { Desktop.refusedControl = "put_IsEnabled(1)"; }},
        {"a second follower leaves the controls to the first, and takes them over when it ends", "",
         [](int wait) {
             Desktop.controlsOwned = wait < 5;
             if (wait == 9) Desktop.runningClass = nullptr;
         },
         Block(0) + Gone(0), "", -1, -1, "t /FOLLOW /MEDIACONTROLS", nullptr,
         "tunedesk: /MEDIACONTROLS: another follower shows the player there; this one takes over "
         "when "
         "it ends\r\n",
         OPENED "QueryControls2()\nadd_Requests()\n" SHOWN_THREE TIMELINE(85250)
             GONE_FROM_CONTROLS CLOSED,
         [] { Desktop.controlsOwned = true; }},
        {"a volume change, seen at the next caption poll", "",
         [](int wait) {
             if (wait == 1) Desktop.player.volume = 255;
             if (wait == 5) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "83.750", 100) + Gone(0)},
        {"a jump", "",
         [](int wait) {
             if (wait == 5) Desktop.player.position += 5000;
             if (wait == 9) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "89.750") + Gone(0)},
        {"a backward jump", "",
         [](int wait) {
             if (wait == 5) Desktop.player.position -= 5000;
             if (wait == 9) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "79.750") + Gone(0)},
        {"a change of repeat alone", "",
         [](int wait) {
             if (wait == 1) Desktop.player.repeat = On;
             if (wait == 5) Desktop.runningClass = nullptr;
         },
         Block(0) + Block(0, "Playing", "Artist C - Three", "83.750", 78, 3, "on") + Gone(0)},
        {"a caption that gets shorter, seen at the next caption poll", "",
         [](int wait) {
             if (wait < 0) Desktop.player.status = Paused;
             if (wait < 0) Desktop.player.caption = u"3. Artist C - Three - Winamp [Paused]";
             if (wait == 2) Desktop.player.status = Playing;
             if (wait == 2) Desktop.player.caption = u"3. Artist C - Three - Winamp";
             if (wait == 5) Desktop.runningClass = nullptr;
         },
         Block(0, "Paused") + Block(0, "Playing", "Artist C - Three", "83.500") + Gone(0)},
        {"a paused player silent a while, then answering as before, gets no second block", "",
         [](int wait) {
             Desktop.player.status = Paused;
             Desktop.player.hung = wait >= 1 && wait < 6;
             if (wait == 10) Desktop.runningClass = nullptr;
         },
         Block(0, "Paused") + Gone(0)},
        {"a player that stops answering keeps its block, waited for 1 s, then 100 ms", "/NEXT\n",
         [](int wait) { Desktop.player.hung = wait >= 0; }, Block(0) + Block(1),
         "SendMessageTimeoutA(player, 0x400, 0, 104, 2, 1000)\n"
         "SendMessageTimeoutA(player, 0x400, 0, 104, 2, 100)\n"},
    };
    for (const auto& c : cases) {
        const bool quiet = c.between == nullptr && (c.input == nullptr || *c.input == '\0');
        SetUpRun(c.commandLine, "", quiet ? nullptr : "Winamp v1.x");
        Desktop.settingsFile = nullptr;
        Desktop.input = c.input;
        Desktop.inputAt = c.between != nullptr ? 14 : 0;
        Desktop.between = c.between;
        Desktop.waits = 20;
        if (c.setUp != nullptr) c.setUp();
        if (c.between != nullptr) c.between(-1);
        EXPECT_EQ(RunSequence(nullptr), RunResult) << c.name;
        EXPECT_EQ(Printed(), c.printed) << c.name;
        std::istringstream logged(c.logged);
        for (std::string call; std::getline(logged, call);)
            EXPECT_NE(std::string(CallLog()).find(call), std::string::npos) << c.name << call;
        EXPECT_EQ(ReservedBlocks(), 0) << c.name;
        EXPECT_STREQ(FileText(u"C:\\np.txt"), c.file) << c.name;
        if (c.afterLine != nullptr) {
            const std::string log = CallLog();
            const std::size_t line = log.find(c.afterLine);
            std::size_t write = line;
            for (int count = 0; count < c.writes && write != std::string::npos; ++count)
                write = log.find("WriteFile(stdout", write + 1);
            EXPECT_LT(write, log.find(c.question, line)) << c.name;
        }
        if (c.controls != nullptr) {
            EXPECT_EQ(ControlsCalls(), std::string(c.controls)) << c.name;
        }
        EXPECT_EQ(Errors(), c.errors) << c.name;
        if (c.tagReads >= 0) {
            EXPECT_EQ(Occurrences(CallLog(), "VirtualAllocEx("), c.tagReads) << c.name;
        }
        if (c.fullReads >= 0) {
            EXPECT_EQ(Occurrences(CallLog(), "SendMessageTimeoutA(player, 0x400, 0, 640, "),
                      c.fullReads)
                << c.name;
        }
    }
}

}  // namespace
