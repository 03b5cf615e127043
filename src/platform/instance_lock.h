#pragma once

namespace corsavel {

// One copy of the game per user: an advisory lock on a file in the user
// folder, held for the life of the process. Returns false when another
// process (or another open of the same file) holds it, or the file cannot be
// opened.
bool acquireInstanceLock(const char* path);
void releaseInstanceLock();

}  // namespace corsavel
