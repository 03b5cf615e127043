#pragma once

#include <cstdint>

#include "platform/window.h"

namespace corsavel {

// The pointer and the cursor. Scene coordinates: origin at the centre of the
// 800x600 scene, x to the right, y upwards, one unit per scene pixel whatever
// the window size.
struct PointerState {
    // 0 normal, 1 hidden, 2 help; set by the gameplay as the pointer moves.
    int32_t pointerKind = 0;
    // The custom-cursor option: the game draws its own cursor sprite.
    bool customCursor = false;
    // The harness drives the pointer itself: pointerPosition returns these.
    bool overridden = false;
    float overrideX = 0.0f;
    float overrideY = 0.0f;
};

extern PointerState pointer;

// The pointer in scene coordinates, read at the moment of the call. Positions
// outside the scene give values beyond -400..400 and -300..300.
void pointerPosition(float* x, float* y);

// Maps a window position (pixels of the window, top-left origin) through the
// scene viewport to scene coordinates.
void windowToScene(int windowX, int windowY, const SceneViewport& viewport, float* x, float* y);

// Stores pointerKind; with the custom cursor off also sets the system cursor:
// 0 arrow, 1 hidden, 2 help, other kinds no cursor.
void setPointerKind(int32_t kind);
int32_t pointerKind();

// The system arrow when systemCursor is true, else an invisible cursor.
void applyCursorOption(bool systemCursor);

bool customCursor();
void setCustomCursor(bool on);

// The harness's pointer: pointerPosition returns (x, y) until cleared.
void overridePointer(float x, float y);
void clearPointerOverride();

// Releases the cursors made by this module (at shutdown).
void releaseCursors();

}  // namespace corsavel
