// Asking the player for a file's tags. The question takes the address of a FileInfo in the
// player's memory, laid out in the player's bitness, whose strings lie there too: one block
// reserved in its process holds the structures, the file's name, the tags' names and the
// answers, and goes when they are read.
#include "control/fileinfo.h"

#include <cstddef>

using namespace desktop;

namespace {

constexpr int NameUnits = 16;              // "albumartist" and its terminator, with room to spare
constexpr int AnswerUnits = LineCapacity;  // more than a line can take
constexpr int ByteBits = 8;
constexpr int HalfBits = 16;  // shifted twice: what lies beyond a 32-bit address
constexpr int FileInfoPointers = sizeof(FileInfo<std::uint8_t>);
static_assert(sizeof(FileInfo<std::uint32_t>) == FileInfoPointers * sizeof(std::uint32_t) &&
              sizeof(FileInfo<std::uint64_t>) == FileInfoPointers * sizeof(std::uint64_t));

// What is written into the player's memory; the answers follow it there, zeroed as reserved.
struct Request {
    unsigned char infos[MostTags][FileInfoPointers * sizeof(std::uint64_t)];
    WCHAR file[LineCapacity];
    WCHAR names[MostTags][NameUnits];
};
struct TagAnswers {
    WCHAR text[MostTags][AnswerUnits];
};
constexpr std::uintptr_t AnswersAt = sizeof(Request);

// The player's pointers have 4 bytes in a 32-bit player, the player as shipped.
int PointerSize(Player& player) {
    int wow64 = 0;
    const bool small = sizeof(void*) == sizeof(std::uint32_t) ||
                       (IsWow64Process(player.process, &wow64) && wow64 != 0);
    return small ? sizeof(std::uint32_t) : sizeof(std::uint64_t);
}

// Writes a pointer-sized value, least significant byte first, as both bitnesses lay it out.
unsigned char* Put(unsigned char* at, std::uint64_t value, int size) {
    for (int byte = 0; byte < size; ++byte, value >>= ByteBits)
        *at++ = static_cast<unsigned char>(value);
    return at;
}

// The structures, each pointing at the file, its tag's name and its answer, at block.
void Describe(Request& request, std::uintptr_t block, int count, int size) {
    for (int tag = 0; tag < count; ++tag) {
        unsigned char* at = request.infos[tag];
        at = Put(at, block + offsetof(Request, file), size);
        at = Put(at, block + offsetof(Request, names) + tag * sizeof *request.names, size);
        at = Put(at, block + AnswersAt + tag * sizeof *TagAnswers::text, size);
        Put(at, AnswerUnits, size);
    }
}

// The tags' names, ASCII, in UTF-16; false for a name too long to lay out.
bool Name(Request& request, const char* const* names, int count) {
    for (int tag = 0; tag < count; ++tag) {
        const int length = TextLength(names[tag]);
        if (length >= NameUnits) return false;
        for (int at = 0; at <= length; ++at)
            request.names[tag][at] = static_cast<WCHAR>(names[tag][at]);
    }
    return true;
}

// Writes the request, asks for each tag and reads the answers: a bit for each tag the player
// said it filled, none when any step failed.
unsigned AskTags(Player& player, std::uintptr_t block, Request& request, int count,
                 TagAnswers& answers) {
    const std::size_t written = offsetof(Request, names) + count * sizeof *request.names;
    std::size_t done = 0;
    if (!WriteProcessMemory(player.process, block, &request, written, &done) || done != written)
        return 0;
    unsigned filled = 0;
    for (int tag = 0; tag < count; ++tag)
        if (Ask(player, block + tag * sizeof *request.infos, GetFileInfoW) != 0)
            filled |= 1u << tag;
    const std::size_t size = count * sizeof *answers.text;
    const bool read = filled != 0 &&
                      ReadProcessMemory(player.process, block + AnswersAt, &answers, size, &done) &&
                      done == size;
    return read ? filled : 0;
}

}  // namespace

void ReadFileTags(Player& player, const Line& file, const char* const* names, Line* const* tags,
                  int count) {
    for (int tag = 0; tag < count; ++tag)
        tags[tag]->length = 0;
    if (file.length == 0 || count > MostTags || !OpenPlayer(player)) return;
    Request request;
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, file.text, file.length, request.file, LineCapacity - 1);
    if (units <= 0 || !Name(request, names, count)) return;
    request.file[units] = u'\0';
    const std::size_t size = sizeof(Request) + sizeof(TagAnswers);
    const std::uintptr_t block =
        VirtualAllocEx(player.process, 0, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == 0) return;
    const int pointerSize = PointerSize(player);
    // A 32-bit player's pointers can't name a block beyond its 4 GiB: it is not handed one.
    const bool named =
        pointerSize == sizeof(std::uint64_t) || (block + size - 1) >> HalfBits >> HalfBits == 0;
    Describe(request, block, count, pointerSize);
    TagAnswers answers;
    const unsigned filled = named ? AskTags(player, block, request, count, answers) : 0;
    // A question left unanswered is still waiting in the player's queue, and would write into
    // memory freed beneath it: that block stays.
    if (!player.unanswered) VirtualFreeEx(player.process, block, 0, MEM_RELEASE);
    for (int tag = 0; tag < count; ++tag) {
        if ((filled & 1u << tag) == 0) continue;
        WCHAR* text = answers.text[tag];
        text[AnswerUnits - 1] = u'\0';  // a player that filled it whole
        AppendWide(*tags[tag], text, text + TextLength(text));
    }
}
