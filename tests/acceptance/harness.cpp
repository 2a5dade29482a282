// The acceptance tests' hands inside Wine. In the scenario folder, its current directory, it starts
// the stand-in players named in scenario.txt, runs the program under test with an exact command
// line (CreateProcessA), records and dismisses each message box that program shows, records its
// exit status, then closes every stand-in player so their logs are complete.
//
// Everything is named relative to that folder, which may lie deeper than MAX_PATH allows in an
// absolute name.
// scenario.txt, one item a line:   player <class>   program <file>   commandline <exact text>
//                                  await <class>: a player that the runner starts, as a 32-bit
//                                  one in the mixed pairing, which this side can't start
//                                  nostdout: give the program no standard output
//                                  keepplayers: leave the players running that it did not start,
//                                  as another test's stand-in
//                                  wait <file>: run no program, but keep the players up until
//                                  the file appears (the runner then runs one from Linux)
//                                  input: give the program a standard input that the steps write
//                                  step <ms> <action> [<argument>]: once the program has written
//                                  its first output, one after the other, each that long after
//                                  the last: line <text> (written to its input with CR LF), eof
//                                  (its input closed), state <file> (copied over standin.ini),
//                                  close (the stand-in asked to close), start <class> (another
//                                  stand-in started)
// timeline.txt, written back with steps: "<ms> step <n>" as each is taken and "<ms> output
// <bytes>" as the output grows, in milliseconds from the program's start.
// result.txt, written back:        box <caption>|<text>|<icon or no icon>   exit <status>
// The program's standard output goes to stdout.txt, and its standard error to stderr.txt, file
// handles passed with STARTF_USESTDHANDLES, as a script that captures them would pass them.
// Both are UTF-8: the program is started with CreateProcessW, so that it may lie in a folder whose
// name the ANSI code page can't spell. A box's line ends and tabs are written as \n and \t.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr char StandInProperty[] = "Tunedesk stand-in";
constexpr int MessageTextId = 0xFFFF;  // the static control that holds a message box's text
constexpr int MessageIconId = 0x0440;  // the static control that holds its icon
constexpr DWORD RunTimeout = 30000;
constexpr DWORD WindowTimeout = 10000;
constexpr DWORD AwaitTimeout = 60000;  // a 32-bit player under emulation starts slowly
constexpr DWORD Poll = 10;

struct Step {
    DWORD delay;
    std::string action, argument;
};

struct Scenario {
    std::vector<Step> steps;
    bool input = false;
    std::vector<std::string> playerClasses;
    std::vector<std::string> awaitedClasses;
    std::string program;
    std::string commandLine;
    std::string waitFor;
    bool standardOutput = true;
    bool keepPlayers = false;
};

bool ReadScenario(const std::string& path, Scenario& scenario) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char line[1 << 16];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const size_t space = text.find(' ');
        const std::string key = text.substr(0, space);
        const std::string value = space == std::string::npos ? "" : text.substr(space + 1);
        if (key == "player") scenario.playerClasses.push_back(value);
        if (key == "program") scenario.program = value;
        if (key == "commandline") scenario.commandLine = value;
        if (key == "wait") scenario.waitFor = value;
        if (key == "await") scenario.awaitedClasses.push_back(value);
        if (key == "nostdout") scenario.standardOutput = false;
        if (key == "keepplayers") scenario.keepPlayers = true;
        if (key == "input") scenario.input = true;
        if (key == "step") {
            Step step;
            char action[64] = "";
            int used = 0;
            std::sscanf(value.c_str(), "%lu %63s %n", &step.delay, action, &used);
            step.action = action;
            step.argument = used > 0 ? value.substr(used) : "";
            scenario.steps.push_back(step);
        }
    }
    std::fclose(file);
    return !scenario.program.empty() || !scenario.waitFor.empty();
}

bool WaitUntil(bool (*done)(const void*), const void* subject, DWORD timeout) {
    for (DWORD waited = 0; waited < timeout; waited += Poll) {
        if (done(subject)) return true;
        Sleep(Poll);
    }
    return done(subject);
}

void WaitUntilClosed(HWND window) {
    WaitUntil(
        [](const void* subject) {
            return !IsWindow(static_cast<HWND>(const_cast<void*>(subject)));
        },
        window, WindowTimeout);
}

bool PlayerShown(const std::string& className) {
    return WaitUntil(
        [](const void* name) {
            HWND window = FindWindowA(static_cast<const char*>(name), nullptr);
            return window != nullptr && IsWindowVisible(window) != FALSE;
        },
        className.c_str(), AwaitTimeout);
}

bool StartPlayer(const std::string& className) {
    std::string commandLine = "standin.exe \"" + className + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA("standin.exe", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return PlayerShown(className);
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(parameter);
    char className[16];
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (GetClassNameA(window, className, sizeof className) == 0) return TRUE;
    if (std::strcmp(className, "#32770") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), wide.size()) - 1);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    std::string text(4 * std::wcslen(wide) + 1, '\0');
    text.resize(
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), text.size(), nullptr, nullptr) - 1);
    std::string escaped;
    for (char c : text)
        escaped += c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return escaped;
}

// Records the box's caption, text and whether it shows an icon, then presses OK.
void AnswerBox(HWND box, FILE* result) {
    wchar_t caption[1024] = L"", text[8192] = L"";
    GetWindowTextW(box, caption, 1024);
    GetDlgItemTextW(box, MessageTextId, text, 8192);
    const bool icon = SendDlgItemMessageA(box, MessageIconId, STM_GETICON, 0, 0) != 0;
    std::fprintf(result, "box %s|%s|%s\n", Utf8(caption).c_str(), Utf8(text).c_str(),
                 icon ? "icon" : "no icon");
    std::fflush(result);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntilClosed(box);
}

BOOL CALLBACK FindStandIn(HWND window, LPARAM found);

// Where a scenario's steps have got to: the next is taken its delay after the last one, once the
// program has written something.
struct Steps {
    const Scenario& scenario;
    HANDLE input;  // the write end of the program's standard input, or none
    FILE* timeline;
    DWORD started;  // the program's start, from which times are counted
    size_t next = 0;
    DWORD lastAt = 0;
    LONGLONG written = 0;
};

LONGLONG OutputSize() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA("stdout.txt", GetFileExInfoStandard, &data)) return 0;
    return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void TakeStep(Steps& steps, const Step& step) {
    DWORD written = 0;
    if (step.action == "line") {
        const std::string line = step.argument + "\r\n";
        WriteFile(steps.input, line.data(), DWORD(line.size()), &written, nullptr);
    } else if (step.action == "eof") {
        CloseHandle(steps.input);
        steps.input = nullptr;
    } else if (step.action == "state") {
        CopyFileA(step.argument.c_str(), "standin.ini", FALSE);
    } else if (step.action == "close") {
        HWND player = nullptr;
        EnumWindows(FindStandIn, reinterpret_cast<LPARAM>(&player));
        if (player != nullptr) PostMessageA(player, WM_CLOSE, 0, 0);
    } else if (step.action == "start") {
        StartPlayer(step.argument);
    }
}

// Records the output's growth and takes the steps that are due.
void FollowSteps(Steps& steps, DWORD now) {
    const LONGLONG size = OutputSize();
    if (size != steps.written) {
        steps.written = size;
        std::fprintf(steps.timeline, "%lu output %lld\n", now, size);
    }
    if (steps.next == steps.scenario.steps.size() || size == 0) return;
    if (steps.lastAt == 0) steps.lastAt = now;  // the first output starts the clock of the steps
    const Step& step = steps.scenario.steps[steps.next];
    if (now - steps.lastAt < step.delay) return;
    TakeStep(steps, step);
    steps.lastAt = GetTickCount() - steps.started;  // a player may take a while to start
    std::fprintf(steps.timeline, "%lu step %zu\n", steps.lastAt, steps.next++);
    std::fflush(steps.timeline);
}

void RunProgram(Scenario& scenario, FILE* result) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE output = CreateFileA("stdout.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE errors = CreateFileA("stderr.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE inputRead = nullptr, inputWrite = nullptr;
    if (scenario.input) {
        CreatePipe(&inputRead, &inputWrite, &inherited, 0);
        SetHandleInformation(inputWrite, HANDLE_FLAG_INHERIT, 0);  // or the input never ends
    }
    if (scenario.standardOutput || scenario.input) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = scenario.standardOutput ? output : nullptr;
        startup.hStdInput = inputRead;
        startup.hStdError = errors;
    }
    PROCESS_INFORMATION process;
    std::wstring commandLine = Wide(scenario.commandLine);
    const DWORD started = GetTickCount();
    const BOOL created = CreateProcessW(Wide(scenario.program).c_str(), commandLine.data(), nullptr,
                                        nullptr, scenario.standardOutput || scenario.input, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(output);
    CloseHandle(errors);
    if (inputRead != nullptr) CloseHandle(inputRead);
    if (!created) {
        std::fprintf(result, "exit not started %lu\n", GetLastError());
        return;
    }
    CloseHandle(process.hThread);
    FILE* timeline = scenario.steps.empty() ? nullptr : std::fopen("timeline.txt", "w");
    Steps steps{scenario, inputWrite, timeline, started};
    DWORD waited = 0;
    while (WaitForSingleObject(process.hProcess, Poll) == WAIT_TIMEOUT) {
        if (timeline != nullptr) FollowSteps(steps, GetTickCount() - started);
        BoxSearch search = {process.dwProcessId, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) AnswerBox(search.found, result);
        waited += Poll;
        if (waited > RunTimeout) {
            TerminateProcess(process.hProcess, 259);
            std::fprintf(result, "exit timeout\n");
            CloseHandle(process.hProcess);
            return;
        }
    }
    if (timeline != nullptr) {
        FollowSteps(steps, GetTickCount() - started);
        std::fprintf(timeline, "%lu exit\n", GetTickCount() - started);
        std::fclose(timeline);
    }
    if (steps.input != nullptr) CloseHandle(steps.input);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    std::fprintf(result, "exit %lu\n", status);
    CloseHandle(process.hProcess);
}

BOOL CALLBACK FindStandIn(HWND window, LPARAM found) {
    if (GetPropA(window, StandInProperty) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Closes every stand-in player, including those the program started, and waits for each; one
// that no longer answers is ended.
void ClosePlayers() {
    for (int attempt = 0; attempt < 16; ++attempt) {
        HWND player = nullptr;
        EnumWindows(FindStandIn, reinterpret_cast<LPARAM>(&player));
        if (player == nullptr) return;
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
            DWORD processId = 0;
            GetWindowThreadProcessId(player, &processId);
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
            TerminateProcess(process, 1);
            WaitForSingleObject(process, WindowTimeout);
            CloseHandle(process);
            continue;
        }
        PostMessageA(player, WM_CLOSE, 0, 0);
        WaitUntilClosed(player);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--keep-desktop") == 0) {
        // In the mixed pairing the 32-bit side can't start the 64-bit desktop: keep it up.
        GetDesktopWindow();
        Sleep(INFINITE);
    }
    Scenario scenario;
    if (!ReadScenario("scenario.txt", scenario)) {
        std::fprintf(stderr, "harness: no scenario.txt in the current directory\n");
        return 2;
    }
    FILE* result = std::fopen("result.txt", "w");
    if (result == nullptr) return 2;
    for (const std::string& className : scenario.playerClasses) {
        if (!StartPlayer(className)) std::fprintf(result, "player did not start\n");
    }
    for (const std::string& className : scenario.awaitedClasses) {
        if (!PlayerShown(className)) std::fprintf(result, "player did not start\n");
    }
    if (scenario.waitFor.empty()) {
        RunProgram(scenario, result);
    } else {
        for (DWORD waited = 0;
             waited < RunTimeout &&
             GetFileAttributesA(scenario.waitFor.c_str()) == INVALID_FILE_ATTRIBUTES;
             waited += Poll)
            Sleep(Poll);
    }
    if (!scenario.keepPlayers) ClosePlayers();
    std::fclose(result);
    return 0;
}
