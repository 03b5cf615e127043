// The heap is grown once before the load and marked for huge pages (the
// load's allocations then fault 2 MB at a time); after the load it gives the
// reserve back and trims as usual.
#include "platform/heap.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace corsavel {
namespace {

struct HeapArea {
    size_t kilobytes = 0;
    bool hugePages = false;  // "hg" among its VmFlags
};

// The process's [heap] areas from /proc/self/smaps, added up.
HeapArea heapArea() {
    std::ifstream smaps("/proc/self/smaps");
    HeapArea area;
    bool inHeap = false;
    std::string line;
    while (std::getline(smaps, line)) {
        // An area's first line: "start-end perms offset dev inode [name]".
        const size_t dash = line.find('-');
        const bool header = dash != std::string::npos && dash > 0 &&
                            std::isxdigit(static_cast<unsigned char>(line[0])) &&
                            line.find(':') > dash && line.rfind("VmFlags", 0) != 0;
        if (header && line.find(' ') > dash) {
            inHeap = line.find("[heap]") != std::string::npos;
            continue;
        }
        if (!inHeap) {
            continue;
        }
        if (line.rfind("Size:", 0) == 0) {
            area.kilobytes += std::strtoull(line.c_str() + 5, nullptr, 10);
        } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos) {
            area.hugePages = true;
        }
    }
    return area;
}

bool hugePagesOffered() {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(file, text);
    return !text.empty() && text.find("[never]") == std::string::npos;
}

TEST(Heap, GrownAndMarkedForTheLoadThenGivenBack) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator has no heap to grow";
#endif
    if (!hugePagesOffered()) {
        GTEST_SKIP() << "no transparent huge pages on this system";
    }
    const HeapArea before = heapArea();
    prepareHeapForLoad();
    const HeapArea prepared = heapArea();
    EXPECT_GE(prepared.kilobytes, before.kilobytes + 150 * 1024) << "the heap did not grow";
    EXPECT_TRUE(prepared.hugePages);
    // The load's buffers come from the marked heap, not mappings of their own.
    void* buffer = std::malloc(size_t{4} << 20);
    ASSERT_NE(buffer, nullptr);
    std::memset(buffer, 1, size_t{4} << 20);
    EXPECT_EQ(heapArea().kilobytes, prepared.kilobytes);
    std::free(buffer);
    settleHeapAfterLoad();
    EXPECT_LE(heapArea().kilobytes + 150 * 1024, prepared.kilobytes)
        << "the reserve stayed after the load";
}

}  // namespace
}  // namespace corsavel
