#!/usr/bin/env python3
"""What tunedesk-mpris costs: the median of 20 runs of "playerctl -p tunedesk status" (served from
the companion's cache) and of "playerctl -p tunedesk next" end to end, against one
"wine tunedesk.exe /NEXT", and the companion's CPU use over a minute of polling while the
stand-in player plays.

Usage: bench/mpris.py [RUNS] [SECONDS]   (default 20 and 60; build the host and win64 presets)
"""
import os
import pathlib
import signal
import statistics
import subprocess
import sys
import time

TESTS = pathlib.Path(__file__).resolve().parents[1] / "tests"
sys.path[:0] = [str(TESTS), str(TESTS / "mpris")]
import run as e2e  # noqa: E402  the companion's test set-up
from wine_session import WIN64, session  # noqa: E402


def timed(command):
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   stdin=subprocess.DEVNULL, env=WIN64.environment(), cwd=e2e.FOLDER)
    return (time.monotonic() - start) * 1000


def cpu_seconds(pid):
    """The process's own CPU time, and that of the wine runs it has waited for."""
    fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    tick = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / tick, (int(fields[13]) + int(fields[14])) / tick


def main(runs, seconds):
    e2e.FOLDER.mkdir(parents=True, exist_ok=True)
    for tool in ("tunedesk.exe", "standin.exe"):
        (e2e.FOLDER / tool).write_bytes((WIN64.build / tool).read_bytes())
    (e2e.FOLDER / "standin.ini").write_text(e2e.PLAYER_STATE.replace("Status=0", "Status=1"),
                                           encoding="utf-8-sig")
    (e2e.FOLDER / "TUNEDESK.INI").unlink(missing_ok=True)
    bus = subprocess.run(["dbus-daemon", "--session", "--print-address=1", "--print-pid=1", "--fork"],
                         capture_output=True, text=True, check=True).stdout.split()
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
    try:
        with session():
            player = subprocess.Popen(["wine", "standin.exe"], cwd=e2e.FOLDER, env=WIN64.environment(),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            companion = e2e.start_companion()
            time.sleep(1)
            status = statistics.median(timed(["playerctl", "-p", "tunedesk", "status"]) for _ in range(runs))
            pairs = [(timed(["playerctl", "-p", "tunedesk", "next"]),
                      timed(["wine", str(e2e.FOLDER / "tunedesk.exe"), "/NEXT"])) for _ in range(runs)]
            time.sleep(2)
            own, runs_before = cpu_seconds(companion.pid)
            time.sleep(seconds)
            own_after, runs_after = cpu_seconds(companion.pid)
            used, runs_used = own_after - own, runs_after - runs_before
            companion.send_signal(signal.SIGTERM)
            companion.wait()
            player.kill()
    finally:
        os.kill(int(bus[1]), signal.SIGTERM)
    print(f"tunedesk-mpris, {runs} runs each, {WIN64.build.name} tunedesk.exe under Wine:")
    print()
    print("| measure | median |")
    print("|---|---|")
    print(f"| `playerctl -p tunedesk status` | {status:.1f} ms |")
    print(f"| `playerctl -p tunedesk next` | {statistics.median(n for n, _ in pairs):.1f} ms |")
    print(f"| `wine tunedesk.exe /NEXT` | {statistics.median(w for _, w in pairs):.1f} ms |")
    print(f"| companion's CPU while polling a playing player | {used:.2f} s in {seconds} s "
          f"({100 * used / seconds:.2f} %) |")
    print(f"| its wine runs' CPU (the wine processes, not wineserver) | {runs_used:.2f} s in {seconds} s "
          f"({100 * runs_used / seconds:.2f} %) |")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 20, int(sys.argv[2]) if len(sys.argv) > 2 else 60)
