#!/usr/bin/env python3
"""What tunedesk-mpris costs, side by side with a native MPRIS player: mpv with Debian's mpv-mpris,
playing a test tone with --ao=null --no-video, and the stand-in under Wine through tunedesk-mpris,
both on one private session bus, both driven by playerctl.

It reports the medians of alternated "playerctl next", "playerctl volume" and "playerctl status"
runs against each player and their ratios; the CPU that the companion, its follower and the
wineserver use above the player alone while it plays; and how soon a change made at the
stand-in (its title, volume, shuffle, repeat, and a seek) arrives on the bus.

Usage: bench/mpris.py [RUNS] [SECONDS]   (default 20 and 60; build the host and win64 presets)
"""
import math
import select
import os
import pathlib
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import time
import wave

TESTS = pathlib.Path(__file__).resolve().parents[1] / "tests"
sys.path[:0] = [str(TESTS), str(TESTS / "mpris")]
import run as e2e  # noqa: E402  the companion's test set-up
from wine_session import WIN64, session  # noqa: E402

FOLDER = e2e.FOLDER
PLAYING = e2e.PLAYER_STATE.replace("Status=0", "Status=1")
# The same, with the caption turning as the player's "Scroll title in the Windows taskbar" turns it.
SCROLLING = PLAYING + "Scroll=1\n"
# Prints the monotonic time and name of each property in a PropertiesChanged, and of each Seeked,
# with GLib's binding.
WATCH = """
import time
from gi.repository import Gio, GLib
def changed(connection, sender, path, interface, signal, parameters):
    for name in (parameters[1].keys() if signal == "PropertiesChanged" else ["Seeked"]):
        print(time.monotonic(), name, flush=True)
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
for interface, signal in (("org.freedesktop.DBus.Properties", "PropertiesChanged"),
                          ("org.mpris.MediaPlayer2.Player", "Seeked")):
    bus.signal_subscribe(None, interface, signal, "/org/mpris/MediaPlayer2", None,
                         Gio.DBusSignalFlags.NONE, changed)
GLib.MainLoop().run()
"""
# A call's work goes on after its answer: mpv opens the next file after answering Next, about 12 ms
# of CPU in the next 100 ms here, against under 1 ms after a volume change. On two cores, a run
# started at once is measured against that work; each waits this long, so that it is not.
SETTLE = 0.1
# Each change made at the stand-in, by the standin.ini keys it alternates, and what shows it on
# the bus.
CHANGES = (("title", "Titles", ("One - Tone", "Two - Tone"), "Metadata"),
           ("volume", "Volume", (100, 200), "Volume"),
           ("shuffle", "Shuffle", (1, 0), "Shuffle"),
           ("repeat", "Repeat", (1, 0), "LoopStatus"),
           ("seek", "Position", (100000, 10000), "Seeked"))


def install_mpv():
    if shutil.which("mpv") is None or not pathlib.Path("/etc/mpv/scripts/mpris.so").exists():
        subprocess.run(["apt-get", "install", "-y", "--no-install-recommends", "mpv", "mpv-mpris"],
                       check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def write_tone(path, seconds=600, rate=8000):
    """A quiet 440 Hz tone, long enough never to end while measured."""
    with wave.open(str(path), "wb") as tone:
        tone.setnchannels(1)
        tone.setsampwidth(2)
        tone.setframerate(rate)
        period = bytes().join(struct.pack("<h", int(3000 * math.sin(2 * math.pi * 440 * at / rate)))
                              for at in range(rate))
        tone.writeframes(period * seconds)


def timed(*arguments):
    start = time.monotonic()
    subprocess.run(["playerctl", *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   stdin=subprocess.DEVNULL)
    return (time.monotonic() - start) * 1000


def side_by_side(runs, *command, settle=SETTLE):
    """Median milliseconds of the command against each player, alternated, each run after the
    other player has had settle seconds to finish what the last run set off."""
    times = {"tunedesk": [], "mpv": []}
    for _ in range(runs):
        for player in times:
            time.sleep(settle)
            times[player].append(timed("-p", player, *command))
    return statistics.median(times["tunedesk"]), statistics.median(times["mpv"])


def cpu_seconds(pids):
    """The user and system time of each of these processes, in seconds."""
    times = {}
    for pid in pids:
        try:
            fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        times[pid] = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return times


def wine_pids():
    """The wineserver and every Wine process: their CPU is what following costs."""
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            name = pathlib.Path(f"/proc/{pid}/comm").read_text().strip()
            command = pathlib.Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            continue
        if name == "wineserver" or b"tunedesk.exe" in command or b"standin.exe" in command:
            pids.append(pid)
    return pids


def cpu_share(pids_of, seconds):
    """The percentage of a core these processes used over the seconds: each one's own, so that a
    process that ends meanwhile takes nothing away, and one that starts counts from its start."""
    before = cpu_seconds(pids_of())
    time.sleep(seconds)
    after = cpu_seconds(pids_of())
    return 100 * sum(used - before.get(pid, 0) for pid, used in after.items()) / seconds


def change_times(times):
    """For each change in CHANGES, the seconds from writing it at the stand-in to its signal."""
    watch = subprocess.Popen(["/usr/bin/python3", "-c", WATCH], stdout=subprocess.PIPE, text=True)
    time.sleep(1)
    state = dict(Status=1, Clock=1, Position=50000, Volume=150, Shuffle=0, Repeat=0, Titles="Zero - Tone")
    delays = {}
    for name, key, values, shown in CHANGES:
        for change in range(times):
            state[key] = values[change % 2]
            written = time.monotonic()
            (FOLDER / "standin.ini").write_text("[Player]\n" + "".join(f"{k}={v}\n" for k, v in state.items()),
                                                encoding="utf-8-sig")
            while True:
                if not select.select([watch.stdout], [], [], 5)[0]:
                    sys.exit(f"no {shown} came within 5 s of a change of {name}")
                at, what = watch.stdout.readline().split()
                if what == shown and float(at) >= written:
                    delays.setdefault(name, []).append(float(at) - written)
                    break
            time.sleep(0.7)
    watch.kill()
    return delays


def scroll(on):
    """Turns the stand-in's scrolling caption on or off, and lets its reload settle."""
    (FOLDER / "standin.ini").write_text(SCROLLING if on else PLAYING, encoding="utf-8-sig")
    time.sleep(1)


def main(runs, seconds):
    install_mpv()
    FOLDER.mkdir(parents=True, exist_ok=True)
    for tool in ("tunedesk.exe", "standin.exe"):
        shutil.copy(WIN64.build / tool, FOLDER / tool)
    (FOLDER / "standin.ini").write_text(PLAYING, encoding="utf-8-sig")
    (FOLDER / "TUNEDESK.INI").unlink(missing_ok=True)
    tone = FOLDER / "tone.wav"
    write_tone(tone)
    bus = subprocess.run(["dbus-daemon", "--session", "--print-address=1", "--print-pid=1", "--fork"],
                         capture_output=True, text=True, check=True).stdout.split()
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
    mpv = subprocess.Popen(["mpv", "--ao=null", "--no-video", "--no-terminal", "--loop-playlist=inf",
                            str(tone), str(tone), str(tone)], stdin=subprocess.DEVNULL)
    try:
        with session():
            player = subprocess.Popen(WIN64.command("standin.exe"), cwd=FOLDER, env=WIN64.environment(),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(3)
            alone = cpu_share(wine_pids, seconds)
            scroll(True)
            alone_scrolling = cpu_share(wine_pids, seconds)
            companion = e2e.start_companion(e2e.BUILT)
            time.sleep(3)
            following_scrolling = cpu_share(lambda: wine_pids() + [str(companion.pid)], seconds)
            scroll(False)
            following = cpu_share(lambda: wine_pids() + [str(companion.pid)], seconds)
            results = [("next", side_by_side(runs, "next")),
                       ("next, each run at once after the other's", side_by_side(runs, "next", settle=0)),
                       ("volume 0.5", side_by_side(runs, "volume", "0.5")),
                       ("status", side_by_side(runs, "status"))]
            delays = change_times(10)
            companion.send_signal(signal.SIGTERM)
            companion.wait()
            player.kill()
    finally:
        mpv.kill()
        os.kill(int(bus[1]), signal.SIGTERM)
    print(f"tunedesk-mpris against mpv-mpris, {runs} alternated runs each, one private bus, "
          f"{SETTLE} s between runs but where said:")
    print()
    print("| `playerctl` | tunedesk-mpris | mpv-mpris | ratio |")
    print("|---|---|---|---|")
    for command, (tunedesk, native) in results:
        print(f"| `{command}` | {tunedesk:.1f} ms | {native:.1f} ms | {tunedesk / native:.2f} |")
    print()
    print(f"CPU while the stand-in plays, over {seconds} s: the player and wineserver alone "
          f"{alone:.2f} % of a core; with tunedesk-mpris following it {following:.2f} %; "
          f"the companion, follower and wineserver above the player alone: {following - alone:.2f} %.")
    print(f"With its caption scrolling: alone {alone_scrolling:.2f} %, followed {following_scrolling:.2f} %, "
          f"above the player alone: {following_scrolling - alone_scrolling:.2f} %.")
    print()
    print("| a change at the stand-in, to its signal on the bus (with the stand-in's own reload, up to "
          "50 ms) | median | at most |")
    print("|---|---|---|")
    for name, times in delays.items():
        print(f"| {name}, {len(times)} changes | {1000 * statistics.median(times):.0f} ms | "
              f"{1000 * max(times):.0f} ms |")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 20, int(sys.argv[2]) if len(sys.argv) > 2 else 60)
