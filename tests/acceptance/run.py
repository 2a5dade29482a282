#!/usr/bin/env python3
"""Acceptance tests: the real tunedesk.exe, under Wine, against a stand-in player.

Each scenario gets a fresh folder holding tunedesk.exe (or a renamed copy), its TUNEDESK.INI and
the stand-in player. harness.exe starts the players the scenario asks for, runs one exact command
line, answers any message box and closes the players; the runner then compares the player's log,
the boxes and the exit status with what is expected.

Usage: run.py [--pairing win32|mixed|wine10] [NAME-PART ...]
                                runs the scenarios whose names contain any NAME-PART (all by
                                default) and ends with the line "N passed, N failed". The pairing
                                is which builds run where: win64 (the default) runs everything
                                64-bit in the host's Wine; win32 runs build/win32 in the 32-bit
                                Wine root that scripts/wine32.sh makes; mixed runs the win64
                                tunedesk.exe and harness against the i686 stand-in, both sides
                                on one wineserver in a WoW64 prefix, as users have it; wine10
                                runs the win64 builds in Debian 13's Wine 10. The last three exit
                                3 when their Wine can't be had here.
       run.py --demo            starts a stand-in player, sends it a few switches and shows
                                what it received.
"""
import dataclasses
import os
import pathlib
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import wine_session  # noqa: E402
from wine_session import ROOT, windows_path  # noqa: E402

PLAYER = "Winamp v1.x"
SETTINGS_TIME = 978307200  # 2001-01-01, the settings files' modification time
SHOWN = "visible, not minimised"
HIDDEN = "invisible, minimised"


def work_folder(pairing):
    """Where the pairing's scenarios are laid out."""
    name = "acceptance" if pairing.name == "win64" else "acceptance-" + pairing.name
    return ROOT / "build" / name


@dataclasses.dataclass
class Scenario:
    """One run of tunedesk and what it must do. In the settings, the command line and the boxes,
    "{folder}" stands for the Windows path of the scenario's folder, where the stand-in player
    lies, and "{program}" for that of the program's folder."""

    name: str
    command_line: str
    ini: str = None  # the settings file's text; None: no file
    encoding: str = "latin-1"  # how it is saved: in the ANSI code page, or as Unicode with a mark
    players: tuple = (PLAYER,)  # classes of stand-in players running before the run
    program: str = "tunedesk.exe"
    events: tuple = ()  # what the player logs after it is first shown
    final: str = SHOWN  # the player's state when it is closed
    boxes: tuple = ()  # (caption, text, icon) of each message box, in order
    exit: int = 1
    folder_length: int = 0  # put the program in a folder whose Windows path is this long
    subfolder: str = "."  # or in this folder inside the scenario's
    launches: bool = False  # the run starts a player of its own
    player: dict = None  # the stand-in's state, its standin.ini [Player] keys
    output: tuple = ()  # the lines the run writes to its standard output
    stdout: bool = True  # the run is given a standard output
    # Following: the harness's steps, (delay in ms, action, argument); the stand-in states they
    # name, each written as state-NAME.ini; the blocks expected, with the position left out; and
    # (step, block, ms): a block that must appear within ms of a step.
    steps: tuple = ()
    states: dict = None
    blocks: tuple = None
    latencies: tuple = ()
    mixed: bool = True  # runs in the mixed pairing too
    memory: bool = False  # runs only where the player's memory can be read
    shell: bool = False  # run as "wine tunedesk.exe ... > file" from the Linux shell
    files: tuple = ()  # made empty in the scenario's folder, the run's current one; "NAME/": a folder
    unread: tuple = None  # the output where the player's memory can't be read; None: as output,
    #                      with every "file" line empty
    # Now-playing files: each one's lines in the order they are written, the last of them what it
    # holds at the end; a reader polls each 1,000 times meanwhile and must see only those lines.
    written: dict = None
    errors: tuple = None  # the lines the run writes to standard error, where they matter
    pairings: tuple = None  # the pairings it runs in; None: all
    # Wine's channels traced while it runs, and what their lines must hold, in order.
    debug: str = None
    traces: tuple = ()

    def folder(self, pairing):
        return work_folder(pairing) / self.name.replace(" ", "-")

    def program_folder(self, pairing):
        """Where the program and its settings lie, relative to the scenario's folder."""
        folder = pathlib.Path(self.subfolder)
        while (missing := self.folder_length - len(windows_path(self.folder(pairing) / folder))) > 0:
            folder /= "a-folder-with-a-rather-long-name"[:max(missing - 1, 1)]
        return folder

    def expected_log(self):
        if not self.players and not self.launches:
            return []
        return ["shown", *self.events] + ([] if self.final is None else ["closed " + self.final])

    def expected_result(self):
        boxes = [f"box {caption}|{text}|{icon}" for caption, text, icon in self.boxes]
        return boxes + [f"exit {self.exit}"]


def commands(*numbers):
    return tuple(f"command {number}" for number in numbers)


def ipc(*pairs):
    """The settings a player logs: ipc(122, 128, 252, 1) for two of them."""
    return tuple(f"ipc {pairs[at]} {pairs[at + 1]}" for at in range(0, len(pairs), 2))


HELP_SWITCHES = (
    "/HIDE\tminimise and hide the player", "/SHOW\tshow the player",
    "/FLIPSHOW\thide the player, or show it", "/PLAY\tplay", "/STOP\tstop",
    "/NEXT\tnext track", "/PREV\tprevious track", "/PAUSE\tpause",
    "/STATUS\tprint Playing, Paused, Stopped or Not running", "/TITLE\tprint the title",
    "/POSITION\tprint the position in seconds", "/LENGTH\tprint the length in seconds",
    "/VOLUME\tprint the volume in percent", "/TRACK\tprint track number/number of tracks",
    "/FILE\tprint the file or URL playing", "/ARTIST\tprint the artist", "/ALBUM\tprint the album",
    "/RATING\tprint the rating, 0 to 5", "/QUERY\tprint all of these",
    "/FORMAT=T\tprint template T: {{artist}} - {{title}}",
    "/OUTPUT=FILE\tafter /FORMAT=: write its line to FILE",
    "/MEDIACONTROLS\tafter /FOLLOW: on Windows' media controls",
    "/PLAYLIST\tprint each entry: N title", "/CLEAR\tempty the playlist",
    "/OPEN\tplay the files after it", "/INSERT\tplay the files after it next",
    "/VOLUME=N\tset the volume in percent, or +N, -N",
    "/SEEK=S\tgo to second S, or +S, -S seconds", "/TRACK=N\tplay track N",
    "/REMOVE=N\tremove track N", "/JUMP=TEXT\tplay the next title with TEXT",
    "/SHUFFLE=ON\tor OFF", "/REPEAT=ON\tor OFF, or TRACK: one track",
    "/RATING=N\tset the rating, 0 to 5",
    "/FOLLOW\tfirst: follow the player, run input lines",
    "/FOLLOW=OFF\tfirst: end followers that have no input", "/?\tfirst: this help")


def help_box(words, state="found"):
    """The help box, as the harness records it: line ends and tabs written as \\n and \\t."""
    text = "\n".join(("Tunedesk 1.4, a command-line remote control for Winamp.",
                      "Switches act in turn: tunedesk /PLAY /HIDE", "", *HELP_SWITCHES, "",
                      f"Your words in [Commands]: {words}", "", "Settings file:",
                      "{program}\\TUNEDESK.INI", f"({state})"))
    return (("Tunedesk", text.replace("\n", "\\n").replace("\t", "\\t"), "icon"),)


HIDE = ("minimised", "hidden")
BINDINGS = "[Commands]\nvolup=40058\n/VOLDOWN=40059\nzero=0\ntext=abc\n/NEXT=40001\n/HIDE=40002\n"
READY_MADE = (ROOT / "dist" / "TUNEDESK.INI").read_text()
STARTED = "[Configuration]\nAutoload=1\nWaitLength=3000\nPath={folder}\\standin.exe\n"
PATH_ON_COMMAND_LINE = "[Configuration]\nAutoload=1\nWaitLength=3000\nPathOnCmdLine=1\n"
NOT_RUNNING = (("Tunedesk", "WinAmp is not running.", "icon"),)
START_FAILED = (("Tunedesk", "Unable to start Winamp.", "icon"),)
ECHO = (("{folder}\\standin.exe", "{folder}\\standin.exe", "no icon"),)
TITLES = "Artist A - One|Artist B - Two|Artist C - Three|Artist D - Four"
# The entries' tags, which the player reads of their files.
TAGS = dict(Artists="Artist A|Artist B|Artist C|Artist D", Albums="One|Two|Three|Four",
            AlbumArtists="|Various|Various|", Years="1999|2001|2003|2005", Genres="Pop|Rock|Jazz|Folk",
            Rating=4)
PLAYING = dict(Status=1, Position=83250, Length=240000, Volume=200, Shuffle=1, Repeat=0, Track=2,
               Titles=TITLES, **TAGS)
PAUSED = dict(PLAYING, Status=3)
STOPPED = dict(PLAYING, Status=0)
NOTHING_LOADED = dict(Titles="", Length=-1)
EVERY_QUERY = "/STATUS /TITLE /POSITION /LENGTH /VOLUME /TRACK"
WORLD = ("Beyoncé – Halo", "坂本龍一 - Merry Christmas Mr. Lawrence", "🎵 Ünïcödé - Ω")
WORLD_PLAYING = dict(Status=1, Track=1, Titles="|".join(WORLD))
FOLLOWING = dict(Status=1, Position=5000, Length=240000, Volume=200, Track=0, Clock=1,
                 Titles="Artist A - One|Artist B - Two")


TAG_KEYS = ("artist", "album", "albumartist", "year", "genre")


def tag_lines(track=None):
    """The tag lines and rating of the TAGS player's track, counted from 1; without one, of a
    player whose entries have no tags."""
    if track is None:
        return tuple(f"{key} " for key in TAG_KEYS) + ("rating 0",)
    values = (TAGS[key].split("|")[track - 1] for key in ("Artists", "Albums", "AlbumArtists", "Years", "Genres"))
    return tuple(f"{key} {value}" for key, value in zip(TAG_KEYS, values)) + (f"rating {TAGS['Rating']}",)


def block(done, status="Playing", title="Artist A - One", volume=78, track=1):
    """A follower's block of the FOLLOWING player, the position left out."""
    if status == "Not running":
        return (f"done {done}", "status Not running")
    return (f"done {done}", f"status {status}", f"title {title}", "position *", "length 240.000",
            f"volume {volume}", f"track {track}", "tracks 2", "shuffle off", "repeat off", f"file {file_of(title)}",
            *tag_lines())


def file_of(title):
    """The file the stand-in makes up for an entry that has only a title."""
    return f"C:\\Music\\{title}.mp3"


FOLLOW = "tunedesk.exe /FOLLOW /NEXT"  # what follows /FOLLOW is ignored
RETITLED = "Artist A - One|Singer - Two"
FOLLOW_SCENARIOS = (
    Scenario("follow: lines carried out, an empty one counted", FOLLOW, player=FOLLOWING,
             steps=((200, "line", "/PAUSE"), (200, "line", ""), (200, "eof", "")),
             blocks=(block(0), block(1, "Paused"), block(2, "Paused")), events=commands(40046)),
    Scenario("follow: a caption change within 0.5 s", FOLLOW, player=FOLLOWING,
             states={"next": dict(FOLLOWING, Track=1)},
             steps=((300, "state", "state-next.ini"), (800, "eof", "")),
             blocks=(block(0), block(0, title="Artist B - Two", track=2)), latencies=((0, 1, 500),)),
    Scenario("follow: a volume change within 0.8 s", FOLLOW, player=FOLLOWING,
             states={"louder": dict(FOLLOWING, Volume=255)},
             steps=((300, "state", "state-louder.ini"), (1700, "eof", "")),
             blocks=(block(0), block(0, volume=100)), latencies=((0, 1, 800),)),
    Scenario("follow: two seconds of playing write nothing", FOLLOW, player=FOLLOWING,
             steps=((2000, "eof", ""),), blocks=(block(0),)),
    Scenario("follow: three seconds of a scrolling caption write nothing", FOLLOW,
             player=dict(FOLLOWING, Scroll=1), steps=((3000, "eof", ""),), blocks=(block(0),), memory=True),
    # The harness on the 64-bit side can't start the mixed pairing's 32-bit stand-in.
    Scenario("follow: the player closing, then another starting", FOLLOW, player=FOLLOWING, mixed=False,
             steps=((300, "close", ""), (500, "start", PLAYER), (1200, "eof", "")),
             blocks=(block(0), block(0, "Not running"), block(0)), latencies=((0, 1, 500), (1, 2, 1000)),
             events=("closed " + SHOWN, "shown")),
    Scenario("follow: two now-playing files after a track change, a title change and the player closing",
             "tunedesk.exe /FOLLOW /FORMAT={{default(title,'none')}} /OUTPUT=np1.txt "
             "\"/FORMAT={{status}}: {{artist}}\" /OUTPUT=np2.txt", player=FOLLOWING, mixed=False,
             states={"next": dict(FOLLOWING, Track=1), "retitled": dict(FOLLOWING, Track=1, Titles=RETITLED)},
             steps=((300, "state", "state-next.ini"), (600, "state", "state-retitled.ini"), (600, "close", ""),
                    (600, "eof", "")),
             blocks=(block(0), block(0, title="Artist B - Two", track=2), block(0, title="Singer - Two", track=2),
                     block(0, "Not running")),
             events=("closed " + SHOWN,), final=None,
             written={"np1.txt": ("One", "Two", "none"),
                      "np2.txt": ("Playing: Artist A", "Playing: Artist B", "Playing: Singer", "Not running: ")}),
    # Windows' media controls: Wine 10 has the class, in-process only; Wine 8 has none.
    Scenario("follow: the media controls set, and the follower goes on", "tunedesk.exe /FOLLOW /MEDIACONTROLS",
             player=FOLLOWING, pairings=("wine10",), steps=((300, "line", "/NEXT"), (800, "eof", "")),
             blocks=(block(0), block(1, title="Artist B - Two", track=2)), events=commands(40048),
             errors=(), debug="+mediacontrol,+winstring",
             traces=("media_control_statics_GetForWindow", "media_control_put_IsEnabled iface", "value 1",
                     "display_updater_put_Type", 'WindowsCreateString (L"One"', "music_properties_put_Title",
                     'WindowsCreateString (L"Artist A"', "music_properties_put_Artist",
                     "media_control_put_PlaybackStatus", "value 3", 'WindowsCreateString (L"Two"',
                     "music_properties_put_Title", "media_control_put_PlaybackStatus", "value 2",
                     "media_control_put_IsEnabled", "value 0")),
    Scenario("follow: no media controls here, said once, and the follower goes on",
             "tunedesk.exe /FOLLOW /MEDIACONTROLS", player=FOLLOWING, pairings=("win64", "win32"),
             steps=((300, "line", "/NEXT"), (800, "eof", "")), blocks=(block(0), block(1, title="Artist B - Two", track=2)),
             events=commands(40048),
             errors=("tunedesk: /MEDIACONTROLS: Windows' media controls are not available here",)),
    Scenario("follow: a player that stops answering", FOLLOW, player=FOLLOWING, final=None,
             states={"hung": dict(FOLLOWING, Hang=1)},
             steps=((300, "state", "state-hung.ini"), (300, "line", "/NEXT"), (1500, "line", "/VOLUME=10"),
                    (300, "eof", "")),
             blocks=(block(0), block(1), block(2)), latencies=((1, 1, 2500), (2, 2, 2500))),
)
FORTY = tuple(f"f{number:02}.mp3" for number in range(40))
LONG_NAME = "x" * 236 + ".mp3"  # wherever its folder, a path of more than 259 characters
LISTED = dict(PLAYING, Files="C:\\Music\\Łódź\\one.mp3|http://radio.example/two|C:\\音楽\\three.flac|D:\\four.wav")
EACH_TITLE = tuple(f"{number} {title}" for number, title in enumerate(TITLES.split("|"), 1))
NO_TITLES = tuple(f"{number} " for number in range(1, 5))
PLAYLIST_SCENARIOS = (
    # Files and URLs as arguments, made full against the run's current folder, the scenario's.
    Scenario("files, a folder and a URL added", 'tunedesk.exe song.mp3 album "{folder}\\sub\\árvíztűrő.flac" '
             "音楽.ogg http://radio.example/stream missing.mp3 volup /PLAY", ini="[Commands]\nvolup=40058\n",
             files=("song.mp3", "album/", "sub/árvíztűrő.flac", "音楽.ogg", "volup"), player=STOPPED,
             events=("add {folder}\\song.mp3", "add {folder}\\album", "add {folder}\\sub\\árvíztűrő.flac",
                     "add {folder}\\音楽.ogg", "add http://radio.example/stream") + commands(40058, 40045)),
    Scenario("forty files in one command line", "tunedesk.exe " + " ".join(FORTY), files=FORTY,
             events=tuple("add {folder}\\" + name for name in FORTY)),
    Scenario("clear, then add, then list", "tunedesk.exe /CLEAR song.mp3 /PLAYLIST", files=("song.mp3",),
             player=PLAYING, events=ipc(101, 0) + ("add {folder}\\song.mp3",), output=("1 song",),
             unread=("1 ",)),
    Scenario("open plays the files after it", "tunedesk.exe /OPEN missing.mp3 a.mp3 b.mp3 /FILE /PLAYLIST",
             files=("a.mp3", "b.mp3"), player=PLAYING,
             events=ipc(101, 0) + ("add {folder}\\a.mp3",) + ipc(121, 0) + commands(40045) + ("add {folder}\\b.mp3",),
             output=("{folder}\\a.mp3", "1 a", "2 b"), unread=("", "1 ", "2 ")),
    Scenario("open with no file changes nothing", "tunedesk.exe /OPEN missing.mp3", player=PLAYING),
    # The player's strings, read from its memory.
    Scenario("the file, the playlist and the query's file", "tunedesk.exe /FILE /PLAYLIST /TRACK=2 /QUERY",
             player=LISTED, events=ipc(121, 1) + commands(40045),
             output=("C:\\音楽\\three.flac",) + EACH_TITLE + (
                 "status Playing", "title Artist B - Two", "position 83.250", "length 240.000", "volume 78",
                 "track 2", "tracks 4", "shuffle on", "repeat off", "file http://radio.example/two",
                 *tag_lines(2)),
             unread=("",) + NO_TITLES + ("status Playing", "title Artist B - Two", "position 83.250",
                                         "length 240.000", "volume 78", "track 2", "tracks 4", "shuffle on",
                                         "repeat off", "file ", *tag_lines(2))),
    Scenario("an empty playlist lists nothing", "tunedesk.exe /PLAYLIST /FILE /STATUS", player=NOTHING_LOADED,
             output=("", "Stopped")),
    Scenario("a player too old for UTF-16 answers in its code page", "tunedesk.exe /FILE",
             player=dict(LISTED, Ansi=1, Track=0), output=("C:\\Music\\Lódz\\one.mp3",), unread=("",)),
    *(Scenario(f"a lying player: {lie}", "tunedesk.exe /FILE /PLAYLIST /STATUS", player=dict(PLAYING, Lie=lie),
               output=("",) + NO_TITLES + ("Playing",)) for lie in ("unreadable", "unterminated", "guard")),
    Scenario("seconds with decimals", "tunedesk.exe /SEEK=30.6 /SEEK=+0.25 /SEEK=1.2345", player=PLAYING,
             events=ipc(106, 30600, 106, 30850)),
    # The queue: play next, remove an entry, jump by name.
    Scenario("insert one file after the current entry", "tunedesk.exe /INSERT song.mp3 /TRACK", files=("song.mp3",),
             player=PLAYING, events=("insert 3 {folder}\\song.mp3",), output=("3/5",)),
    Scenario("insert three after the last entry", "tunedesk.exe /INSERT a.mp3 b.mp3 c.mp3 /TRACK",
             files=("a.mp3", "b.mp3", "c.mp3"), player=dict(PLAYING, Track=3),
             events=("insert 4 {folder}\\a.mp3", "insert 5 {folder}\\b.mp3", "insert 6 {folder}\\c.mp3"),
             output=("4/7",)),
    Scenario("insert into an empty list", "tunedesk.exe /INSERT a.mp3 b.mp3 /TRACK", files=("a.mp3", "b.mp3"),
             player=NOTHING_LOADED, events=("insert 0 {folder}\\a.mp3", "insert 1 {folder}\\b.mp3"),
             output=("1/2",)),
    Scenario("insert passes over a path of 260 characters or more", f"tunedesk.exe /INSERT a.mp3 {LONG_NAME} b.mp3",
             files=("a.mp3", LONG_NAME, "b.mp3"), player=PLAYING,
             events=("insert 3 {folder}\\a.mp3", "insert 4 {folder}\\b.mp3")),
    Scenario("open one, insert the rest", "tunedesk.exe /OPEN a.mp3 /INSERT b.mp3 c.mp3 /TRACK",
             files=("a.mp3", "b.mp3", "c.mp3"), player=PLAYING,
             events=ipc(101, 0) + ("add {folder}\\a.mp3",) + ipc(121, 0) + commands(40045)
             + ("insert 1 {folder}\\b.mp3", "insert 2 {folder}\\c.mp3"), output=("1/3",)),
    Scenario("remove the current entry, then the last, then none", "tunedesk.exe /REMOVE=3 /TRACK /REMOVE=3 "
             "/REMOVE=0 /REMOVE=3 /REMOVE=x /TRACK", player=PLAYING, events=("remove 2", "remove 2"),
             output=("3/3", "2/2")),
    Scenario("an older player without a playlist window: no remove or insert, and the run goes on",
             "tunedesk.exe /REMOVE=1 /INSERT song.mp3 /STATUS", files=("song.mp3",),
             player=dict(PLAYING, PlaylistWindow=0), output=("Playing",)),
    Scenario("jump by name: another case and script, around the end, and no match", "tunedesk.exe /JUMP=ÜNÏCÖDÉ "
             "/JUMP=beyoncé /JUMP=nowhere", player=WORLD_PLAYING, events=ipc(121, 2) + commands(40045)
             + ipc(121, 0) + commands(40045), memory=True),
)
SEVENTY_WORDS = "tunedesk.exe " + " ".join(["w"] * 62 + ["/NEXT", "/PLAY"] + ["/STOP"] * 5)

SCENARIOS = [
    # How the command line splits.
    Scenario("program path only", "tunedesk.exe"),
    Scenario("quoted program and switch", '"tunedesk.exe" "/NEXT"', events=commands(40048)),
    Scenario("tabs and trailing blanks", "tunedesk.exe\t/NEXT\t\t/PREV \t", events=commands(40048, 40044)),
    Scenario("quote inside a word", 'tunedesk.exe a"b /STOP', ini='[Commands]\na"b=40100\n',
             events=commands(40100, 40047)),
    Scenario("quoted pair then a word", 'tunedesk.exe "two words"/NEXT',
             ini="[Commands]\ntwo words=40101\n", events=commands(40101, 40048)),
    Scenario("empty quotes", 'tunedesk.exe "" /PAUSE', events=commands(40046)),
    Scenario("unclosed quote", 'tunedesk.exe /STOP "/NEXT /PLAY', events=commands(40047)),
    Scenario("seventy words", SEVENTY_WORDS, events=commands(40048)),
    # The eight switches.
    Scenario("transport switches", "tunedesk.exe /PLAY /PAUSE /STOP /NEXT /PREV",
             events=commands(40045, 40046, 40047, 40048, 40044)),
    Scenario("switches in any case", "tunedesk.exe /play /Next /pReV /PAUSE /stop",
             events=commands(40045, 40048, 40044, 40046, 40047)),
    Scenario("repeated switch", "tunedesk.exe /NEXT /NEXT", events=commands(40048, 40048)),
    Scenario("hide", "tunedesk.exe /HIDE", events=HIDE, final=HIDDEN),
    Scenario("hide twice", "tunedesk.exe /hide /HIDE", events=HIDE + HIDE, final=HIDDEN),
    Scenario("hide then show", "tunedesk.exe /HIDE /show", events=HIDE + ("shown",)),
    Scenario("flipshow twice", "tunedesk.exe /FLIPSHOW /flipshow", events=HIDE + ("shown",)),
    Scenario("visibility among commands", "tunedesk.exe /PAUSE /HIDE /PLAY /SHOW /NEXT",
             events=commands(40046) + HIDE + commands(40045) + ("shown",) + commands(40048)),
    Scenario("words that only begin like switches", "tunedesk.exe /NEXTTRACK /PLA PLAY"),
    # Words bound in [Commands].
    Scenario("bare word binding", "tunedesk.exe volup /volup VOLUP", ini=BINDINGS,
             events=commands(40058, 40058)),
    Scenario("slashed word binding", "tunedesk.exe VOLDOWN /voldown", ini=BINDINGS,
             events=commands(40059)),
    Scenario("zero, text and absent bindings", "tunedesk.exe zero text absent /PREV", ini=BINDINGS,
             events=commands(40044)),
    Scenario("bindings named like switches", "tunedesk.exe /NEXT /HIDE", ini=BINDINGS,
             events=commands(40048) + HIDE, final=HIDDEN),
    *(Scenario(f"settings saved as {encoding}", "tunedesk.exe volup /VOLDOWN", ini=BINDINGS,
               encoding=encoding, events=commands(40058, 40059)) for encoding in ("utf-16", "utf-8-sig")),
    Scenario("ready-made settings file", "tunedesk.exe /VOLUP /close /REW", ini=READY_MADE,
             events=commands(40058, 40001, 40061)),
    # The player's window class.
    Scenario("class from the settings", "tunedesk.exe /NEXT", ini="[Configuration]\nClass=Other Player\n",
             players=("Other Player",), events=commands(40048)),
    Scenario("empty class", "tunedesk.exe /NEXT", ini="[Configuration]\nClass=\n", events=commands(40048)),
    Scenario("class no window has", "tunedesk.exe /NEXT /HIDE", ini="[Configuration]\nClass=Nobody\n"),
    # Where the settings file is.
    Scenario("renamed executable", "Remote.exe /PLAY", program="Remote.exe",
             ini="[Configuration]\nClass=Other Player\n", players=("Other Player",), events=commands(40045)),
    Scenario("program path of 255 characters", "tunedesk.exe /NEXT", folder_length=242,
             ini="[Configuration]\nClass=Other Player\n", players=("Other Player",), events=commands(40048)),
    Scenario("folder path over 250 characters", "tunedesk.exe /NEXT", folder_length=251,
             ini="[Configuration]\nClass=Other Player\n", players=("Other Player",), events=commands(40048)),
    # Folders named with letters the ANSI code page lacks: the settings are still read, and
    # the player started.
    *(Scenario(f"{language} folder", "tunedesk.exe go /NEXT", subfolder=name, players=(),
               ini=STARTED + "[Commands]\ngo=40047\n", launches=True, events=commands(40047, 40048))
      for language, name in (("Polish", "Łukasz"), ("Cyrillic", "Музыка"), ("CJK", "音楽"))),
    # Help.
    Scenario("help", "tunedesk.exe /? /NEXT", ini=BINDINGS, boxes=help_box("volup, /VOLDOWN")),
    Scenario("help without settings", 'tunedesk.exe "/?"', players=(),
             boxes=help_box("none", "not found: every setting takes its default")),
    Scenario("help in a Polish folder", "tunedesk.exe /?", subfolder="Łódź", ini=BINDINGS,
             boxes=help_box("volup, /VOLDOWN")),
    Scenario("help anywhere else", "tunedesk.exe /NEXT /?", ini="[Commands]\n/?=40001\n",
             events=commands(40048, 40001)),
    # No player.
    Scenario("absent player without autoload", "tunedesk.exe /NEXT /HIDE volup", ini=BINDINGS, players=()),
    Scenario("autoload 2", "tunedesk.exe /NEXT", players=(),
             ini="[Configuration]\nAutoload=2\nPath={folder}\\standin.exe\n"),
    Scenario("autoload with an empty path", "tunedesk.exe /NEXT /STATUS", players=(),
             ini="[Configuration]\nAutoload=1\nPath=\n", boxes=NOT_RUNNING, exit=0),
    # Starting the player.
    Scenario("every key read, none written", "tunedesk.exe /PLAY volup", players=(), launches=True,
             ini=STARTED.replace("[Configuration]\n", "[Configuration]\nClass=Winamp v1.x\nPathOnCmdLine=0\n")
             + "HideOnLoad=1\n[Commands]\nvolup=40058\n",
             events=HIDE + commands(40045, 40058), final=HIDDEN),
    Scenario("start the player", "tunedesk.exe /PLAY", players=(), ini=STARTED, launches=True,
             events=commands(40045)),
    Scenario("start and hide on load", "tunedesk.exe /NEXT", players=(), launches=True,
             ini=STARTED + "HideOnLoad=1\n", events=HIDE + commands(40048), final=HIDDEN),
    Scenario("start and hide on request", "tunedesk.exe /HIDE", players=(), ini=STARTED,
             launches=True, events=HIDE + HIDE, final=HIDDEN),
    Scenario("player that cannot start", "tunedesk.exe /PLAY", players=(),
             ini="[Configuration]\nAutoload=1\nPath={folder}\\absent.exe\n", boxes=START_FAILED),
    Scenario("path on the command line", 'tunedesk.exe "{folder}\\standin.exe" /PLAY', players=(),
             ini=PATH_ON_COMMAND_LINE, launches=True, boxes=ECHO, events=commands(40045)),
    Scenario("path on the command line, player running", "tunedesk.exe {folder}\\standin.exe /NEXT",
             ini=PATH_ON_COMMAND_LINE, events=commands(40048)),
    Scenario("path on the command line missing", "tunedesk.exe", players=(), ini=PATH_ON_COMMAND_LINE,
             boxes=NOT_RUNNING, exit=0),
    # Queries: a line each on standard output.
    Scenario("queries while playing", "tunedesk.exe " + EVERY_QUERY, player=PLAYING,
             output=("Playing", "Artist C - Three", "83.250", "240.000", "78", "3/4")),
    Scenario("queries while paused, in any case", "tunedesk.exe " + EVERY_QUERY.lower(), player=PAUSED,
             output=("Paused", "Artist C - Three", "83.250", "240.000", "78", "3/4")),
    Scenario("queries while stopped", "tunedesk.exe " + EVERY_QUERY, player=dict(STOPPED, Numbers=0),
             output=("Stopped", "Artist C - Three", "", "240.000", "78", "3/4")),
    Scenario("queries with nothing loaded", "tunedesk.exe " + EVERY_QUERY, player=NOTHING_LOADED,
             output=("Stopped", "", "", "", "100", "0/0")),
    Scenario("query everything", "tunedesk.exe /QUERY", player=PLAYING,
             output=("status Playing", "title Artist C - Three", "position 83.250", "length 240.000",
                     "volume 78", "track 3", "tracks 4", "shuffle on", "repeat off",
                     "file " + file_of("Artist C - Three"), *tag_lines(3))),
    Scenario("query everything with nothing loaded", "tunedesk.exe /query", player=NOTHING_LOADED,
             output=("status Stopped", "title ", "position ", "length ", "volume 100", "track 0",
                     "tracks 0", "shuffle off", "repeat off", "file ", *tag_lines())),
    Scenario("queries without a player", "tunedesk.exe " + EVERY_QUERY + " /QUERY", players=(),
             output=("Not running", "", "", "", "", "", "status Not running")),
    Scenario("a title longer than a line", "tunedesk.exe /TITLE", player=dict(Status=1, Titles="x" * 1500),
             output=("x" * 1020,)),
    # The music as the player holds it: the title from its memory, the file's tags, the rating.
    Scenario("a scrolling caption: the title as the player holds it", "tunedesk.exe /TITLE /NEXT /TITLE",
             player=dict(PLAYING, Scroll=1), events=commands(40048), output=("Artist C - Three", "Artist D - Four"),
             memory=True),
    Scenario("the tags and rating of the file playing", "tunedesk.exe /ARTIST /ALBUM /RATING /RATING=2 "
             "/RATING /RATING=6 /RATING=-1 /RATING=+1 /RATING=0 /PREV /ARTIST", player=PLAYING,
             events=ipc(639, 2, 639, 0) + commands(40044), output=("Artist C", "Three", "4", "2", "Artist B"),
             unread=("", "", "4", "2", "")),
    Scenario("a tag longer than the player's answer", "tunedesk.exe /ARTIST /ALBUM",
             player=dict(Status=1, Titles="One", Artists="x" * 1500, Albums="é" * 1500), output=("x" * 1020, "é" * 510),
             unread=("", "")),
    Scenario("a player without the tags question", "tunedesk.exe /ARTIST /ALBUM /RATING",
             player=dict(PLAYING, Tags=0), output=("", "", "4")),
    Scenario("queries among switches", "tunedesk.exe /STATUS /PLAY /STATUS /TRACK /NEXT /TRACK /PAUSE "
             "/QUERY /HIDE /SHOW", player=STOPPED,
             events=commands(40045, 40048, 40046) + HIDE + ("shown",),
             output=("Stopped", "Playing", "3/4", "4/4", "status Paused", "title Artist D - Four",
                     "position 0.000", "length 240.000", "volume 78", "track 4", "tracks 4",
                     "shuffle on", "repeat off", "file " + file_of("Artist D - Four"), *tag_lines(4))),
    Scenario("queries after starting the player", "tunedesk.exe /PLAY /STATUS /TITLE", players=(),
             ini=STARTED, launches=True, player=STOPPED, events=commands(40045),
             output=("Playing", "Artist C - Three")),
    Scenario("queries without a standard output", "tunedesk.exe /STATUS /QUERY", player=PLAYING,
             stdout=False),
    Scenario("status from the Linux shell", "tunedesk.exe /STATUS", player=PAUSED, shell=True,
             output=("Paused",)),
    # Titles in every language, written as UTF-8 and cut only between characters.
    Scenario("titles in every language", "tunedesk.exe /PREV /TITLE /NEXT /TITLE /NEXT /TITLE",
             player=WORLD_PLAYING, events=commands(40044, 40048, 40048), output=WORLD),
    Scenario("query a CJK title", "tunedesk.exe /QUERY", player=WORLD_PLAYING,
             output=("status Playing", "title " + WORLD[1], "position 0.000", "length ", "volume 100",
                     "track 2", "tracks 3", "shuffle off", "repeat off", "file " + file_of(WORLD[1]),
                     *tag_lines())),
    Scenario("a title of two-byte characters longer than a line", "tunedesk.exe /TITLE",
             player=dict(Status=1, Titles="é" * 600), output=("é" * 510,)),
    Scenario("a title of four-byte characters longer than a line", "tunedesk.exe /TITLE",
             player=dict(Status=1, Titles="🎵" * 300), output=("🎵" * 255,)),
    # Following the player.
    *FOLLOW_SCENARIOS,
    Scenario("a CJK title from the Linux shell", "tunedesk.exe /TITLE", player=WORLD_PLAYING, shell=True,
             output=(WORLD[1],)),
    # Templates, as status bars write them, and a now-playing file.
    Scenario("a template, and one written to a file", "tunedesk.exe \"/FORMAT={{artist}} - {{title}} "
             "[{{duration(position)}}/{{duration(mpris:length)}}]\" /FORMAT={{uc(title)}} /OUTPUT=np.txt "
             "/FORMAT={{nope(title)}} /STATUS", player=PLAYING,
             output=("Artist C - Three [1:23/4:00]", "", "Playing"), written={"np.txt": ("THREE",)}),
    # Setters.
    Scenario("volume", "tunedesk.exe /VOLUME=50 /volume=+10 /VOLUME=-100 /VOLUME=150 /VOLUME=-0",
             player=PLAYING, events=ipc(122, 128, 122, 153, 122, 0, 122, 255, 122, 255)),
    Scenario("volume junk", "tunedesk.exe /VOLUME= /VOLUME=99999999999 /VOLUME=1:30 /VOLUME=abc "
             "/VOLUME=+ /VOLUME=5x /VOLUME==5", player=PLAYING),
    Scenario("seek", "tunedesk.exe /SEEK=+10 /SEEK=-5 /seek=30 /SEEK=-100 /SEEK=2147483",
             player=PLAYING, events=ipc(106, 93250, 106, 88250, 106, 30000, 106, 0, 106, 2147483000)),
    Scenario("seek while paused", "tunedesk.exe /SEEK=+1", player=PAUSED, events=ipc(106, 84250)),
    Scenario("seek while stopped", "tunedesk.exe /SEEK=10 /SEEK=+5", player=STOPPED),
    Scenario("seek junk", "tunedesk.exe /SEEK=1:30 /SEEK= /SEEK=2147484 /SEEK=-", player=PLAYING),
    Scenario("track", "tunedesk.exe /TRACK=1 /TRACK=4 /TRACK=0 /TRACK=5 /TRACK=+1 /TRACK=-1 /TRACK=x",
             player=STOPPED, events=ipc(121, 0) + commands(40045) + ipc(121, 3) + commands(40045)),
    Scenario("track of an empty list", "tunedesk.exe /TRACK=1", player=NOTHING_LOADED),
    Scenario("shuffle and repeat", "tunedesk.exe /SHUFFLE=ON /shuffle=off /REPEAT=On /REPEAT=OFF "
             "/SHUFFLE=yes /REPEAT= /REPEAT=track", player=PLAYING,
             events=ipc(252, 1, 252, 0, 253, 1, 635, 0, 253, 0, 253, 1, 635, 1)),
    Scenario("the shipped toggles still work", "tunedesk.exe /SHUFFLE /REPEAT", ini=READY_MADE,
             events=commands(40023, 40022)),
    Scenario("setters without a player", "tunedesk.exe /VOLUME=5 /SEEK=5 /TRACK=1 /SHUFFLE=ON",
             players=()),
    Scenario("path on the command line too long", "tunedesk.exe " + "p" * 300 + " /PLAY", players=(),
             ini=PATH_ON_COMMAND_LINE, boxes=START_FAILED),
    *PLAYLIST_SCENARIOS,
]


def write_state(path, state):
    keys = "".join(f"{key}={value}\n" for key, value in state.items())
    path.write_text("[Player]\n" + keys, encoding="utf-8-sig")


def unread(lines, pairing):
    """The lines as a pairing that can't read the player's memory gets them: no file."""
    if pairing.reads_memory:
        return list(lines)
    emptied = ("file",) + TAG_KEYS
    return [line.split(" ")[0] + " " if line.split(" ")[0] in emptied else line for line in lines]


def check_blocks(scenario, folder, pairing):
    """The follower's blocks, with their positions left out, against those expected, and the time
    from each step named in the latencies to its block."""
    text = read_bytes(folder / "stdout.txt").decode("utf-8")
    blocks = [tuple("position *" if line.startswith("position ") else line for line in block.split("\r\n"))
              for block in text.split("\r\n\r\n")[:-1]]
    wanted = [tuple(unread(block, pairing)) for block in scenario.blocks]
    problems = [] if blocks == wanted else [f"blocks: expected {wanted}, got {blocks}"]
    steps, grown = {}, []
    for line in read_lines(folder / "timeline.txt"):
        time, what, *value = line.split()
        if what == "step":
            steps[int(value[0])] = int(time)
        elif what == "output":
            grown.append((int(time), int(value[0])))
    ends = [len(block.encode("utf-8")) for block in (text.split("\r\n\r\n"))][:-1]
    for step, block, most in scenario.latencies:
        end = sum(ends[:block + 1]) + 4 * (block + 1)
        seen = next((time for time, size in grown if size >= end), None)
        if step not in steps or seen is None or seen - steps[step] > most:
            problems.append(f"block {block} came {None if seen is None or step not in steps else seen - steps[step]} ms "
                            f"after step {step}, expected within {most} ms")
    return problems


def read_bytes(path):
    return path.read_bytes() if path.exists() else b""


def run_from_shell(scenario, folder, program_folder, pairing):
    """As a Linux user would type it: "wine tunedesk.exe /STATUS > file", while the harness
    keeps the stand-in players up."""
    harness = subprocess.Popen(pairing.command(pairing.build / "harness.exe"), cwd=folder,
                               env=pairing.environment(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(600):  # as long as the harness waits for a 32-bit player
            if "shown" in read_lines(folder / "standin.log"):
                break
            time.sleep(0.1)
        with open(folder / "stdout.txt", "wb") as out, open(folder / "stderr.txt", "wb") as errors:
            status = subprocess.run(pairing.command(*scenario.command_line.split()), cwd=program_folder,
                                    stdout=out, stderr=errors, stdin=subprocess.DEVNULL,
                                    env=pairing.environment(), timeout=120).returncode
        (folder / "result.txt").write_text(f"exit {status}\n")
    finally:
        (folder / "done.txt").touch()
        harness.wait(timeout=120)


class FileReader(threading.Thread):
    """Reads each now-playing file 1,000 times while the run goes on, as a streaming program
    would, and then checks what it saw and what each file holds at the end."""

    def __init__(self, folder, written):
        super().__init__(daemon=True)
        self.folder, self.written, self.seen = folder, written or {}, set()
        if self.written:
            self.start()

    def run(self):
        for _ in range(1000):
            for name in self.written:
                try:
                    self.seen.add((name, (self.folder / name).read_bytes()))
                except FileNotFoundError:
                    pass  # not written yet
            time.sleep(0.002)

    def stop(self):
        if self.written:
            self.join()

    def problems(self):
        problems = [f"{name}: a reader saw {text!r}" for name, text in sorted(self.seen)
                    if text.decode("utf-8", "replace") not in self.written[name]]
        for name, lines in self.written.items():
            if (text := read_bytes(self.folder / name)) != lines[-1].encode("utf-8"):
                problems.append(f"{name}: expected {lines[-1]!r} at the end, got {text!r}")
        return problems


def read_lines(path):
    return path.read_text("utf-8").splitlines() if path.exists() else []


def run(scenario, pairing):
    folder = scenario.folder(pairing)
    shutil.rmtree(folder, ignore_errors=True)
    program_folder = folder / scenario.program_folder(pairing)
    program_folder.mkdir(parents=True)
    shutil.copy(pairing.build / "tunedesk.exe", program_folder / scenario.program)
    shutil.copy(pairing.player_build / "standin.exe", folder / "standin.exe")
    def placed(text):
        return (text.replace("{folder}", windows_path(folder))
                .replace("{program}", windows_path(program_folder)))

    settings = program_folder / "TUNEDESK.INI"
    ini = None if scenario.ini is None else placed(scenario.ini).replace("\n", "\r\n").encode(scenario.encoding)
    if ini is not None:
        settings.write_bytes(ini)
        os.utime(settings, (SETTINGS_TIME, SETTINGS_TIME))  # any write would move it
    for name in scenario.files:
        made = folder / name
        made.parent.mkdir(parents=True, exist_ok=True)
        made.mkdir() if name.endswith("/") else made.touch()
    if scenario.player is not None:
        write_state(folder / "standin.ini", scenario.player)
    for name, state in (scenario.states or {}).items():
        write_state(folder / f"state-{name}.ini", state)
    lines = [f"{'await' if pairing.mixed else 'player'} {name}" for name in scenario.players]
    program = str(scenario.program_folder(pairing) / scenario.program).replace("/", "\\")
    if scenario.shell:
        lines += ["wait done.txt"]
    else:
        lines += [f"program {program}", f"commandline {placed(scenario.command_line)}"]
    lines += [] if scenario.stdout else ["nostdout"]
    lines += ["input"] if scenario.steps else []
    lines += [f"step {delay} {action} {argument}".rstrip() for delay, action, argument in scenario.steps]
    (folder / "scenario.txt").write_bytes(("\n".join(lines) + "\n").encode("utf-8"))

    players = [pairing.start_32_bit_player(name, folder) for name in scenario.players] if pairing.mixed else []
    reader = FileReader(folder, scenario.written)
    if scenario.shell:
        run_from_shell(scenario, folder, program_folder, pairing)
    else:
        pairing.wine(pairing.build / "harness.exe", cwd=folder, log=folder / "harness.out", debug=scenario.debug)
    reader.stop()
    for player in players:  # the harness has closed it
        try:
            player.wait(timeout=30)
        except subprocess.TimeoutExpired:
            player.kill()
    problems = []
    for what, actual, expected in (
        ("player log", read_lines(folder / "standin.log"), [placed(line) for line in scenario.expected_log()]),
        ("result", read_lines(folder / "result.txt"), [placed(line) for line in scenario.expected_result()]),
    ):
        if actual != expected:
            problems.append(f"{what}: expected {expected}, got {actual}")
    if scenario.blocks is None:
        output = scenario.output if pairing.reads_memory or scenario.unread is None else scenario.unread
        expected = "".join(placed(line) + "\r\n" for line in unread(output, pairing)).encode("utf-8")
        if (actual := read_bytes(folder / "stdout.txt")) != expected:
            problems.append(f"output: expected {expected}, got {actual}")
    else:
        problems += check_blocks(scenario, folder, pairing)
    problems += reader.problems()
    if scenario.errors is not None and (actual := read_lines(folder / "stderr.txt")) != list(scenario.errors):
        problems.append(f"standard error: expected {list(scenario.errors)}, got {actual}")
    traced = read_bytes(folder / "harness.out").decode("utf-8", "replace")
    at = 0
    for trace in scenario.traces:
        found = traced.find(trace, at)
        if found < 0:
            problems.append(f"no trace {trace!r} after what came before it")
            break
        at = found + len(trace)
    if ini is not None:
        if settings.read_bytes() != ini or settings.stat().st_mtime != SETTINGS_TIME:
            problems.append("the settings file was written")
    return problems


DEMO = Scenario("demo", "tunedesk.exe /PLAY /NEXT volup /VOLUME=50 /HIDE /SHOW /QUERY /PAUSE",
                ini=BINDINGS, player=STOPPED)


def demo(pairing):
    print("Stand-in player running under Wine, stopped at track 3 of 4; TUNEDESK.INI binds volup=40058.")
    print("Running: " + DEMO.command_line)
    run(DEMO, pairing)
    folder = DEMO.folder(pairing)
    print("The player received:")
    for line in read_lines(folder / "standin.log"):
        print("    " + line)
    print("tunedesk printed:")
    for line in read_lines(folder / "stdout.txt"):
        print("    " + line)
    print("tunedesk " + read_lines(folder / "result.txt")[-1])
    return 0


def followers_without_input(pairing):
    """A follower started with no input of its own, as from a shortcut, keeps running and keeping
    its file; "/FOLLOW=OFF" ends it and leaves one that reads a pipe running, until its pipe ends."""
    folder = work_folder(pairing) / "follow-without-input"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for tool in ("tunedesk.exe", "standin.exe"):
        shutil.copy(pairing.build / tool, folder / tool)
    write_state(folder / "standin.ini", FOLLOWING)
    quiet = dict(cwd=folder, env=pairing.environment(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    player = subprocess.Popen(pairing.command("standin.exe"), stdin=subprocess.DEVNULL, **quiet)
    problems, alone, piped = [], None, None
    try:
        for _ in range(600):
            if "shown" in read_lines(folder / "standin.log"):
                break
            time.sleep(0.1)
        alone = subprocess.Popen(pairing.command("tunedesk.exe", "/FOLLOW", "/FORMAT={{title}}", "/OUTPUT=np.txt"),
                                 stdin=subprocess.DEVNULL, **quiet)
        piped = subprocess.Popen(pairing.command("tunedesk.exe", "/FOLLOW"), stdin=subprocess.PIPE, **quiet)
        for _ in range(100):
            if read_bytes(folder / "np.txt") == b"One":
                break
            time.sleep(0.1)
        time.sleep(1)
        if read_bytes(folder / "np.txt") != b"One" or alone.poll() is not None:
            problems.append(f"without input: {alone.poll()} and {read_bytes(folder / 'np.txt')!r}")
        stopped = subprocess.run(pairing.command("tunedesk.exe", "/FOLLOW=OFF"), stdin=subprocess.DEVNULL,
                                 timeout=60, **quiet).returncode
        try:
            alone.wait(timeout=10)
        except subprocess.TimeoutExpired:
            problems.append("/FOLLOW=OFF left the follower without input running")
        if stopped != 1 or piped.poll() is not None:
            problems.append(f"/FOLLOW=OFF exited {stopped}; the piped follower: {piped.poll()}")
        piped.stdin.close()
        piped.wait(timeout=10)
        if (folder / "standin.log").exists() and any(line.startswith("command") for line in read_lines(folder / "standin.log")):
            problems.append("/FOLLOW=OFF sent the player something")
    finally:
        for process in (player, alone, piped):
            if process is not None and process.poll() is None:
                process.kill()
    return problems


# Checks that run beside the scenarios, where the pairing starts its own players.
CHECKS = {"follow without input, and /FOLLOW=OFF": followers_without_input}


def test(wanted, pairing):
    passed = failed = 0
    for scenario in SCENARIOS:
        if wanted and not any(part in scenario.name for part in wanted):
            continue
        # A player that tunedesk.exe starts in the mixed pairing would be started by WinExec on
        # the 64-bit side, which can't run the 32-bit stand-in.
        if pairing.mixed and (not scenario.players or scenario.launches or not scenario.mixed):
            continue
        if scenario.memory and not pairing.reads_memory:  # there the caption is all there is
            continue
        if scenario.pairings is not None and pairing.name not in scenario.pairings:
            continue
        problems = run(scenario, pairing)
        print(("PASS " if not problems else "FAIL ") + scenario.name, flush=True)
        for problem in problems:
            print("    " + problem, flush=True)
        if problems:
            wine_session.keep_evidence(scenario.folder(pairing), f"{pairing.name}: {scenario.name}")
        passed += not problems
        failed += bool(problems)
    for name, check in CHECKS.items():
        if pairing.mixed or (wanted and not any(part in name for part in wanted)):
            continue
        problems = check(pairing)
        print(("PASS " if not problems else "FAIL ") + name, flush=True)
        for problem in problems:
            print("    " + problem, flush=True)
        passed += not problems
        failed += bool(problems)
    print(f"{pairing.name}: {passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


def main(arguments):
    name = "win64"
    if arguments[:1] == ["--pairing"]:
        name, arguments = arguments[1], arguments[2:]
    if name not in wine_session.PAIRINGS:
        sys.exit(f"unknown pairing {name}: win64 (the default), win32, mixed or wine10")
    pairing = wine_session.PAIRINGS[name]
    for tool in (pairing.build / "tunedesk.exe", pairing.build / "harness.exe",
                 pairing.player_build / "standin.exe"):
        if not tool.exists():
            sys.exit(f"missing {tool}: build the win64 and win32 presets first")
    with wine_session.session(pairing):
        return demo(pairing) if arguments == ["--demo"] else test(arguments, pairing)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
