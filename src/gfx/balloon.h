#pragma once

#include "platform/math_types.h"

namespace corsavel {

struct TextureEntry;

// The tip balloon: a parchment bubble beside a target point, on the side
// toward the screen centre, with a tail pointing at the target. The game's
// tips and the menus' button tips request it once per update; it grows in
// over its first quarter second and drifts gently to and from its target.
// The blocking style is taller and carries a close button at its bottom.

constexpr float kBalloonTextSize = 11.0f;
constexpr float kBalloonGrowMs = 250.0f;
constexpr float kBalloonMinHeight = 64.0f;
constexpr float kBalloonButtonWidth = 140.0f;
constexpr float kBalloonButtonHeight = 40.0f;
constexpr float kBalloonButtonStrip = 44.8f;
constexpr int kBalloonTextCapacity = 1024;

struct BalloonLayout {
    Rect body;    // at full size (the grow-in scales it about the target)
    Rect button;  // blocking style only; empty otherwise
    bool blocking = false;
    bool toRight = false;  // the balloon stands right of its target
    Vec2 target;
    Vec2 pen;  // centre of the first glyph of the text
    float textWidth = 0.0f;
    float textHeight = 0.0f;
    float grow = 1.0f;                     // 0..1 during the grow-in
    char text[kBalloonTextCapacity] = {};  // the text with its line breaks
};

// Where everything of a balloon goes at age `ageMs`: the text wrapped to
// width - 32 at size 11 with the current font; the body as wide as the text
// plus 64 but no wider than `width` and at least 64 high (44.8 more in the
// blocking style); placed at (1.3 + 0.1 sin(0.01 age)) x 64 beyond the target
// and kept on screen.
void layoutBalloon(const char* text, Vec2 target, float width, bool blocking, float ageMs,
                   BalloonLayout& out);

// True when (x, y) lies in the close button of a blocking layout.
bool balloonButtonContains(const BalloonLayout& layout, float x, float y);

struct BalloonState {
    // This update's request.
    bool requested = false;
    const char* text = nullptr;
    Vec2 target;
    float width = 300.0f;
    bool blocking = false;
    const char* buttonLabel = nullptr;
    const TextureEntry* icon = nullptr;
    // The balloon on screen: what it shows, its age and its layout at that age.
    bool visible = false;
    const char* shownText = nullptr;
    Vec2 shownTarget;
    const char* shownLabel = nullptr;
    const TextureEntry* shownIcon = nullptr;
    float ageMs = 0.0f;
    BalloonLayout layout;
};
extern BalloonState balloon;

// "baloon.tga" (with the button and glow of the panel look).
void loadBalloonTextures(bool fatal = true);

// Asks for the balloon in this update. A request whose text or target
// differs from the one on screen starts a new balloon (it grows in again).
void requestBalloon(const char* text, Vec2 target, float width, bool blocking,
                    const char* buttonLabel = nullptr, const TextureEntry* icon = nullptr);

// Once per update, after the request: puts up this update's request (a new
// one at age 0, the one on screen stepMs older) and lays it out; without a
// request the balloon on screen is retired.
void balloonTick(float stepMs);

// Draws the balloon on screen as laid out (nothing when none shows); the
// close button lights up under the pointer.
void drawBalloon(Vec2 pointer);

// The close button of the balloon on screen.
bool balloonButtonHit(float x, float y);

// The balloon's age if it shows this text, else 0 (a balloon not yet shown).
float balloonAgeFor(const char* text);

}  // namespace corsavel
