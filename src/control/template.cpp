// Rendering a template: parsed and evaluated in one pass by recursive descent, as playerctl's
// language reads: + and - over * and /, unary signs, parentheses, calls, variables, numbers, and
// strings in double quotes or, so that a template quoted whole on a command line can hold them,
// in single quotes. A variable is an MPRIS name from VariableTable, else a /QUERY line's key.
#include "control/template.h"

#include <initializer_list>

#include "control/cover.h"
#include "control/number.h"
#include "control/output.h"

using namespace desktop;

namespace {

constexpr int ArenaCapacity = 4 * LineCapacity;  // the texts that functions and numbers make
constexpr int MaxDepth = 64;                     // signs, parentheses and calls within each other
constexpr int FunctionArguments = 2;
constexpr int NameCapacity = 32;  // a name as an error quotes it
constexpr std::int64_t MicrosecondsPerMillisecond = 1000;
constexpr std::int64_t MicrosecondsPerSecond = 1000000;
constexpr std::int64_t SecondsPerMinute = 60, SecondsPerHour = 3600;
constexpr double LargestWhole = 9.2e18;  // within a 64-bit number, where a real may be taken whole
constexpr char Ellipsis[] = "\u2026";
constexpr char TitleSeparator[] = " - ";
// The track's object path, as the companion names it.
constexpr char TrackPath[] = "'/org/tunedesk/track/",
               NoTrack[] = "'/org/mpris/MediaPlayer2/TrackList/NoTrack'";
constexpr char FileScheme[] = "file:///";
constexpr char PlayerName[] = "tunedesk";
constexpr char UrlSafe[] = "-._~/:!$&'()*+,;=@";  // left as they are in a file's URL
constexpr char Hex[] = "0123456789ABCDEF";

enum class Type : std::uint8_t { Unset, Text, Integer, Real };

struct Value {
    Type type = Type::Unset;
    const char* text = nullptr;  // UTF-8
    int length = 0;
    std::int64_t integer = 0;
    double real = 0;
    const char* variable = nullptr;  // the variable the value is, which emoji() looks at
};

struct Renderer {
    const WCHAR* text;  // the template
    int at;             // where parsing stands
    const PlayerState& state;
    Line& error;
    int depth;
    int used;  // of the arena
    char arena[ArenaCapacity];
};

bool IsDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(WCHAR c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool IsNameCharacter(WCHAR c) { return IsLetter(c) || IsDigit(c) || c == u':'; }

void SkipBlanks(Renderer& r) {
    while (r.text[r.at] == u' ' || r.text[r.at] == u'\t')
        ++r.at;
}

// Says why on the error line, at a column counted from 1, and gives false.
bool Fail(Renderer& r, int at, std::initializer_list<const char*> parts) {
    r.error.length = 0;
    Append(r.error, "tunedesk: /FORMAT: ");
    for (const char* part : parts)
        Append(r.error, part);
    Append(r.error, " at column ");
    AppendNumber(r.error, at + 1);
    return false;
}

// What stands where something else was expected: a character, or the end.
bool Unexpected(Renderer& r, const char* expected) {
    if (r.text[r.at] == u'\0') return Fail(r, r.at, {"expected ", expected, ", found the end"});
    Line found;
    found.length = 0;
    const bool pair = r.text[r.at] >= 0xD800 && r.text[r.at] < 0xDC00 && r.text[r.at + 1] != 0;
    AppendWide(found, r.text + r.at, r.text + r.at + (pair ? 2 : 1));
    found.text[found.length] = '\0';
    return Fail(r, r.at, {"expected ", expected, ", found \"", found.text, "\""});
}

// Keeps a text in the arena, as much of it as fits, cut between characters.
Value Kept(Renderer& r, const char* text, int length) {
    Line room;  // AppendUtf8 cuts where a line does, and the arena keeps no more than a line
    room.length = 0;
    AppendUtf8(room, text, length);
    Value value{Type::Text};
    if (room.length > ArenaCapacity - r.used) room.length = 0;
    value.text = r.arena + r.used;
    value.length = room.length;
    for (int at = 0; at < room.length; ++at)
        r.arena[r.used++] = room.text[at];
    return value;
}

Value Kept(Renderer& r, const Line& line) { return Kept(r, line.text, line.length); }

Value Text(const char* text, int length) {
    Value value{length > 0 ? Type::Text : Type::Unset};
    value.text = text;
    value.length = length;
    return value;
}

Value Text(const char* text) { return Text(text, TextLength(text)); }

Value Integer(std::int64_t number) {
    Value value{Type::Integer};
    value.integer = number;
    return value;
}

Value Real(double number) {
    Value value{Type::Real};
    value.real = number;
    return value;
}

bool IsNumber(const Value& value) {
    return value.type == Type::Integer || value.type == Type::Real;
}

double AsReal(const Value& value) {
    return value.type == Type::Integer ? static_cast<double>(value.integer) : value.real;
}

std::int64_t AsWhole(const Value& value) {
    if (value.type == Type::Integer) return value.integer;
    return value.real > -LargestWhole && value.real < LargestWhole
               ? static_cast<std::int64_t>(value.real)
               : 0;
}

// The value as it is printed: numbers as GLib prints them, nothing for no value.
void AppendPrinted(Line& line, const Value& value) {
    NumberText number;
    number.length = 0;
    if (value.type == Type::Integer) FormatInteger(value.integer, number);
    if (value.type == Type::Real) FormatReal(value.real, number);
    if (value.type == Type::Text) AppendUtf8(line, value.text, value.length);
    AppendUtf8(line, number.text, number.length);
}

// The variables -------------------------------------------------------------------------------

// How a variable's value comes from its field.
enum class Source : std::uint8_t {
    Title,         // after the first " - " of the playlist title, else all of it
    Artist,        // the artist tag, else the playlist title before its first " - "
    Text,          // the field's text
    Microseconds,  // the field's milliseconds, unset when there are none
    Position,      // the field's milliseconds, 0 when there are none
    Fraction,      // the field's number divided by the row's scale
    Loop,          // None, Playlist or Track, from repeat
    Shuffle,       // true or false
    TrackId,       // the current track's object path
    Url,           // the file as a URL
    ArtUrl,        // the image beside the file, as a URL
    Name,          // the player's name on the bus
};

struct VariableRow {
    const char* name;
    Field field;
    Source source;
    int scale = 1;
};

// playerctl's names, with the companion's values; a /QUERY key not among them is the field as
// /QUERY prints it.
constexpr VariableRow VariableTable[] = {
    {"title", Field::Title, Source::Title},
    {"xesam:title", Field::Title, Source::Title},
    {"artist", Field::Artist, Source::Artist},
    {"xesam:artist", Field::Artist, Source::Artist},
    {"album", Field::Album, Source::Text},
    {"xesam:album", Field::Album, Source::Text},
    {"xesam:albumArtist", Field::AlbumArtist, Source::Text},
    {"xesam:genre", Field::Genre, Source::Text},
    {"xesam:userRating", Field::Rating, Source::Fraction, MaxRating},
    {"mpris:length", Field::Length, Source::Microseconds},
    {"position", Field::Position, Source::Position},
    {"volume", Field::Volume, Source::Fraction, MaxPercent},
    {"loop", Field::Repeat, Source::Loop},
    {"shuffle", Field::Shuffle, Source::Shuffle},
    {"mpris:trackid", Field::Track, Source::TrackId},
    {"xesam:url", Field::File, Source::Url},
    {"mpris:artUrl", Field::File, Source::ArtUrl},
    {"playerName", Field::Status, Source::Name},
    {"playerInstance", Field::Status, Source::Name},
};

bool SameName(const WCHAR* name, int length, const char* ascii) {
    int at = 0;
    while (at < length && ascii[at] != '\0' && name[at] == static_cast<WCHAR>(ascii[at]))
        ++at;
    return at == length && ascii[at] == '\0';
}

// The line's text after, or before, its first " - "; before it there is nothing without one.
Value TitlePart(const Line& title, bool after) {
    constexpr int SeparatorLength = sizeof TitleSeparator - 1;
    for (int at = 0; at + SeparatorLength <= title.length; ++at) {
        int same = 0;
        while (same < SeparatorLength && title.text[at + same] == TitleSeparator[same])
            ++same;
        if (same == SeparatorLength)
            return after ? Text(title.text + at + same, title.length - at - same)
                         : Text(title.text, at);
    }
    return after ? Text(title.text, title.length) : Value{};
}

// Appends the path, UTF-8, as a file URL: forward slashes, and anything but the safe characters
// percent-encoded.
void AppendFileUrl(Line& url, const char* path, int length) {
    Append(url, FileScheme);
    for (int at = 0; at < length; ++at) {
        const unsigned char c = path[at] == '\\' ? '/' : static_cast<unsigned char>(path[at]);
        bool safe = (c >= '0' && c <= '9') || ((c | ' ') >= 'a' && (c | ' ') <= 'z');
        for (const char* s = UrlSafe; *s != '\0'; ++s)
            safe = safe || c == static_cast<unsigned char>(*s);
        const char escaped[] = {'%', Hex[c >> 4], Hex[c & 0xF], '\0'};
        const char plain[] = {static_cast<char>(c), '\0'};
        Append(url, safe ? plain : escaped);
    }
}

Value FileUrl(Renderer& r, const Line& file) {
    if (file.length == 0) return {};
    if (IsUrl(file.text, file.length)) return Text(file.text, file.length);
    Line url;
    url.length = 0;
    AppendFileUrl(url, file.text, file.length);
    return Kept(r, url);
}

Value ArtUrl(Renderer& r, const Line& file) {
    WCHAR cover[CoverCapacity];
    if (!FindCover(file, cover)) return {};
    Line path, url;
    path.length = url.length = 0;
    AppendWide(path, cover, cover + TextLength(cover));
    AppendFileUrl(url, path.text, path.length);
    return Kept(r, url);
}

Value TrackId(Renderer& r, const PlayerState& state) {
    if (state.track < TrackBase || state.tracks < TrackBase) return Text(NoTrack);
    Line path;
    path.length = 0;
    Append(path, TrackPath);
    AppendNumber(path, state.track);
    Append(path, "'");
    return Kept(r, path);
}

// A field as /QUERY prints it: its counts as whole numbers, anything else as text.
Value AsQueried(Renderer& r, Field field) {
    Line line;
    line.length = 0;
    AppendValue(line, field, r.state);
    const Kind kind = FieldKind(field);
    if (line.length > 0 && (kind == Kind::Count || kind == Kind::Track || kind == Kind::Rating))
        return Integer(FieldValue(r.state, field));
    return line.length > 0 ? Kept(r, line) : Value{};
}

Value RowValue(Renderer& r, const VariableRow& row) {
    const PlayerState& state = r.state;
    if (row.source == Source::Name) return Text(PlayerName);
    if (!state.running) return {};
    const Line* text = FieldText(state, row.field);
    const std::int32_t number = text == nullptr ? FieldValue(state, row.field) : 0;
    switch (row.source) {
        case Source::Title:
        case Source::Artist:
            if (row.source == Source::Artist && state.artist.length > 0)
                return Text(state.artist.text, state.artist.length);
            return TitlePart(state.title, row.source == Source::Title);
        case Source::Text:
            return Text(text->text, text->length);
        case Source::Microseconds:
            return number < 0 ? Value{} : Integer(number * MicrosecondsPerMillisecond);
        case Source::Position:
            return Integer(number < 0 ? 0 : number * MicrosecondsPerMillisecond);
        case Source::Fraction:
            return Real(static_cast<double>(number) / row.scale);
        case Source::Loop:
            return Text(number == RepeatTrack ? "Track" : number == On ? "Playlist" : "None");
        case Source::Shuffle:
            return Text(number == On ? "true" : "false");
        case Source::TrackId:
            return TrackId(r, state);
        case Source::Url:
            return FileUrl(r, *text);
        case Source::ArtUrl:
            return ArtUrl(r, *text);
        default:
            return {};
    }
}

// A variable by its name; an unknown one has no value.
Value Variable(Renderer& r, const WCHAR* name, int length) {
    for (const VariableRow& row : VariableTable) {
        if (!SameName(name, length, row.name)) continue;
        Value value = RowValue(r, row);
        value.variable = row.name;
        return value;
    }
    for (int at = 0; at < FieldCount; ++at) {
        const Field field = static_cast<Field>(at);
        if (!SameName(name, length, FieldKey(field))) continue;
        Value value = AsQueried(r, field);
        value.variable = FieldKey(field);
        return value;
    }
    return {};
}

// The functions ------------------------------------------------------------------------------

using Function = bool (*)(Renderer& r, int at, const Value* arguments, Value& result);

// Upper or lower case, as the system's case tables have it.
Value Cased(Renderer& r, const Value& value, bool upper) {
    if (value.type != Type::Text) return value;
    WCHAR wide[LineCapacity];
    const int units = MultiByteToWideChar(CP_UTF8, 0, value.text, value.length, wide, LineCapacity);
    (upper ? CharUpperBuffW : CharLowerBuffW)(wide, units);
    Line line;
    line.length = 0;
    AppendWide(line, wide, wide + units);
    return Kept(r, line);
}

bool Lower(Renderer& r, int, const Value* arguments, Value& result) {
    result = Cased(r, arguments[0], false);
    return true;
}

bool Upper(Renderer& r, int, const Value* arguments, Value& result) {
    result = Cased(r, arguments[0], true);
    return true;
}

// A number of two digits at least, as "%02" writes it.
void AppendTwoDigits(Line& line, std::int64_t number) {
    if (number >= 0 && number < Decimal) Append(line, "0");
    NumberText text;
    FormatInteger(number, text);
    AppendUtf8(line, text.text, text.length);
}

// Microseconds as M:SS, or H:MM:SS from an hour, the parts taken as playerctl takes them.
bool Duration(Renderer& r, int at, const Value* arguments, Value& result) {
    const Value& time = arguments[0];
    if (time.type == Type::Text) return Fail(r, at, {"\"duration\" takes a time"});
    if (time.type == Type::Unset) return result = {}, true;
    const std::int64_t seconds = AsWhole(time) / MicrosecondsPerSecond;
    const std::int64_t hours = seconds / SecondsPerHour;
    Line line;
    line.length = 0;
    NumberText lead;
    FormatInteger(hours != 0 ? hours : seconds / SecondsPerMinute % SecondsPerMinute, lead);
    AppendUtf8(line, lead.text, lead.length);
    if (hours != 0) {
        Append(line, ":");
        AppendTwoDigits(line, seconds / SecondsPerMinute % SecondsPerMinute);
    }
    Append(line, ":");
    AppendTwoDigits(line, seconds % SecondsPerMinute);
    result = Kept(r, line);
    return true;
}

// The characters that markup gives meaning to, as entities.
bool Escape(Renderer& r, int, const Value* arguments, Value& result) {
    constexpr struct {
        char character;
        const char* entity;
    } Entities[] = {
        {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'\'', "&apos;"}, {'"', "&quot;"}};
    const Value& value = arguments[0];
    result = value;
    if (value.type != Type::Text) return true;
    Line line;
    line.length = 0;
    int from = 0;
    for (int at = 0; at < value.length; ++at) {
        for (const auto& entity : Entities) {
            if (value.text[at] != entity.character) continue;
            AppendUtf8(line, value.text + from, at - from);
            Append(line, entity.entity);
            from = at + 1;
        }
    }
    AppendUtf8(line, value.text + from, value.length - from);
    result = Kept(r, line);
    return true;
}

bool Default(Renderer&, int, const Value* arguments, Value& result) {
    const bool unset = arguments[0].type == Type::Unset ||
                       (arguments[0].type == Type::Text && arguments[0].length == 0);
    result = arguments[unset ? 1 : 0];
    return true;
}

bool Same(const Value& value, const char* text) {
    const Value other = Text(text);
    if (value.length != other.length) return false;
    for (int at = 0; at < value.length; ++at)
        if (value.text[at] != text[at]) return false;
    return true;
}

// The status and the volume as pictures; any other variable as it is.
bool Emoji(Renderer& r, int at, const Value* arguments, Value& result) {
    constexpr struct {
        const char* status;
        const char* emoji;
    } Statuses[] = {
        {"Playing", "\u25b6\ufe0f"}, {"Paused", "\u23f8\ufe0f"}, {"Stopped", "\u23f9\ufe0f"}};
    constexpr double Low = 0.3333, Middle = 0.6666;  // playerctl's bounds
    const Value& value = arguments[0];
    if (value.variable == nullptr) return Fail(r, at, {"\"emoji\" takes a variable"});
    result = value;
    if (value.type == Type::Text && Same(Text(value.variable), "status")) {
        for (const auto& status : Statuses)
            if (Same(value, status.status)) result = Text(status.emoji);
    }
    if (value.type == Type::Real && Same(Text(value.variable), "volume")) {
        const double volume = value.real;
        result = Text(volume < Low ? "\U0001f508" : volume < Middle ? "\U0001f509" : "\U0001f50a");
    }
    return true;
}

// At most n characters, the last of them "…"; a number is cut as it is printed.
bool Truncate(Renderer& r, int at, const Value* arguments, Value& result) {
    if (!IsNumber(arguments[1])) return Fail(r, at, {"\"trunc\" takes a number of characters"});
    const std::int64_t most = AsWhole(arguments[1]);
    Line line;
    line.length = 0;
    AppendPrinted(line, arguments[0]);
    int characters = 0, cut = line.length;
    for (int at = 0; at < line.length; ++at) {
        if ((static_cast<unsigned char>(line.text[at]) & 0xC0) == 0x80) continue;
        if (characters++ == most) cut = at;
    }
    result = arguments[0];
    if (most < 0 || characters <= most) return true;
    line.length = cut;
    Append(line, Ellipsis);
    result = Kept(r, line);
    return true;
}

struct FunctionRow {
    const char* name;
    int arity;
    Function call;
    const char* arityText;  // as an error says it
};

constexpr FunctionRow FunctionTable[] = {
    {"lc", 1, Lower, "\" takes one argument"},
    {"uc", 1, Upper, "\" takes one argument"},
    {"duration", 1, Duration, "\" takes one argument"},
    {"markup_escape", 1, Escape, "\" takes one argument"},
    {"default", 2, Default, "\" takes two arguments"},
    {"emoji", 1, Emoji, "\" takes one argument"},
    {"trunc", 2, Truncate, "\" takes two arguments"},
};

// The expressions -----------------------------------------------------------------------------

bool Expression(Renderer& r, Value& value);

// A name as an error quotes it.
void QuotedName(const WCHAR* name, int length, char (&quoted)[NameCapacity]) {
    int at = 0;
    for (; at < length && at < NameCapacity - 1; ++at)
        quoted[at] = static_cast<char>(name[at]);
    quoted[at] = '\0';
}

bool Call(Renderer& r, const WCHAR* name, int length, Value& value) {
    const int at = static_cast<int>(name - r.text);
    const FunctionRow* function = nullptr;
    for (const FunctionRow& row : FunctionTable)
        if (SameName(name, length, row.name)) function = &row;
    char quoted[NameCapacity];
    QuotedName(name, length, quoted);
    if (function == nullptr) return Fail(r, at, {"unknown function \"", quoted, "\""});
    ++r.at;  // the "("
    Value arguments[FunctionArguments + 1];
    int count = 0;
    do {
        if (count > 0) ++r.at;  // the ","
        if (!Expression(r, arguments[count < FunctionArguments ? count : FunctionArguments]))
            return false;
        ++count;
        SkipBlanks(r);
    } while (r.text[r.at] == u',');
    if (r.text[r.at] != u')') return Unexpected(r, "\",\" or \")\"");
    ++r.at;
    if (count != function->arity) return Fail(r, at, {"\"", quoted, function->arityText});
    return function->call(r, at, arguments, value);
}

bool Literal(Renderer& r, Value& value) {
    const WCHAR quote = r.text[r.at];
    const int start = r.at++;
    while (r.text[r.at] != quote && r.text[r.at] != u'\0')
        ++r.at;
    if (r.text[r.at] != quote) return Fail(r, start, {"no closing quote for the string"});
    Line line;
    line.length = 0;
    AppendWide(line, r.text + start + 1, r.text + r.at);
    ++r.at;
    value = Kept(r, line);
    return true;
}

bool Number(Renderer& r, Value& value) {
    const int start = r.at;
    while (IsDigit(r.text[r.at]) || r.text[r.at] == u'.')
        ++r.at;
    double number = 0;
    if (!ParseReal(r.text + start, r.at - start, number)) return Fail(r, start, {"invalid number"});
    value = Real(number);
    return true;
}

bool Primary(Renderer& r, Value& value) {
    SkipBlanks(r);
    const WCHAR c = r.text[r.at];
    if (c == u'"' || c == u'\'') return Literal(r, value);
    if (IsDigit(c) || c == u'.') return Number(r, value);
    if (c == u'(') {
        const int open = r.at++;
        if (!Expression(r, value)) return false;
        SkipBlanks(r);
        if (r.text[r.at] != u')') return Fail(r, open, {"no \")\" for the \"(\""});
        ++r.at;
        value.variable = nullptr;
        return true;
    }
    if (!IsLetter(c)) return Unexpected(r, "an expression");
    const WCHAR* name = r.text + r.at;
    while (IsNameCharacter(r.text[r.at]))
        ++r.at;
    const int length = static_cast<int>(r.text + r.at - name);
    if (r.text[r.at] == u'(') return Call(r, name, length, value);
    value = Variable(r, name, length);
    return true;
}

// Whole numbers stay whole through + - * and /, as long as they fit; anything with a real number
// is real. Text, or no value, is no operand.
bool Arithmetic(Renderer& r, int at, WCHAR operation, Value& left, const Value& right) {
    const char name[] = {'"', static_cast<char>(operation), '"', '\0'};
    if (!IsNumber(left) || !IsNumber(right)) return Fail(r, at, {name, " takes numbers"});
    const bool whole = left.type == Type::Integer && right.type == Type::Integer;
    if (operation == u'/' && (whole ? right.integer == 0 : AsReal(right) == 0))
        return Fail(r, at, {"division by zero"});
    left.variable = nullptr;
    if (!whole) {
        const double a = AsReal(left), b = AsReal(right);
        left = Real(operation == u'+'   ? a + b
                    : operation == u'-' ? a - b
                    : operation == u'*' ? a * b
                                        : a / b);
        return true;
    }
    std::int64_t& a = left.integer;
    const std::int64_t b = right.integer;
    const bool overflow = operation == u'+'   ? __builtin_add_overflow(a, b, &a)
                          : operation == u'-' ? __builtin_sub_overflow(a, b, &a)
                          : operation == u'*' ? __builtin_mul_overflow(a, b, &a)
                                              : (b == -1 && a == INT64_MIN) || ((a /= b), false);
    return !overflow || Fail(r, at, {"a number too large"});
}

bool Unary(Renderer& r, Value& value) {
    SkipBlanks(r);
    const WCHAR sign = r.text[r.at];
    if (sign != u'-' && sign != u'+') return Primary(r, value);
    const int at = r.at++;
    if (++r.depth > MaxDepth) return Fail(r, at, {"too deep"});
    const bool unary = Unary(r, value);
    --r.depth;
    if (!unary) return false;
    const char name[] = {'"', static_cast<char>(sign), '"', '\0'};
    if (!IsNumber(value)) return Fail(r, at, {name, " takes a number"});
    value.variable = nullptr;
    if (sign == u'+') return true;
    if (value.type == Type::Real) return value.real = -value.real, true;
    return !__builtin_sub_overflow(std::int64_t{0}, value.integer, &value.integer) ||
           Fail(r, at, {"a number too large"});
}

// Operands joined by either of two operations, from the left; the operands are read by next.
bool Operations(Renderer& r, Value& value, WCHAR first, WCHAR second,
                bool (*next)(Renderer& r, Value& value)) {
    if (!next(r, value)) return false;
    for (;;) {
        SkipBlanks(r);
        const WCHAR operation = r.text[r.at];
        if (operation != first && operation != second) return true;
        const int at = r.at++;
        Value right;
        if (!next(r, right) || !Arithmetic(r, at, operation, value, right)) return false;
    }
}

bool Term(Renderer& r, Value& value) { return Operations(r, value, u'*', u'/', Unary); }

bool Expression(Renderer& r, Value& value) {
    if (++r.depth > MaxDepth) return Fail(r, r.at, {"too deep"});
    const bool done = Operations(r, value, u'+', u'-', Term);
    --r.depth;
    return done;
}

// One "{{ expression }}", whose value is appended to the line.
bool Substitute(Renderer& r, Line& line) {
    const int open = r.at;
    r.at += 2;
    Value value;
    if (!Expression(r, value)) return false;
    SkipBlanks(r);
    if (r.text[r.at] == u'\0') return Fail(r, open, {"no \"}}\" for the \"{{\""});
    if (r.text[r.at] != u'}' || r.text[r.at + 1] != u'}') return Unexpected(r, "\"}}\"");
    r.at += 2;
    AppendPrinted(line, value);
    return true;
}

bool Opens(const WCHAR* at) { return at[0] == u'{' && at[1] == u'{'; }

}  // namespace

bool RenderTemplate(const WCHAR* text, const PlayerState& state, Line& line, Line& error) {
    Renderer r{text, 0, state, error, 0, 0, {}};
    line.length = 0;
    while (text[r.at] != u'\0') {
        if (Opens(text + r.at)) {
            if (Substitute(r, line)) continue;
            line.length = 0;
            return false;
        }
        const int from = r.at;
        while (text[r.at] != u'\0' && !Opens(text + r.at))
            ++r.at;
        AppendWide(line, text + from, text + r.at);
    }
    return true;
}
