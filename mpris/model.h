// What tunedesk-mpris knows of the player and how MPRIS calls become Tunedesk switches. Plain
// functions over the state that /QUERY reports, so that they are tested without a bus or Wine.
#pragma once

#include <cstdint>
#include <string>

namespace mpris {

inline constexpr char NoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
inline constexpr std::int64_t MicrosecondsPerSecond = 1000000;

// The player as the last /QUERY saw it.
struct PlayerState {
    bool running = false;
    std::string status = "Stopped";  // "Playing", "Paused" or "Stopped"
    std::string title;
    std::int64_t position = -1;  // microseconds; -1 when stopped
    std::int64_t length = -1;    // microseconds; -1 when unknown
    int volume = 0;              // percent
    int track = 0;               // from 1; 0 with an empty playlist
    int tracks = 0;
    bool shuffle = false;
    bool repeat = false;

    bool operator==(const PlayerState&) const = default;
};

// The text with each invalid UTF-8 sequence replaced by U+FFFD, as GLib takes only valid UTF-8.
std::string ValidUtf8(const std::string& text);

// Reads Tunedesk's /QUERY lines ("key value", CR LF, UTF-8). False when the text is not such
// output; "status Not running" alone is a player that is not running. Whatever the bytes, an
// older tunedesk.exe's ANSI title or a cut stream, every text read is valid UTF-8.
bool ParseQuery(const std::string& output, PlayerState& state);

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

// Seek(offset) and SetPosition(position) in microseconds, as whole seconds; empty for a seek
// that rounds to nothing or a position before the start.
std::string SeekSwitch(std::int64_t offset);
std::string PositionSwitch(std::int64_t position);

// Volume from 0.0 to 1.0 as whole percent.
std::string VolumeSwitch(double volume);

// LoopStatus: the player repeats the playlist or nothing. False for "Track", which it can't.
std::string LoopStatus(bool repeat);
bool LoopSwitch(const std::string& loopStatus, std::string& switchText);

}  // namespace mpris
