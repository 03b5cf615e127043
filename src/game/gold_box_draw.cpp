// The gold box: a lit 3D chest at the bottom left of the board's screen whose
// lid, height, jolt, turns and scale follow the gameplay's box state.

#include "game/gold_box_draw.h"

#include <cmath>

#include "game/game_draw.h"
#include "gfx/scene_object.h"
#include "gfx/transforms.h"
#include "platform/render_device.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

constexpr const char* kGoldBoxFile = "goldbox.cgo";

// The model is built z up with its front toward +y; this stands it up in the
// scene (z up becomes y up, the front faces the viewer).
constexpr float kStandUpDegrees = -90.0f;

// The device states the box changes, kept to be put back for the 2D layers
// drawn after it.
struct SavedStates {
    static constexpr RenderState kStates[] = {
        RenderState::ZEnable,          RenderState::ZWriteEnable, RenderState::ZFunc,
        RenderState::Lighting,         RenderState::CullMode,     RenderState::AlphaTestEnable,
        RenderState::AlphaBlendEnable, RenderState::SrcBlend,     RenderState::DestBlend,
    };
    uint32_t values[sizeof kStates / sizeof kStates[0]] = {};
    Matrix4 world;
    uint32_t texture = 0;

    void save() {
        for (size_t i = 0; i < sizeof kStates / sizeof kStates[0]; ++i) {
            values[i] = renderStateValue(kStates[i]);
        }
        world = getWorld();
        texture = renderDevice.current.texture;
    }
    void restore() const {
        for (size_t i = 0; i < sizeof kStates / sizeof kStates[0]; ++i) {
            setRenderState(kStates[i], values[i]);
        }
        setWorld(&world);
        bindTextureHandle(texture);
    }
};

}  // namespace

Matrix4 goldBoxLidMatrix(float lidAngle) {
    return rotationX(90.0f - lidAngle);
}

Matrix4 goldBoxWorld(const GoldBox& box) {
    Matrix4 scale;
    scale.m[0][0] = box.scale;
    scale.m[1][1] = box.scale;
    scale.m[2][2] = box.scale;
    scale.m[3][0] = kGoldBoxX + box.offset.x;
    scale.m[3][1] = kGoldBoxY + box.boxHeight * kGoldBoxRise + box.offset.y;
    scale.m[3][2] = box.offset.z;
    return rotationZ(box.turn[2]) * rotationY(box.turn[1]) * rotationX(box.turn[0]) *
           rotationX(kStandUpDegrees) * scale;
}

// Looked up in the object library rather than kept, so that a library freed
// and loaded again never leaves a stale model behind.
SceneObject* goldBoxObject() {
    return findSceneObject(kGoldBoxFile);
}

// Loading the models brings the scene light with them; the box is the
// first lit model the board's screen draws.
void loadGoldBox() {
    setupSceneLight();
    loadInsideFolder("models", [] { loadSceneObject(kGoldBoxFile); });
}

// Drawn over the board's 2D layers: the depth buffer is cleared so that only
// the box's own faces hide each other, lit by light 0 placed under the game
// view, then every state it touched is put back for the 2D drawing after it.
// The lid's turn is lent to the model for this draw only.
void drawGoldBox() {
    SceneObject* object = goldBoxObject();
    if (object == nullptr) {
        return;
    }
    const GoldBox& box = shown.box;
    const Matrix4 lidMatrix = goldBoxLidMatrix(box.lidAngle);
    object->setExtraMatrix(kGoldBoxLidMesh, &lidMatrix);

    SavedStates saved;
    saved.save();
    clearDepth(1.0f);
    enableFeature(0);
    enableFeature(1);
    enableFeature(2);
    setRenderState(RenderState::ZFunc, kCompareLessEqual);
    setRenderState(RenderState::CullMode, kCullCounterClockwise);
    setLightDirection(3.0f, 3.0f, -10.0f);
    drawSceneObject(*object, goldBoxWorld(box));
    object->setExtraMatrix(kGoldBoxLidMesh, nullptr);
    saved.restore();
}

}  // namespace corsavel
