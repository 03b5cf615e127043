#include "app/load_steps.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/app_state.h"
#include "app/request_routes.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "audio/ogg_decode.h"
#include "audio/openal_output.h"
#include "game/dancers.h"
#include "game/game_draw.h"
#include "game/rules.h"
#include "gfx/background.h"
#include "gfx/balloon.h"
#include "gfx/font.h"
#include "gfx/particles.h"
#include "platform/clock.h"
#include "platform/heap.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/render_device.h"
#include "platform/settings_store.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"
#include "ui/level_pages.h"
#include "ui/map.h"
#include "ui/menu.h"
#include "ui/player_tables.h"

namespace corsavel {

namespace {

constexpr const char* kArchives[] = {"targa.dat", "jpeg.dat", "texts.dat"};

void loadArchives() {
    for (const char* name : kArchives) {
        loadArchive(name);
    }
}

// The release by name is given lower-case names and finds nothing: the
// archives' entries stay loadable for the whole run (level backgrounds are
// asked for later). Their memory is given back: an entry asked for again is
// read back from its archive file.
void releaseArchives() {
    for (const char* name : kArchives) {
        releaseAssetByName(name);
    }
    for (const char* name : kArchives) {
        parkArchive(name);
    }
}

void loadTextTables() {
    loadTextTable("strings.txt");
    loadTextTable("tips.txt");
}

// The profiles, level records and hiscores live in the user's "settings"
// folder, made on first use. The default record holders follow the run's
// seed only when it is fixed (the harness), never the rules' generator.
void loadSettingsTables() {
    loadPlayerTables(app.fixedSeed ? app.seed : clockMs());
}

// The tables first, then the settings record that holds the profile count:
// when "profiles.dat" could not be written the old record stays, and its
// count keeps matching the file. The record keeps the live choices of the
// device and the volumes.
void saveSettingsRecord() {
    if (!savePlayerTables()) {
        return;
    }
    storeProfileCountInSettings();
    settings.fullScreen = renderDevice.fullScreen != 0;
    settings.resolutionIndex = renderDevice.resolutionIndex;
    settings.trueColour = renderDevice.trueColour;
    settings.musicVolume = audio.musicVolume;
    settings.effectsVolume = audio.effectsVolume;
    writeSettings();
}

// The sound bank: the device output opens first (silent when there is no
// device); a test's own output, installed earlier, is kept.
void loadAllSounds() {
    installDeviceAudioOutput();
    initAudio();
    loadSounds();
    dropPrefetchedOgg();
}

// The models bring the game's one font and the board's images with them.
void loadModelsAndFont() {
    loadFont("font");
    loadBoardTextures();
    loadHudTextures();
    loadGoldBox();
}

// The page tree and the menus' panel, button and balloon images; the menus
// reach the screens and the saves through their routes.
void loadMenuPages() {
    installMenuRoutes();
    loadBalloonTextures(true);
    loadMenus();
}

// The island map, and the pages that choose levels on it and stand over play.
void loadMapAndLevelPages() {
    loadMap();
    registerLevelPageHooks();
}

constexpr LoadStep kLoadSteps[] = {
    {"archives", loadArchives, nullptr, nullptr},
    {"texts", loadTextTables, freeTextTables, nullptr},
    {"settings", loadSettingsTables, nullptr, saveSettingsRecord},
    {"sounds", loadAllSounds, shutdownAudio, nullptr},
    {"models", loadModelsAndFont, nullptr, nullptr},
    {"dancers", loadDancers, freeDancers, nullptr},
    {"levels", loadLevelPacks, nullptr, nullptr},
    {"effects", loadEffects, nullptr, nullptr},
    {"backgrounds", preloadBackgrounds, releaseBackgrounds, nullptr},
    {"menus", loadMenuPages, nullptr, nullptr},
    {"map", loadMapAndLevelPages, nullptr, nullptr},
};
constexpr int kLoadStepCount = static_cast<int>(sizeof kLoadSteps / sizeof kLoadSteps[0]);

double stepMs[kLoadStepCount] = {};

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int loadStepCount() {
    return kLoadStepCount;
}

const LoadStep& loadStep(int index) {
    return kLoadSteps[index < 0 ? 0 : (index >= kLoadStepCount ? kLoadStepCount - 1 : index)];
}

bool LoadingRedrawGate::due(float fraction, float barWidth, uint32_t nowMs) {
    // The bar is not clamped (more bytes than budgeted run past its frame);
    // the bound only keeps the pixel count an int.
    const float bounded = fraction < 0.0f ? 0.0f : (fraction > 1000.0f ? 1000.0f : fraction);
    const int pixels = static_cast<int>(bounded * barWidth);
    if (pixels == drawnPixels) {
        return false;
    }
    if (drawnPixels >= 0 && elapsedMs(drawnAtMs, nowMs) < kLoadingRedrawMs) {
        return false;
    }
    drawnPixels = pixels;
    drawnAtMs = nowMs;
    return true;
}

void startLoadingAhead() {
    // The sample files in the order the sound bank lists them.
    std::vector<std::string> paths;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute("Sounds", error);
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ogg") == 0) {
            paths.push_back(entry.path().string());
        }
    }
    prefetchOggFiles(paths);
}

double lastLoadStepMs(int index) {
    return index >= 0 && index < kLoadStepCount ? stepMs[index] : 0.0;
}

bool loadAll() {
    const uint32_t seed = app.fixedSeed ? app.seed : clockMs();
    seedGenerators(seed);
    for (int i = 0; i < kLoadStepCount; ++i) {
        const auto start = std::chrono::steady_clock::now();
        kLoadSteps[i].load();
        stepMs[i] = millisecondsSince(start);
    }
    setCurrentScreen(&introScreen);
    releaseArchives();
    // The load's transient buffers (file bytes, decodes) are freed by now;
    // the heap gives their pages back instead of keeping them resident.
    settleHeapAfterLoad();
    app.loadAllCount += 1;
    return true;
}

void releaseLoadSteps() {
    for (int i = kLoadStepCount - 1; i >= 0; --i) {
        if (kLoadSteps[i].release != nullptr) {
            kLoadSteps[i].release();
        }
    }
}

void saveAll() {
    for (const LoadStep& step : kLoadSteps) {
        if (step.save != nullptr) {
            step.save();
        }
    }
}

}  // namespace corsavel
