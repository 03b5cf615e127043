#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

// Where the other subsystems plug into the frame loop and the screens. Each
// table starts empty: a null entry is skipped (or gives the documented
// default), so the frame loop runs before every subsystem is wired.

// The render device as the frame loop uses it.
struct FrameDeviceHooks {
    bool (*createDevice)() = nullptr;
    void (*releaseDevice)() = nullptr;
    void (*clearTarget)(uint32_t argb) = nullptr;
    void (*clearDepth)(float z) = nullptr;
    void (*beginScene)() = nullptr;
    void (*endScene)() = nullptr;
    // Presents and resets a lost device; null presents the window directly.
    void (*presentFrame)() = nullptr;
    // Recomputes the projection from the client rectangle.
    void (*updatePerspective)() = nullptr;
    // The diagnostics overlay: fps text and triangle count, then the 3D
    // states restored and the triangle count reset.
    void (*drawDiagnostics)(const char* fpsText) = nullptr;
};

// Music as the intro and the menu screen drive it.
struct AudioHooks {
    // Music: start theme n at once; change to theme n (no change when it plays).
    void (*startMusic)(int32_t theme) = nullptr;
    void (*changeMusic)(int32_t theme) = nullptr;
    void (*updateMusic)() = nullptr;
};

// The one-time load, step by step, and the matching releases and saves.
struct LoadHooks {
    void (*loadTextTables)() = nullptr;      // "strings.txt", "tips.txt"
    void (*loadSettingsTables)() = nullptr;  // profiles, records, hiscores (in "settings")
    void (*loadEffects)() = nullptr;         // particle effects
    void (*loadBackgrounds)() = nullptr;     // animated backgrounds
    void (*loadMenus)() = nullptr;           // menu files
    void (*loadGuiTextures)() = nullptr;     // GUI textures
    void (*loadSounds)() = nullptr;          // sound bank
    void (*loadModels)() = nullptr;          // models, font, bolt texture
    void (*loadLevelPacks)() = nullptr;      // level packs
    void (*loadMap)() = nullptr;             // map images and path
    void (*freeTextTables)() = nullptr;
    // The whole save: settings record, profiles, records, hiscores. Null
    // writes the settings record alone.
    void (*saveAll)() = nullptr;
    // Stores the game in progress when the window is closed on a game.
    void (*saveGameInProgress)() = nullptr;
};

// The intro screen's drawing (splash images, loading screen, caption).
struct IntroHooks {
    void (*loadIntroImages)() = nullptr;
    // True when "splash2.jpg" was found and loaded.
    bool (*hasSecondSplash)() = nullptr;
    void (*drawSplash)(bool second, int32_t grey) = nullptr;
    // progress 0..1 (not clamped while loading), colour the fade colour.
    void (*drawLoadingScreen)(float progress, Colour fadeColour) = nullptr;
    void (*drawClickToContinue)(float introTimerMs, float fadeTimerMs) = nullptr;
    // Opens "main" when a profile exists, else "newprofile".
    void (*openFirstMenuPage)() = nullptr;
};

// The menus (pages, widgets) as the menu and game screens reach them.
struct MenuHooks {
    void (*keyDown)(int32_t virtualKey) = nullptr;
    void (*leftDown)() = nullptr;
    void (*leftDoubleClick)() = nullptr;
    void (*leftUp)() = nullptr;
    void (*mouseMove)() = nullptr;
    // The menu frame's pieces, in the order the menu screen draws them.
    void (*beginMenuFrame)() = nullptr;  // states, projection, camera, frustum
    void (*drawBackdrop)(int32_t kind) = nullptr;
    void (*updateAndDrawPages)() = nullptr;
    void (*updateAndDrawEffects)() = nullptr;
    void (*endMenuFrame)() = nullptr;  // alpha test off, blend mode 0
    void (*advanceGuiTimers)() = nullptr;
};

// The gameplay as the game screen reaches it.
struct GameplayHooks {
    void (*update)() = nullptr;
    void (*render)() = nullptr;
    void (*keyDown)(int32_t virtualKey) = nullptr;
    void (*leftDown)() = nullptr;
    void (*leftUp)() = nullptr;
    void (*leftDoubleClick)() = nullptr;
    void (*rightDown)() = nullptr;
    void (*rightUp)() = nullptr;
    void (*middleDown)() = nullptr;
    // The pointer moved while the in-game menu is closed.
    void (*mouseMove)() = nullptr;
    // The in-game menu is open (the gameplay's pause-menu flag).
    bool (*pauseMenuOpen)() = nullptr;
};

struct AppHooks {
    FrameDeviceHooks device;
    AudioHooks audio;
    LoadHooks load;
    IntroHooks intro;
    MenuHooks menu;
    GameplayHooks gameplay;
};

extern AppHooks hooks;

}  // namespace corsavel
