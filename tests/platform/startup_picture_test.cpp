// The first splash on a plain X11 window before the GL driver loads, and
// the hand-over to the game window. What the X server shows is read back
// from the root window, as a player would see it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/events.h"
#include "platform/render_device.h"
#include "platform/window.h"

// After the game's headers: Xlib's macros (None, Status) clash with their names.
#if CORSAVEL_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace corsavel {
namespace {

#if CORSAVEL_HAVE_X11

struct Rgb {
    int r, g, b;
};

// An 800x600 scene in a 1024-texel-wide buffer (as the texture loader pads
// it): four coloured quarters, and bytes past the picture that must not show.
constexpr int kPitch = 1024 * 4;
std::vector<uint8_t> quarteredPicture() {
    std::vector<uint8_t> texels(static_cast<size_t>(kPitch) * 600, 0xEE);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            uint8_t* p = &texels[static_cast<size_t>(y) * kPitch + x * 4];
            const bool right = x >= 400;
            const bool bottom = y >= 300;
            p[0] = right ? 250 : 10;
            p[1] = bottom ? 200 : 20;
            p[2] = right && bottom ? 150 : 30;
            p[3] = 255;
        }
    }
    return texels;
}

// The colour the X server shows at a point of a window's client area.
Rgb screenAt(SDL_Window* window, int x, int y) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return {-1, -1, -1};
    }
    Display* display = info.info.x11.display;
    XSync(display, False);
    ::Window root = DefaultRootWindow(display);
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    XTranslateCoordinates(display, info.info.x11.window, root, x, y, &rootX, &rootY, &child);
    XImage* image = XGetImage(display, root, rootX, rootY, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {-1, -1, -1};
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    Rgb rgb{static_cast<int>((pixel & image->red_mask) >> 16),
            static_cast<int>((pixel & image->green_mask) >> 8),
            static_cast<int>(pixel & image->blue_mask)};
    XDestroyImage(image);
    return rgb;
}

void expectColour(Rgb got, Rgb want, const char* where) {
    EXPECT_NEAR(got.r, want.r, 2) << where;
    EXPECT_NEAR(got.g, want.g, 2) << where;
    EXPECT_NEAR(got.b, want.b, 2) << where;
}

class StartupPicture : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0' || !initVideo()) {
            GTEST_SKIP() << "no X display";
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver == nullptr || std::strcmp(driver, "x11") != 0) {
            GTEST_SKIP() << "the start-up picture is for X11 only";
        }
        releaseDevice();
        destroyGameWindow();
    }
    void TearDown() override {
        releaseDevice();
        destroyGameWindow();
    }
};

TEST_F(StartupPicture, ShowsTheSceneThenGivesWayToTheGameWindowsFirstFrame) {
    const std::vector<uint8_t> picture = quarteredPicture();
    ASSERT_TRUE(showStartupPicture(false, picture.data(), 800, 600, kPitch));
    SDL_Window* early = startupPictureWindow();
    ASSERT_NE(early, nullptr);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(early, &w, &h);
    ASSERT_GT(w, 0);
    // Each quarter where the scene puts it, whatever the window's scale.
    expectColour(screenAt(early, w / 4, h / 4), {10, 20, 30}, "top left");
    expectColour(screenAt(early, 3 * w / 4, h / 4), {250, 20, 30}, "top right");
    expectColour(screenAt(early, w / 4, 3 * h / 4), {10, 200, 30}, "bottom left");
    expectColour(screenAt(early, 3 * w / 4, 3 * h / 4), {250, 200, 150}, "bottom right");
    expectColour(screenAt(early, w - 1, h - 1), {250, 200, 150}, "last pixel");

    // The game window is made behind it and stays unmapped until shown.
    ASSERT_TRUE(createGameWindow(false));
    EXPECT_NE(SDL_GetWindowFlags(gameWindow()) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_EQ(startupPictureWindow(), early);
    if (!createDevice()) {
        GTEST_SKIP() << "no GL context";
    }
    raiseGameWindow();
    EXPECT_EQ(SDL_GetWindowFlags(gameWindow()) & SDL_WINDOW_HIDDEN, 0u);
    clearTarget(0xFF4080C0u);
    beginScene();
    endScene();
    presentFrame();
    // The first frame closes the picture, and the screen shows the frame.
    EXPECT_EQ(startupPictureWindow(), nullptr);
    expectColour(screenAt(gameWindow(), 100, 100), {0x40, 0x80, 0xC0}, "the game's frame");
}

TEST_F(StartupPicture, RefusesWhatCannotBeShownAndLeavesNoWindow) {
    const std::vector<uint8_t> picture = quarteredPicture();
    EXPECT_FALSE(showStartupPicture(false, nullptr, 800, 600, kPitch));
    EXPECT_FALSE(showStartupPicture(false, picture.data(), 800, 600, 799 * 4));
    EXPECT_FALSE(showStartupPicture(false, picture.data(), 0, 600, kPitch));
    EXPECT_EQ(startupPictureWindow(), nullptr);
    // Once the game window exists it is too late for a start-up picture.
    ASSERT_TRUE(createGameWindow(false));
    EXPECT_EQ(SDL_GetWindowFlags(gameWindow()) & SDL_WINDOW_HIDDEN, 0u);
    EXPECT_FALSE(showStartupPicture(false, picture.data(), 800, 600, kPitch));
    EXPECT_EQ(startupPictureWindow(), nullptr);
}

TEST_F(StartupPicture, OnlyItsCloseReachesTheGame) {
    const std::vector<uint8_t> picture = quarteredPicture();
    ASSERT_TRUE(showStartupPicture(false, picture.data(), 800, 600, kPitch));
    ASSERT_TRUE(createGameWindow(false));
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(startupPictureWindow());
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    EXPECT_TRUE(startupWindowEvent(event));
    event.window.windowID = SDL_GetWindowID(gameWindow());
    EXPECT_FALSE(startupWindowEvent(event));

    // Through the game's message queue: the picture's focus change is
    // dropped, its close is the player's.
    GameMessage message;
    while (pollGameMessage(&message)) {
    }
    event.window.windowID = SDL_GetWindowID(startupPictureWindow());
    SDL_PushEvent(&event);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
    ASSERT_TRUE(pollGameMessage(&message));
    EXPECT_EQ(message.kind, MessageKind::Close);
}

#endif

}  // namespace
}  // namespace corsavel
