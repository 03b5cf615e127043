#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corsavel::forge {

// One entry of a ".dat" archive: the name exactly as the game asks for it and
// the plain bytes (the writer scrambles them).
struct ArchiveEntry {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Longest entry name the game's reader copies (64-byte buffer with its NUL).
constexpr size_t kMaxArchiveNameLength = 63;

// XORs every byte with the name's bytes in turn; applying it twice restores the
// data. An empty name leaves the bytes unchanged.
void scrambleWithName(std::vector<uint8_t>& bytes, const std::string& name);

// Packs the entries in the given order: name, NUL, uint32 length (little
// endian), scrambled data. Returns false (and leaves `out` empty) when a name is
// empty, too long or holds a NUL byte, which the reader could not walk.
bool packArchive(const std::vector<ArchiveEntry>& entries, std::vector<uint8_t>& out);

// Walks and descrambles an archive; false when it is not well formed (an entry
// running past the end, an empty or unterminated name).
bool unpackArchive(const std::vector<uint8_t>& archive, std::vector<ArchiveEntry>& out);

}  // namespace corsavel::forge
