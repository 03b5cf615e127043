#pragma once

#include <cstdint>

namespace corsavel {

// What the rules ask of the layers above them (menus, profiles, records,
// backgrounds, characters). Every entry may be null: the rules then carry on
// without it, which is how the tests and the bot run.
struct GameplayServices {
    void (*openMenuPage)(const char* page) = nullptr;
    void (*recordLevelResult)(int32_t score, float elapsedMs) = nullptr;
    void (*saveProfiles)() = nullptr;
    void (*setTintNow)(float brightness) = nullptr;
    void (*setTintTarget)(float r, float g, float b, float a) = nullptr;
    void (*loadBackground)(int32_t number) = nullptr;
    void (*queueBackground)(int32_t number) = nullptr;
    void (*loadGameCompletePicture)() = nullptr;
    // The instructions overlay's demonstration boards (drawn by the HUD code).
    void (*prepareDemonstration)() = nullptr;
    void (*demonstrationTick)(float stepMs) = nullptr;
    // A time-out with no life left: update the level records.
    void (*updateRecordsOnGameOver)() = nullptr;
    // Clicks on the stage-complete and game-complete screens.
    void (*continueToNextLevel)() = nullptr;
    void (*returnToMenus)() = nullptr;
};

extern GameplayServices gameplayServices;

}  // namespace corsavel
