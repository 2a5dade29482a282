// The desktop operations on Windows: each forwards to the system call of the same name.
// Our header comes first, since <windows.h> defines macros named like our constants.
#include "desktop/desktop.h"

namespace {
constexpr int ourHide = desktop::SW_HIDE;
constexpr int ourShowNormal = desktop::SW_SHOWNORMAL;
constexpr int ourMinimize = desktop::SW_MINIMIZE;
constexpr int ourShowDefault = desktop::SW_SHOWDEFAULT;
constexpr unsigned ourCommand = desktop::WM_COMMAND;
constexpr unsigned ourUtf8 = desktop::CP_UTF8;
constexpr unsigned ourUser = desktop::WM_USER;
constexpr unsigned ourStdOutput = desktop::STD_OUTPUT_HANDLE;
constexpr unsigned ourStdError = desktop::STD_ERROR_HANDLE;
constexpr unsigned ourFromStart = desktop::FIND_FROMSTART;
constexpr unsigned ourParent = desktop::ATTACH_PARENT_PROCESS;
constexpr unsigned ourOk = desktop::MB_OK;
constexpr unsigned ourExclamation = desktop::MB_ICONEXCLAMATION;
constexpr unsigned ourInformation = desktop::MB_ICONINFORMATION;
constexpr unsigned ourAnsiPage = desktop::CP_ACP;
constexpr unsigned ourNoBestFit = desktop::WC_NO_BEST_FIT_CHARS;
constexpr unsigned ourNoAttributes = desktop::INVALID_FILE_ATTRIBUTES;
constexpr int ourMaxPath = desktop::MAX_PATH;
constexpr unsigned ourNull = desktop::WM_NULL, ourApp = desktop::WM_APP;
constexpr unsigned ourAbortIfHung = desktop::SMTO_ABORTIFHUNG, ourNormal = desktop::SMTO_NORMAL;
constexpr unsigned ourStdInput = desktop::STD_INPUT_HANDLE, ourSynchronize = desktop::SYNCHRONIZE;
constexpr unsigned ourWaitObject = desktop::WAIT_OBJECT_0, ourAllInput = desktop::QS_ALLINPUT;
constexpr unsigned ourKeep = desktop::PM_NOREMOVE, ourRemove = desktop::PM_REMOVE,
                   ourCreate = desktop::EVENT_OBJECT_CREATE;
constexpr unsigned ourNameChange = desktop::EVENT_OBJECT_NAMECHANGE;
constexpr unsigned ourOutOfContext = desktop::WINEVENT_OUTOFCONTEXT;
constexpr unsigned ourSkipOwnProcess = desktop::WINEVENT_SKIPOWNPROCESS;
constexpr long ourWindowObject = desktop::OBJID_WINDOW, ourSelf = desktop::CHILDID_SELF;
constexpr unsigned ourCopyData = desktop::WM_COPYDATA, ourVmRead = desktop::PROCESS_VM_READ;
constexpr unsigned ourQuery = desktop::PROCESS_QUERY_INFORMATION, ourCommit = desktop::MEM_COMMIT;
constexpr unsigned ourGuard = desktop::PAGE_GUARD;
constexpr unsigned ourVmOperation = desktop::PROCESS_VM_OPERATION;
constexpr unsigned ourVmWrite = desktop::PROCESS_VM_WRITE, ourReserve = desktop::MEM_RESERVE;
constexpr unsigned ourRelease = desktop::MEM_RELEASE, ourReadWrite = desktop::PAGE_READWRITE;
constexpr unsigned ourDirectory = desktop::FILE_ATTRIBUTE_DIRECTORY;
constexpr unsigned ourWrite = desktop::GENERIC_WRITE, ourCreateAlways = desktop::CREATE_ALWAYS;
constexpr unsigned ourNormalFile = desktop::FILE_ATTRIBUTE_NORMAL;
constexpr unsigned ourReplace = desktop::MOVEFILE_REPLACE_EXISTING;
constexpr unsigned ourDisk = desktop::FILE_TYPE_DISK, ourChar = desktop::FILE_TYPE_CHAR,
                   ourPipe = desktop::FILE_TYPE_PIPE, ourClose = desktop::WM_CLOSE;
}  // namespace

#include <windows.h>

#include <cstddef>

static_assert(ourHide == SW_HIDE && ourShowNormal == SW_SHOWNORMAL && ourMinimize == SW_MINIMIZE);
static_assert(ourCommand == WM_COMMAND && ourOk == MB_OK && ourExclamation == MB_ICONEXCLAMATION);
static_assert(ourMaxPath == MAX_PATH && ourShowDefault == SW_SHOWDEFAULT);
static_assert(ourInformation == MB_ICONINFORMATION && ourAnsiPage == CP_ACP);
static_assert(ourNoBestFit == WC_NO_BEST_FIT_CHARS && ourNoAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(sizeof(wchar_t) == sizeof(desktop::WCHAR));
static_assert(ourUtf8 == CP_UTF8 && ourUser == WM_USER);
static_assert(ourStdOutput == STD_OUTPUT_HANDLE && ourParent == ATTACH_PARENT_PROCESS &&
              ourStdError == STD_ERROR_HANDLE && ourFromStart == FIND_FROMSTART);
static_assert(ourNull == WM_NULL && ourApp == WM_APP && ourAbortIfHung == SMTO_ABORTIFHUNG);
static_assert(ourNormal == SMTO_NORMAL && ourKeep == PM_NOREMOVE);
static_assert(ourStdInput == STD_INPUT_HANDLE && ourSynchronize == SYNCHRONIZE);
static_assert(ourWaitObject == WAIT_OBJECT_0 && (ourAllInput & QS_ALLINPUT) == ourAllInput &&
              ourRemove == PM_REMOVE);
static_assert(ourCreate == EVENT_OBJECT_CREATE && ourNameChange == EVENT_OBJECT_NAMECHANGE);
static_assert(ourOutOfContext == WINEVENT_OUTOFCONTEXT &&
              ourSkipOwnProcess == WINEVENT_SKIPOWNPROCESS);
static_assert(ourWindowObject == OBJID_WINDOW && ourSelf == CHILDID_SELF);
static_assert(sizeof(desktop::MSG) == sizeof(::MSG) && sizeof(unsigned long) == sizeof(DWORD));
static_assert(ourCopyData == WM_COPYDATA && ourVmRead == PROCESS_VM_READ &&
              ourQuery == PROCESS_QUERY_INFORMATION && ourCommit == MEM_COMMIT &&
              ourGuard == PAGE_GUARD);
static_assert(ourVmOperation == PROCESS_VM_OPERATION && ourVmWrite == PROCESS_VM_WRITE &&
              ourReserve == MEM_RESERVE && ourRelease == MEM_RELEASE &&
              ourReadWrite == PAGE_READWRITE);
static_assert(desktop::PAGE_READABLE ==
              (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY));
static_assert(sizeof(desktop::COPYDATASTRUCT) == sizeof(::COPYDATASTRUCT) &&
              offsetof(desktop::COPYDATASTRUCT, lpData) == offsetof(::COPYDATASTRUCT, lpData));
static_assert(sizeof(desktop::MEMORY_BASIC_INFORMATION) == sizeof(::MEMORY_BASIC_INFORMATION) &&
              offsetof(desktop::MEMORY_BASIC_INFORMATION, RegionSize) ==
                  offsetof(::MEMORY_BASIC_INFORMATION, RegionSize) &&
              offsetof(desktop::MEMORY_BASIC_INFORMATION, Protect) ==
                  offsetof(::MEMORY_BASIC_INFORMATION, Protect));

static_assert(ourDirectory == FILE_ATTRIBUTE_DIRECTORY && ourWrite == GENERIC_WRITE &&
              ourCreateAlways == CREATE_ALWAYS && ourNormalFile == FILE_ATTRIBUTE_NORMAL &&
              ourReplace == MOVEFILE_REPLACE_EXISTING);
static_assert(ourDisk == FILE_TYPE_DISK && ourChar == FILE_TYPE_CHAR && ourPipe == FILE_TYPE_PIPE &&
              ourClose == WM_CLOSE);
static_assert(sizeof(desktop::WIN32_FIND_DATAW) == sizeof(::WIN32_FIND_DATAW) &&
              offsetof(desktop::WIN32_FIND_DATAW, cFileName) ==
                  offsetof(::WIN32_FIND_DATAW, cFileName));
static_assert(sizeof(desktop::WNDCLASSW) == sizeof(::WNDCLASSW) &&
              offsetof(desktop::WNDCLASSW, lpszClassName) == offsetof(::WNDCLASSW, lpszClassName));

namespace desktop {

namespace {
::HWND Real(HWND window) { return reinterpret_cast<::HWND>(window); }
wchar_t* Real(WCHAR* text) { return reinterpret_cast<wchar_t*>(text); }
const wchar_t* Real(const WCHAR* text) { return reinterpret_cast<const wchar_t*>(text); }
::HANDLE Real(HANDLE object) { return reinterpret_cast<::HANDLE>(object); }
}  // namespace

void ExitProcess(unsigned exitCode) { ::ExitProcess(exitCode); }

WCHAR* GetCommandLineW() { return reinterpret_cast<WCHAR*>(::GetCommandLineW()); }

unsigned GetModuleFileNameW(HINSTANCE module, WCHAR* buffer, unsigned capacity) {
    return ::GetModuleFileNameW(reinterpret_cast<::HMODULE>(module), Real(buffer), capacity);
}

unsigned GetShortPathNameW(const WCHAR* longPath, WCHAR* shortPath, unsigned capacity) {
    return ::GetShortPathNameW(Real(longPath), Real(shortPath), capacity);
}

int WideCharToMultiByte(unsigned codePage, unsigned flags, const WCHAR* wide, int wideLength,
                        char* text, int capacity, const char* defaultChar, int* usedDefault) {
    return ::WideCharToMultiByte(codePage, flags, Real(wide), wideLength, text, capacity,
                                 defaultChar, usedDefault);
}

int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* text, int length,
                        WCHAR* wide, int capacity) {
    return ::MultiByteToWideChar(codePage, flags, text, length, Real(wide), capacity);
}

unsigned GetFileAttributesW(const WCHAR* fileName) { return ::GetFileAttributesW(Real(fileName)); }

unsigned GetFullPathNameW(const WCHAR* fileName, unsigned capacity, WCHAR* fullPath,
                          WCHAR** filePart) {
    return ::GetFullPathNameW(Real(fileName), capacity, Real(fullPath),
                              reinterpret_cast<wchar_t**>(filePart));
}

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* fallback,
                                  char* buffer, unsigned capacity, const char* fileName) {
    return ::GetPrivateProfileStringA(section, key, fallback, buffer, capacity, fileName);
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int fallback,
                               const char* fileName) {
    return ::GetPrivateProfileIntA(section, key, fallback, fileName);
}

HWND FindWindowA(const char* className, const char* windowName) {
    return reinterpret_cast<HWND>(::FindWindowA(className, windowName));
}

int ShowWindow(HWND window, int command) { return ::ShowWindow(Real(window), command); }

int IsWindowVisible(HWND window) { return ::IsWindowVisible(Real(window)); }

std::intptr_t SendMessageTimeoutA(HWND window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeout,
                                  std::uintptr_t* result) {
    DWORD_PTR answer = 0;
    const LRESULT sent =
        ::SendMessageTimeoutA(Real(window), message, wParam, lParam, flags, timeout, &answer);
    *result = answer;
    return sent;
}

void Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

unsigned WinExec(const char* commandLine, int show) { return ::WinExec(commandLine, show); }

int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type) {
    return ::MessageBoxA(Real(owner), text, caption, type);
}

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, unsigned type) {
    return ::MessageBoxW(Real(owner), Real(text), Real(caption), type);
}

int ReadFile(HANDLE file, void* data, unsigned length, unsigned* read, void* overlapped) {
    DWORD done = 0;
    const BOOL result =
        ::ReadFile(Real(file), data, length, &done, static_cast<OVERLAPPED*>(overlapped));
    *read = done;
    return result;
}

HANDLE CreateThread(void* security, std::size_t stackSize, THREAD_START_ROUTINE start,
                    void* parameter, unsigned flags, unsigned* threadId) {
    DWORD id = 0;
    const ::HANDLE thread =
        ::CreateThread(static_cast<SECURITY_ATTRIBUTES*>(security), stackSize,
                       reinterpret_cast<LPTHREAD_START_ROUTINE>(start), parameter, flags, &id);
    if (threadId != nullptr) *threadId = id;
    return reinterpret_cast<HANDLE>(thread);
}

unsigned GetCurrentThreadId() { return ::GetCurrentThreadId(); }

int PostThreadMessageA(unsigned threadId, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    return ::PostThreadMessageA(threadId, message, wParam, lParam);
}

int PeekMessageA(MSG* message, HWND window, unsigned first, unsigned last, unsigned remove) {
    return ::PeekMessageA(reinterpret_cast<::MSG*>(message), Real(window), first, last, remove);
}

unsigned MsgWaitForMultipleObjects(unsigned count, const HANDLE* handles, int waitAll,
                                   unsigned milliseconds, unsigned wakeMask) {
    return ::MsgWaitForMultipleObjects(count, reinterpret_cast<const ::HANDLE*>(handles), waitAll,
                                       milliseconds, wakeMask);
}

HWINEVENTHOOK SetWinEventHook(unsigned eventMin, unsigned eventMax, HINSTANCE module,
                              WINEVENTPROC callback, unsigned processId, unsigned threadId,
                              unsigned flags) {
    return reinterpret_cast<HWINEVENTHOOK>(
        ::SetWinEventHook(eventMin, eventMax, reinterpret_cast<::HMODULE>(module),
                          reinterpret_cast<::WINEVENTPROC>(callback), processId, threadId, flags));
}

unsigned GetWindowThreadProcessId(HWND window, unsigned* processId) {
    DWORD id = 0;
    const DWORD thread = ::GetWindowThreadProcessId(Real(window), &id);
    *processId = id;
    return thread;
}

HANDLE OpenProcess(unsigned access, int inherit, unsigned processId) {
    return reinterpret_cast<HANDLE>(::OpenProcess(access, inherit, processId));
}

int CloseHandle(HANDLE object) { return ::CloseHandle(Real(object)); }

std::size_t VirtualQueryEx(HANDLE process, std::uintptr_t address, MEMORY_BASIC_INFORMATION* region,
                           std::size_t length) {
    return ::VirtualQueryEx(Real(process), reinterpret_cast<const void*>(address),
                            reinterpret_cast<::MEMORY_BASIC_INFORMATION*>(region), length);
}

int ReadProcessMemory(HANDLE process, std::uintptr_t address, void* buffer, std::size_t size,
                      std::size_t* read) {
    SIZE_T done = 0;
    const BOOL result = ::ReadProcessMemory(Real(process), reinterpret_cast<const void*>(address),
                                            buffer, size, &done);
    *read = done;
    return result;
}

std::uintptr_t VirtualAllocEx(HANDLE process, std::uintptr_t address, std::size_t size,
                              unsigned allocationType, unsigned protect) {
    return reinterpret_cast<std::uintptr_t>(::VirtualAllocEx(
        Real(process), reinterpret_cast<void*>(address), size, allocationType, protect));
}

int VirtualFreeEx(HANDLE process, std::uintptr_t address, std::size_t size, unsigned freeType) {
    return ::VirtualFreeEx(Real(process), reinterpret_cast<void*>(address), size, freeType);
}

int WriteProcessMemory(HANDLE process, std::uintptr_t address, const void* buffer, std::size_t size,
                       std::size_t* written) {
    SIZE_T done = 0;
    const BOOL result =
        ::WriteProcessMemory(Real(process), reinterpret_cast<void*>(address), buffer, size, &done);
    *written = done;
    return result;
}

int IsWow64Process(HANDLE process, int* wow64) {
    BOOL answer = FALSE;
    const BOOL result = ::IsWow64Process(Real(process), &answer);
    *wow64 = answer;
    return result;
}

unsigned GetTickCount() { return ::GetTickCount(); }

HANDLE GetStdHandle(unsigned which) { return reinterpret_cast<HANDLE>(::GetStdHandle(which)); }

int WriteFile(HANDLE file, const void* data, unsigned length, unsigned* written, void* overlapped) {
    DWORD done = 0;
    const BOOL result = ::WriteFile(reinterpret_cast<::HANDLE>(file), data, length, &done,
                                    static_cast<OVERLAPPED*>(overlapped));
    *written = done;
    return result;
}

int AttachConsole(unsigned processId) { return ::AttachConsole(processId); }

int WriteConsoleW(HANDLE console, const WCHAR* text, unsigned length, unsigned* written,
                  void* reserved) {
    DWORD done = 0;
    const BOOL result =
        ::WriteConsoleW(reinterpret_cast<::HANDLE>(console), Real(text), length, &done, reserved);
    *written = done;
    return result;
}

int GetWindowTextW(HWND window, WCHAR* text, int capacity) {
    return ::GetWindowTextW(Real(window), Real(text), capacity);
}

int lstrcmpiA(const char* first, const char* second) { return ::lstrcmpiA(first, second); }

int FindStringOrdinal(unsigned flags, const WCHAR* source, int sourceLength, const WCHAR* value,
                      int valueLength, int ignoreCase) {
    return ::FindStringOrdinal(flags, Real(source), sourceLength, Real(value), valueLength,
                               ignoreCase);
}

unsigned CharUpperBuffW(WCHAR* text, unsigned length) {
    return ::CharUpperBuffW(Real(text), length);
}

unsigned CharLowerBuffW(WCHAR* text, unsigned length) {
    return ::CharLowerBuffW(Real(text), length);
}

HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found) {
    return reinterpret_cast<HANDLE>(
        ::FindFirstFileW(Real(pattern), reinterpret_cast<::WIN32_FIND_DATAW*>(found)));
}

int FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found) {
    return ::FindNextFileW(Real(search), reinterpret_cast<::WIN32_FIND_DATAW*>(found));
}

int FindClose(HANDLE search) { return ::FindClose(Real(search)); }

HANDLE CreateFileW(const WCHAR* fileName, unsigned access, unsigned share, void* security,
                   unsigned creation, unsigned flags, HANDLE templateFile) {
    return reinterpret_cast<HANDLE>(::CreateFileW(Real(fileName), access, share,
                                                  static_cast<SECURITY_ATTRIBUTES*>(security),
                                                  creation, flags, Real(templateFile)));
}

int MoveFileExW(const WCHAR* existing, const WCHAR* replaced, unsigned flags) {
    return ::MoveFileExW(Real(existing), Real(replaced), flags);
}

int DeleteFileW(const WCHAR* fileName) { return ::DeleteFileW(Real(fileName)); }

unsigned GetCurrentProcessId() { return ::GetCurrentProcessId(); }

unsigned GetFileType(HANDLE file) { return ::GetFileType(Real(file)); }

std::intptr_t DESKTOP_CALLBACK DefWindowProcW(HWND window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    return ::DefWindowProcW(Real(window), message, wParam, lParam);
}

unsigned short RegisterClassW(const WNDCLASSW* windowClass) {
    return ::RegisterClassW(reinterpret_cast<const ::WNDCLASSW*>(windowClass));
}

HWND CreateWindowExW(unsigned exStyle, const WCHAR* className, const WCHAR* windowName,
                     unsigned style, int x, int y, int width, int height, HWND parent, void* menu,
                     HINSTANCE instance, void* parameter) {
    return reinterpret_cast<HWND>(::CreateWindowExW(
        exStyle, Real(className), Real(windowName), style, x, y, width, height, Real(parent),
        static_cast<::HMENU>(menu), reinterpret_cast<::HINSTANCE>(instance), parameter));
}

int DestroyWindow(HWND window) { return ::DestroyWindow(Real(window)); }

HWND FindWindowExW(HWND parent, HWND after, const WCHAR* className, const WCHAR* windowName) {
    return reinterpret_cast<HWND>(
        ::FindWindowExW(Real(parent), Real(after), Real(className), Real(windowName)));
}

int PostMessageW(HWND window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return ::PostMessageW(Real(window), message, wParam, lParam);
}

HANDLE CreateMutexW(void* security, int initialOwner, const WCHAR* name) {
    return reinterpret_cast<HANDLE>(
        ::CreateMutexW(static_cast<SECURITY_ATTRIBUTES*>(security), initialOwner, Real(name)));
}

unsigned WaitForSingleObject(HANDLE object, unsigned milliseconds) {
    return ::WaitForSingleObject(Real(object), milliseconds);
}

int ReleaseMutex(HANDLE mutex) { return ::ReleaseMutex(Real(mutex)); }

// Windows' media controls -----------------------------------------------------------------------
// The Windows Runtime objects are called through their tables of methods by slot, as the
// interfaces define them; nothing of the runtime is linked, combase.dll and its helpers are
// loaded when the controls are first asked for.

namespace {

using HSTRING = struct HSTRING__*;
struct Runtime {
    HRESULT(WINAPI* RoInitialize)(int type);
    HRESULT(WINAPI* RoGetActivationFactory)(HSTRING name, const GUID& iid, void** factory);
    HRESULT(WINAPI* RoActivateInstance)(HSTRING name, void** instance);
    HRESULT(WINAPI* WindowsCreateString)(const wchar_t* text, UINT32 length, HSTRING* string);
    HRESULT(WINAPI* WindowsDeleteString)(HSTRING string);
    HRESULT(WINAPI* SHCreateStreamOnFileEx)
    (const wchar_t* file, DWORD mode, DWORD attributes, BOOL create, void* pattern, void** stream);
    HRESULT(WINAPI* CreateRandomAccessStreamOverStream)
    (void* stream, int options, const GUID& iid, void** random);
};

// GUIDs written as Windows prints them.
constexpr GUID ControlsInteropId = {
    0xddb0472d, 0xc911, 0x4a1f, {0x86, 0xd9, 0xdc, 0x3d, 0x71, 0xa9, 0x5f, 0x5a}};
constexpr GUID ControlsId = {
    0x99fa3ff4, 0x1742, 0x42a6, {0x90, 0x2e, 0x08, 0x7d, 0x41, 0xf9, 0x65, 0xec}};
constexpr GUID Controls2Id = {
    0xea98d2f6, 0x7f3c, 0x4af2, {0xa5, 0x86, 0x72, 0x88, 0x98, 0x08, 0xef, 0xb1}};
constexpr GUID Music2Id = {
    0x00368462, 0x97d3, 0x44b9, {0xb0, 0x0f, 0x00, 0x8a, 0xfc, 0xef, 0xaf, 0x18}};
constexpr GUID ButtonHandlerId = {
    0x0557e996, 0x7b23, 0x5bae, {0xaa, 0x81, 0xea, 0x0d, 0x67, 0x11, 0x43, 0xa4}};
constexpr GUID ShuffleHandlerId = {
    0x17ecea80, 0x27e4, 0x5dae, {0xab, 0xb4, 0xc8, 0x58, 0xad, 0x1c, 0x53, 0x07}};
constexpr GUID RepeatHandlerId = {
    0xa6214bde, 0x02d5, 0x55b3, {0xab, 0x0d, 0xc6, 0x03, 0x1b, 0xe7, 0x0d, 0xa1}};
constexpr GUID PositionHandlerId = {
    0x44e34f15, 0xbdc0, 0x50a7, {0xac, 0xe4, 0x39, 0xe9, 0x1b, 0xb7, 0x53, 0xf1}};
constexpr GUID UnknownId = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID AgileId = {
    0x94ea2b94, 0xe9cc, 0x49e0, {0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90}};
constexpr GUID StreamReferenceStaticsId = {
    0x857309dc, 0x3fbf, 0x4e7d, {0x98, 0x6f, 0xef, 0x3b, 0x1a, 0x07, 0xa9, 0x64}};
constexpr GUID RandomAccessStreamId = {
    0x905a0fe1, 0xbc53, 0x11df, {0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda}};
constexpr GUID TimelineId = {
    0x5125316a, 0xc3a2, 0x475b, {0x85, 0x07, 0x93, 0x53, 0x4d, 0xc8, 0x8f, 0x15}};

constexpr wchar_t ControlsClass[] = L"Windows.Media.SystemMediaTransportControls";
constexpr wchar_t TimelineClass[] = L"Windows.Media.SystemMediaTransportControlsTimelineProperties";
constexpr wchar_t StreamReferenceClass[] = L"Windows.Storage.Streams.RandomAccessStreamReference";

// Slots, counted from the start of each table.
enum Slot : int {
    QueryInterfaceSlot = 0,
    ReleaseSlot = 2,
    GetForWindowSlot = 6,
    PutPlaybackStatus = 7,
    GetDisplayUpdater = 8,
    PutIsEnabled = 11,
    AddButtonPressed = 32,
    RemoveButtonPressed = 33,
    PutType = 7,
    PutThumbnail = 11,
    GetMusicProperties = 12,
    ClearAllSlot = 16,
    UpdateSlot = 17,
    PutTitle = 7,
    PutAlbumArtist = 9,
    PutArtist = 11,
    PutAlbumTitle = 7,
    PutAutoRepeatMode = 7,
    PutShuffleEnabled = 9,
    UpdateTimeline = 12,
    AddPositionRequested = 13,
    RemovePositionRequested = 14,
    AddShuffleRequested = 17,
    RemoveShuffleRequested = 18,
    AddRepeatRequested = 19,
    RemoveRepeatRequested = 20,
    CreateFromStream = 8,
    PutEndTime = 9,
    PutMaxSeekTime = 13,
    PutPosition = 15,
    GetArgument = 6,
    InvokeSlot = 3,
};

// Calls the method in the object's table at the slot.
template <typename... Arguments>
HRESULT Call(void* object, int slot, Arguments... arguments) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(void*, Arguments...);
    return reinterpret_cast<Method>((*static_cast<void***>(object))[slot])(object, arguments...);
}

void Release(void* object) {
    if (object == nullptr) return;
    using Method = ULONG(STDMETHODCALLTYPE*)(void*);
    reinterpret_cast<Method>((*static_cast<void***>(object))[ReleaseSlot])(object);
}

// A handler Windows calls on a thread of its own: agile, and all it does is post what the event
// says to the follower's window.
struct Handler;
using Reader = bool (*)(void* arguments, WPARAM& what, LPARAM& value);
struct HandlerTable {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(Handler*, const GUID&, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(Handler*);
    ULONG(STDMETHODCALLTYPE* Release)(Handler*);
    HRESULT(STDMETHODCALLTYPE* Invoke)(Handler*, void* sender, void* arguments);
};
struct Handler {
    const HandlerTable* table;
    LONG references;
    const GUID* id;
    Reader read;
    ::HWND window;
    UINT message;
    INT64 token;  // what Windows registered it as, an EventRegistrationToken
};

bool SameId(const GUID& a, const GUID& b) {
    const auto* x = reinterpret_cast<const unsigned char*>(&a);
    const auto* y = reinterpret_cast<const unsigned char*>(&b);
    for (unsigned at = 0; at < sizeof(GUID); ++at)
        if (x[at] != y[at]) return false;
    return true;
}

HRESULT STDMETHODCALLTYPE HandlerQuery(Handler* handler, const GUID& id, void** object) {
    const bool known = SameId(id, UnknownId) || SameId(id, AgileId) || SameId(id, *handler->id);
    *object = known ? handler : nullptr;
    if (known) InterlockedIncrement(&handler->references);
    return known ? S_OK : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE HandlerAddRef(Handler* handler) {
    return InterlockedIncrement(&handler->references);
}

// The handlers live as long as the controls that hold them, which release them first.
ULONG STDMETHODCALLTYPE HandlerRelease(Handler* handler) {
    return InterlockedDecrement(&handler->references);
}

HRESULT STDMETHODCALLTYPE HandlerInvoke(Handler* handler, void*, void* arguments) {
    WPARAM what = 0;
    LPARAM value = 0;
    if (arguments != nullptr && handler->read(arguments, what, value))
        ::PostMessageW(handler->window, handler->message, what, value);
    return S_OK;
}

constexpr HandlerTable Handlers = {HandlerQuery, HandlerAddRef, HandlerRelease, HandlerInvoke};

bool ReadButton(void* arguments, WPARAM& what, LPARAM&) {
    int button = 0;
    const bool read = Call(arguments, GetArgument, &button) >= 0;
    what = static_cast<WPARAM>(button);
    return read;
}

// A request's argument, read as its type and posted with the request, in the value's units.
template <typename Argument, MediaRequest request, std::int64_t unit = 1>
bool ReadRequest(void* arguments, WPARAM& what, LPARAM& value) {
    Argument argument = 0;
    what = static_cast<WPARAM>(request);
    const bool read = Call(arguments, GetArgument, &argument) >= 0;
    value = static_cast<LPARAM>(argument / unit);
    return read;
}

}  // namespace

// The controls of the follower's window and what hangs from them. One a process: Windows' threads
// call the handlers here, so they need a home that outlives every call.
struct MediaControls {
    Runtime runtime;
    void* controls;
    void* updater;
    void* music;
    void* music2;
    void* controls2;
    Handler button, shuffle, repeat, position;
};

namespace {

MediaControls Only;

// A Windows Runtime string for the length of a call.
struct RuntimeString {
    const Runtime& runtime;
    HSTRING string = nullptr;
    RuntimeString(const Runtime& runtime, const wchar_t* text) : runtime(runtime) {
        if (text != nullptr) runtime.WindowsCreateString(text, lstrlenW(text), &string);
    }
    ~RuntimeString() {
        if (string != nullptr) runtime.WindowsDeleteString(string);
    }
};

template <typename Function>
bool Take(HMODULE module, const char* name, Function& function) {
    function =
        module != nullptr
            ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
            : nullptr;
    return function != nullptr;
}

bool Load(Runtime& runtime) {
    const HMODULE combase = ::LoadLibraryW(L"combase.dll");
    const HMODULE shlwapi = ::LoadLibraryW(L"shlwapi.dll");
    const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
    Take(shlwapi, "SHCreateStreamOnFileEx", runtime.SHCreateStreamOnFileEx);
    Take(shcore, "CreateRandomAccessStreamOverStream", runtime.CreateRandomAccessStreamOverStream);
    return Take(combase, "RoInitialize", runtime.RoInitialize) &&
           Take(combase, "RoGetActivationFactory", runtime.RoGetActivationFactory) &&
           Take(combase, "RoActivateInstance", runtime.RoActivateInstance) &&
           Take(combase, "WindowsCreateString", runtime.WindowsCreateString) &&
           Take(combase, "WindowsDeleteString", runtime.WindowsDeleteString);
}

void Prepare(Handler& handler, const GUID& id, Reader read, ::HWND window, UINT message) {
    handler = Handler{&Handlers, 1, &id, read, window, message, 0};
}

}  // namespace

HRESULT RoInitialize(unsigned type) {
    if (Only.runtime.RoInitialize == nullptr && !Load(Only.runtime)) return REGDB_E_CLASSNOTREG;
    const HRESULT result = Only.runtime.RoInitialize(static_cast<int>(type));
    return result == RPC_E_CHANGED_MODE ? S_OK : result;  // initialised already: so be it
}

HRESULT GetForWindow(HWND window, MediaControls** controls) {
    MediaControls& c = Only;
    *controls = nullptr;
    void* interop = nullptr;
    RuntimeString name(c.runtime, ControlsClass);
    HRESULT result = c.runtime.RoGetActivationFactory(name.string, ControlsInteropId, &interop);
    if (result < 0) return result;
    result = Call(interop, GetForWindowSlot, Real(window), &ControlsId, &c.controls);
    Release(interop);
    if (result >= 0) result = Call(c.controls, GetDisplayUpdater, &c.updater);
    if (result >= 0) result = Call(c.updater, GetMusicProperties, &c.music);
    if (result >= 0 && Call(c.music, QueryInterfaceSlot, &Music2Id, &c.music2) < 0)
        c.music2 = nullptr;
    *controls = &c;
    return result;
}

HRESULT put_IsButtonEnabled(MediaControls* c, MediaButton button, bool enabled) {
    constexpr int Slots[] = {13, 17, 15, 0, 0, 0, 27, 25};  // by the button's number
    return Call(c->controls, Slots[static_cast<int>(button)], static_cast<unsigned char>(enabled));
}

HRESULT add_ButtonPressed(MediaControls* c, HWND window, unsigned message) {
    Prepare(c->button, ButtonHandlerId, ReadButton, Real(window), message);
    return Call(c->controls, AddButtonPressed, &c->button, &c->button.token);
}

HRESULT remove_ButtonPressed(MediaControls* c) {
    return Call(c->controls, RemoveButtonPressed, c->button.token);
}

HRESULT put_IsEnabled(MediaControls* c, bool enabled) {
    return Call(c->controls, PutIsEnabled, static_cast<unsigned char>(enabled));
}

HRESULT put_PlaybackStatus(MediaControls* c, MediaStatus status) {
    return Call(c->controls, PutPlaybackStatus, static_cast<int>(status));
}

HRESULT put_Type(MediaControls* c, int type) { return Call(c->updater, PutType, type); }

HRESULT put_MusicText(MediaControls* c, MusicText property, const WCHAR* text) {
    RuntimeString string(c->runtime, Real(text));
    switch (property) {
        case MusicText::Title:
            return Call(c->music, PutTitle, string.string);
        case MusicText::Artist:
            return Call(c->music, PutArtist, string.string);
        case MusicText::AlbumArtist:
            return Call(c->music, PutAlbumArtist, string.string);
        case MusicText::AlbumTitle:
            return c->music2 != nullptr ? Call(c->music2, PutAlbumTitle, string.string)
                                        : E_NOINTERFACE;
    }
    return E_NOTIMPL;
}

HRESULT put_Thumbnail(MediaControls* c, const WCHAR* imageFile) {
    const Runtime& runtime = c->runtime;
    if (imageFile == nullptr) return Call(c->updater, PutThumbnail, static_cast<void*>(nullptr));
    if (runtime.SHCreateStreamOnFileEx == nullptr ||
        runtime.CreateRandomAccessStreamOverStream == nullptr)
        return E_NOTIMPL;
    void *stream = nullptr, *random = nullptr, *statics = nullptr, *reference = nullptr;
    RuntimeString name(runtime, StreamReferenceClass);
    HRESULT result =
        runtime.SHCreateStreamOnFileEx(Real(imageFile), STGM_READ | STGM_SHARE_DENY_WRITE,
                                       FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream);
    if (result >= 0)
        result =
            runtime.CreateRandomAccessStreamOverStream(stream, 0, RandomAccessStreamId, &random);
    if (result >= 0)
        result = runtime.RoGetActivationFactory(name.string, StreamReferenceStaticsId, &statics);
    if (result >= 0) result = Call(statics, CreateFromStream, random, &reference);
    if (result >= 0) result = Call(c->updater, PutThumbnail, reference);
    void* const taken[] = {reference, statics, random, stream};
    for (void* object : taken)
        Release(object);
    return result;
}

HRESULT ClearAll(MediaControls* c) { return Call(c->updater, ClearAllSlot); }

HRESULT Update(MediaControls* c) { return Call(c->updater, UpdateSlot); }

HRESULT QueryControls2(MediaControls* c) {
    return Call(c->controls, QueryInterfaceSlot, &Controls2Id, &c->controls2);
}

HRESULT UpdateTimelineProperties(MediaControls* c, std::int64_t endTicks,
                                 std::int64_t positionTicks) {
    void *instance = nullptr, *timeline = nullptr;
    RuntimeString name(c->runtime, TimelineClass);
    HRESULT result = c->runtime.RoActivateInstance(name.string, &instance);
    if (result >= 0) result = Call(instance, QueryInterfaceSlot, &TimelineId, &timeline);
    constexpr int EndSlots[] = {PutEndTime, PutMaxSeekTime};
    for (const int slot : EndSlots)
        if (result >= 0) result = Call(timeline, slot, static_cast<INT64>(endTicks));
    if (result >= 0) result = Call(timeline, PutPosition, static_cast<INT64>(positionTicks));
    if (result >= 0) result = Call(c->controls2, UpdateTimeline, timeline);
    Release(timeline);
    Release(instance);
    return result;
}

HRESULT put_ShuffleEnabled(MediaControls* c, bool enabled) {
    return Call(c->controls2, PutShuffleEnabled, static_cast<unsigned char>(enabled));
}

HRESULT put_AutoRepeatMode(MediaControls* c, MediaRepeat mode) {
    return Call(c->controls2, PutAutoRepeatMode, static_cast<int>(mode));
}

HRESULT add_Requests(MediaControls* c, HWND window, unsigned message) {
    Prepare(c->shuffle, ShuffleHandlerId, ReadRequest<unsigned char, MediaRequest::Shuffle>,
            Real(window), message);
    Prepare(c->repeat, RepeatHandlerId, ReadRequest<int, MediaRequest::Repeat>, Real(window),
            message);
    Prepare(c->position, PositionHandlerId,
            ReadRequest<INT64, MediaRequest::Position, TicksPerMillisecond>, Real(window), message);
    HRESULT result = Call(c->controls2, AddShuffleRequested, &c->shuffle, &c->shuffle.token);
    if (result >= 0) result = Call(c->controls2, AddRepeatRequested, &c->repeat, &c->repeat.token);
    if (result >= 0)
        result = Call(c->controls2, AddPositionRequested, &c->position, &c->position.token);
    return result;
}

HRESULT remove_Requests(MediaControls* c) {
    Call(c->controls2, RemoveShuffleRequested, c->shuffle.token);
    Call(c->controls2, RemoveRepeatRequested, c->repeat.token);
    return Call(c->controls2, RemovePositionRequested, c->position.token);
}

void ReleaseMediaControls(MediaControls* c) {
    void** const held[] = {&c->controls2, &c->music2, &c->music, &c->updater, &c->controls};
    for (void** object : held) {
        Release(*object);
        *object = nullptr;
    }
}

}  // namespace desktop
