// "menutext.txt" on arbitrary bytes: captions and credit lines stay within
// their fields and counts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    std::vector<char> bytes(data, data + size);
    static const char tree[] =
        "main=\r\ningame\r\noptions\r\ncredits\r\n\r\noptions=\r\napply\r\nback\r\n\r\n";
    MenuFiles files;
    files.menuText = tree;
    files.menuSize = sizeof tree - 1;
    files.captionText = bytes.data();
    files.captionSize = static_cast<int64_t>(bytes.size());
    loadMenusFromText(files);
    if (menu.creditLineCount < 0 || menu.creditLineCount > kMaxCreditLines)
        std::abort();
    for (int i = 0; i < menu.creditLineCount; ++i) {
        if (std::strlen(menu.creditLines[i]) >= kCreditLineSize)
            std::abort();
    }
    for (int i = 0; i < menu.pageCount; ++i) {
        if (std::strlen(menu.pages[i].text) >= kMenuNameSize)
            std::abort();
    }
    resetMenus();
    return 0;
}
