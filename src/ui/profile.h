#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// Levels 0..99 in 12 stages; a profile stores positions as (stage, index).
constexpr int kStageCount = 12;
constexpr int kLevelCount = 100;
constexpr int32_t kStageSizes[kStageCount] = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 11};

// One player, stored in "profiles.dat" exactly as in memory. Per-mode pairs
// hold mode 0 (adventure) first.
struct Profile {
    char name[32];
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
inline int32_t stageOfLevel(int32_t n) {
    int32_t sum = 0;
    for (int32_t s = 0; s < kStageCount; ++s) {
        sum += kStageSizes[s];
        if (sum > n) {
            return s;
        }
    }
    return kStageCount;
}

inline int32_t stageStart(int32_t stage) {
    int32_t sum = 0;
    for (int32_t s = 0; s < stage && s < kStageCount; ++s) {
        sum += kStageSizes[s];
    }
    return sum;
}

inline int32_t levelInStage(int32_t n) {
    return n - stageStart(stageOfLevel(n));
}

// Per-mode fields follow the last-mode byte; anything but 1 reads as mode 0.
inline int profileMode(const Profile& p) {
    return p.lastMode == 1 ? 1 : 0;
}

inline int32_t progressLevel(const Profile& p) {
    const int m = profileMode(p);
    return stageStart(p.currentStage[m]) + p.currentIndex[m];
}

inline int32_t unlockedLevel(const Profile& p) {
    const int m = profileMode(p);
    return stageStart(p.unlockedStage[m]) + p.unlockedIndex[m];
}

inline void setProgressLevel(Profile& p, int32_t n) {
    const int m = profileMode(p);
    p.currentIndex[m] = levelInStage(n);
    p.currentStage[m] = stageOfLevel(n);
}

// After a won level: the next level becomes current and is unlocked; the
// flags tell whether a stage or the whole game was completed.
inline void advanceProgress(Profile& p, bool* stageDone = nullptr, bool* gameDone = nullptr) {
    if (stageDone) {
        *stageDone = false;
    }
    if (gameDone) {
        *gameDone = false;
    }
    const int m = profileMode(p);
    const int32_t progress = progressLevel(p);
    const int32_t next = progress >= 99 ? 99 : progress + 1;
    const int32_t unlocked = unlockedLevel(p) > next ? unlockedLevel(p) : next;
    p.unlockedStage[m] = stageOfLevel(unlocked);
    p.unlockedIndex[m] = levelInStage(unlocked);
    p.currentIndex[m] += 1;
    const int32_t stage = p.currentStage[m];
    if (stage >= 0 && stage < kStageCount && p.currentIndex[m] < kStageSizes[stage]) {
        return;
    }
    p.currentStage[m] += 1;
    p.currentIndex[m] = 0;
    // Past the last stage there is no level to unlock: the unlock stays on
    // the last level instead of pointing one stage beyond the table.
    if (p.unlockedStage[m] < p.currentStage[m] && p.currentStage[m] < kStageCount) {
        p.unlockedStage[m] = p.currentStage[m];
        p.unlockedIndex[m] = 0;
    }
    if (stageDone) {
        *stageDone = true;
    }
    if (p.currentStage[m] >= kStageCount) {
        if (gameDone) {
            *gameDone = true;
        }
        p.currentStage[m] = 0;
    }
}

inline int32_t profileLives(const Profile& p) {
    return p.lives[profileMode(p)];
}
inline void setProfileLives(Profile& p, int32_t v) {
    p.lives[profileMode(p)] = v;
}
inline void addProfileLife(Profile& p) {
    p.lives[profileMode(p)] += 1;
}
inline int32_t removeProfileLife(Profile& p) {
    return --p.lives[profileMode(p)];
}
inline int32_t profileScore(const Profile& p) {
    return p.score[profileMode(p)];
}
inline void setProfileScore(Profile& p, int32_t v) {
    p.score[profileMode(p)] = v;
}
inline void setLastMode(Profile& p, int32_t mode) {
    p.lastMode = static_cast<uint8_t>(mode);
}

// The profile the gameplay reads and writes: the menus point it at the
// current record of the profile table; until then a built-in record is used.
Profile& activeProfile();
void setActiveProfile(Profile* profile);

}  // namespace corsavel
