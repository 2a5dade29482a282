// The state formatted as lines, and the lines written where the caller reads them.
#include "control/output.h"

using namespace desktop;

namespace {

constexpr char NotRunning[] = "Not running";
constexpr int PathCapacity = 1024;   // UTF-16 units of a now-playing file's path, and more
constexpr WCHAR Beside[] = u".new";  // a now-playing file's next content lies beside it

void FindOutput(Output& output) {
    output.found = true;
    output.handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!IsUsable(output.handle)) {
        // Typed bare at a prompt, a GUI program has no standard output: use the console.
        output.handle =
            AttachConsole(ATTACH_PARENT_PROCESS) ? GetStdHandle(STD_OUTPUT_HANDLE) : nullptr;
    }
}

// The status as a word.
const char* StatusWord(std::int32_t status) {
    return status == Playing ? "Playing" : status == Paused ? "Paused" : "Stopped";
}

}  // namespace

void AppendValue(Line& line, Field field, const PlayerState& state) {
    if (!state.running) {
        if (field == Field::Status) Append(line, NotRunning);
        return;
    }
    if (const Line* text = FieldText(state, field)) {
        AppendUtf8(line, text->text, text->length);
        return;
    }
    const std::int32_t value = FieldValue(state, field);
    switch (FieldKind(field)) {
        case Kind::Status:
            Append(line, StatusWord(value));
            break;
        case Kind::Time:
            AppendMilliseconds(line, value);
            break;
        case Kind::OnOff:
        case Kind::Repeat:
            Append(line, value == RepeatTrack ? "track" : value == On ? "on" : "off");
            break;
        default:
            AppendNumber(line, value);
    }
}

void AppendLine(Text& text, const Line& line) {
    for (int at = 0; at < line.length; ++at)
        text.text[text.length++] = line.text[at];
    for (const char* end = LineEnd; *end != '\0'; ++end)
        text.text[text.length++] = *end;
}

void AppendQueryLines(Text& text, const PlayerState& state) {
    const int count = state.running ? FieldCount : 1;
    for (int at = 0; at < count; ++at) {
        const Field field = static_cast<Field>(at);
        Line line;
        line.length = 0;
        Append(line, FieldKey(field));
        Append(line, " ");
        AppendValue(line, field, state);
        AppendLine(text, line);
    }
}

bool WriteText(Output& output, const Text& whole) {
    const char* text = whole.text;
    const int length = whole.length;
    if (!output.found) FindOutput(output);
    if (!IsUsable(output.handle)) return false;
    // A console takes UTF-16 and shows it whatever its code page; WriteConsoleW fails on
    // anything else, a pipe or a file, which get the UTF-8 bytes.
    WCHAR wide[TextCapacity];
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, length, wide, TextCapacity);
    unsigned written = 0;
    if (WriteConsoleW(output.handle, wide, units, &written, nullptr)) return true;
    return WriteFile(output.handle, text, length, &written, nullptr) &&
           written == static_cast<unsigned>(length);
}

bool HasOutput(Output& output) {
    if (!output.found) FindOutput(output);
    return IsUsable(output.handle);
}

bool WriteWholeFile(const WCHAR* path, const Line& line) {
    // Beside it, named for this process, so that two writers never share one.
    WCHAR next[PathCapacity];
    const int length = TextLength(path);
    Line suffix;
    suffix.length = 0;
    AppendNumber(suffix, GetCurrentProcessId());
    if (length + suffix.length + TextLength(Beside) + 1 >= PathCapacity) return false;
    CopyText(next, path, PathCapacity);
    next[length] = u'.';
    for (int at = 0; at < suffix.length; ++at)
        next[length + 1 + at] = static_cast<WCHAR>(suffix.text[at]);
    CopyText(next + length + 1 + suffix.length, Beside, PathCapacity - length - 1 - suffix.length);
    const HANDLE file =
        CreateFileW(next, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!IsUsable(file)) return false;
    unsigned written = 0;
    const bool whole = WriteFile(file, line.text, line.length, &written, nullptr) &&
                       written == static_cast<unsigned>(line.length);
    CloseHandle(file);
    if (whole && MoveFileExW(next, path, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(next);
    return false;
}

void WriteError(Line& line) {
    line.text[line.length++] = LineEnd[0];  // a line has room for its end
    line.text[line.length++] = LineEnd[1];
    unsigned written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.text, line.length, &written, nullptr);
}
