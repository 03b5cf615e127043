// Text-table parsing on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "resources/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    // An exact-size copy, so any read past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    parseTextTable(bytes.data(), bytes.size());
    for (int i = 0; i < textTable.count; ++i) {
        if (std::strlen(textTable.entries[i].key) >= kTextKeySize) std::abort();
        if (findText(textTable.entries[i].key) == nullptr) std::abort();
    }
    freeTextTables();
    return 0;
}
