// Following the player: "/FOLLOW" keeps running, carries out each line of standard input as a run
// would, and hands the player's state to its sinks (blocks, template lines, now-playing files) at
// the start, after each line and whenever the state changes. One thread watches the player; a
// second only reads standard input. A follower with no input of its own runs until "/FOLLOW=OFF"
// closes its hidden window.
#include "run/follow.h"

#include <atomic>

#include "run/context.h"
#include "run/launch.h"
#include "run/sinks.h"

using namespace desktop;

namespace {

constexpr unsigned InputMessage = WM_APP;       // a line is waiting, or the input ended
constexpr unsigned WindowMessage = WM_APP + 1;  // a window was created or retitled
constexpr unsigned MessageTimeout = 1000;       // no message to the player waits longer
constexpr unsigned SilentTimeout = 100;         // nor, once it has gone silent, this
constexpr unsigned CaptionPoll = 250;  // the caption shows title, track and status; QuickFields
constexpr unsigned StatePoll = 1000;   // the rest of the state
// Read at each caption poll: they change at the player without its caption showing it.
constexpr Fields QuickFields = FieldBit(Field::Volume) | FieldBit(Field::Shuffle) |
                               FieldBit(Field::Repeat) | FieldBit(Field::Position);
// What the caption shows, read when it changed: a caption that only scrolls changes none.
constexpr Fields CaptionFields =
    FieldBit(Field::Status) | FieldBit(Field::Title) | FieldBit(Field::Track);
constexpr unsigned SearchPoll = 500;          // a player that appeared without an event
constexpr std::int32_t JumpTolerance = 1500;  // further from where playing took it: a jump
constexpr int InputSlots = 32;
constexpr int InputCapacity = LineCapacity;
constexpr int ChunkCapacity = 512;
constexpr char ProgramArgument[] = "\"\" ";  // argument 0, before a line split as a command line
constexpr int FollowCaptionCapacity = 512;   // enough to see that a caption changed
// The follower's hidden window, which one without input of its own has for "/FOLLOW=OFF" to close,
// and one with the media controls for them to belong to; the name tells the two apart.
constexpr WCHAR FollowerClass[] = u"Tunedesk follower";
constexpr WCHAR WithoutInput[] = u"Tunedesk follower without input";
constexpr WCHAR WithInput[] = u"Tunedesk follower with input";
constexpr char OffValue[] = "OFF";

// The lines of standard input, handed from the reader thread to the follower.
struct Input {
    HANDLE handle;
    unsigned follower;  // the follower's thread, which the reader wakes
    char lines[InputSlots][InputCapacity];
    std::atomic<unsigned> read, taken;  // lines read, and lines the follower has carried out
    std::atomic<bool> ended;
};

struct Follower {
    const Run& run;
    Player player;  // whose process handle is signalled when it ends
    Sinks& sinks;
    HWND window = nullptr;  // its own, if it has one
    bool closed = false;
    PlayerState shown{};   // what the last block showed
    bool playing = false;  // as last read, with the position, and when
    std::int32_t position = NoTime;
    unsigned positionAt = 0, captionAt = 0, stateAt = 0, searchAt = 0;
    unsigned done = 0;                       // lines carried out
    bool look = false;                       // a window event asks for a look now
    WCHAR caption[FollowCaptionCapacity]{};  // as last read
    int captionLength = 0;
};

// The slot the next line goes to, once the follower has carried out the line that was there. It
// starts as a command line does, with argument 0.
char* NextSlot(Input& input) {
    while (input.read - input.taken >= InputSlots)
        Sleep(1);  // the follower is still carrying out earlier lines
    char* slot = input.lines[input.read % InputSlots];
    CopyText(slot, ProgramArgument, sizeof ProgramArgument);
    return slot;
}

void Deliver(Input& input, char* slot, int length) {
    slot[length] = '\0';
    ++input.read;
    PostThreadMessageA(input.follower, InputMessage, 0, 0);
}

// The reader thread: standard input cut into lines, without their CR LF or LF, each written into
// a slot after argument 0; a line too long for a slot is cut.
unsigned long DESKTOP_CALLBACK ReadInput(void* parameter) {
    Input& input = *static_cast<Input*>(parameter);
    char chunk[ChunkCapacity];
    char* slot = nullptr;
    int length = 0;
    unsigned got = 0;
    while (ReadFile(input.handle, chunk, ChunkCapacity, &got, nullptr) && got > 0) {
        for (unsigned at = 0; at < got; ++at) {
            if (slot == nullptr) {
                slot = NextSlot(input);
                length = sizeof ProgramArgument - 1;
            }
            if (chunk[at] == '\n') {
                Deliver(input, slot, length);
                slot = nullptr;
            } else if (chunk[at] != '\r' && length < InputCapacity - 1) {
                slot[length++] = chunk[at];
            }
        }
    }
    if (slot != nullptr && length > static_cast<int>(sizeof ProgramArgument) - 1)
        Deliver(input, slot, length);
    input.ended = true;
    PostThreadMessageA(input.follower, InputMessage, 0, 0);
    return 0;
}

// Runs on the follower's thread, from its message loop.
void DESKTOP_CALLBACK WindowEvent(HWINEVENTHOOK, unsigned event, HWND window, long object,
                                  long child, unsigned, unsigned) {
    if (object == OBJID_WINDOW && child == CHILDID_SELF)
        PostThreadMessageA(GetCurrentThreadId(), WindowMessage,
                           reinterpret_cast<std::uintptr_t>(window), event);
}

constexpr unsigned WindowEvents[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE};

// A player that starts shows as a created window at once; one that retitles itself, where the
// system says so (Windows does, Wine 8 does not), as a name change.
void HookWindowEvents() {
    for (unsigned event : WindowEvents)
        SetWinEventHook(event, event, nullptr, WindowEvent, 0, 0,
                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

void Attach(Follower& follower, HWND window) {
    if (window == follower.player.window) return;
    ForgetPlayer(follower.player);
    follower.player = {window, MessageTimeout, false};
    follower.captionLength = -1;  // unread
    if (window != nullptr) OpenPlayer(follower.player);
}

// Looks for the player afresh.
void Search(Follower& follower) { Attach(follower, FindWindowA(follower.run.className, nullptr)); }

// Reads the caption and keeps it; true when it differs from the one read before. GetWindowTextW
// reads the caption the system keeps, sending the player nothing.
bool CaptionChanged(Follower& follower) {
    WCHAR caption[FollowCaptionCapacity];
    const int length = GetWindowTextW(follower.player.window, caption, FollowCaptionCapacity);
    bool same = length == follower.captionLength;
    for (int at = 0; at < length; ++at) {
        same = same && caption[at] == follower.caption[at];
        follower.caption[at] = caption[at];
    }
    follower.captionLength = length;
    return !same;
}

// A player that went silent is asked again with a short timeout, so that it holds nothing up.
void Settle(Player& player) {
    player.timeout = player.unanswered ? SilentTimeout : MessageTimeout;
    player.unanswered = false;
}

// True when the position is further than the tolerance from where playing has taken the last one.
bool Jumped(const Follower& follower, std::int32_t position) {
    std::int32_t expected = follower.position;
    if (follower.playing)
        expected += static_cast<std::int32_t>(GetTickCount() - follower.positionAt);
    const std::int32_t drift = position - expected;
    return position >= 0 && follower.position >= 0 &&
           (drift > JumpTolerance || drift < -JumpTolerance);
}

// True when the fields read afresh differ from the last block's, the position jumped, or the
// player went silent.
bool FieldsChanged(Follower& follower, Fields fields) {
    PlayerState state = follower.shown;
    ReadFields(state, fields, follower.player);
    return follower.player.unanswered || DiffersBesidesPosition(state, follower.shown) ||
           ((fields & FieldBit(Field::Position)) != 0 && Jumped(follower, state.position));
}

// Reads the state, or after a line only the fields its switches can change, the rest kept as
// the last block showed them until the next poll reads them; unless the player has just left a
// message unanswered. A block follows when the state changed, when the position jumped, or when
// asked for; announced, its "done" line went ahead. A player that does not answer leaves the last
// block's values.
bool Report(Follower& follower, bool always, Fields fields = AllFields, bool announced = false) {
    Player& player = follower.player;
    PlayerState state = follower.shown;
    ReadFields(state, fields, player, &follower.shown);
    if (player.unanswered) {
        Settle(player);
        return Publish(follower.sinks, follower.shown, follower.done, always, false, announced);
    }
    Settle(player);
    if (fields == AllFields) CaptionChanged(follower);  // what this read saw needs no second look
    const bool timed = (fields & FieldBit(Field::Position)) != 0;
    const std::int32_t position = state.running ? state.position : NoTime;
    const bool jumped = timed && Jumped(follower, position);
    const bool changed = DiffersBesidesPosition(state, follower.shown) || jumped;
    if (timed) {
        follower.playing = state.running && state.status == Playing;
        follower.position = position;
        follower.positionAt = GetTickCount();
    }
    follower.shown = state;
    return Publish(follower.sinks, follower.shown, follower.done, always || changed, jumped,
                   announced);
}

// A line of input, carried out as a run with that command line would: the player found afresh,
// started when absent and Autoload says so, then the pass; its queries write nothing. Gives what
// it can have changed at the player: everything, when the player is another.
Fields CarryOut(Follower& follower, const char* line) {
    WCHAR commandLine[InputCapacity];  // the line is UTF-8
    MultiByteToWideChar(CP_UTF8, 0, line, -1, commandLine, InputCapacity);
    char texts[3 * InputCapacity];
    ArgumentList arguments;
    ReadArguments(commandLine, texts, sizeof texts, arguments);
    HWND window = FindWindowA(follower.run.className, nullptr);
    if (window == nullptr)
        LaunchPlayer(arguments, follower.run.className, follower.run.settingsPath, window,
                     Boxes::Hidden);
    const bool another = window != follower.player.window;
    Attach(follower, window);
    Output nowhere{nullptr, true};
    Pass pass{follower.run, follower.player, nowhere};
    follower.run.commandPass(arguments, pass);
    return another ? AllFields : pass.changes;
}

// Carries out the lines waiting, each followed by a block; while more lines are already waiting
// the block waits too, so that lines that come faster than blocks are answered by one block.
// False when writing failed or the input has ended.
bool TakeInput(Follower& follower, Input& input) {
    Fields changes = 0;
    while (input.taken != input.read) {
        changes |= CarryOut(follower, input.lines[input.taken % InputSlots]);
        ++follower.done;
        ++input.taken;
        // Its "done" goes ahead of the state read, so that a caller waiting for its line to be
        // carried out, such as the companion's Next, waits for no more.
        if (input.taken == input.read && (!Announce(follower.sinks, follower.done) ||
                                          !Report(follower, true, changes, true)))
            return false;
    }
    return !input.ended || input.taken != input.read;
}

// Looks at the player as often as each kind of change needs; false when writing failed.
bool Poll(Follower& follower) {
    const unsigned now = GetTickCount();
    const bool look = follower.look;
    follower.look = false;
    if (follower.player.window == nullptr) {
        if (!look && now - follower.searchAt < SearchPoll) return true;
        follower.searchAt = now;
        Search(follower);
        return follower.player.window == nullptr || Report(follower, false);
    }
    if (now - follower.stateAt >= StatePoll) {
        follower.stateAt = follower.captionAt = now;
        // Without a process handle, a player that went shows here.
        if (follower.player.process == nullptr) Search(follower);
        return Report(follower, false);
    }
    if (!look && now - follower.captionAt < CaptionPoll) return true;
    follower.captionAt = now;
    const bool changed = (CaptionChanged(follower) && FieldsChanged(follower, CaptionFields)) ||
                         FieldsChanged(follower, QuickFields);
    return !changed || Report(follower, false);
}

// A press of the media controls, carried out as a line of input would be; but no line, it is not
// counted in done.
bool Press(Follower& follower, const MSG& message) {
    Line pressed;
    if (!PressedSwitch(follower.shown, message.wParam, message.lParam, pressed)) return true;
    char line[InputCapacity];
    CopyText(line, ProgramArgument, sizeof ProgramArgument);
    CopyText(line + sizeof ProgramArgument - 1, pressed.text, pressed.length + 1);
    return Report(follower, false, CarryOut(follower, line));
}

// Reads the thread's messages, the window events the hooks turn into messages among them and
// the presses of the media controls, then carries out the lines waiting. The reader's message
// only wakes the thread: the lines are looked for at every turn. False when the follower is to
// end.
bool TakeMessages(Follower& follower, Input& input) {
    MSG message;
    bool going = true;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        const HWND window = reinterpret_cast<HWND>(message.wParam);
        if (message.message == WindowMessage &&
            (follower.player.window == nullptr || window == follower.player.window))
            follower.look = true;
        const bool ours = message.window == follower.window && follower.window != nullptr;
        follower.closed = follower.closed || (ours && message.message == WM_CLOSE);
        if (ours && message.message == MediaMessage) going = going && Press(follower, message);
    }
    return going && !follower.closed && TakeInput(follower, input);
}

// Standard input, where it is a file or a pipe that can end; a character device, such as the NUL
// that Wine gives a program started without input, is no input. False for none.
bool StartReading(Input& input) {
    input.handle = GetStdHandle(STD_INPUT_HANDLE);
    input.follower = GetCurrentThreadId();
    input.read = input.taken = 0;
    input.ended = false;
    const unsigned type = IsUsable(input.handle) ? GetFileType(input.handle) : 0;
    if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) return false;
    const HANDLE thread = CreateThread(nullptr, 0, ReadInput, &input, 0, nullptr);
    if (thread != nullptr) CloseHandle(thread);
    return true;
}

// The hidden window, named for whether "/FOLLOW=OFF" may close it.
void MakeWindow(Follower& follower, const WCHAR* name) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = follower.run.instance;
    windowClass.lpszClassName = FollowerClass;
    RegisterClassW(&windowClass);
    follower.window = CreateWindowExW(0, FollowerClass, name, 0, 0, 0, 0, 0, nullptr, nullptr,
                                      follower.run.instance, nullptr);
    follower.sinks.controls.window = follower.window;
}

// The follower's loop, which ends when its input ends, its reader has gone or it is closed.
void RunFollow(Follower& follower) {
    Input input;
    // A message posted to a thread without a message queue is lost: this one makes its queue
    // before the reader can post to it.
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HookWindowEvents();
    const bool reading = StartReading(input);
    if (!reading || follower.sinks.controls.wanted)
        MakeWindow(follower, reading ? WithInput : WithoutInput);
    Search(follower);
    if (!Report(follower, true)) return;
    for (;;) {
        const unsigned handles = follower.player.process != nullptr ? 1 : 0;
        const unsigned woken = MsgWaitForMultipleObjects(handles, &follower.player.process, false,
                                                         CaptionPoll, QS_ALLINPUT);
        if (handles != 0 && woken == WAIT_OBJECT_0) {
            Attach(follower, nullptr);  // the player has ended
            if (!Report(follower, false)) return;
        }
        if (!TakeMessages(follower, input) || !Poll(follower)) return;
    }
}

}  // namespace

void Follow(Pass& pass, const char*) {
    Sinks sinks{pass.output, false, false, 0, {}, {}};
    OpenSinks(sinks, pass.run.arguments);
    Follower follower{pass.run, {}, sinks};
    RunFollow(follower);
    CloseControls(sinks.controls);
    if (follower.window != nullptr) DestroyWindow(follower.window);
}

void StopFollowers(Pass&, const char* value) {
    if (lstrcmpiA(value, OffValue) != 0) return;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, FollowerClass, WithoutInput)) != nullptr)
        PostMessageW(window, WM_CLOSE, 0, 0);
}
