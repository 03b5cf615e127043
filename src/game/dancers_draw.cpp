// The dancers behind the board and in the closing celebration: each filmed
// by the dancers' own orthographic camera, lit from above, wearing its hat.

#include <cmath>

#include "game/dancers.h"
#include "gfx/character.h"
#include "gfx/scene_object.h"
#include "platform/render_device.h"

namespace corsavel {

namespace {

constexpr float kDancerViewDistance = 1000.0f;
constexpr float kDancerFar = 2000.0f;
constexpr uint32_t kDancerAlphaRef = 128;

// Everything the dancers change, put back for the 2D drawing after them.
struct DancerStates {
    static constexpr RenderState kStates[] = {
        RenderState::ZEnable,  RenderState::ZWriteEnable, RenderState::ZFunc,
        RenderState::Lighting, RenderState::CullMode,     RenderState::AlphaTestEnable,
        RenderState::AlphaRef, RenderState::AlphaFunc,    RenderState::AlphaBlendEnable,
        RenderState::SrcBlend, RenderState::DestBlend,
    };
    uint32_t values[sizeof kStates / sizeof kStates[0]] = {};
    Matrix4 world;
    Matrix4 view;
    Matrix4 projection;
    Vec3 light;
    uint32_t texture = 0;

    void save() {
        for (size_t i = 0; i < sizeof kStates / sizeof kStates[0]; ++i) {
            values[i] = renderStateValue(kStates[i]);
        }
        world = getWorld();
        view = getView();
        projection = getProjection();
        light = renderDevice.current.light.direction;
        texture = renderDevice.current.texture;
    }
    void restore() const {
        for (size_t i = 0; i < sizeof kStates / sizeof kStates[0]; ++i) {
            setRenderState(kStates[i], values[i]);
        }
        setWorld(&world);
        setView(&view);
        setProjection(projection);
        updateFrustum();
        setLightDirection(light.x, light.y, light.z);
        bindTextureHandle(texture);
    }
};

// The dancers' camera: turned 270 degrees about x, then moved back along
// its own axes, looking at the dancers from the front.
Matrix4 dancerView() {
    Matrix4 view = rotationX(270.0f);
    for (int c = 0; c < 4; ++c) {
        view.m[3][c] += -kDancerViewDistance * view.m[1][c];
    }
    return view;
}

float dancerScale(const Dancer& dancer) {
    return std::isfinite(dancer.scale) && dancer.scale > 0.05f ? dancer.scale : 1.0f;
}

void drawDancer(int slot, const Dancer& dancer, float cameraDepth) {
    Character* character = characterFor(slot, dancerKind(dancer));
    if (character == nullptr || dancer.clock.current == nullptr) {
        return;
    }
    const float scale = dancerScale(dancer);
    const float k = 0.05f / scale;
    setWorld(nullptr);
    const Matrix4 view = dancerView();
    setView(&view);
    setOrthographic(800.0f * k, 600.0f * k, 1.0f, kDancerFar);
    updateFrustum();
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::AlphaTestEnable, 1);
    setRenderState(RenderState::AlphaRef, kDancerAlphaRef);

    character->placement = {k * dancer.x, k * cameraDepth, 2.0f * dancer.y};
    character->yaw = dancer.turn;
    character->updateCharacter(dancer.clock);
    // The skeleton is closed: its faces turned away are always hidden behind
    // the ones in front, and drawing them would double the small triangles
    // that are most of a dancer's cost. A hat's brim shows its underside.
    setRenderState(RenderState::CullMode, kCullCounterClockwise);
    character->drawCharacter();
    setRenderState(RenderState::CullMode, kCullNone);

    Matrix4 hat;
    SceneObject* object = hatObject(dancer.hat);
    if (object != nullptr && hatMatrix(*character, dancer.hat, scale, &hat)) {
        drawSceneObject(*object, hat);
    }
}

}  // namespace

void drawDancers() {
    const LevelSetup& level = game.level;
    const int count = level.dancerCount < kMaxDancers ? level.dancerCount : kMaxDancers;
    if (!characterSetLoaded() || count <= 0) {
        return;
    }
    DancerStates saved;
    saved.save();
    clearDepth(1.0f);
    setLightDirection(3.0f, 10.0f, 3.0f);
    enableFeature(0);
    enableFeature(1);
    enableFeature(2);
    setRenderState(RenderState::ZFunc, kCompareLessEqual);
    setRenderState(RenderState::CullMode, kCullNone);
    for (int i = 0; i < count; ++i) {
        drawDancer(i, level.dancers[i], level.dancerCameraDepth);
    }
    saved.restore();
}

}  // namespace corsavel
