// Reading the player's strings. The player answers with an address in its own memory, which is
// read with ReadProcessMemory after VirtualQueryEx has found it committed and readable: under
// Wine a read of free or forbidden memory succeeds, and so proves nothing.
#include "control/playlist.h"

using namespace desktop;

namespace {

constexpr std::uintptr_t LowestAddress = 0x10000;  // below: none, or 1 for "not supported"
constexpr std::uintptr_t PageSize = 0x1000;
constexpr std::uintptr_t LowHalf = 0xFFFFFFFF;
constexpr int CurrentEntryTries = 3;  // a list that keeps changing gives no text

// Which question gives the entry's text: the UTF-16 one, and the ANSI one that players too old
// for it answer instead, losing every letter outside the code page.
constexpr PlayerMessage WideQuestion[] = {GetPlaylistFileW, GetPlaylistTitleW};
constexpr PlayerMessage AnsiQuestion[] = {GetPlaylistFile, GetPlaylistTitle};

// True when the player can read the address, whose region is kept for the next look.
bool Readable(Player& player, std::uintptr_t address) {
    if (address >= player.readableFrom && address < player.readableTo) return true;
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQueryEx(player.process, address, &region, sizeof region) != sizeof region ||
        region.State != MEM_COMMIT || (region.Protect & PAGE_GUARD) != 0 ||
        (region.Protect & PAGE_READABLE) == 0)
        return false;
    player.readableFrom = region.BaseAddress;
    player.readableTo = region.BaseAddress + region.RegionSize;
    return true;
}

// Reads the text at the address, of units of one or two bytes, up to its terminator, a page at
// most at a time; its length in units, cut at the capacity, or -1 when unreadable memory comes
// first.
int ReadText(Player& player, std::uintptr_t address, unsigned char* text, int capacity, int unit) {
    const int bytes = capacity * unit;
    for (int length = 0; length < bytes;) {
        const std::uintptr_t at = address + length;
        if (!Readable(player, at)) return -1;
        std::uintptr_t end = (at | (PageSize - 1)) + 1;
        if (end > player.readableTo) end = player.readableTo;
        int piece = static_cast<int>(end - at);
        if (piece > bytes - length) piece = bytes - length;
        std::size_t read = 0;
        if (!ReadProcessMemory(player.process, at, text + length, piece, &read) ||
            read != static_cast<std::size_t>(piece))
            return -1;
        for (const int end = length + piece; length < end; length += unit)
            if (text[length] == 0 && text[length + unit - 1] == 0) return length / unit;
    }
    return capacity;
}

// The address the player gave, as an address in its memory; 0 for one that is none. A 32-bit
// player's reaches a 64-bit caller sign-extended; a 64-bit player's never has a high half of
// ones, which is the kernel's.
std::uintptr_t Address(std::uintptr_t answer, bool wide) {
    if (HighHalf(answer) == LowHalf) answer &= LowHalf;
    const bool odd = wide && (answer & 1) != 0;
    return answer < LowestAddress || odd ? 0 : answer;
}

void AppendAt(Line& line, Player& player, std::uintptr_t answer, bool wide) {
    const std::uintptr_t address = Address(answer, wide);
    if (address == 0 || !OpenPlayer(player)) return;
    WCHAR text[LongestEntry];
    int length;
    if (wide) {
        length = ReadText(player, address, reinterpret_cast<unsigned char*>(text), LongestEntry,
                          sizeof(WCHAR));
    } else {
        char ansi[LongestEntry];
        length = ReadText(player, address, reinterpret_cast<unsigned char*>(ansi), LongestEntry, 1);
        if (length > 0) length = MultiByteToWideChar(CP_ACP, 0, ansi, length, text, LongestEntry);
    }
    if (length > 0) AppendWide(line, text, text + length);
}

}  // namespace

std::uintptr_t AppendEntry(Line& line, Player& player, std::int32_t index, EntryText which) {
    const int text = static_cast<int>(which);
    std::uintptr_t answer = AskAddress(player, index, WideQuestion[text]);
    const bool wide = answer != static_cast<std::uintptr_t>(NotSupported);
    if (!wide) answer = AskAddress(player, index, AnsiQuestion[text]);
    AppendAt(line, player, answer, wide);
    return answer;
}

// Reading twice, with the index asked between, catches the list changing meanwhile, and another
// program asking for another entry where the player keeps one text for every answer; the
// address must hold too.
void ReadCurrentEntry(Line& line, Player& player, std::int32_t index, EntryText which) {
    for (int attempt = 0; attempt < CurrentEntryTries; ++attempt) {
        line.length = 0;
        const std::uintptr_t address = AppendEntry(line, player, index, which);
        const std::int32_t indexAgain = Ask(player, 0, ListPosition);
        Line again;
        again.length = 0;
        if (indexAgain == index && AppendEntry(again, player, index, which) == address &&
            SameLine(line, again))
            return;
        index = indexAgain;
    }
    line.length = 0;
}

void AddToPlaylist(Player& player, const WCHAR* entry, int length) {
    const COPYDATASTRUCT data = {AddFileW, static_cast<unsigned>((length + 1) * sizeof(WCHAR)),
                                 entry};
    SendData(player, player.window, data);
}

bool InsertInPlaylist(Player& player, const WCHAR* entry, int length, std::int32_t index) {
    if (length >= InsertedPathCapacity) return false;
    InsertedFile inserted;
    for (int at = 0; at <= length; ++at)  // with its terminator
        inserted.file[at] = entry[at];
    inserted.index = index;
    const COPYDATASTRUCT data = {InsertFileW, sizeof inserted, &inserted};
    SendData(player, FindPlaylist(player), data);
    return true;
}
