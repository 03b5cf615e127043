#include "forge/archive_writer.h"

#include <cstring>

namespace corsavel::forge {

void scrambleWithName(std::vector<uint8_t>& bytes, const std::string& name) {
    const size_t n = name.size();
    if (n == 0) {
        return;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] ^= static_cast<uint8_t>(name[i % n]);
    }
}

static bool validName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxArchiveNameLength &&
           name.find('\0') == std::string::npos;
}

bool packArchive(const std::vector<ArchiveEntry>& entries, std::vector<uint8_t>& out) {
    out.clear();
    for (const ArchiveEntry& entry : entries) {
        if (!validName(entry.name) || entry.bytes.size() > 0xFFFFFFFFu) {
            out.clear();
            return false;
        }
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.push_back(0);
        const auto length = static_cast<uint32_t>(entry.bytes.size());
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(length >> shift));
        }
        std::vector<uint8_t> data = entry.bytes;
        scrambleWithName(data, entry.name);
        out.insert(out.end(), data.begin(), data.end());
    }
    return true;
}

bool unpackArchive(const std::vector<uint8_t>& archive, std::vector<ArchiveEntry>& out) {
    out.clear();
    size_t cursor = 0;
    const size_t size = archive.size();
    while (cursor < size) {
        size_t end = cursor;
        while (end < size && archive[end] != 0) {
            ++end;
        }
        if (end == size || end == cursor || end - cursor > kMaxArchiveNameLength) {
            return false;
        }
        ArchiveEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(archive.data() + cursor), end - cursor);
        cursor = end + 1;
        if (size - cursor < 4) {
            return false;
        }
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) {
            length |= static_cast<uint32_t>(archive[cursor + i]) << (8 * i);
        }
        cursor += 4;
        if (size - cursor < length) {
            return false;
        }
        entry.bytes.assign(archive.begin() + static_cast<std::ptrdiff_t>(cursor),
                           archive.begin() + static_cast<std::ptrdiff_t>(cursor + length));
        scrambleWithName(entry.bytes, entry.name);
        cursor += length;
        out.push_back(std::move(entry));
    }
    return true;
}

}  // namespace corsavel::forge
