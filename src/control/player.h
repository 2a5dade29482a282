// Talking to the player: its numbered commands and the WM_USER questions and settings, each
// message bounded by the player's timeout.
#pragma once

#include <cstdint>

#include "control/protocol.h"
#include "desktop/desktop.h"

// The player's main window, or none, and how long each message to it may take.
struct Player {
    desktop::HWND window;
    unsigned timeout;  // milliseconds; Patiently in an ordinary run
    bool unanswered;   // a message went unanswered: the rest are not sent until this is cleared
    // Its process, opened at the first read of its memory, and the last region found readable.
    bool opened = false;
    desktop::HANDLE process = nullptr;
    std::uintptr_t readableFrom = 0, readableTo = 0;
};
inline constexpr unsigned Patiently = 0xFFFFFFFF;  // as long as the player takes

// Sends one message to one of the player's windows, unless an earlier one went unanswered, and
// gives the answer; nothing is sent to no window.
std::uintptr_t Send(Player& player, desktop::HWND window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam);
std::uintptr_t Send(Player& player, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// The player's playlist window, or none.
desktop::HWND FindPlaylist(Player& player);
// The player's answer to a WM_USER question, as the 32-bit signed number it is: a 64-bit
// Tunedesk talking to the 32-bit player gets it sign-extended, and -1 must stay -1.
// An unanswered question answers 0.
std::int32_t Ask(Player& player, std::int64_t data, PlayerMessage id);
// The player's answer as the address it is, in its memory; a 32-bit player's is sign-extended.
std::uintptr_t AskAddress(Player& player, std::int64_t data, PlayerMessage id);
// Hands one of the player's windows a text, as WM_COPYDATA does, then gives up the rest of the
// time slice.
void SendData(Player& player, desktop::HWND window, const desktop::COPYDATASTRUCT& data);
// Opens the player's process, to read its memory and to see it end; false when it can't be.
bool OpenPlayer(Player& player);
// Closes the player's process.
void ForgetPlayer(Player& player);
// A WM_USER setting, then the rest of the time slice given up.
void Tell(Player& player, std::int64_t data, PlayerMessage id);
// Plays the entry at index, counted from 0.
void PlayEntry(Player& player, std::int32_t index);
// Sends a numbered command, unless it is NoCommand, then gives up the rest of the time slice.
void SendCommand(Player& player, CommandId command);
// True when the player answers an empty message in time; a window action on a player that
// does not would wait for it.
bool Answers(Player& player);
// Minimises the window, then hides it, the way the player itself would leave the screen.
void HideWindow(desktop::HWND window);

// What an address holds beyond its low 32 bits, which a 32-bit program's addresses leave empty;
// shifted twice, so that a 32-bit build shifts no further than its width.
inline constexpr int HalfBits = 16;
constexpr std::uintptr_t HighHalf(std::uintptr_t address) {
    return address >> HalfBits >> HalfBits;
}

// The player's volume, 0 to 255, in whole percent as /VOLUME prints it, and back; halves round up.
inline constexpr int MaxPercent = 100;
int PercentFromVolume(int volume);
int VolumeFromPercent(int percent);

inline constexpr int TrackBase = 1;  // tracks are counted from 1 for the user, from 0 by the player
