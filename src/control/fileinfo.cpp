// Asking the player for a file's tags. The question takes the address of a FileInfo in the
// player's memory, laid out in the player's bitness, whose strings lie there too: one block
// reserved in its process holds the structure, the file's name, a tag's name and its answer, and
// goes when every tag has been asked for.
#include "control/fileinfo.h"

#include <cstddef>

using namespace desktop;

namespace {

constexpr int AnswerUnits = LineCapacity;  // more than a line can take
constexpr int FileInfoPointers = sizeof(FileInfo<std::uint8_t>);
static_assert(sizeof(FileInfo<std::uint32_t>) == FileInfoPointers * sizeof(std::uint32_t) &&
              sizeof(FileInfo<std::uint64_t>) == FileInfoPointers * sizeof(std::uint64_t));

// The block as it lies in the player's memory. The name and the answer's first unit are written
// anew for each tag, so that a player that fills nothing leaves an empty answer.
struct Request {
    alignas(std::uint64_t) unsigned char info[FileInfoPointers * sizeof(std::uint64_t)];
    WCHAR file[LineCapacity];
    WCHAR name[TagNameUnits];
    WCHAR answer[AnswerUnits];
};
constexpr std::size_t NameAt = offsetof(Request, name), AnswerAt = offsetof(Request, answer);

// The player's pointers have 4 bytes in a 32-bit player, the player as shipped.
int PointerSize(Player& player) {
    int wow64 = 0;
    const bool small = sizeof(void*) == sizeof(std::uint32_t) ||
                       (IsWow64Process(player.process, &wow64) && wow64 != 0);
    return small ? sizeof(std::uint32_t) : sizeof(std::uint64_t);
}

// The structure, in the player's bitness, pointing at the file, the tag's name and its answer in
// the block.
template <typename Pointer>
void Describe(Request& request, std::uintptr_t block) {
    const FileInfo<Pointer> info = {static_cast<Pointer>(block + offsetof(Request, file)),
                                    static_cast<Pointer>(block + NameAt),
                                    static_cast<Pointer>(block + AnswerAt), AnswerUnits};
    *reinterpret_cast<FileInfo<Pointer>*>(request.info) = info;
}

bool Write(Player& player, std::uintptr_t to, const void* from, std::size_t size) {
    std::size_t done = 0;
    return WriteProcessMemory(player.process, to, from, size, &done) && done == size;
}

bool Read(Player& player, std::uintptr_t from, void* to, std::size_t size) {
    std::size_t done = 0;
    return ReadProcessMemory(player.process, from, to, size, &done) && done == size;
}

// Asks for one tag, whose name is ASCII, and appends the answer the player says it filled.
bool AskTag(Player& player, std::uintptr_t block, Request& request, const char* name, Line& tag) {
    int at = 0;
    for (; name[at] != '\0'; ++at)
        request.name[at] = static_cast<WCHAR>(name[at]);
    request.name[at] = request.answer[0] = u'\0';
    if (!Write(player, block + NameAt, request.name, sizeof request.name + sizeof(WCHAR)))
        return false;
    if (Ask(player, block, GetFileInfoW) == 0) return !player.unanswered;  // not filled
    if (!Read(player, block + AnswerAt, request.answer, sizeof request.answer)) return false;
    request.answer[AnswerUnits - 1] = u'\0';  // a player that filled it whole
    AppendWide(tag, request.answer, request.answer + TextLength(request.answer));
    return true;
}

}  // namespace

void ReadFileTags(Player& player, const Line& file, const char* const* names, Line* const* tags,
                  int count) {
    for (int tag = 0; tag < count; ++tag)
        tags[tag]->length = 0;
    if (file.length == 0 || !OpenPlayer(player)) return;
    Request request;
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, file.text, file.length, request.file, LineCapacity - 1);
    if (units <= 0) return;
    request.file[units] = u'\0';
    const std::uintptr_t block =
        VirtualAllocEx(player.process, 0, sizeof request, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == 0) return;
    const int pointerSize = PointerSize(player);
    (pointerSize == sizeof(std::uint64_t) ? Describe<std::uint64_t>
                                          : Describe<std::uint32_t>)(request, block);
    // A 32-bit player's pointers can't name a block beyond its 4 GiB: it is not handed one.
    bool asking =
        (pointerSize == sizeof(std::uint64_t) || HighHalf(block + sizeof request - 1) == 0) &&
        Write(player, block, &request, NameAt);
    for (int tag = 0; asking && tag < count; ++tag)
        asking = AskTag(player, block, request, names[tag], *tags[tag]);
    // A question left unanswered is still waiting in the player's queue, and would write into
    // memory freed beneath it: that block stays.
    if (!player.unanswered) VirtualFreeEx(player.process, block, 0, MEM_RELEASE);
}
