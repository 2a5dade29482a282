"""The Wine session that the acceptance runner, the mpris runner and the benchmarks share: the
private prefix, the environment, and the pairings of which builds run where.

A pairing is win64 (the default: everything 64-bit in the host's Wine), win32 (build/win32 in
the 32-bit Wine root that scripts/wine32.sh makes), mixed (the win64 tunedesk.exe and harness
against the i686 stand-in, both sides on one wineserver in a WoW64 prefix, as users have it) or
wine10 (the win64 builds in Debian 13's Wine 10, in the root that scripts/wine10.sh makes).
"""
import contextlib
import dataclasses
import os
import pathlib
import platform
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
WINE32 = ROOT / "scripts" / "wine32.sh"
WINE10 = ROOT / "scripts" / "wine10.sh"
WINE10_ROOT = pathlib.Path(os.environ.get("TUNEDESK_WINE10_ROOT",
                                          pathlib.Path.home() / ".cache" / "tunedesk-wine10"))
WINE32_ROOT = pathlib.Path(os.environ.get("TUNEDESK_WINE32_ROOT",
                                          pathlib.Path.home() / ".cache" / "tunedesk-wine32"))
PREFIX = pathlib.Path(os.environ.get("TUNEDESK_WINEPREFIX",
                                     pathlib.Path.home() / ".cache" / "tunedesk-wine"))
# The mixed pairing's WoW64 prefix, shared by both sides: under /tmp, which both see, as both
# must find the one wineserver's socket in the same temporary folder.
MIXED_PREFIX = pathlib.Path("/tmp/tunedesk-wow64")
# Every Wine program the tests run starts without the kernel's address randomisation. Debian's
# wine64 is no position-independent program and has no preloader, so where the kernel lets its
# heap begin is random, and now and then that is just below 0x7ffe0000, where Wine must map the
# shared user data page: the new process then fails to start ("failed to map the shared user
# data: c0000018", CreateProcess's error 1359), about once in a few thousand starts here. Without
# randomisation its heap begins right after it, as Wine's preloader would see to.
FIXED_LAYOUT = ("setarch", platform.machine(), "-R")
# Wine's own errors go to each check's logs, where a failed check keeps them: they are few, and
# they say what Wine refused. TUNEDESK_WINEDEBUG names other channels.
WINEDEBUG = os.environ.get("TUNEDESK_WINEDEBUG", "err+all,fixme-all")
# The folders that failed checks have kept, a line each with what failed; .ci/run prints their
# last lines, so that a failed run explains itself.
EVIDENCE = ROOT / "build" / "evidence.txt"


def keep_evidence(folder, what):
    """Names the folder of a failed check, kept as it was, for the reader and for .ci/run."""
    EVIDENCE.parent.mkdir(parents=True, exist_ok=True)
    with open(EVIDENCE, "a", encoding="utf-8") as listing:
        listing.write(f"{folder}\t{what}\n")
    print(f"    kept: {folder}", flush=True)


@dataclasses.dataclass(frozen=True)
class Pairing:
    name: str
    build: pathlib.Path  # where tunedesk.exe and the harness come from
    player_build: pathlib.Path  # where standin.exe comes from
    in_wine: tuple = ()  # what runs Wine's commands: nothing for the host's own Wine
    mixed: bool = False  # the stand-in runs on the 32-bit side, everything else on the 64-bit one
    prefix: pathlib.Path = PREFIX
    reads_memory: bool = True  # under qemu, ReadProcessMemory is refused outright
    root: pathlib.Path = WINE32  # the script that makes the root in_wine runs in
    inner_prefix: str = None  # the prefix as its programs see it, inside a root; None: prefix

    def seen_prefix(self):
        """The WINEPREFIX that this pairing's Wine programs run with."""
        return self.inner_prefix or str(self.prefix)

    def environment(self):
        environment = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG=WINEDEBUG,
                           WINEDLLOVERRIDES="mscoree,mshtml=")
        if self.mixed:  # both sides in one prefix, finding one server through one temporary folder
            environment.pop("TMPDIR", None)
            environment["TUNEDESK_WINE32_PREFIX"] = str(self.prefix)
        return environment

    def command(self, *arguments):
        """A Wine command line as this pairing runs it."""
        return [*FIXED_LAYOUT, *self.in_wine, "wine", *map(str, arguments)]

    def wine(self, *arguments, log, cwd=None, timeout=120, debug=None):
        """Runs a Wine command with its output sent to a file: a pipe would stay open for as long
        as any process it started, such as a player, keeps running. Debug names Wine's channels to
        trace there too."""
        environment = self.environment()
        if debug:
            environment["WINEDEBUG"] += "," + debug
        with open(log, "ab") as out:
            return subprocess.run(self.command(*arguments), stdout=out, stderr=out, stdin=subprocess.DEVNULL,
                                  cwd=cwd, env=environment, timeout=timeout).returncode

    def start_32_bit_player(self, name, folder):
        """A stand-in on the 32-bit side, started as ROOT/usr/lib/wine/wine: a path that the host's
        wineserver can open too."""
        with open(folder / "standin.out", "ab") as out:
            return subprocess.Popen([*FIXED_LAYOUT, WINE32, "run", WINE32_ROOT / "usr/lib/wine/wine", "standin.exe", name],
                                    cwd=folder, env=self.environment(), stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=out)


PAIRINGS = {
    "win64": Pairing("win64", ROOT / "build" / "win64", ROOT / "build" / "win64"),
    "win32": Pairing("win32", ROOT / "build" / "win32", ROOT / "build" / "win32", in_wine=(str(WINE32), "run"),
                     reads_memory=False),
    "wine10": Pairing("wine10", ROOT / "build" / "win64", ROOT / "build" / "win64", in_wine=(str(WINE10), "run"),
                      prefix=WINE10_ROOT / "wine", root=WINE10, inner_prefix="/wine"),
    "mixed": Pairing("mixed", ROOT / "build" / "win64", ROOT / "build" / "win32", mixed=True, prefix=MIXED_PREFIX),
}
WIN64 = PAIRINGS["win64"]


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def ensure_prefix(pairing):
    """Makes the private Wine prefix once, with the null graphics driver: no X server needed."""
    if pairing.in_wine or pairing.mixed:
        status = subprocess.run([pairing.root, "setup"], stdin=subprocess.DEVNULL).returncode
        if status:
            sys.exit(status)
        if pairing.mixed:
            ensure_mixed_prefix(pairing)
        return
    ready = pairing.prefix / ".tunedesk-ready"
    if ready.exists():
        return
    pairing.prefix.mkdir(parents=True, exist_ok=True)
    log = pairing.prefix / "setup.log"
    with open(log, "ab") as out:
        subprocess.run([*FIXED_LAYOUT, "wineboot", "-i"], stdout=out, stderr=out, env=pairing.environment(), check=True,
                       timeout=600)
    pairing.wine("reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", "null", "/f", log=log)
    subprocess.run(["wineserver", "-w"], env=pairing.environment(), check=True, timeout=600)
    ready.touch()


def ensure_mixed_prefix(pairing):
    """The WoW64 prefix: made by the host's 64-bit Wine with the null graphics driver, then its
    syswow64 filled from the 32-bit side, without which that side can't load kernel32."""
    ready = pairing.prefix / ".tunedesk-ready"
    if ready.exists():
        return
    shutil.rmtree(pairing.prefix, ignore_errors=True)
    pairing.prefix.mkdir(parents=True)
    (pairing.prefix / "user.reg").write_text(
        'WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drivers]\n"Graphics"="null"\n')
    log = pairing.prefix / "setup.log"
    env = pairing.environment()
    with open(log, "ab") as out:
        subprocess.run([*FIXED_LAYOUT, "wineboot", "-i"], stdout=out, stderr=out, env=env, check=True, timeout=600)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=600)
        subprocess.run(["wineserver", "-p"], env=env, check=True)
        subprocess.run([*FIXED_LAYOUT, WINE32, "run", "env", "WINEBOOTSTRAPMODE=1", WINE32_ROOT / "usr/lib/wine/wine",
                        r"C:\windows\syswow64\rundll32.exe", "setupapi.dll,InstallHinfSection",
                        "Wow64Install", "128", r"\\?\unix/usr/share/wine/wine.inf"],
                       stdout=out, stderr=out, env=env, check=True, timeout=600, stdin=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], env=env)
    ready.touch()


@contextlib.contextmanager
def session(pairing=WIN64):
    """The prefix made, and one Wine server kept up for everything run inside, then ended so
    that nothing is left holding the caller's output."""
    ensure_prefix(pairing)
    env = pairing.environment()
    server = [*pairing.in_wine, "wineserver"]
    quiet = dict(env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Whatever an earlier run left in the prefix goes first: a player left running would answer.
    for option in ("-k", "-w"):
        subprocess.run([*server, option], **quiet)
    for attempt in range(10):  # a server just killed may hold its lock a moment longer
        if subprocess.run([*server, "-p"], **quiet).returncode == 0:
            break
        time.sleep(0.5)
    else:
        sys.exit("the wineserver did not start")
    if pairing.mixed:  # the 32-bit side can't start the 64-bit desktop: keep it up from this side
        subprocess.Popen(pairing.command(pairing.build / "harness.exe", "--keep-desktop"), **quiet)
    try:
        yield
    finally:
        subprocess.run([*server, "-k"], env=env)
