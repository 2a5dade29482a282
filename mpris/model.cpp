// The mapping between Tunedesk's /QUERY and switches and the MPRIS player's state and calls.
#include "model.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "files.h"

namespace mpris {

namespace {

constexpr char TitleSeparator[] = " - ";
constexpr int Decimal = 10;

// Tunedesk's words for the player's status in /QUERY's "status" line.
constexpr char QueryPlaying[] = "Playing";
constexpr char QueryPaused[] = "Paused";
constexpr char QueryNotRunning[] = "Not running";
constexpr char QueryOn[] = "on";        // shuffle and repeat
constexpr char QueryTrack[] = "track";  // repeat the one track

// "83.250" in microseconds; -1 for an empty or unreadable value.
std::int64_t Seconds(const std::string& text) {
    if (text.empty()) return -1;
    std::int64_t whole = 0, fraction = 0, scale = MicrosecondsPerSecond;
    std::size_t at = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at)
        whole = whole * Decimal + (text[at] - '0');
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
            scale /= Decimal;
            fraction += (text[at] - '0') * scale;
        }
    }
    return at == text.size() && at > 0 ? whole * MicrosecondsPerSecond + fraction : -1;
}

// The lines of the player's tags, which are texts but for the rating.
constexpr struct {
    const char* key;
    std::string PlayerTags::*text;
} TagLines[] = {{"artist", &PlayerTags::artist},
                {"album", &PlayerTags::album},
                {"albumartist", &PlayerTags::albumArtist},
                {"year", &PlayerTags::year},
                {"genre", &PlayerTags::genre}};
constexpr char RatingLine[] = "rating";
constexpr double MaxRating = 5.0;

int Whole(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        value = value * Decimal + (c - '0');
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
            read.running = value != QueryNotRunning;
            read.playback = value == QueryPlaying  ? Playback::Playing
                            : value == QueryPaused ? Playback::Paused
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
            read.shuffle = value == QueryOn;
        } else if (key == "repeat") {
            read.repeat = value == QueryOn      ? Loop::Playlist
                          : value == QueryTrack ? Loop::Track
                                                : Loop::None;
        } else if (key == "file") {
            read.file = value;
        } else if (key == RatingLine) {
            read.told.rating = Whole(value);
        }
        for (const auto& tag : TagLines)
            if (key == tag.key) read.told.*tag.text = value;
    }
    if (!sawStatus) return false;
    state = read;
    return true;
}

bool ParseDone(const std::string& line, std::uint64_t& done) {
    constexpr std::size_t Start = sizeof DoneLine - 1;
    if (line.compare(0, Start, DoneLine) != 0) return false;
    std::uint64_t number = 0;
    std::size_t digit = Start;
    for (; digit < line.size() && std::isdigit(static_cast<unsigned char>(line[digit])); ++digit)
        number = number * Decimal + (line[digit] - '0');
    if (digit == Start || (digit < line.size() && line[digit] != '\r' && line[digit] != '\n'))
        return false;
    done = number;
    return true;
}

bool ParseBlock(const std::string& block, PlayerState& state, std::uint64_t& done) {
    std::istringstream lines(block);
    bool counted = false;
    for (std::string line; std::getline(lines, line);)
        counted = ParseDone(line, done) || counted;
    return counted && ParseQuery(block, state);  // ParseQuery passes over the done line
}

const char* PlaybackStatus(const PlayerState& state) {
    if (!state.running) return StatusStopped;
    return state.playback == Playback::Playing  ? StatusPlaying
           : state.playback == Playback::Paused ? StatusPaused
                                                : StatusStopped;
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
    add(std::string(PlaybackStatus(before)) != PlaybackStatus(after), PlaybackStatusProperty);
    add(TrackId(before) != TrackId(after) || before.title != after.title ||
            before.length != after.length || before.url != after.url || before.tags != after.tags ||
            before.told != after.told,
        MetadataProperty);
    add(before.volume != after.volume, VolumeProperty);
    add(before.shuffle != after.shuffle, ShuffleProperty);
    add(before.repeat != after.repeat, LoopStatusProperty);
    return changed;
}

TitleParts SplitTitle(const std::string& text) {
    const std::size_t separator = text.find(TitleSeparator);
    if (separator == std::string::npos) return {"", text};
    return {text.substr(0, separator), text.substr(separator + sizeof TitleSeparator - 1)};
}

std::string TrackId(const PlayerState& state) {
    if (!state.running || state.track < 1 || state.tracks < 1) return NoTrack;
    return TrackPath + std::to_string(state.track);
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

std::string OpenSwitch(const std::string& target) { return "/OPEN \"" + target + "\""; }

namespace {

// Each LoopStatus, in the order of Loop, with the switch that sets it.
constexpr struct {
    const char* status;
    const char* switchText;
} Loops[] = {{LoopNone, "/REPEAT=OFF"}, {LoopPlaylist, "/REPEAT=ON"}, {LoopTrack, "/REPEAT=TRACK"}};

}  // namespace

const char* LoopStatus(Loop repeat) { return Loops[static_cast<int>(repeat)].status; }

bool LoopSwitch(const std::string& loopStatus, std::string& switchText) {
    for (const auto& loop : Loops) {
        if (loopStatus != loop.status) continue;
        switchText = loop.switchText;
        return true;
    }
    return false;
}

bool AutoloadOn(const std::string& settings) {
    std::string text = settings;
    if (text.rfind("\xFF\xFE", 0) == 0) {  // UTF-16 with a mark, as Notepad may save it
        gchar* utf8 = g_convert(text.data() + 2, text.size() - 2, "UTF-8", "UTF-16LE", nullptr,
                                nullptr, nullptr);
        text = utf8 != nullptr ? utf8 : "";
        g_free(utf8);
    }
    std::istringstream lines(text);
    std::string line;
    bool inSection = false;
    const auto trim = [](std::string value) {
        const std::size_t start = value.find_first_not_of(" \t\r\xEF\xBB\xBF");
        const std::size_t end = value.find_last_not_of(" \t\r");
        return start == std::string::npos ? std::string() : value.substr(start, end - start + 1);
    };
    while (std::getline(lines, line)) {
        line = trim(line);
        if (!line.empty() && line.front() == '[') {
            inSection = g_ascii_strcasecmp(line.c_str(), "[Configuration]") == 0;
        } else if (const std::size_t equals = line.find('=');
                   inSection && equals != std::string::npos &&
                   g_ascii_strcasecmp(trim(line.substr(0, equals)).c_str(), "Autoload") == 0) {
            return trim(line.substr(equals + 1)) == "1";
        }
    }
    return false;
}

unsigned NextBackoff(unsigned backoff) { return std::min(2 * backoff, LastBackoff); }

namespace {

void AddText(GVariantBuilder& metadata, const char* key, const std::string& text) {
    if (!text.empty())
        g_variant_builder_add(&metadata, "{sv}", key, g_variant_new_string(text.c_str()));
}

void AddTexts(GVariantBuilder& metadata, const char* key, const std::string& text) {
    const gchar* texts[] = {text.c_str(), nullptr};
    if (!text.empty()) g_variant_builder_add(&metadata, "{sv}", key, g_variant_new_strv(texts, -1));
}

// The file's own tag, else the player's.
const std::string& Either(const std::string& own, const std::string& told) {
    return own.empty() ? told : own;
}

void AddNumber(GVariantBuilder& metadata, const char* key, int number) {
    if (number > 0) g_variant_builder_add(&metadata, "{sv}", key, g_variant_new_int32(number));
}

}  // namespace

GVariant* Metadata(const PlayerState& state) {
    GVariantBuilder metadata;
    g_variant_builder_init(&metadata, G_VARIANT_TYPE("a{sv}"));
    const std::string track = TrackId(state);
    g_variant_builder_add(&metadata, "{sv}", TrackIdKey, g_variant_new_object_path(track.c_str()));
    if (track != NoTrack) {
        const Tags& tags = state.tags;
        const TitleParts parts = SplitTitle(state.title);
        const PlayerTags& told = state.told;
        const bool tagged = !tags.title.empty();
        g_variant_builder_add(&metadata, "{sv}", TitleKey,
                              g_variant_new_string((tagged ? tags.title : parts.title).c_str()));
        const std::string& artist = Either(tags.artist, told.artist);
        AddTexts(metadata, ArtistKey, artist.empty() && !tagged ? parts.artist : artist);
        AddText(metadata, AlbumKey, Either(tags.album, told.album));
        AddTexts(metadata, AlbumArtistKey, Either(tags.albumArtist, told.albumArtist));
        AddTexts(metadata, GenreKey, Either(tags.genre, told.genre));
        g_variant_builder_add(&metadata, "{sv}", UserRatingKey,
                              g_variant_new_double(told.rating / MaxRating));
        AddNumber(metadata, TrackNumberKey, tags.track);
        AddNumber(metadata, DiscNumberKey, tags.disc);
        const std::int64_t length = state.length >= 0 ? state.length : tags.length;
        if (length >= 0)
            g_variant_builder_add(&metadata, "{sv}", LengthKey, g_variant_new_int64(length));
        AddText(metadata, UrlKey, state.url);
        AddText(metadata, ArtUrlKey, tags.artUrl);
    }
    return g_variant_builder_end(&metadata);
}

namespace {

GVariant* Yes(const PlayerState&, std::int64_t) { return g_variant_new_boolean(TRUE); }
GVariant* No(const PlayerState&, std::int64_t) { return g_variant_new_boolean(FALSE); }
GVariant* NormalRate(const PlayerState&, std::int64_t) { return g_variant_new_double(1.0); }
// What OpenUri takes, and the audio and playlists the player plays.
constexpr const char* UriSchemes[] = {"file", "http", "https", nullptr};
constexpr const char* MimeTypes[] = {"audio/mpeg",
                                     "audio/flac",
                                     "audio/x-flac",
                                     "audio/ogg",
                                     "audio/vorbis",
                                     "audio/opus",
                                     "audio/mp4",
                                     "audio/aac",
                                     "audio/x-m4a",
                                     "audio/x-ms-wma",
                                     "audio/x-wav",
                                     "audio/wav",
                                     "audio/midi",
                                     "audio/x-mod",
                                     "audio/x-mpegurl",
                                     "audio/x-scpls",
                                     "application/vnd.ms-wpl",
                                     nullptr};

GVariant* Strings(const char* const* strings) { return g_variant_new_strv(strings, -1); }

// A setter's value of another type than the property's is refused.
bool SetVolume(GVariant* value, std::string& line) {
    if (!g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) return false;
    line = VolumeSwitch(g_variant_get_double(value));
    return true;
}

bool SetShuffle(GVariant* value, std::string& line) {
    if (!g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) return false;
    line = g_variant_get_boolean(value) ? "/SHUFFLE=ON" : "/SHUFFLE=OFF";
    return true;
}

bool SetLoopStatus(GVariant* value, std::string& line) {
    return g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) &&
           LoopSwitch(g_variant_get_string(value, nullptr), line);
}

// Only the normal rate is offered; setting it changes nothing.
bool SetRate(GVariant*, std::string&) { return true; }

constexpr Property Properties[] = {
    {RootInterface, "CanQuit", "b", No, nullptr, true},
    {RootInterface, "CanRaise", "b", Yes, nullptr, true},
    {RootInterface, "HasTrackList", "b", No, nullptr, true},
    {RootInterface, "Identity", "s",
     [](const PlayerState&, std::int64_t) { return g_variant_new_string(Identity); }, nullptr,
     true},
    {RootInterface, "DesktopEntry", "s",
     [](const PlayerState&, std::int64_t) { return g_variant_new_string(DesktopEntry); }, nullptr,
     true},
    {RootInterface, "SupportedUriSchemes", "as",
     [](const PlayerState&, std::int64_t) { return Strings(UriSchemes); }, nullptr, true},
    {RootInterface, "SupportedMimeTypes", "as",
     [](const PlayerState&, std::int64_t) { return Strings(MimeTypes); }, nullptr, true},
    {PlayerInterface, PlaybackStatusProperty, "s",
     [](const PlayerState& state, std::int64_t) {
         return g_variant_new_string(PlaybackStatus(state));
     },
     nullptr, true},
    {PlayerInterface, LoopStatusProperty, "s",
     [](const PlayerState& state, std::int64_t) {
         return g_variant_new_string(LoopStatus(state.repeat));
     },
     SetLoopStatus, true},
    {PlayerInterface, "Rate", "d", NormalRate, SetRate, true},
    {PlayerInterface, ShuffleProperty, "b",
     [](const PlayerState& state, std::int64_t) { return g_variant_new_boolean(state.shuffle); },
     SetShuffle, true},
    {PlayerInterface, MetadataProperty, "a{sv}",
     [](const PlayerState& state, std::int64_t) { return Metadata(state); }, nullptr, true},
    {PlayerInterface, VolumeProperty, "d",
     [](const PlayerState& state, std::int64_t) {
         return g_variant_new_double(state.volume / PercentPerUnit);
     },
     SetVolume, true},
    // Clients follow the position by the clock and Seeked, not by signals.
    {PlayerInterface, PositionProperty, "x",
     [](const PlayerState&, std::int64_t position) { return g_variant_new_int64(position); },
     nullptr, false},
    {PlayerInterface, "MinimumRate", "d", NormalRate, nullptr, true},
    {PlayerInterface, "MaximumRate", "d", NormalRate, nullptr, true},
    {PlayerInterface, "CanGoNext", "b", Yes, nullptr, true},
    {PlayerInterface, "CanGoPrevious", "b", Yes, nullptr, true},
    {PlayerInterface, "CanPlay", "b", Yes, nullptr, true},
    {PlayerInterface, "CanPause", "b", Yes, nullptr, true},
    {PlayerInterface, "CanSeek", "b", Yes, nullptr, true},
    {PlayerInterface, "CanControl", "b", Yes, nullptr, true},
};

template <const char* switchText>
bool Fixed(const Call&, GVariant*, std::string& line) {
    line = switchText;
    return true;
}
constexpr char NextSwitch[] = "/NEXT", PreviousSwitch[] = "/PREV", StopSwitch[] = "/STOP",
               ShowSwitch[] = "/SHOW", Nothing[] = "";

template <Transport transport>
bool TransportLine(const Call& call, GVariant*, std::string& line) {
    line = TransportSwitch(transport, call.state);
    return true;
}

bool SeekLine(const Call&, GVariant* parameters, std::string& line) {
    gint64 offset = 0;
    g_variant_get(parameters, "(x)", &offset);
    line = SeekSwitch(offset);
    return true;
}

// A position for another track, or past this one's end, is to be ignored.
bool SetPositionLine(const Call& call, GVariant* parameters, std::string& line) {
    const gchar* track = nullptr;
    gint64 position = 0;
    g_variant_get(parameters, "(&ox)", &track, &position);
    const PlayerState& state = call.state;
    const bool applies = TrackId(state) == track && TrackId(state) != NoTrack &&
                         (state.length < 0 || position <= state.length);
    line = applies ? PositionSwitch(position) : "";
    return true;
}

bool OpenUriLine(const Call& call, GVariant* parameters, std::string& line) {
    const gchar* uri = nullptr;
    g_variant_get(parameters, "(&s)", &uri);
    std::string target;
    if (!OpenTarget(uri, call.prefix, target)) return false;
    line = OpenSwitch(target);
    return true;
}

constexpr Method Methods[] = {
    {RootInterface, "Raise", "", Fixed<ShowSwitch>},
    {RootInterface, "Quit", "", Fixed<Nothing>},  // CanQuit is false
    {PlayerInterface, "Next", "", Fixed<NextSwitch>},
    {PlayerInterface, "Previous", "", Fixed<PreviousSwitch>},
    {PlayerInterface, "Pause", "", TransportLine<Transport::Pause>},
    {PlayerInterface, "PlayPause", "", TransportLine<Transport::PlayPause>},
    {PlayerInterface, "Stop", "", Fixed<StopSwitch>},
    {PlayerInterface, "Play", "", TransportLine<Transport::Play>},
    {PlayerInterface, "Seek", R"(<arg direction="in" name="Offset" type="x"/>)", SeekLine},
    {PlayerInterface, "SetPosition",
     R"(<arg direction="in" name="TrackId" type="o"/><arg direction="in" name="Position" type="x"/>)",
     SetPositionLine},
    {PlayerInterface, "OpenUri", R"(<arg direction="in" name="Uri" type="s"/>)", OpenUriLine},
};

// The row of that interface with that name, or null.
template <typename Row, std::size_t Count>
const Row* FindRow(const Row (&rows)[Count], const char* interfaceName, const char* name) {
    for (const Row& row : rows)
        if (g_strcmp0(row.interfaceName, interfaceName) == 0 && g_strcmp0(row.name, name) == 0)
            return &row;
    return nullptr;
}

}  // namespace

const Property* FindProperty(const char* interfaceName, const char* name) {
    return FindRow(Properties, interfaceName, name);
}

const Method* FindMethod(const char* interfaceName, const char* name) {
    return FindRow(Methods, interfaceName, name);
}

std::string Introspection() {
    std::string xml = "<node>";
    for (const char* interfaceName : {RootInterface, PlayerInterface}) {
        xml += std::string("<interface name=\"") + interfaceName + "\">";
        for (const Method& method : Methods)
            if (method.interfaceName == interfaceName)
                xml += std::string("<method name=\"") + method.name + "\">" + method.arguments +
                       "</method>";
        if (interfaceName == PlayerInterface)
            xml += std::string("<signal name=\"") + SeekedSignal + "\"><arg name=\"" +
                   PositionProperty + "\" type=\"x\"/></signal>";
        for (const Property& property : Properties) {
            if (property.interfaceName != interfaceName) continue;
            xml += std::string("<property name=\"") + property.name + "\" type=\"" + property.type +
                   "\" access=\"" + (property.set != nullptr ? "readwrite" : "read") + "\">";
            if (!property.signals)
                xml +=
                    "<annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" "
                    "value=\"false\"/>";
            xml += "</property>";
        }
        xml += "</interface>";
    }
    return xml + "</node>";
}

}  // namespace mpris
