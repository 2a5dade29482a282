// The desktop operations Tunedesk relies on, under their Windows names and free of <windows.h>.
// On Windows desktop.cpp forwards each one to the system; the host tests link a recording double.
#pragma once

#include <cstddef>
#include <cstdint>

// The calling convention of the functions Windows calls back: stdcall on 32-bit x86.
#if defined(__i386__)
#define DESKTOP_CALLBACK __attribute__((stdcall))
#else
#define DESKTOP_CALLBACK
#endif

namespace desktop {

struct Window;  // opaque: only the window system knows what a window is
struct Module;
struct Object;
struct Hook;
using HWND = Window*;
using HWINEVENTHOOK = Hook*;
using HINSTANCE = Module*;
using HANDLE = Object*;
using WCHAR = char16_t;  // a UTF-16 unit, as Windows' wide operations take it

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned STD_OUTPUT_HANDLE = static_cast<unsigned>(-11);
inline constexpr unsigned STD_ERROR_HANDLE = static_cast<unsigned>(-12);
inline constexpr unsigned ATTACH_PARENT_PROCESS = static_cast<unsigned>(-1);
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned CP_ACP = 0;  // the system's ANSI code page
inline constexpr unsigned CP_UTF8 = 65001;
inline constexpr unsigned WC_NO_BEST_FIT_CHARS = 0x400;  // no look-alike letters: say it's lost
inline constexpr unsigned INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr unsigned WinExecFirstSuccess = 32;  // WinExec results below this are errors

inline constexpr int MAX_PATH = 260;  // the settings reader opens no longer path
inline constexpr std::intptr_t INVALID_HANDLE_VALUE = -1;

// GetStdHandle gives none or INVALID_HANDLE_VALUE where there is no such handle.
inline bool IsUsable(HANDLE handle) {
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(handle);
    return value != 0 && value != INVALID_HANDLE_VALUE;
}

// Waiting on the player, standard input and the window events at once, when following.
inline constexpr unsigned WM_NULL = 0x0000, WM_APP = 0x8000;
inline constexpr unsigned PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001;
inline constexpr unsigned SMTO_NORMAL = 0x0000, SMTO_ABORTIFHUNG = 0x0002;
inline constexpr unsigned STD_INPUT_HANDLE = static_cast<unsigned>(-10), SYNCHRONIZE = 0x00100000;
inline constexpr unsigned WAIT_OBJECT_0 = 0, QS_ALLINPUT = 0x04FF;  // as Windows 7 knows it
inline constexpr unsigned EVENT_OBJECT_CREATE = 0x8000, EVENT_OBJECT_NAMECHANGE = 0x800C;
inline constexpr unsigned WINEVENT_OUTOFCONTEXT = 0x0000, WINEVENT_SKIPOWNPROCESS = 0x0002;
inline constexpr long OBJID_WINDOW = 0, CHILDID_SELF = 0;

// Choosing what plays: files handed to the player, and its strings read from its memory.
inline constexpr unsigned WM_COPYDATA = 0x004A;
struct COPYDATASTRUCT {
    std::uintptr_t dwData;
    unsigned cbData;
    const void* lpData;
};
inline constexpr unsigned PROCESS_VM_READ = 0x0010, PROCESS_QUERY_INFORMATION = 0x0400;
inline constexpr unsigned MEM_COMMIT = 0x1000, PAGE_GUARD = 0x100;
// Memory reserved in the player's process for a question that takes a structure.
inline constexpr unsigned PROCESS_VM_OPERATION = 0x0008, PROCESS_VM_WRITE = 0x0020;
inline constexpr unsigned MEM_RESERVE = 0x2000, MEM_RELEASE = 0x8000, PAGE_READWRITE = 0x04;
// Any of these protections can be read.
inline constexpr unsigned PAGE_READABLE = 0x02 | 0x04 | 0x08 | 0x20 | 0x40 | 0x80;
struct MEMORY_BASIC_INFORMATION {
    std::uintptr_t BaseAddress;
    std::uintptr_t AllocationBase;
    unsigned AllocationProtect;
    std::size_t RegionSize;
    unsigned State;
    unsigned Protect;
    unsigned Type;
};

// The longest text Windows hands over, such as a command line or a module path, is 32,767
// UTF-16 units; in an ANSI code page each unit takes at most three bytes.
inline constexpr int LongestWideText = 32767;
inline constexpr int LongestText = 3 * LongestWideText;

[[noreturn]] void ExitProcess(unsigned exitCode);
WCHAR* GetCommandLineW();
unsigned GetModuleFileNameW(HINSTANCE module, WCHAR* buffer, unsigned capacity);
unsigned GetShortPathNameW(const WCHAR* longPath, WCHAR* shortPath, unsigned capacity);
int WideCharToMultiByte(unsigned codePage, unsigned flags, const WCHAR* wide, int wideLength,
                        char* text, int capacity, const char* defaultChar, int* usedDefault);
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* text, int length,
                        WCHAR* wide, int capacity);
unsigned GetFileAttributesW(const WCHAR* fileName);
unsigned GetFullPathNameW(const WCHAR* fileName, unsigned capacity, WCHAR* fullPath,
                          WCHAR** filePart);
unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, unsigned capacity, const char* fileName);
unsigned GetPrivateProfileIntA(const char* section, const char* key, int fallback,
                               const char* fileName);
HWND FindWindowA(const char* className, const char* windowName);
int ShowWindow(HWND window, int command);
int IsWindowVisible(HWND window);
// Zero when the message failed or was not answered within the timeout; the answer goes to result.
std::intptr_t SendMessageTimeoutA(HWND window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeout,
                                  std::uintptr_t* result);
void Sleep(unsigned milliseconds);
unsigned WinExec(const char* commandLine, int show);
int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type);
int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, unsigned type);
HANDLE GetStdHandle(unsigned which);
int WriteFile(HANDLE file, const void* data, unsigned length, unsigned* written, void* overlapped);
int AttachConsole(unsigned processId);
// Fails for anything but a console.
int WriteConsoleW(HANDLE console, const WCHAR* text, unsigned length, unsigned* written,
                  void* reserved);
int GetWindowTextW(HWND window, WCHAR* text, int capacity);

// Following the player: a thread that reads standard input, the window events that say the
// player appeared or retitled itself, and its process, whose handle is signalled when it ends.
struct MSG {
    HWND window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    unsigned time;
    std::int32_t x, y;  // where the pointer was
};
using THREAD_START_ROUTINE = unsigned long DESKTOP_CALLBACK (*)(void* parameter);
using WINEVENTPROC = void DESKTOP_CALLBACK (*)(HWINEVENTHOOK hook, unsigned event, HWND window,
                                               long object, long child, unsigned thread,
                                               unsigned time);
int ReadFile(HANDLE file, void* data, unsigned length, unsigned* read, void* overlapped);
HANDLE CreateThread(void* security, std::size_t stackSize, THREAD_START_ROUTINE start,
                    void* parameter, unsigned flags, unsigned* threadId);
unsigned GetCurrentThreadId();
int PostThreadMessageA(unsigned threadId, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam);
int PeekMessageA(MSG* message, HWND window, unsigned first, unsigned last, unsigned remove);
unsigned MsgWaitForMultipleObjects(unsigned count, const HANDLE* handles, int waitAll,
                                   unsigned milliseconds, unsigned wakeMask);
HWINEVENTHOOK SetWinEventHook(unsigned eventMin, unsigned eventMax, HINSTANCE module,
                              WINEVENTPROC callback, unsigned processId, unsigned threadId,
                              unsigned flags);
unsigned GetWindowThreadProcessId(HWND window, unsigned* processId);
HANDLE OpenProcess(unsigned access, int inherit, unsigned processId);
int CloseHandle(HANDLE object);
std::size_t VirtualQueryEx(HANDLE process, std::uintptr_t address, MEMORY_BASIC_INFORMATION* region,
                           std::size_t length);
int ReadProcessMemory(HANDLE process, std::uintptr_t address, void* buffer, std::size_t size,
                      std::size_t* read);
std::uintptr_t VirtualAllocEx(HANDLE process, std::uintptr_t address, std::size_t size,
                              unsigned allocationType, unsigned protect);
int VirtualFreeEx(HANDLE process, std::uintptr_t address, std::size_t size, unsigned freeType);
int WriteProcessMemory(HANDLE process, std::uintptr_t address, const void* buffer, std::size_t size,
                       std::size_t* written);
int IsWow64Process(HANDLE process, int* wow64);
unsigned GetTickCount();
int lstrcmpiA(const char* first, const char* second);
inline constexpr unsigned FIND_FROMSTART = 0x00400000;
// Where value stands in source, or -1; a length of -1 is up to the terminator.
int FindStringOrdinal(unsigned flags, const WCHAR* source, int sourceLength, const WCHAR* value,
                      int valueLength, int ignoreCase);

// Templates: case as the system's tables have it, and the files beside the one playing.
unsigned CharUpperBuffW(WCHAR* text, unsigned length);
unsigned CharLowerBuffW(WCHAR* text, unsigned length);
inline constexpr unsigned FILE_ATTRIBUTE_DIRECTORY = 0x10;
struct WIN32_FIND_DATAW {
    unsigned dwFileAttributes;
    unsigned times[6];  // creation, last access and last write, two halves each
    unsigned nFileSizeHigh, nFileSizeLow, dwReserved0, dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};
HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found);
int FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found);
int FindClose(HANDLE search);

// Now-playing files, replaced whole: written beside, then moved over the old one.
inline constexpr unsigned GENERIC_WRITE = 0x40000000, CREATE_ALWAYS = 2;
inline constexpr unsigned FILE_ATTRIBUTE_NORMAL = 0x80, MOVEFILE_REPLACE_EXISTING = 0x1;
HANDLE CreateFileW(const WCHAR* fileName, unsigned access, unsigned share, void* security,
                   unsigned creation, unsigned flags, HANDLE templateFile);
int MoveFileExW(const WCHAR* existing, const WCHAR* replaced, unsigned flags);
int DeleteFileW(const WCHAR* fileName);
unsigned GetCurrentProcessId();
// What a standard handle is: only a file or a pipe ends, a character device such as NUL does not.
inline constexpr unsigned FILE_TYPE_DISK = 1, FILE_TYPE_CHAR = 2, FILE_TYPE_PIPE = 3;
unsigned GetFileType(HANDLE file);

// The follower's own hidden window, by which "/FOLLOW=OFF" finds it and tells it to end.
inline constexpr unsigned WM_CLOSE = 0x0010;
using WNDPROC = std::intptr_t DESKTOP_CALLBACK (*)(HWND window, unsigned message,
                                                   std::uintptr_t wParam, std::intptr_t lParam);
struct WNDCLASSW {
    unsigned style;
    WNDPROC lpfnWndProc;
    int cbClsExtra, cbWndExtra;
    HINSTANCE hInstance;
    void *hIcon, *hCursor, *hbrBackground;
    const WCHAR* lpszMenuName;
    const WCHAR* lpszClassName;
};
std::intptr_t DESKTOP_CALLBACK DefWindowProcW(HWND window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam);
unsigned short RegisterClassW(const WNDCLASSW* windowClass);
HWND CreateWindowExW(unsigned exStyle, const WCHAR* className, const WCHAR* windowName,
                     unsigned style, int x, int y, int width, int height, HWND parent, void* menu,
                     HINSTANCE instance, void* parameter);
int DestroyWindow(HWND window);
HWND FindWindowExW(HWND parent, HWND after, const WCHAR* className, const WCHAR* windowName);
int PostMessageW(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Windows' media controls (the System Media Transport Controls) of one window of ours: the
// Windows Runtime class reached through combase.dll, loaded only when asked for, so that the
// program imports no more and runs where the class does not exist. Each call gives its HRESULT,
// negative when it failed. The handlers Windows calls post to the window: a button pressed as
// (message, its MediaButton, 0), a request as (message, its MediaRequest, the value).
using HRESULT = std::int32_t;
struct MediaControls;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr unsigned RO_INIT_MULTITHREADED = 1;
enum class MediaButton : int { Play = 0, Pause = 1, Stop = 2, Next = 6, Previous = 7 };
enum class MediaStatus : int { Closed = 0, Changing = 1, Stopped = 2, Playing = 3, Paused = 4 };
inline constexpr int MediaTypeMusic = 1;
enum class MediaRepeat : int { None = 0, Track = 1, List = 2 };
enum class MusicText : int { Title, Artist, AlbumTitle, AlbumArtist };
// What a request asks: shuffle on or off, a MediaRepeat, a position in milliseconds.
enum class MediaRequest : int { Shuffle = 100, Repeat = 101, Position = 102 };
inline constexpr std::int64_t TicksPerMillisecond = 10000;  // a TimeSpan counts 100 ns

HRESULT RoInitialize(unsigned type);
// The controls for the window, and their display updater.
HRESULT GetForWindow(HWND window, MediaControls** controls);
HRESULT put_IsButtonEnabled(MediaControls* controls, MediaButton button, bool enabled);
HRESULT add_ButtonPressed(MediaControls* controls, HWND window, unsigned message);
HRESULT remove_ButtonPressed(MediaControls* controls);
HRESULT put_IsEnabled(MediaControls* controls, bool enabled);
HRESULT put_PlaybackStatus(MediaControls* controls, MediaStatus status);
HRESULT put_Type(MediaControls* controls, int type);
HRESULT put_MusicText(MediaControls* controls, MusicText property, const WCHAR* text);
// The image file as the thumbnail, through a stream; none clears it.
HRESULT put_Thumbnail(MediaControls* controls, const WCHAR* imageFile);
HRESULT ClearAll(MediaControls* controls);
HRESULT Update(MediaControls* controls);
// ISystemMediaTransportControls2, which Windows 10 has and Wine 10 has not: the timeline, shuffle,
// repeat and their requests.
HRESULT QueryControls2(MediaControls* controls);
HRESULT UpdateTimelineProperties(MediaControls* controls, std::int64_t endTicks,
                                 std::int64_t positionTicks);
HRESULT put_ShuffleEnabled(MediaControls* controls, bool enabled);
HRESULT put_AutoRepeatMode(MediaControls* controls, MediaRepeat mode);
HRESULT add_Requests(MediaControls* controls, HWND window, unsigned message);
HRESULT remove_Requests(MediaControls* controls);
// Releases every object the controls hold.
void ReleaseMediaControls(MediaControls* controls);

// One owner of the media controls in a session: a named mutex, held by the follower's thread.
inline constexpr unsigned WAIT_ABANDONED = 0x80, WAIT_TIMEOUT = 0x102;
HANDLE CreateMutexW(void* security, int initialOwner, const WCHAR* name);
unsigned WaitForSingleObject(HANDLE object, unsigned milliseconds);
int ReleaseMutex(HANDLE mutex);

// A text's length, and a copy of it cut to fit the capacity with its terminator, as lstrlen and
// lstrcpyn give them, in either kind of text, without importing them.
template <typename Char>
constexpr int TextLength(const Char* text) {
    int length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}
template <typename Char>
void CopyText(Char* to, const Char* from, int capacity) {
    int at = 0;
    for (; at < capacity - 1 && from[at] != 0; ++at)
        to[at] = from[at];
    to[at] = 0;
}

}  // namespace desktop
