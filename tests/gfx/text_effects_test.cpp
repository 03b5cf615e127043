#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/text_effects.h"
#include "platform/frame_state.h"

using namespace corsavel;

namespace {

Font makeFont() {
    Font font;
    font.cellsPerRow = 16;
    font.cellUV = 1.0f / 16.0f;
    for (int c = 0; c < 256; ++c) {
        font.advance[c] = 1.0f;
        font.cell[c] = static_cast<uint8_t>(c);
    }
    font.advance['W'] = 2.0f;
    return font;
}

class TextEffects : public ::testing::Test {
protected:
    void SetUp() override {
        resetTextState();
        ASSERT_TRUE(addFont(makeFont()));
        textEffects = TextEffectsState{};
    }
    void TearDown() override {
        textEffects = TextEffectsState{};
        resetTextState();
    }
};

int liveLetters() {
    int n = 0;
    for (const FlyingLetter& letter : textEffects.letters) {
        n += letter.life > 0.0f ? 1 : 0;
    }
    return n;
}

}  // namespace

TEST_F(TextEffects, FlyingLettersAreLaidOutAroundTheCentre) {
    addFlyingText("AWA", 100.0f, 50.0f, 10.0f);
    // Width 40: first letter centred at 100 - 20, then half advances apart.
    EXPECT_EQ(textEffects.letters[0].character, 'A');
    EXPECT_FLOAT_EQ(textEffects.letters[0].x, 80.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[1].x, 95.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[2].x, 110.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(textEffects.letters[i].y, 50.0f);
        EXPECT_FLOAT_EQ(textEffects.letters[i].size, 10.0f);
        EXPECT_FLOAT_EQ(textEffects.letters[i].angle, 0.0f);
    }
}

TEST_F(TextEffects, LaterLettersLiveLonger) {
    addFlyingText("ABCDEFGHIJKLMNOPQRST", 0.0f, 0.0f, 10.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[0].life, 6000.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[19].life - textEffects.letters[0].life, 760.0f);
    textEffectsTick(1000.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[0].life, 5000.0f);
    // The first letter is gone after 6000 ms, the last one 760 ms later.
    textEffectsTick(5000.0f);
    EXPECT_EQ(liveLetters(), 19);
    textEffectsTick(750.0f);
    EXPECT_EQ(liveLetters(), 1);
    textEffectsTick(10.0f);
    EXPECT_EQ(liveLetters(), 0);
}

TEST_F(TextEffects, FlyingLetterRingOverwritesTheOldest) {
    char text[201];
    for (int i = 0; i < 200; ++i) {
        text[i] = 'A';
    }
    text[200] = 0;
    addFlyingText(text, 0.0f, 0.0f, 1.0f);
    addFlyingText("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0.0f, 0.0f,
                  1.0f);
    EXPECT_EQ(textEffects.nextLetter, (200 + 61) % kMaxFlyingLetters);
    EXPECT_EQ(textEffects.letters[0].character, 'W');
    EXPECT_EQ(textEffects.letters[4].character, 'W');
    EXPECT_EQ(textEffects.letters[5].character, 'A');
    EXPECT_EQ(liveLetters(), kMaxFlyingLetters);
}

TEST(FlyingLetterLook, ArrivesWobblesAndLeaves) {
    EffectLook start = flyingLetterLook(6000.0f);
    EXPECT_FLOAT_EQ(start.alpha, 0.0f);
    EXPECT_FLOAT_EQ(start.scale, 4.0f);
    EffectLook arrived = flyingLetterLook(5000.0f);
    EXPECT_FLOAT_EQ(arrived.alpha, 255.0f);
    EXPECT_FLOAT_EQ(arrived.scale, 1.0f);
    EXPECT_FLOAT_EQ(arrived.offsetY, 0.0f);
    EffectLook half = flyingLetterLook(5500.0f);
    EXPECT_FLOAT_EQ(half.alpha, 127.5f);
    EXPECT_FLOAT_EQ(half.scale, 2.25f);
    // A third of the wobble: phase pi / 2, the widest swell.
    EffectLook wobble = flyingLetterLook(1500.0f + 3500.0f / 6.0f);
    EXPECT_NEAR(wobble.scale, 1.08f * 1.08f, 1e-4f);
    EXPECT_NEAR(wobble.offsetY, 0.0f, 1e-4f);
    EffectLook quarter = flyingLetterLook(1500.0f + 3500.0f / 12.0f);
    EXPECT_NEAR(quarter.offsetY, 2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(quarter.alpha, 255.0f);
    EffectLook leaving = flyingLetterLook(750.0f);
    EXPECT_FLOAT_EQ(leaving.alpha, 127.5f);
    EXPECT_FLOAT_EQ(leaving.scale, 0.25f);
    EXPECT_FLOAT_EQ(flyingLetterLook(1500.0f).scale, 1.0f);
}

TEST_F(TextEffects, PopupsLiveForTheirDuration) {
    addPopup("+100", 10.0f, 20.0f, 12.0f, 1000.0f);
    const Popup& popup = textEffects.popups[0];
    EXPECT_STREQ(popup.text, "+100");
    EXPECT_FLOAT_EQ(popup.life, 2000.0f);
    EXPECT_FLOAT_EQ(popup.rate, 2.0f);
    EXPECT_FLOAT_EQ(popup.width, 48.0f);
    textEffectsTick(400.0f);
    EXPECT_FLOAT_EQ(popup.life, 1200.0f);
    textEffectsTick(600.0f);
    EXPECT_FLOAT_EQ(popup.life, 0.0f);
    textEffectsTick(600.0f);
    EXPECT_FLOAT_EQ(popup.life, 0.0f);  // no longer advanced
}

TEST_F(TextEffects, PopupRingIgnoresEmptyDurationsAndOverwritesTheOldest) {
    addPopup("never", 0.0f, 0.0f, 10.0f, 0.0f);
    addPopup("never", 0.0f, 0.0f, 10.0f, -5.0f);
    EXPECT_EQ(textEffects.nextPopup, 0);
    for (int i = 0; i < kMaxPopups + 2; ++i) {
        char text[8] = {'p', static_cast<char>('a' + i), 0};
        addPopup(text, 0.0f, 0.0f, 10.0f, 500.0f);
    }
    EXPECT_STREQ(textEffects.popups[0].text, "pq");
    EXPECT_STREQ(textEffects.popups[1].text, "pr");
    EXPECT_STREQ(textEffects.popups[2].text, "pc");
    std::string longText(500, 'x');
    addPopup(longText.c_str(), 0.0f, 0.0f, 10.0f, 500.0f);
    EXPECT_EQ(std::strlen(textEffects.popups[2].text), size_t(kPopupTextCapacity - 1));
}

TEST(PopupLook, GrowsPulsesAndShrinks) {
    EXPECT_FLOAT_EQ(popupLook(2000.0f).scale, 0.0f);
    EXPECT_FLOAT_EQ(popupLook(1700.0f).scale, 0.5f);
    EXPECT_FLOAT_EQ(popupLook(1700.0f).alpha, 128.0f);
    EXPECT_FLOAT_EQ(popupLook(1401.0f).alpha, 255.0f);
    EXPECT_NEAR(popupLook(1400.0f).scale, 1.0f, 1e-5f);
    EXPECT_NEAR(popupLook(600.0f + 800.0f / 6.0f).scale, 1.1f, 1e-5f);
    EXPECT_FLOAT_EQ(popupLook(1000.0f).alpha, 255.0f);
    EXPECT_FLOAT_EQ(popupLook(300.0f).scale, 0.5f);
    EXPECT_FLOAT_EQ(popupLook(300.0f).alpha, 128.0f);
}

TEST(PopupLook, ColourWavesOverTheAnimationClock) {
    // At clock 0 both waves sit at their middle.
    EXPECT_EQ(popupColour(0.0f, 255.0f), makeColour(255, 255, 242, 177));
    // A twelfth of a second: the 3-cycle wave peaks, the 4-cycle one is at 0.933.
    Colour c = popupColour(1000.0f / 12.0f, 100.0f);
    EXPECT_EQ((c >> 24) & 0xFF, 100u);
    EXPECT_EQ((c >> 16) & 0xFF, 255u);
    EXPECT_EQ((c >> 8) & 0xFF, 255u);
    EXPECT_EQ(c & 0xFF, 244u);
}

TEST_F(TextEffects, BannerRunsOnceAndKeepsItsTimerWhenReplaced) {
    showBanner("First");
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 1400.0f);
    textEffectsTick(100.0f);
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 1300.0f);
    showBanner("Second");
    EXPECT_STREQ(textEffects.banner.text, "Second");
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 1300.0f);
    // 300 ms at full speed down to 1000, then the slow middle.
    textEffectsTick(300.0f);
    textEffectsTick(100.0f);
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 970.0f);
    clearTextEffects();
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 0.0f);
    textEffectsTick(100.0f);
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 0.0f);
    showBanner("Again");
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 1400.0f);
}

TEST(BannerLook, SlidesUpPulsesAndSlidesDown) {
    EXPECT_FLOAT_EQ(bannerStep(1200.0f, 100.0f), 1100.0f);
    EXPECT_FLOAT_EQ(bannerStep(700.0f, 100.0f), 670.0f);
    EXPECT_FLOAT_EQ(bannerStep(400.0f, 100.0f), 300.0f);
    BannerLook entering = bannerLook(1400.0f);
    EXPECT_FLOAT_EQ(entering.y, -310.0f);
    EXPECT_NEAR(entering.size, (std::sin(1400.0f * kPi / 1500.0f) * 12.0f + 6.0f) * 1.3f, 1e-4f);
    BannerLook middle = bannerLook(750.0f);
    EXPECT_FLOAT_EQ(middle.y, -270.0f);
    EXPECT_NEAR(middle.alpha, 254.0f, 1e-3f);
    EXPECT_NEAR(middle.size, 21.58f, 1e-4f);
    BannerLook leaving = bannerLook(100.0f);
    EXPECT_FLOAT_EQ(leaving.y, -310.0f);
    EXPECT_FLOAT_EQ(leaving.size, 21.58f);
}

TEST_F(TextEffects, ClearStopsEverything) {
    addFlyingText("ABC", 0.0f, 0.0f, 10.0f);
    addPopup("x", 0.0f, 0.0f, 10.0f, 100.0f);
    showBanner("b");
    clearTextEffects();
    EXPECT_EQ(liveLetters(), 0);
    for (const Popup& popup : textEffects.popups) {
        EXPECT_LT(popup.life, 0.0f);
    }
    EXPECT_EQ(textState.textColour, 0xFFFFFFFFu);
}

TEST_F(TextEffects, DrawingRestoresOpaqueWhite) {
    setTextColour(10, 20, 30, 40);
    addPopup("x", 0.0f, 0.0f, 10.0f, 100.0f);
    drawPopups();
    EXPECT_EQ(textState.textColour, 0xFFFFFFFFu);
    setTextColour(10, 20, 30, 40);
    showBanner("b");
    drawBanner();
    EXPECT_EQ(textState.textColour, 0xFFFFFFFFu);
}

// The tick advances every effect by its step; drawing them changes nothing.
TEST_F(TextEffects, TickAdvancesTheEffectsAndDrawingLeavesThemAlone) {
    addPopup("x", 0.0f, 0.0f, 10.0f, 1000.0f);
    addFlyingText("A", 0.0f, 0.0f, 10.0f);
    showBanner("b");
    textEffectsTick(100.0f);
    std::vector<uint8_t> before(sizeof textEffects);
    std::memcpy(before.data(), &textEffects, sizeof textEffects);
    for (int i = 0; i < 3; ++i) {
        drawPopups();
        drawFlyingText();
        drawBanner();
    }
    EXPECT_EQ(std::memcmp(before.data(), &textEffects, sizeof textEffects), 0);
    EXPECT_FLOAT_EQ(textEffects.popups[0].life, 1800.0f);
    EXPECT_FLOAT_EQ(textEffects.letters[0].life, 5900.0f);
    EXPECT_FLOAT_EQ(textEffects.banner.timer, 1300.0f);
}
