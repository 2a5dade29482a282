// The companion's mapping: /QUERY read into the player's state, titles, and the switches that
// MPRIS calls become.
#include "model.h"

#include <gtest/gtest.h>

namespace mpris {
namespace {

constexpr char Playing[] =
    "status Playing\r\ntitle Artist C - Three\r\nposition 83.250\r\nlength 240.000\r\n"
    "volume 78\r\ntrack 3\r\ntracks 4\r\nshuffle on\r\nrepeat off\r\n";

TEST(Model, ReadsQueryOutput) {
    PlayerState state;
    ASSERT_TRUE(ParseQuery(Playing, state));
    EXPECT_TRUE(state.running);
    EXPECT_EQ(state.status, "Playing");
    EXPECT_EQ(state.title, "Artist C - Three");
    EXPECT_EQ(state.position, 83250000);
    EXPECT_EQ(state.length, 240000000);
    EXPECT_EQ(state.volume, 78);
    EXPECT_EQ(state.track, 3);
    EXPECT_EQ(state.tracks, 4);
    EXPECT_TRUE(state.shuffle);
    EXPECT_FALSE(state.repeat);

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
        EXPECT_EQ(read.status, c.status) << c.output;
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
    paused.status = "Paused";
    stopped = playing;
    stopped.status = "Stopped";
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
    EXPECT_FALSE(LoopSwitch("Track", loop));
    EXPECT_EQ(LoopStatus(true), "Playlist");

    EXPECT_EQ(TrackId(playing), "/org/tunedesk/track/3");
    EXPECT_EQ(TrackId(absent), NoTrack);
    PlayerState empty = playing;
    empty.track = empty.tracks = 0;
    EXPECT_EQ(TrackId(empty), NoTrack);
}

}  // namespace
}  // namespace mpris
