// Scene files: any bytes give at most the layers that are really there, and
// a background built from them (every scene file of the one-time load) is
// shown, cross-faded, animated and drawn into the null device with every
// kind of layer, the values in the records driving all of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/background.h"
#include "platform/frame_state.h"
#include "platform/null_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace {

using namespace corsavel;

// A 2x2 32-bit TGA for every layer picture.
uint8_t layerTga[18 + 16] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8};

// The manifest: the names the game's scene files use, every kind of layer.
std::vector<char> manifestText() {
    std::string text = "[layers/]\r\n";
    for (const char* stem : {"sky", "water"}) {
        for (int i = 0; i < 13; ++i) {
            text += std::string(stem) + std::to_string(i) + "= fuzz/layer.tga\r\n";
        }
    }
    for (const char* name : {"waterfall", "spray", "leaves", "leaves1", "leaves2", "boat"}) {
        text += std::string(name) + "= fuzz/layer.tga\r\n";
    }
    text += "[/layers]\r\n";
    return {text.begin(), text.end()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullDevice device;
    static const bool installed = (setRenderBackend(&device), true);
    (void)installed;
    static std::vector<char> manifest = manifestText();

    static LayerRecord records[kMaxBackgroundLayers];
    int32_t count = -1;
    const bool ok = parseSceneFile(data, size, records, kMaxBackgroundLayers, &count);
    if (count < 0 || count > kMaxBackgroundLayers) {
        std::abort();
    }
    if (ok &&
        static_cast<size_t>(kSceneHeaderSize) + static_cast<size_t>(count) * kLayerRecordSize >
            size) {
        std::abort();
    }
    for (int32_t i = 0; i < count; ++i) {
        if (records[i].name[kSceneNameSize - 1] != '\0') {
            std::abort();
        }
        layerKindOf(records[i].name);
    }

    // The same bytes as every background's scene file, read the game's way.
    std::vector<uint8_t> bytes(data, data + size);
    registerAsset("gameobjs.txt", static_cast<int32_t>(manifest.size()),
                  reinterpret_cast<uint8_t*>(manifest.data()), false);
    registerAsset("fuzz/layer.tga", sizeof layerTga, layerTga, false);
    for (int n = 0; n < kBackgroundCount; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "AnimBacks/level%i.lev", n);
        registerAsset(name, static_cast<int32_t>(bytes.size()), bytes.data(), false);
    }
    preloadBackgrounds();
    if (background.scenes[1].count != (ok ? count : 0)) {
        std::abort();
    }
    app.animationClockMs = 0.0f;
    loadBackground(1);
    for (float step : {16.0f, 1000.0f, 300000.0f, 16.0f}) {
        app.animationClockMs += step;
        updateBackground(step);
        drawBackground();
    }
    queueBackground(2);
    for (float step : {16.0f, 3100.0f, 16.0f, 3000.0f}) {
        app.animationClockMs += step;
        updateBackground(step);
        drawBackgroundWithFade();
    }
    releaseBackgrounds();
    clearAssetRegistry();
    return 0;
}
