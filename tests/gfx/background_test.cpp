#include "gfx/background.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "platform/frame_state.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace corsavel {
namespace {

// A layer of the given name over the scene rectangle x0, y0, x1, y1.
LayerRecord layer(const char* name, float x0, float y0, float x1, float y1) {
    LayerRecord r;
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.rect[0] = x0;
    r.rect[1] = y0;
    r.rect[2] = x1;
    r.rect[3] = y1;
    return r;
}

std::vector<uint8_t> sceneBytes(int32_t stated, int records) {
    std::vector<uint8_t> b(kSceneHeaderSize + kLayerRecordSize * records, 0);
    std::memcpy(&b[64], &stated, 4);
    for (int i = 0; i < records; ++i) {
        const size_t r = kSceneHeaderSize + kLayerRecordSize * i;
        std::memcpy(&b[r], "sky0", 4);
        const float rect[4] = {-100, 50, 100, -50};
        std::memcpy(&b[r + 32], rect, 16);
    }
    return b;
}

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        background = BackgroundState{};
    }
    void TearDown() override {
        releaseBackgrounds();
        background = BackgroundState{};
        releaseAllTextures();
        device.uninstall();
    }
    // A picture in the texture table under background n's name, as the
    // loader would leave it.
    TextureEntry* fakePicture(int n) {
        const std::string name = "AnimBacks/_a_back" + std::to_string(n) + ".jpg";
        return createTexture(name.c_str(), 1024, 1024, kTextureFormatA8R8G8B8, false);
    }
    bool inTable(const TextureEntry* e) {
        for (int i = 0; i < textureTable.count; ++i) {
            if (textureTable.entries[i] == e) {
                return true;
            }
        }
        return false;
    }
    // One manifest entry and a scene of the given layers as background 0.
    void sceneWith(const char* entry, TextureEntry* texture, std::vector<LayerRecord> records) {
        SceneManifest& m = background.manifest;
        std::strcpy(m.entries[0].name, entry);
        m.entries[0].texture = texture;
        m.count = 1;
        SceneLayers& s = background.currentLayers;
        s.count = static_cast<int32_t>(records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            s.layers[i].record = records[i];
            s.layers[i].entry = 0;
            s.layers[i].kind = layerKindOf(entry);
        }
        background.current = 0;
    }
    RecordingDevice device;
};

// --- scene files ------------------------------------------------------------

TEST(SceneFile, RecordCountIsBoundedByTheBytesRead) {
    LayerRecord records[kMaxBackgroundLayers];
    int32_t count = -1;
    const auto claimsMore = sceneBytes(1000000, 2);
    ASSERT_TRUE(parseSceneFile(claimsMore.data(), claimsMore.size(), records, kMaxBackgroundLayers,
                               &count));
    EXPECT_EQ(count, 2);
    EXPECT_STREQ(records[1].name, "sky0");
    EXPECT_FLOAT_EQ(records[1].rect[2], 100.0f);
    const auto negative = sceneBytes(-5, 1);
    ASSERT_TRUE(
        parseSceneFile(negative.data(), negative.size(), records, kMaxBackgroundLayers, &count));
    EXPECT_EQ(count, 0);
    const auto many = sceneBytes(300, 300);
    ASSERT_TRUE(parseSceneFile(many.data(), many.size(), records, kMaxBackgroundLayers, &count));
    EXPECT_EQ(count, kMaxBackgroundLayers);
    EXPECT_FALSE(parseSceneFile(many.data(), 40, records, kMaxBackgroundLayers, &count));
    EXPECT_EQ(count, 0);
}

TEST(SceneFile, NamesWithoutTerminatorStayWithinTheirField) {
    auto bytes = sceneBytes(1, 1);
    std::memset(&bytes[kSceneHeaderSize], 'x', kSceneNameSize);
    LayerRecord records[1];
    int32_t count = 0;
    ASSERT_TRUE(parseSceneFile(bytes.data(), bytes.size(), records, 1, &count));
    EXPECT_EQ(std::strlen(records[0].name), static_cast<size_t>(kSceneNameSize - 1));
}

TEST(SceneManifestText, GroupsAndEntriesAreRead) {
    const std::string text =
        "junk [skies/]\r\nsky1= a.tga sky2=b.jpg,\r\n[/skies] more [props/] boat=boat.cgo [/props]";
    ManifestItem items[8];
    char groups[kMaxSceneGroups][kSceneNameSize];
    int32_t count = 0;
    int32_t groupCount = 0;
    EXPECT_TRUE(
        parseSceneManifest(text.c_str(), text.size(), items, 8, &count, groups, &groupCount));
    ASSERT_EQ(count, 3);
    ASSERT_EQ(groupCount, 2);
    EXPECT_STREQ(groups[1], "props");
    EXPECT_STREQ(items[0].name, "sky1");
    EXPECT_STREQ(items[0].file, "a.tga");
    EXPECT_STREQ(items[1].file, "b.jpg");
    EXPECT_STREQ(items[2].file, "boat.cgo");
    EXPECT_EQ(items[2].group, 1);
    // A full table keeps what fits and says so.
    EXPECT_FALSE(
        parseSceneManifest(text.c_str(), text.size(), items, 2, &count, groups, &groupCount));
    EXPECT_EQ(count, 2);
}

TEST(LayerKinds, FoundByNameWithWaterfallBeforeWater) {
    EXPECT_EQ(layerKindOf("waterfall"), LayerKind::Waterfall);
    EXPECT_EQ(layerKindOf("water3"), LayerKind::Water);
    EXPECT_EQ(layerKindOf("sky12"), LayerKind::Sky);
    EXPECT_EQ(layerKindOf("leaves2"), LayerKind::Leaves);
    EXPECT_EQ(layerKindOf("spray"), LayerKind::Spray);
    EXPECT_EQ(layerKindOf("boat"), LayerKind::Still);
}

// --- pictures ------------------------------------------------------------------

TEST_F(BackgroundTest, LoadingTheNumberShownKeepsItsPicture) {
    TextureEntry* picture = fakePicture(3);
    background.currentPicture = picture;
    background.current = 3;
    loadBackground(3);
    EXPECT_EQ(background.currentPicture, picture);
    EXPECT_TRUE(inTable(picture));
}

// Queueing the background already on screen must not release, at the end
// of the fade, the picture that is then drawn.
TEST_F(BackgroundTest, FadingIntoTheBackgroundOnScreenKeepsThePictureAlive) {
    TextureEntry* picture = fakePicture(5);
    background.currentPicture = picture;
    background.current = 5;
    queueBackground(5);
    for (int i = 0; i < 400 && background.fadeMs > 0.0f; ++i) {
        updateBackground(16.0f);
    }
    EXPECT_EQ(background.fadeMs, 0.0f);
    EXPECT_EQ(background.current, 5);
    EXPECT_EQ(background.currentPicture, picture);
    EXPECT_TRUE(inTable(picture));
}

TEST_F(BackgroundTest, CrossFadeReleasesTheOldPictureAndTakesTheNext) {
    TextureEntry* old = fakePicture(1);
    TextureEntry* next = fakePicture(2);
    background.currentPicture = old;
    background.current = 1;
    background.nextPicture = next;  // as queueBackground would have loaded it
    queueBackground(2);
    EXPECT_EQ(background.nextPicture, next);
    EXPECT_FLOAT_EQ(background.fadeMs, kCrossFadeMs);
    updateBackground(3000.0f);
    queueBackground(2);  // a new queue restarts the timer
    EXPECT_FLOAT_EQ(background.fadeMs, kCrossFadeMs);
    updateBackground(6000.0f);
    EXPECT_EQ(background.current, 2);
    EXPECT_EQ(background.currentPicture, next);
    EXPECT_FALSE(inTable(old));
}

TEST_F(BackgroundTest, NumbersOutsideTheRangeShowBackgroundZero) {
    loadBackground(13);
    EXPECT_EQ(background.current, 0);
    queueBackground(-2);
    EXPECT_EQ(background.next, 0);
}

// --- tint ------------------------------------------------------------------------

TEST_F(BackgroundTest, TintEasesTowardItsTargetWithoutPassingIt) {
    float blue[4];
    float white[4];
    tintPreset(0, blue);
    tintPreset(2, white);
    setTintNow(white);
    setTintTarget(blue);
    updateBackground(100.0f);
    EXPECT_NEAR(background.tint[0], 1.0f - 0.33f * 0.15f, 1e-4f);
    // A frame of several seconds arrives, never beyond.
    updateBackground(5000.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(background.tint[i], blue[i]);
    }
    float other[4];
    tintPreset(7, other);
    EXPECT_FLOAT_EQ(other[3], 0.0f);
}

// --- drawing ----------------------------------------------------------------------

TEST_F(BackgroundTest, LayersWithoutTextureOrSizeAreSkipped) {
    LayerRecord flat = layer("sky0", -100, 50, 100, 50);  // no height
    LayerRecord fine = flat;
    fine.rect[3] = -50;
    sceneWith("sky0", nullptr, {fine});
    drawBackground();
    EXPECT_TRUE(device.draws.empty());
    TextureEntry* sky = createTexture("sky", 64, 32, kTextureFormatA8R8G8B8, false);
    sceneWith("sky0", sky, {flat, fine});
    device.draws.clear();
    drawBackground();
    ASSERT_EQ(device.draws.size(), 1u);
    for (int v = 0; v < device.draws[0].vertexCount; ++v) {
        EXPECT_TRUE(std::isfinite(device.draws[0].u(v)));
    }
}

TEST_F(BackgroundTest, SkyScrollsWithTheAnimationClock) {
    TextureEntry* sky = createTexture("sky", 64, 32, kTextureFormatA8R8G8B8, false);
    LayerRecord r = layer("sky0", -400, 300, 400, 0);
    sceneWith("sky0", sky, {r});
    app.animationClockMs = 0.0f;
    drawBackground();
    const float u0 = device.draws.back().u(0);
    app.animationClockMs = 10000.0f;
    drawBackground();
    EXPECT_NEAR(u0 - device.draws.back().u(0), 0.03f, 1e-4f);
    EXPECT_EQ(device.draws.back().stage(StageState::AddressU), kAddressWrap);
}

TEST_F(BackgroundTest, SprayOfOneHundredSquareEmitsEveryThirtyMsAtMost) {
    TextureEntry* puff = createTexture("spray", 16, 16, kTextureFormatA8R8G8B8, false);
    LayerRecord r = layer("spray", 0, 100, 100, 0);
    sceneWith("spray", puff, {r});
    for (int i = 0; i < 100; ++i) {
        updateBackground(10.0f);  // 1 s
    }
    int alive = 0;
    for (const SprayParticle& p : background.spray) {
        alive += p.lifeMs > 0.0f ? 1 : 0;
    }
    EXPECT_GE(alive, 24);
    EXPECT_LE(alive, 34);
    // No new spray while a cross-fade runs.
    background.fadeMs = 6000.0f;
    const int32_t next = background.sprayNext;
    for (int i = 0; i < 20; ++i) {
        updateBackground(10.0f);
    }
    EXPECT_EQ(background.sprayNext, next);
}

// Leaves darken by their flow's length, every 256 units over; a flow whose
// length no float holds (a damaged scene file) draws them as with none.
TEST_F(BackgroundTest, LeavesShadeWrapsWithTheFlowAndSurvivesHugeFlows) {
    TextureEntry* leaf = createTexture("leaf", 16, 16, kTextureFormatA8R8G8B8, false);
    LayerRecord r = layer("leaves", -100, 100, 100, 0);
    const auto shadeFor = [&](float flowX, float flowY) {
        r.flow[0] = flowX;
        r.flow[1] = flowY;
        sceneWith("leaves", leaf, {r});
        device.draws.clear();
        drawBackground();
        EXPECT_EQ(device.draws.size(), 1u);
        return device.draws.empty() ? 0u : device.draws.back().colour(0) & 0xFFu;
    };
    EXPECT_EQ(shadeFor(0.0f, 0.0f), 255u);
    EXPECT_EQ(shadeFor(30.0f, 40.0f), 205u);
    EXPECT_EQ(shadeFor(300.0f, 0.0f), 211u);
    // Past the int range every float is a whole number of 256s.
    EXPECT_EQ(shadeFor(1e10f, 0.0f), 255u);
    EXPECT_EQ(shadeFor(1e30f, 1e30f), 255u);
}

// Standing still, the picture's texels land one for one on the 800x600
// pixels and are sampled nearest; zoomed in a cross-fade it is filtered.
TEST_F(BackgroundTest, StillPictureIsSampledTexelForTexel) {
    sceneWith("sky0", nullptr, {});
    background.currentPicture = fakePicture(0);
    enableFeature(7);
    drawBackgroundWithFade();
    ASSERT_EQ(device.draws.size(), 1u);
    const DrawRecord& still = device.draws[0];
    EXPECT_EQ(still.stage(StageState::MagFilter), kFilterPoint);
    EXPECT_EQ(still.stage(StageState::MinFilter), kFilterPoint);
    float lowU = 1.0f, highU = 0.0f, lowV = 1.0f, highV = 0.0f;
    float lowX = 1e9f, highX = -1e9f, lowY = 1e9f, highY = -1e9f;
    for (int v = 0; v < still.vertexCount; ++v) {
        lowU = std::min(lowU, still.u(v));
        highU = std::max(highU, still.u(v));
        lowV = std::min(lowV, still.v(v));
        highV = std::max(highV, still.v(v));
        lowX = std::min(lowX, still.position(v).x);
        highX = std::max(highX, still.position(v).x);
        lowY = std::min(lowY, still.position(v).y);
        highY = std::max(highY, still.position(v).y);
    }
    EXPECT_FLOAT_EQ(lowU, 0.0f);
    EXPECT_FLOAT_EQ(highU, 800.0f / 1024.0f);
    EXPECT_FLOAT_EQ(lowV, 0.0f);
    EXPECT_FLOAT_EQ(highV, 600.0f / 1024.0f);
    EXPECT_FLOAT_EQ(lowX, -400.0f);
    EXPECT_FLOAT_EQ(highX, 400.0f);
    EXPECT_FLOAT_EQ(lowY, -300.0f);
    EXPECT_FLOAT_EQ(highY, 300.0f);
    EXPECT_EQ(stageStateValue(StageState::MagFilter), kFilterLinear);
    EXPECT_EQ(stageStateValue(StageState::MinFilter), kFilterLinear);

    background.fadeMs = 4000.0f;
    device.draws.clear();
    drawBackgroundWithFade();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].stage(StageState::MagFilter), kFilterLinear);
}

// The picture's opaque bottom rows hide what the layers behind it would
// draw there: standing still, an upright layer is cut at their edge and one
// wholly under them is skipped, and those rows are drawn without blending.
// In a cross-fade, or with the picture translucent, everything is drawn.
TEST_F(BackgroundTest, LayersUnderThePicturesOpaqueRowsAreCut) {
    TextureEntry* sky = createTexture("sky", 64, 32, kTextureFormatA8R8G8B8, false);
    LayerRecord tall = layer("sky0", -400, 300, 400, -200);
    LayerRecord low = tall;
    low.rect[1] = -150;
    low.rect[3] = -250;
    sceneWith("sky0", sky, {tall, low});
    background.currentPicture = fakePicture(0);
    background.currentPicture->opaqueFromRow = 400;  // scene y -100 down
    enableFeature(7);
    auto spanY = [](const DrawRecord& d, float* low, float* high) {
        *low = 1e9f;
        *high = -1e9f;
        for (int v = 0; v < d.vertexCount; ++v) {
            *low = std::min(*low, d.position(v).y);
            *high = std::max(*high, d.position(v).y);
        }
    };
    auto spanV = [](const DrawRecord& d) {
        float high = -1e9f;
        for (int v = 0; v < d.vertexCount; ++v) {
            high = std::max(high, d.v(v));
        }
        return high;
    };
    drawBackgroundWithFade();
    ASSERT_EQ(device.draws.size(), 3u);  // the cut sky, the picture in two
    float bottom = 0.0f, top = 0.0f;
    spanY(device.draws[0], &bottom, &top);
    EXPECT_FLOAT_EQ(bottom, -100.0f);
    EXPECT_FLOAT_EQ(top, 300.0f);
    EXPECT_FLOAT_EQ(spanV(device.draws[0]), 0.8f);  // 400 of the 500 rows kept
    spanY(device.draws[1], &bottom, &top);
    EXPECT_FLOAT_EQ(bottom, -100.0f);
    EXPECT_EQ(device.draws[1].state(RenderState::AlphaBlendEnable), 1u);
    spanY(device.draws[2], &bottom, &top);
    EXPECT_FLOAT_EQ(bottom, -300.0f);
    EXPECT_FLOAT_EQ(top, -100.0f);
    EXPECT_EQ(device.draws[2].state(RenderState::AlphaBlendEnable), 0u);
    EXPECT_FLOAT_EQ(spanV(device.draws[2]), 600.0f / 1024.0f);

    // A cross-fade moves the picture: nothing is cut.
    background.fadeMs = 4000.0f;
    device.draws.clear();
    drawBackgroundWithFade();
    ASSERT_EQ(device.draws.size(), 3u);  // both layers, the whole picture
    spanY(device.draws[0], &bottom, &top);
    EXPECT_FLOAT_EQ(bottom, -200.0f);
    background.fadeMs = 0.0f;

    // A translucent tint lets the layers show through.
    background.tint[3] = 0.5f;
    device.draws.clear();
    drawBackgroundWithFade();
    EXPECT_EQ(device.draws.size(), 3u);
    background.tint[3] = 1.0f;

    // Not known, or not opaque down to the last row: nothing is cut.
    for (int32_t row : {-1, 600}) {
        background.currentPicture->opaqueFromRow = row;
        device.draws.clear();
        drawBackgroundWithFade();
        EXPECT_EQ(device.draws.size(), 3u) << row;
    }
}

}  // namespace
}  // namespace corsavel
