// Input handlers run for every click and key press all day: they must not
// allocate. Counting happens through a replaced global operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/unit/recorder_fixture.h"

namespace {

thread_local bool counting = false;
thread_local long allocations = 0;

}  // namespace

// GCC cannot see that these replace the global allocation functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) {
        ++allocations;
    }
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size) {
    if (void* memory = operator new(size, std::nothrow)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

// Every form frees what every form above allocated.
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

#pragma GCC diagnostic pop

namespace tesuko {
namespace {

using AllocationTest = RecorderTest;

TEST_F(AllocationTest, CountingInputAllocatesNothing) {
    recorder().run();
    counting = true;
    allocations = 0;
    press(kLeftMouseDownMask, 1000);
    press(kRightMouseDownMask, 1000);
    press(kKeyDownMask, 1000);
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(recorder().clickCount(), 2000);
}

TEST_F(AllocationTest, ASwitchAllocatesOnlyForItsWindowListAndRecord) {
    fakes.workspace.setActiveApplication("Editor");
    std::vector<WindowInfo> windows(50,
                                    WindowInfo{"Other", "A title long enough to need the heap"});
    windows.push_back({"Editor", "Notes"});
    fakes.windowList.setWindows(windows);
    recorder().init();
    recorder().run();
    counting = true;
    allocations = 0;
    fakes.workspace.switchTo("Browser");
    counting = false;
    // The fake's copy of the list is one vector and two strings per window; the
    // rest (record, log line, active name) must stay a handful whatever the list holds.
    EXPECT_LE(allocations, 1 + 2 * 51 + 8);
}

}  // namespace
}  // namespace tesuko
