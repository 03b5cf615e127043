#include "gfx/texture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image_test_util.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

class TextureTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.install();
        releaseAllTextures();
    }
    void TearDown() override {
        releaseAllTextures();
        device.uninstall();
    }
    // Registers bytes as an asset the loader finds by name (names are
    // unique per test so the shared registry never answers stale data).
    void addAsset(const std::string& name, const std::vector<uint8_t>& bytes) {
        // Owned asset bytes are malloc'd: the registry frees them with free().
        auto* copy = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
        if (!bytes.empty())
            std::memcpy(copy, bytes.data(), bytes.size());
        ASSERT_TRUE(registerAsset(name.c_str(), static_cast<int32_t>(bytes.size()), copy, true));
    }
    static uint32_t red(int, int) { return 0xFF0000FFu; }
    RecordingDevice device;
};

TEST(TextureNames, PowerOfTwoAboveIsStrict) {
    EXPECT_EQ(nextPowerOfTwoAbove(1), 2);
    EXPECT_EQ(nextPowerOfTwoAbove(0), 2);
    EXPECT_EQ(nextPowerOfTwoAbove(255), 256);
    EXPECT_EQ(nextPowerOfTwoAbove(256), 512);
    EXPECT_EQ(nextPowerOfTwoAbove(600), 1024);
    EXPECT_EQ(nextPowerOfTwoAbove(800), 1024);
    EXPECT_EQ(nextPowerOfTwoAbove(1023), 1024);
    EXPECT_EQ(nextPowerOfTwoAbove(1024), 0);
}

TEST(TextureNames, TwinCutsAtFirstDot) {
    char twin[128];
    ASSERT_TRUE(twinName("field\\field0.tga", twin, sizeof twin));
    EXPECT_STREQ(twin, "_a_field\\field0.jpg");
    ASSERT_TRUE(twinName("dir.v2\\pic.TGA", twin, sizeof twin));
    EXPECT_STREQ(twin, "_a_dir.jpg");
    EXPECT_FALSE(twinName("pic.jpg", twin, sizeof twin));
    std::string longName(122, 'a');
    longName += ".tga";
    EXPECT_FALSE(twinName(longName.c_str(), twin, sizeof twin));
}

TEST_F(TextureTableTest, TgaWithoutTwinIsKeyedByItsNameWithAlpha) {
    addAsset("tt_plain.tga", test::makeTga(4, 4, 32, false, false, red));
    TextureEntry* e = loadTexture("tt_plain.tga");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "tt_plain.tga");
    EXPECT_EQ(e->hasAlpha, 1);
    EXPECT_EQ(e->width, 4);
    EXPECT_EQ(loadTexture("tt_plain.tga"), e);
    EXPECT_EQ(textureTable.count, 1);
    const auto* t = device.texture(e->texture);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rgba[0], 255);
    EXPECT_EQ(t->rgba[1], 0);
}

TEST_F(TextureTableTest, TgaWithTwinLoadsTheAlphaJpegOnce) {
    addAsset("tt_twin.tga", test::makeTga(4, 4, 32, false, false, red));
    auto jpeg = test::makeJpeg(4, 4, 0, 255, 0);
    jpeg.insert(jpeg.end(), 16, 77);
    addAsset("_a_tt_twin.jpg", jpeg);
    TextureEntry* e = loadTexture("tt_twin.tga");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "_a_tt_twin.jpg");
    EXPECT_EQ(e->hasAlpha, 1);
    EXPECT_EQ(device.texture(e->texture)->rgba[3], 77);
    EXPECT_EQ(loadTexture("tt_twin.tga"), e);
    EXPECT_EQ(textureTable.count, 1);
}

TEST_F(TextureTableTest, JpegNeverTriesATwinAndHasNoAlpha) {
    addAsset("tt_pic.jpg", test::makeJpeg(8, 8, 1, 2, 3));
    TextureEntry* e = loadTexture("tt_pic.jpg");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->hasAlpha, 0);
    EXPECT_STREQ(e->name, "tt_pic.jpg");
}

TEST_F(TextureTableTest, FailedLoadsAreQuietOrFatal) {
    EXPECT_EQ(loadTexture("tt_missing.tga", false), nullptr);
    EXPECT_EQ(loadAlphaJpeg("tt_missing.jpg", true), nullptr);
    addAsset("tt_bad.tga", std::vector<uint8_t>(40, 1));
    EXPECT_EQ(loadTexture("tt_bad.tga", false), nullptr);
    EXPECT_EQ(textureTable.count, 0);
    EXPECT_EXIT(loadTexture("tt_missing2.tga", true), testing::ExitedWithCode(1),
                "Couldn't load texture: tt_missing2.tga");
    addAsset("tt_bad_alpha.jpg", std::vector<uint8_t>(40, 1));
    EXPECT_EXIT(loadAlphaJpeg("tt_bad_alpha.jpg", true), testing::ExitedWithCode(1),
                "Can't load texture: tt_bad_alpha.jpg");
}

TEST_F(TextureTableTest, SizedLoadsUsePowerOfTwoTexturesWithImageTopLeft) {
    auto jpeg = test::makeJpeg(6, 3, 250, 250, 250);
    std::vector<uint8_t> plane(18, 200);
    plane[6] = 9;  // row 1, column 0
    jpeg.insert(jpeg.end(), plane.begin(), plane.end());
    addAsset("tt_back.jpg", jpeg);
    TextureEntry* e = loadAlphaJpegSized("tt_back.jpg", 6, 3);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->width, 8);
    EXPECT_EQ(e->height, 4);
    EXPECT_EQ(e->hasAlpha, 1);
    const auto* t = device.texture(e->texture);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rgba[3], 200);
    EXPECT_EQ(t->rgba[(8 * 1 + 0) * 4 + 3], 9);
    EXPECT_EQ(t->rgba[(8 * 0 + 6) * 4 + 3], 0);
    EXPECT_GT(t->rgba[0], 240);
    // The file's memory went back to the loader; a reload reuses the entry.
    EXPECT_EQ(findAsset("tt_back.jpg"), nullptr);
    addAsset("tt_back.jpg", jpeg);
    EXPECT_EQ(loadAlphaJpegSized("tt_back.jpg", 6, 3), e);
    EXPECT_EQ(textureTable.count, 1);
    EXPECT_EQ(loadAlphaJpegSized("tt_nothere.jpg", 6, 3), nullptr);

    addAsset("tt_splash.jpg", test::makeJpeg(5, 5, 0, 0, 250));
    TextureEntry* s = loadImageSized("tt_splash.jpg", 5, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->width, 8);
    EXPECT_EQ(s->hasAlpha, 0);
    EXPECT_GT(device.texture(s->texture)->rgba[2], 240);
    EXPECT_EQ(device.texture(s->texture)->rgba[(8 * 6) * 4 + 2], 0);
}

// A sized alpha picture knows the first row from which it is opaque to its
// bottom; a picture whose last row is not opaque has none.
TEST_F(TextureTableTest, SizedAlphaPictureKnowsWhereItsOpaqueBottomBegins) {
    auto jpeg = test::makeJpeg(4, 4, 250, 250, 250);
    std::vector<uint8_t> plane(16, 255);
    plane[1] = 0;    // row 0
    plane[6] = 254;  // row 1
    auto withPlane = jpeg;
    withPlane.insert(withPlane.end(), plane.begin(), plane.end());
    addAsset("tt_opaque.jpg", withPlane);
    TextureEntry* e = loadAlphaJpegSized("tt_opaque.jpg", 4, 4);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->opaqueFromRow, 2);

    plane[13] = 100;  // the last row
    withPlane = jpeg;
    withPlane.insert(withPlane.end(), plane.begin(), plane.end());
    addAsset("tt_opaque.jpg", withPlane);
    EXPECT_EQ(loadAlphaJpegSized("tt_opaque.jpg", 4, 4), e);
    EXPECT_EQ(e->opaqueFromRow, 4);

    EXPECT_EQ(createTexture("tt_made", 4, 4, kTextureFormatA8R8G8B8, false)->opaqueFromRow, -1);
}

// Only the image's top-left w x h reaches the texture; the rest is zero.
TEST_F(TextureTableTest, SizedLoadKeepsOnlyTheRequestedCornerOfALargerImage) {
    addAsset("tt_corner.jpg", test::makeJpeg(6, 3, 250, 250, 250));
    TextureEntry* e = loadImageSized("tt_corner.jpg", 4, 2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->width, 8);
    EXPECT_EQ(e->height, 4);
    const auto* t = device.texture(e->texture);
    ASSERT_NE(t, nullptr);
    EXPECT_GT(t->rgba[(8 * 1 + 3) * 4], 240);
    EXPECT_EQ(t->rgba[(8 * 0 + 4) * 4], 0);
    EXPECT_EQ(t->rgba[(8 * 2 + 0) * 4], 0);
}

// A picture read from the disk is not kept twice (file bytes and texture);
// an archive entry stays loadable for later requests.
TEST_F(TextureTableTest, DiskFileIsReleasedOnceUploadedArchiveEntryIsKept) {
    addAsset("tt_disk.tga", test::makeTga(4, 4, 32, false, false, red));
    ASSERT_NE(loadTexture("tt_disk.tga"), nullptr);
    EXPECT_EQ(findAsset("tt_disk.tga"), nullptr);

    std::vector<uint8_t> tga = test::makeTga(4, 4, 32, false, false, red);
    ASSERT_TRUE(
        registerAsset("tt_archived.tga", static_cast<int32_t>(tga.size()), tga.data(), false));
    ASSERT_NE(loadTexture("tt_archived.tga"), nullptr);
    EXPECT_NE(findAsset("tt_archived.tga"), nullptr);
    releaseAsset(tga.data());
}

// A picture decoded ahead on a worker gives the same texture as one decoded
// by the load itself; when the file changed in between, the bytes the loader
// read win. Pictures nobody asked for are dropped.
TEST_F(TextureTableTest, PrefetchedPicturesUploadTheBytesTheLoaderRead) {
    char pattern[] = "/tmp/corsavel-prefetch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    char previous[1024];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    auto write = [](const char* name, const std::vector<uint8_t>& bytes) {
        FILE* file = std::fopen(name, "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    };
    write("tt_same.jpg", test::makeJpeg(20, 10, 10, 200, 30));
    loadImageSized("tt_same.jpg", 20, 10);
    const std::vector<uint8_t> direct = device.texture(findTexture("tt_same.jpg")->texture)->rgba;
    releaseTexture(findTexture("tt_same.jpg"));
    clearAssetRegistry();

    prefetchSizedImage("tt_same.jpg", 20, 10);
    TextureEntry* same = loadImageSized("tt_same.jpg", 20, 10);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->width, 32);
    EXPECT_EQ(device.texture(same->texture)->rgba, direct);

    write("tt_changed.jpg", test::makeJpeg(20, 10, 10, 200, 30));
    prefetchSizedImage("tt_changed.jpg", 20, 10);
    write("tt_changed.jpg", test::makeJpeg(20, 10, 250, 0, 0));
    TextureEntry* changed = loadImageSized("tt_changed.jpg", 20, 10);
    ASSERT_NE(changed, nullptr);
    EXPECT_GT(device.texture(changed->texture)->rgba[0], 240) << "the red picture the loader read";

    prefetchSizedImage("tt_unused.jpg", 20, 10);
    dropPrefetchedImages();
    clearAssetRegistry();
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}

// A prefetched picture that is missing ends the game with the loader's own
// message, as without the prefetch.
TEST_F(TextureTableTest, PrefetchedMissingPictureStillStopsTheGame) {
    prefetchSizedImage("tt_nowhere.jpg", 20, 10);
    EXPECT_EXIT(loadImageSized("tt_nowhere.jpg", 20, 10), testing::ExitedWithCode(1),
                "Can't load tt_nowhere.jpg");
    dropPrefetchedImages();
}

TEST_F(TextureTableTest, CreateReturnsExistingEntryWhateverItsSize) {
    TextureEntry* a = createTexture("tt_target", 64, 32, kTextureFormatA8R8G8B8, false);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->format, kTextureFormatA8R8G8B8);
    EXPECT_EQ(createTexture("tt_target", 128, 128, 0, true), a);
    EXPECT_EQ(a->width, 64);
}

TEST_F(TextureTableTest, ReleaseClosesTheGapAndIgnoresStrangers) {
    TextureEntry* a = createTexture("tt_a", 2, 2, 0, false);
    TextureEntry* b = createTexture("tt_b", 2, 2, 0, false);
    TextureEntry* c = createTexture("tt_c", 2, 2, 0, false);
    ASSERT_TRUE(a && b && c);
    uint32_t bTexture = b->texture;
    releaseTexture(b);
    EXPECT_EQ(textureTable.count, 2);
    EXPECT_EQ(textureTable.entries[0], a);
    EXPECT_EQ(textureTable.entries[1], c);
    EXPECT_EQ(device.texture(bTexture), nullptr);
    releaseTexture(b);
    TextureEntry stranger;
    releaseTexture(&stranger);
    EXPECT_EQ(textureTable.count, 2);
}

TEST_F(TextureTableTest, TableRefusesThe1024thEntry) {
    char name[32];
    for (int i = 0; i < kMaxTextures; ++i) {
        std::snprintf(name, sizeof name, "tt_full%d", i);
        ASSERT_NE(createTexture(name, 1, 1, 0, false), nullptr) << i;
    }
    EXPECT_EQ(textureTable.count, 1023);
    EXPECT_EQ(createTexture("tt_one_more", 1, 1, 0, false), nullptr);
    addAsset("tt_late.tga", test::makeTga(2, 2, 24, false, false, red));
    EXPECT_EQ(loadTexture("tt_late.tga", false), nullptr);
    EXPECT_EQ(textureTable.count, 1023);
    EXPECT_EQ(device.liveTextures(), 1023);
}

TEST_F(TextureTableTest, RenderTargetsAreReleasedAndRecreated) {
    TextureEntry* rt = createTexture("tt_rt", 256, 256, 0, true);
    TextureEntry* plain = createTexture("tt_plain_rt", 4, 4, 0, false);
    ASSERT_TRUE(rt && plain);
    uint32_t plainTexture = plain->texture;
    releaseRenderTargets();
    EXPECT_EQ(rt->texture, 0u);
    EXPECT_EQ(plain->texture, plainTexture);
    renderDevice.selectedMode.width = 800;
    recreateRenderTargets();
    ASSERT_NE(rt->texture, 0u);
    EXPECT_EQ(device.texture(rt->texture)->height, 256);
}

TEST_F(TextureTableTest, BindingSendsTheEntryTexture) {
    TextureEntry* e = createTexture("tt_bind", 2, 2, 0, false);
    ASSERT_NE(e, nullptr);
    bindTexture(e);
    EXPECT_EQ(renderDevice.current.texture, e->texture);
    bindTexture(nullptr);
    EXPECT_EQ(renderDevice.current.texture, 0u);
}

}  // namespace
}  // namespace corsavel
