// "menu.txt" on arbitrary bytes: the tree stays within its tables, every
// page's items are registered pages, and walking up the parents ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // An exact-size copy, so any read past the end is caught.
    std::vector<char> bytes(data, data + size);
    static const char captions[] = "main=Main\r\n";
    MenuFiles files;
    files.menuText = bytes.data();
    files.menuSize = static_cast<int64_t>(bytes.size());
    files.captionText = captions;
    files.captionSize = sizeof captions - 1;
    loadMenusFromText(files);
    if (menu.pageCount < 0 || menu.pageCount > kMaxMenuPages)
        std::abort();
    for (int i = 0; i < menu.pageCount; ++i) {
        const MenuPage& p = menu.pages[i];
        if (std::strlen(p.name) >= kMenuNameSize)
            std::abort();
        if (p.itemCount < 0 || p.itemCount > kMaxMenuItems)
            std::abort();
        for (int j = 0; j < p.itemCount; ++j) {
            const MenuPage* item = p.items[j];
            if (item < menu.pages || item >= menu.pages + menu.pageCount)
                std::abort();
        }
        int steps = 0;
        for (const MenuPage* q = &p; q != nullptr && steps <= kMaxMenuPages; q = q->parent) {
            ++steps;
        }
    }
    resetMenus();
    return 0;
}
