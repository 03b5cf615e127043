#include "game/progress.h"

namespace corsavel {

namespace {

Profile defaultProfile = [] {
    Profile p{};
    p.lives[0] = 3;
    p.lives[1] = 3;
    return p;
}();
Profile* currentProfile = &defaultProfile;

}  // namespace

int32_t stageOfLevel(int32_t n) {
    int32_t sum = 0;
    for (int32_t s = 0; s < kStageCount; ++s) {
        sum += kStageSizes[s];
        if (sum > n) {
            return s;
        }
    }
    return kStageCount;
}

int32_t stageStart(int32_t stage) {
    int32_t sum = 0;
    for (int32_t s = 0; s < stage && s < kStageCount; ++s) {
        sum += kStageSizes[s];
    }
    return sum;
}

int32_t levelInStage(int32_t n) {
    return n - stageStart(stageOfLevel(n));
}

bool startsLaterStage(int32_t n) {
    const int32_t stage = stageOfLevel(n);
    return stage > 0 && stage < kStageCount && stageStart(stage) == n;
}

int profileMode(const Profile& p) {
    return p.lastMode == 1 ? 1 : 0;
}

int32_t progressLevel(const Profile& p) {
    const int m = profileMode(p);
    return stageStart(p.currentStage[m]) + p.currentIndex[m];
}

int32_t unlockedLevel(const Profile& p) {
    const int m = profileMode(p);
    return stageStart(p.unlockedStage[m]) + p.unlockedIndex[m];
}

void setProgressLevel(Profile& p, int32_t n) {
    const int m = profileMode(p);
    p.currentIndex[m] = levelInStage(n);
    p.currentStage[m] = stageOfLevel(n);
}

void advanceProgress(Profile& p, bool* stageDone, bool* gameDone) {
    if (stageDone) {
        *stageDone = false;
    }
    if (gameDone) {
        *gameDone = false;
    }
    const int m = profileMode(p);
    const int32_t progress = progressLevel(p);
    const int32_t next = progress >= kLevelCount - 1 ? kLevelCount - 1 : progress + 1;
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

int32_t profileLives(const Profile& p) {
    return p.lives[profileMode(p)];
}

void setProfileLives(Profile& p, int32_t v) {
    p.lives[profileMode(p)] = v;
}

void addProfileLife(Profile& p) {
    p.lives[profileMode(p)] += 1;
}

int32_t removeProfileLife(Profile& p) {
    return --p.lives[profileMode(p)];
}

int32_t profileScore(const Profile& p) {
    return p.score[profileMode(p)];
}

void setProfileScore(Profile& p, int32_t v) {
    p.score[profileMode(p)] = v;
}

void setLastMode(Profile& p, int32_t mode) {
    p.lastMode = static_cast<uint8_t>(mode);
}

Profile& activeProfile() {
    return *currentProfile;
}

void setActiveProfile(Profile* profile) {
    currentProfile = profile ? profile : &defaultProfile;
}

}  // namespace corsavel
