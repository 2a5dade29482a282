// Whole runs take nothing from the heap. This binary replaces the C allocation functions, which
// operator new also calls, and counts every call made while a run is under way.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "run/run.h"
#include "unit/calls.h"

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);
extern "C" void* __libc_memalign(std::size_t alignment, std::size_t size);

namespace {
bool counting = false;
int allocations = 0;

void* Counted(void* block) {
    if (counting) ++allocations;
    return block;
}
}  // namespace

extern "C" void* malloc(std::size_t size) { return Counted(__libc_malloc(size)); }
extern "C" void* calloc(std::size_t count, std::size_t size) {
    return Counted(__libc_calloc(count, size));
}
extern "C" void* realloc(void* block, std::size_t size) {
    return Counted(__libc_realloc(block, size));
}
extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return Counted(__libc_memalign(alignment, size));
}

namespace {

int AllocationsDuring(void (*work)()) {
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations;
}

TEST(NoHeap, TheCountSeesAnAllocation) {
    EXPECT_GT(AllocationsDuring([] { std::string text(100, 'x'); }), 0);
}

TEST(NoHeap, WholeRunsAllocateNothing) {
    const std::u16string longModulePath = u"C:\\" + std::u16string(300, u'a') + u"\\tunedesk.exe";
    const struct {
        const char* commandLine;
        const char* settingsText;
        const char* runningClass;
        unsigned winExecResult;
        const char16_t* modulePath;
    } runs[] = {
        {"t /NEXT /hide /FLIPSHOW /SHOW volup", "[Commands]\nvolup=40058\n", "Winamp v1.x", 33,
         u"C:\\T\\tunedesk.exe"},
        {"t /PLAY", "", nullptr, 33, u"C:\\T\\tunedesk.exe"},
        {"t /PLAY /HIDE", "[Configuration]\nAutoload=1\nPath=w.exe\nHideOnLoad=1\n", nullptr, 33,
         u"C:\\T\\tunedesk.exe"},
        {"t w.exe /PLAY", "[Configuration]\nAutoload=1\nPathOnCmdLine=1\n", nullptr, 33,
         u"C:\\T\\tunedesk.exe"},
        {"t", "[Configuration]\nAutoload=1\n", nullptr, 33, u"C:\\T\\tunedesk.exe"},
        {"t /NEXT", "[Configuration]\nAutoload=1\nPath=w.exe\n", nullptr, 2,
         u"C:\\T\\tunedesk.exe"},
        {"t /NEXT", "", "Winamp v1.x", 33, longModulePath.c_str()},
        {"t /? /NEXT", "[Commands]\nvolup=40058\n", "Winamp v1.x", 33, u"C:\\\u0141\\t.exe"},
        {"t /QUERY /TITLE /TRACK /VOLUME=+5 /SEEK=-3 /TRACK=2 /SHUFFLE=ON", "", "Winamp v1.x", 33,
         u"C:\\T\\tunedesk.exe"},
        {"t /FILE /PLAYLIST /OPEN song.mp3 http://x.example/a /SEEK=1.5", "", "Winamp v1.x", 33,
         u"C:\\T\\tunedesk.exe"},
    };
    for (const auto& run : runs) {
        SetUpRun(run.commandLine, run.settingsText, run.runningClass);
        Desktop.settingsFile = nullptr;
        Desktop.winExecResult = run.winExecResult;
        Desktop.modulePath = run.modulePath;
        EXPECT_EQ(AllocationsDuring([] { RunSequence(nullptr); }), 0) << run.commandLine;
    }
}

}  // namespace
