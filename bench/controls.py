#!/usr/bin/env python3
"""The CPU that a follower keeping Windows' media controls costs.

Under Debian 13's Wine 10, whose media controls take the calls, the stand-in plays with its
caption scrolling; the CPU of the player and wineserver alone is measured, then with
"tunedesk.exe /FOLLOW /MEDIACONTROLS" following it, started with no input of its own as from the
Startup folder, and ended with /FOLLOW=OFF. Run it with nothing else running under Wine.

Usage: bench/controls.py [SECONDS [OPTION...]]   (default 30 s a measure, three rounds alternated,
with /MEDIACONTROLS; build the win64 preset first)
"""
import pathlib
import shutil
import statistics
import subprocess
import sys
import time

sys.path.append(str(pathlib.Path(__file__).resolve().parents[1] / "tests"))
from mpris import cpu_share, wine_pids  # noqa: E402
from wine_session import PAIRINGS, ROOT, session  # noqa: E402

PAIRING = PAIRINGS["wine10"]
FOLDER = ROOT / "build" / "bench-controls"
OPTIONS = sys.argv[2:] if len(sys.argv) > 2 else ["/MEDIACONTROLS"]  # the follower's, after /FOLLOW
SCROLLING = ("[Player]\nStatus=1\nPosition=5000\nLength=240000\nVolume=200\nTrack=0\nClock=1\nScroll=1\n"
             "Titles=Artist A - One|Artist B - Two\n")


def main(seconds, rounds=3):
    shutil.rmtree(FOLDER, ignore_errors=True)
    FOLDER.mkdir(parents=True)
    for tool in ("tunedesk.exe", "standin.exe"):
        shutil.copy(PAIRING.build / tool, FOLDER / tool)
    (FOLDER / "standin.ini").write_text(SCROLLING, encoding="utf-8-sig")
    quiet = dict(cwd=FOLDER, env=PAIRING.environment(), stdin=subprocess.DEVNULL,
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    alone, following = [], []
    with session(PAIRING):
        player = subprocess.Popen(PAIRING.command("standin.exe"), **quiet)
        time.sleep(5)
        for _ in range(rounds):  # alternated, as the machine's load drifts
            alone.append(cpu_share(wine_pids, seconds))
            follower = subprocess.Popen(PAIRING.command("tunedesk.exe", "/FOLLOW", *OPTIONS), **quiet)
            time.sleep(5)
            following.append(cpu_share(wine_pids, seconds))
            subprocess.run(PAIRING.command("tunedesk.exe", "/FOLLOW=OFF"), timeout=60, **quiet)
            follower.wait(timeout=30)
        player.kill()
    above = [f - a for a, f in zip(alone, following)]
    print(f"CPU in Wine 10, the stand-in's caption scrolling, {rounds} rounds of {seconds} s: the player "
          f"and wineserver alone {statistics.median(alone):.2f} % of a core (median); with "
          f"\"tunedesk.exe /FOLLOW {' '.join(OPTIONS)}\" {statistics.median(following):.2f} %; the follower "
          f"and wineserver above the player alone: {statistics.median(above):.2f} % "
          f"(each round: {', '.join(f'{x:.2f}' for x in above)}).")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 30)
