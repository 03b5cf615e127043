#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bot/bot.h"

namespace corsavel::bot {

namespace {

// The game reads at most this much of a level file.
constexpr size_t kMaxLevelBytes = 65536;

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int packLevelIndex(const std::string& fileName) {
    int number = 0;
    int consumed = 0;
    if (std::sscanf(fileName.c_str(), "pack1_%d.lvl%n", &number, &consumed) != 1 ||
        consumed != static_cast<int>(fileName.size()) || number < 1 || number > 100) {
        return -1;
    }
    return number - 1;
}

bool readLevelFile(const std::string& path, LevelSource& out, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        error = "missing file";
        return false;
    }
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the file";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    if (text.empty()) {
        error = "not a level file: the file is empty";
        return false;
    }
    if (text.size() > kMaxLevelBytes) {
        error = "not a level file: larger than 64 KiB";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = "not a level file: binary data";
        return false;
    }
    // The game's parser needs the grid key; without it nothing can be played.
    if (text.find("level=") == std::string::npos) {
        error = "not a level file: no \"level=\" grid";
        return false;
    }
    out.path = path;
    out.name = baseName(path);
    const int index = packLevelIndex(out.name);
    out.levelIndex = index < 0 ? 0 : index;
    out.text = std::move(text);
    return true;
}

std::string defaultDataFolder() {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return "Data";
    }
    exe[n] = 0;
    return (std::filesystem::path(exe).parent_path() / "Data").string();
}

}  // namespace corsavel::bot
