// The window actions and the queries that print more than one field.
#include "control/actions.h"

#include "control/playlist.h"
#include "control/template.h"

using namespace desktop;

namespace {

constexpr int Visible = 1;  // IsWindowVisible counts only when it says exactly 1
constexpr int FullPathCapacity = LongestWideText + 1;
constexpr int PlaylistTries = 3;  // a list that keeps changing before its first lines are out

// The window of a player that does not answer would not move: nothing is done to it.
bool Moves(Pass& pass) { return Answers(pass.player); }

// Lists the entries, writing the lines whenever they fill a text. False when the list's length
// changed meanwhile and nothing was written yet, so that it is read again from the start.
bool ListEntries(Pass& pass) {
    Player& player = pass.player;
    const std::int32_t count = Ask(player, 0, ListLength);
    bool written = false;
    Text text;
    text.length = 0;
    for (std::int32_t index = 0; index < count; ++index) {
        Line line;
        line.length = 0;
        AppendNumber(line, index + TrackBase);
        Append(line, " ");
        AppendEntry(line, player, index, EntryText::Title);
        if (text.length + line.length + LineEndLength > TextCapacity) {
            written = true;
            WriteText(pass.output, text);
            text.length = 0;
        }
        AppendLine(text, line);
    }
    if (!written && Ask(player, 0, ListLength) != count) return false;
    if (text.length > 0) WriteText(pass.output, text);
    return true;
}

// Where /INSERT said, then after the last one inserted.
void InsertEntry(Pass& pass, const WCHAR* entry, int length) {
    if (InsertInPlaylist(pass.player, entry, length, pass.insertAt)) {
        ++pass.insertAt;
        return;
    }
    Line line;
    line.length = 0;
    Append(line, "tunedesk: /INSERT: path too long: ");
    AppendWide(line, entry, entry + length);
    WriteError(line);
}

}  // namespace

void Hide(Pass& pass, const char*) {
    if (Moves(pass)) HideWindow(pass.player.window);
}

void Show(Pass& pass, const char*) {
    if (Moves(pass)) ShowWindow(pass.player.window, SW_SHOWNORMAL);
}

void FlipShow(Pass& pass, const char* value) {
    (IsWindowVisible(pass.player.window) == Visible ? Hide : Show)(pass, value);
}

void ReadKnown(Pass& pass, PlayerState& state, Fields fields) {
    ReadFields(state, fields, pass.player, &pass.known);
    if ((fields & TagFields) != 0) pass.known = state;
}

void QueryFields(Pass& pass, Field first, Field last) {
    PlayerState state;
    ReadKnown(pass, state, FieldRange(first, last));
    Line line;
    line.length = 0;
    for (int at = static_cast<int>(first); at <= static_cast<int>(last); ++at) {
        const Field field = static_cast<Field>(at);
        if (field != first && state.running) Append(line, "/");
        AppendValue(line, field, state);
    }
    Text text;
    text.length = 0;
    AppendLine(text, line);
    WriteText(pass.output, text);
}

void QueryAll(Pass& pass, const char*) {
    PlayerState state;
    ReadKnown(pass, state, AllFields);
    Text text;
    text.length = 0;
    AppendQueryLines(text, state);
    WriteText(pass.output, text);
}

const WCHAR* SetterValue(const WCHAR* argument) {
    while (*argument++ != u'=') {
    }
    return argument;
}

bool IsSetter(const WCHAR* argument, const char* name) { return StartsWithAnyCase(argument, name); }

bool IsSwitch(const WCHAR* argument, const char* name) {
    return IsSetter(argument, name) && argument[TextLength(name)] == u'\0';
}

void FollowerOption(Pass& pass, const char*) {
    Line error;
    error.length = 0;
    Append(error, "tunedesk: ");
    AppendWide(error, pass.wideArgument, pass.wideArgument + TextLength(pass.wideArgument));
    Append(error, " goes after /FOLLOW; passed over");
    WriteError(error);
}

void Format(Pass& pass, const char*) {
    PlayerState state;
    ReadKnown(pass, state, AllFields);
    Line line, error;
    if (!RenderTemplate(SetterValue(pass.wideArgument), state, line, error)) WriteError(error);
    pass.outputTaken = pass.nextArgument != nullptr && IsSetter(pass.nextArgument, OutputSwitch);
    if (!pass.outputTaken) {
        Text text;
        text.length = 0;
        AppendLine(text, line);
        WriteText(pass.output, text);
        return;
    }
    const WCHAR* path = SetterValue(pass.nextArgument);
    if (WriteWholeFile(path, line)) return;
    error.length = 0;
    Append(error, "tunedesk: /OUTPUT: can't write ");
    AppendWide(error, path, path + TextLength(path));
    WriteError(error);
}

void OutputTo(Pass& pass, const char*) {
    if (pass.outputTaken) {
        pass.outputTaken = false;
        return;
    }
    Line error;
    error.length = 0;
    Append(error, "tunedesk: /OUTPUT= goes right after a /FORMAT=; passed over");
    WriteError(error);
}

void QueryPlaylist(Pass& pass, const char*) {
    if (pass.player.window == nullptr) return;  // no player: no entries
    for (int attempt = 0; attempt < PlaylistTries && !ListEntries(pass); ++attempt) {
    }
}

void Clear(Pass& pass, const char*) {
    if (pass.player.window != nullptr) Tell(pass.player, 0, ClearPlaylist);
}

void Open(Pass& pass, const char*) { pass.placing = Placing::Opening; }

// After the current entry, or from the top of an empty list.
void Insert(Pass& pass, const char*) {
    Player& player = pass.player;
    pass.placing = Placing::Inserting;
    pass.insertAt = Ask(player, 0, ListLength) > 0 ? Ask(player, 0, ListPosition) + 1 : 0;
}

const WCHAR* PlaylistEntry(const WCHAR* argument, WCHAR* full, int& length) {
    if (argument[0] == u'/') return nullptr;  // a switch, mistyped
    length = TextLength(argument);
    if (IsUrl(argument, length)) return argument;
    // The player's current folder is not ours: it gets the full path.
    length = static_cast<int>(GetFullPathNameW(argument, FullPathCapacity, full, nullptr));
    const bool found = length > 0 && length < FullPathCapacity &&
                       GetFileAttributesW(full) != INVALID_FILE_ATTRIBUTES;
    return found ? full : nullptr;
}

void AddEntry(Pass& pass, const WCHAR* entry, int length) {
    if (pass.placing == Placing::Inserting) return InsertEntry(pass, entry, length);
    Player& player = pass.player;
    const bool opening = pass.placing == Placing::Opening;
    if (opening) Tell(player, 0, ClearPlaylist);
    AddToPlaylist(player, entry, length);
    if (opening) PlayEntry(player, 0);  // from the top, as /TRACK=1
    pass.placing = Placing::Adding;
}
