// The media controls' sink: Firefox's orders, done one after another on the follower's thread so
// that the flyout is never left showing the bare program: opening (the controls, their buttons,
// the press handler, then IsEnabled), the player shown, gone and back, and closing in reverse.
#include "run/controls.h"

#include "control/cover.h"
#include "control/output.h"
#include "control/template.h"

using namespace desktop;

namespace {

constexpr WCHAR OwnerName[] = u"Local\\Tunedesk media controls";
constexpr MediaButton Buttons[] = {MediaButton::Play, MediaButton::Pause, MediaButton::Stop,
                                   MediaButton::Next, MediaButton::Previous};

// What the music properties show: the template's variables of the same meaning, one rule.
constexpr struct {
    MusicText property;
    const WCHAR* variable;
} MusicTable[MusicTexts] = {{MusicText::Title, u"{{title}}"},
                            {MusicText::Artist, u"{{artist}}"},
                            {MusicText::AlbumTitle, u"{{album}}"},
                            {MusicText::AlbumArtist, u"{{xesam:albumArtist}}"}};

// What each press sends, as the companion's Play, Pause, Stop, Next and Previous do: Play sends
// nothing while playing, Pause nothing while not.
constexpr struct {
    MediaButton button;
    const char* line;
    bool whilePlaying, otherwise;
} PressTable[] = {{MediaButton::Play, "/PLAY", false, true},
                  {MediaButton::Pause, "/PAUSE", true, false},
                  {MediaButton::Stop, "/STOP", true, true},
                  {MediaButton::Next, "/NEXT", true, true},
                  {MediaButton::Previous, "/PREV", true, true}};

// Repeat as the controls name it, and the setter each asks for.
constexpr struct {
    std::int32_t repeat;
    MediaRepeat mode;
    const char* line;
} RepeatTable[] = {{Off, MediaRepeat::None, "/REPEAT=OFF"},
                   {On, MediaRepeat::List, "/REPEAT=ON"},
                   {RepeatTrack, MediaRepeat::Track, "/REPEAT=TRACK"}};

void Say(const char* what) {
    Line line;
    line.length = 0;
    Append(line, "tunedesk: /MEDIACONTROLS: ");
    Append(line, what);
    WriteError(line);
}

MediaStatus StatusOf(const PlayerState& state) {
    return state.status == Playing  ? MediaStatus::Playing
           : state.status == Paused ? MediaStatus::Paused
                                    : MediaStatus::Stopped;
}

// Gives up the session's one owner.
void Disown(Controls& c) {
    if (c.mutex == nullptr) return;
    ReleaseMutex(c.mutex);
    CloseHandle(c.mutex);
    c.mutex = nullptr;
}

// One owner a session, so that the flyout never shows the player twice; a second follower takes
// them over when the first ends, at its next state read.
bool Own(Controls& c) {
    if (c.mutex != nullptr) return true;
    const HANDLE mutex = CreateMutexW(nullptr, false, OwnerName);
    const unsigned waited = mutex != nullptr ? WaitForSingleObject(mutex, 0) : WAIT_TIMEOUT;
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        c.mutex = mutex;
        return true;
    }
    if (mutex != nullptr) CloseHandle(mutex);
    if (!c.waiting)
        Say("another follower shows the player there; this one takes over when it ends");
    c.waiting = true;
    return false;
}

// The opening steps up to IsEnabled: the controls and their updater must be had, and IsEnabled
// taken; the buttons and the press handler are passed over where they are refused, as Wine 10
// refuses Stop and the handler and shows the rest. The timeline and its requests come after them,
// where Windows has them.
bool Open(Controls& c) {
    const HRESULT found = RoInitialize(RO_INIT_MULTITHREADED) < 0
                              ? REGDB_E_CLASSNOTREG
                              : GetForWindow(c.window, &c.controls);
    bool opened = found >= 0;
    for (MediaButton button : Buttons)
        if (opened) put_IsButtonEnabled(c.controls, button, true);
    if (opened) add_ButtonPressed(c.controls, c.window, MediaMessage);
    opened = opened && put_IsEnabled(c.controls, true) >= 0;
    if (!opened) {
        Say(found == REGDB_E_CLASSNOTREG
                ? "Windows' media controls are not available here"
                : "Windows refused the media controls; going on without them");
        if (c.controls != nullptr) ReleaseMediaControls(c.controls);
        c.controls = nullptr;
        c.refused = true;
        Disown(c);
        return false;
    }
    c.timeline =
        QueryControls2(c.controls) >= 0 && add_Requests(c.controls, c.window, MediaMessage) >= 0;
    c.showing = true;
    return true;
}

// The music properties and the cover, set where they changed; true when any was.
bool SetMusic(Controls& c, const PlayerState& state, bool fresh) {
    bool changed = false;
    for (int at = 0; at < MusicTexts; ++at) {
        Line text, error;
        RenderTemplate(MusicTable[at].variable, state, text, error);
        if (!fresh && SameLine(text, c.texts[at])) continue;
        c.texts[at] = text;
        WCHAR wide[LineCapacity];
        const int units =
            MultiByteToWideChar(CP_UTF8, 0, text.text, text.length, wide, LineCapacity - 1);
        wide[units > 0 ? units : 0] = u'\0';
        put_MusicText(c.controls, MusicTable[at].property, wide);  // refused: the rest still go
        changed = true;
    }
    if (fresh || !SameLine(state.file, c.shown.file)) {
        WCHAR cover[CoverCapacity];
        put_Thumbnail(c.controls, FindCover(state.file, cover) ? cover : nullptr);
        changed = true;
    }
    return changed;
}

// The timeline, shuffle and repeat, where Windows has them: the timeline when the track, the
// status or the length changed or the position jumped, not as the position moves on.
void SetTimeline(Controls& c, const PlayerState& state, bool fresh, bool jumped) {
    const PlayerState& shown = c.shown;
    if (fresh || jumped || state.track != shown.track || state.status != shown.status ||
        state.length != shown.length || !SameLine(state.file, shown.file))
        UpdateTimelineProperties(c.controls,
                                 (state.length > 0 ? state.length : 0) * TicksPerMillisecond,
                                 (state.position > 0 ? state.position : 0) * TicksPerMillisecond);
    if (fresh || state.shuffle != shown.shuffle)
        put_ShuffleEnabled(c.controls, state.shuffle == On);
    for (const auto& repeat : RepeatTable)
        if (repeat.repeat == state.repeat && (fresh || state.repeat != shown.repeat))
            put_AutoRepeatMode(c.controls, repeat.mode);
}

// The player gone: stopped, cleared and off the flyout; the window and handlers stay.
void Hide(Controls& c) {
    put_PlaybackStatus(c.controls, MediaStatus::Stopped);
    ClearAll(c.controls);
    put_IsEnabled(c.controls, false);
    c.showing = false;
}

}  // namespace

void ShowOnControls(Controls& c, const PlayerState& state, bool jumped) {
    if (!c.wanted || c.refused) return;
    if (!state.running) {
        if (c.controls != nullptr && c.showing) Hide(c);
        return;
    }
    if (c.controls == nullptr && (!Own(c) || !Open(c))) return;
    // Fresh: just opened, or the player back after it had gone.
    const bool fresh = !c.showing || !c.shown.running;
    if (!c.showing) put_IsEnabled(c.controls, true);
    c.showing = true;
    if (fresh) put_Type(c.controls, MediaTypeMusic);
    if (SetMusic(c, state, fresh)) Update(c.controls);
    if (fresh || state.status != c.shown.status) put_PlaybackStatus(c.controls, StatusOf(state));
    if (c.timeline) SetTimeline(c, state, fresh, jumped);
    c.shown = state;
}

void CloseControls(Controls& c) {
    if (c.controls != nullptr) {
        put_PlaybackStatus(c.controls, MediaStatus::Stopped);
        remove_ButtonPressed(c.controls);
        if (c.timeline) remove_Requests(c.controls);
        ClearAll(c.controls);
        put_IsEnabled(c.controls, false);
        ReleaseMediaControls(c.controls);
        c.controls = nullptr;
    }
    Disown(c);
}

bool PressedSwitch(const PlayerState& state, std::uintptr_t what, std::intptr_t value, Line& line) {
    line.length = 0;
    const bool playing = state.running && state.status == Playing;
    for (const auto& press : PressTable)
        if (what == static_cast<std::uintptr_t>(press.button) &&
            (playing ? press.whilePlaying : press.otherwise))
            Append(line, press.line);
    if (what == static_cast<std::uintptr_t>(MediaRequest::Shuffle))
        Append(line, value != 0 ? "/SHUFFLE=ON" : "/SHUFFLE=OFF");
    for (const auto& repeat : RepeatTable)
        if (what == static_cast<std::uintptr_t>(MediaRequest::Repeat) &&
            value == static_cast<std::intptr_t>(repeat.mode))
            Append(line, repeat.line);
    if (what == static_cast<std::uintptr_t>(MediaRequest::Position) && value >= 0) {
        Append(line, "/SEEK=");
        AppendMilliseconds(line, static_cast<std::int32_t>(value));
    }
    return line.length > 0;
}
