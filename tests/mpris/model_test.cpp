// The companion's mapping: /QUERY read into the player's state, titles, and the switches that
// MPRIS calls become.
#include "model.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utime.h>

#include <set>

#include "files.h"

namespace mpris {
namespace {

constexpr char Playing[] =
    "status Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n"
    "volume 78\r\ntrack 3\r\ntracks 4\r\nshuffle on\r\nrepeat off\r\n";

TEST(Model, ReadsQueryOutput) {
    PlayerState state;
    ASSERT_TRUE(ParseQuery(Playing, state));
    EXPECT_TRUE(state.running);
    EXPECT_EQ(state.playback, Playback::Playing);
    EXPECT_EQ(state.title, "Artist C - Three");
    EXPECT_EQ(state.position, 83250000);
    EXPECT_EQ(state.length, 240000000);
    EXPECT_EQ(state.volume, 78);
    EXPECT_EQ(state.track, 3);
    EXPECT_EQ(state.tracks, 4);
    EXPECT_TRUE(state.shuffle);
    EXPECT_EQ(state.repeat, Loop::None);

    const struct {
        const char* output;
        bool read, running;
        const char* status;
        std::int64_t position, length;
        const char* title;
    } cases[] = {
        {"status Not running\r\n", true, false, "Stopped", -1, -1, ""},
        {"status Stopped\r\ntitle \r\nposition \r\nlength \r\n", true, true, "Stopped", -1, -1, ""},
        {"status Paused\ntitle A - B - C\nposition 0.5\nlength 1.000\n", true, true, "Paused",
         500000, 1000000, "A - B - C"},
        {"status Playing\r\ntitle  spaced  \r\nposition 1:30\r\n", true, true, "Playing", -1, -1,
         " spaced  "},
        {"status Odd\r\n", true, true, "Stopped", -1, -1, ""},
        {"status Playing\r\ntitle 坂本龍一 - 戦場のメリークリスマス\r\n", true, true, "Playing", -1,
         -1, "坂本龍一 - 戦場のメリークリスマス"},
        {"status Playing\r\ntitle Beyonc\xe9 \x96 Halo\r\n", true, true, "Playing", -1, -1,
         "Beyonc\uFFFD \uFFFD Halo"},
        {"status Paused\r\ntitle cut \xe5\x9d", true, true, "Paused", -1, -1, "cut \uFFFD\uFFFD"},
        {"", false, false, "", 0, 0, ""},
        {"garbage\r\nmore garbage", false, false, "", 0, 0, ""},
    };
    for (const auto& c : cases) {
        PlayerState read;
        ASSERT_EQ(ParseQuery(c.output, read), c.read) << c.output;
        if (!c.read) continue;
        EXPECT_EQ(read.running, c.running) << c.output;
        EXPECT_STREQ(PlaybackStatus(read), c.status) << c.output;
        EXPECT_EQ(read.position, c.position) << c.output;
        EXPECT_EQ(read.length, c.length) << c.output;
        EXPECT_EQ(read.title, c.title) << c.output;
    }
}

TEST(Model, SplitsTitlesAtTheFirstDash) {
    const struct {
        const char* text;
        const char* artist;
        const char* title;
    } cases[] = {
        {"Artist - Title", "Artist", "Title"},
        {"AC - DC - Live - Wire", "AC", "DC - Live - Wire"},
        {"No separator", "", "No separator"},
        {"Spaced-dash", "", "Spaced-dash"},
        {" - Title", "", "Title"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const TitleParts parts = SplitTitle(c.text);
        EXPECT_EQ(parts.artist, c.artist) << c.text;
        EXPECT_EQ(parts.title, c.title) << c.text;
    }
}

TEST(Model, TurnsCallsIntoSwitches) {
    PlayerState playing, paused, stopped, absent;
    ParseQuery(Playing, playing);
    paused = playing;
    paused.playback = Playback::Paused;
    stopped = playing;
    stopped.playback = Playback::Stopped;
    const struct {
        Transport call;
        const PlayerState& state;
        const char* switchText;
    } transport[] = {
        {Transport::Play, playing, ""},          {Transport::Play, paused, "/PLAY"},
        {Transport::Play, stopped, "/PLAY"},     {Transport::Play, absent, "/PLAY"},
        {Transport::Pause, playing, "/PAUSE"},   {Transport::Pause, paused, ""},
        {Transport::Pause, absent, ""},          {Transport::PlayPause, playing, "/PAUSE"},
        {Transport::PlayPause, paused, "/PLAY"}, {Transport::PlayPause, absent, "/PLAY"},
    };
    for (const auto& c : transport)
        EXPECT_EQ(TransportSwitch(c.call, c.state), c.switchText);

    EXPECT_EQ(SeekSwitch(10000000), "/SEEK=+10");
    EXPECT_EQ(SeekSwitch(-2600000), "/SEEK=-3");
    EXPECT_EQ(SeekSwitch(400000), "");
    EXPECT_EQ(PositionSwitch(30000000), "/SEEK=30");
    EXPECT_EQ(PositionSwitch(-1), "");
    EXPECT_EQ(PositionSwitch(0), "/SEEK=0");  // back to the start of the track
    EXPECT_EQ(VolumeSwitch(0.5), "/VOLUME=50");
    EXPECT_EQ(VolumeSwitch(0.57), "/VOLUME=57");
    EXPECT_EQ(VolumeSwitch(0.125), "/VOLUME=13");
    EXPECT_EQ(VolumeSwitch(1.7), "/VOLUME=100");
    EXPECT_EQ(VolumeSwitch(-0.2), "/VOLUME=0");

    std::string loop;
    EXPECT_TRUE(LoopSwitch("Playlist", loop));
    EXPECT_EQ(loop, "/REPEAT=ON");
    EXPECT_TRUE(LoopSwitch("None", loop));
    EXPECT_EQ(loop, "/REPEAT=OFF");
    EXPECT_TRUE(LoopSwitch("Track", loop));
    EXPECT_EQ(loop, "/REPEAT=TRACK");
    EXPECT_FALSE(LoopSwitch("Everything", loop));
    EXPECT_STREQ(LoopStatus(Loop::Playlist), "Playlist");
    PlayerState one;
    ASSERT_TRUE(ParseQuery("status Playing\nrepeat track\nshuffle on\n", one));
    EXPECT_STREQ(LoopStatus(one.repeat), "Track");

    EXPECT_EQ(TrackId(playing), "/org/tunedesk/track/3");
    EXPECT_EQ(TrackId(absent), NoTrack);
    PlayerState empty = playing;
    empty.track = empty.tracks = 0;
    EXPECT_EQ(TrackId(empty), NoTrack);
}

TEST(Model, ReadsBlocksAndFollowsTheirChanges) {
    PlayerState state;
    std::uint64_t done = 0;
    ASSERT_TRUE(ParseBlock(std::string(Playing) + "done 12\r\n", state, done));
    EXPECT_EQ(done, 12u);
    EXPECT_EQ(state.title, "Artist C - Three");
    ASSERT_TRUE(ParseBlock("status Not running\r\ndone 0\r\n", state, done));
    EXPECT_FALSE(state.running);
    ASSERT_TRUE(ParseBlock("status Paused\r\ntitle Well done - X\r\ndone 7\r\n", state, done));
    EXPECT_EQ(done, 7u);
    EXPECT_EQ(state.title, "Well done - X");
    ASSERT_TRUE(ParseBlock("done 8\r\nstatus Playing\r\ntitle done 9\r\n", state, done));
    EXPECT_EQ(done, 8u);
    EXPECT_EQ(state.title, "done 9");
    for (const char* block : {"status Playing\r\n", "status Playing\r\ndone \r\n",
                              "status Playing\r\nundone 3\r\n", "done 3\r\n"})
        EXPECT_FALSE(ParseBlock(block, state, done)) << block;

    PlayerState playing, paused, stopped, absent, nearEnd, jumped, other, louder, stream, repeating,
        rated;
    ParseQuery(Playing, playing);
    paused = stopped = nearEnd = jumped = other = louder = stream = repeating = rated = playing;
    rated.told.rating = 4;
    stream.length = -1;
    repeating.repeat = Loop::Track;
    paused.playback = Playback::Paused;
    stopped.playback = Playback::Stopped;
    stopped.position = -1;
    nearEnd.position = playing.length - 1000000;
    jumped.position += 2 * MicrosecondsPerSecond;
    other.track = 4;
    other.title = "Artist D - Four";
    louder.volume = 100;
    const std::int64_t second = MicrosecondsPerSecond;
    const struct {
        const PlayerState& state;
        std::int64_t elapsed, position;
    } estimates[] = {
        {playing, 0, 83250000},     {playing, second, 84250000}, {paused, 5 * second, 83250000},
        {stopped, second, 0},       {absent, second, 0},         {nearEnd, 5 * second, 240000000},
        {stream, second, 84250000},
    };
    for (const auto& c : estimates)
        EXPECT_EQ(EstimatedPosition(c.state, c.elapsed), c.position) << c.elapsed;

    const struct {
        const PlayerState &before, &after;
        std::int64_t elapsed;
        bool jump;
        std::vector<std::string> changed;
    } changes[] = {
        {playing, playing, 2 * second, true, {}},  // two seconds on, the same position: back
        {playing, jumped, 2 * second, false, {}},
        {playing, jumped, 0, true, {}},
        {playing, paused, 0, false, {"PlaybackStatus"}},
        {playing, absent, 0, false, {"PlaybackStatus", "Metadata", "Volume", "Shuffle"}},
        {playing, other, 0, false, {"Metadata"}},
        {playing, louder, 0, false, {"Volume"}},
        {paused, stopped, 0, false, {"PlaybackStatus"}},
        {stream, playing, 0, false, {"Metadata"}},
        {playing, repeating, 0, false, {"LoopStatus"}},
        {playing, rated, 0, false, {"Metadata"}},
    };
    for (const auto& c : changes) {
        EXPECT_EQ(Jumped(c.before, c.elapsed, c.after), c.jump);
        EXPECT_EQ(ChangedProperties(c.before, c.after), c.changed);
    }

    const struct {
        const char* interfaceName;
        const char* method;
        const char* line;  // null: no such method
    } methods[] = {{PlayerInterface, "Next", "/NEXT"}, {PlayerInterface, "Previous", "/PREV"},
                   {PlayerInterface, "Stop", "/STOP"}, {RootInterface, "Raise", "/SHOW"},
                   {PlayerInterface, "Play", ""},      {RootInterface, "Next", nullptr}};
    for (const auto& c : methods) {
        const Method* method = FindMethod(c.interfaceName, c.method);
        ASSERT_EQ(method != nullptr, c.line != nullptr) << c.method;
        if (method != nullptr) {
            std::string line;
            const std::string prefix;
            EXPECT_TRUE(method->line({playing, prefix}, nullptr, line)) << c.method;
            EXPECT_EQ(line, c.line) << c.method;
        }
    }

    std::string utf16 = "\xFF\xFE";  // as Notepad saves UTF-16
    for (char c : std::string("[Configuration]\r\nAutoload=1\r\n"))
        utf16 += {c, '\0'};
    const struct {
        std::string settings;
        bool autoload;
    } settings[] = {
        {"[Configuration]\r\nAutoload=1\r\nPath=C:\\w.exe\r\n", true},
        {"\xEF\xBB\xBF[configuration]\n autoload = 1 \n", true},
        {"[Configuration]\nAutoload=2\n", false},
        {"[Commands]\nAutoload=1\n", false},
        {utf16, true},
        {"", false},
    };
    for (const auto& c : settings)
        EXPECT_EQ(AutoloadOn(c.settings), c.autoload) << c.settings;

    unsigned backoff = FirstBackoff;
    for (unsigned expected : {2000u, 4000u, 8000u, 16000u, 30000u, 30000u})
        EXPECT_EQ(backoff = NextBackoff(backoff), expected);
}

// Every row reaches the bus through the introspection built from the rows.
// The player's own tags fill what the file's leave empty: a stream, a format TagLib can't read.
TEST(Model, TakesEachTagFromTheFileThenThePlayer) {
    const std::string told =
        "status Playing\r\ntitle Artist C - Three\r\ntrack 3\r\ntracks 4\r\nartist Told C\r\n"
        "album Told Album\r\nalbumartist \r\nyear 2003\r\ngenre Jazz\r\nrating 4\r\n"
        "composer someone\r\nfuture key and value\r\n";
    const struct {
        std::string query;
        const char *ownTitle, *ownArtist, *ownGenre;  // the file's, as TagLib reads them
        const char *title, *artist, *album, *genre;
        double rating;
    } cases[] = {
        {told, "", "", "", "Three", "Told C", "Told Album", "Jazz", 0.8},
        {told, "Own", "Own Artist", "Ambient", "Own", "Own Artist", "Told Album", "Ambient", 0.8},
        {Playing, "", "", "", "Three", "Artist C", "", "", 0.0},
        {Playing, "Own", "", "", "Own", "", "", "", 0.0},
    };
    for (const auto& c : cases) {
        PlayerState state;
        ASSERT_TRUE(ParseQuery(c.query, state));
        state.tags.title = c.ownTitle;
        state.tags.artist = c.ownArtist;
        state.tags.genre = c.ownGenre;
        GVariant* metadata = Metadata(state);
        const auto text = [&](const char* key) -> std::string {
            GVariant* value = g_variant_lookup_value(metadata, key, nullptr);
            if (value == nullptr) return "";
            std::string result;
            if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
                result = g_variant_get_string(value, nullptr);
            } else {
                const gchar** texts = g_variant_get_strv(value, nullptr);
                result = texts[0] != nullptr ? texts[0] : "";
                g_free(texts);
            }
            g_variant_unref(value);
            return result;
        };
        EXPECT_EQ(text(TitleKey), c.title) << c.query;
        EXPECT_EQ(text(ArtistKey), c.artist) << c.query;
        EXPECT_EQ(text(AlbumKey), c.album) << c.query;
        EXPECT_EQ(text(GenreKey), c.genre) << c.query;
        double rating = -1;
        EXPECT_TRUE(g_variant_lookup(metadata, UserRatingKey, "d", &rating));
        EXPECT_DOUBLE_EQ(rating, c.rating) << c.query;
        g_variant_unref(metadata);
    }
}

TEST(Model, IntrospectsEveryRow) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(Introspection().c_str(), nullptr);
    ASSERT_NE(node, nullptr);
    GDBusInterfaceInfo* player = g_dbus_node_info_lookup_interface(node, PlayerInterface);
    ASSERT_NE(player, nullptr);
    const GDBusPropertyInfo* volume = g_dbus_interface_info_lookup_property(player, "Volume");
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->flags,
              G_DBUS_PROPERTY_INFO_FLAGS_READABLE | G_DBUS_PROPERTY_INFO_FLAGS_WRITABLE);
    EXPECT_NE(g_dbus_interface_info_lookup_method(player, "SetPosition"), nullptr);
    EXPECT_NE(g_dbus_interface_info_lookup_signal(player, "Seeked"), nullptr);
    g_dbus_node_info_unref(node);
}

}  // namespace
}  // namespace mpris

namespace mpris {
namespace {

// A Wine prefix of our own: C: its drive_c, D: a music folder elsewhere, Z: the root.
struct Prefix {
    std::string root;
    Prefix() {
        gchar* made = g_dir_make_tmp("tunedesk-prefix-XXXXXX", nullptr);
        root = made;
        g_free(made);
        for (const char* folder : {"/dosdevices", "/drive_c/Music", "/Music/Łódź"})
            g_mkdir_with_parents((root + folder).c_str(), 0700);
        for (const char* file : {"/drive_c/Music/Song.FLAC", "/Music/Łódź/one two.mp3",
                                 "/Music/say \"hi\".mp3", "/Music/line\nbreak.mp3"})
            g_file_set_contents((root + file).c_str(), "", 0, nullptr);
        symlink("../drive_c", (root + "/dosdevices/c:").c_str());
        symlink((root + "/Music").c_str(), (root + "/dosdevices/d:").c_str());
        symlink("/", (root + "/dosdevices/z:").c_str());
    }
    ~Prefix() {
        g_spawn_command_line_sync(("rm -rf " + root).c_str(), nullptr, nullptr, nullptr, nullptr);
    }
};

TEST(Files, MapThePlayersNamesAndTheDesktopsUrls) {
    const Prefix prefix;
    const std::string c = "file://" + prefix.root + "/drive_c/Music/Song.FLAC";
    std::string onZ = "Z:" + prefix.root + "\\Music";  // through the root
    for (char& at : onZ)
        at = at == '/' ? '\\' : at;
    const struct {
        std::string file;
        std::string url;
    } urls[] = {
        {"C:\\Music\\Song.FLAC", c},
        {"c:\\MUSIC\\song.flac", c},
        {"C:\\Music\\..\\Music\\\\.\\Song.FLAC", c},
        {"C:\\..\\..\\Music\\Song.FLAC", c},
        {"D:\\Łódź\\one two.mp3",
         "file://" + prefix.root + "/Music/%C5%81%C3%B3d%C5%BA/one%20two.mp3"},
        {onZ + "\\say \"hi\".mp3", "file://" + prefix.root + "/Music/say%20%22hi%22.mp3"},
        {"http://radio.example/stream", "http://radio.example/stream"},
        {"Q:\\x.mp3", ""},
        {"\\\\server\\share\\x.mp3", ""},
        {"", ""},
    };
    for (const auto& c : urls)
        EXPECT_EQ(FileUrl(c.file, prefix.root), c.url) << c.file;

    const std::string music = "file://" + prefix.root + "/Music/";
    std::string devices = "Z:" + prefix.root + "\\dosdevices";  // outside C: and D:: the root's
    for (char& at : devices)
        at = at == '/' ? '\\' : at;
    const struct {
        std::string uri;
        const char* target;  // null: refused
    } opens[] = {
        {c, "C:\\Music\\Song.FLAC"},
        {music + "%C5%81%C3%B3d%C5%BA/one%20two.mp3", "D:\\Łódź\\one two.mp3"},
        {"file://" + prefix.root + "/dosdevices", devices.c_str()},
        {"https://radio.example/a?b=1", "https://radio.example/a?b=1"},
        {music + "missing.mp3", nullptr},
        {music + "say%20%22hi%22.mp3", nullptr},
        {music + "line%0Abreak.mp3", nullptr},
        {"http://radio.example/\"", nullptr},
        {"ftp://radio.example/a", nullptr},
        {"not a uri", nullptr},
    };
    for (const auto& c : opens) {
        std::string target;
        const bool opened = OpenTarget(c.uri, prefix.root, target);
        EXPECT_EQ(opened, c.target != nullptr) << c.uri;
        if (opened && c.target != nullptr) {
            EXPECT_EQ(target, c.target) << c.uri;
        }
    }
    EXPECT_EQ(OpenSwitch("C:\\a b.mp3"), "/OPEN \"C:\\a b.mp3\"");
}

// Covers beside the file: the names in their order, cover before folder, and AlbumArt* last.
TEST(Files, FindTheCoverBesideTheFile) {
    const Prefix prefix;
    const struct {
        std::vector<const char*> images;
        const char* chosen;
    } folders[] = {
        {{"folder.jpg", "cover.jpg"}, "cover.jpg"},
        {{"Front.PNG", "Folder.jpeg"}, "Folder.jpeg"},
        {{"AlbumArt_{9B2F-41C7}_Large.jpg", "back.jpg"}, "AlbumArt_{9B2F-41C7}_Large.jpg"},
        {{"back.jpg"}, nullptr},
    };
    int made = 0;
    for (const auto& c : folders) {
        const std::string folder = prefix.root + "/covers" + std::to_string(made++);
        g_mkdir_with_parents(folder.c_str(), 0700);
        for (const char* image : c.images)
            g_file_set_contents((folder + "/" + image).c_str(), "", 0, nullptr);
        const std::string cover = CoverArt(Tags{}, folder + "/song.mp3", prefix.root + "/cache");
        EXPECT_EQ(cover, c.chosen != nullptr ? PathUrl(folder + "/" + c.chosen) : "") << folder;
    }
}

// The cache keeps the newest 64 covers: a new one pushes out the oldest.
TEST(Files, KeepTheNewestCovers) {
    const Prefix prefix;
    const std::string cache = prefix.root + "/cache";
    g_mkdir_with_parents(cache.c_str(), 0700);
    for (int older = 0; older < 64; ++older) {
        const std::string path = cache + "/old" + std::to_string(older) + ".jpg";
        g_file_set_contents(path.c_str(), "", 0, nullptr);
        const utimbuf at = {1000 + older, 1000 + older};  // the first is the oldest
        utime(path.c_str(), &at);
    }
    Tags tags;
    tags.cover = "\xff\xd8\xff\xe0 a new cover";
    const std::string cover = CoverArt(tags, prefix.root + "/nowhere/song.mp3", cache);
    std::set<std::string> kept;
    GDir* dir = g_dir_open(cache.c_str(), 0, nullptr);
    while (const gchar* name = g_dir_read_name(dir))
        kept.insert(name);
    g_dir_close(dir);
    EXPECT_EQ(kept.size(), 64u);
    EXPECT_EQ(kept.count("old0.jpg"), 0u);
    EXPECT_EQ(kept.count("old1.jpg"), 1u);
    EXPECT_EQ(kept.count("old63.jpg"), 1u);
    gchar* path = g_filename_from_uri(cover.c_str(), nullptr, nullptr);
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(g_file_test(path, G_FILE_TEST_EXISTS)) << path;
    g_free(path);
}

TEST(Model, OffersTheSchemesOpenUriTakes) {
    const Property* schemes = FindProperty(RootInterface, "SupportedUriSchemes");
    ASSERT_NE(schemes, nullptr);
    GVariant* value = schemes->get(PlayerState{}, 0);
    const gchar** names = g_variant_get_strv(value, nullptr);
    std::vector<std::string> offered(names, names + g_strv_length(const_cast<gchar**>(names)));
    g_free(names);
    g_variant_unref(value);
    EXPECT_EQ(offered, (std::vector<std::string>{"file", "http", "https"}));
}

}  // namespace
}  // namespace mpris
