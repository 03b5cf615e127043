#include "game/dancers.h"

#include <cstdio>

#include "gfx/animation.h"
#include "gfx/character.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

bool opensWithJumpSplits(const Dancer& dancer) {
    return dancer.sequence[0] == kJumpSplitDance && dancer.sequence[1] == kJumpSplitDance;
}

// The first dance starts at the dancer's start offset (the clock wraps it
// into the dance).
void startDancer(Dancer& dancer) {
    const int first = danceAt(dancer, 0);
    dancer.sequenceIndex = 0;
    dancer.dance = first >= 0 ? first : 0;
    dancer.clock = AnimationClock{};
    dancer.clock.current = danceAnimation(dancer.dance);
    const float offset = dancer.startOffsetMs > 0.0f ? dancer.startOffsetMs : 0.0f;
    advanceAnimationClock(dancer.clock, offset);
}

}  // namespace

// The dancers are lit by light 0 with the scene's material (its alpha
// passes their alpha test).
void loadDancers() {
    setupSceneLight();
    loadInsideFolder("models", [] { loadCharacterSet(); });
}

void freeDancers() {
    freeCharacterSet();
}

int danceAt(const Dancer& dancer, int index) {
    if (index < 0 || index >= kDanceSequenceLength) {
        return -1;
    }
    const int dance = dancer.sequence[index];
    return dance >= 0 && dance < kDanceCount ? dance : -1;
}

int dancerKind(const Dancer& dancer) {
    return dancer.model >= 0 && dancer.model < kCharacterKinds ? dancer.model : 0;
}

void tickDancer(Dancer& dancer, float stepMs) {
    if (dancer.clock.current == nullptr) {
        startDancer(dancer);
        if (dancer.clock.current == nullptr) {
            return;
        }
    }
    const float lead = opensWithJumpSplits(dancer) ? kJumpSplitBlendMs : kDanceBlendMs;
    AnimationClock& clock = dancer.clock;
    // Shortly before the dance ends the next one of the sequence fades in;
    // past the sequence's end (or at its -1) it starts over.
    if (!clock.blending && clock.timeMs > clock.current->durationMs - lead) {
        int index = dancer.sequenceIndex + 1;
        if (danceAt(dancer, index) < 0) {
            index = 0;
        }
        const int next = danceAt(dancer, index);
        dancer.sequenceIndex = index;
        dancer.dance = next >= 0 ? next : 0;
        const Animation* animation = danceAnimation(dancer.dance);
        if (animation != nullptr) {
            blendToAnimation(clock, animation, lead);
        }
    }
    advanceAnimationClock(clock, stepMs);
    dancer.playMs = clock.timeMs;
}

void dancersTick(float stepMs) {
    LevelSetup& level = game.level;
    const int count = level.dancerCount < kMaxDancers ? level.dancerCount : kMaxDancers;
    for (int i = 0; i < count; ++i) {
        tickDancer(level.dancers[i], stepMs);
    }
}

}  // namespace corsavel
