#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "game/game_requests.h"
#include "game/progress.h"
#include "game/rules.h"
#include "platform/frame_state.h"
#include "platform/random.h"
#include "resources/asset_registry.h"

namespace corsavel {

inline const char* const kGameSounds[] = {
    "unmove.ogg",     "combo.ogg",      "addbonus.ogg",  "zep.ogg",
    "square.ogg",     "figurefall.ogg", "bomb1.ogg",     "bomb2.ogg",
    "bomb3.ogg",      "bomb4.ogg",      "lightning.ogg", "boxopen.ogg",
    "boxclose.ogg",   "boxhit.ogg",     "boxfall.ogg",   "combobonus.ogg",
    "superchain.ogg", "addlife.ogg",    "timeup.ogg",    "ohthisishard.ogg",
    "barrel.ogg",     "ohno.ogg",       "tobad.ogg",     "Level_Complete.ogg",
    "mystery.ogg",    "timebonus.ogg",  "orgasm.ogg",    "youlearnquickly.ogg",
    "menu.ogg"};

// Times a named sample was requested since the last reset of the queue.
inline int timesPlayed(const char* name) {
    const int32_t index = findSample(name);
    if (index < 0) {
        return 0;
    }
    const uint32_t handle = audio.bank.entries[index].sample;
    int n = 0;
    for (const PlaySlot& s : audio.queue.slots) {
        n += (s.state == -1 && s.sample == handle) ? 1 : 0;
    }
    return n;
}

inline int lastFrequency(const char* name) {
    const uint32_t handle = audio.bank.entries[findSample(name)].sample;
    int f = 0;
    for (int i = 0; i < kPlaySlotCount; ++i) {
        const PlaySlot& s = audio.queue.slots[(audio.queue.cursor + i) % kPlaySlotCount];
        if (s.state == -1 && s.sample == handle) {
            f = s.frequency;
        }
    }
    return f;
}

// The requests the gameplay posted since the queue was last emptied, oldest
// first; the queue is emptied.
inline std::vector<GameRequest> takeRequests() {
    std::vector<GameRequest> out;
    GameRequest r;
    while (takeRequest(&r)) {
        out.push_back(r);
    }
    return out;
}

inline int countRequests(const std::vector<GameRequest>& list, GameRequestKind kind) {
    int n = 0;
    for (const GameRequest& r : list) {
        n += r.kind == kind ? 1 : 0;
    }
    return n;
}

// The page of the last OpenPage request in the list, "" when none.
inline std::string openedPage(const std::vector<GameRequest>& list) {
    std::string page;
    for (const GameRequest& r : list) {
        if (r.kind == GameRequestKind::OpenPage) {
            page = r.text;
        }
    }
    return page;
}

// A small level served from memory for the rules that restart a level.
inline void registerTestLevel(int number) {
    static char text[] = "figures=6\r\ntime=60\r\nlevel=\r\n111111111111\r\n";
    char name[40];
    std::snprintf(name, sizeof name, "levels\\pack1_%.2i.lvl", number);
    if (!findAsset(name)) {
        registerAsset(name, static_cast<int32_t>(sizeof text - 1), reinterpret_cast<uint8_t*>(text),
                      false);
    }
}

// A board of plain tiles whose figures form no line in any direction.
class RulesTest : public ::testing::Test {
protected:
    Profile profile{};

    void SetUp() override {
        seedRandom(12345);
        setAudioOutput(nullptr);
        resetAudio();
        for (size_t i = 0; i < sizeof(kGameSounds) / sizeof(kGameSounds[0]); ++i) {
            addSample(kGameSounds[i], static_cast<uint32_t>(100 + i));
        }
        clearRequests();
        profile = Profile{};
        profile.lives[0] = 3;
        profile.lives[1] = 3;
        profile.helpShown = 1;
        setActiveProfile(&profile);
        session = SessionState{};
        game = GameState{};
        game.flags.levelLoaded = true;
        app.frameStepMs = 10.0f;
        app.animationClockMs = 0.0f;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                game.board.cells[r][c].figure.kind = noLineSlot(r, c);
            }
        }
        game.hand.heldFigure.kind = 0;
        for (int n = 1; n <= 3; ++n) {
            registerTestLevel(n);
        }
    }

    void TearDown() override { setActiveProfile(nullptr); }

    static int noLineSlot(int r, int c) { return (c + 3 * r) % 8; }

    Cell& cell(int r, int c) { return game.board.cells[r][c]; }
    void put(int r, int c, int slot) { cell(r, c).figure.kind = slot; }
    void clearQueue() { audio.queue = PlayQueue{}; }

    // Runs the frame step until the board rests and no cascade is left.
    int runUntilQuiet(int maxFrames = 3000) {
        for (int i = 0; i < maxFrames; ++i) {
            gameplayUpdateStep(10.0f);
            if (!game.match.cascadeActive && !game.match.playerMove && isSettled() &&
                game.match.cascadeDelayMs < 0.0f && isAtRest(game.hand.heldFigure)) {
                bool pending = false;
                for (const BlastEvent& e : game.blasts.events) {
                    pending |= e.type != 0;
                }
                if (!pending) {
                    return i;
                }
            }
        }
        return maxFrames;
    }
};

}  // namespace corsavel
