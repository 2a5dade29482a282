// The switch table: every built-in switch, query and setter, one row each, with what it does and
// its line of help. Built-in switches are matched before the settings file's bindings.
#pragma once

#include <cstdint>

#include "control/protocol.h"
#include "control/setters.h"

enum class SwitchKind : std::uint8_t { Window, Command, Query, Setter };
enum class WindowAction : std::uint8_t { Hide, Show, FlipShow };
// What a query prints: one field, "N/M" of the track, or every field after its key.
enum class Question : std::uint8_t { Status, Title, Position, Length, Volume, TrackOfTracks, All };

inline constexpr int FormCapacity = 3;

struct Switch {
    const char* text;  // matched whole, without regard to case; a setter's name ends in "="
    const char* help;
    char form[FormCapacity];  // the form of a setter's value, after its name in the help
    SwitchKind kind;
    std::uint16_t what;  // by kind: the WindowAction, CommandId, Question or Setting
};

inline constexpr char HideSwitch[] = "/HIDE";

// The row an argument names, or none. A setter's value is the text after its "=".
const Switch* FindSwitch(const char* argument, const char*& value);

// True for an argument that a built-in switch takes, so that no binding of it is ever read.
bool IsBuiltInSwitch(const char* argument);

// Calls visit with each row's text, its value's form and its help, in table order.
void DescribeSwitches(void (*visit)(const char* text, const char* form, const char* help,
                                    void* context),
                      void* context);
