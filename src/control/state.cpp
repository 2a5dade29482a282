// Reading the player's state: each field is the answer to one question, taken as its kind says.
#include "control/state.h"

#include "control/playlist.h"

using namespace desktop;

namespace {

constexpr WCHAR WinampEnding[] = u" - Winamp";
constexpr WCHAR NumberEnding[] = u". ";

struct FieldRow {
    const char* key;
    std::int32_t PlayerState::*value;
    std::int32_t data;  // the question's data and id
    std::uint16_t id;
    Kind kind;
};

// In the order of Field.
constexpr FieldRow FieldTable[FieldCount] = {
    {"status", &PlayerState::status, 0, IsPlaying, Kind::Status},
    {"title", nullptr, 0, IsPlaying, Kind::Title},  // from the caption: no question
    {"position", &PlayerState::position, PositionMode, OutputTime, Kind::Time},
    {"length", &PlayerState::length, LengthMode, OutputTime, Kind::Time},
    {"volume", &PlayerState::volume, AskVolume, SetVolume, Kind::Percent},
    {"track", &PlayerState::track, 0, ListPosition, Kind::Track},
    {"tracks", &PlayerState::tracks, 0, ListLength, Kind::Count},
    {"shuffle", &PlayerState::shuffle, 0, GetShuffle, Kind::OnOff},
    {"repeat", &PlayerState::repeat, 0, GetRepeat, Kind::Repeat},
    {"file", nullptr, 0, GetPlaylistFileW, Kind::File},  // read whole, as a title is
};

const FieldRow& RowOf(Field field) { return FieldTable[static_cast<int>(field)]; }

// GetWindowTextW, not WM_GETTEXT: on another process's window it reads the caption the system
// keeps, in UTF-16 and whole, without sending the player a message, so a busy player can't stall
// it and no character is lost to the ANSI code page.
void ReadTitle(PlayerState& state, Player& player) {
    WCHAR caption[CaptionCapacity];
    const int length = GetWindowTextW(player.window, caption, CaptionCapacity);
    caption[length > 0 && length < CaptionCapacity ? length : 0] = u'\0';
    TakeTitle(state, caption);
}

// The answers to the rows' questions in one read: the track needs the track count's, and the
// file both, and each is asked once, since a message to another process is what a read costs.
struct RowAnswers {
    std::int32_t answer[FieldCount];
    unsigned asked = 0;  // a bit for each field
};

std::int32_t AnswerTo(Field field, Player& player, RowAnswers& answers) {
    const FieldRow& row = RowOf(field);
    const unsigned bit = 1u << static_cast<int>(field);
    std::int32_t& answer = answers.answer[static_cast<int>(field)];
    if ((answers.asked & bit) == 0)
        answer = Ask(player, row.data, static_cast<PlayerMessage>(row.id));
    answers.asked |= bit;
    return answer;
}

// The field's value, from the answer to its row's question taken as its kind says.
std::int32_t Value(Field field, Player& player, RowAnswers& answers) {
    const Kind kind = RowOf(field).kind;
    if (kind == Kind::Track && AnswerTo(Field::Tracks, player, answers) <= 0)
        return 0;  // no current track
    const std::int32_t answer = AnswerTo(field, player, answers);
    switch (kind) {
        case Kind::Status:
            return answer == Playing || answer == Paused ? answer : Stopped;
        case Kind::Time:
            return answer < 0 ? NoTime : answer;
        case Kind::Percent:
            return PercentFromVolume(answer);
        case Kind::Track:
            return answer < 0 ? 0 : answer + TrackBase;
        case Kind::OnOff:
            return answer == On ? On : Off;
        case Kind::Repeat:
            if (answer != On) return Off;
            return Ask(player, 0, GetManualAdvance) == On ? RepeatTrack : On;
        default:
            return answer < 0 ? 0 : answer;
    }
}

void ReadOne(PlayerState& state, Field field, Player& player, RowAnswers& answers) {
    state.running = player.window != nullptr;
    if (!state.running) return;
    const FieldRow& row = RowOf(field);
    if (row.kind == Kind::Title) {
        ReadTitle(state, player);
    } else if (row.kind == Kind::File) {
        state.file.length = 0;
        if (AnswerTo(Field::Tracks, player, answers) > 0)  // else no current entry
            ReadCurrentFile(state.file, player, AnswerTo(Field::Track, player, answers));
    } else {
        state.*row.value = Value(field, player, answers);
    }
}

bool StartsWith(const WCHAR* text, const WCHAR* start) {
    while (*start != '\0' && *text == *start)
        ++text, ++start;
    return *start == '\0';
}

}  // namespace

const char* FieldKey(Field field) { return RowOf(field).key; }

Kind FieldKind(Field field) { return RowOf(field).kind; }

std::int32_t FieldValue(const PlayerState& state, Field field) { return state.*RowOf(field).value; }

void ReadFields(PlayerState& state, Field first, Field last, Player& player) {
    RowAnswers answers;
    for (int at = static_cast<int>(first); at <= static_cast<int>(last); ++at)
        ReadOne(state, static_cast<Field>(at), player, answers);
}

void ReadField(PlayerState& state, Field field, Player& player) {
    ReadFields(state, field, field, player);
}

void ReadState(PlayerState& state, Player& player) {
    ReadFields(state, Field::Status, LastField, player);
}

void TakeTitle(PlayerState& state, const WCHAR* caption) {
    state.title.length = 0;
    const WCHAR* end = nullptr;
    for (const WCHAR* at = caption; *at != u'\0'; ++at)
        if (StartsWith(at, WinampEnding)) end = at;
    if (end == nullptr) return;
    const WCHAR* start = caption;
    while (*start >= u'0' && *start <= u'9')
        ++start;
    constexpr int NumberEndingLength = sizeof NumberEnding / sizeof *NumberEnding - 1;
    start =
        start > caption && StartsWith(start, NumberEnding) ? start + NumberEndingLength : caption;
    AppendWide(state.title, start, end > start ? end : start);
}

bool DiffersBesidesPosition(const PlayerState& first, const PlayerState& second) {
    if (!first.running || !second.running) return first.running != second.running;
    bool differs = !SameLine(first.title, second.title) || !SameLine(first.file, second.file);
    for (const FieldRow& row : FieldTable)
        differs = differs || (row.value != nullptr && row.value != &PlayerState::position &&
                              first.*row.value != second.*row.value);
    return differs;
}
