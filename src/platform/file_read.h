#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace corsavel {

// Reads a whole file of at most `cap` bytes into `out`. False, with `out`
// empty, when the file is missing, empty, larger than `cap` or reads short:
// a file's size never decides how much memory is taken beyond the cap.
bool readFileBytes(const std::filesystem::path& path, size_t cap, std::vector<uint8_t>& out);

}  // namespace corsavel
