// Dump fields of the level's dancers: how many, and for each the dance it
// plays (or fades into), its place in its sequence and its clock.

#include <cstdio>
#include <string>
#include <utility>

#include "game/game_state.h"
#include "gfx/animation.h"
#include "harness.h"

namespace corsavel::harness {
namespace {

HarnessValue dancersField() {
    std::string json = "[";
    const LevelSetup& level = game.level;
    for (int i = 0; i < level.dancerCount && i < kMaxDancers; ++i) {
        const Dancer& d = level.dancers[i];
        char entry[256];
        std::snprintf(entry, sizeof entry,
                      "%s{\"dance\":%d,\"sequenceIndex\":%d,\"timeMs\":%.1f,\"blending\":%d,"
                      "\"hat\":%d,\"model\":%d,\"x\":%.1f,\"scale\":%.2f}",
                      i > 0 ? "," : "", d.dance, d.sequenceIndex, d.clock.timeMs,
                      d.clock.blending ? 1 : 0, d.hat, d.model, d.x, d.scale);
        json += entry;
    }
    return HarnessValue::json(json + "]");
}

// One field per dancer slot for `expect` and `until`: -1 past the count.
template <int I>
HarnessValue danceField() {
    return HarnessValue::number(I < game.level.dancerCount ? game.level.dancers[I].dance : -1);
}
template <int I>
HarnessValue sequenceField() {
    return HarnessValue::number(I < game.level.dancerCount ? game.level.dancers[I].sequenceIndex
                                                           : -1);
}

// `nodancers`: the level goes on without its dancers (to compare frame
// costs or pictures with and without them).
bool noDancersCommand(const HarnessArgs& args, std::string* error) {
    if (!args.empty()) {
        *error = "nodancers takes no arguments";
        return false;
    }
    game.level.dancerCount = 0;
    return true;
}

template <int... I>
bool registerSlots(std::integer_sequence<int, I...>) {
    static const char* const kDance[] = {"dancer0Dance", "dancer1Dance", "dancer2Dance",
                                         "dancer3Dance", "dancer4Dance", "dancer5Dance",
                                         "dancer6Dance", "dancer7Dance", "dancer8Dance",
                                         "dancer9Dance"};
    static const char* const kSequence[] = {
        "dancer0Sequence", "dancer1Sequence", "dancer2Sequence", "dancer3Sequence",
        "dancer4Sequence", "dancer5Sequence", "dancer6Sequence", "dancer7Sequence",
        "dancer8Sequence", "dancer9Sequence"};
    return ((registerDumpField(kDance[I], danceField<I>) &&
             registerDumpField(kSequence[I], sequenceField<I>)) &&
            ...);
}

const bool registered =
    registerDumpField("dancerCount",
                      [] { return HarnessValue::number(game.level.dancerCount); }) &&
    registerDumpField("dancerCameraDepth",
                      [] { return HarnessValue::number(game.level.dancerCameraDepth); }) &&
    registerDumpField("dancers", dancersField) &&
    registerHarnessCommand("nodancers", noDancersCommand) &&
    registerSlots(std::make_integer_sequence<int, kMaxDancers>{});

}  // namespace
}  // namespace corsavel::harness
