#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/screen.h"
#include "audio/audio.h"
#include "platform/clock.h"
#include "platform/null_device.h"
#include "platform/render_device.h"
#include "platform/virtual_keys.h"

namespace corsavel {
namespace {

std::vector<std::string> calls;
uint32_t fakeNow = 0;
uint32_t fakeClock() {
    return fakeNow;
}

// A screen that logs its operations and the clock values it sees.
class LoggingScreen : public Screen {
public:
    explicit LoggingScreen(const char* name) : name_(name) {}
    void onEnter() override { calls.push_back(name_ + ".enter"); }
    void onLeave() override { calls.push_back(name_ + ".leave"); }
    void render() override {
        calls.push_back(name_ + ".render");
        if (requestDuringRender != nullptr) {
            requestScreen(requestDuringRender);
            requestDuringRender = nullptr;
        }
    }
    void update() override {
        calls.push_back(name_ +
                        ".update step=" + std::to_string(static_cast<int>(app.frameStepMs)));
        Screen::update();
    }
    Screen* requestDuringRender = nullptr;

private:
    std::string name_;
};

// The device and the audio output log the frame loop's calls beside the
// screen's.
class LoggingDevice final : public RenderBackend {
public:
    void clear(bool target, uint32_t argb, bool depth, float) override {
        if (depth && !target) {
            calls.push_back("clearDepth");
        } else if (target) {
            calls.push_back(argb == 0xFFC8C8FFu ? "clearTarget" : "clearOther");
        }
    }
    void beginScene() override { calls.push_back("begin"); }
    void endScene() override { calls.push_back("end"); }
    void present() override { calls.push_back("present"); }
    void setGammaRamp(const uint16_t*) override {}
    void applyRenderState(RenderState, uint32_t) override {}
    void applyStageState(StageState, uint32_t) override {}
    void applyMatrix(MatrixSlot, const Matrix4&) override {}
    void applyLight(const Light&, bool) override {}
    void applyMaterial(const Material&) override {}
    void bindTexture(uint32_t) override {}
    void drawUser(PrimitiveType, int, uint32_t, const void*) override {}
    uint32_t createTexture(int, int, const uint8_t*) override { return 0; }
    void updateTexture(uint32_t, int, int, int, int, const uint8_t*) override {}
    void releaseTexture(uint32_t) override {}
    uint32_t createBuffers(uint32_t, const void*, int, const uint16_t*, int) override { return 0; }
    void drawBuffers(uint32_t, int) override {}
    void releaseBuffers(uint32_t) override {}
    bool readPixels(int, int, uint8_t*) override { return false; }
};

class LoggingAudio final : public SilentAudioOutput {
public:
    void pause() override { calls.push_back("pauseAudio"); }
    void resume() override { calls.push_back("resumeAudio"); }
};

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        resetAppState();
        resetScreens();
        fakeNow = 1000;
        setClockSource(fakeClock);
        app.lastFrameTime = fakeNow;
        setRenderBackend(&device_);
        setAudioOutput(&audio_);
        calls.clear();
    }
    void TearDown() override {
        setClockSource(nullptr);
        setAudioOutput(nullptr);
        setRenderBackend(nullptr);
        resetScreens();
    }
    LoggingDevice device_;
    LoggingAudio audio_;
    void frame(uint32_t stepMs) {
        fakeNow += stepMs;
        runFrame();
    }
};

TEST_F(FrameLoop, RenderPresentClockUpdateSwitchInOrder) {
    LoggingScreen a("a");
    setCurrentScreen(&a);
    frame(16);
    const std::vector<std::string> expected = {
        "clearDepth", "clearTarget", "begin", "a.render", "end", "present", "a.update step=16"};
    EXPECT_EQ(calls, expected);
    EXPECT_FLOAT_EQ(app.animationClockMs, 16.0f);
}

TEST_F(FrameLoop, SwitchTakesEffectAtTheEndOfTheFrame) {
    LoggingScreen a("a");
    LoggingScreen b("b");
    setCurrentScreen(&a);
    a.requestDuringRender = &b;
    frame(10);
    const std::vector<std::string> expected = {"a.render", "a.update step=10", "a.leave",
                                               "b.enter"};
    std::vector<std::string> screenCalls;
    for (const std::string& c : calls) {
        if (c[1] == '.') {
            screenCalls.push_back(c);
        }
    }
    EXPECT_EQ(screenCalls, expected);
    EXPECT_EQ(currentScreen(), &b);
    // The clock is advanced after the switch, once per frame.
    EXPECT_FLOAT_EQ(app.animationClockMs, 10.0f);
    calls.clear();
    frame(10);
    EXPECT_EQ(calls[3], "b.render");
}

TEST_F(FrameLoop, ClockStepWrapsWithTheCounter) {
    fakeNow = 0xFFFFFFF8u;
    app.lastFrameTime = fakeNow;
    fakeNow += 20;  // wraps to 12
    advanceClock();
    EXPECT_EQ(app.frameDeltaMs, 20u);
    EXPECT_FLOAT_EQ(app.frameStepMs, 20.0f);
}

TEST_F(FrameLoop, FpsFigureAtSixtyFramesPerSecond) {
    // 16.67 ms frames, alternating 17 and 16 plus one.
    const uint32_t steps[3] = {17, 17, 16};
    for (int i = 0; i < 19; ++i) {
        fakeNow += steps[i % 3];
        advanceClock();
    }
    // 300 ms after 18 frames is not yet over the window; the 19th frame
    // (317 ms) refreshes the figure.
    EXPECT_STREQ(app.fpsText, "59.9 FPS");
    EXPECT_EQ(app.fpsAccumMs, 17u);
    // The carried remainder makes single figures wander; over ten seconds
    // they stay near 60 and refresh about every 300 ms.
    double sum = 0.0;
    int refreshes = 0;
    for (int i = 0; i < 600; ++i) {
        fakeNow += steps[i % 3];
        advanceClock();
        if (app.fpsFrames == 0) {
            double fps = std::atof(app.fpsText);
            EXPECT_NEAR(fps, 60.0, 6.0);
            sum += fps;
            ++refreshes;
        }
    }
    EXPECT_NEAR(refreshes, 10000 / 300, 1);
    EXPECT_NEAR(sum / refreshes, 60.0, 1.0);
}

TEST_F(FrameLoop, OneSecondStallIsMeasuredWholeAndSubtractedOnce) {
    for (int i = 0; i < 10; ++i) {
        fakeNow += 10;
        advanceClock();
    }
    EXPECT_EQ(app.fpsAccumMs, 100u);
    EXPECT_EQ(app.fpsFrames, 10);
    fakeNow += 1000;
    advanceClock();
    // 11 frames over 1100 ms, then 300 taken off once: 800 ms carry over.
    EXPECT_STREQ(app.fpsText, "10.0 FPS");
    EXPECT_EQ(app.fpsAccumMs, 800u);
    EXPECT_EQ(app.fpsFrames, 0);
    fakeNow += 10;
    advanceClock();
    EXPECT_STREQ(app.fpsText, "1.2 FPS");
    EXPECT_EQ(app.fpsAccumMs, 510u);
}

TEST_F(FrameLoop, InactiveWindowSkipsFramesAndRestartsTheClock) {
    LoggingScreen a("a");
    setCurrentScreen(&a);
    handleMessage({MessageKind::Deactivate, 0});
    EXPECT_EQ(app.appActive, 0);
    EXPECT_EQ(calls.back(), "pauseAudio");
    calls.clear();
    setClockSource(nullptr);
    uint32_t before = clockMs();
    runFrame();
    EXPECT_GE(clockMs() - before, kInactiveSleepMs - 5);
    setClockSource(fakeClock);
    EXPECT_TRUE(calls.empty());
    EXPECT_FLOAT_EQ(app.animationClockMs, 0.0f);
    // Five seconds pass while inactive; none of it reaches the step.
    fakeNow += 5000;
    handleMessage({MessageKind::Activate, 0});
    const std::vector<std::string> expected = {"resumeAudio", "a.enter"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(app.appActive, 1);
    frame(16);
    EXPECT_EQ(app.frameDeltaMs, 16u);
}

TEST_F(FrameLoop, RepeatedActivationIsReportedOnce) {
    LoggingScreen a("a");
    setCurrentScreen(&a);
    handleMessage({MessageKind::Activate, 0});
    EXPECT_TRUE(calls.empty());
    handleMessage({MessageKind::Deactivate, 0});
    handleMessage({MessageKind::Activate, 0});
    handleMessage({MessageKind::Activate, 0});
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "a.enter"), 1);
}

TEST_F(FrameLoop, CloseQuitsAtTheNextTest) {
    handleMessage({MessageKind::Close, 0});
    EXPECT_EQ(app.quitRequested, 1);
}

TEST_F(FrameLoop, MessagesWithoutAScreenAreDropped) {
    handleMessage({MessageKind::LeftDown, 0});
    handleMessage({MessageKind::KeyDown, vk::kEscape});
    handleMessage({MessageKind::MouseMove, 0});
    EXPECT_EQ(app.quitRequested, 0);
}

}  // namespace
}  // namespace corsavel
