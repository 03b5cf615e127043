#pragma once

#include "game/game_state.h"
#include "platform/math_types.h"

namespace corsavel {

class SceneObject;

// The gold box in the scene: the model's centre stands at (kGoldBoxX,
// kGoldBoxY) when boxHeight is 0 and sinks kGoldBoxRise units per unit of
// boxHeight below 0. From the level's start (-100) to its end it rises 12
// units within the box area (x -380..-252, y -290..-210), and its open mouth
// stays around y -240, where the flyers drop out of sight.
constexpr float kGoldBoxX = -322.0f;
constexpr float kGoldBoxY = -242.0f;
constexpr float kGoldBoxRise = 0.12f;
// Mesh 1 of "goldbox.cgo" is the lid; its pivot is the hinge.
constexpr int kGoldBoxLidMesh = 1;

// The lid's extra matrix: lidAngle 90 is shut, 0 stands upright, -10 leans
// back; the lid turns about its hinge by 90 - lidAngle degrees.
Matrix4 goldBoxLidMatrix(float lidAngle);

// Turns (degrees: turn[2] about the model's upright axis first, then turn[1],
// then turn[0] tipping it toward the viewer), then the model's z-up frame
// stood up in the scene, the scale, and the place from boxHeight and offset.
Matrix4 goldBoxWorld(const GoldBox& box);

// The loaded model, null before loadGoldBox (or after the library was freed).
SceneObject* goldBoxObject();

}  // namespace corsavel
