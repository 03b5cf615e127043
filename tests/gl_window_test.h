#pragma once

// Tests that draw through the real GL device: one window and device per
// suite (Xvfb when a display is set, else the offscreen driver), frames read
// back after present, and the forged Data folder of the build entered for
// the test when it needs the game's data.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "platform/render_backend.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"
#include "platform/window.h"

namespace corsavel {

struct Rgb {
    int r, g, b;
};

// A file of the build folder (where the PNGs for the eye go).
inline std::string buildPath(const char* name) {
    const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
    return std::string(dir != nullptr ? dir : ".") + "/" + name;
}

class GlWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == 0) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        ready() = createGameWindow(false) && createDevice();
    }
    static void TearDownTestSuite() {
        releaseAllTextures();
        releaseDevice();
        destroyGameWindow();
    }

    // Skips the test without a GL context; with `probe`, also without that
    // file in the forged Data folder, which otherwise becomes the working
    // directory until leaveData. Frames are kept for reading back.
    void enterGl(const char* probe = nullptr) {
        if (!ready()) {
            GTEST_SKIP() << "no GL context";
        }
        if (probe != nullptr) {
            const std::string data = buildPath("Data");
            if (access((data + "/" + probe).c_str(), R_OK) != 0 ||
                getcwd(previous, sizeof previous) == nullptr || chdir(data.c_str()) != 0) {
                previous[0] = 0;
                GTEST_SKIP() << "no forged Data folder";
            }
        }
        renderDevice.frameCapture = true;
        applyDefaultStates();
    }
    void leaveData() {
        if (previous[0] != 0) {
            EXPECT_EQ(chdir(previous), 0);
            previous[0] = 0;
        }
    }

    // Presents the frame drawn since beginScene, reads it back and, given a
    // name, writes it as a PNG beside the build.
    void finishFrame(const char* png) {
        endScene();
        presentFrame();
        pixels.assign(800 * 600 * 4, 0);
        ASSERT_TRUE(renderBackend()->readPixels(800, 600, pixels.data()));
        if (png != nullptr) {
            EXPECT_TRUE(saveScreenshot(buildPath(png).c_str()));
        }
    }
    Rgb at(int x, int y) const {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * 800 + x) * 4];
        return {p[0], p[1], p[2]};
    }
    // Screen pixel of a scene point (origin at the centre, y up).
    static int px(float x) { return static_cast<int>(x + 400.0f); }
    static int py(float y) { return static_cast<int>(300.0f - y); }

    static bool& ready() {
        static bool value = false;
        return value;
    }
    char previous[4096] = {};
    std::vector<uint8_t> pixels;
};

}  // namespace corsavel
