// Windows' media controls, one more of the follower's sinks: the flyout, the lock screen and the
// media keys show the player's status, title, artist, album, cover and timeline, mapped from its
// state by the template's own rows, and their buttons and requests become switches.
#pragma once

#include "control/state.h"
#include "desktop/desktop.h"

// A button pressed or a request made, posted to the follower's window by Windows' thread.
inline constexpr unsigned MediaMessage = desktop::WM_APP + 2;

inline constexpr int MusicTexts = 4;  // title, artist, album and album artist

struct Controls {
    bool wanted = false;              // "/MEDIACONTROLS" after "/FOLLOW"
    desktop::HWND window = nullptr;   // the follower's own, which the controls belong to
    desktop::HANDLE mutex = nullptr;  // the session's one owner, once held
    desktop::MediaControls* controls = nullptr;
    bool refused = false;    // an opening step failed, which was said: no controls from then on
    bool waiting = false;    // another follower has them, which was said
    bool showing = false;    // IsEnabled is true: the player is on them
    bool timeline = false;   // the timeline, shuffle and repeat are there too
    PlayerState shown{};     // what they show
    Line texts[MusicTexts];  // as last set
};

// Shows the state read: the player on the controls, its changes, or the player gone. Opens the
// controls at the first state with a player, once this follower is their one owner. Jumped says
// the position jumped, which the timeline shows.
void ShowOnControls(Controls& controls, const PlayerState& state, bool jumped);
// The follower's end: the controls closed in the order Windows wants, and given up.
void CloseControls(Controls& controls);
// The switch a press or a request asks of the player in this state, as the Linux companion's
// calls send it, such as "/PAUSE" for Pause while playing; false for none.
bool PressedSwitch(const PlayerState& state, std::uintptr_t what, std::intptr_t value, Line& line);
