// What the player understands: the command numbers of WM_COMMAND and the WM_USER interface
// through which it is asked for and told its state. The id goes in lParam, the data in wParam,
// and every answer is a 32-bit signed number. Shared with the tests' fake players.
#pragma once

#include <cstdint>

using CommandId = std::uint32_t;  // a player command number; 0 sends nothing

enum PlayerCommand : CommandId {
    NoCommand = 0,
    PreviousCommand = 40044,
    PlayCommand = 40045,
    PauseCommand = 40046,
    StopCommand = 40047,
    NextCommand = 40048
};

enum PlayerMessage : std::intptr_t {
    ClearPlaylist = 101,
    IsPlaying = 104,
    OutputTime = 105,
    JumpToTime = 106,
    SetListPosition = 121,
    SetVolume = 122,
    ListLength = 124,
    ListPosition = 125,
    // An entry's file and title, by its index: the address of the text in the player's memory.
    GetPlaylistFile = 211,
    GetPlaylistTitle = 212,
    GetPlaylistTitleW = 213,
    GetPlaylistFileW = 214,
    GetWindowHandle = 260,  // one of the player's windows: PlaylistWindow gives the playlist's
    GetShuffle = 250,
    GetRepeat = 251,
    SetShuffle = 252,
    SetRepeat = 253,
    GetManualAdvance = 634,  // on with repeat on: the player repeats the one track
    SetManualAdvance = 635,
    SetRating = 639,  // the current entry's rating, 0 to 5; 0: none
    GetRating = 640,
    // A file's tag, by the address in the player's memory of a FileInfo; answers 1 when it
    // filled the answer, 0 when not.
    GetFileInfoW = 3026,
};

// What 3026 reads, in the player's memory and bitness: the file's name, the tag's name as the
// player spells it, and the answer's room in UTF-16 units.
template <typename Pointer>
struct FileInfo {
    Pointer filename, metadata, ret, retlen;
};
inline constexpr int MaxRating = 5;

// WM_COPYDATA's dwData: add a file or URL to the end of the playlist, in the ANSI code page or
// UTF-16, or, to the playlist window, insert an InsertedFile.
enum CopyData : std::uintptr_t { AddFile = 100, InsertFileW = 114, AddFileW = 1100 };

inline constexpr std::int32_t PlaylistWindow = 1;  // GetWindowHandle's data
// The playlist window's own WM_USER messages, which take their number in wParam and their value
// in lParam.
enum PlaylistMessage : std::uintptr_t { RemoveEntry = 104 };  // the entry at lParam, from 0

// What InsertFileW hands the playlist window: the file goes in before the entry at index, from
// 0; the list's length appends it. No pointers, so both bitnesses lay it out alike.
inline constexpr int InsertedPathCapacity = 260;  // UTF-16 units, with the terminator
struct InsertedFile {
    char16_t file[InsertedPathCapacity];
    std::int32_t index;
};
static_assert(sizeof(InsertedFile) == 524);

inline constexpr std::int32_t NotSupported = 1;  // the answer to a question the player lacks
inline constexpr std::int32_t AskVolume = -666;  // SetVolume with this returns the volume instead
inline constexpr std::int32_t PositionMode = 0;  // OutputTime: the position in milliseconds
inline constexpr std::int32_t SecondsMode = 1;   // OutputTime: the track's length in seconds
inline constexpr std::int32_t LengthMode = 2;    // OutputTime: the track's length in milliseconds
inline constexpr std::int32_t NoTime = -1;       // OutputTime when stopped, or the length unknown
inline constexpr std::int32_t MillisecondsPerSecond = 1000;  // the player's times are milliseconds
enum PlayerStatus : std::int32_t { Stopped = 0, Playing = 1, Paused = 3 };  // IsPlaying's answers
enum OnOff : std::int32_t { Off = 0, On = 1 };                              // shuffle and repeat
inline constexpr std::int32_t RepeatTrack = 2;  // repeat, and the playlist advanced by hand only
inline constexpr int MaxVolume = 255;
