#include "platform/file_read.h"

#include <fstream>
#include <system_error>

namespace corsavel {

bool readFileBytes(const std::filesystem::path& path, size_t cap, std::vector<uint8_t>& out) {
    out.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > static_cast<uintmax_t>(cap)) {
        return false;
    }
    std::ifstream stream(path, std::ios::binary);
    out.resize(static_cast<size_t>(size));
    stream.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
    if (static_cast<size_t>(stream.gcount()) != out.size()) {
        out.clear();
        return false;
    }
    return true;
}

}  // namespace corsavel
