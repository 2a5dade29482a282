// The mapping between Tunedesk's /QUERY and switches and the MPRIS player's state and calls.
#include "model.h"

#include <glib.h>

#include <cctype>
#include <cmath>
#include <sstream>

namespace mpris {

namespace {

constexpr double PercentPerUnit = 100.0;
constexpr char TitleSeparator[] = " - ";

// "83.250" in microseconds; -1 for an empty or unreadable value.
std::int64_t Seconds(const std::string& text) {
    if (text.empty()) return -1;
    std::int64_t whole = 0, fraction = 0, scale = MicrosecondsPerSecond;
    std::size_t at = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        whole = whole * 10 + (text[at] - '0');
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
            scale /= 10;
            fraction += (text[at] - '0') * scale;
        }
    }
    return at == text.size() && at > 0 ? whole * MicrosecondsPerSecond + fraction : -1;
}

int Whole(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string result = valid;
    g_free(valid);
    return result;
}

bool ParseQuery(const std::string& output, PlayerState& state) {
    std::istringstream lines(ValidUtf8(output));
    std::string line;
    PlayerState read;
    bool sawStatus = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const std::string key = line.substr(0, space), value = line.substr(space + 1);
        if (key == "status") {
            sawStatus = true;
            read.running = value != "Not running";
            read.playback = value == "Playing"  ? Playback::Playing
                            : value == "Paused" ? Playback::Paused
                                                : Playback::Stopped;
        } else if (key == "title") {
            read.title = value;
        } else if (key == "position") {
            read.position = Seconds(value);
        } else if (key == "length") {
            read.length = Seconds(value);
        } else if (key == "volume") {
            read.volume = Whole(value);
        } else if (key == "track") {
            read.track = Whole(value);
        } else if (key == "tracks") {
            read.tracks = Whole(value);
        } else if (key == "shuffle") {
            read.shuffle = value == "on";
        } else if (key == "repeat") {
            read.repeat = value == "on";
        }
    }
    if (!sawStatus) return false;
    state = read;
    return true;
}

bool ParseBlock(const std::string& block, PlayerState& state, std::uint64_t& done) {
    const std::size_t at = block.rfind("done ");
    if (at == std::string::npos || (at > 0 && block[at - 1] != '\n')) return false;
    std::uint64_t number = 0;
    std::size_t digit = at + sizeof "done " - 1;
    for (; digit < block.size() && std::isdigit(static_cast<unsigned char>(block[digit])); ++digit)
        number = number * 10 + (block[digit] - '0');
    if (digit == at + sizeof "done " - 1 || !ParseQuery(block.substr(0, at), state)) return false;
    done = number;
    return true;
}

const char* PlaybackStatus(const PlayerState& state) {
    if (!state.running) return "Stopped";
    return state.playback == Playback::Playing  ? "Playing"
           : state.playback == Playback::Paused ? "Paused"
                                                : "Stopped";
}

std::int64_t EstimatedPosition(const PlayerState& state, std::int64_t elapsed) {
    if (!state.running || state.position < 0) return 0;
    std::int64_t position = state.position;
    if (state.playback == Playback::Playing) position += elapsed;
    return state.length >= 0 && position > state.length ? state.length : position;
}

bool Jumped(const PlayerState& before, std::int64_t elapsed, const PlayerState& after) {
    if (TrackId(before) != TrackId(after) || before.position < 0 || after.position < 0)
        return false;
    const std::int64_t drift = after.position - EstimatedPosition(before, elapsed);
    return drift > SeekTolerance || drift < -SeekTolerance;
}

std::vector<std::string> ChangedProperties(const PlayerState& before, const PlayerState& after) {
    std::vector<std::string> changed;
    const auto add = [&](bool differs, const char* property) {
        if (differs) changed.push_back(property);
    };
    add(std::string(PlaybackStatus(before)) != PlaybackStatus(after), "PlaybackStatus");
    add(TrackId(before) != TrackId(after) || before.title != after.title ||
            before.length != after.length,
        "Metadata");
    add(before.volume != after.volume, "Volume");
    add(before.shuffle != after.shuffle, "Shuffle");
    add(before.repeat != after.repeat, "LoopStatus");
    return changed;
}

const char* MethodSwitch(const std::string& method) {
    static constexpr struct {
        const char* method;
        const char* switchText;
    } Methods[] = {{"Next", "/NEXT"}, {"Previous", "/PREV"}, {"Stop", "/STOP"}, {"Raise", "/SHOW"}};
    for (const auto& entry : Methods)
        if (method == entry.method) return entry.switchText;
    return nullptr;
}

TitleParts SplitTitle(const std::string& text) {
    const std::size_t separator = text.find(TitleSeparator);
    if (separator == std::string::npos) return {"", text};
    return {text.substr(0, separator), text.substr(separator + sizeof TitleSeparator - 1)};
}

std::string TrackId(const PlayerState& state) {
    if (!state.running || state.track < 1 || state.tracks < 1) return NoTrack;
    return "/org/tunedesk/track/" + std::to_string(state.track);
}

std::string TransportSwitch(Transport call, const PlayerState& state) {
    const bool playing = state.running && state.playback == Playback::Playing;
    switch (call) {
        case Transport::Play:
            return playing ? "" : "/PLAY";
        case Transport::Pause:
            return playing ? "/PAUSE" : "";
        case Transport::PlayPause:
            return playing ? "/PAUSE" : "/PLAY";
    }
    return "";
}

std::string SeekSwitch(std::int64_t offset) {
    const long long seconds = std::llround(static_cast<double>(offset) / MicrosecondsPerSecond);
    if (seconds == 0) return "";
    return seconds > 0 ? "/SEEK=+" + std::to_string(seconds) : "/SEEK=" + std::to_string(seconds);
}

std::string PositionSwitch(std::int64_t position) {
    if (position < 0) return "";
    return "/SEEK=" +
           std::to_string(std::llround(static_cast<double>(position) / MicrosecondsPerSecond));
}

std::string VolumeSwitch(double volume) {
    const double percent = std::round(std::fmin(std::fmax(volume, 0.0), 1.0) * PercentPerUnit);
    return "/VOLUME=" + std::to_string(static_cast<int>(percent));
}

std::string LoopStatus(bool repeat) { return repeat ? "Playlist" : "None"; }

bool LoopSwitch(const std::string& loopStatus, std::string& switchText) {
    if (loopStatus == "Playlist")
        switchText = "/REPEAT=ON";
    else if (loopStatus == "None")
        switchText = "/REPEAT=OFF";
    else
        return false;
    return true;
}

}  // namespace mpris
