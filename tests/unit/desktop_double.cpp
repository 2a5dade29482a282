// The recording desktop double. It keeps its log in a fixed buffer so that a run under test
// allocates nothing, and reads settings from an in-memory INI text much as Windows reads a file.
#include "unit/desktop_double.h"

#include <sys/mman.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <string_view>

using namespace desktop;

FakeDesktop Desktop;
namespace {
char playerWindow;  // only its address matters
char callLog[1 << 20];
size_t callLogLength;
char output[1 << 16];
size_t outputLength;
char standardOutput, standardError, console;  // only their addresses matter
std::string errors;                           // what was written to standard error
bool attached;                                // AttachConsole has found the parent's console
char inputHandle, thread, process, hook;      // only their addresses matter
size_t inputRead;                             // how much of the input has been read
unsigned clock;                               // GetTickCount
int waited;                                   // MsgWaitForMultipleObjects calls
THREAD_START_ROUTINE reader;                  // the follower's reader thread, yet to run
void* readerParameter;
MSG queue[64];  // the follower's thread's messages
int queued;
// The memory the logic reserves in the player's process: one block at a time, below 4 GiB, where
// a 32-bit player's pointers can name it, unless the player's block is to lie beyond.
constexpr std::size_t ReservedSize = 1 << 15;
unsigned char* Reserved(bool high) {
    static unsigned char* const low = [] {
        void* wanted = reinterpret_cast<void*>(std::uintptr_t{1} << 29);
        void* mapped =
            mmap(wanted, ReservedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return static_cast<unsigned char*>(mapped == MAP_FAILED ? nullptr : mapped);
    }();
    alignas(1 << 16) static unsigned char beyond[ReservedSize];
    return high ? beyond : low;
}
unsigned char* reserved;  // the block in use; null: none
// A fresh copy of a text for each answer, as a player that copies it anew each time: two
// buffers in turn, so that no answer's address is the last one's.
char16_t freshCopies[2][1 << 16];
int freshCopy;
}  // namespace
const HWND PlayerWindow = reinterpret_cast<HWND>(&playerWindow);
namespace {
char playlistWindow, followerWindow;
const HWND PlaylistHandle = reinterpret_cast<HWND>(&playlistWindow);
const HWND FollowerHandle = reinterpret_cast<HWND>(&followerWindow);
bool followerMade;  // CreateWindowExW made the follower's window, not yet destroyed
// The files written, each with its path and text; a handle is its slot.
struct FakeFile {
    char16_t path[1024];
    char text[4096];
    int length;
    bool open, exists;
} files[4];
// The media controls: the window and message their handlers post to, and what they logged.
desktop::HWND pressWindow;
unsigned pressMessage;
char controlsLog[1 << 16];
char mutexObject, controlsObject;
int search;                   // the next of existing that FindNextFileW looks at
char16_t searchFolder[1024];  // and the folder it looks in, with its last backslash
}  // namespace

void ResetDesktop() {
    Desktop = FakeDesktop{};
    callLog[0] = '\0';
    callLogLength = 0;
    errors.clear();
    output[0] = '\0';
    outputLength = 0;
    attached = false;
    inputRead = 0;
    clock = 0;
    waited = 0;
    queued = 0;
    reader = nullptr;
    reserved = nullptr;
    freshCopies[0][0] = freshCopies[1][0] = u'\0';
    followerMade = false;
    pressWindow = nullptr;
    controlsLog[0] = '\0';
    for (FakeFile& file : files)
        file = FakeFile{};
}

void PressMediaButton(std::uintptr_t what, std::intptr_t value) {
    if (pressWindow != nullptr) desktop::PostMessageW(pressWindow, pressMessage, what, value);
}

const char* ControlsCalls() { return controlsLog; }

const char* FileText(const char16_t* path) {
    for (FakeFile& file : files) {
        if (!file.exists || std::u16string_view(file.path) != path) continue;
        file.text[file.length] = '\0';
        return file.text;
    }
    return nullptr;
}

const char* CallLog() { return callLog; }

const char* Printed() { return output; }

const std::string& Errors() { return errors; }

int ReservedBlocks() { return reserved != nullptr ? 1 : 0; }

namespace {

// The C library's case tables, for the system's.
void UseUnicode() {
    static const bool unicode = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    if (!unicode) std::abort();
}

void Log(const char* format, ...) {
    va_list values;
    va_start(values, format);
    const size_t room = sizeof callLog - callLogLength;
    const int written = vsnprintf(callLog + callLogLength, room, format, values);
    va_end(values);
    if (written > 0) callLogLength += static_cast<size_t>(written) < room ? written : room - 1;
}

const char* Name(HWND window) {
    if (window == nullptr) return "none";
    if (window == PlaylistHandle) return "playlist";
    return window == PlayerWindow ? "player" : "stranger";
}

const char* Text(const char* text) { return text == nullptr ? "null" : text; }

constexpr unsigned LastLatin1 = 0xFF;

// A wide text in UTF-8, for the log and the console's output; one buffer, so one text per call.
const char* Utf8(const char16_t* wide, size_t length = SIZE_MAX) {
    static char text[1 << 18];
    size_t at = 0;
    for (size_t read = 0; read < length && wide[read] != u'\0' && at + 5 < sizeof text;) {
        char32_t unit = wide[read++];
        if (unit >= 0xD800 && unit < 0xDC00 && read < length && wide[read] >= 0xDC00 &&
            wide[read] < 0xE000)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[read++] - 0xDC00);
        const int tail = unit < 0x80 ? 0 : unit < 0x800 ? 1 : unit < 0x10000 ? 2 : 3;
        const unsigned lead[] = {0x00, 0xC0, 0xE0, 0xF0};
        text[at++] = static_cast<char>(lead[tail] | unit >> 6 * tail);
        for (int shift = 6 * (tail - 1); shift >= 0; shift -= 6)
            text[at++] = static_cast<char>(0x80 | (unit >> shift & 0x3F));
    }
    text[at] = '\0';
    return text;
}

size_t WideLength(const char16_t* wide) {
    size_t length = 0;
    while (wide[length] != u'\0')
        ++length;
    return length;
}

bool SameText(const char* first, size_t firstLength, const char* second) {
    if (std::strlen(second) != firstLength) return false;
    for (size_t at = 0; at < firstLength; ++at) {
        if (std::tolower(static_cast<unsigned char>(first[at])) !=
            std::tolower(static_cast<unsigned char>(second[at])))
            return false;
    }
    return true;
}

// Finds a key's value, trimmed, in the settings text; sections and keys ignore case. A null
// key lists every key of the section into keys instead, each ended by a zero.
bool FindValue(const char* section, const char* key, const char* fileName, const char** value,
               size_t* length, char* keys = nullptr, size_t keysCapacity = 0) {
    if (Desktop.settingsFile != nullptr && std::strcmp(fileName, Desktop.settingsFile) != 0) {
        return false;
    }
    if (key != nullptr && key[0] == '\0') return false;
    size_t listed = 0;
    bool inSection = false;
    for (const char* line = Desktop.settingsText; *line != '\0';) {
        const char* end = std::strchr(line, '\n');
        if (end == nullptr) end = line + std::strlen(line);
        const char* close = static_cast<const char*>(std::memchr(line, ']', end - line));
        const char* equals = static_cast<const char*>(std::memchr(line, '=', end - line));
        if (line[0] == '[' && close != nullptr) {
            inSection = SameText(line + 1, close - line - 1, section);
        } else if (inSection && equals != nullptr) {
            const char* keyEnd = equals;
            while (keyEnd > line && keyEnd[-1] == ' ')
                --keyEnd;
            const size_t keyLength = keyEnd - line;
            if (key == nullptr && listed + keyLength + 2 <= keysCapacity) {
                std::memcpy(keys + listed, line, keyLength);
                listed += keyLength;
                keys[listed++] = '\0';
            } else if (key != nullptr && SameText(line, keyLength, key)) {
                const char* start = equals + 1;
                while (start < end && *start == ' ')
                    ++start;
                const char* stop = end;
                while (stop > start && (stop[-1] == ' ' || stop[-1] == '\r'))
                    --stop;
                *value = start;
                *length = stop - start;
                return true;
            }
        }
        line = *end == '\0' ? end : end + 1;
    }
    if (key == nullptr) *length = listed;
    return key == nullptr;
}

// A 32-bit player's texts above 2 GiB, whose addresses reach a 64-bit caller sign-extended: each
// text stands for a stretch of its own there, which the reads below map to where it lies.
constexpr std::uintptr_t HighTexts = 0x80000000, TextStretch = 0x100000;
constexpr std::uintptr_t SignExtension = ~std::uintptr_t{0xFFFFFFFF};
constexpr int TextKinds = 3;  // file, title and ANSI file

const void* SlotText(int slot) {
    const FakePlaylist& playlist = Desktop.player.playlist;
    const int entry = slot / TextKinds;
    const void* texts[TextKinds] = {playlist.files[entry], playlist.titles[entry],
                                    playlist.ansiFiles[entry]};
    return texts[slot % TextKinds];
}

// Where the player's address lies in this process.
std::uintptr_t HostAddress(std::uintptr_t address) {
    const int slot = static_cast<int>((address - HighTexts) / TextStretch);
    if (!Desktop.player.playlist.signExtended || address < HighTexts ||
        slot >= FakeEntries * TextKinds || SlotText(slot) == nullptr)
        return address;
    return reinterpret_cast<std::uintptr_t>(SlotText(slot)) + (address - HighTexts) % TextStretch;
}

// The address of an entry's text, as the player answers 211 to 214; false for other questions.
bool EntryAnswer(std::int32_t index, std::intptr_t id, std::uintptr_t* result) {
    const FakePlaylist& playlist = Desktop.player.playlist;
    const bool wide = id == GetPlaylistFileW || id == GetPlaylistTitleW;
    if (!wide && id != GetPlaylistFile && id != GetPlaylistTitle) return false;
    const void* text = nullptr;
    const int kind = id == GetPlaylistFileW ? 0 : id == GetPlaylistTitleW ? 1 : 2;
    if (index >= 0 && index < FakeEntries) {
        if (id == GetPlaylistFileW) text = playlist.files[index];
        if (id == GetPlaylistTitleW) text = playlist.titles[index];
        if (id == GetPlaylistFile) text = playlist.ansiFiles[index];
    }
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(text);
    if (text != nullptr && playlist.signExtended)
        address = SignExtension | (HighTexts + (index * TextKinds + kind) * TextStretch);
    if (text != nullptr && wide && playlist.freshCopies) {
        char16_t* copy = freshCopies[freshCopy ^= 1];
        const size_t length = WideLength(static_cast<const char16_t*>(text));
        std::memcpy(copy, text, (length + 1) * sizeof(char16_t));
        address = reinterpret_cast<std::uintptr_t>(copy);
    }
    if (playlist.lie != 0) address = playlist.lie;
    if (wide && playlist.ansiOnly) address = NotSupported;
    if (wide && playlist.wideZero) address = 0;
    *result = address;
    return true;
}

// The readable memory of the player: each text of its playlist, with its terminator unless it
// has none, and the block reserved in it; the region holding the address, in the player's
// addresses, or false.
bool Region(std::uintptr_t address, std::uintptr_t& from, std::uintptr_t& to) {
    const FakePlaylist& playlist = Desktop.player.playlist;
    const std::uintptr_t host = HostAddress(address);
    const auto holds = [&](const void* text, size_t bytes) {
        from = reinterpret_cast<std::uintptr_t>(text) + (address - host);
        to = from + bytes;
        return text != nullptr && address >= from && address < to;
    };
    if (reserved != nullptr && holds(reserved, ReservedSize)) return true;
    const size_t end = playlist.unterminated ? 0 : 1;
    for (const char16_t* copy : freshCopies)
        if (playlist.freshCopies && holds(copy, (WideLength(copy) + end) * sizeof(char16_t)))
            return true;
    for (int entry = 0; entry < FakeEntries; ++entry) {
        for (const char16_t* text : {playlist.files[entry], playlist.titles[entry]})
            if (text != nullptr && holds(text, (WideLength(text) + end) * sizeof(char16_t)))
                return true;
        const char* ansi = playlist.ansiFiles[entry];
        if (ansi != nullptr && holds(ansi, std::strlen(ansi) + end)) return true;
    }
    return false;
}

// A pointer-sized value of a structure in the reserved block, in the player's bitness.
std::uintptr_t PointerAt(std::uintptr_t address, int index) {
    if (!Desktop.player.wow64) return reinterpret_cast<const std::uint64_t*>(address)[index];
    return reinterpret_cast<const std::uint32_t*>(address)[index];
}

bool InBlock(std::uintptr_t address) {
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(reserved);
    return reserved != nullptr && address >= base && address < base + ReservedSize;
}

// 3026: the tag named in the structure at address, of the entry whose file it names, copied as
// the player copies it, cut to the room given with its terminator; 0 for a tag it has not. A
// pointer, or an answer's room, that reaches beyond the block crashes it: it answers nothing from
// then on.
std::int32_t TagAnswer(std::uintptr_t address) {
    if (!InBlock(address)) return 0;
    for (int pointer = 0; pointer < 3; ++pointer)
        Desktop.player.hung = Desktop.player.hung || !InBlock(PointerAt(address, pointer));
    // The answer's whole room too: the player may write to its last unit.
    const std::uintptr_t roomEnd = PointerAt(address, 2) + PointerAt(address, 3) * sizeof(char16_t);
    Desktop.player.hung = Desktop.player.hung || !InBlock(roomEnd - 1);
    if (Desktop.player.hung) return 0;
    const auto* file = reinterpret_cast<const char16_t*>(PointerAt(address, 0));
    const auto* name = reinterpret_cast<const char16_t*>(PointerAt(address, 1));
    auto* answer = reinterpret_cast<char16_t*>(PointerAt(address, 2));
    const std::size_t room = PointerAt(address, 3);
    const FakePlaylist& playlist = Desktop.player.playlist;
    const std::int32_t none = Desktop.player.tagsQuestion == FakePlayer::TagsQuestion::ClaimsEvery;
    for (int entry = 0; entry < FakeEntries; ++entry) {
        if (playlist.files[entry] == nullptr || std::u16string_view(playlist.files[entry]) != file)
            continue;
        for (int tag = 0; tag < FakeTags; ++tag) {
            const std::string_view wanted = FakeTagNames[tag];
            const std::u16string_view asked = name;
            if (!std::equal(asked.begin(), asked.end(), wanted.begin(), wanted.end()) ||
                playlist.tags[entry][tag] == nullptr || room == 0)
                continue;
            const bool whole =
                Desktop.player.tagsQuestion == FakePlayer::TagsQuestion::Unterminated;
            const std::u16string_view text = playlist.tags[entry][tag];
            const std::size_t copied = std::min(text.size(), whole ? room : room - 1);
            std::copy(text.begin(), text.begin() + copied, answer);
            if (copied < room) answer[copied] = u'\0';
            return 1;
        }
    }
    return none;
}

}  // namespace

namespace desktop {

WCHAR* GetCommandLineW() {
    Log("GetCommandLineW()\n");
    static char16_t wide[1 << 17];
    size_t at = 0;
    for (; Desktop.wideCommandLine != nullptr ? Desktop.wideCommandLine[at] != u'\0'
                                              : Desktop.commandLine[at] != '\0';
         ++at)
        wide[at] = Desktop.wideCommandLine != nullptr
                       ? Desktop.wideCommandLine[at]
                       : static_cast<unsigned char>(Desktop.commandLine[at]);
    wide[at] = u'\0';
    return wide;
}

// A path is full when it starts with a drive or is a UNC path; any other is in the current folder.
// Built without the heap, as a run takes nothing from it.
unsigned GetFullPathNameW(const WCHAR* fileName, unsigned capacity, WCHAR* fullPath, WCHAR**) {
    const bool full = fileName[0] != u'\0' &&
                      (fileName[1] == u':' || (fileName[0] == u'\\' && fileName[1] == u'\\'));
    const char16_t* folder = full ? u"" : Desktop.currentFolder;
    const size_t folderLength = WideLength(folder), length = folderLength + WideLength(fileName);
    if (length >= capacity) return static_cast<unsigned>(length + 1);
    std::memcpy(fullPath, folder, folderLength * sizeof(WCHAR));
    std::memcpy(fullPath + folderLength, fileName, (length - folderLength + 1) * sizeof(WCHAR));
    return static_cast<unsigned>(length);
}

bool SameWide(const char16_t* first, const char16_t* second) {
    const size_t length = WideLength(first);
    return length == WideLength(second) && std::memcmp(first, second, length * 2) == 0;
}

// The settings file exists as settingsExist says; anything else when it is among existing.
unsigned GetFileAttributesW(const WCHAR* fileName) {
    Log("GetFileAttributesW(\"%s\")\n", Utf8(fileName));
    const char16_t settings[] = u"TUNEDESK.INI";
    const size_t length = WideLength(fileName), settingsLength = WideLength(settings);
    if (length >= settingsLength && SameWide(fileName + length - settingsLength, settings))
        return Desktop.settingsExist ? 0 : INVALID_FILE_ATTRIBUTES;
    for (const char16_t* existing : Desktop.existing)
        if (existing != nullptr && SameWide(existing, fileName)) return 0;
    return INVALID_FILE_ATTRIBUTES;
}

unsigned GetModuleFileNameW(HINSTANCE, WCHAR* buffer, unsigned capacity) {
    Log("GetModuleFileNameW()\n");
    const size_t length = WideLength(Desktop.modulePath);
    const size_t copied = length < capacity ? length : capacity - 1;
    std::memcpy(buffer, Desktop.modulePath, copied * sizeof(WCHAR));
    buffer[copied] = u'\0';
    return Desktop.modulePathCut || length >= capacity ? capacity : length;
}

unsigned GetShortPathNameW(const WCHAR* longPath, WCHAR* shortPath, unsigned capacity) {
    Log("GetShortPathNameW(\"%s\")\n", Utf8(longPath));
    if (Desktop.shortPath == nullptr) return 0;
    const size_t length = WideLength(Desktop.shortPath);
    if (length >= capacity) return static_cast<unsigned>(length + 1);
    std::memcpy(shortPath, Desktop.shortPath, (length + 1) * sizeof(WCHAR));
    return static_cast<unsigned>(length);
}

// Latin-1: what it can't spell becomes "?", and only WC_NO_BEST_FIT_CHARS owns up to it, as
// Windows owns up to no look-alike letter it writes without that flag.
int WideCharToMultiByte(unsigned codePage, unsigned flags, const WCHAR* wide, int wideLength,
                        char* text, int capacity, const char*, int* usedDefault) {
    if (wideLength < 0) wideLength = static_cast<int>(WideLength(wide)) + 1;  // with its terminator
    if (codePage != CP_ACP || wideLength > capacity) return 0;
    if (usedDefault != nullptr) *usedDefault = 0;
    for (int at = 0; at < wideLength; ++at) {
        const bool spelled = wide[at] <= LastLatin1;
        text[at] = spelled ? static_cast<char>(wide[at]) : '?';
        if (!spelled && usedDefault != nullptr && (flags & WC_NO_BEST_FIT_CHARS)) *usedDefault = 1;
    }
    return wideLength;
}

// Latin-1, or UTF-8, which the logic only ever hands over whole and valid.
int MultiByteToWideChar(unsigned codePage, unsigned, const char* text, int length, WCHAR* wide,
                        int capacity) {
    if (length < 0) length = static_cast<int>(std::strlen(text)) + 1;  // with its terminator
    if (length > capacity || length <= 0) return 0;
    int units = 0;
    for (int at = 0; at < length;) {
        char32_t character = static_cast<unsigned char>(text[at++]);
        if (codePage == CP_UTF8 && character >= 0x80) {
            const int tail = character >= 0xF0 ? 3 : character >= 0xE0 ? 2 : 1;
            character &= 0x3F >> tail;
            for (int more = 0; more < tail && at < length; ++more)
                character = character << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
        }
        if (character >= 0x10000) {
            wide[units++] = static_cast<WCHAR>(0xD800 + ((character - 0x10000) >> 10));
            character = 0xDC00 + (character & 0x3FF);
        }
        wide[units++] = static_cast<WCHAR>(character);
    }
    return units;
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, unsigned capacity, const char* fileName) {
    Log("GetPrivateProfileStringA(\"%s\", \"%s\", \"%s\", %u, \"%s\")\n", section, Text(key),
        fallback, capacity, fileName);
    const char* value = fallback;
    size_t length = std::strlen(fallback);
    if (key == nullptr) {
        length = 0;
        FindValue(section, key, fileName, &value, &length, buffer, capacity);
        buffer[length] = '\0';
        return static_cast<unsigned>(length);
    }
    FindValue(section, key, fileName, &value, &length);
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(buffer, value, length);
    buffer[length] = '\0';
    return static_cast<unsigned>(length);
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int fallback,
                               const char* fileName) {
    Log("GetPrivateProfileIntA(\"%s\", \"%s\", %d, \"%s\")\n", section, key, fallback, fileName);
    const char* value;
    size_t length;
    if (!FindValue(section, key, fileName, &value, &length) || length == 0) return fallback;
    // Like Windows: a sign and leading digits count, anything else reads as 0.
    const bool negative = value[0] == '-';
    size_t at = value[0] == '-' || value[0] == '+' ? 1 : 0;
    unsigned number = 0;
    for (; at < length && std::isdigit(static_cast<unsigned char>(value[at])); ++at)
        number = number * 10 + (value[at] - '0');
    return negative ? 0u - number : number;
}

HWND FindWindowA(const char* className, const char* windowName) {
    Log("FindWindowA(\"%s\", %s)\n", className, Text(windowName));
    const char* running = Desktop.runningClass;
    return running != nullptr && SameText(className, std::strlen(className), running) ? PlayerWindow
                                                                                      : nullptr;
}

int ShowWindow(HWND window, int command) {
    Log("ShowWindow(%s, %d)\n", Name(window), command);
    if (window == PlayerWindow) Desktop.visible = command != SW_HIDE;
    return 0;
}

int IsWindowVisible(HWND window) {
    Log("IsWindowVisible(%s)\n", Name(window));
    return window == PlayerWindow && Desktop.visible ? 1 : 0;
}

// Logged with its flags and timeout only when it has a timeout; a hung player answers nothing.
// WM_COPYDATA is logged with the data's kind and text.
std::intptr_t SendMessageTimeoutA(HWND window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeout,
                                  std::uintptr_t* result) {
    if (message == WM_COPYDATA) {
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* text = static_cast<const char16_t*>(data.lpData);
        Log("SendMessageTimeoutA(%s, copydata %llu, %u, \"%s\"", Name(window),
            static_cast<unsigned long long>(data.dwData), data.cbData,
            Utf8(text, data.cbData / sizeof(char16_t)));
        if (data.dwData == InsertFileW)
            Log(" at %d", static_cast<const InsertedFile*>(data.lpData)->index);
    } else {
        Log("SendMessageTimeoutA(%s, 0x%x, %lld, %lld", Name(window), message,
            static_cast<long long>(wParam), static_cast<long long>(lParam));
    }
    Log(timeout == 0xFFFFFFFF ? ")\n" : ", %u, %u)\n", flags, timeout);
    *result = 0;
    if (window == PlaylistHandle) return !Desktop.player.hung;
    if (window != PlayerWindow || Desktop.player.hung) return 0;
    if (message == WM_USER && lParam == GetWindowHandle && wParam == PlaylistWindow &&
        Desktop.player.playlistWindow) {
        *result = reinterpret_cast<std::uintptr_t>(PlaylistHandle);
        return 1;
    }
    if (message == WM_COMMAND) CarryOutCommand(Desktop.player, wParam);
    if (message == WM_COPYDATA) ++Desktop.player.tracks;  // a file added at the end
    if (message != WM_USER) return 1;
    if (EntryAnswer(static_cast<std::int32_t>(wParam), lParam, result)) return 1;
    using TagsQuestion = FakePlayer::TagsQuestion;
    if (lParam == GetFileInfoW && Desktop.player.tagsQuestion == TagsQuestion::Unanswered) return 0;
    if (lParam == GetFileInfoW && Desktop.player.tagsQuestion != TagsQuestion::Unsupported) {
        *result = TagAnswer(wParam);
        return 1;
    }
    const std::int32_t answer =
        AnswerUserMessage(Desktop.player, static_cast<std::int32_t>(wParam), lParam);
    if (lParam == ListLength && Desktop.player.lengthDrops > 0) {  // an entry removed meanwhile
        --Desktop.player.lengthDrops;
        --Desktop.player.tracks;
    }
    if (lParam == ListPosition && Desktop.player.moves > 0) {  // the list changing as it is read
        --Desktop.player.moves;
        Desktop.player.track = (Desktop.player.track + 1) % Desktop.player.tracks;
    }
    *result = Desktop.player.zeroExtended ? static_cast<std::uint32_t>(answer) : answer;
    return 1;
}

void Sleep(unsigned milliseconds) { Log("Sleep(%u)\n", milliseconds); }

unsigned WinExec(const char* commandLine, int show) {
    Log("WinExec(\"%s\", %d)\n", commandLine, show);
    if (Desktop.winExecResult >= WinExecFirstSuccess) Desktop.runningClass = Desktop.startedClass;
    return Desktop.winExecResult;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    Log("MessageBoxA(%s, \"%s\", \"%s\", 0x%x)\n", Name(owner), text, caption, type);
    return 1;
}

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, unsigned type) {
    Log("MessageBoxW(%s, \"%s\", ", Name(owner), Utf8(text));
    Log("\"%s\", 0x%x)\n", Utf8(caption), type);
    return 1;
}

HANDLE GetStdHandle(unsigned which) {
    if (which == STD_INPUT_HANDLE)
        return Desktop.input != nullptr ? reinterpret_cast<HANDLE>(&inputHandle) : nullptr;
    if (which == STD_ERROR_HANDLE) return reinterpret_cast<HANDLE>(&standardError);
    Log("GetStdHandle()\n");
    if (attached) return reinterpret_cast<HANDLE>(&console);
    switch (Desktop.standardOutput) {
        case StandardOutput::Given:
            return reinterpret_cast<HANDLE>(&standardOutput);
        case StandardOutput::Invalid:
            return reinterpret_cast<HANDLE>(std::intptr_t{-1});  // INVALID_HANDLE_VALUE
        case StandardOutput::None:
            break;
    }
    return nullptr;
}

int WriteFile(HANDLE file, const void* data, unsigned length, unsigned* written, void*) {
    for (FakeFile& written_ : files) {
        if (file != reinterpret_cast<HANDLE>(&written_)) continue;
        std::memcpy(written_.text + written_.length, data, length);
        written_.length += static_cast<int>(length);
        *written = length;
        return 1;
    }
    if (file == reinterpret_cast<HANDLE>(&standardError)) {
        errors.append(static_cast<const char*>(data), length);
        *written = length;
        return 1;
    }
    const bool toConsole = file == reinterpret_cast<HANDLE>(&console);
    Log("WriteFile(%s, %u)\n", toConsole ? "console" : "stdout", length);
    if (Desktop.waits > 0 && waited >= Desktop.waits) return 0;  // the reader has gone
    const size_t room = sizeof output - 1 - outputLength;
    const size_t copied = length < room ? length : room;
    std::memcpy(output + outputLength, data, copied);
    outputLength += copied;
    output[outputLength] = '\0';
    *written = static_cast<unsigned>(copied);
    return 1;
}

// Standard input in chunks of at most 5 bytes, so that lines arrive in pieces.
int ReadFile(HANDLE, void* data, unsigned length, unsigned* read, void*) {
    const size_t left = std::strlen(Desktop.input) - inputRead;
    *read = static_cast<unsigned>(std::min<size_t>({left, length, 5}));
    std::memcpy(data, Desktop.input + inputRead, *read);
    inputRead += *read;
    return *read > 0;
}

// The reader thread runs to its end before the wait that inputAt names: so long as the input has
// no more lines than the follower holds, nothing is lost.
HANDLE CreateThread(void*, std::size_t, THREAD_START_ROUTINE start, void* parameter, unsigned,
                    unsigned*) {
    Log("CreateThread()\n");
    reader = start;
    readerParameter = parameter;
    return reinterpret_cast<HANDLE>(&thread);
}

unsigned GetCurrentThreadId() { return 1; }

int PostThreadMessageA(unsigned, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (queued == sizeof queue / sizeof *queue) return 0;
    queue[queued++] = MSG{nullptr, message, wParam, lParam, 0, 0, 0};
    return 1;
}

int PeekMessageA(MSG* message, HWND, unsigned, unsigned, unsigned) {
    if (queued == 0) return 0;
    *message = queue[0];
    std::memmove(queue, queue + 1, --queued * sizeof *queue);
    return 1;
}

// A player that is no longer running has ended: its process handle is signalled.
unsigned MsgWaitForMultipleObjects(unsigned count, const HANDLE*, int, unsigned milliseconds,
                                   unsigned) {
    if (Desktop.between != nullptr) Desktop.between(waited);
    if (waited == Desktop.inputAt && reader != nullptr) reader(readerParameter);
    if (++waited > Desktop.waits + 1000) std::abort();  // a follower that never ends
    if (count == 1 && Desktop.runningClass == nullptr) return WAIT_OBJECT_0;
    if (queued > 0) return count;  // WAIT_OBJECT_0 + count: a message
    clock += milliseconds;
    if (Desktop.player.status == Playing) Desktop.player.position += milliseconds;
    return 0x102;  // WAIT_TIMEOUT
}

HWINEVENTHOOK SetWinEventHook(unsigned eventMin, unsigned, HINSTANCE, WINEVENTPROC, unsigned,
                              unsigned, unsigned) {
    Log("SetWinEventHook(0x%x)\n", eventMin);
    return reinterpret_cast<HWINEVENTHOOK>(&hook);
}

unsigned GetWindowThreadProcessId(HWND window, unsigned* processId) {
    *processId = window == PlayerWindow ? 42 : 0;
    return window == PlayerWindow ? 7 : 0;
}

HANDLE OpenProcess(unsigned, int, unsigned processId) {
    Log("OpenProcess(%u)\n", processId);
    return reinterpret_cast<HANDLE>(&process);
}

std::size_t VirtualQueryEx(HANDLE, std::uintptr_t address, MEMORY_BASIC_INFORMATION* region,
                           std::size_t length) {
    std::uintptr_t from = 0, to = 0;
    *region = MEMORY_BASIC_INFORMATION{};
    if (Region(address, from, to)) {
        const bool text = !InBlock(address);
        const unsigned protect =
            PAGE_READABLE | (text && Desktop.player.playlist.guarded ? PAGE_GUARD : 0);
        *region = MEMORY_BASIC_INFORMATION{from, from, protect, to - from, MEM_COMMIT, protect, 0};
    }
    return length;  // free memory is described too, as Windows does
}

// Only what lies within one readable region is read.
int ReadProcessMemory(HANDLE, std::uintptr_t address, void* buffer, std::size_t size,
                      std::size_t* read) {
    std::uintptr_t from = 0, to = 0;
    *read = 0;
    if (!Region(address, from, to) || address + size > to) return 0;
    std::memcpy(buffer, reinterpret_cast<const void*>(HostAddress(address)), size);
    *read = size;
    return 1;
}

std::uintptr_t VirtualAllocEx(HANDLE, std::uintptr_t, std::size_t size, unsigned, unsigned) {
    Log("VirtualAllocEx(%zu)\n", size);
    using TagsQuestion = FakePlayer::TagsQuestion;
    if (reserved != nullptr || size > ReservedSize ||
        Desktop.player.tagsQuestion == TagsQuestion::NoMemory)
        return 0;
    reserved = Reserved(Desktop.player.tagsQuestion == TagsQuestion::BeyondFourGiB);
    std::memset(reserved, 0, ReservedSize);
    return reinterpret_cast<std::uintptr_t>(reserved);
}

int VirtualFreeEx(HANDLE, std::uintptr_t address, std::size_t, unsigned) {
    Log("VirtualFreeEx()\n");
    const bool ours = reserved != nullptr && address == reinterpret_cast<std::uintptr_t>(reserved);
    if (ours) reserved = nullptr;
    return ours;
}

int WriteProcessMemory(HANDLE, std::uintptr_t address, const void* buffer, std::size_t size,
                       std::size_t* written) {
    *written = 0;
    if (!InBlock(address) || !InBlock(address + size - 1) ||
        Desktop.player.tagsQuestion == FakePlayer::TagsQuestion::Unwritten)
        return 0;
    std::memcpy(reinterpret_cast<void*>(address), buffer, size);
    *written = size;
    return 1;
}

int IsWow64Process(HANDLE, int* wow64) {
    *wow64 = Desktop.player.wow64;
    return 1;
}

int CloseHandle(HANDLE) {
    Log("CloseHandle()\n");
    return 1;
}

unsigned GetTickCount() { return clock; }

int AttachConsole(unsigned) {
    Log("AttachConsole()\n");
    attached = Desktop.parentConsole;  // GetStdHandle then gives the console
    return Desktop.parentConsole;
}

int WriteConsoleW(HANDLE console, const WCHAR* text, unsigned length, unsigned* written, void*) {
    const bool toConsole = console == reinterpret_cast<HANDLE>(&::console);
    Log("WriteConsoleW(%s, %u)\n", toConsole ? "console" : "stdout", length);
    if (!toConsole) return 0;
    const char* bytes = Utf8(text, length);
    const size_t size = std::strlen(bytes);
    const size_t copied = std::min(size, sizeof output - 1 - outputLength);
    std::memcpy(output + outputLength, bytes, copied);
    outputLength += copied;
    output[outputLength] = '\0';
    *written = length;
    return 1;
}

int GetWindowTextW(HWND window, WCHAR* text, int capacity) {
    Log("GetWindowTextW(%s, %d)\n", Name(window), capacity);
    if (window != PlayerWindow || capacity <= 0) return 0;
    const int length = std::min(static_cast<int>(WideLength(Desktop.player.caption)), capacity - 1);
    std::memcpy(text, Desktop.player.caption, length * sizeof(WCHAR));  // cut anywhere
    text[length] = u'\0';
    return length;
}

// Ordinal, and without regard to case as the system's case table has it, here the C library's.
int FindStringOrdinal(unsigned, const WCHAR* source, int sourceLength, const WCHAR* value,
                      int valueLength, int ignoreCase) {
    UseUnicode();
    if (sourceLength < 0) sourceLength = static_cast<int>(WideLength(source));
    if (valueLength < 0) valueLength = static_cast<int>(WideLength(value));
    const auto same = [&](char16_t a, char16_t b) {
        return ignoreCase ? std::towlower(a) == std::towlower(b) : a == b;
    };
    for (int at = 0; at + valueLength <= sourceLength; ++at) {
        int matched = 0;
        while (matched < valueLength && same(source[at + matched], value[matched]))
            ++matched;
        if (matched == valueLength) return at;
    }
    return -1;
}

int lstrcmpiA(const char* first, const char* second) {
    for (;; ++first, ++second) {
        const int difference = std::tolower(static_cast<unsigned char>(*first)) -
                               std::tolower(static_cast<unsigned char>(*second));
        if (difference != 0 || *first == '\0') return difference;
    }
}

unsigned CharUpperBuffW(WCHAR* text, unsigned length) {
    UseUnicode();
    for (unsigned at = 0; at < length; ++at)
        text[at] = static_cast<WCHAR>(std::towupper(text[at]));
    return length;
}

unsigned CharLowerBuffW(WCHAR* text, unsigned length) {
    UseUnicode();
    for (unsigned at = 0; at < length; ++at)
        text[at] = static_cast<WCHAR>(std::towlower(text[at]));
    return length;
}

namespace {

// The next of existing in the pattern's folder ("C:\M\*"), from search on.
int FindNext(WIN32_FIND_DATAW* found) {
    for (; search < 8; ++search) {
        const char16_t* existing = Desktop.existing[search];
        if (existing == nullptr) continue;
        const std::u16string_view path = existing;
        const std::size_t slash = path.rfind(u'\\');
        if (slash == std::u16string_view::npos || path.substr(0, slash + 1) != searchFolder)
            continue;
        *found = WIN32_FIND_DATAW{};
        path.substr(slash + 1).copy(found->cFileName, MAX_PATH - 1);
        return ++search;
    }
    return 0;
}

}  // namespace

// Lists the entries of existing that lie in the pattern's folder.
HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found) {
    Log("FindFirstFileW(\"%s\")\n", Utf8(pattern));
    const std::u16string_view text = pattern;  // the folder, then "*"
    text.substr(0, text.size() - 1).copy(searchFolder, 1023);
    searchFolder[text.size() - 1] = u'\0';
    search = 0;
    return FindNext(found) != 0 ? reinterpret_cast<HANDLE>(&search)
                                : reinterpret_cast<HANDLE>(INVALID_HANDLE_VALUE);
}

int FindNextFileW(HANDLE, WIN32_FIND_DATAW* found) { return FindNext(found) != 0; }

int FindClose(HANDLE) { return 1; }

HANDLE CreateFileW(const WCHAR* fileName, unsigned, unsigned, void*, unsigned, unsigned, HANDLE) {
    Log("CreateFileW(\"%s\")\n", Utf8(fileName));
    for (FakeFile& file : files) {
        if (file.exists || file.open) continue;
        std::u16string_view(fileName).copy(file.path, 1023);
        file.path[std::u16string_view(fileName).size()] = u'\0';
        file.length = 0;
        file.open = true;
        return reinterpret_cast<HANDLE>(&file);
    }
    return reinterpret_cast<HANDLE>(INVALID_HANDLE_VALUE);
}

int MoveFileExW(const WCHAR* existing, const WCHAR* replaced, unsigned) {
    Log("MoveFileExW(\"%s\", ", Utf8(existing));
    Log("\"%s\")\n", Utf8(replaced));
    if (Desktop.refuseReplace) return 0;
    for (FakeFile& file : files)
        if (file.exists && std::u16string_view(file.path) == replaced) file = FakeFile{};
    for (FakeFile& file : files) {
        if (!file.open || std::u16string_view(file.path) != existing) continue;
        std::u16string_view(replaced).copy(file.path, 1023);
        file.path[std::u16string_view(replaced).size()] = u'\0';
        file.open = false;
        file.exists = true;
        return 1;
    }
    return 0;
}

int DeleteFileW(const WCHAR* fileName) {
    Log("DeleteFileW(\"%s\")\n", Utf8(fileName));
    for (FakeFile& file : files)
        if (std::u16string_view(file.path) == fileName) file = FakeFile{};
    return 1;
}

unsigned GetCurrentProcessId() { return 42; }

// Standard input, when there is one, is a pipe.
unsigned GetFileType(HANDLE) { return FILE_TYPE_PIPE; }

std::intptr_t DESKTOP_CALLBACK DefWindowProcW(HWND, unsigned, std::uintptr_t, std::intptr_t) {
    return 0;
}

unsigned short RegisterClassW(const WNDCLASSW* windowClass) {
    Log("RegisterClassW(\"%s\")\n", Utf8(windowClass->lpszClassName));
    return 1;
}

HWND CreateWindowExW(unsigned, const WCHAR* className, const WCHAR*, unsigned, int, int, int, int,
                     HWND, void*, HINSTANCE, void*) {
    Log("CreateWindowExW(\"%s\")\n", Utf8(className));
    followerMade = true;
    return FollowerHandle;
}

int DestroyWindow(HWND window) {
    Log("DestroyWindow(%s)\n", window == FollowerHandle ? "follower" : Name(window));
    followerMade = followerMade && window != FollowerHandle;
    return 1;
}

// The follower's window, while it is there, is the one window of its class.
HWND FindWindowExW(HWND, HWND after, const WCHAR* className, const WCHAR*) {
    Log("FindWindowExW(\"%s\")\n", Utf8(className));
    return followerMade && after == nullptr ? FollowerHandle : nullptr;
}

int PostMessageW(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    Log("PostMessageW(%s, 0x%x)\n", window == FollowerHandle ? "follower" : Name(window), message);
    if (queued == sizeof queue / sizeof *queue) return 0;
    queue[queued++] = MSG{window, message, wParam, lParam, 0, 0, 0};
    return 1;
}

namespace {

// Logs a call of the controls, as printf writes it, and answers as Windows would, or refuses it
// as the desktop says.
HRESULT Controlled(const char* format, ...) {
    char call[2048];
    va_list values;
    va_start(values, format);
    vsnprintf(call, sizeof call, format, values);
    va_end(values);
    const std::size_t length = std::strlen(controlsLog);
    std::snprintf(controlsLog + length, sizeof controlsLog - length, "%s\n", call);
    const char* refused = Desktop.refusedControl;
    return refused != nullptr && std::strncmp(call, refused, std::strlen(refused)) == 0 ? E_NOTIMPL
                                                                                        : S_OK;
}

}  // namespace

HRESULT RoInitialize(unsigned type) { return Controlled("RoInitialize(%u)", type); }

HRESULT GetForWindow(HWND window, MediaControls** controls) {
    Controlled("GetForWindow(%s)", window == FollowerHandle ? "follower" : "none");
    *controls =
        Desktop.controlsFound >= 0 ? reinterpret_cast<MediaControls*>(&controlsObject) : nullptr;
    return Desktop.controlsFound;
}

HRESULT put_IsButtonEnabled(MediaControls*, MediaButton button, bool enabled) {
    return Controlled("put_IsButtonEnabled(%d, %d)", static_cast<int>(button), enabled);
}

HRESULT add_ButtonPressed(MediaControls*, HWND window, unsigned message) {
    pressWindow = window;
    pressMessage = message;
    return Controlled("add_ButtonPressed()");
}

HRESULT remove_ButtonPressed(MediaControls*) { return Controlled("remove_ButtonPressed()"); }

HRESULT put_IsEnabled(MediaControls*, bool enabled) {
    return Controlled("put_IsEnabled(%d)", enabled);
}

HRESULT put_PlaybackStatus(MediaControls*, MediaStatus status) {
    return Controlled("put_PlaybackStatus(%d)", static_cast<int>(status));
}

HRESULT put_Type(MediaControls*, int type) { return Controlled("put_Type(%d)", type); }

HRESULT put_MusicText(MediaControls*, MusicText property, const WCHAR* text) {
    const char* names[] = {"put_Title", "put_Artist", "put_AlbumTitle", "put_AlbumArtist"};
    return Controlled("%s(\"%s\")", names[static_cast<int>(property)], Utf8(text));
}

HRESULT put_Thumbnail(MediaControls*, const WCHAR* imageFile) {
    return Controlled("put_Thumbnail(\"%s\")", imageFile != nullptr ? Utf8(imageFile) : "");
}

HRESULT ClearAll(MediaControls*) { return Controlled("ClearAll()"); }

HRESULT Update(MediaControls*) { return Controlled("Update()"); }

HRESULT QueryControls2(MediaControls*) {
    Controlled("QueryControls2()");
    return Desktop.controls2 ? S_OK : E_NOINTERFACE;
}

HRESULT UpdateTimelineProperties(MediaControls*, std::int64_t endTicks,
                                 std::int64_t positionTicks) {
    return Controlled("UpdateTimelineProperties(%lld, %lld)",
                      static_cast<long long>(endTicks / TicksPerMillisecond),
                      static_cast<long long>(positionTicks / TicksPerMillisecond));
}

HRESULT put_ShuffleEnabled(MediaControls*, bool enabled) {
    return Controlled("put_ShuffleEnabled(%d)", enabled);
}

HRESULT put_AutoRepeatMode(MediaControls*, MediaRepeat mode) {
    return Controlled("put_AutoRepeatMode(%d)", static_cast<int>(mode));
}

HRESULT add_Requests(MediaControls*, HWND, unsigned) { return Controlled("add_Requests()"); }

HRESULT remove_Requests(MediaControls*) { return Controlled("remove_Requests()"); }

void ReleaseMediaControls(MediaControls*) { Controlled("ReleaseMediaControls()"); }

// The session's mutex: held by another follower while the desktop says so.
HANDLE CreateMutexW(void*, int, const WCHAR*) { return reinterpret_cast<HANDLE>(&mutexObject); }

unsigned WaitForSingleObject(HANDLE, unsigned) {
    return Desktop.controlsOwned ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}

int ReleaseMutex(HANDLE) { return Controlled("ReleaseMutex()") == S_OK; }

}  // namespace desktop
