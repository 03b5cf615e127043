// The HUD around the board: the side panel with score, level, lives and the
// "MENU" button; the time fuse with its barrel; the time-bonus texts; the
// hint; the pause, stage, celebration and game-complete screens; floating
// scores and tile-break pieces.

#include <cmath>
#include <cstdio>

#include "game/game_draw.h"
#include "game/hud_layout.h"
#include "game/hud_textures.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/balloon.h"
#include "gfx/draw_helpers.h"
#include "gfx/font.h"
#include "gfx/panel.h"
#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"

namespace corsavel {

HudTextures hudTextures;

namespace {

constexpr Colour kLabelColour = makeColour(255, 250, 214, 140);
constexpr Colour kValueColour = 0xFFFFFFFFu;
constexpr Colour kHoverColour = makeColour(255, 255, 240, 60);
constexpr float kPanelLeft = -400.0f;
constexpr float kPanelRight = -280.0f;
constexpr float kPanelTop = 330.0f;
constexpr float kPanelBottom = -110.0f;

// The fuse's cord and its trough (the fuse's ends are in hud_layout.h).
constexpr float kFuseHeight = 18.0f;
constexpr float kFuseTexelUnits = 144.0f;    // scene units of the cord image's width
constexpr float kTroughTexelUnits = 288.0f;  // and of the trough's
constexpr Vec2 kBarrel{350.0f, -240.0f};
constexpr float kBarrelSize = 64.0f;

constexpr float kMarkerSize = 51.6f;
constexpr float kTileEdge = 51.8f;

const char* textOf(const char* key) {
    const char* t = findText(key);
    return t != nullptr ? t : key;
}

void drawLabel(float x, float y, float size, const char* text, Colour colour) {
    setTextColourARGB(colour);
    drawText(x, y, size, text, false);
}

// A glint of the HUD's glow image (nothing without the image).
void drawGlowGlint(float x, float y, float edge, float turn, Colour colour) {
    if (hudTextures.glow == nullptr) {
        return;
    }
    bindTexture(hudTextures.glow);
    drawGlint(x, y, edge, turn, colour);
}

// "keytoresume" at the bottom, growing and fading in with the wave v.
void drawResumeText(float v) {
    if (v <= 0.0f) {
        return;
    }
    setTextColourARGB(withAlpha(kValueColour, v * 255.0f));
    drawTextCentred(0.0f, -280.0f, 13.0f + v, textOf("keytoresume"));
    setTextColourARGB(0xFFFFFFFFu);
}

void drawLives(float slide) {
    const ScoreState& s = shown.scores;
    const LivesLook look = livesLook(profileLives(activeProfile()), s.lifeGained, s.lifeGainedMs);
    if (hudTextures.heart != nullptr && look.hearts > 0) {
        normalBlend();
        bindTexture(hudTextures.heart);
        const float b = look.bounce;
        for (int i = 0; i < look.hearts; ++i) {
            const float left = look.heartLeft[i] + slide;
            drawSpriteRect(left - b, kHeartTop + b, left + kHeartSize + b,
                           kHeartTop - kHeartSize - b, UvRect{}, 0xFFFFFFFFu, 0.0f);
        }
    }
    char text[24];
    if (look.showCount) {
        std::snprintf(text, sizeof text, "x%i", static_cast<int>(profileLives(activeProfile())));
        drawLabel(look.heartLeft[0] + 30.0f + slide, kHeartTop - 12.0f, 13.0f, text, kValueColour);
    } else if (look.lastLife) {
        drawLabel(-367.0f + slide, kHeartTop - 12.0f, 11.0f, "last life", kValueColour);
    }
}

void drawMenuButton(float slide) {
    const bool hovered = menuButtonHovered();
    const float size = hudDraw.menuButtonSize;
    drawLabel(-365.0f + slide - 2.0f * (size - 13.0f), -30.0f, size, "MENU",
              hovered ? kHoverColour : kLabelColour);
}

// A quiet load of an 800x600 picture: nothing when the file is missing.
const TextureEntry* loadPicture(const char* name, bool fatal) {
    if (const TextureEntry* found = findTexture(name)) {
        return found;
    }
    // The loader below takes the bytes that this look-up registers.
    int32_t size = 0;
    if (!fatal && loadFile(name, &size, false) == nullptr) {
        return nullptr;
    }
    return loadImageSized(name, 800, 600);
}

// A full picture loaded into the top-left of a larger texture.
void drawPicture(const TextureEntry* t, float left, float top, float right, float bottom,
                 Colour colour) {
    if (t == nullptr || t->width <= 0 || t->height <= 0) {
        return;
    }
    bindTexture(t);
    const float uMax = 800.0f / static_cast<float>(t->width);
    const float vMax = 600.0f / static_cast<float>(t->height);
    drawSpriteRect(left, top, right, bottom,
                   UvRect{0.001f, 0.001f, (uMax > 1.0f ? 1.0f : uMax) - 0.001f,
                          (vMax > 1.0f ? 1.0f : vMax) - 0.001f},
                   colour, 0.0f);
}

void drawFuseSpark(float x, float y, float alpha) {
    const float clock = app.animationClockMs;
    const float flicker = 0.75f + 0.25f * std::sin(clock * 0.05f) * std::sin(clock * 0.031f);
    const float k = alpha / 255.0f;
    additiveBlend();
    drawGlowGlint(x, y, 34.0f * flicker, clock * 0.3f,
                  makeColour(static_cast<int>(230 * k), 255, 190, 80));
    drawGlowGlint(x, y, 16.0f, clock * -0.2f, makeColour(static_cast<int>(255 * k), 255, 250, 220));
    normalBlend();
}

void drawHintLineCells(float alpha) {
    const GroupRecord& g = shown.match.hintGroup;
    const int n = g.length < kGroupPositions ? g.length : kGroupPositions;
    additiveBlend();
    for (int i = 0; i < n; ++i) {
        const int r = g.rows[i];
        const int c = g.columns[i];
        if (r < 0 || r >= kRows || c < 0 || c >= kColumns) {
            continue;
        }
        const Vec2 p = cellCentre(c, r) + shown.board.cells[r][c].tileOffset;
        const float a = hintLineAlpha(i, app.animationClockMs) * alpha / 255.0f;
        drawGlowGlint(p.x, p.y, 62.0f, 45.0f,
                      makeColour(static_cast<int>(a * 0.55f), 255, 220, 120));
    }
    normalBlend();
}

// "+N" as a floating score reads ("+%i"), without a formatted print for every
// score in every frame of a cascade.
void writeScoreText(int32_t value, char (&out)[24]) {
    char digits[12];
    int n = 0;
    uint32_t v = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10u);
        v /= 10u;
    } while (v != 0u);
    int k = 0;
    out[k++] = '+';
    if (value < 0) {
        out[k++] = '-';
    }
    while (n > 0) {
        out[k++] = digits[--n];
    }
    out[k] = 0;
}

bool hintShown() {
    return shown.tips.hintVisible && !shown.flags.boardDone;
}

}  // namespace

void loadHudTexturesWith(bool fatal) {
    HudTextures& t = hudTextures;
    t.gamebar = loadTexture("gamebar.tga", fatal);
    t.fuse = loadTexture("fuse.tga", fatal);
    t.trough = loadTexture("zhelob.tga", fatal);
    t.barrel = loadTexture("barrel.tga", fatal);
    t.heart = loadTexture("heart.tga", fatal);
    t.hintMarker = loadTexture("02.tga", fatal);
    t.tipIcon = loadTexture("tip.tga", fatal);
    t.glow = loadTexture("flare.jpg", fatal);
    t.cursor = loadTexture("cursor.tga", fatal);
    constexpr const char* kTiles[4] = {"field\\field0.tga", "field\\field1.tga",
                                       "field\\field2.tga", "field\\field4.tga"};
    for (int i = 0; i < 4; ++i) {
        t.tiles[i] = loadTexture(kTiles[i], fatal);
    }
    char path[64];
    for (int k = 0; k < kFigureKindCount; ++k) {
        figureSheetPath(k, path, sizeof path);
        t.figures[k].load(path, 32);
        t.figures[k].setMetrics(48.4f, 90);
    }
    t.stagePicture = loadPicture("menumap.jpg", fatal);
    loadBalloonTextures(fatal);
}

void loadGameCompletePicture() {
    if (hudTextures.gameComplete == nullptr) {
        hudTextures.gameComplete = loadPicture("gamecomplete.jpg", false);
    }
}

void loadHudTextures() {
    loadHudTexturesWith(true);
}

void drawHud() {
    const float slide = shown.hud.hudSlide;
    if (slide <= kHudHiddenSlide) {
        return;
    }
    if (hudTextures.gamebar != nullptr) {
        normalBlend();
        bindTexture(hudTextures.gamebar);
        drawSpriteRect(kPanelLeft + slide, kPanelTop, kPanelRight + slide, kPanelBottom, UvRect{},
                       0xFFFFFFFFu, 0.0f);
    }
    char text[32];
    const ScoreState& s = shown.scores;
    drawLabel(-365.0f + slide, 280.0f, 13.0f, "score", kLabelColour);
    std::snprintf(text, sizeof text, "%i", static_cast<int>(s.bankedScore + s.scoreShown));
    setTextColourARGB(kValueColour);
    drawTextCentred(-333.0f + slide, 240.0f, 13.0f, text);
    drawLabel(-365.0f + slide, 183.0f, 13.0f, "level", kLabelColour);
    std::snprintf(text, sizeof text, "%i", static_cast<int>(session.currentLevel + 1));
    drawLabel(-346.0f + slide, 150.0f, 13.0f, text, kValueColour);
    if (session.gameMode == 1) {
        drawLabel(-360.0f + slide, 89.0f, 12.0f, "Mode", kLabelColour);
        drawLabel(-375.0f + slide, 55.0f, 12.0f, textOf("mode2"), kValueColour);
    } else {
        drawLabel(-365.0f + slide, 90.0f, 13.0f, "lives", kLabelColour);
        drawLives(slide);
    }
    drawMenuButton(slide);
    setTextColourARGB(0xFFFFFFFFu);
}

void drawPauseText() {
    const LevelFlags& fl = shown.flags;
    if (!fl.paused) {
        return;
    }
    const float v = resumeWave(fl.pauseMs, 0.0003f);
    if (fl.pauseMs < 7000.0f) {
        setTextColourARGB(kValueColour);
        drawTextCentred(0.0f, 0.0f, 21.0f + 4.0f * v * v, textOf("pause"));
    }
    drawResumeText(v);
}

void drawTimeFuse() {
    const ClockState& c = shown.clock;
    if (session.gameMode != 0 || c.timedOut || !shown.flags.levelLoaded) {
        return;
    }
    const float f = fuseFraction(c, shown.scores);
    const float burn = kFuseLeft + (kFuseRight - kFuseLeft) * f;
    const float top = kFuseY + kFuseHeight * 0.5f;
    const float bottom = kFuseY - kFuseHeight * 0.5f;
    // The fuse belongs to the playfield: it fades with the board in pauses
    // and menus, but burns out in full view after a win.
    const float alpha = shown.flags.levelWon ? 255.0f : clampAlpha(shown.hud.boardAlpha);
    if (alpha <= 0.0f) {
        return;
    }
    const Colour white = withAlpha(0xFFFFFFFFu, alpha);
    normalBlend();
    if (hudTextures.trough != nullptr) {
        bindTexture(hudTextures.trough);
        drawSpriteRect(kFuseLeft - 8.0f, top + 1.0f, kBarrel.x, bottom - 1.0f,
                       UvRect{0.0f, 0.0f, (kBarrel.x - kFuseLeft + 8.0f) / kTroughTexelUnits, 1.0f},
                       white, 0.0f);
    }
    if (hudTextures.fuse != nullptr) {
        bindTexture(hudTextures.fuse);
        // The burnt part stays as a line of ash; the cord does not slide.
        const float uBurn = (burn - kFuseLeft) / kFuseTexelUnits;
        drawSpriteRect(kFuseLeft, top, burn, bottom, UvRect{0.0f, 0.0f, uBurn, 1.0f},
                       makeColour(static_cast<int>(alpha * 150.0f / 255.0f), 50, 40, 35), 0.0f);
        if (burn < kFuseRight) {
            drawSpriteRect(burn, top, kFuseRight, bottom,
                           UvRect{uBurn, 0.0f, (kFuseRight - kFuseLeft) / kFuseTexelUnits, 1.0f},
                           white, 0.0f);
        }
    }
    if (hudTextures.barrel != nullptr) {
        bindTexture(hudTextures.barrel);
        drawSprite(kBarrel.x, kBarrel.y, kBarrelSize, kBarrelSize, UvRect{}, white, 0.0f);
    }
    // Burning until the end is reached; at the barrel it smoulders until
    // the time-out sets it off.
    if (f < 1.0f || !shown.flags.levelWon) {
        drawFuseSpark(burn, kFuseY, alpha);
    }
}

void drawTimeBonusTexts() {
    const ScoreState& s = shown.scores;
    if (!s.timeBonusPhase || session.gameMode != 0) {
        return;
    }
    const TimeBonusLook look =
        timeBonusLook(s.bonusPhaseMs + hudDraw.bonusAfterEndMs, s.bonusDurationMs);
    if (look.alpha <= 0.0f) {
        return;
    }
    const float labelSize = 16.0f + look.sizeBonus;
    const float valueSize = 20.0f + look.sizeBonus;
    setTextColourARGB(withAlpha(kValueColour, look.alpha));
    drawTextCentred(250.0f, -120.0f, labelSize, "TIME BONUS:");
    char text[24];
    std::snprintf(text, sizeof text, "%i", static_cast<int>(s.bonusShown));
    setTextColourARGB(withAlpha(makeColour(255, 255, 230, 40), look.alpha));
    drawTextCentred(250.0f, -100.0f - valueSize - 40.0f, valueSize, text);
    setTextColourARGB(0xFFFFFFFFu);
}

void drawHintLine() {
    if (!hintShown()) {
        return;
    }
    const float blink = hintMarkerAlpha(shown.tips.hintBlinkMs);
    drawHintLineCells(blink * clampAlpha(shown.hud.boardAlpha) / 255.0f);
}

void drawHintMarker() {
    if (!hintShown() || hudTextures.hintMarker == nullptr) {
        return;
    }
    const float a =
        hintMarkerAlpha(shown.tips.hintBlinkMs) * clampAlpha(shown.hud.boardAlpha) / 255.0f;
    if (a <= 0.0f) {
        return;
    }
    const Vec2 p = shown.match.hintPosition;
    normalBlend();
    bindTexture(hudTextures.hintMarker);
    drawSprite(p.x, p.y + 40.0f + 6.0f * std::sin(app.animationClockMs * 0.008f), kMarkerSize,
               kMarkerSize, UvRect{}, withAlpha(0xFFFFFFFFu, a), 0.0f);
}

void drawHint() {
    drawHintLine();
    drawHintMarker();
}

void drawCelebrationOverlay() {
    const LevelFlags& fl = shown.flags;
    if (!fl.levelWon || fl.levelEndMs < 6000.0f) {
        return;
    }
    drawResumeText(resumeWave(fl.levelEndMs - 6000.0f, 0.0002f));
}

void drawStageComplete() {
    const LevelFlags& fl = shown.flags;
    // The island's map in a frame: the next part of the journey.
    drawPanel(-290.0f, 250.0f, 580.0f, 440.0f);
    normalBlend();
    drawPicture(hudTextures.stagePicture, -260.0f, 220.0f, 260.0f, -170.0f, 0xFFFFFFFFu);
    if (fl.stageMs >= 6000.0f) {
        drawResumeText(resumeWave(fl.stageMs - 6000.0f, 0.0002f));
    }
}

void drawGameComplete() {
    normalBlend();
    drawPicture(hudTextures.gameComplete, -400.0f, 300.0f, 400.0f, -300.0f, 0xFFFFFFFFu);
    // Glints that twinkle in turn at places chosen from their own cycle (the
    // looks' tick adds the sparkle effect now and then).
    additiveBlend();
    constexpr int kGlints = 8;
    constexpr float kCycleMs = 1300.0f;
    for (int i = 0; i < kGlints; ++i) {
        const float t = app.animationClockMs + static_cast<float>(i) * kCycleMs / kGlints;
        const uint32_t cycle = static_cast<uint32_t>(t / kCycleMs) * 7919u + i * 104729u;
        const float phase = std::fmod(t, kCycleMs) / kCycleMs;
        const float x = static_cast<float>((cycle * 2654435761u) % 760u) - 380.0f;
        const float y = static_cast<float>((cycle * 40503u + 977u) % 520u) - 260.0f;
        const float a = std::sin(phase * kPi) * 230.0f;
        drawGlowGlint(x, y, 40.0f + 20.0f * phase, phase * 90.0f,
                      makeColour(static_cast<int>(a), 255, 245, 200));
    }
    normalBlend();
    setTextColourARGB(makeColour(255, 255, 225, 90));
    drawTextCentred(0.0f, 245.0f, 28.0f, textOf("congratulations"));
    setTextColourARGB(kValueColour);
    drawTextCentred(0.0f, -255.0f, 14.0f, textOf("gamepass1"));
}

void drawFloatingScores() {
    char text[24];
    for (const FloatingScore& f : shown.scores.floating) {
        if (f.size <= 0.0f || f.alpha <= 0.0f) {
            continue;
        }
        writeScoreText(f.value, text);
        setTextColourARGB(withAlpha(makeColour(255, 255, 240, 170), f.alpha));
        drawTextCentred(f.position.x, f.position.y, f.size, text);
    }
    setTextColourARGB(0xFFFFFFFFu);
}

void drawTileBreaks() {
    normalBlend();
    for (const TileBreak& b : shown.scores.breaks) {
        if (b.ageMs < 0.0f) {
            continue;
        }
        const float age = b.ageMs;
        const int image = b.layers >= 2 ? 2 : 1;
        if (hudTextures.tiles[image] == nullptr) {
            continue;
        }
        // The layer flies off on an arc, turning, and fades after 200 ms.
        const Vec2 p = b.start + b.direction * (0.15f * age) + Vec2{0.0f, -0.00012f * age * age};
        const float alpha = age < 200.0f ? 255.0f : 255.0f * (1.0f - (age - 200.0f) / 500.0f);
        const float edge = kTileEdge * (1.0f - age / (2.0f * kTileBreakLifeMs));
        bindTexture(hudTextures.tiles[image]);
        drawSpriteRotated(p.x, p.y, p.x, p.y, b.direction.x * age * 0.25f, edge, edge, UvRect{},
                          withAlpha(0xFFFFFFFFu, alpha), 0.0f);
    }
}

}  // namespace corsavel
