// What tunedesk-mpris knows of the player and how MPRIS calls become Tunedesk switches. Plain
// functions over the state that the follower's blocks report, so that they are tested without a
// bus or Wine.
#pragma once

#include <glib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "names.h"
#include "tags.h"

namespace mpris {

inline constexpr std::int64_t MicrosecondsPerSecond = 1000000;
inline constexpr double PercentPerUnit = 100.0;  // MPRIS's volume 1.0 is 100 %

enum class Playback { Stopped, Playing, Paused };
enum class Loop { None, Playlist, Track };  // what the player repeats

// What the player itself reads of the current file, as the block's lines tell it: the companion
// takes a tag from here where the file's own, as TagLib reads them, leave it empty.
struct PlayerTags {
    std::string artist, album, albumArtist, year, genre;
    int rating = 0;  // 0 to 5

    bool operator==(const PlayerTags&) const = default;
};

// The player as the last block showed it.
struct PlayerState {
    bool running = false;
    Playback playback = Playback::Stopped;
    std::string title;
    std::int64_t position = -1;  // microseconds; -1 when stopped
    std::int64_t length = -1;    // microseconds; -1 when unknown
    int volume = 0;              // percent
    int track = 0;               // from 1; 0 with an empty playlist
    int tracks = 0;
    bool shuffle = false;
    Loop repeat = Loop::None;
    std::string file;  // the current entry's file or URL, as the player names it
    std::string url;   // the same as a URL, where it can be mapped; see FileUrl
    Tags tags;         // what the file tells of itself, once read
    PlayerTags told;   // what the player tells of it

    bool operator==(const PlayerState&) const = default;
};

// The text with each invalid UTF-8 sequence replaced by U+FFFD, as GLib takes only valid UTF-8.
std::string ValidUtf8(const std::string& text);

// Reads Tunedesk's /QUERY lines ("key value", CR LF, UTF-8), passing over lines it does not know,
// so that an older or newer tunedesk.exe is read as far as it goes. False when the text is not
// such output; "status Not running" alone is a player that is not running. Whatever the bytes, an
// older tunedesk.exe's ANSI title or a cut stream, every text read is valid UTF-8.
bool ParseQuery(const std::string& output, PlayerState& state);

// Reads a follower's block: "done N", the lines carried out so far, first (or, from an older
// Tunedesk, last), and the /QUERY lines.
bool ParseBlock(const std::string& block, PlayerState& state, std::uint64_t& done);
// Reads a block's "done N" line, which comes ahead of the rest of its block.
inline constexpr char DoneLine[] = "done ";
bool ParseDone(const std::string& line, std::uint64_t& done);

// MPRIS's PlaybackStatus: "Playing", "Paused" or "Stopped"; a player not running is stopped.
const char* PlaybackStatus(const PlayerState& state);

// Where the position is, in microseconds, elapsed microseconds after the block showed it: moved
// on by the clock while playing, never past the end; 0 when there is none.
std::int64_t EstimatedPosition(const PlayerState& state, std::int64_t elapsed);

// A position further than this from the estimate is a jump: a Seeked signal.
inline constexpr std::int64_t SeekTolerance = 3 * MicrosecondsPerSecond / 2;
bool Jumped(const PlayerState& before, std::int64_t elapsed, const PlayerState& after);

// The MPRIS properties of org.mpris.MediaPlayer2.Player whose values differ between the two.
std::vector<std::string> ChangedProperties(const PlayerState& before, const PlayerState& after);

// "Artist - Title" split at its first " - ", the player's default format; without one the whole
// text is the title and there is no artist.
struct TitleParts {
    std::string artist;
    std::string title;
};
TitleParts SplitTitle(const std::string& text);

// The object path of the current track, or NoTrack when there is none.
std::string TrackId(const PlayerState& state);

// What Play, Pause and PlayPause tell Tunedesk; empty when nothing is to be done (Play while
// playing would restart the track).
enum class Transport { Play, Pause, PlayPause };
std::string TransportSwitch(Transport call, const PlayerState& state);

// The metadata of the current track: its id, and with a track its title, artist and length and
// what else its tags, the player and its URL tell; the file's tags first, then the player's,
// and without either an artist, the player's title's "Artist - Title".
GVariant* Metadata(const PlayerState& state);

// Seek(offset) and SetPosition(position) in microseconds, as whole seconds; empty for a seek
// that rounds to nothing or a position before the start.
std::string SeekSwitch(std::int64_t offset);
std::string PositionSwitch(std::int64_t position);

// "/OPEN" with a Windows path or URL that OpenTarget has checked, quoted.
std::string OpenSwitch(const std::string& target);

// Volume from 0.0 to 1.0 as whole percent.
std::string VolumeSwitch(double volume);

// LoopStatus: the player repeats the playlist, the one track or nothing; false for anything else.
const char* LoopStatus(Loop repeat);
bool LoopSwitch(const std::string& loopStatus, std::string& switchText);

// True when the settings file's [Configuration] has Autoload=1, the player started by Play; a
// file saved as UTF-16 with a mark is read too.
bool AutoloadOn(const std::string& settings);

// The pause before a follower that ended is started again: 1 s, then twice the last, up to 30 s.
inline constexpr unsigned FirstBackoff = 1000;  // ms
inline constexpr unsigned LastBackoff = 30000;
unsigned NextBackoff(unsigned backoff);

// Every property of both interfaces, a row each: Get, GetAll, Set, PropertiesChanged and the
// introspection all read it from here. A getter sees the latest block and the position the clock
// has taken it to; a setter gives the line that sets the value, false for a value it can't set.
struct Property {
    const char* interfaceName;
    const char* name;
    const char* type;  // its D-Bus signature
    GVariant* (*get)(const PlayerState& state, std::int64_t position);
    bool (*set)(GVariant* value, std::string& line);  // null: read only
    bool signals;                                     // PropertiesChanged carries its changes
};
const Property* FindProperty(const char* interfaceName, const char* name);

// What a call sees: the latest block, and the player's Wine prefix.
struct Call {
    const PlayerState& state;
    const std::string& prefix;
};

// Every method, a row each: a call becomes the line its row gives, empty when there is nothing to
// do, or is refused as invalid with false. A caller's text reaches a line only as a path or URL
// checked to hold no control character and no double quote.
struct Method {
    const char* interfaceName;
    const char* name;
    const char* arguments;  // its arguments, as introspection XML
    bool (*line)(const Call& call, GVariant* parameters, std::string& line);
};
const Method* FindMethod(const char* interfaceName, const char* name);

// The introspection XML of both interfaces, built from the rows.
std::string Introspection();

}  // namespace mpris
