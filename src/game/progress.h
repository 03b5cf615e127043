#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// Levels 0..99 in 12 stages; a profile stores positions as (stage, index).
constexpr int kStageCount = 12;
constexpr int kLevelCount = 100;
constexpr int32_t kStageSizes[kStageCount] = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 11};

// The size of the name field, and what the name entry allows in it.
constexpr int kProfileNameSize = 32;
constexpr int kProfileNameMaxLength = 12;

// One player, stored in "profiles.dat" exactly as in memory. Per-mode pairs
// hold mode 0 (adventure) first.
struct Profile {
    char name[kProfileNameSize];
    int32_t currentIndex[2];
    int32_t currentStage[2];
    int32_t unlockedIndex[2];
    int32_t unlockedStage[2];
    int32_t lives[2];
    int32_t score[2];
    uint8_t lastMode;
    uint8_t reserved81[7];
    uint8_t savedGame[2];
    uint8_t helpShown;        // 90: instructions seen
    uint8_t tipPowerupShown;  // 91
    uint8_t tipRelaxShown;    // 92
    uint8_t tipSquareShown;   // 93
    uint8_t tipChainShown;    // 94
    uint8_t reserved95[7];
    uint8_t quickLearnerVoice;  // 102
    uint8_t reserved103;
};

static_assert(sizeof(Profile) == 104);
static_assert(offsetof(Profile, lastMode) == 80);
static_assert(offsetof(Profile, savedGame) == 88);
static_assert(offsetof(Profile, tipChainShown) == 94);
static_assert(offsetof(Profile, quickLearnerVoice) == 102);

// The stage whose range holds level n; 12 when n >= 100 (and 0 below 0).
int32_t stageOfLevel(int32_t n);
// The first level of a stage (100 for the stage past the last).
int32_t stageStart(int32_t stage);
int32_t levelInStage(int32_t n);
// True when level n opens a stage after the first (4, 9, 15, ... 89).
bool startsLaterStage(int32_t n);

// Per-mode fields follow the last-mode byte; anything but 1 reads as mode 0.
int profileMode(const Profile& p);
int32_t progressLevel(const Profile& p);
int32_t unlockedLevel(const Profile& p);
void setProgressLevel(Profile& p, int32_t n);

// After a won level: the next level becomes current and is unlocked; the
// flags tell whether a stage or the whole game was completed.
void advanceProgress(Profile& p, bool* stageDone = nullptr, bool* gameDone = nullptr);

int32_t profileLives(const Profile& p);
void setProfileLives(Profile& p, int32_t v);
void addProfileLife(Profile& p);
// Takes one life; returns the lives left.
int32_t removeProfileLife(Profile& p);
int32_t profileScore(const Profile& p);
void setProfileScore(Profile& p, int32_t v);
void setLastMode(Profile& p, int32_t mode);

// The profile the gameplay reads and writes: the profile table points it at
// its current record; with none, a built-in record with three lives is used.
Profile& activeProfile();
void setActiveProfile(Profile* profile);

}  // namespace corsavel
