#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// Every asset byte the game reads passes through one loader. It keeps a table
// of named in-memory assets (archive entries and files already read) and
// answers from it before it reads the disk.
constexpr int kMaxAssets = 1024;
constexpr int kAssetNameSize = 128;
// Names longer than this are cut before lookup; archive names are 1..63 bytes.
constexpr int kAssetLookupNameSize = 64;

struct AssetEntry {
    char name[kAssetNameSize];  // folded to upper case
    int32_t size = 0;
    uint8_t* data = nullptr;  // null while parked (see parkArchive)
    bool owned = false;       // the registry frees data on release
    // An archive's entry: the archive (index into the parked archives, -1
    // for none), where its bytes start in the archive file and its name as
    // stored there (the scrambling key).
    int32_t archive = -1;
    uint32_t archiveOffset = 0;
    char storedName[kAssetLookupNameSize] = {};
};

struct AssetRegistry {
    AssetEntry* entries[kMaxAssets] = {};
    int32_t count = 0;
};

extern AssetRegistry assetRegistry;

// Folds a-z and 0xE0..0xFF to upper case in place; nothing else changes.
void foldAssetName(char* name);

// Appends an entry (a name already present is appended again; lookups find
// the older one first) and calls the registration hook with the size.
// A full registry refuses the entry and returns false; nothing is changed.
bool registerAsset(const char* name, int32_t size, uint8_t* data, bool owned);

// The first entry whose folded name equals the folded `name`, or null.
AssetEntry* findAsset(const char* name);

// Registry first, then the disk (relative to the current directory, with
// backslashes and letter case resolved). A file read from disk is registered
// and later loads return the same buffer. A missing file with `required`
// shows the loading error and ends the process with exit code 1; otherwise
// null. A file that cannot be registered (full registry) counts as missing.
uint8_t* loadFile(const char* name, int32_t* outSize, bool required);

// Copies the asset's bytes into the caller's buffer of `capacity` bytes.
// Disk files are not registered. Returns null without a message when the
// file is missing or larger than the buffer.
uint8_t* loadFileInto(const char* name, uint8_t* buffer, int32_t capacity, int32_t* outSize);

// Forgets the first entry holding `data`, freeing the bytes when owned.
bool releaseAsset(const uint8_t* data);
// Releases the first entry whose stored (folded) name equals `name` byte for
// byte, without folding `name`: lower-case names are never found.
bool releaseAssetByName(const char* name);

// Reads a scrambled archive whole, registers it and every well-formed entry
// (descrambled in place). A missing archive is skipped silently; parsing
// stops at the first malformed entry, keeping the entries before it.
void loadArchive(const char* fileName);

// Gives back the memory of a loaded archive once the one-time load is done,
// keeping everything loadable: the archive's entries (and its own entry)
// stay in the registry, in their places, with their bytes read back from
// the archive file (and descrambled) the first time they are asked for.
// Releasing the archive by name still forgets all of them. False when the
// archive is not loaded.
bool parkArchive(const char* fileName);

// Parses archive bytes that the caller keeps alive, descrambling and
// registering each entry in place. Returns the number of entries registered.
int parseArchive(uint8_t* bytes, size_t size);

// Writes a whole file: to a temporary file beside it, then renamed over the
// old one, so a failed write never leaves half a file. Failures are quiet.
bool writeFile(const char* name, const uint8_t* data, int32_t size);

// The loading screen's hook: called with the size of every registered asset.
using AssetRegisteredHook = void (*)(int32_t size);
void setAssetRegisteredHook(AssetRegisteredHook hook);
// Moves the loading bar for bytes loaded outside the registry (the sounds).
void reportLoadProgress(int32_t size);

// The disk path for a name in the game's vocabulary: backslashes become
// slashes and, when the exact path does not exist, each component is matched
// case-insensitively. Writes the best path found into `out`.
void resolveDiskPath(const char* name, char* out, size_t capacity);

// Enters the folder (letter case resolved as for files), calls load, and goes
// back to the folder it came from (Data while the game runs).
void loadInsideFolder(const char* folder, void (*load)());

// The loading error every missing or broken asset of the game ends in: a
// message box "Can't load NAME..." and the program stops.
[[noreturn]] void fatalLoadingError(const char* name);

// Releases every entry (tests and shutdown).
void clearAssetRegistry();

}  // namespace corsavel
