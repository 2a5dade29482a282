// Reading the player's state: each field is the answer to one question, taken as its kind says.
#include "control/state.h"

#include "control/fileinfo.h"
#include "control/playlist.h"

using namespace desktop;

namespace {

constexpr WCHAR WinampEnding[] = u" - Winamp";
constexpr WCHAR NumberEnding[] = u". ";

struct FieldRow {
    const char* key;  // for a tag, also the player's name for it
    std::int32_t PlayerState::*value;
    Line PlayerState::*text;
    std::int32_t data;  // the question's data and id
    std::uint16_t id;
    Kind kind;
};

// In the order of Field.
constexpr FieldRow FieldTable[FieldCount] = {
    {"status", &PlayerState::status, nullptr, 0, IsPlaying, Kind::Status},
    {"title", nullptr, &PlayerState::title, 0, GetPlaylistTitleW, Kind::Title},
    {"position", &PlayerState::position, nullptr, PositionMode, OutputTime, Kind::Time},
    {"length", &PlayerState::length, nullptr, LengthMode, OutputTime, Kind::Time},
    {"volume", &PlayerState::volume, nullptr, AskVolume, SetVolume, Kind::Percent},
    {"track", &PlayerState::track, nullptr, 0, ListPosition, Kind::Track},
    {"tracks", &PlayerState::tracks, nullptr, 0, ListLength, Kind::Count},
    {"shuffle", &PlayerState::shuffle, nullptr, 0, GetShuffle, Kind::OnOff},
    {"repeat", &PlayerState::repeat, nullptr, 0, GetRepeat, Kind::Repeat},
    {"file", nullptr, &PlayerState::file, 0, GetPlaylistFileW, Kind::File},
    {"artist", nullptr, &PlayerState::artist, 0, GetFileInfoW, Kind::Tag},
    {"album", nullptr, &PlayerState::album, 0, GetFileInfoW, Kind::Tag},
    {"albumartist", nullptr, &PlayerState::albumArtist, 0, GetFileInfoW, Kind::Tag},
    {"year", nullptr, &PlayerState::year, 0, GetFileInfoW, Kind::Tag},
    {"genre", nullptr, &PlayerState::genre, 0, GetFileInfoW, Kind::Tag},
    {"rating", &PlayerState::rating, nullptr, 0, GetRating, Kind::Rating},
};
constexpr int TagCount = static_cast<int>(Field::Genre) - static_cast<int>(Field::Artist) + 1;

// Each tag's name fits the block its question is asked in.
constexpr bool TagNamesFit() {
    for (int tag = 0; tag < TagCount; ++tag)
        if (TextLength(FieldTable[static_cast<int>(Field::Artist) + tag].key) >= TagNameUnits)
            return false;
    return true;
}
static_assert(TagNamesFit());

const FieldRow& RowOf(Field field) { return FieldTable[static_cast<int>(field)]; }

// GetWindowTextW, not WM_GETTEXT: on another process's window it reads the caption the system
// keeps, in UTF-16 and whole, without sending the player a message, so a busy player can't stall
// it and no character is lost to the ANSI code page.
void ReadCaptionTitle(PlayerState& state, Player& player) {
    WCHAR caption[CaptionCapacity];
    const int length = GetWindowTextW(player.window, caption, CaptionCapacity);
    caption[length > 0 && length < CaptionCapacity ? length : 0] = u'\0';
    TakeTitle(state, caption);
}

// The answers to the rows' questions in one read: the track needs the track count's, the texts
// both, and the tags the file, and each is asked once, since a message to another process is
// what a read costs. A text's bit says it was read.
struct RowAnswers {
    std::int32_t answer[FieldCount];
    Fields asked = 0;
};

std::int32_t AnswerTo(Field field, Player& player, RowAnswers& answers) {
    const FieldRow& row = RowOf(field);
    std::int32_t& answer = answers.answer[static_cast<int>(field)];
    if ((answers.asked & FieldBit(field)) == 0)
        answer = Ask(player, row.data, static_cast<PlayerMessage>(row.id));
    answers.asked |= FieldBit(field);
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
        case Kind::Rating:
            return answer < 0 || answer > MaxRating ? 0 : answer;
        default:
            return answer < 0 ? 0 : answer;
    }
}

void ReadOne(PlayerState& state, Field field, Player& player, RowAnswers& answers,
             const PlayerState* known);

// The tags, every one at once, of the file read with them; those known already are kept.
void ReadTags(PlayerState& state, Player& player, RowAnswers& answers, const PlayerState* known) {
    if ((answers.asked & TagFields) != 0) return;
    answers.asked |= TagFields;
    if ((answers.asked & FieldBit(Field::File)) == 0)
        ReadOne(state, Field::File, player, answers, known);
    const bool same = known != nullptr && known->running && SameLine(known->file, state.file);
    const char* names[TagCount];
    Line* tags[TagCount];
    for (int tag = 0; tag < TagCount; ++tag) {
        const FieldRow& row = RowOf(static_cast<Field>(static_cast<int>(Field::Artist) + tag));
        names[tag] = row.key;
        tags[tag] = &(state.*row.text);
        if (same) *tags[tag] = known->*row.text;  // the file's tags, read before
    }
    if (!same) ReadFileTags(player, state.file, names, tags, TagCount);
}

void ReadOne(PlayerState& state, Field field, Player& player, RowAnswers& answers,
             const PlayerState* known) {
    state.running = player.window != nullptr;
    if (!state.running) return;
    const FieldRow& row = RowOf(field);
    if (row.kind == Kind::Tag) return ReadTags(state, player, answers, known);
    if (row.text == nullptr) {
        state.*row.value = Value(field, player, answers);
        return;
    }
    Line& text = state.*row.text;
    text.length = 0;
    answers.asked |= FieldBit(field);
    if (AnswerTo(Field::Tracks, player, answers) > 0)  // else no current entry
        ReadCurrentEntry(text, player, AnswerTo(Field::Track, player, answers),
                         row.kind == Kind::Title ? EntryText::Title : EntryText::File);
    // Players without the title questions, and memory that can't be read, leave the caption.
    if (row.kind == Kind::Title && text.length == 0) ReadCaptionTitle(state, player);
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

const Line* FieldText(const PlayerState& state, Field field) {
    const FieldRow& row = RowOf(field);
    return row.text != nullptr ? &(state.*row.text) : nullptr;
}

void ReadFields(PlayerState& state, Fields fields, Player& player, const PlayerState* known) {
    RowAnswers answers;
    for (int at = 0; at < FieldCount; ++at)
        if ((fields & FieldBit(static_cast<Field>(at))) != 0)
            ReadOne(state, static_cast<Field>(at), player, answers, known);
}

void ReadField(PlayerState& state, Field field, Player& player) {
    ReadFields(state, FieldBit(field), player);
}

void ReadState(PlayerState& state, Player& player, const PlayerState* known) {
    ReadFields(state, AllFields, player, known);
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
    bool differs = false;
    for (const FieldRow& row : FieldTable) {
        if (row.text != nullptr)
            differs = differs || !SameLine(first.*row.text, second.*row.text);
        else if (row.value != &PlayerState::position)
            differs = differs || first.*row.value != second.*row.value;
    }
    return differs;
}
