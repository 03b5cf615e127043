#include "platform/render_device.h"

#include <gtest/gtest.h>

#include "platform/recording_device.h"

namespace corsavel {
namespace {

class RenderDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        renderDevice = RenderDeviceState{};
        device.install();
    }
    void TearDown() override { device.uninstall(); }
    RecordingDevice device;
};

TEST_F(RenderDeviceTest, ModeListKeepsOnlyDistinctFourByThreeModes) {
    const ModeCandidate modes[] = {{1280, 1024, 32}, {1280, 720, 32}, {1152, 864, 32},
                                   {640, 480, 32},   {640, 480, 32},  {512, 384, 32},
                                   {800, 600, 24},   {800, 600, 16},  {1024, 768, 8}};
    enumerateDisplayModes(modes, 9);
    ASSERT_EQ(renderDevice.displayModeCount, 3);
    EXPECT_EQ(renderDevice.displayModes[0].width, 1152);
    EXPECT_EQ(renderDevice.displayModes[1].width, 640);
    EXPECT_EQ(renderDevice.displayModes[2].bits, 16);
    ASSERT_EQ(renderDevice.resolutionCount, 3);
    EXPECT_EQ(renderDevice.resolutions[2].width, 800);
}

TEST_F(RenderDeviceTest, SelectionFallsBackToFirstModeWithoutMatchingDepth) {
    const ModeCandidate modes[] = {{640, 480, 32}, {800, 600, 32}, {800, 600, 16}};
    enumerateDisplayModes(modes, 2);
    renderDevice.trueColour = 0;
    selectDisplayMode();
    EXPECT_EQ(renderDevice.selectedMode.width, 640);
    EXPECT_EQ(renderDevice.resolutionIndex, 1);
    enumerateDisplayModes(modes, 3);
    selectDisplayMode();
    EXPECT_EQ(renderDevice.selectedMode.bits, 16);
    EXPECT_EQ(renderDevice.selectedMode.width, 800);
    renderDevice.trueColour = 1;
    selectDisplayMode();
    EXPECT_EQ(renderDevice.selectedModeIndex, 1);
}

TEST_F(RenderDeviceTest, EmptyModeListSelectsAllZeroMode) {
    enumerateDisplayModes(nullptr, 0);
    selectDisplayMode();
    EXPECT_EQ(renderDevice.selectedMode.width, 0);
    EXPECT_EQ(renderDevice.selectedMode.bits, 0);
}

TEST_F(RenderDeviceTest, GammaRampIsIdentityAtHalfAndClampsAbove) {
    EXPECT_EQ(gammaRampEntry(0.5f, 0), 0);
    EXPECT_EQ(gammaRampEntry(0.5f, 255), 255 * 256);
    EXPECT_EQ(gammaRampEntry(1.0f, 200), 0xFFFF);
    EXPECT_EQ(gammaRampEntry(0.0f, 100), 12800);
}

TEST_F(RenderDeviceTest, BrightnessResendsRampOnlyWhenChanged) {
    setBrightness(0.5f);
    presentFrame();
    EXPECT_EQ(device.gammaRampsSent, 0);
    setBrightness(0.8f);
    presentFrame();
    EXPECT_EQ(device.gammaRampsSent, 1);
    EXPECT_EQ(device.gammaRamp[100], gammaRampEntry(0.8f, 100));
    presentFrame();
    EXPECT_EQ(device.gammaRampsSent, 1);
    EXPECT_EQ(device.presents, 3);
}

TEST_F(RenderDeviceTest, DefaultStatesMatchTheDeviceContract) {
    EXPECT_EQ(renderStateValue(RenderState::ZEnable), 1u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaRef), 128u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaFunc), kCompareGreaterEqual);
    EXPECT_EQ(renderStateValue(RenderState::CullMode), kCullCounterClockwise);
    EXPECT_EQ(renderStateValue(RenderState::Lighting), 0u);
    EXPECT_EQ(renderStateValue(RenderState::Ambient), 0xFFFFFFFFu);
    EXPECT_EQ(renderStateValue(RenderState::PointScaleB), floatBits(5.0f));
    EXPECT_EQ(stageStateValue(StageState::AddressU), kAddressWrap);
    EXPECT_EQ(stageStateValue(StageState::AlphaOp), kTexOpModulate);
    EXPECT_EQ(stageStateValue(StageState::MagFilter), kFilterNone);
}

TEST_F(RenderDeviceTest, FeaturesSwitchTheirStatesAndIgnoreUnknownNumbers) {
    enableFeature(0);
    enableFeature(4);
    enableFeature(7);
    EXPECT_EQ(renderStateValue(RenderState::Lighting), 1u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(stageStateValue(StageState::MipFilter), kFilterLinear);
    disableFeature(7);
    EXPECT_EQ(stageStateValue(StageState::MinFilter), kFilterPoint);
    EXPECT_EQ(stageStateValue(StageState::MipFilter), kFilterNone);
    int before = device.stateChanges;
    enableFeature(8);
    disableFeature(-1);
    setBlendMode(3);
    EXPECT_EQ(device.stateChanges, before);
}

TEST_F(RenderDeviceTest, ProjectionFeatureSwitchesOrthographicAndPerspective) {
    enableFeature(3);
    Matrix4 ortho = getProjection();
    EXPECT_FLOAT_EQ(ortho.m[0][0], 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(ortho.m[2][2], 1.0f / 499.0f);
    EXPECT_FLOAT_EQ(ortho.m[3][2], -1.0f / 499.0f);
    renderDevice.perspectiveProjection = perspectiveMatrix(4.0f / 3.0f);
    disableFeature(3);
    Matrix4 p = getProjection();
    EXPECT_NEAR(p.m[1][1], 2.4142135f, 1e-5f);
    EXPECT_NEAR(p.m[0][0], 2.4142135f * 0.75f, 1e-5f);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p.m[3][3], 0.0f);
    EXPECT_NEAR(p.m[3][2], -5.0f * 400.0f / 395.0f, 1e-4f);
}

TEST_F(RenderDeviceTest, BlendModesAndBegin2D) {
    setBlendMode(1);
    EXPECT_EQ(renderStateValue(RenderState::SrcBlend), kBlendSrcColour);
    EXPECT_EQ(renderStateValue(RenderState::DestBlend), kBlendOne);
    setBlendMode(2);
    EXPECT_EQ(renderStateValue(RenderState::SrcBlend), kBlendOne);
    EXPECT_EQ(renderStateValue(RenderState::DestBlend), kBlendZero);
    Matrix4 moved;
    moved.m[3][0] = 5.0f;
    setWorld(&moved);
    begin2D();
    EXPECT_EQ(renderStateValue(RenderState::ZEnable), 0u);
    EXPECT_EQ(renderStateValue(RenderState::AlphaRef), 1u);
    EXPECT_EQ(renderStateValue(RenderState::SrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(stageStateValue(StageState::MagFilter), kFilterLinear);
    EXPECT_FLOAT_EQ(getWorld().m[3][0], 0.0f);
    EXPECT_FLOAT_EQ(getProjection().m[1][1], 2.0f / 600.0f);
    EXPECT_FLOAT_EQ(getProjection().m[2][2], 1.0f / 99.0f);
}

TEST_F(RenderDeviceTest, SceneLightAndDirection) {
    setupSceneLight();
    EXPECT_TRUE(device.lightEnabled);
    EXPECT_FLOAT_EQ(device.light.direction.z, -10.0f);
    EXPECT_FLOAT_EQ(device.material.ambient.r, 0.2f);
    setLightDirection(3.0f, 10.0f, 3.0f);
    EXPECT_FLOAT_EQ(device.light.direction.y, 10.0f);
    EXPECT_FLOAT_EQ(device.light.diffuse.g, 1.0f);
}

TEST_F(RenderDeviceTest, CameraMovesAlongItsOwnAxes) {
    resetCamera();
    moveCamera(0.0f, 0.0f, 120.0f);
    EXPECT_FLOAT_EQ(renderDevice.cameraMatrix.m[3][2], 120.0f);
    // Turn the camera a quarter around y: its forward axis becomes x.
    Matrix4& m = renderDevice.cameraMatrix;
    m = Matrix4{};
    m.m[0][0] = 0.0f;
    m.m[0][2] = -1.0f;
    m.m[2][0] = 1.0f;
    m.m[2][2] = 0.0f;
    moveCamera(0.0f, 0.0f, 10.0f);
    EXPECT_FLOAT_EQ(m.m[3][0], 10.0f);
    EXPECT_FLOAT_EQ(m.m[3][2], 0.0f);
    EXPECT_FLOAT_EQ(cameraForward().x, -1.0f);
    EXPECT_FLOAT_EQ(cameraRight().z, 1.0f);
    EXPECT_FLOAT_EQ(cameraUp().y, 1.0f);
}

class FrustumTest : public RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        resetCamera();
        moveCamera(0.0f, 0.0f, 150.0f);
        // The view looks down +z from z = -150: the inverse of the camera.
        Matrix4 view;
        view.m[3][2] = 150.0f;
        setView(&view);
        setOrthographic(800.0f, 600.0f, 1.0f, 300.0f);
        updateFrustum();
    }
};

TEST_F(FrustumTest, SphereTests) {
    EXPECT_TRUE(sphereVisible({0.0f, 0.0f, 0.0f}, 1.0f));
    EXPECT_TRUE(sphereVisible({399.0f, 0.0f, 0.0f}, 1.0f));
    EXPECT_FALSE(sphereVisible({420.0f, 0.0f, 0.0f}, 10.0f));
    EXPECT_TRUE(sphereVisible({405.0f, 0.0f, 0.0f}, 10.0f));
    EXPECT_FALSE(sphereVisible({0.0f, -320.0f, 0.0f}, 10.0f));
    EXPECT_FALSE(sphereVisible({0.0f, 0.0f, 400.0f}, 10.0f));
}

TEST_F(FrustumTest, BoxTests) {
    EXPECT_TRUE(boxVisible({0.0f, 0.0f, 0.0f}, {5.0f, 5.0f, 5.0f}));
    EXPECT_TRUE(boxVisible({405.0f, 0.0f, 0.0f}, {10.0f, 10.0f, 10.0f}));
    EXPECT_FALSE(boxVisible({420.0f, 0.0f, 0.0f}, {10.0f, 10.0f, 10.0f}));
    EXPECT_FALSE(boxVisible({0.0f, 400.0f, 0.0f}, {50.0f, 50.0f, 50.0f}));
}

TEST_F(RenderDeviceTest, PerspectiveFrustumCullsBehindAndBeyond) {
    Matrix4 view;
    setView(&view);
    setProjection(perspectiveMatrix(4.0f / 3.0f));
    updateFrustum();
    EXPECT_TRUE(sphereVisible({0.0f, 0.0f, 100.0f}, 1.0f));
    EXPECT_FALSE(sphereVisible({0.0f, 0.0f, 500.0f}, 1.0f));
    EXPECT_FALSE(sphereVisible({200.0f, 0.0f, 100.0f}, 1.0f));
}

TEST_F(RenderDeviceTest, ClearsAndPrimitiveCounts) {
    clearTarget(0xFF102030u);
    clearDepth(1.0f);
    EXPECT_EQ(device.clears, 2);
    EXPECT_EQ(device.lastClearColour, 0xFF102030u);
    EXPECT_EQ(formatStride(kFormatColoured), 24);
    EXPECT_EQ(formatStride(kFormatPlain), 20);
    EXPECT_EQ(formatStride(kFormatPosition | kFormatNormal | kFormatTex1), 32);
    EXPECT_EQ(primitiveVertexCount(PrimitiveType::TriangleStrip, 2), 4);
    EXPECT_EQ(primitiveVertexCount(PrimitiveType::LineList, 3), 6);
    EXPECT_EQ(primitiveVertexCount(PrimitiveType::TriangleList, 0), 0);
}

int hookCalls = 0;

TEST_F(RenderDeviceTest, DisplayResetWaitsForPresentThenRestoresStates) {
    setDisplayResetHooks([] { hookCalls += 1; }, [] { hookCalls += 10; });
    hookCalls = 0;
    enableFeature(0);
    setBlendMode(1);
    requestDisplayReset();
    EXPECT_TRUE(renderDevice.resetPending);
    EXPECT_EQ(renderStateValue(RenderState::Lighting), 1u);
    presentFrame();
    EXPECT_FALSE(renderDevice.resetPending);
    EXPECT_EQ(hookCalls, 11);
    EXPECT_EQ(renderStateValue(RenderState::Lighting), 0u);
    EXPECT_EQ(renderStateValue(RenderState::SrcBlend), kBlendOne);
    EXPECT_TRUE(device.lightEnabled);
    EXPECT_FLOAT_EQ(device.light.direction.x, 3.0f);
    presentFrame();
    EXPECT_EQ(hookCalls, 11);
    setDisplayResetHooks(nullptr, nullptr);
}

}  // namespace
}  // namespace corsavel
