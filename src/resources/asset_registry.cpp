#include "resources/asset_registry.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_write.h"
#include "platform/message_box.h"

namespace corsavel {

AssetRegistry assetRegistry;

namespace {

AssetRegisteredHook registeredHook = nullptr;

// Archives whose memory was given back: where to read their entries again.
struct ParkedArchive {
    std::string path;  // absolute
};
std::vector<ParkedArchive> parkedArchives;

bool isParked(const AssetEntry* entry) {
    return entry->data == nullptr && entry->archive >= 0;
}

void copyName(char* out, size_t capacity, const char* name) {
    const size_t length = strnlen(name, capacity - 1);
    std::memcpy(out, name, length);
    out[length] = '\0';
}

void descramble(uint8_t* data, size_t length, const char* name, size_t nameLength);

// Removes entry `index`, shifting the later ones down.
void removeEntry(int index) {
    AssetEntry* entry = assetRegistry.entries[index];
    for (int i = index; i + 1 < assetRegistry.count; ++i) {
        assetRegistry.entries[i] = assetRegistry.entries[i + 1];
    }
    --assetRegistry.count;
    assetRegistry.entries[assetRegistry.count] = nullptr;
    delete entry;
}

// Releasing an owned buffer (a whole archive) also forgets the entries that
// point into it, so no lookup can hand out freed bytes.
void releaseEntry(int index) {
    AssetEntry* entry = assetRegistry.entries[index];
    uint8_t* data = entry->data;
    const bool owned = entry->owned;
    const int32_t size = entry->size;
    // A parked archive's own entry: its entries go with it, read back or not.
    const int archive = entry->archive >= 0 && entry->storedName[0] == '\0' ? entry->archive : -1;
    removeEntry(index);
    if (archive >= 0) {
        for (int i = assetRegistry.count - 1; i >= 0; --i) {
            AssetEntry* other = assetRegistry.entries[i];
            if (other->archive == archive) {
                if (other->owned) {
                    std::free(other->data);
                }
                removeEntry(i);
            }
        }
    }
    if (!owned || data == nullptr) {
        std::free(owned ? data : nullptr);
        return;
    }
    for (int i = assetRegistry.count - 1; i >= 0; --i) {
        AssetEntry* other = assetRegistry.entries[i];
        if (!other->owned && other->data != nullptr && other->data >= data &&
            other->data < data + size) {
            removeEntry(i);
        }
    }
    std::free(data);
}

// Reads a parked entry's bytes back from its archive file (descrambled with
// its stored name); false when the file no longer gives them.
bool unpark(AssetEntry* entry) {
    const ParkedArchive& archive = parkedArchives[static_cast<size_t>(entry->archive)];
    auto* bytes = static_cast<uint8_t*>(std::malloc(entry->size > 0 ? entry->size : 1));
    FILE* file = std::fopen(archive.path.c_str(), "rb");
    bool read = bytes != nullptr && file != nullptr &&
                std::fseek(file, static_cast<long>(entry->archiveOffset), SEEK_SET) == 0 &&
                std::fread(bytes, 1, static_cast<size_t>(entry->size), file) ==
                    static_cast<size_t>(entry->size);
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!read) {
        std::free(bytes);
        return false;
    }
    const size_t nameLength = std::strlen(entry->storedName);
    if (nameLength > 0) {
        descramble(bytes, static_cast<size_t>(entry->size), entry->storedName, nameLength);
    }
    entry->data = bytes;
    entry->owned = true;
    return true;
}

bool isFile(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// Finds `component` in `directory` ignoring letter case; true and the real
// name in `out` when found.
bool findCaseInsensitive(const char* directory, const char* component, char* out, size_t capacity) {
    DIR* dir = opendir(directory[0] != '\0' ? directory : ".");
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    while (dirent* item = readdir(dir)) {
        if (strcasecmp(item->d_name, component) == 0) {
            copyName(out, capacity, item->d_name);
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

uint8_t* readWholeFile(const char* name, int32_t* outSize) {
    char path[1024];
    resolveDiskPath(name, path, sizeof path);
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    uint8_t* buffer = nullptr;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    if (size >= 0 && size <= INT32_MAX && std::fseek(file, 0, SEEK_SET) == 0) {
        buffer = static_cast<uint8_t*>(std::malloc(size > 0 ? static_cast<size_t>(size) : 1));
        if (buffer != nullptr &&
            std::fread(buffer, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) {
            std::free(buffer);
            buffer = nullptr;
        }
    }
    std::fclose(file);
    if (buffer != nullptr) {
        *outSize = static_cast<int32_t>(size);
    }
    return buffer;
}

// Byte i ^= name[i mod n], a block of whole name periods at a time so that
// the inner loop is a plain XOR of two arrays.
void descramble(uint8_t* data, size_t length, const char* name, size_t nameLength) {
    constexpr size_t kKeyBytes = 4096;
    uint8_t key[kKeyBytes];
    const size_t block = kKeyBytes / nameLength * nameLength;
    for (size_t i = 0; i < block; ++i) {
        key[i] = static_cast<uint8_t>(name[i % nameLength]);
    }
    for (size_t start = 0; start < length; start += block) {
        const size_t count = length - start < block ? length - start : block;
        uint8_t* out = data + start;
        for (size_t i = 0; i < count; ++i) {
            out[i] ^= key[i];
        }
    }
}

}  // namespace

void fatalLoadingError(const char* name) {
    char text[260];
    std::snprintf(text, sizeof text, "Can't load %s...\nProgram will now stop.", name);
    fatalMessage(text, "Loading Error", 1);
}

void foldAssetName(char* name) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(name); *p != 0; ++p) {
        if ((*p >= 'a' && *p <= 'z') || *p >= 0xE0) {
            *p = static_cast<unsigned char>(*p - 32);
        }
    }
}

bool registerAsset(const char* name, int32_t size, uint8_t* data, bool owned) {
    if (assetRegistry.count >= kMaxAssets) {
        return false;
    }
    auto* entry = new AssetEntry;
    copyName(entry->name, sizeof entry->name, name);
    foldAssetName(entry->name);
    entry->size = size;
    entry->data = data;
    entry->owned = owned;
    assetRegistry.entries[assetRegistry.count++] = entry;
    if (registeredHook != nullptr) {
        registeredHook(size);
    }
    return true;
}

AssetEntry* findAsset(const char* name) {
    char folded[kAssetLookupNameSize];
    copyName(folded, sizeof folded, name);
    foldAssetName(folded);
    for (int i = 0; i < assetRegistry.count; ++i) {
        AssetEntry* entry = assetRegistry.entries[i];
        if (std::strcmp(entry->name, folded) != 0) {
            continue;
        }
        if (isParked(entry) && !unpark(entry)) {
            // The archive file lost the bytes: the entry is gone.
            removeEntry(i);
            return findAsset(name);
        }
        return entry;
    }
    return nullptr;
}

uint8_t* loadFile(const char* name, int32_t* outSize, bool required) {
    if (AssetEntry* entry = findAsset(name)) {
        if (outSize != nullptr) {
            *outSize = entry->size;
        }
        return entry->data;
    }
    int32_t size = 0;
    uint8_t* buffer = readWholeFile(name, &size);
    if (buffer != nullptr && !registerAsset(name, size, buffer, true)) {
        std::free(buffer);
        buffer = nullptr;
    }
    if (buffer == nullptr) {
        if (required) {
            fatalLoadingError(name);
        }
        return nullptr;
    }
    if (outSize != nullptr) {
        *outSize = size;
    }
    return buffer;
}

uint8_t* loadFileInto(const char* name, uint8_t* buffer, int32_t capacity, int32_t* outSize) {
    if (AssetEntry* entry = findAsset(name)) {
        if (entry->size > capacity) {
            return nullptr;
        }
        std::memcpy(buffer, entry->data, static_cast<size_t>(entry->size));
        if (outSize != nullptr) {
            *outSize = entry->size;
        }
        return buffer;
    }
    int32_t size = 0;
    uint8_t* bytes = readWholeFile(name, &size);
    if (bytes == nullptr) {
        return nullptr;
    }
    uint8_t* result = nullptr;
    if (size <= capacity) {
        std::memcpy(buffer, bytes, static_cast<size_t>(size));
        if (outSize != nullptr) {
            *outSize = size;
        }
        result = buffer;
    }
    std::free(bytes);
    return result;
}

bool releaseAsset(const uint8_t* data) {
    if (data == nullptr) {
        return false;
    }
    for (int i = 0; i < assetRegistry.count; ++i) {
        if (assetRegistry.entries[i]->data == data) {
            releaseEntry(i);
            return true;
        }
    }
    return false;
}

bool releaseAssetByName(const char* name) {
    for (int i = 0; i < assetRegistry.count; ++i) {
        if (std::strcmp(assetRegistry.entries[i]->name, name) == 0) {
            releaseEntry(i);
            return true;
        }
    }
    return false;
}

int parseArchive(uint8_t* bytes, size_t size) {
    size_t cursor = 0;
    int registered = 0;
    while (cursor < size) {
        // Name: 1..63 bytes and a NUL, all inside the buffer.
        const size_t limit = size - cursor < 64 ? size - cursor : 64;
        const void* nul = std::memchr(bytes + cursor, 0, limit);
        if (nul == nullptr) {
            break;
        }
        const size_t nameLength = static_cast<const uint8_t*>(nul) - (bytes + cursor);
        if (nameLength == 0) {
            break;
        }
        char name[kAssetLookupNameSize];
        std::memcpy(name, bytes + cursor, nameLength + 1);
        cursor += nameLength + 1;
        if (size - cursor < 4) {
            break;
        }
        const uint32_t length = static_cast<uint32_t>(bytes[cursor]) |
                                (static_cast<uint32_t>(bytes[cursor + 1]) << 8) |
                                (static_cast<uint32_t>(bytes[cursor + 2]) << 16) |
                                (static_cast<uint32_t>(bytes[cursor + 3]) << 24);
        cursor += 4;
        if (length > size - cursor || length > INT32_MAX) {
            break;
        }
        uint8_t* data = bytes + cursor;
        descramble(data, length, name, nameLength);
        if (!registerAsset(name, static_cast<int32_t>(length), data, false)) {
            break;
        }
        std::memcpy(assetRegistry.entries[assetRegistry.count - 1]->storedName, name,
                    nameLength + 1);
        ++registered;
        cursor += length;
    }
    return registered;
}

void loadArchive(const char* fileName) {
    int32_t size = 0;
    uint8_t* bytes = readWholeFile(fileName, &size);
    if (bytes == nullptr) {
        return;
    }
    if (!registerAsset(fileName, size, bytes, true)) {
        std::free(bytes);
        return;
    }
    parseArchive(bytes, static_cast<size_t>(size));
}

bool parkArchive(const char* fileName) {
    char folded[kAssetLookupNameSize];
    copyName(folded, sizeof folded, fileName);
    foldAssetName(folded);
    int own = -1;
    for (int i = 0; i < assetRegistry.count; ++i) {
        const AssetEntry* entry = assetRegistry.entries[i];
        if (entry->owned && entry->data != nullptr && std::strcmp(entry->name, folded) == 0) {
            own = i;
            break;
        }
    }
    if (own < 0) {
        return false;
    }
    char resolved[1024];
    resolveDiskPath(fileName, resolved, sizeof resolved);
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(resolved, error);
    if (error) {
        return false;
    }
    AssetEntry* archive = assetRegistry.entries[own];
    uint8_t* buffer = archive->data;
    const int id = static_cast<int>(parkedArchives.size());
    parkedArchives.push_back(ParkedArchive{path.string()});
    for (int i = 0; i < assetRegistry.count; ++i) {
        AssetEntry* entry = assetRegistry.entries[i];
        if (!entry->owned && entry->data != nullptr && entry->data >= buffer &&
            entry->data < buffer + archive->size) {
            entry->archiveOffset = static_cast<uint32_t>(entry->data - buffer);
            entry->data = nullptr;
            entry->archive = id;
        }
    }
    archive->data = nullptr;
    archive->owned = false;
    archive->archive = id;
    archive->archiveOffset = 0;
    archive->storedName[0] = '\0';
    std::free(buffer);
    return true;
}

bool writeFile(const char* name, const uint8_t* data, int32_t size) {
    if (size < 0) {
        return false;
    }
    char path[1024];
    resolveDiskPath(name, path, sizeof path);
    return writeFileAtomically(path, data, static_cast<size_t>(size));
}

void setAssetRegisteredHook(AssetRegisteredHook hook) {
    registeredHook = hook;
}

void reportLoadProgress(int32_t size) {
    if (registeredHook != nullptr) {
        registeredHook(size);
    }
}

void loadInsideFolder(const char* folder, void (*load)()) {
    std::error_code error;
    const std::filesystem::path previous = std::filesystem::current_path(error);
    char path[kAssetNameSize];
    resolveDiskPath(folder, path, sizeof path);
    std::filesystem::current_path(path, error);
    load();
    if (!previous.empty()) {
        std::filesystem::current_path(previous, error);
    }
}

void resolveDiskPath(const char* name, char* out, size_t capacity) {
    char path[1024];
    copyName(path, sizeof path, name);
    for (char* p = path; *p != '\0'; ++p) {
        if (*p == '\\') {
            *p = '/';
        }
    }
    if (isFile(path)) {
        copyName(out, capacity, path);
        return;
    }
    // Walk the components, matching each one case-insensitively.
    char resolved[1024] = "";
    size_t length = 0;
    const char* cursor = path;
    if (*cursor == '/') {
        resolved[length++] = '/';
        resolved[length] = '\0';
        while (*cursor == '/')
            ++cursor;
    }
    while (*cursor != '\0') {
        const char* end = std::strchr(cursor, '/');
        const size_t partLength =
            end != nullptr ? static_cast<size_t>(end - cursor) : std::strlen(cursor);
        char part[256];
        const size_t copied = partLength < sizeof part - 1 ? partLength : sizeof part - 1;
        std::memcpy(part, cursor, copied);
        part[copied] = '\0';
        char actual[256];
        if (std::strcmp(part, ".") == 0 || std::strcmp(part, "..") == 0 ||
            !findCaseInsensitive(resolved, part, actual, sizeof actual)) {
            copyName(actual, sizeof actual, part);
        }
        const int written = std::snprintf(resolved + length, sizeof resolved - length, "%s%s",
                                          actual, end != nullptr ? "/" : "");
        if (written < 0 || static_cast<size_t>(written) >= sizeof resolved - length) {
            break;
        }
        length += static_cast<size_t>(written);
        if (end == nullptr) {
            break;
        }
        cursor = end + 1;
        while (*cursor == '/')
            ++cursor;
    }
    copyName(out, capacity, resolved);
}

void clearAssetRegistry() {
    while (assetRegistry.count > 0) {
        releaseEntry(assetRegistry.count - 1);
    }
    parkedArchives.clear();
}

}  // namespace corsavel
