#include "gfx/sprite_sheet.h"

#include "gfx/draw_clock.h"
#include "gfx/texture.h"
#include "platform/render_device.h"

namespace corsavel {

DrawClock drawClock;

void setDrawClock(float frameStepMs, float animationClockMs) {
    drawClock.frameStepMs = frameStepMs;
    drawClock.animationClockMs = animationClockMs;
}

UvRect spriteFrameRect(int32_t frame) {
    float column = static_cast<float>(frame % 8);
    float row = static_cast<float>(frame / 8);
    return UvRect{column * 0.125f, row * 0.25f, column * 0.125f + 0.125f, row * 0.25f + 0.25f};
}

bool SpriteSheet::load(const char* fileName, int32_t frames) {
    timeOffsetMs = 0;
    frameMs = 30;
    texture = loadTexture(fileName, false);
    if (texture) {
        loaded = true;
        frameCount = frames;
    } else {
        loaded = false;
    }
    if (frameCount < 1) {
        return false;
    }
    size = texture ? static_cast<float>(texture->width) : size;
    return true;
}

void SpriteSheet::setMetrics(float newSize, int32_t newFrameMs) {
    size = newSize;
    frameMs = newFrameMs;
}

int32_t SpriteSheet::clockFrame(float animationClockMs) {
    if (frameCount == 0) {
        frameCount = 1;
    }
    if (frameMs <= 0 || frameCount < 0) {
        return 0;
    }
    double t = (static_cast<double>(timeOffsetMs) + animationClockMs) / frameMs;
    long long frame = static_cast<long long>(t) % frameCount;
    return static_cast<int32_t>(frame < 0 ? frame + frameCount : frame);
}

void SpriteSheet::draw(float x, float y, int32_t frame, uint32_t colour, float sizeDelta,
                       float angleDegrees) {
    if (frame == -1) {
        frame = clockFrame(drawClock.animationClockMs);
    }
    if (!texture || frame < 0) {
        return;
    }
    UvRect rect = spriteFrameRect(frame);
    float edge = size + sizeDelta;
    enableFeature(4);
    setBlendMode(0);
    bindTexture(texture);
    if (angleDegrees != 0.0f) {
        drawSpriteRotated(x, y, x, y, angleDegrees, edge, edge, rect, colour, 0.0f);
    } else {
        drawSprite(x, y, edge, edge, rect, colour, 0.0f);
    }
}

}  // namespace corsavel
