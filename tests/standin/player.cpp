// A stand-in for the media player in the acceptance tests. It opens a shown top-level window of
// the class named on its command line (default "Winamp v1.x") and appends to standin.log, beside
// its executable, one line per WM_COMMAND, per setting sent through WM_USER ("ipc ID VALUE") and
// per change of visibility, in the order received. When asked to close it logs its final state.
//
// It answers the player's WM_USER queries from a state that standin.ini beside it may set
// ([Player]: Status 0/1/3, Position and Length in ms, Volume 0..255, Shuffle, Repeat, Track from
// 0, Titles and Files separated by "|", or Entries=N for N made-up ones, Numbers 0 to leave the
// playlist number out of the caption), keeps its caption in the player's format, and plays,
// pauses, stops and changes track on command. Its playlist lies in its own memory, as the
// player's does: it answers 211 to 214 with the address of an entry's file or title, adds the
// files that WM_COPYDATA hands it (logged as "add FILE") and empties the list on 101. Ansi=1
// makes it a player too old for the UTF-16 questions, which it answers with 1; Lie=unreadable
// makes it answer them with an address that can't be read, Lie=unterminated with one of a text
// that runs into memory that can't be read, Lie=guard with one of a text in a guard page.
// Its window is a Unicode one, as the player's is; standin.ini is saved as UTF-8 with a mark, so
// that titles in any language reach the caption whole. While playing, the position moves on with
// the clock where Clock=1 says so. When standin.ini changes it reads its state afresh, so that a
// scenario can change the player behind Tunedesk's back; Hang=1 there makes it stop answering
// altogether.
// 3026 reads an entry's tags from Artists, Albums, AlbumArtists, Years and Genres, separated by
// "|" as Titles are, through the structure at the address it is given, in its own bitness;
// Tags=0 makes it a player without that question. Rating sets the current entry's rating, which
// 640 answers and 639 sets. Scroll=1 rotates the caption by a character every 150 ms, as the
// player's "Scroll title in the Windows taskbar" does.
// Its playlist window, whose handle 260 gives, inserts the file of a WM_COPYDATA 114 at its index
// (logged as "insert INDEX FILE") and removes the entry a WM_USER 104 names ("remove INDEX").
// PlaylistWindow=0 makes it an older player, which answers 260 as any message it does not know;
// Slowly=MS makes it answer each question that late.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "player_model.h"

namespace {

constexpr UINT_PTR ReloadTimer = 1;
constexpr UINT ReloadPoll = 50;  // ms
constexpr UINT_PTR ScrollTimer = 2;
constexpr UINT ScrollStep = 150;                         // ms, as the player scrolls
constexpr wchar_t ScrollGap[] = L" *** ";                // between the caption's turns
constexpr char StandInProperty[] = "Tunedesk stand-in";  // how the harness finds every stand-in

char logPath[32768];  // the tests put players in folders deeper than MAX_PATH
const char* lastState = "";
bool closed = false;

// The tags 3026 answers, by the player's names for them, and the standin.ini keys they come from.
constexpr struct {
    const wchar_t* name;
    const wchar_t* key;
} TagKeys[] = {{L"artist", L"Artists"},
               {L"album", L"Albums"},
               {L"albumartist", L"AlbumArtists"},
               {L"year", L"Years"},
               {L"genre", L"Genres"}};
constexpr int TagCount = sizeof TagKeys / sizeof *TagKeys;

struct Entry {
    std::wstring file, title;
    std::string ansiFile, ansiTitle;  // in the ANSI code page, for 211 and 212
    std::wstring tags[TagCount];      // empty: not filled
};

struct Player {
    PlayerModel model;
    DWORD movedAt;  // when the position last moved on
    bool clock;     // the position moves on while playing
    int numbers;
    bool ansi;  // answers only the ANSI questions
    bool tags;  // answers 3026
    bool scroll;
    int slowly;    // milliseconds before it answers each question
    int scrolled;  // characters the caption has turned by
    std::wstring lie;
    std::vector<Entry> entries;
} player;
wchar_t settings[32768];
FILETIME loadedAt;  // standin.ini's time when it was read

// While playing, the position is where the clock has taken it.
void MoveOn() {
    const DWORD now = GetTickCount();
    if (player.clock && player.model.status == Playing)
        player.model.position += now - player.movedAt;
    player.movedAt = now;
}

// Kept open, each line written through at once, so that a player that is killed has logged all
// it received and logging costs a follower's measurements little.
void Log(const char* line) {
    static FILE* log = std::fopen(logPath, "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", line);
    std::fflush(log);
}

FILETIME WrittenAt() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(settings, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

std::wstring Text(const wchar_t* key) {
    static wchar_t text[1 << 16];
    GetPrivateProfileStringW(L"Player", key, L"", text, 1 << 16, settings);
    return text;
}

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> parts;
    for (size_t at = 0; !text.empty() && at <= text.size();) {
        const size_t bar = std::min(text.find(L'|', at), text.size());
        parts.push_back(text.substr(at, bar - at));
        at = bar + 1;
    }
    return parts;
}

// The text in the ANSI code page or UTF-8.
std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP) {
    std::string narrow(4 * text.size() + 1, '\0');
    narrow.resize(WideCharToMultiByte(codePage, 0, text.c_str(), -1, narrow.data(), narrow.size(),
                                      nullptr, nullptr) -
                  1);
    return narrow;
}

void Add(const std::wstring& file, const std::wstring& title) {
    player.entries.push_back({file, title, Narrow(file), Narrow(title), {}});
}

// The title the player shows for a file before reading its tags: its name without folder or
// extension.
std::wstring TitleOf(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

void LoadState() {
    loadedAt = WrittenAt();
    player.movedAt = GetTickCount();
    const auto number = [&](const wchar_t* key, int fallback) {
        return static_cast<int>(GetPrivateProfileIntW(L"Player", key, fallback, settings));
    };
    PlayerModel& model = player.model;
    model = PlayerModel{};  // what the file leaves out takes its default, however often it is read
    model.status = number(L"Status", model.status);
    model.position = number(L"Position", model.position);
    model.length = number(L"Length", model.length);
    model.volume = number(L"Volume", model.volume);
    model.shuffle = number(L"Shuffle", model.shuffle);
    model.repeat = number(L"Repeat", model.repeat);
    model.track = number(L"Track", model.track);
    player.numbers = number(L"Numbers", 1);
    player.clock = number(L"Clock", 0) == 1;
    player.ansi = number(L"Ansi", 0) == 1;
    player.tags = number(L"Tags", 1) == 1;
    player.scroll = number(L"Scroll", 0) == 1;
    player.slowly = number(L"Slowly", 0);
    model.playlistWindow = number(L"PlaylistWindow", 1) == 1;
    model.rating = number(L"Rating", model.rating);
    player.lie = Text(L"Lie");
    player.entries.clear();
    const std::vector<std::wstring> titles = Split(Text(L"Titles")), files = Split(Text(L"Files"));
    for (size_t at = 0; at < titles.size(); ++at)
        Add(at < files.size() ? files[at] : L"C:\\Music\\" + titles[at] + L".mp3", titles[at]);
    for (int made = 0, count = number(L"Entries", 0); made < count; ++made) {
        const std::wstring name = L"Track " + std::to_wstring(made + 1);
        Add(L"C:\\Music\\" + name + L".mp3", L"Artist - " + name);
    }
    for (int tag = 0; tag < TagCount; ++tag) {
        const std::vector<std::wstring> values = Split(Text(TagKeys[tag].key));
        for (size_t at = 0; at < values.size() && at < player.entries.size(); ++at)
            player.entries[at].tags[tag] = values[at];
    }
    model.tracks = static_cast<std::int32_t>(player.entries.size());
    if (model.track >= model.tracks) model.track = 0;
}

void ShowCaption(HWND window) {
    static wchar_t caption[8192];
    const PlayerModel& model = player.model;
    if (model.tracks == 0) {
        std::wcscpy(caption, L"Winamp 5.9.2 Build 10042");
    } else {
        caption[0] = L'\0';
        if (player.numbers)
            std::wcscat(caption, std::to_wstring(model.track + 1).append(L". ").c_str());
        std::wcscat(caption, player.entries[model.track].title.c_str());
        std::wcscat(caption, L" - Winamp");
        std::wcscat(caption, model.status == Playing  ? L""
                             : model.status == Paused ? L" [Paused]"
                                                      : L" [Stopped]");
    }
    if (!player.scroll) {
        SetWindowTextW(window, caption);
        return;
    }
    const std::wstring turning = caption + std::wstring(ScrollGap);
    const size_t at = player.scrolled % turning.size();
    SetWindowTextW(window, (turning.substr(at) + turning.substr(0, at)).c_str());
}

// 3026: the tag that the structure at the address names, of the entry whose file it names, cut
// to the room it gives; 0 for a file or tag the player has not.
LRESULT TagAnswer(WPARAM address) {
    struct FileInfo {
        const wchar_t* filename;
        const wchar_t* metadata;
        wchar_t* ret;
        size_t retlen;
    };
    const FileInfo& info = *reinterpret_cast<const FileInfo*>(address);
    for (const Entry& entry : player.entries) {
        if (entry.file != info.filename) continue;
        for (int tag = 0; tag < TagCount; ++tag) {
            if (std::wcscmp(info.metadata, TagKeys[tag].name) != 0 || entry.tags[tag].empty())
                continue;
            lstrcpynW(info.ret, entry.tags[tag].c_str(), static_cast<int>(info.retlen));
            return 1;
        }
    }
    return 0;
}

HWND mainWindow, playlistWindow;

// The entry at index goes; the current one stays the one playing, or the next after it.
void Remove(std::int32_t index) {
    char line[64];
    std::snprintf(line, sizeof line, "remove %d", index);
    Log(line);
    PlayerModel& model = player.model;
    if (index < 0 || index >= model.tracks) return;
    player.entries.erase(player.entries.begin() + index);
    model.tracks = static_cast<std::int32_t>(player.entries.size());
    if (index < model.track || model.track >= model.tracks)
        model.track = std::max(model.track - 1, 0);
    ShowCaption(mainWindow);
}

void Insert(const InsertedFile& inserted) {
    const std::wstring file(reinterpret_cast<const wchar_t*>(inserted.file));
    Log(("insert " + std::to_string(inserted.index) + " " + Narrow(file, CP_UTF8)).c_str());
    PlayerModel& model = player.model;
    const std::int32_t at = std::clamp(inserted.index, 0, model.tracks);
    player.entries.insert(player.entries.begin() + at,
                          {file, TitleOf(file), Narrow(file), Narrow(TitleOf(file)), {}});
    model.tracks = static_cast<std::int32_t>(player.entries.size());
    if (at <= model.track && model.tracks > 1) ++model.track;
    ShowCaption(mainWindow);
}

LRESULT CALLBACK PlaylistProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER && wParam == RemoveEntry) {
        Remove(static_cast<std::int32_t>(lParam));
        return 0;
    }
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (message == WM_COPYDATA && data->dwData == InsertFileW &&
        data->cbData == sizeof(InsertedFile)) {
        Insert(*static_cast<const InsertedFile*>(data->lpData));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Command(HWND window, WPARAM command) {
    char line[64];
    std::snprintf(line, sizeof line, "command %llu", (unsigned long long)command);
    Log(line);
    MoveOn();
    CarryOutCommand(player.model, command);
    ShowCaption(window);
}

// A whole text in a guard page: readable, but the first touch would raise the guard.
const wchar_t* GuardedText() {
    static wchar_t* page = nullptr;
    if (page == nullptr) {
        page = static_cast<wchar_t*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
        std::wcscpy(page, L"guarded");
        DWORD old;
        VirtualProtect(page, 4096, PAGE_READWRITE | PAGE_GUARD, &old);
    }
    return page;
}

// The memory a lying player hands out: a page that was never committed, a text of one page
// that runs into a page that can't be read, and a text in a guard page.
LRESULT LyingAddress() {
    static char* pages = nullptr;
    if (pages == nullptr) {
        pages = static_cast<char*>(VirtualAlloc(nullptr, 3 * 4096, MEM_RESERVE, PAGE_NOACCESS));
        VirtualAlloc(pages, 2 * 4096, MEM_COMMIT, PAGE_READWRITE);
        std::wmemset(reinterpret_cast<wchar_t*>(pages), L'x', 4096 / sizeof(wchar_t));
        DWORD old;
        VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old);
    }
    if (player.lie == L"guard") return reinterpret_cast<LRESULT>(GuardedText());
    return reinterpret_cast<LRESULT>(player.lie == L"unreadable" ? pages + 2 * 4096 : pages);
}

// The address of an entry's file or title, as 211 to 214 answer it.
LRESULT EntryAnswer(std::int32_t index, LPARAM id) {
    const bool wide = id == GetPlaylistTitleW || id == GetPlaylistFileW;
    if (wide && player.ansi) return UnknownMessage;
    if (!player.lie.empty()) return LyingAddress();
    if (index < 0 || index >= static_cast<std::int32_t>(player.entries.size())) return 0;
    const Entry& entry = player.entries[index];
    switch (id) {
        case GetPlaylistFile:
            return reinterpret_cast<LRESULT>(entry.ansiFile.c_str());
        case GetPlaylistTitle:
            return reinterpret_cast<LRESULT>(entry.ansiTitle.c_str());
        case GetPlaylistTitleW:
            return reinterpret_cast<LRESULT>(entry.title.c_str());
        default:
            return reinterpret_cast<LRESULT>(entry.file.c_str());
    }
}

// Carries out one WM_USER call; settings are logged with their value as the player reads it.
LRESULT Ipc(HWND window, WPARAM wParam, LPARAM id) {
    const std::int32_t data = static_cast<std::int32_t>(wParam);  // the player is 32-bit
    if (IsSetting(id, data)) {
        char line[64];
        std::snprintf(line, sizeof line, "ipc %d %d", static_cast<int>(id), data);
        Log(line);
    } else if (player.slowly > 0) {
        Sleep(player.slowly);  // a question answered late, as a busy player answers it
    }
    MoveOn();
    if (id >= GetPlaylistFile && id <= GetPlaylistFileW) return EntryAnswer(data, id);
    if (id == GetFileInfoW && player.tags) return TagAnswer(wParam);
    if (id == GetWindowHandle && data == PlaylistWindow && player.model.playlistWindow)
        return reinterpret_cast<LRESULT>(playlistWindow);
    if (id == ClearPlaylist) player.entries.clear();
    const std::int32_t answer = AnswerUserMessage(player.model, data, id);
    if (id == SetListPosition || id == ClearPlaylist) ShowCaption(window);
    return answer;
}

// A file or URL handed over: added to the end of the list, titled by its name.
LRESULT CopyData(HWND window, const COPYDATASTRUCT& data) {
    std::wstring file;
    if (data.dwData == AddFileW) {
        file.assign(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    } else if (data.dwData == AddFile) {
        const std::string ansi(static_cast<const char*>(data.lpData), data.cbData);
        file.resize(ansi.size());
        file.resize(
            MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), ansi.size(), file.data(), file.size()));
    } else {
        return 0;
    }
    if (!file.empty() && file.back() == L'\0') file.pop_back();
    Log(("add " + Narrow(file, CP_UTF8)).c_str());
    Add(file, TitleOf(file));
    player.model.tracks = static_cast<std::int32_t>(player.entries.size());
    ShowCaption(window);
    return 1;
}

const char* StateOf(HWND window) {
    if (!IsWindowVisible(window)) return "hidden";
    return IsIconic(window) ? "minimised" : "shown";
}

void LogStateChange(HWND window) {
    if (closed) return;  // being destroyed hides the window: not a change anyone asked for
    const char* state = StateOf(window);
    if (std::strcmp(state, lastState) == 0) return;
    lastState = state;
    Log(state);
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char line[64];
    switch (message) {
        case WM_COMMAND:
            Command(window, wParam);
            return 0;
        case WM_USER:
            return Ipc(window, wParam, lParam);
        case WM_COPYDATA:
            return CopyData(window, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_WINDOWPOSCHANGED:
            LogStateChange(window);
            break;
        case WM_TIMER: {
            if (wParam == ScrollTimer) {
                ++player.scrolled;
                if (player.scroll) ShowCaption(window);
                return 0;
            }
            const FILETIME written = WrittenAt();
            if (CompareFileTime(&loadedAt, &written) == 0) return 0;
            LoadState();
            ShowCaption(window);
            if (GetPrivateProfileIntW(L"Player", L"Hang", 0, settings)) Sleep(INFINITE);
            return 0;
        }
        case WM_CLOSE:
            std::snprintf(line, sizeof line, "closed %s, %s",
                          IsWindowVisible(window) ? "visible" : "invisible",
                          IsIconic(window) ? "minimised" : "not minimised");
            Log(line);
            closed = true;
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* className = __argc > 1 ? __argv[1] : "Winamp v1.x";
    GetModuleFileNameA(nullptr, logPath, sizeof logPath);
    char* name = std::strrchr(logPath, '\\');
    name = name != nullptr ? name + 1 : logPath;
    std::strcpy(name, "standin.log");
    GetModuleFileNameW(nullptr, settings, 32768);
    std::wcscpy(std::wcsrchr(settings, L'\\') + 1, L"standin.ini");
    LoadState();

    const std::wstring wideClass(className, className + std::strlen(className));
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = wideClass.c_str();
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(wideClass.c_str(), L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    mainWindow = window;
    WNDCLASSW playlistClass = {};
    playlistClass.lpfnWndProc = PlaylistProc;
    playlistClass.hInstance = instance;
    playlistClass.lpszClassName = L"Winamp PE";  // the player's playlist window
    RegisterClassW(&playlistClass);
    playlistWindow = CreateWindowW(L"Winamp PE", L"Winamp Playlist Editor", WS_OVERLAPPED, 0, 0,
                                   100, 100, nullptr, nullptr, instance, nullptr);
    SetPropA(window, StandInProperty, reinterpret_cast<HANDLE>(1));
    ShowCaption(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, ReloadTimer, ReloadPoll, nullptr);
    SetTimer(window, ScrollTimer, ScrollStep, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
