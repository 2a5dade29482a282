#!/usr/bin/env python3
"""End to end: tunedesk-mpris on a private session bus, Debian's playerctl as the client, and the
real tunedesk.exe /FOLLOW under Wine talking to the stand-in player. The checks run in order, on
one player whose state each leaves for the next, and the last line is "N passed, N failed".

Usage: run.py [--pairing wine10]   (build the host and win64 presets first)
                the companion's Tunedesk and the stand-in under the host's Wine, or under Wine 10
                in the root that scripts/wine10.sh makes
       run.py --packaged PACKAGE.deb
                runs the same checks with the companion, tunedesk.exe and its settings file as the
                package lays them out, extracted with dpkg-deb -x under build/mpris/root
       run.py --tags COMMAND...
                checks only the tags and covers that COMMAND CACHE-FOLDER FILE... reads: the
                tags-probe target, run as the command says (in the Wine 10 root, built there)
"""
import dataclasses
import os
import pathlib
import signal
import shutil
import subprocess
import sys
import threading
import time
import urllib.parse


sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
import wine_session  # noqa: E402
from wine_session import ROOT, session, windows_path  # noqa: E402

# Which Wine the companion's Tunedesk runs in: the host's (win64), or Wine 10 (wine10).
PAIRING = wine_session.WIN64



@dataclasses.dataclass(frozen=True)
class Layout:
    """Where the companion and the tunedesk.exe it runs lie, and the settings file that exe reads."""
    companion: pathlib.Path
    exe: pathlib.Path
    settings: pathlib.Path


FOLDER = ROOT / "build" / "mpris"
BUILT = Layout(ROOT / "build" / "host" / "mpris" / "tunedesk-mpris", FOLDER / "tunedesk.exe",
               FOLDER / "TUNEDESK.INI")
HUNG_WINE = pathlib.Path(__file__).with_name("hung-wine.sh")
HUNG_ONCE_WINE = pathlib.Path(__file__).with_name("hung-once-wine.sh")
CP1252_WINE = pathlib.Path(__file__).with_name("cp1252-wine.sh")
NO_TRACK = "/org/mpris/MediaPlayer2/TrackList/NoTrack"
PLAYER_STATE = ("[Player]\nStatus=0\nPosition=0\nLength=240000\nVolume=200\nTrack=2\nClock=1\n"
                "Titles=Artist A - One|Artist B - Two|Artist C - Three|Artist D - Four|"
                "坂本龍一 - Merry Christmas Mr. Lawrence\n")
SETTINGS = "[Configuration]\r\nAutoload=1\r\nWaitLength=1500\r\nPath={folder}\\standin.exe\r\n"
# Sets a property (its name, its type and its value in GVariant text), then gets it as soon as the
# Set is answered, on one connection.
READ_BACK = """
import sys
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
def call(method, *value):
    return bus.call_sync("org.mpris.MediaPlayer2.tunedesk", "/org/mpris/MediaPlayer2",
                         "org.freedesktop.DBus.Properties", method,
                         GLib.Variant("(ss" + "v" * len(value) + ")",
                                      ("org.mpris.MediaPlayer2.Player", sys.argv[1], *value)),
                         None, Gio.DBusCallFlags.NONE, -1, None)
call("Set", GLib.Variant.parse(GLib.VariantType(sys.argv[2]), sys.argv[3]))
print(call("Get").unpack()[0])
"""
# A burst of calls on one connection, with GLib's binding, which Debian's own python3 has.
BURST = """
import sys
from gi.repository import Gio, GLib
count, failed = int(sys.argv[1]), []
bus, loop = Gio.bus_get_sync(Gio.BusType.SESSION), GLib.MainLoop()
def answered(connection, result):
    try:
        connection.call_finish(result)
    except GLib.Error as error:
        failed.append(error.message)
    answered.left -= 1
    if not answered.left:
        loop.quit()
answered.left = count
for _ in range(count):
    bus.call("org.mpris.MediaPlayer2.tunedesk", "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player",
             "Next", None, None, Gio.DBusCallFlags.NONE, 120000, None, answered)
loop.run()
print(len(failed), failed[:1])
"""


# Tagged files, made with Debian's python3-mutagen over sox's tones: each kind of embedded cover,
# a file with no tags but a Folder.jpg beside it, and a WAV file, a kind read with no embedded
# cover, with a Cover.PNG beside it. Prints nothing; the pictures' bytes are made here and read
# back by the runner.
TAGGING = """
import base64, sys
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3, APIC, TALB, TIT2, TPE1, TPE2, TRCK
from mutagen.oggvorbis import OggVorbis
from mutagen.wave import WAVE
folder = sys.argv[1]
png, jpeg = open(folder + "/cover.png", "rb").read(), open(folder + "/cover.jpg", "rb").read()
def picture(data, mime, kind=3):
    made = Picture()
    made.type, made.mime, made.data = kind, mime, data
    return made
flac = FLAC(folder + "/flac/Tagged.flac")
flac.update({"title": "Flac Song", "artist": "Flac Artist", "album": "Flac Album",
             "albumartist": "Various", "tracknumber": "3", "discnumber": "2", "genre": "Ambient"})
flac.add_picture(picture(png, "image/png"))
flac.save()
mp3 = ID3()
mp3.add(TIT2(encoding=3, text="Mp3 Song")); mp3.add(TPE1(encoding=3, text="Mp3 Artist"))
mp3.add(TALB(encoding=3, text="Mp3 Album")); mp3.add(TPE2(encoding=3, text="Various"))
mp3.add(TRCK(encoding=3, text="5/9"))
mp3.add(APIC(encoding=3, mime="image/png", type=0, desc="other", data=png))
mp3.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="front", data=jpeg))
mp3.save(folder + "/mp3/Tagged.mp3")
ogg = OggVorbis(folder + "/ogg/Tagged.ogg")
ogg.update({"title": "Ogg Song", "artist": "Ogg Artist", "album": "Ogg Album"})
ogg["metadata_block_picture"] = [base64.b64encode(picture(png, "image/png").write()).decode()]
ogg.save()
wav = WAVE(folder + "/wav/Tagged.wav")
wav.add_tags()
wav.tags.add(TALB(encoding=3, text="Wav Album")); wav.tags.add(TPE1(encoding=3, text="Wav Artist"))
wav.save()
"""
MUSIC = (("flac/Tagged.flac", "Flac Album", "Flac Artist", "cover.png"),
         ("mp3/Tagged.mp3", "Mp3 Album", "Mp3 Artist", "cover.jpg"),
         ("ogg/Tagged.ogg", "Ogg Album", "Ogg Artist", "cover.png"),
         ("plain/Untagged.flac", "", "Plain", "plain/Folder.jpg"),
         ("wav/Tagged.wav", "Wav Album", "Wav Artist", "wav/Cover.PNG"))


def make_music(folder):
    """The tagged files of MUSIC under folder, with the pictures they carry."""
    for kind in ("flac", "mp3", "ogg", "plain", "wav"):
        (folder / kind).mkdir(parents=True, exist_ok=True)
    (folder / "cover.png").write_bytes(b"\x89PNG\r\n\x1a\n" + bytes(range(64)))
    (folder / "cover.jpg").write_bytes(b"\xff\xd8\xff\xe0JFIF" + bytes(range(64, 160)) + b"\xff\xd9")
    (folder / "plain" / "Folder.jpg").write_bytes(b"\xff\xd8\xff\xe0folder" + bytes(range(40)) + b"\xff\xd9")
    (folder / "wav" / "Cover.PNG").write_bytes(b"\x89PNG\r\n\x1a\nwav" + bytes(range(32)))
    for name, *_ in MUSIC:
        subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", str(folder / name), "synth", "1", "sine", "440"],
                       check=True)
    subprocess.run(["/usr/bin/python3", "-c", TAGGING, str(folder)], check=True)


def cover_problem(art, picture):
    """Why the cover art URL does not name a file with the picture's bytes; None when it does."""
    shown = pathlib.Path(urllib.parse.unquote(art[len("file://"):])) if art.startswith("file://") else None
    if shown and shown.exists() and shown.read_bytes() == picture.read_bytes():
        return None
    return f"artUrl {art!r} does not hold the bytes of {picture.name}"


def check_tags(probe):
    """MUSIC's tags and cover art as the companion's code reads them, through tags-probe run by
    the command given: where that code is built against another TagLib, in another system."""
    checks = Checks()
    music = FOLDER / "music"
    make_music(music)
    done = subprocess.run([*probe, str(FOLDER / "cache"), *(str(music / name) for name, *_ in MUSIC)],
                          capture_output=True, text=True)
    lines = done.stdout.splitlines()
    checks.check("tags-probe reads every file", [same("exit status", done.returncode, 0),
                                                  same("lines", len(lines), len(MUSIC))])
    for (name, album, artist, picture), line in zip(MUSIC, lines):
        shown = (line.split("\t") + ["", ""])[:3]
        checks.check(f"tags and cover art of {name}, read there", [
            same("album", shown[0], album), same("artist", shown[1], artist if album else ""),
            cover_problem(shown[2], music / picture)])
    return checks


def playerctl(*arguments, timeout=30):
    """(exit status, output, error text, seconds) of one playerctl command."""
    start = time.monotonic()
    done = subprocess.run(["playerctl", "-p", "tunedesk", *arguments], capture_output=True, text=True,
                          timeout=timeout, stdin=subprocess.DEVNULL)
    return done.returncode, done.stdout.strip(), done.stderr.strip(), time.monotonic() - start


def eventually(want, *arguments, seconds=6):
    """The playerctl output once it equals want, or the last one seen after the time is up."""
    deadline = time.monotonic() + seconds
    while True:
        output = playerctl(*arguments)[1]
        if output == want or time.monotonic() > deadline:
            return output
        time.sleep(0.2)


def follow_change(what, change, wanted):
    """Seconds from a change made to standin.ini to "playerctl --follow WHAT" printing wanted, or
    None when it never does."""
    log = FOLDER / f"follow-{what.replace(' ', '-')}.txt"
    with open(log, "w") as out:
        follow = subprocess.Popen(["playerctl", "-p", "tunedesk", "--follow", *what.split()],
                                  stdout=out, stderr=subprocess.DEVNULL)
        time.sleep(1)
        state = (FOLDER / "standin.ini").read_text(encoding="utf-8-sig")
        changed_at = time.monotonic()
        (FOLDER / "standin.ini").write_text(change(state), encoding="utf-8-sig")
        seen_at = until(lambda: wanted in log.read_text().split(), 6)
        follow.terminate()
        follow.wait()
    return seen_at - changed_at if wanted in log.read_text().split() else None


def listed():
    """True while playerctl lists the companion's player."""
    return "tunedesk" in subprocess.run(["playerctl", "-l"], capture_output=True, text=True).stdout.split()


def until(done, seconds):
    """The monotonic time when done() first holds, or after the time is up."""
    deadline = time.monotonic() + seconds
    while not done() and time.monotonic() < deadline:
        time.sleep(0.02)
    return time.monotonic()


# The templates that playerctl and tunedesk.exe must render alike, and the paused players they
# render, whose files the companion can't read tags from.
TEMPLATES = (
    "{{status}}", "{{artist}} - {{title}}", "{{xesam:title}}|{{xesam:artist}}|{{xesam:album}}|{{album}}",
    "{{xesam:albumArtist}}|{{xesam:genre}}|{{xesam:userRating}}|{{xesam:userRating * 5}}",
    "{{mpris:length}}|{{position}}|{{volume}}|{{loop}}|{{shuffle}}|{{mpris:trackid}}",
    "{{playerName}} {{playerInstance}}", "{{duration(position)}}/{{duration(mpris:length)}}",
    "{{uc(title)}}|{{lc(artist)}}|{{markup_escape(album)}}", '{{default(xesam:composer,"none")}}',
    '{{default(xesam:composer, "no one")}} {{default(title, "-")}}', "{{emoji(status)}}{{emoji(volume)}}",
    "{{trunc(title, 4)}}|{{trunc(title, 40)}}",
    "{{position / 1000000}}|{{volume * 100}}|{{mpris:length - position}}|{{-position}}|{{(1 + 2) * 3}}|{{7 / 2}}",
    "{{ nothing }}x{{0.1 + 0.2}}",
)
TEMPLATE_PLAYERS = (
    "[Player]\nStatus=3\nPosition=83250\nLength=240000\nVolume=200\nShuffle=1\nRepeat=1\nTrack=0\n"
    "Files=C:\\Music\\one.xyz\nTitles=Artist A - One <&>\n",
    "[Player]\nStatus=3\nPosition=5000\nLength=185000\nVolume=51\nShuffle=0\nRepeat=0\nTrack=1\n"
    "Files=C:\\Music\\a.xyz|C:\\Music\\b.xyz\nTitles=Artist A - One|Told Song\nArtists=|Told Artist\n"
    "Albums=|Told & Album\nAlbumArtists=|Various\nGenres=|Jazz\nRating=3\n",
)


def exe_template(template):
    """The template as it is typed for tunedesk.exe: quoted whole where it has a blank, and then
    with its strings in single quotes."""
    return f'"/FORMAT={template.replace(chr(34), chr(39))}"' if " " in template else f"/FORMAT={template}"


def check_templates(checks, layout):
    """Each template through playerctl and through tunedesk.exe /FORMAT= gives the same line."""
    folder = FOLDER / "templates"
    folder.mkdir()
    for tool in ("tunedesk.exe", "harness.exe"):
        shutil.copy(PAIRING.build / tool, folder / tool)
    for state in TEMPLATE_PLAYERS:
        (FOLDER / "standin.ini").write_text(state, encoding="utf-8-sig")
        eventually("Paused", "status")
        until(lambda: playerctl("metadata", "xesam:url")[1].endswith(".xyz"), 6)
        time.sleep(0.5)  # the block with the tags the player told
        # The exe's exact command lines, run one after the other by the harness's scenario each.
        for template in TEMPLATES:
            (folder / "scenario.txt").write_text(f"keepplayers\nprogram tunedesk.exe\n"
                                                 f"commandline tunedesk.exe {exe_template(template)}\n", encoding="utf-8")
            PAIRING.wine(folder / "harness.exe", cwd=folder, log=folder / "harness.out")
            exe = (folder / "stdout.txt").read_bytes().decode("utf-8").removesuffix("\r\n")
            code, reference, error, _ = playerctl("metadata", "--format", template)
            checks.check(f"template {template!r} as playerctl renders it, {state.split()[1]}", [
                f"playerctl failed: {error}" if code else None, same("line", exe, reference)])


def log_lines():
    path = FOLDER / "standin.log"
    return path.read_text().splitlines() if path.exists() else []


def own_process(pid, part):
    """True for a process whose command line holds part and that runs in this test's Wine prefix,
    so that a test ends its own processes and never another run's."""
    try:
        environment = pathlib.Path(f"/proc/{pid}/environ").read_bytes().split(b"\0")
        return (part in pathlib.Path(f"/proc/{pid}/cmdline").read_bytes() and
                f"WINEPREFIX={PAIRING.seen_prefix()}".encode() in environment)
    except OSError:
        return False


def own_processes(part):
    return [int(pid) for pid in os.listdir("/proc") if pid.isdigit() and own_process(pid, part)]


def follower_command(pid):
    """True for the companion's tunedesk.exe /FOLLOW under Wine."""
    return own_process(pid, b"/FOLLOW")


def companion_environment():
    """The pairing's Wine environment, a cache of the test's own, and the pairing's wine for the
    wines that hand on to it, which keep their markers in the test's folder."""
    return dict(PAIRING.environment(), XDG_CACHE_HOME=str(FOLDER / "cache"),
                TUNEDESK_WINE=" ".join(PAIRING.command()), TUNEDESK_MARKERS=str(FOLDER))


def companion_command(layout, *options):
    """The companion's command line, with the pairing's wine unless the options name another."""
    if "--wine" not in options:
        options = ("--wine", " ".join(PAIRING.command()), *options)
    return [layout.companion, *options, str(layout.exe)]


def start_companion(layout, *options):
    log = open(FOLDER / "companion.log", "a")
    companion = subprocess.Popen(companion_command(layout, "--verbose", *options),
                                 stdout=log, stderr=log, stdin=subprocess.DEVNULL,
                                 env=companion_environment())
    for _ in range(100):
        if "tunedesk" in subprocess.run(["playerctl", "-l"], capture_output=True, text=True).stdout:
            break
        time.sleep(0.1)
    return companion


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, name, problems):
        problems = [problem for problem in problems if problem]
        print(("PASS " if not problems else "FAIL ") + name, flush=True)
        for problem in problems:
            print("    " + problem, flush=True)
        if problems:
            wine_session.keep_evidence(FOLDER, f"mpris {PAIRING.name}: {name}")
        self.passed += not problems
        self.failed += bool(problems)

    def sends(self, name, arguments, expected, status=None):
        """Runs a playerctl command, then checks what the stand-in received and the status."""
        mark = len(log_lines())
        code, _, error, _ = playerctl(*arguments)
        problems = [f"playerctl {' '.join(arguments)} failed: {error}" if code else None]
        time.sleep(0.3)  # a command that should send nothing has had its chance to
        if log_lines()[mark:] != list(expected):
            problems.append(f"the player received {log_lines()[mark:]}, expected {list(expected)}")
        if status is not None and (seen := eventually(status, "status")) != status:
            problems.append(f"status {seen}, expected {status}")
        self.check(name, problems)


def same(what, seen, expected):
    return None if seen == expected else f"{what}: {seen!r}, expected {expected!r}"


def run_checks(checks, companion, layout):
    checks.check("playerctl -l lists the player", [same("players", subprocess.run(
        ["playerctl", "-l"], capture_output=True, text=True).stdout.split(), ["tunedesk"])])
    checks.check("not running: stopped, with no track", [
        same("status", eventually("Stopped", "status"), "Stopped"),
        same("track id", playerctl("metadata", "mpris:trackid")[1], f"'{NO_TRACK}'"),
        same("identity", subprocess.run(["gdbus", "call", "--session", "-d", "org.mpris.MediaPlayer2.tunedesk",
                                         "-o", "/org/mpris/MediaPlayer2", "-m", "org.freedesktop.DBus.Properties.Get",
                                         "org.mpris.MediaPlayer2", "Identity"],
                                        capture_output=True, text=True).stdout.strip(), "(<'Winamp (Tunedesk)'>,)")])
    checks.sends("play starts the player", ["play"], ["shown", "command 40045"], "Playing")
    checks.sends("play-pause while playing pauses", ["play-pause"], ["command 40046"], "Paused")
    checks.sends("play-pause while paused plays", ["play-pause"], ["command 40045"], "Playing")
    checks.sends("play while playing sends nothing", ["play"], [], "Playing")
    checks.sends("pause", ["pause"], ["command 40046"], "Paused")
    checks.sends("pause while paused sends nothing", ["pause"], [], "Paused")
    checks.sends("stop", ["stop"], ["command 40047"], "Stopped")
    checks.sends("play-pause while stopped plays", ["play-pause"], ["command 40045"], "Playing")
    checks.sends("next", ["next"], ["command 40048"])
    # Answered as soon as the player has the command; the track it brings follows in the block.
    mark, before = len(log_lines()), playerctl("metadata", "title")[1]
    code, _, error, _ = playerctl("previous")
    answered = time.monotonic()
    seen = until(lambda: playerctl("metadata", "title")[1] != before, 2) - answered
    time.sleep(0.3)
    checks.check("previous, and its track's title on the bus within 0.3 s of the answer", [
        f"playerctl previous failed: {error}" if code else None,
        same("received", log_lines()[mark:], ["command 40044"]),
        None if seen <= 0.3 else f"the title came {seen:.3f} s after the answer"])
    checks.check("metadata", [same(key, eventually(value, "metadata", key), value) for key, value in (
        ("title", "Three"), ("artist", "Artist C"), ("mpris:trackid", "'/org/tunedesk/track/3'"),
        ("mpris:length", "240000000"))])
    checks.sends("volume 0.5", ["volume", "0.5"], ["ipc 122 128"])
    checks.check("volume reads back", [same("volume", playerctl("volume")[1], "0.500000")])
    # A player slow to answer, so that a Set answered before its value is read again would show.
    state = (FOLDER / "standin.ini").read_text(encoding="utf-8-sig").replace("Status=0", "Status=1")
    (FOLDER / "standin.ini").write_text(state + "Slowly=60\n", encoding="utf-8-sig")
    time.sleep(0.5)
    for name, kind, value, seen in (("Volume", "d", "0.25", "0.25"), ("Shuffle", "b", "true", "True"),
                                    ("LoopStatus", "s", "'Track'", "Track"), ("Shuffle", "b", "false", "False"),
                                    ("LoopStatus", "s", "'None'", "None")):
        read_back = subprocess.run(["/usr/bin/python3", "-c", READ_BACK, name, kind, value],
                                   capture_output=True, text=True)
        checks.check(f"a Get sent as soon as Set {name} {value} is answered sees it",
                     [same(name, read_back.stdout.strip(), seen)])
    (FOLDER / "standin.ini").write_text(state, encoding="utf-8-sig")
    time.sleep(0.5)
    before = float(playerctl("position")[1])
    time.sleep(2)
    moved = float(playerctl("position")[1]) - before
    checks.check("the position moves on between blocks while playing",
                 [None if 1.5 <= moved <= 2.5 else f"it moved {moved:.3f} s in 2 s"])
    checks.sends("position 30", ["position", "30"], ["ipc 106 30000"])
    mark = len(log_lines())
    code, _, error, _ = playerctl("position", "10+")  # ten seconds on from where playing has taken it
    time.sleep(0.3)
    jumps = [int(line.split()[2]) for line in log_lines()[mark:] if line.startswith("ipc 106 ")]
    checks.check("position 10+", [f"playerctl position 10+ failed: {error}" if code else None,
                                  None if len(jumps) == 1 and 40000 <= jumps[0] <= 42000 else f"received {jumps}"])
    checks.sends("shuffle On", ["shuffle", "On"], ["ipc 252 1"])
    checks.sends("loop Track: repeat on, the playlist advanced by hand", ["loop", "Track"],
                 ["ipc 253 1", "ipc 635 1"])
    checks.check("loop reads back Track at once", [same("loop", playerctl("loop")[1], "Track")])
    checks.sends("loop Playlist", ["loop", "Playlist"], ["ipc 253 1", "ipc 635 0"])

    seen = follow_change("metadata title", lambda state: state.replace("Track=2", "Track=3")
                         .replace("Status=0", "Status=1"), "Four")
    checks.check("--follow sees a track change made at the player within 0.5 s", [
        None if seen is not None and seen <= 0.5 else f"seen {'never' if seen is None else f'after {seen:.3f} s'}"])
    seen = follow_change("volume", lambda state: state.replace("Volume=200", "Volume=255"), "1.000000")
    checks.check("--follow sees a volume change made at the player within 0.5 s", [
        None if seen is not None and seen <= 0.5 else f"seen {'never' if seen is None else f'after {seen:.3f} s'}"])
    PAIRING.wine(layout.exe, "/TRACK=5", log=FOLDER / "wine.log", cwd=FOLDER)
    checks.check("a CJK artist and title", [
        same("artist", eventually("坂本龍一", "metadata", "artist"), "坂本龍一"),
        same("title", playerctl("metadata", "title")[1], "Merry Christmas Mr. Lawrence")])
    # The stand-in names the entry C:\Music\TITLE.mp3: through the prefix's C: drive.
    url = (PAIRING.prefix / "drive_c" / "Music" / "坂本龍一 - Merry Christmas Mr. Lawrence.mp3").as_uri()
    checks.check("the file's URL, through the prefix's drives", [
        same("url", eventually(url, "metadata", "xesam:url"), url)])

    song = FOLDER / "opened song.flac"
    song.touch()
    mark = len(log_lines())
    code, _, error, _ = playerctl("open", song.as_uri())
    time.sleep(0.3)
    checks.check("open a file: it replaces the playlist and plays", [
        f"playerctl open failed: {error}" if code else None,
        same("received", log_lines()[mark:], ["ipc 101 0", "add " + windows_path(song), "ipc 121 0",
                                              "command 40045"])])
    mark = len(log_lines())
    for name in ('say "hi".flac', "line\nbreak.flac"):
        (FOLDER / name).touch()  # there, so that only their names refuse them
    refused = [playerctl("open", (FOLDER / name).as_uri())[0] != 0
               for name in ("missing.flac", 'say "hi".flac', "line\nbreak.flac")]
    time.sleep(0.3)
    checks.check("open refuses a missing file, a double quote and a line break", [
        same("refused", refused, [True, True, True]), same("received", log_lines()[mark:], [])])

    music = FOLDER / "music"
    make_music(music)
    files = "|".join(windows_path(music / name) for name, *_ in MUSIC)
    for track, (name, album, artist, picture) in enumerate(MUSIC):
        (FOLDER / "standin.ini").write_text(f"[Player]\nStatus=1\nTrack={track}\nFiles={files}\nTitles="
                                            + "|".join(f"{a or 'Plain'} - Caption {n}" for n, (_, _, a, _) in enumerate(MUSIC)),
                                            encoding="utf-8-sig")
        url = (music / name).as_uri()
        eventually(url, "metadata", "xesam:url")  # the block has come; the tags follow it
        until(lambda: playerctl("metadata", "mpris:artUrl")[1].startswith("file://"), 6)
        checks.check(f"tags and cover art of {name}", [
            same("url", playerctl("metadata", "xesam:url")[1], url),
            same("album", playerctl("metadata", "xesam:album")[1], album),
            same("artist", playerctl("metadata", "xesam:artist")[1], artist),
            cover_problem(playerctl("metadata", "mpris:artUrl")[1], music / picture)])

    # A file TagLib can't read: the player's own tags, and its rating.
    (FOLDER / "standin.ini").write_text("[Player]\nStatus=1\nTrack=0\nFiles=C:\\Music\\unreadable.xyz\n"
                                        "Titles=Told Song\nArtists=Told Artist\nAlbums=Told Album\nRating=3\n",
                                        encoding="utf-8-sig")
    rating = eventually("Told Artist", "metadata", "xesam:artist") and playerctl("metadata", "xesam:userRating")[1]
    checks.check("the player's own tags for a file TagLib can't read, and its rating", [
        same("artist", playerctl("metadata", "xesam:artist")[1], "Told Artist"),
        same("album", playerctl("metadata", "xesam:album")[1], "Told Album"),
        same("title", playerctl("metadata", "xesam:title")[1], "Told Song"),
        None if rating and abs(float(rating) - 0.6) < 1e-6 else f"userRating {rating!r}, expected 0.6"])

    check_templates(checks, layout)

    follower = next(pid for pid in os.listdir("/proc") if pid.isdigit() and follower_command(pid))
    os.kill(int(follower), signal.SIGKILL)
    refused = playerctl("next")
    deadline = time.monotonic() + 10
    while playerctl("status")[1] != "Playing" and time.monotonic() < deadline:
        time.sleep(0.2)
    mark = len(log_lines())
    checks.check("a killed follower is restarted, and calls work again", [
        None if refused[0] and "started again" in refused[2] else f"while restarting: {refused[2]!r}",
        same("next", playerctl("next")[0], 0), same("received", log_lines()[mark:][-1:], ["command 40048"])])

    mark = len(log_lines())
    burst = subprocess.run(["/usr/bin/python3", "-c", BURST, "1000"], capture_output=True, text=True, timeout=300)
    time.sleep(0.5)
    checks.check("1,000 calls in a burst all answered", [
        same("calls failed", burst.stdout.split(" ", 1)[0], "0"),
        same("commands received", len(log_lines()[mark:]), 1000)])

    companion.send_signal(signal.SIGTERM)
    status = companion.wait(timeout=10)
    checks.check("SIGTERM releases the name and exits 0", [
        same("exit status", status, 0),
        same("players", subprocess.run(["playerctl", "-l"], capture_output=True, text=True).stdout.split(), [])])

    hung = start_companion(layout, "--wine", str(HUNG_WINE), "--timeout", "1")
    answered = {}
    waiting = threading.Thread(target=lambda: answered.update(next=playerctl("next")))
    waiting.start()
    time.sleep(0.3)
    status_answer = playerctl("status")
    waiting.join()
    code, _, error, seconds = answered["next"]
    checks.check("a hung command: a D-Bus error after the timeout, while status answers at once", [
        None if code and "did not answer" in error else f"next: status {code}, {error!r}",
        None if seconds < 4 else f"next took {seconds:.1f} s",
        None if status_answer[3] < 0.5 else f"status took {status_answer[3]:.2f} s",
        same("status", status_answer[1], "Stopped")])

    # In the test's own prefix, as every Wine program a test runs: without one it would make and
    # leave a wineserver in the user's ~/.wine.
    second = subprocess.run(companion_command(layout), capture_output=True, text=True, timeout=30,
                            stdin=subprocess.DEVNULL, env=companion_environment())
    checks.check("a second instance exits 1 with one line", [
        same("exit status", second.returncode, 1), same("lines", len(second.stderr.splitlines()), 1)])
    hung.send_signal(signal.SIGTERM)
    checks.check("SIGTERM while a command hangs", [same("exit status", hung.wait(timeout=10), 0)])

    once = start_companion(layout, "--wine", str(HUNG_ONCE_WINE), "--timeout", "2")
    refused = playerctl("next")
    deadline = time.monotonic() + 15
    while playerctl("metadata", "mpris:trackid")[1] in ("", f"'{NO_TRACK}'") and time.monotonic() < deadline:
        time.sleep(0.2)  # until the follower started again has shown the player
    mark = len(log_lines())
    answered = playerctl("next")
    time.sleep(0.3)
    once.send_signal(signal.SIGTERM)
    checks.check("a follower that hangs on its first start is started again, and calls then work", [
        None if refused[0] and "did not answer" in refused[2] else f"first call: {refused[2]!r}",
        same("next after the restart", answered[0], 0),
        same("received", log_lines()[mark:], ["command 40048"]), same("exit status", once.wait(timeout=10), 0)])

    ansi = start_companion(layout, "--wine", str(CP1252_WINE))
    title = eventually("Beyonc\ufffd \ufffd Halo", "metadata", "title")
    ansi.send_signal(signal.SIGTERM)
    checks.check("a title in code page 1252 bytes: published as valid UTF-8, the companion stays up", [
        same("title", title, "Beyonc\ufffd \ufffd Halo"), same("exit status", ansi.wait(timeout=10), 0)])

    # Without Autoload there is no player on the bus while there is none to play.
    layout.settings.write_text(SETTINGS.replace("Autoload=1", "Autoload=0").replace("{folder}", windows_path(FOLDER)))
    ghostless = start_companion(layout)
    listed_at_start = listed()
    gone_at = time.monotonic()
    for pid in own_processes(b"standin.exe"):  # the one the companion's Autoload started
        os.kill(pid, signal.SIGTERM)
    gone = until(lambda: not listed(), 5) - gone_at
    mark = len(log_lines())
    player = subprocess.Popen(PAIRING.command("standin.exe"), cwd=FOLDER, env=PAIRING.environment(),
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shown_at = until(lambda: "shown" in log_lines()[mark:], 60)
    back = until(listed, 5) - shown_at
    ghostless.send_signal(signal.SIGTERM)
    checks.check("without Autoload: no name while the player is closed, taken and dropped within 1 s", [
        same("listed with the player running", listed_at_start, True),
        None if gone <= 1 else f"dropped {gone:.2f} s after the player went",
        None if back <= 1 else f"taken {back:.2f} s after the player appeared",
        same("exit status", ghostless.wait(timeout=10), 0)])
    player.kill()


def unpack(package):
    """The package extracted under FOLDER/root. Its TUNEDESK.INI beside tunedesk.exe links to
    /etc/tunedesk; here the link is aimed at the extracted /etc instead."""
    root = FOLDER / "root"
    subprocess.run(["dpkg-deb", "-x", package, root], check=True)
    link = root / "usr/lib/tunedesk/TUNEDESK.INI"
    if os.readlink(link) != "/etc/tunedesk/TUNEDESK.INI":
        sys.exit(f"{link} links to {os.readlink(link)}")
    link.unlink()
    link.symlink_to(root / "etc/tunedesk/TUNEDESK.INI")
    return Layout(root / "usr/bin/tunedesk-mpris", root / "usr/lib/tunedesk/tunedesk.exe",
                  root / "etc/tunedesk/TUNEDESK.INI")


def main(arguments):
    global PAIRING
    if arguments[:1] == ["--pairing"]:
        PAIRING, arguments = wine_session.PAIRINGS[arguments[1]], arguments[2:]
    shutil.rmtree(FOLDER, ignore_errors=True)
    FOLDER.mkdir(parents=True)
    if arguments[:1] == ["--tags"]:
        checks = check_tags(arguments[1:])
        print(f"tags: {checks.passed} passed, {checks.failed} failed")
        return 1 if checks.failed else 0
    layout = unpack(arguments[1]) if arguments[:1] == ["--packaged"] else BUILT
    for needed in (layout.companion, PAIRING.build / "tunedesk.exe", PAIRING.build / "standin.exe"):
        if not needed.exists():
            sys.exit(f"missing {needed}: build the host and win64 presets first")
    for tool in ("tunedesk.exe", "standin.exe"):
        shutil.copy(PAIRING.build / tool, FOLDER / tool)
    (FOLDER / "standin.ini").write_text(PLAYER_STATE, encoding="utf-8-sig")
    # The settings a user would give it, written where this layout's tunedesk.exe reads them.
    layout.settings.write_text(SETTINGS.replace("{folder}", windows_path(FOLDER)))
    bus = subprocess.run(["dbus-daemon", "--session", "--print-address=1", "--print-pid=1", "--fork"],
                         capture_output=True, text=True, check=True).stdout.split()
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
    checks = Checks()
    try:
        with session(PAIRING):
            # A first Play starts the player under a Wine just started: ample time on a busy machine.
            companion = start_companion(layout, "--timeout", "20")
            try:
                run_checks(checks, companion, layout)
            finally:
                companion.kill()
    finally:
        os.kill(int(bus[1]), signal.SIGTERM)
    name = "mpris" + (f" in {PAIRING.name}" if PAIRING != wine_session.WIN64 else "")
    print(f"{name}{' (packaged)' if layout != BUILT else ''}: {checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed or not checks.passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
