// The two-way switches: reading numbers, writing lines, and whole passes against a scripted
// player, including the answers a 64-bit Tunedesk gets from the 32-bit player.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "control/output.h"
#include "control/setters.h"
#include "run/run.h"
#include "unit/calls.h"

namespace {

// A file whose path is 260 characters long, too long for the player to insert.
const std::string LongPath = "C:\\M\\" + std::string(251, 'x') + ".mp3";
const std::u16string WideLongPath(LongPath.begin(), LongPath.end());

// The tag lines and rating of a state read whose file is unknown.
#define NO_TAGS "artist \r\nalbum \r\nalbumartist \r\nyear \r\ngenre \r\nrating 4\r\n"
// The /QUERY lines of the double's playing player up to its tags, with these track lines.
#define QUERY_LINES(tracks)                                                             \
    "status Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n" \
    "volume 78\r\n" tracks "\r\nshuffle on\r\nrepeat off\r\nfile C:\\M\\音.mp3\r\n"

TEST(Remote, ParsesAmounts) {
    const struct {
        const char* text;
        bool valid;
        std::int64_t value;
        bool relative;
    } cases[] = {
        {"50", true, 50, false},
        {"+10", true, 10, true},
        {"-5", true, -5, true},
        {"007", true, 7, false},
        {"0", true, 0, false},
        {"-0", true, 0, true},
        {"2147483", true, 2147483, false},
        {"2147484", false, 0, false},
        {"99999999999", false, 0, false},
        {"", false, 0, false},
        {"+", false, 0, false},
        {"-", false, 0, false},
        {"1:30", false, 0, false},
        {"5x", false, 0, false},
        {"=5", false, 0, false},
        {"+-5", false, 0, false},
        {" 5", false, 0, false},
        {"0x10", false, 0, false},
        {"1.5", false, 0, false},  // whole numbers only, at a scale of 1
    };
    for (const auto& c : cases) {
        Amount amount{-1, false};
        ASSERT_EQ(ParseAmount(c.text, amount), c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(amount.value, c.value) << c.text;
        EXPECT_EQ(amount.relative, c.relative) << c.text;
    }
    const struct {
        const char* text;
        std::int64_t milliseconds;  // -1: refused
    } seconds[] = {{"30.6", 30600},
                   {"+0.25", 250},
                   {"-1.005", -1005},
                   {"30", 30000},
                   {"2147483.647", INT32_MAX},
                   {"1.2345", -1},
                   {"1.", -1},
                   {".5", -1},
                   {"1.5x", -1}};
    for (const auto& c : seconds) {
        Amount amount{-1, false};
        EXPECT_EQ(ParseAmount(c.text, amount, 1000) ? amount.value : -1, c.milliseconds) << c.text;
    }
}

TEST(Remote, ConvertsVolumeAndPercent) {
    const struct {
        int volume, percent;
    } toPercent[] = {{0, 0},    {1, 0},     {2, 1},     {127, 50}, {128, 50},
                     {200, 78}, {254, 100}, {255, 100}, {-5, 0},   {300, 100}};
    for (const auto& c : toPercent)
        EXPECT_EQ(PercentFromVolume(c.volume), c.percent) << c.volume;
    const struct {
        int percent, volume;
    } toVolume[] = {{0, 0}, {1, 3}, {49, 125}, {50, 128}, {51, 130}, {78, 199}, {100, 255}};
    for (const auto& c : toVolume)
        EXPECT_EQ(VolumeFromPercent(c.percent), c.volume) << c.percent;
}

std::string Title(const std::u16string& caption) {
    PlayerState state{};
    state.running = true;
    TakeTitle(state, caption.c_str());
    ::Line line{};
    AppendValue(line, Field::Title, state);
    return std::string(line.text, line.length);
}

std::string Repeated(const std::string& text, int count) {
    std::string repeated;
    while (count-- > 0)
        repeated += text;
    return repeated;
}

TEST(Remote, WritesTimesAndTitles) {
    const struct {
        std::int32_t milliseconds;
        const char* text;
    } times[] = {{0, "0.000"},      {999, "0.999"}, {1000, "1.000"},
                 {83250, "83.250"}, {-1, ""},       {INT32_MAX, "2147483.647"}};
    for (const auto& c : times) {
        ::Line line{};
        AppendMilliseconds(line, c.milliseconds);
        EXPECT_EQ(std::string(line.text, line.length), c.text) << c.milliseconds;
    }
    const struct {
        std::u16string caption;
        std::string title;
    } titles[] = {
        {u"3. Artist - Title - Winamp", "Artist - Title"},
        {u"3. Artist - Title - Winamp [Paused]", "Artist - Title"},
        {u"12. Artist - Title - Winamp [Gestoppt]", "Artist - Title"},
        {u"Artist - Title - Winamp", "Artist - Title"},
        {u"Song - Winamp Remix - Winamp", "Song - Winamp Remix"},
        {u"3.Artist - Winamp", "3.Artist"},
        {u"1999. - Winamp", ""},
        {u"Winamp 5.9.2 Build 10042", ""},
        {u"", ""},
        {u". Title - Winamp", ". Title"},
        {u"1. Beyonc\u00e9 \u2013 Halo - Winamp", "Beyoncé – Halo"},
        {u"2. \u5742\u672c\u9f8d\u4e00 - Merry Christmas Mr. Lawrence - Winamp [Paused]",
         "坂本龍一 - Merry Christmas Mr. Lawrence"},
        {u"\U0001F3B5 \u00dcn\u00efc\u00f6d\u00e9 - \u03a9 - Winamp", "🎵 Ünïcödé - Ω"},
        {u"lone \xd83c and \xdfb5 - Winamp", "lone \uFFFD and \uFFFD"},
        {u"\xdfb5\xdc00 - Winamp", "\uFFFD\uFFFD"},
    };
    for (const auto& c : titles)
        EXPECT_EQ(Title(c.caption), c.title) << c.title;
}

// A title longer than a line is cut before the line end, never inside a character.
TEST(Remote, CutsALongTitleAtACharacterBoundary) {
    const std::u16string twoByte(600, u'\u00e9'), fourByte = [] {
        std::u16string notes;
        for (int note = 0; note < 300; ++note)
            notes += u"\U0001F3B5";
        return notes;
    }();
    const struct {
        std::u16string caption;
        std::string title;
    } titles[] = {
        {twoByte + u" - Winamp", Repeated("é", 510)},
        {fourByte + u" - Winamp", Repeated("🎵", 255)},
        {u"x" + fourByte + u" - Winamp", "x" + Repeated("🎵", 254)},
        {u"x" + fourByte + u"y - Winamp", "x" + Repeated("🎵", 254)},
    };
    for (const auto& c : titles)
        EXPECT_TRUE(Title(c.caption) == c.title) << c.title.size();
}

// The settings the player received: "ipc ID VALUE" for WM_USER settings, "command N".
std::string Sent() {
    std::istringstream calls(CallLog());
    std::string call, sent;
    while (std::getline(calls, call)) {
        long long data, id;
        if (std::sscanf(call.c_str(), "SendMessageTimeoutA(player, 0x400, %lld, %lld)", &data,
                        &id) == 2 &&
            (id == 101 || id == 106 || id == 121 || id == 252 || id == 253 || id == 635 ||
             id == 639 || (id == 122 && data != -666))) {
            sent += "ipc " + std::to_string(id) + " " + std::to_string(data) + "\n";
        } else if (std::sscanf(call.c_str(), "SendMessageTimeoutA(playlist, 0x400, 104, %lld",
                               &data) == 1) {
            sent += "remove " + std::to_string(data) + "\n";
        } else if (call.rfind("SendMessageTimeoutA(playlist, copydata 114, 524, ", 0) == 0) {
            const std::size_t text = call.find('"'), end = call.rfind('"');
            sent += "insert " +
                    call.substr(call.rfind(' ', call.rfind(')')) + 1,
                                call.rfind(')') - call.rfind(' ', call.rfind(')')) - 1) +
                    " " + call.substr(text + 1, end - text - 1) + "\n";
        } else if (call.rfind("SendMessageTimeoutA(player, copydata 1100, ", 0) == 0) {
            const std::size_t text = call.find('"');
            sent += "add " + call.substr(text + 1, call.rfind('"') - text - 1) + "\n";
        } else if (std::sscanf(call.c_str(), "SendMessageTimeoutA(player, 0x111, %lld", &data) ==
                   1) {
            sent += "command " + std::to_string(data) + "\n";
        }
    }
    return sent;
}

TEST(Remote, AnswersAndSetsInOrder) {
    const std::string longTag = std::string(1020, 'x') + "\r\n\r\n" +
                                QUERY_LINES("track 3\r\ntracks 3") + "artist " +
                                std::string(1013, 'x') +
                                "\r\nalbum \r\nalbumartist Various\r\nyear 2003\r\n"
                                "genre Jazz\r\nrating 4\r\n";
    const std::string longEntry = std::string(1020, 'x') + "\r\n";
    const std::string longInsert = "t /INSERT song.mp3 " + LongPath + " C:\\M";
    const std::string longRefused = "tunedesk: /INSERT: path too long: " + LongPath + "\r\n";
    const std::string templateLine = "t /FORMAT=" + std::string(992, '-') + "{{title}}";
    const std::string templateOutput = std::string(992, '-') + std::string(28, 'x') + "\r\n";
    const struct {
        const char* name;
        const char* commandLine;
        void (*setUp)();
        const char* output;
        const char* sent;
        int kept = 0;                // blocks left in the player's memory
        const char* errors = "";     // what standard error is told
        const char* file = nullptr;  // what C:\np.txt holds afterwards
    } cases[] = {
        {"queries", "t /STATUS /title /POSITION /LENGTH /VOLUME /TRACK", [] {},
         "Playing\r\nArtist C - Three\r\n83.250\r\n240.000\r\n78\r\n3/4\r\n", ""},
        {"stopped, as a 32-bit player's -1 arrives either way", "t /STATUS /POSITION /LENGTH",
         [] {
             Desktop.player.status = Stopped;
             Desktop.player.length = NoTime;
             Desktop.player.zeroExtended = true;
         },
         "Stopped\r\n\r\n\r\n", ""},
        {"a title in UTF-8", "t /TITLE",
         [] { Desktop.player.playlist.titles[2] = u"\u5742\u672c\u9f8d\u4e00 - Merry"; },
         "坂本龍一 - Merry\r\n", ""},
        {"the title as the player holds it, not as its scrolling caption shows it", "t /TITLE",
         [] { Desktop.player.caption = u"ree - Winamp *** 3. Artist C - Th"; },
         "Artist C - Three\r\n", ""},
        {"a player without the title questions: the caption's", "t /TITLE /FILE",
         [] {
             Desktop.player.playlist.lie = 1;
             Desktop.player.caption = u"3. From The Caption - Winamp [Paused]";
         },
         "From The Caption\r\n\r\n", ""},
        {"query everything", "t /QUERY", [] { Desktop.player.tracks = 0; },
         "status Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n"
         "volume 78\r\ntrack 0\r\ntracks 0\r\nshuffle on\r\nrepeat off\r\nfile \r\n" NO_TAGS,
         ""},
        {"the tags of the file playing, from a 64-bit player and a 32-bit one",
         "t /ARTIST /ALBUM /RATING /NEXT /QUERY",
         [] {
             static bool wow64 = false;
             Desktop.player.wow64 = wow64 = !wow64;
         },
         "Artist Ç\r\n三\r\n4\r\nstatus Playing\r\ntitle \u97f3\r\nposition 83.250\r\n"
         "length 240.000\r\nvolume 78\r\ntrack 4\r\ntracks 4\r\nshuffle on\r\nrepeat off\r\n"
         "file http://radio.example/stream\r\n" NO_TAGS,
         "command 40048\n"},
        {"no player", "t /TITLE /STATUS /QUERY /VOLUME=5 /SEEK=1",
         [] { Desktop.runningClass = nullptr; }, "\r\nNot running\r\nstatus Not running\r\n", ""},
        {"templates: each kind of variable, in playerctl's units and as /QUERY prints its own",
         "t /FORMAT={{status}}|{{title}}|{{artist}}|{{album}}|{{xesam:albumArtist}}|"
         "{{xesam:genre}}|{{xesam:userRating}}|{{mpris:length}}|{{position}}|{{volume}}|{{loop}}|"
         "{{shuffle}}|{{mpris:trackid}}|{{xesam:url}}|{{mpris:artUrl}}|{{playerInstance}}|"
         "{{track}}/{{tracks}}|{{length}}|{{repeat}}|{{rating}}|{{year}}|{{genre}}|{{albumartist}}",
         [] {
             Desktop.existing[6] = u"C:\\M\\Folder.JPG";
             Desktop.existing[7] = u"C:\\M\\cover.png";
         },
         "Playing|Three|Artist Ç|三|Various|Jazz|0.80000000000000004|240000000|83250000|"
         "0.78000000000000003|None|true|'/org/tunedesk/track/3'|file:///C:/M/%E9%9F%B3.mp3|"
         "file:///C:/M/cover.png|tunedesk|3/4|240.000|off|4|2003|Jazz|Various\r\n",
         ""},
        {"templates: the functions, arithmetic, literals in either quotes, nesting, unknown names",
         "t /FORMAT={{uc(title)}}|{{lc(artist)}}|{{duration(position)}}|{{duration(3600000000)}}|"
         "{{markup_escape(\"<a&'b>\")}}|{{default(nothing,\"x\")}}|{{default(album,'x')}}|"
         "{{emoji(status)}}|{{emoji(volume)}}|{{trunc(title,3)}}|{{trunc(title,20)}}|"
         "{{position/1000000}}|{{volume*100}}|{{1+2*3}}|{{(1+2)*3}}|{{-position}}|{{7/2}}|"
         "{{position+position}}|{{mpris:length/position}}|{{0.1+0.2}}|{{uc(default(x,trunc(title,"
         "2)))}}|a{{nothing}}b|{{mpris:artUrl}}",
         [] { Desktop.player.repeat = On; },
         "THREE|artist "
         "ç|1:23|1:00:00|&lt;a&amp;&apos;b&gt;|x|三|▶️|🔊|Thr…|Three|83.25|78.0|7.0|9.0|"
         "-83250000|3.5|166500000|2|0.30000000000000004|TH…|ab|\r\n",
         ""},
        {"a template quoted whole, with a string in single quotes; /OUTPUT= writes its line alone",
         "t \"/FORMAT={{artist}} - {{default(nothing, 'no one')}}\" /FORMAT={{loop}} "
         "/OUTPUT=C:\\np.txt /STATUS",
         [] { Desktop.player.repeat = On; }, "Artist Ç - no one\r\nPlaying\r\n", "", 0, "",
         "Playlist"},
        {"templates that can't be parsed or evaluated: an empty line each, and why",
         "t /FORMAT={{foo(title)}} \"/FORMAT={{artist}} - {{title\" /FORMAT={{title+1}} "
         "/FORMAT={{1/0}} /FORMAT={{trunc(title)}} /FORMAT={{(1}} /FORMAT={{1.2.3}} /FORMAT={{)}} "
         "/FORMAT=ok",
         [] {}, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nok\r\n", "", 0,
         "tunedesk: /FORMAT: unknown function \"foo\" at column 3\r\n"
         "tunedesk: /FORMAT: no \"}}\" for the \"{{\" at column 14\r\n"
         "tunedesk: /FORMAT: \"+\" takes numbers at column 8\r\n"
         "tunedesk: /FORMAT: division by zero at column 4\r\n"
         "tunedesk: /FORMAT: \"trunc\" takes two arguments at column 3\r\n"
         "tunedesk: /FORMAT: no \")\" for the \"(\" at column 3\r\n"
         "tunedesk: /FORMAT: invalid number at column 3\r\n"
         "tunedesk: /FORMAT: expected an expression, found \")\" at column 3\r\n"},
        {"a template of 1,000 characters, and a title cut where a line is", templateLine.c_str(),
         [] {
             static const std::u16string longest(1500, u'x');
             Desktop.player.playlist.titles[2] = longest.c_str();
         },
         templateOutput.c_str(), ""},
        {"templates without a player",
         "t /FORMAT={{status}}|{{title}}|{{playerName}}|"
         "{{default(title,'-')}}|{{position}}",
         [] { Desktop.runningClass = nullptr; }, "Not running||tunedesk|-|\r\n", ""},
        {"/OUTPUT= not after a /FORMAT=, and a file that can't be replaced",
         "t /OUTPUT=a.txt /FORMAT=x /OUTPUT=C:\\np.txt /STATUS",
         [] { Desktop.refuseReplace = true; }, "Playing\r\n", "", 0,
         "tunedesk: /OUTPUT= goes right after a /FORMAT=; passed over\r\n"
         "tunedesk: /OUTPUT: can't write C:\\np.txt\r\n"},
        {"setters", "t /VOLUME=50 /VOLUME=-1 /SEEK=+10 /SEEK=-99 /TRACK=4 /SHUFFLE=off /REPEAT=ON",
         [] {}, "",
         "ipc 122 128\nipc 122 125\nipc 106 93250\nipc 106 0\nipc 121 3\n"
         "command 40045\nipc 252 0\nipc 253 1\nipc 635 0\n"},
        {"repeat the one track, and what /QUERY says of it", "t /REPEAT=track /QUERY /REPEAT=OFF",
         [] { Desktop.player.tracks = 0; },
         "status Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n"
         "volume 78\r\ntrack 0\r\ntracks 0\r\nshuffle on\r\nrepeat track\r\nfile \r\n" NO_TAGS,
         "ipc 253 1\nipc 635 1\nipc 253 0\n"},
        {"setters that send nothing",
         "t /VOLUME= /SEEK=1:30 /TRACK=0 /TRACK=5 /SHUFFLE=1 /SHUFFLE=TRACK /X=1", [] {}, "", ""},
        {"seek while stopped", "t /SEEK=10", [] { Desktop.player.status = Stopped; }, "", ""},
        {"seek past what a 32-bit player takes", "t /SEEK=+2147483", [] {}, "", ""},
        {"queries among switches", "t /STATUS /PLAY /TRACK /NEXT", [] {}, "Playing\r\n3/4\r\n",
         "command 40045\ncommand 40048\n"},
        {"no standard output: the parent's console", "t /TITLE /STATUS",
         [] {
             Desktop.standardOutput = StandardOutput::None;
             Desktop.parentConsole = true;
             Desktop.player.playlist.titles[2] = u"Beyonc\u00e9 \U0001F3B5";
         },
         "Beyoncé 🎵\r\nPlaying\r\n", ""},
        {"no standard output and no console", "t /STATUS /PLAY",
         [] { Desktop.standardOutput = StandardOutput::None; }, "", "command 40045\n"},
        {"seconds with decimals", "t /SEEK=30.6 /SEEK=+0.25 /SEEK=1.2345 /SEEK=1.", [] {}, "",
         "ipc 106 30600\nipc 106 30850\n"},
        {"files, a folder and a URL added; a missing file, and a bound word that is a file, not",
         "t song.mp3 C:\\M C:\\M\\new.ogg http://x.example/a missing.mp3 volup \"\" /PLAY",
         [] { Desktop.settingsText = "[Commands]\nvolup=40058\n"; }, "",
         "add C:\\Work\\song.mp3\nadd C:\\M\nadd C:\\M\\new.ogg\nadd http://x.example/a\n"
         "command 40058\ncommand 40045\n"},
        {"with PathOnCmdLine on, argument 1 is the player's path, never a file to play",
         "t C:\\M\\new.ogg song.mp3",
         [] { Desktop.settingsText = "[Configuration]\nPathOnCmdLine=1\n"; }, "",
         "add C:\\Work\\song.mp3\n"},
        {"a name the ANSI code page can't spell arrives whole", "t ?.mp3",
         [] { Desktop.wideCommandLine = u"t \u97f3.mp3"; }, "", "add C:\\Work\\音.mp3\n"},
        {"/OPEN: the first file replaces the list and plays, the next is added",
         "t /OPEN missing.mp3 C:\\M\\new.ogg song.mp3", [] {}, "",
         "ipc 101 0\nadd C:\\M\\new.ogg\nipc 121 0\ncommand 40045\nadd C:\\Work\\song.mp3\n"},
        {"/OPEN with no file changes nothing; /CLEAR empties", "t /OPEN missing.mp3 /CLEAR", [] {},
         "", "ipc 101 0\n"},
        {"the file and the playlist", "t /FILE /PLAYLIST", [] {},
         "C:\\M\\音.mp3\r\n1 Artist A - One\r\n2 Artist B - Two\r\n3 Artist C - Three\r\n4 音\r\n",
         ""},
        {"the entry moves on while its file is read: read again", "t /FILE",
         [] { Desktop.player.moves = 1; }, "http://radio.example/stream\r\n", ""},
        {"it moves on twice: the third read holds", "t /FILE", [] { Desktop.player.moves = 2; },
         "C:\\M\\one.mp3\r\n", ""},
        {"it moves on three times: three reads, then no file", "t /FILE",
         [] { Desktop.player.moves = 3; }, "\r\n", ""},
        {"it keeps moving: no file", "t /FILE", [] { Desktop.player.moves = 4; }, "\r\n", ""},
        {"a fresh copy of the same text for each question: the address never holds", "t /FILE",
         [] { Desktop.player.playlist.freshCopies = true; }, "\r\n", ""},
        {"the list loses an entry while it is listed: listed again", "t /PLAYLIST",
         [] { Desktop.player.lengthDrops = 1; },
         "1 Artist A - One\r\n2 Artist B - Two\r\n3 Artist C - Three\r\n", ""},
        {"a 32-bit player's texts above 2 GiB, their addresses sign-extended", "t /FILE /PLAYLIST",
         [] { Desktop.player.playlist.signExtended = true; },
         "C:\\M\\音.mp3\r\n1 Artist A - One\r\n2 Artist B - Two\r\n3 Artist C - Three\r\n4 音\r\n",
         ""},
        {"texts in guard pages are not read", "t /FILE /PLAYLIST",
         [] {
             Desktop.player.playlist.guarded = true;
             Desktop.player.tracks = 2;
         },
         "\r\n1 \r\n2 \r\n", ""},
        {"an entry of 40,000 units, cut as a line is", "t /FILE",
         [] {
             static const std::u16string longest(40000, u'x');
             Desktop.player.playlist.files[2] = longest.c_str();
         },
         longEntry.c_str(), ""},
        {"an entry answered 0 is no entry: the ANSI question is not asked", "t /FILE",
         [] { Desktop.player.playlist.wideZero = true; }, "\r\n", ""},
        {"with PathOnCmdLine and Autoload, the player started from argument 1 plays argument 2",
         "t C:\\P\\winamp.exe song.mp3 /PLAY",
         [] {
             Desktop.settingsText = "[Configuration]\nAutoload=1\nPathOnCmdLine=1\n";
             Desktop.runningClass = nullptr;
         },
         "", "add C:\\Work\\song.mp3\ncommand 40045\n"},
        {"/INSERT: one file after the current entry", "t /INSERT song.mp3 /PLAY", [] {}, "",
         "insert 3 C:\\Work\\song.mp3\ncommand 40045\n"},
        {"/INSERT: three, in their order, after the last entry",
         "t /INSERT song.mp3 C:\\M\\new.ogg C:\\M", [] { Desktop.player.track = 3; }, "",
         "insert 4 C:\\Work\\song.mp3\ninsert 5 C:\\M\\new.ogg\ninsert 6 C:\\M\n"},
        {"/INSERT into an empty list: from the top", "t /INSERT song.mp3 C:\\M",
         [] { Desktop.player.tracks = Desktop.player.track = 0; }, "",
         "insert 0 C:\\Work\\song.mp3\ninsert 1 C:\\M\n"},
        {"/INSERT passes over a path of 260 characters, the rest keep their order",
         longInsert.c_str(), [] { Desktop.existing[5] = WideLongPath.c_str(); }, "",
         "insert 3 C:\\Work\\song.mp3\ninsert 4 C:\\M\n", 0, longRefused.c_str()},
        {"/OPEN governs the files after it up to /INSERT, which governs the rest",
         "t /OPEN song.mp3 /INSERT C:\\M\\new.ogg C:\\M", [] {}, "",
         "ipc 101 0\nadd C:\\Work\\song.mp3\nipc 121 0\ncommand 40045\n"
         "insert 1 C:\\M\\new.ogg\ninsert 2 C:\\M\n"},
        {"/INSERT governs the files after it up to /OPEN", "t /INSERT C:\\M /OPEN song.mp3", [] {},
         "", "insert 3 C:\\M\nipc 101 0\nadd C:\\Work\\song.mp3\nipc 121 0\ncommand 40045\n"},
        {"/REMOVE= the current entry and the last; 0 and one past the end send nothing",
         "t /REMOVE=3 /REMOVE=4 /REMOVE=0 /REMOVE=5 /REMOVE=+1 /REMOVE=x", [] {}, "",
         "remove 2\nremove 3\n"},
        {"/JUMP= a title in another case and another script, found past the end", "t /JUMP=uni",
         [] {
             Desktop.wideCommandLine = u"t /JUMP=\u00fcN\u00cf";
             Desktop.player.playlist.titles[0] = u"Artist \u00dcn\u00efc\u00f6d\u00e9";
         },
         "", "ipc 121 0\ncommand 40045\n"},
        {"/JUMP= looks on from the current entry", "t /JUMP=artist",
         [] { Desktop.player.track = 0; }, "", "ipc 121 1\ncommand 40045\n"},
        {"/JUMP= with only the current entry matching plays it again", "t /JUMP=three", [] {}, "",
         "ipc 121 2\ncommand 40045\n"},
        {"an older player answers 1 for a playlist window it has not: nothing goes to one",
         "t /REMOVE=1 /INSERT song.mp3 /STATUS", [] { Desktop.player.playlistWindow = false; },
         "Playing\r\n", ""},
        {"/JUMP= with no match, or nothing to match, changes nothing", "t /JUMP=zzz /JUMP=", [] {},
         "", ""},
        {"a player too old for UTF-16 answers in its code page", "t /FILE",
         [] { Desktop.player.playlist.ansiOnly = true; }, "C:\\M\\?.mp3\r\n", ""},
        {"a lying player's address gives empty entries", "t /FILE /TRACK=2 /PLAYLIST",
         [] { Desktop.player.playlist.lie = 0x12345670; }, "\r\n1 \r\n2 \r\n3 \r\n4 \r\n",
         "ipc 121 1\ncommand 40045\n"},
        {"no terminator before unreadable memory: empty entries", "t /FILE /PLAYLIST",
         [] {
             Desktop.player.playlist.unterminated = true;
             Desktop.player.tracks = 2;
         },
         "\r\n1 \r\n2 \r\n", ""},
        {"a lying player's 1, and an odd address for UTF-16 text", "t /FILE /TRACK=1 /FILE",
         [] {
             Desktop.player.playlist.lie = 1;
             Desktop.player.playlist.files[0] = nullptr;  // so that only the odd one can be read
             Desktop.player.playlist.ansiFiles[0] = "";
         },
         "\r\n\r\n", "ipc 121 0\ncommand 40045\n"},
        {"an odd address for UTF-16 text", "t /FILE",
         [] {
             Desktop.player.playlist.lie =
                 reinterpret_cast<std::uintptr_t>(Desktop.player.playlist.files[0]) + 1;
         },
         "\r\n", ""},
        {"no player: an empty file line and no playlist", "t /FILE /PLAYLIST /OPEN song.mp3",
         [] { Desktop.runningClass = nullptr; }, "\r\n", ""},
        {"no player: empty tags and rating", "t /ARTIST /ALBUM /RATING /RATING=3",
         [] { Desktop.runningClass = nullptr; }, "\r\n\r\n\r\n", ""},
        {"ratings: 0 clears, anything but 0 to 5 sends nothing",
         "t /RATING=3 /RATING /RATING=0 /RATING=5 /RATING=6 /RATING=-1 /RATING=+1 /RATING=x "
         "/RATING=",
         [] {}, "3\r\n", "ipc 639 3\nipc 639 0\nipc 639 5\n"},
        {"the highest rating", "t /RATING", [] { Desktop.player.rating = MaxRating; }, "5\r\n", ""},
        {"a rating above the highest is none", "t /RATING /QUERY",
         [] {
             Desktop.player.rating = MaxRating + 1;
             Desktop.player.tracks = 0;
         },
         "0\r\nstatus Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n"
         "volume 78\r\ntrack 0\r\ntracks 0\r\nshuffle on\r\nrepeat off\r\nfile \r\n"
         "artist \r\nalbum \r\nalbumartist \r\nyear \r\ngenre \r\nrating 0\r\n",
         ""},
        {"a tag the player does not fill, and one longer than its answer, cut as a line is",
         "t /ARTIST /ALBUM /QUERY",
         [] {
             static const std::u16string longest(1500, u'x');
             Desktop.player.playlist.tags[2][0] = longest.c_str();
             Desktop.player.playlist.tags[2][1] = nullptr;
             Desktop.player.tracks = 3;
         },
         longTag.c_str(), ""},
        {"a tag filled to the last unit without a terminator: cut, never read past", "t /ARTIST",
         [] {
             static const std::u16string longest(1500, u'x');
             Desktop.player.playlist.tags[2][0] = longest.c_str();
             Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::Unterminated;
         },
         longEntry.c_str(), ""},
        {"a player that says it filled a tag it has not: that one is empty", "t /QUERY",
         [] {
             Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::ClaimsEvery;
             Desktop.player.playlist.tags[2][1] = nullptr;
         },
         QUERY_LINES("track 3\r\ntracks 4") "artist Artist Ç\r\nalbum \r\nalbumartist Various\r\n"
                                            "year 2003\r\ngenre Jazz\r\nrating 4\r\n",
         ""},
        {"a player without the tags question answers 1 and fills nothing", "t /ARTIST /RATING",
         [] { Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::Unsupported; }, "\r\n4\r\n",
         ""},
        {"memory for the tags refused: empty tags", "t /ARTIST /ALBUM",
         [] { Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::NoMemory; }, "\r\n\r\n", ""},
        {"a tags question left unanswered keeps its block, which the player would write into",
         "t /ARTIST /PLAY",
         [] { Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::Unanswered; }, "\r\n", "", 1},
        {"a 32-bit player is never handed a block its pointers can't name", "t /ARTIST /STATUS",
         [] {
             Desktop.player.wow64 = true;
             Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::BeyondFourGiB;
         },
         "\r\nPlaying\r\n", ""},
        {"memory for the tags not written: empty tags", "t /ARTIST /ALBUM",
         [] { Desktop.player.tagsQuestion = FakePlayer::TagsQuestion::Unwritten; }, "\r\n\r\n", ""},
    };
    for (const auto& c : cases) {
        SetUpRun(c.commandLine, "");
        Desktop.settingsFile = nullptr;
        c.setUp();
        EXPECT_EQ(RunSequence(nullptr), RunResult) << c.name;
        EXPECT_EQ(Printed(), std::string(c.output)) << c.name;
        EXPECT_EQ(Sent(), c.sent) << c.name;
        EXPECT_EQ(ReservedBlocks(), c.kept) << c.name;  // nothing else outlives the run
        EXPECT_EQ(Errors(), c.errors) << c.name;
        EXPECT_STREQ(FileText(u"C:\\np.txt"), c.file) << c.name;
    }
}

// Standard output is looked up at the first line, once; a run with no query never looks.
TEST(Remote, FindsTheOutputOnlyWhenAQueryWrites) {
    const struct {
        const char* commandLine;
        StandardOutput standardOutput;
        bool parentConsole;
        const char* calls;
    } cases[] = {
        {"t /NEXT /VOLUME=5", StandardOutput::Given, false, ""},
        {"t /STATUS /STATUS", StandardOutput::Given, false,
         "GetStdHandle()\nWriteConsoleW(stdout, 9)\nWriteFile(stdout, 9)\nWriteConsoleW(stdout, "
         "9)\nWriteFile(stdout, 9)\n"},
        {"t /STATUS", StandardOutput::None, true,
         "GetStdHandle()\nAttachConsole()\nGetStdHandle()\nWriteConsoleW(console, 9)\n"},
        {"t /STATUS", StandardOutput::Invalid, true,
         "GetStdHandle()\nAttachConsole()\nGetStdHandle()\nWriteConsoleW(console, 9)\n"},
        {"t /STATUS /STATUS", StandardOutput::None, false, "GetStdHandle()\nAttachConsole()\n"},
    };
    for (const auto& c : cases) {
        SetUpRun(c.commandLine, "");
        Desktop.standardOutput = c.standardOutput;
        Desktop.parentConsole = c.parentConsole;
        RunSequence(nullptr);
        std::istringstream calls(CallLog());
        std::string call, outputCalls;
        while (std::getline(calls, call)) {
            if (call.rfind("GetStdHandle", 0) == 0 || call.rfind("Write", 0) == 0 ||
                call.rfind("AttachConsole", 0) == 0)
                outputCalls += call + "\n";
        }
        EXPECT_EQ(outputCalls, c.calls) << c.commandLine;
    }
}

}  // namespace

// A message to the player is what a read of its state costs: /QUERY asks each question once, but
// the current index, asked again to see that the file read held still; /TRACK asks the length
// once for both its numbers.
TEST(Remote, AsksEachQuestionOnceInAStateRead) {
    struct Question {
        long long data, id;
        int times;
    };
    constexpr long long AnyData = -1000000;  // a question asked with any data
    const struct {
        const char* commandLine;
        std::vector<Question> questions;
    } cases[] = {
        {"t /QUERY",
         {{0, 104, 1},
          {0, 105, 1},
          {2, 105, 1},
          {-666, 122, 1},
          {0, 124, 1},
          {0, 125, 3},
          {0, 250, 1},
          {0, 251, 1},
          {0, 634, 1},
          {2, 213, 2},
          {2, 214, 2},
          {0, 640, 1}}},
        {"t /ARTIST", {{0, 124, 1}, {0, 125, 2}, {2, 214, 2}}},
        {"t /TRACK", {{0, 124, 1}, {0, 125, 1}}},
        // A file's tags once a run: again only for another file.
        {"t /ARTIST /ALBUM /QUERY", {{AnyData, 3026, 5}}},
        {"t /ARTIST /NEXT /ARTIST", {{AnyData, 3026, 10}}},
    };
    for (const auto& c : cases) {
        SetUpRun(c.commandLine, "");
        Desktop.player.repeat = On;
        RunSequence(nullptr);
        for (const Question& question : c.questions) {
            std::istringstream calls(CallLog());
            std::string call;
            int times = 0;
            long long data, id;
            while (std::getline(calls, call))
                times += std::sscanf(call.c_str(), "SendMessageTimeoutA(player, 0x400, %lld, %lld",
                                     &data, &id) == 2 &&
                         (data == question.data || question.data == AnyData) && id == question.id;
            EXPECT_EQ(times, question.times) << c.commandLine << " " << question.id;
        }
    }
}
