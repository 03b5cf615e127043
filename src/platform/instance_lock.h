#pragma once

namespace corsavel {

// One copy of the game per user: an advisory lock on a file in the user
// folder, held for the life of the process. Returns false when another
// process (or another open of the same file) holds it. When the lock file
// cannot be opened at all (a read-only or missing user folder) the game runs
// without the lock.
bool acquireInstanceLock(const char* path);
void releaseInstanceLock();

}  // namespace corsavel
