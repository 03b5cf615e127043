// Key=value readers on arbitrary text: the first line of the input is the key.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "resources/text_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corsavel;
    std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    std::string key = split == std::string::npos ? "key=" : input.substr(0, split);
    std::string text = split == std::string::npos ? input : input.substr(split + 1);
    key = key.c_str();
    text = text.c_str();
    if (key.empty()) key = "=";
    char value[64];
    readValue(value, text.c_str(), key.c_str());
    readInt(text.c_str(), key.c_str());
    readFloat(text.c_str(), key.c_str());
    float list[8];
    if (readFloatList(text.c_str(), list, 8, key.c_str()) > 8) std::abort();
    float vector[3];
    readVector3(vector, text.c_str(), key.c_str());
    return 0;
}
