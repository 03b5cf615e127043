#include "app/intro_draw.h"

#include <cmath>
#include <cstdio>

#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "platform/window.h"

namespace corsavel {

namespace {

// The 800x600 pictures sit in the top-left of 1024x1024 textures.
constexpr float kPictureU = 0.78125f;
constexpr float kPictureV = 0.5859375f;
constexpr float kBarWidth = kLoadingBarWidth;
constexpr float kBarHeight = 48.0f;

struct IntroPictures {
    TextureEntry* splash1 = nullptr;
    TextureEntry* splash2 = nullptr;
    TextureEntry* loading = nullptr;
    TextureEntry* loadingBar = nullptr;
};

IntroPictures pictures;

bool fileExists(const char* name) {
    FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// The intro's sized pictures: name, width and height.
struct IntroPicture {
    const char* name;
    int w;
    int h;
};
constexpr IntroPicture kSplash1{"splash1.jpg", 800, 600};
constexpr IntroPicture kSplash2{"splash2.jpg", 800, 600};
constexpr IntroPicture kLoading{"loadscreen.jpg", 800, 600};
constexpr IntroPicture kLoadingBar{"loadbar.jpg", static_cast<int>(kBarWidth),
                                   static_cast<int>(kBarHeight)};

TextureEntry* loadPicture(const IntroPicture& picture) {
    return loadImageSized(picture.name, picture.w, picture.h);
}

}  // namespace

void prefetchIntroPictures() {
    prefetchSizedImage(kSplash1.name, kSplash1.w, kSplash1.h);
}

bool showFirstSplashEarly(bool fullScreen) {
    const uint8_t* texels = nullptr;
    int pitch = 0;
    if (!prefetchedTexels(kSplash1.name, &texels, &pitch) ||
        !showStartupPicture(fullScreen, texels, kSplash1.w, kSplash1.h, pitch)) {
        return false;
    }
    notifyFramePresented();
    return true;
}

void loadFirstSplashPicture() {
    setRenderState(RenderState::CullMode, kCullNone);
    pictures.splash1 = loadPicture(kSplash1);
}

void loadLaterIntroPictures() {
    pictures.splash2 = fileExists(kSplash2.name) ? loadPicture(kSplash2) : nullptr;
    pictures.loading = loadPicture(kLoading);
    pictures.loadingBar = loadPicture(kLoadingBar);
    dropPrefetchedImages();
}

void releaseSplashPictures() {
    releaseTexture(pictures.splash1);
    releaseTexture(pictures.splash2);
    pictures.splash1 = nullptr;
    pictures.splash2 = nullptr;
}

bool hasSecondSplashPicture() {
    return pictures.splash2 != nullptr;
}

void drawSplashPicture(bool second, int32_t grey) {
    begin2D();
    setTextColour(255, 255, 255, 255);
    TextureEntry* picture = second ? pictures.splash2 : pictures.splash1;
    if (picture == nullptr) {
        return;
    }
    bindTexture(picture);
    // Point filtering keeps the full-screen picture sharp.
    disableFeature(7);
    drawScreenImage(0.0f, 0.0f, 799.0f, 599.0f, 0.0f, 0.0f, kPictureU, kPictureV,
                    makeColour(255, grey, grey, grey));
    enableFeature(7);
}

void drawLoadingPicture(float progress, Colour fadeColour) {
    begin2D();
    setView(&renderDevice.cameraMatrix);
    setTextColour(255, 255, 255, 255);
    if (pictures.loading != nullptr) {
        bindTexture(pictures.loading);
        drawScreenImage(0.0f, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, kPictureU, kPictureV, fadeColour);
    }
    if (pictures.loadingBar == nullptr) {
        return;
    }
    // The bar reveals its image from the left instead of stretching it.
    float left = -9.0f - kBarWidth / 2.0f;
    float top = -234.5f;
    UvRect uv{0.001f, 0.001f, progress * kBarWidth / 512.0f + 0.001f, kBarHeight / 64.0f + 0.001f};
    bindTexture(pictures.loadingBar);
    drawSpriteRect(left, top, left + kBarWidth * progress, top - kBarHeight, uv, fadeColour, 10.0f);
}

void drawContinueCaption(float introTimerMs, float fadeTimerMs) {
    setBlendMode(0);
    int blue = static_cast<int>(std::sin(introTimerMs * 0.02f) * 55.0f + 200.0f);
    int alpha = static_cast<int>((1.0f - fadeTimerMs / 800.0f) * 255.0f);
    setTextColour(255, 255, blue, alpha);
    float size = std::sin(introTimerMs * 0.01f) * 0.1f + 15.0f;
    drawTextCentred(0.0f, -260.0f, size, "Click to continue...");
}

}  // namespace corsavel
