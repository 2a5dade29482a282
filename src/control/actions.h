// What a switch does: one function of one signature per switch, carried out on the player in the
// order the arguments name them.
#pragma once

#include "control/output.h"
#include "control/player.h"

struct Run;  // the run's own state, which only the switches that start a run of their own read

// Where a file goes: to the end of the playlist; in place of it, after "/OPEN", which then adds
// the rest; or after "/INSERT", right after the current entry and then after each other.
enum class Placing : std::uint8_t { Adding, Opening, Inserting };

// What a switch acts on: the run, the player and where queries write.
struct Pass {
    const Run& run;
    Player& player;
    Output& output;
    Placing placing = Placing::Adding;             // where the next file goes
    std::int32_t insertAt = 0;                     // inserting: before this entry
    const desktop::WCHAR* wideArgument = nullptr;  // the switch's argument in UTF-16, as typed
    const desktop::WCHAR* nextArgument = nullptr;  // the argument after it, or none
    bool outputTaken = false;  // the next argument, "/OUTPUT=", is the template's
    PlayerState known{};       // the last state read with its file's tags, kept for the run
    Fields changes = 0;        // what the switches carried out can have changed at the player
};

// A switch's action; value is the text after a setter's "=", and null for any other switch.
using Action = void (*)(Pass& pass, const char* value);

inline constexpr char HideSwitch[] = "/HIDE";  // which a launch looks for, too
void Hide(Pass& pass, const char* value);
void Show(Pass& pass, const char* value);
void FlipShow(Pass& pass, const char* value);

template <CommandId command>
void Command(Pass& pass, const char*) {
    SendCommand(pass.player, command);
}

// A query: a line with the values of the fields from first to last, separated by "/" ("3/4").
void QueryFields(Pass& pass, Field first, Field last);
template <Field first, Field last = first>
void Query(Pass& pass, const char*) {
    QueryFields(pass, first, last);
}
void QueryAll(Pass& pass, const char* value);  // every field after its key
// Reads fields as a query does: a file's tags are asked for once a run, and kept for it.
void ReadKnown(Pass& pass, PlayerState& state, Fields fields);
// "/FORMAT=TEMPLATE": the template's line, written where a query writes, or with "/OUTPUT=FILE"
// right after it to that file, replaced whole.
inline constexpr char FormatSwitch[] = "/FORMAT=", OutputSwitch[] = "/OUTPUT=";
void Format(Pass& pass, const char* value);
// "/OUTPUT=" anywhere but right after a "/FORMAT=" is said and passed over.
void OutputTo(Pass& pass, const char* value);
// The text after a setter's "=", in UTF-16 as typed; the name before it is ASCII.
const desktop::WCHAR* SetterValue(const desktop::WCHAR* argument);
// True when the argument is the setter of that name, "/OUTPUT=" say, in any case; or the whole
// switch.
bool IsSetter(const desktop::WCHAR* argument, const char* name);
bool IsSwitch(const desktop::WCHAR* argument, const char* name);
// "/MEDIACONTROLS" goes after "/FOLLOW"; anywhere else it is said and passed over.
inline constexpr char MediaControlsSwitch[] = "/MEDIACONTROLS";
void FollowerOption(Pass& pass, const char* value);
void QueryPlaylist(Pass& pass, const char* value);  // "N title" for each entry

void Clear(Pass& pass, const char* value);
// The first file after it replaces the playlist and plays; later ones are added after it.
void Open(Pass& pass, const char* value);
// The files after it go in after the current entry, in their order, so the first plays next.
void Insert(Pass& pass, const char* value);
// The playlist's entry that an argument names, with its length: the full path of an existing file
// or folder, made in full, which holds LongestWideText + 1 units, or a URL; null for none.
const desktop::WCHAR* PlaylistEntry(const desktop::WCHAR* argument, desktop::WCHAR* full,
                                    int& length);
// Adds the entry to the playlist, or after "/OPEN" plays it in place of the playlist, or after
// "/INSERT" inserts it; a path too long to insert is said on standard error.
void AddEntry(Pass& pass, const desktop::WCHAR* entry, int length);
