// Strings of the text table used as formats (the page texts "hallo", "by",
// "surlevscore"): any text, checked against the conversions the game
// supplies, formats into the page's buffer without reading an argument that
// is not there, writing past the buffer or taking more than a moment.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "resources/text_table.h"
#include "ui/menu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // The first byte picks the conversions supplied and the buffer's size;
    // the rest is the table's text.
    if (size < 1) {
        return 0;
    }
    const bool twoNumbers = (data[0] & 1) != 0;
    const size_t capacity = 1 + (data[0] >> 1);
    freeTextTables();
    addText("fuzz", reinterpret_cast<const char*>(data + 1), static_cast<int32_t>(size - 1));
    static char out[256];
    std::memset(out, 'x', sizeof out);
    if (twoNumbers) {
        formatPageText(out, capacity, "fuzz", "ii", INT_MIN, 99);
    } else {
        formatPageText(out, capacity, "fuzz", "s", "NAME");
    }
    if (std::memchr(out, 0, capacity) == nullptr) {
        std::abort();
    }
    for (size_t i = capacity; i < sizeof out; ++i) {
        if (out[i] != 'x') {
            std::abort();
        }
    }
    freeTextTables();
    return 0;
}
