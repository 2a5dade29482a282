#!/usr/bin/env python3
"""Size and speed of tunedesk.exe.

Reports the sizes of build/win64/tunedesk.exe and build/win32/tunedesk.exe and the DLLs each
imports, then, under the tests' Wine prefix, the wall time of "tunedesk.exe /NEXT" sent to a
running stand-in player against the floor program (FindWindowA and one SendMessageA, built the
same way), and of "tunedesk.exe /STATUS" with its output to a file against a floor that asks the
status and writes its line, and of "tunedesk.exe /PLAYLIST" of 10,000 entries against a floor
that sends the same 10,000 questions for the titles and reads none of them, alternated in one run,
and a five-variable /FORMAT= against /QUERY, its peer, alternated in one run, and their median
ratios.

Usage: bench/run.py [PAIRS]   (default 40; build the win64 and win32 presets first)
"""
import datetime
import os
import platform
import shutil
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from wine_session import ROOT, WIN64, session  # noqa: E402
OBJDUMP = {"win64": "x86_64-w64-mingw32-objdump", "win32": "i686-w64-mingw32-objdump"}
ENTRIES = 10000


def imports(path, objdump):
    listing = subprocess.run([objdump, "-p", str(path)], capture_output=True, text=True, check=True).stdout
    return [line.split(":", 1)[1].strip() for line in listing.splitlines() if "DLL Name:" in line]


def machine():
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                  if line.startswith("model name")), platform.machine())
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return f"{model}, {os.cpu_count()} cores, {wine}"


def main(pairs):
    print(f"Tunedesk size and speed, {datetime.date.today()}, {machine()}")
    print()
    print("| build | tunedesk.exe | imports |")
    print("|---|---|---|")
    for preset, objdump in OBJDUMP.items():
        exe = ROOT / "build" / preset / "tunedesk.exe"
        print(f"| {preset} | {exe.stat().st_size} bytes | {', '.join(imports(exe, objdump))} |")

    folder = ROOT / "build" / "bench"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for tool in ("tunedesk.exe", "floor.exe", "floor_status.exe", "floor_playlist.exe", "standin.exe",
                 "timer.exe"):
        shutil.copy(WIN64.build / tool, folder / tool)
    (folder / "standin.ini").write_text(f"[Player]\nStatus=1\nEntries={ENTRIES}\n", encoding="utf-8-sig")
    shutil.copy(ROOT / "dist" / "TUNEDESK.INI", folder / "TUNEDESK.INI")  # as users have it
    times = folder / "times.txt"
    with session(), open(times, "wb") as out:
        subprocess.run(WIN64.command(folder / "timer.exe", pairs), cwd=folder, env=WIN64.environment(), stdin=subprocess.DEVNULL, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=3600, check=True)
    measured = {}
    for line in times.read_text().splitlines():
        kind, tunedesk, floor = line.split()
        measured.setdefault(kind, []).append((float(tunedesk), float(floor)))
    for kind, floor_does, share in (("next", "FindWindowA + SendMessageA", 1),
                                    ("status", "FindWindowA + SendMessageA + WriteFile", 1),
                                    ("playlist", f"FindWindowA + {ENTRIES + 1} SendMessageA", 4),
                                    ("format", "tunedesk.exe /QUERY", 1)):
        pairs_of_kind = measured.get(kind, [])
        if len(pairs_of_kind) != max(pairs // share, 1):
            sys.exit(f"the timer gave {len(pairs_of_kind)} {kind} pairs of {pairs}")
        tunedesk = statistics.median(t for t, _ in pairs_of_kind)
        floor = statistics.median(f for _, f in pairs_of_kind)
        ratio = statistics.median(t / f for t, f in pairs_of_kind)
        print()
        name = "/FORMAT= of five variables" if kind == "format" else "/" + kind.upper()
        print(f"`tunedesk.exe {name}` to a running stand-in player, {len(pairs_of_kind)} alternated pairs under Wine:")
        print()
        print("| program | median wall time |")
        print("|---|---|")
        print(f"| tunedesk.exe | {tunedesk / 1000:.2f} ms |")
        print(f"| floor ({floor_does}) | {floor / 1000:.2f} ms |")
        print(f"| median ratio of the pairs | {ratio:.3f} |")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 40)
