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

}  // namespace desktop
