#!/usr/bin/env python3
"""Acceptance tests: the real tunedesk.exe, under Wine, against a stand-in player.

Each scenario gets a fresh folder holding tunedesk.exe (or a renamed copy), its TUNEDESK.INI and
the stand-in player. harness.exe starts the players the scenario asks for, runs one exact command
line, answers any message box and closes the players; the runner then compares the player's log,
the boxes and the exit status with what is expected.

Usage: run.py [NAME-PART ...]   runs the scenarios whose names contain any NAME-PART (all by
                                default) and ends with the line "N passed, N failed".
       run.py --demo            starts a stand-in player, sends it a few switches and shows
                                what it received.
"""
import contextlib
import dataclasses
import os
import pathlib
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "win64"
WORK = ROOT / "build" / "acceptance"
PREFIX = pathlib.Path(os.environ.get("TUNEDESK_WINEPREFIX",
                                     pathlib.Path.home() / ".cache" / "tunedesk-wine"))
PLAYER = "Winamp v1.x"
SETTINGS_TIME = 978307200  # 2001-01-01, the settings files' modification time
SHOWN = "visible, not minimised"
HIDDEN = "invisible, minimised"


def wine_environment():
    return dict(os.environ, WINEPREFIX=str(PREFIX), WINEDEBUG="-all",
                WINEDLLOVERRIDES="mscoree,mshtml=")


def wine(*arguments, log, cwd=None, timeout=120):
    """Runs a Wine command with its output sent to a file: a pipe would stay open for as long
    as any process it started, such as a player, keeps running."""
    with open(log, "ab") as out:
        return subprocess.run(["wine", *arguments], stdout=out, stderr=out, stdin=subprocess.DEVNULL,
                              cwd=cwd, env=wine_environment(), timeout=timeout).returncode


def ensure_prefix():
    """Makes the private Wine prefix once, with the null graphics driver: no X server needed."""
    ready = PREFIX / ".tunedesk-ready"
    if ready.exists():
        return
    PREFIX.mkdir(parents=True, exist_ok=True)
    log = PREFIX / "setup.log"
    env = wine_environment()
    with open(log, "ab") as out:
        subprocess.run(["wineboot", "-i"], stdout=out, stderr=out, env=env, check=True, timeout=600)
    wine("reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", "null", "/f", log=log)
    subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=600)
    ready.touch()


@contextlib.contextmanager
def wine_session():
    """The prefix made, and one Wine server kept up for everything run inside, then ended so
    that nothing is left holding the caller's output."""
    ensure_prefix()
    env = wine_environment()
    subprocess.run(["wineserver", "-p"], env=env, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        yield
    finally:
        subprocess.run(["wineserver", "-k"], env=env)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


@dataclasses.dataclass
class Scenario:
    """One run of tunedesk and what it must do. In the settings, the command line and the boxes,
    "{folder}" stands for the Windows path of the scenario's folder, where the stand-in player
    lies, and "{program}" for that of the program's folder."""

    name: str
    command_line: str
    ini: str = None  # the settings file's text; None: no file
    players: tuple = (PLAYER,)  # classes of stand-in players running before the run
    program: str = "tunedesk.exe"
    events: tuple = ()  # what the player logs after it is first shown
    final: str = SHOWN  # the player's state when it is closed
    boxes: tuple = ()  # (caption, text, icon) of each message box, in order
    exit: int = 1
    folder_length: int = 0  # put the program in a folder whose Windows path is this long
    subfolder: str = "."  # or in this folder inside the scenario's
    launches: bool = False  # the run starts a player of its own

    def folder(self):
        return WORK / self.name.replace(" ", "-")

    def program_folder(self):
        """Where the program and its settings lie, relative to the scenario's folder."""
        folder = pathlib.Path(self.subfolder)
        while (missing := self.folder_length - len(windows_path(self.folder() / folder))) > 0:
            folder /= "a-folder-with-a-rather-long-name"[:max(missing - 1, 1)]
        return folder

    def expected_log(self):
        if not self.players and not self.launches:
            return []
        return ["shown", *self.events, "closed " + self.final]

    def expected_result(self):
        boxes = [f"box {caption}|{text}|{icon}" for caption, text, icon in self.boxes]
        return boxes + [f"exit {self.exit}"]


def commands(*numbers):
    return tuple(f"command {number}" for number in numbers)


def help_box(words, state="found"):
    switches = (("/HIDE", "minimise and hide the player"), ("/SHOW", "show the player"),
                ("/FLIPSHOW", "hide the player if shown, else show it"), ("/PLAY", "play"),
                ("/STOP", "stop"), ("/NEXT", "next track"), ("/PREV", "previous track"),
                ("/PAUSE", "pause"))
    text = ("Tunedesk 1.4, a command-line remote control for Winamp.\\n"
            "Switches act in the order given: tunedesk /PLAY /HIDE\\n\\n"
            + "".join(f"{switch}\\t{words}\\n" for switch, words in switches)
            + f"\\nYour words in [Commands]: {words}\\n\\nSettings file:\\n"
            + f"{{program}}\\TUNEDESK.INI\\n({state})")
    return (("Tunedesk", text, "icon"),)


HIDE = ("minimised", "hidden")
BINDINGS = "[Commands]\nvolup=40058\n/VOLDOWN=40059\nzero=0\ntext=abc\n/NEXT=40001\n/HIDE=40002\n"
READY_MADE = (ROOT / "dist" / "TUNEDESK.INI").read_text()
STARTED = "[Configuration]\nAutoload=1\nWaitLength=3000\nPath={folder}\\standin.exe\n"
PATH_ON_COMMAND_LINE = "[Configuration]\nAutoload=1\nWaitLength=3000\nPathOnCmdLine=1\n"
NOT_RUNNING = (("Tunedesk", "WinAmp is not running.", "icon"),)
START_FAILED = (("Tunedesk", "Unable to start Winamp.", "icon"),)
ECHO = (("{folder}\\standin.exe", "{folder}\\standin.exe", "no icon"),)
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
    Scenario("autoload with an empty path", "tunedesk.exe /NEXT", players=(),
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
    Scenario("path on the command line too long", "tunedesk.exe " + "p" * 300 + " /PLAY", players=(),
             ini=PATH_ON_COMMAND_LINE, boxes=START_FAILED),
]


def read_lines(path):
    return path.read_text("utf-8").splitlines() if path.exists() else []


def run(scenario):
    folder = scenario.folder()
    shutil.rmtree(folder, ignore_errors=True)
    program_folder = folder / scenario.program_folder()
    program_folder.mkdir(parents=True)
    shutil.copy(BUILD / "tunedesk.exe", program_folder / scenario.program)
    shutil.copy(BUILD / "standin.exe", folder / "standin.exe")
    def placed(text):
        return (text.replace("{folder}", windows_path(folder))
                .replace("{program}", windows_path(program_folder)))

    settings = program_folder / "TUNEDESK.INI"
    ini = None if scenario.ini is None else placed(scenario.ini).replace("\n", "\r\n").encode("latin-1")
    if ini is not None:
        settings.write_bytes(ini)
        os.utime(settings, (SETTINGS_TIME, SETTINGS_TIME))  # any write would move it
    lines = [f"player {name}" for name in scenario.players]
    program = str(scenario.program_folder() / scenario.program).replace("/", "\\")
    lines += [f"program {program}", f"commandline {placed(scenario.command_line)}"]
    (folder / "scenario.txt").write_bytes(("\n".join(lines) + "\n").encode("utf-8"))

    wine(str(BUILD / "harness.exe"), cwd=folder, log=folder / "harness.out")
    problems = []
    for what, actual, expected in (
        ("player log", read_lines(folder / "standin.log"), scenario.expected_log()),
        ("result", read_lines(folder / "result.txt"), [placed(line) for line in scenario.expected_result()]),
    ):
        if actual != expected:
            problems.append(f"{what}: expected {expected}, got {actual}")
    if ini is not None:
        if settings.read_bytes() != ini or settings.stat().st_mtime != SETTINGS_TIME:
            problems.append("the settings file was written")
    return problems


DEMO = Scenario("demo", "tunedesk.exe /PLAY /NEXT volup /HIDE /SHOW /PAUSE", ini=BINDINGS)


def demo():
    print("Stand-in player running under Wine; TUNEDESK.INI binds volup=40058.")
    print("Running: " + DEMO.command_line)
    run(DEMO)
    print("The player received:")
    for line in read_lines(DEMO.folder() / "standin.log"):
        print("    " + line)
    print("tunedesk " + read_lines(DEMO.folder() / "result.txt")[-1])
    return 0


def test(wanted):
    passed = failed = 0
    for scenario in SCENARIOS:
        if wanted and not any(part in scenario.name for part in wanted):
            continue
        problems = run(scenario)
        print(("PASS " if not problems else "FAIL ") + scenario.name, flush=True)
        for problem in problems:
            print("    " + problem, flush=True)
        passed += not problems
        failed += bool(problems)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


def main(arguments):
    for tool in ("tunedesk.exe", "standin.exe", "harness.exe"):
        if not (BUILD / tool).exists():
            sys.exit(f"missing {BUILD / tool}: build the win64 preset first")
    with wine_session():
        return demo() if arguments == ["--demo"] else test(arguments)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
