// corsavel-forge OUTDIR [--contact-sheet FILE.png]
// Generates every file of the game's Data folder, writes the loose files and
// packs the three scrambled archives. Same bytes on every run.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "forge/archive_writer.h"
#include "forge/forge.h"
#include "forge/icon_forge.h"

#if __has_include("forge/art.h")
#include "forge/art.h"
#define CORSAVEL_FORGE_HAS_ART 1
#endif
#if __has_include("forge/contact_sheet.h")
#include "forge/contact_sheet.h"
#endif
#if __has_include("forge/font_forge.h")
#include "forge/font_forge.h"
#define CORSAVEL_FORGE_HAS_FONT 1
#endif
#if __has_include("forge/map_path.h")
#include "forge/map_path.h"
#define CORSAVEL_FORGE_HAS_PATH 1
#endif
#if __has_include("forge/levels.h")
#include "forge/levels.h"
#define CORSAVEL_FORGE_HAS_LEVELS 1
#endif
#if __has_include("forge/texts.h")
#include "forge/texts.h"
#define CORSAVEL_FORGE_HAS_TEXTS 1
#endif
#if __has_include("forge/menus.h")
#include "forge/menus.h"
#define CORSAVEL_FORGE_HAS_MENUS 1
#endif
#if __has_include("forge/sound_forge.h")
#include "forge/sound_forge.h"
#define CORSAVEL_FORGE_HAS_SOUNDS 1
#endif
#if __has_include("forge/effects.h")
#include "forge/effects.h"
#define CORSAVEL_FORGE_HAS_EFFECTS 1
#endif
#if __has_include("forge/models.h")
#include "forge/models.h"
#define CORSAVEL_FORGE_HAS_MODELS 1
#endif
#if __has_include("forge/characters.h")
#include "forge/characters.h"
#define CORSAVEL_FORGE_HAS_CHARACTERS 1
#endif

namespace fs = std::filesystem;
using namespace corsavel::forge;

namespace {

struct Options {
    fs::path outDir;
    fs::path contactSheet;
};

bool parseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
            options.contactSheet = argv[++i];
        } else if (argv[i][0] != '-' && options.outDir.empty()) {
            options.outDir = argv[i];
        } else {
            return false;
        }
    }
    return !options.outDir.empty();
}

// Writes beside the target and renames over it, so an interrupted run never
// leaves a half-written file in Data.
bool writeAtomically(const fs::path& target, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
        if (!stream) {
            return false;
        }
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        if (!stream) {
            return false;
        }
    }
    fs::rename(temporary, target, error);
    return !error;
}

// Loose paths must stay inside OUTDIR: no absolute paths, no "..".
bool safeRelativePath(const std::string& path) {
    if (path.empty() || path.front() == '/' || path.find('\\') != std::string::npos) {
        return false;
    }
    for (const auto& part : fs::path(path)) {
        if (part == ".." || part == ".") {
            return false;
        }
    }
    return true;
}

void runGenerators(ForgeOutput& output) {
#ifdef CORSAVEL_FORGE_HAS_ART
    forgeArt(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_FONT
    forgeFont(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_PATH
    forgeMapPath(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_LEVELS
    forgeLevels(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_TEXTS
    forgeTexts(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_MENUS
    forgeMenus(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_MODELS
    forgeModels(output);
#endif
    forgeIcons(output);
#ifdef CORSAVEL_FORGE_HAS_CHARACTERS
    forgeCharacters(output);
#endif
#ifdef CORSAVEL_FORGE_HAS_EFFECTS
    forgeEffects(output);
    forgeBackgroundScenes(output);
#endif
}

const char* archiveName(Destination destination) {
    switch (destination) {
        case Destination::TargaArchive:
            return "targa.dat";
        case Destination::JpegArchive:
            return "jpeg.dat";
        case Destination::TextArchive:
            return "texts.dat";
        case Destination::Loose:
            break;
    }
    return nullptr;
}

// Archive entries in name order, so the archive bytes do not depend on the
// order in which generators ran.
bool writeArchive(const fs::path& outDir, Destination destination,
                  const std::vector<ForgedFile>& files) {
    std::vector<ArchiveEntry> entries;
    for (const ForgedFile& file : files) {
        if (file.destination == destination) {
            entries.push_back({file.path, file.bytes});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
    for (size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].name == entries[i - 1].name) {
            std::fprintf(stderr, "corsavel-forge: %s holds \"%s\" twice\n",
                         archiveName(destination), entries[i].name.c_str());
            return false;
        }
    }
    std::vector<uint8_t> archive;
    if (!packArchive(entries, archive)) {
        std::fprintf(stderr, "corsavel-forge: an entry name of %s is empty or too long\n",
                     archiveName(destination));
        return false;
    }
    return writeAtomically(outDir / archiveName(destination), archive);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: corsavel-forge OUTDIR [--contact-sheet FILE.png]\n");
        return 2;
    }

    ForgeOutput output;
    runGenerators(output);
#ifdef CORSAVEL_FORGE_HAS_SOUNDS
    // Missing voices are a failed forge, not a quieter game.
    std::string soundError;
    if (!forgeSounds(output, &soundError)) {
        std::fprintf(stderr, "corsavel-forge: %s\n", soundError.c_str());
        return 1;
    }
#endif
#ifdef CORSAVEL_FORGE_HAS_FONT
    // The game cannot start without its font: a forge without one has failed.
    const auto& files = output.files();
    if (std::none_of(files.begin(), files.end(),
                     [](const ForgedFile& f) { return f.path == "font.dat"; })) {
        std::fprintf(stderr, "corsavel-forge: no font was made\n");
        return 1;
    }
#endif

    std::map<std::string, size_t> loose;
    bool ok = true;
    for (const ForgedFile& file : output.files()) {
        if (file.destination != Destination::Loose) {
            continue;
        }
        if (!safeRelativePath(file.path) || loose.count(file.path) != 0) {
            std::fprintf(stderr, "corsavel-forge: bad or repeated loose path \"%s\"\n",
                         file.path.c_str());
            ok = false;
            continue;
        }
        loose[file.path] = file.bytes.size();
        if (!writeAtomically(options.outDir / file.path, file.bytes)) {
            std::fprintf(stderr, "corsavel-forge: cannot write %s\n", file.path.c_str());
            ok = false;
        }
    }
    for (Destination destination :
         {Destination::TargaArchive, Destination::JpegArchive, Destination::TextArchive}) {
        ok = writeArchive(options.outDir, destination, output.files()) && ok;
    }

#if __has_include("forge/contact_sheet.h") && defined(CORSAVEL_FORGE_CONTACT_SHEET)
    if (!options.contactSheet.empty()) {
        ok = writeContactSheet(output, options.contactSheet.string()) && ok;
    }
#else
    if (!options.contactSheet.empty()) {
        std::fprintf(stderr, "corsavel-forge: this build has no contact sheet\n");
    }
#endif

    std::printf("corsavel-forge: %zu files forged into %s\n", output.files().size(),
                options.outDir.string().c_str());
    return ok ? 0 : 1;
}
