#pragma once

#include <cstddef>

namespace corsavel {

// Writes a whole file so that a crash, a full disk or a failed write never
// leaves half a file: the bytes go to a temporary file beside it, are flushed
// to the disk, and the temporary file is renamed over the old one. On failure
// the old file is left as it was, the temporary file is removed, and false is
// returned.
bool writeFileAtomically(const char* path, const void* data, size_t size);

}  // namespace corsavel
