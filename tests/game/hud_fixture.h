#pragma once

// A gameplay fixture whose frames are drawn into the recording device, with
// every HUD image and a plain font (each character one unit of the size
// wide) standing in for the forged data.

#include <cmath>
#include <vector>

#include "game/game_draw.h"
#include "game/hud_layout.h"
#include "game/hud_textures.h"
#include "game/instructions.h"
#include "game/looks.h"
#include "gfx/balloon.h"
#include "gfx/bolts.h"
#include "gfx/font.h"
#include "gfx/gui_sprites.h"
#include "gfx/text_effects.h"
#include "gfx/texture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "resources/text_table.h"
#include "rules_fixture.h"

namespace corsavel {

inline const char* const kHudImages[] = {"gamebar.tga",
                                         "fuse.tga",
                                         "zhelob.tga",
                                         "barrel.tga",
                                         "heart.tga",
                                         "02.tga",
                                         "tip.tga",
                                         "flare.jpg",
                                         "cursor.tga",
                                         "baloon.tga",
                                         "button.tga",
                                         "white.jpg",
                                         "podsvet.jpg",
                                         "menutex.tga",
                                         "menumap.jpg",
                                         "gamecomplete.jpg",
                                         "field\\field0.tga",
                                         "field\\field1.tga",
                                         "field\\field2.tga",
                                         "field\\field4.tga",
                                         "field\\field1a.tga",
                                         "field\\field2a.tga",
                                         "zep2.tga",
                                         "bonus1.tga",
                                         "bonus2.tga",
                                         "font.tga",
                                         "figures\\coins.tga",
                                         "figures\\nugget.tga",
                                         "figures\\perl.tga",
                                         "figures\\perls.tga",
                                         "figures\\rings2.tga",
                                         "figures\\rings3.tga",
                                         "figures\\sack.tga",
                                         "figures\\scepter.tga",
                                         "figures\\bracelet.tga",
                                         "figures\\brooch1.tga",
                                         "figures\\crown.tga",
                                         "figures\\dagger.tga",
                                         "figures\\goblet.tga",
                                         "figures\\locket1.tga",
                                         "figures\\pot.tga",
                                         "figures\\rings1.tga",
                                         "figures\\diamond.tga"};

class HudTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        device.install();
        releaseAllTextures();
        for (const char* name : kHudImages) {
            ASSERT_NE(createTexture(name, 64, 64, kTextureFormatA8R8G8B8, false), nullptr);
        }
        boltState = BoltState{};
        setMenuTexture(nullptr);
        loadBoardTextures();
        hudTextures = HudTextures{};
        hudDraw = HudDrawState{};
        loadHudTexturesWith(true);
        balloon = BalloonState{};
        demo = DemoState{};
        clearTextEffects();
        resetTextState();
        Font font;
        for (float& a : font.advance) {
            a = 1.0f;
        }
        font.cellsPerRow = 16;
        font.cellUV = 1.0f / 16.0f;
        font.texture = findTexture("font.tga");
        addFont(font);
        freeTextTables();
        addText("chainbtip", "Chained figures cannot be picked up.", 36);
        addText("continue", "Continue", 8);
        addText("pause", "PAUSE", 5);
        game.hand.cursor = game.hand.cursorCopy = Vec2{390.0f, 290.0f};
        game.clock.timeLimitMs = 60000.0f;
        device.reset();
    }
    void TearDown() override {
        freeTextTables();
        resetTextState();
        clearTextEffects();
        game = GameState{};
        releaseAllTextures();
        setMenuTexture(nullptr);
        hudTextures = HudTextures{};
        boltState = BoltState{};
        device.uninstall();
        RulesTest::TearDown();
    }

    uint32_t handle(const char* name) const {
        const TextureEntry* e = findTexture(name);
        return e != nullptr ? e->texture : 0u;
    }
    std::vector<const DrawRecord*> drawsWith(const char* name) const {
        std::vector<const DrawRecord*> out;
        for (const DrawRecord& d : device.draws) {
            if (d.texture == handle(name)) {
                out.push_back(&d);
            }
        }
        return out;
    }
    static Vec3 centreOf(const DrawRecord& d) {
        Vec3 sum{};
        for (int i = 0; i < d.vertexCount; ++i) {
            sum = sum + d.position(i);
        }
        return d.vertexCount > 0 ? sum * (1.0f / static_cast<float>(d.vertexCount)) : sum;
    }
    static float extent(const DrawRecord& d, bool vertical) {
        float lo = 1e9f;
        float hi = -1e9f;
        for (int i = 0; i < d.vertexCount; ++i) {
            const float v = vertical ? d.position(i).y : d.position(i).x;
            lo = std::fmin(lo, v);
            hi = std::fmax(hi, v);
        }
        return hi - lo;
    }
    static int alphaOf(const DrawRecord& d) { return static_cast<int>(d.colour(0) >> 24); }
    // Glyph quads whose centre lies in the scene rectangle.
    std::vector<const DrawRecord*> glyphsIn(float left, float top, float right,
                                            float bottom) const {
        std::vector<const DrawRecord*> out;
        for (const DrawRecord* d : drawsWith("font.tga")) {
            const Vec3 c = centreOf(*d);
            if (c.x >= left && c.x <= right && c.y <= top && c.y >= bottom) {
                out.push_back(d);
            }
        }
        return out;
    }

    RecordingDevice device;
};

}  // namespace corsavel
