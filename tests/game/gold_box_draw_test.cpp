// The forged gold box read back through the game's own readers, the lid's
// hinge, and the device calls of drawing it (recording device).
#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "game/game_draw.h"
#include "game/game_state.h"
#include "game/gold_box_draw.h"
#include "gfx/mesh.h"
#include "gfx/scene_object.h"
#include "gfx/texture.h"
#include "gfx/tga.h"
#include "platform/null_device.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {
namespace {

// Body proportions the model is built to: half width and depth, rim height.
constexpr float kHalfWidth = 46.0f;
constexpr float kHalfDepth = 26.0f;
constexpr float kRim = 10.0f;

std::string modelsPath(const char* name) {
    const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
    return std::string(dir != nullptr ? dir : ".") + "/Data/models/" + name;
}

std::vector<uint8_t> readModelFile(const char* name) {
    std::ifstream stream(modelsPath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

bool hasVertex(const MeshFile& mesh, Vec3 p) {
    for (const Vec3& v : mesh.positions) {
        if (length(v - p) < 1e-3f) {
            return true;
        }
    }
    return false;
}

void expectNear(Vec3 a, Vec3 b, float eps = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void expectMatrixNear(const Matrix4& a, const Matrix4& b) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4f) << r << "," << c;
        }
    }
}

class GoldBoxModel : public ::testing::Test {
protected:
    void SetUp() override {
        if (readModelFile("goldbox.cgo").empty()) {
            GTEST_SKIP() << "no forged Data folder";
        }
        for (const char* name : {"goldbox_body.msh_s", "goldbox_lid.msh_s"}) {
            const std::vector<uint8_t> bytes = readModelFile(name);
            MeshFile& file = name[8] == 'b' ? body : lid;
            StaticMesh& mesh = name[8] == 'b' ? bodyMesh : lidMesh;
            ASSERT_EQ(parseMeshFile(bytes.data(), bytes.size(), &file), MeshError::None) << name;
            ASSERT_EQ(parseStaticMesh(bytes.data(), bytes.size(), &mesh), MeshError::None) << name;
        }
    }
    // A lid vertex turned open to lidAngle, in the body's frame.
    Vec3 lidPoint(Vec3 local, float lidAngle) const {
        return transformPoint(local, goldBoxLidMatrix(lidAngle) * lidMesh.local);
    }

    MeshFile body, lid;
    StaticMesh bodyMesh, lidMesh;
};

TEST_F(GoldBoxModel, SceneFileNamesBodyAndLidWithTheirTexture) {
    const std::vector<uint8_t> bytes = readModelFile("goldbox.cgo");
    SceneObjectText text;
    ASSERT_TRUE(parseSceneObjectText(bytes.data(), bytes.size(), &text));
    ASSERT_EQ(text.meshCount, 2);
    EXPECT_STREQ(text.entries[0].mesh, "goldbox_body.msh_s");
    EXPECT_STREQ(text.entries[kGoldBoxLidMesh].mesh, "goldbox_lid.msh_s");
    for (int i = 0; i < 2; ++i) {
        EXPECT_STREQ(text.entries[i].texture, "goldbox.tga");
        EXPECT_FALSE(readModelFile(text.entries[i].mesh).empty());
    }
}

TEST_F(GoldBoxModel, MeshesAreSmoothWithSensibleBoundsAndAtlasUvs) {
    for (const StaticMesh* mesh : {&bodyMesh, &lidMesh}) {
        EXPECT_TRUE(mesh->smooth);
        EXPECT_GT(mesh->faceCount, 200);
        EXPECT_LT(mesh->vertexCount, kMaxMeshRenderVertices);
        for (const MeshVertex& v : mesh->vertices) {
            EXPECT_NEAR(length(v.normal), 1.0f, 1e-3f);
            ASSERT_TRUE(v.u >= 0.0f && v.u <= 1.0f && v.v >= 0.0f && v.v <= 1.0f);
        }
    }
    // The body: walls, trims standing out 2 units, the heap under the lid.
    EXPECT_NEAR(bodyMesh.boxHalfSize.x, kHalfWidth + 2.0f, 1e-3f);
    EXPECT_NEAR(bodyMesh.boxCentre.x, 0.0f, 1e-3f);
    EXPECT_NEAR(bodyMesh.boxCentre.y + bodyMesh.boxHalfSize.y, kHalfDepth + 2.5f, 1e-3f);
    EXPECT_NEAR(bodyMesh.boxCentre.y - bodyMesh.boxHalfSize.y, -kHalfDepth - 2.0f, 1e-3f);
    const float bodyBottom = bodyMesh.boxCentre.z - bodyMesh.boxHalfSize.z;
    const float bodyTop = bodyMesh.boxCentre.z + bodyMesh.boxHalfSize.z;
    EXPECT_NEAR(bodyBottom, -26.0f, 1e-3f);
    EXPECT_GT(bodyTop, kRim) << "coins heap over the rim";
    EXPECT_LT(bodyTop, kRim + 10.0f);
    // The lid in its own frame: forward of the hinge, an arch over it, the
    // hasp hanging below.
    EXPECT_NEAR(lidMesh.boxCentre.y - lidMesh.boxHalfSize.y, -2.0f, 1e-3f);
    EXPECT_NEAR(lidMesh.boxCentre.y + lidMesh.boxHalfSize.y, 2 * kHalfDepth + 4.2f, 1e-3f);
    EXPECT_NEAR(lidMesh.boxCentre.z + lidMesh.boxHalfSize.z, 4.0f + 13.0f + 1.5f, 1e-2f);
    EXPECT_LT(lidMesh.boxCentre.z - lidMesh.boxHalfSize.z, -5.0f);
}

TEST_F(GoldBoxModel, LidPivotIsTheHingeOnTheBodysBackTopEdge) {
    expectNear(lid.pivotRotation, {});
    expectNear(lid.pivotTranslation, {0.0f, -kHalfDepth, kRim});
    expectNear(body.pivotTranslation, {});
    // The hinge line runs along the body's back top edge ...
    EXPECT_TRUE(hasVertex(body, {-kHalfWidth, -kHalfDepth, kRim}));
    EXPECT_TRUE(hasVertex(body, {kHalfWidth, -kHalfDepth, kRim}));
    // ... and along the lid's back bottom edge, at its own origin.
    EXPECT_TRUE(hasVertex(lid, {-kHalfWidth, 0.0f, 0.0f}));
    EXPECT_TRUE(hasVertex(lid, {kHalfWidth, 0.0f, 0.0f}));
}

TEST_F(GoldBoxModel, LidFrontEdgeShutOnTheRimAndOpenAboveTheHinge) {
    const Vec3 frontEdge{kHalfWidth, 2 * kHalfDepth, 0.0f};
    ASSERT_TRUE(hasVertex(lid, frontEdge));
    expectMatrixNear(goldBoxLidMatrix(90.0f), Matrix4{});
    expectNear(lidPoint(frontEdge, 90.0f), {kHalfWidth, kHalfDepth, kRim});
    EXPECT_TRUE(hasVertex(body, {kHalfWidth, kHalfDepth, kRim}));
    // Upright at 0, leaning back by 10 degrees at -10.
    expectNear(lidPoint(frontEdge, 0.0f), {kHalfWidth, -kHalfDepth, kRim + 2 * kHalfDepth});
    const float lean = 10.0f * kPi / 180.0f;
    expectNear(lidPoint(frontEdge, -10.0f),
               {kHalfWidth, -kHalfDepth - 2 * kHalfDepth * std::sin(lean),
                kRim + 2 * kHalfDepth * std::cos(lean)});
    // Halfway the lid's front edge is forward of the hinge and above the rim.
    const Vec3 half = lidPoint(frontEdge, 45.0f);
    EXPECT_GT(half.y, -kHalfDepth);
    EXPECT_GT(half.z, kRim + 30.0f);
}

TEST_F(GoldBoxModel, LidNeverSwingsThroughTheTreasure) {
    const float inner = 4.0f;
    for (float angle : {90.0f, 70.0f, 45.0f, 20.0f, 0.0f, -10.0f}) {
        for (const Vec3& v : lid.positions) {
            const Vec3 p = lidPoint(v, angle);
            const bool inside = std::fabs(p.x) < kHalfWidth - inner &&
                                std::fabs(p.y) < kHalfDepth - inner && p.z < kRim - 0.01f;
            ASSERT_FALSE(inside) << angle << ": " << p.x << "," << p.y << "," << p.z;
        }
    }
    // Shut, the lid covers every coin: nothing of the heap reaches its inside.
    float heapTop = -1e9f;
    for (const Vec3& v : body.positions) {
        if (std::fabs(v.x) < kHalfWidth - inner && std::fabs(v.y) < kHalfDepth - inner) {
            heapTop = std::fmax(heapTop, v.z);
        }
    }
    EXPECT_GT(heapTop, kRim);
    EXPECT_LT(heapTop, kRim + 13.0f + 4.0f - 3.0f) << "under the lining at the arch's top";
}

TEST_F(GoldBoxModel, TextureIsAnOpaqueAtlasTheGameDecodes) {
    const std::vector<uint8_t> bytes = readModelFile("goldbox.tga");
    DecodedImage image;
    ASSERT_TRUE(decodeTga(bytes.data(), bytes.size(), &image));
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 512);
    size_t opaque = 0;
    for (size_t i = 3; i < image.rgba.size(); i += 4) {
        opaque += image.rgba[i] == 255 ? 1 : 0;
    }
    EXPECT_EQ(opaque, static_cast<size_t>(image.width) * image.height);
}

// Drawing through the recording device, the model loaded from the forged
// Data folder as the game loads it.
class GoldBoxDraw : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("CORSAVEL_BINARY_DIR");
        const std::string data = std::string(dir != nullptr ? dir : ".") + "/Data";
        if (access((data + "/models/goldbox.cgo").c_str(), R_OK) != 0 ||
            getcwd(previous, sizeof previous) == nullptr || chdir(data.c_str()) != 0) {
            GTEST_SKIP() << "no forged Data folder";
        }
        device.install();
        freeLibraries();
        game = GameState{};
        const std::filesystem::path dataFolder = std::filesystem::current_path();
        loadGoldBox();
        ASSERT_NE(goldBoxObject(), nullptr);
        EXPECT_EQ(std::filesystem::current_path(), dataFolder)
            << "loading returns to the folder it came from";
        setGameView();
        device.reset();
    }
    void TearDown() override {
        if (previous[0] == 0) {
            return;
        }
        game = GameState{};
        freeLibraries();
        device.uninstall();
        EXPECT_EQ(chdir(previous), 0);
    }
    static void freeLibraries() {
        freeSceneObjectLibrary();
        freeMeshLibrary();
        releaseAllTextures();
    }
    std::vector<const DrawRecord*> meshDraws() const {
        std::vector<const DrawRecord*> out;
        for (const DrawRecord& d : device.draws) {
            if (d.buffers != 0) {
                out.push_back(&d);
            }
        }
        return out;
    }

    char previous[4096] = {};
    RecordingDevice device;
};

TEST_F(GoldBoxDraw, BodyThenLidLitAndDepthTestedWithTheLidTurned) {
    game.box.lidAngle = 30.0f;
    drawGoldBox();
    const SceneObject* object = goldBoxObject();
    const std::vector<const DrawRecord*> draws = meshDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws.size(), device.draws.size());
    EXPECT_EQ(draws[0]->buffers, object->meshes[0]->buffers.buffers);
    EXPECT_EQ(draws[1]->buffers, object->meshes[kGoldBoxLidMesh]->buffers.buffers);
    const TextureEntry* texture = findTexture("goldbox.tga");
    ASSERT_NE(texture, nullptr);
    for (const DrawRecord* d : draws) {
        EXPECT_EQ(d->texture, texture->texture);
        EXPECT_EQ(d->state(RenderState::ZEnable), 1u);
        EXPECT_EQ(d->state(RenderState::ZWriteEnable), 1u);
        EXPECT_EQ(d->state(RenderState::ZFunc), static_cast<uint32_t>(kCompareLessEqual));
        EXPECT_EQ(d->state(RenderState::Lighting), 1u);
    }
    const Matrix4 world = goldBoxWorld(game.box);
    expectMatrixNear(draws[0]->matrix(MatrixSlot::World), world);
    expectMatrixNear(draws[1]->matrix(MatrixSlot::World),
                     goldBoxLidMatrix(30.0f) * object->meshes[kGoldBoxLidMesh]->local * world);
    // Only the box's own faces hide each other; light 0 is the game's light.
    EXPECT_GE(device.clears, 1);
    EXPECT_FLOAT_EQ(device.lastClearDepth, 1.0f);
    EXPECT_TRUE(device.lightEnabled);
    expectNear(device.light.direction, {3.0f, 3.0f, -10.0f});
    EXPECT_FLOAT_EQ(device.material.ambient.r, 0.2f);
}

TEST_F(GoldBoxDraw, StatesComeBackForTheTwoDLayersAfterIt) {
    Matrix4 someWorld;
    someWorld.m[3][0] = 12.0f;
    setWorld(&someWorld);
    bindTexture(findTexture("goldbox.tga"));
    bindTexture(nullptr);
    const RenderState states[] = {
        RenderState::ZEnable,          RenderState::ZWriteEnable, RenderState::ZFunc,
        RenderState::Lighting,         RenderState::CullMode,     RenderState::AlphaTestEnable,
        RenderState::AlphaBlendEnable, RenderState::SrcBlend,     RenderState::DestBlend,
        RenderState::AlphaRef};
    uint32_t before[sizeof states / sizeof states[0]];
    for (size_t i = 0; i < std::size(states); ++i) {
        before[i] = renderStateValue(states[i]);
    }
    EXPECT_EQ(before[0], 0u) << "2D mode has no depth test";
    drawGoldBox();
    ASSERT_EQ(meshDraws().size(), 2u);
    for (size_t i = 0; i < std::size(states); ++i) {
        EXPECT_EQ(renderStateValue(states[i]), before[i]) << static_cast<int>(states[i]);
    }
    expectMatrixNear(getWorld(), someWorld);
    EXPECT_EQ(renderDevice.current.texture, 0u);
}

TEST_F(GoldBoxDraw, PlaceFollowsHeightJoltTurnsAndScale) {
    GoldBox& box = game.box;
    box.boxHeight = -100.0f;
    const Matrix4 low = goldBoxWorld(box);
    box.boxHeight = -4.0f;
    const Matrix4 high = goldBoxWorld(box);
    EXPECT_NEAR(high.m[3][1] - low.m[3][1], 96.0f * kGoldBoxRise, 1e-3f);
    EXPECT_NEAR(high.m[3][0], kGoldBoxX, 1e-3f);
    box.offset = Vec3{-20.0f, -7.0f, 40.0f};
    const Matrix4 jolted = goldBoxWorld(box);
    expectNear({jolted.m[3][0], jolted.m[3][1], jolted.m[3][2]},
               {high.m[3][0] - 20.0f, high.m[3][1] - 7.0f, 40.0f});
    // Shut and unturned the model's up is the scene's up and its front faces
    // the viewer (-z); the start turns tip the top toward the viewer.
    box.turn[0] = box.turn[1] = box.turn[2] = 0.0f;
    const Matrix4 straight = goldBoxWorld(box);
    expectNear(transformPoint({0, 0, 1}, straight) - transformPoint({}, straight), {0, 1, 0});
    expectNear(transformPoint({0, 1, 0}, straight) - transformPoint({}, straight), {0, 0, -1});
    box.turn[0] = -15.0f;
    box.turn[2] = -20.0f;
    box.scale = 1.08f;
    const Matrix4 turned = goldBoxWorld(box);
    const Vec3 up = transformPoint({0, 0, 1}, turned) - transformPoint({}, turned);
    EXPECT_NEAR(length(up), 1.08f, 1e-4f);
    EXPECT_LT(up.z, -0.2f) << "the top leans toward the viewer";
    const Vec3 side = transformPoint({1, 0, 0}, turned) - transformPoint({}, turned);
    EXPECT_GT(side.z, 0.3f) << "turned about its upright axis";
}

TEST_F(GoldBoxDraw, DrawingMakesNoHeapAllocation) {
    NullDevice counting;
    setRenderBackend(&counting);
    drawGoldBox();
    game.box.lidAngle = 12.0f;
    startCountingAllocations();
    drawGoldBox();
    const int allocations = stopCountingAllocations();
    setRenderBackend(&device);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(counting.meshDraws, 4);
}

TEST_F(GoldBoxDraw, HiddenWithTheHudSlidAwayAndNothingBeforeLoading) {
    game.box.offset.x = 1.3f * -120.0f;
    drawGoldBox();
    EXPECT_TRUE(meshDraws().empty()) << "culled off the left edge";
    game.box.offset.x = 0.0f;
    freeLibraries();
    device.reset();
    const int changes = device.stateChanges;
    drawGoldBox();
    EXPECT_TRUE(device.draws.empty());
    EXPECT_EQ(device.clears, 0);
    EXPECT_EQ(device.stateChanges, changes);
}

TEST_F(GoldBoxDraw, MissingModelStopsWithTheLoadingError) {
    freeLibraries();
    const std::filesystem::path empty =
        std::filesystem::temp_directory_path() / ("gold_box_empty_" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    ASSERT_EQ(chdir(empty.c_str()), 0);
    EXPECT_EXIT(loadGoldBox(), ::testing::ExitedWithCode(1), "Can't load goldbox.cgo");
    ASSERT_EQ(chdir(previous), 0);
    std::filesystem::remove_all(empty);
}

}  // namespace
}  // namespace corsavel
