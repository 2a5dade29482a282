// A scripted desktop for the host tests: it plays the window system, the settings reader and
// the process starter, and logs every call the logic makes, with its arguments, in order. Its
// ANSI code page is Latin-1; wide texts are logged in UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "desktop/desktop.h"
#include "player_model.h"

// The player's playlist, whose texts lie in this process's memory as they lie in the player's:
// the player answers with their addresses, and only they can be read.
inline constexpr int FakeEntries = 4;
// The tags the player reads of a file, by the names it knows them by.
inline constexpr const char* FakeTagNames[] = {"artist", "album", "albumartist", "year", "genre"};
inline constexpr int FakeTags = sizeof FakeTagNames / sizeof *FakeTagNames;
struct FakePlaylist {
    const char16_t* files[FakeEntries];
    const char16_t* titles[FakeEntries];
    const char16_t* tags[FakeEntries][FakeTags];  // null: the player fills nothing
    const char* ansiFiles[FakeEntries];  // what a player too old for UTF-16 answers instead
    bool ansiOnly;                       // it answers the UTF-16 questions with 1
    std::uintptr_t lie;                  // an address it answers for every text instead; 0: none
    bool unterminated;                   // its texts have no terminator before unreadable memory
    bool guarded;                        // its texts lie in guard pages
    bool signExtended;  // a 32-bit player's texts above 2 GiB: their addresses come sign-extended
    bool wideZero;      // it answers the UTF-16 questions with 0, no text
    bool freshCopies;   // each answer a fresh copy of the text, at another address
};

// The player: its state, which answers WM_USER and changes with its commands and settings as the
// stand-in's does, and its caption.
struct FakePlayer : PlayerModel {
    const char16_t* caption;
    bool zeroExtended;  // a 32-bit answer reaches the 64-bit caller zero-extended: -1 as 2^32-1
    bool hung;          // answers no message
    int moves;          // times the current entry moves on, just after its index is asked
    int lengthDrops;    // times the list loses its last entry, just after its length is asked
    FakePlaylist playlist;
    bool wow64;  // a 32-bit player: its structures have 4-byte pointers and sizes
    // How it takes the tags question: answered as asked, or with 1 and nothing filled as a
    // player without it does, with the memory for it refused, not written, or beyond the 4 GiB a
    // 32-bit player's pointers name, not answered, or answered 1 for tags it has not.
    enum class TagsQuestion {
        Answered,
        Unsupported,
        NoMemory,
        Unwritten,
        BeyondFourGiB,
        Unanswered,
        ClaimsEvery,   // answers 1 for every tag, and fills only those it has
        Unterminated,  // fills every unit of a long tag's answer, with no terminator
    } tagsQuestion;
};

// What the caller gave the run as its standard output.
enum class StandardOutput { Given, None, Invalid };

struct FakeDesktop {
    const char* commandLine = "tunedesk.exe";
    const char16_t* modulePath = u"C:\\T\\tunedesk.exe";
    bool modulePathCut = false;           // GetModuleFileNameW reports a cut path
    const char16_t* shortPath = nullptr;  // what GetShortPathNameW gives; null: the volume has none
    bool settingsExist = true;            // what GetFileAttributesW says of the settings file
    const char* settingsFile = "C:\\T\\TUNEDESK.INI";  // where settingsText lies; null: anywhere
    const char* settingsText = "";                     // the file's lines, INI format
    const char* runningClass = "Winamp v1.x";          // the player window's class; null: absent
    const char* startedClass = "Winamp v1.x";          // what a successful WinExec brings up
    unsigned winExecResult = 33;
    bool visible = true;
    FakePlayer player = {
        {Playing, 83250, 240000, 200, On, Off, 2, 4, Off, 4},
        u"3. Artist C - Three - Winamp",
        false,
        false,
        0,
        0,
        {{u"C:\\M\\one.mp3", u"C:\\M\\two.flac", u"C:\\M\\\u97f3.mp3",
          u"http://radio.example/stream"},
         {u"Artist A - One", u"Artist B - Two", u"Artist C - Three", u"\u97f3"},
         {{u"Artist A", u"One", nullptr, u"1999", u"Pop"},
          {u"Artist B", u"Two", u"Various", u"2001", u"Rock"},
          {u"Artist \u00c7", u"\u4e09", u"Various", u"2003", u"Jazz"},
          {}},
         {"C:\\M\\one.mp3", "C:\\M\\two.flac", "C:\\M\\?.mp3", "http://radio.example/stream"},
         false,
         0,
         false,
         false,
         false,
         false,
         false},
        false,
        FakePlayer::TagsQuestion::Answered};
    // The UTF-16 command line; null: the ANSI one read as Latin-1.
    const char16_t* wideCommandLine = nullptr;
    const char16_t* currentFolder = u"C:\\Work\\";  // where a relative path is taken from
    const char16_t* existing[8] = {u"C:\\Work\\song.mp3", u"C:\\M", u"C:\\M\\new.ogg",
                                   u"C:\\Work\\volup", u"C:\\Work\\\u97f3.mp3"};  // what is there
    // A reader holds the now-playing files open: they can't be replaced.
    bool refuseReplace = false;
    // Windows' media controls: HRESULT of GetForWindow, a call they refuse by its logged name
    // (such as "put_AlbumArtist"), whether they have the timeline and requests, and whether
    // another follower owns them.
    std::int32_t controlsFound = 0;
    const char* refusedControl = nullptr;
    bool controls2 = true;
    bool controlsOwned = false;
    StandardOutput standardOutput = StandardOutput::Given;
    bool parentConsole = false;  // AttachConsole finds one
    // Following: standard input's text (null: there is none), read whole before wait `inputAt`,
    // and the waits of the follower's loop, each a poll's time on the clock: after `waits` of
    // them writing fails, as when the reader has gone away, and before each, `between` may change
    // the desktop.
    const char* input = nullptr;
    int inputAt = 0;
    int waits = 3;
    void (*between)(int wait) = nullptr;
};

// The desktop the next calls see; ResetDesktop restores the defaults above and clears the log.
extern FakeDesktop Desktop;
void ResetDesktop();

// Every call since the last reset, one line each, as Name(arguments).
const char* CallLog();

// How many blocks reserved in the player's memory since the last reset are not freed.
int ReservedBlocks();

// What the run wrote to its standard output or console since the last reset, and to standard
// error.
const char* Printed();
const std::string& Errors();

// Presses a button of the media controls, or makes a request (a MediaRequest and its value), as
// Windows' thread does: posted to the window the handler was added for.
void PressMediaButton(std::uintptr_t what, std::intptr_t value = 0);
// The media controls' calls since the last reset, one line each.
const char* ControlsCalls();

// What a now-playing file holds; null where there is no such file.
const char* FileText(const char16_t* path);

// The handle FindWindowA gives for the player's window; it prints as "player".
extern const desktop::HWND PlayerWindow;
