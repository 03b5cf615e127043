#pragma once

#include <cstdint>

#include "platform/math_types.h"
#include "platform/render_backend.h"

namespace corsavel {

struct TextureEntry;

constexpr int kMaxDisplayModes = 256;

// One usable full-screen mode: six 32-bit fields, in this order.
struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 0;
    int32_t displayFormat = 0;
    int32_t depthFormat = 0;
    int32_t surfaceFormat = 0;
};
static_assert(sizeof(DisplayMode) == 24);

// Pixel formats recorded in a DisplayMode (our own numbering).
enum PixelFormat : int32_t {
    kFormatUnknown = 0,
    kFormatX8R8G8B8 = 22,
    kFormatA8R8G8B8 = 21,
    kFormatR5G6B5 = 23,
    kFormatDepth16 = 80,
    kFormatDepth24 = 77,
    kFormatDepth32 = 71,
};

struct Resolution {
    int32_t width = 0;
    int32_t height = 0;
};

// Everything the device layer owns, one instance.
struct RenderDeviceState {
    bool created = false;
    DisplayMode displayModes[kMaxDisplayModes];
    int displayModeCount = 0;
    Resolution resolutions[kMaxDisplayModes];
    int resolutionCount = 0;
    DisplayMode selectedMode;
    int selectedModeIndex = -1;
    int32_t resolutionIndex = 0;
    int32_t fullScreen = 1;
    int32_t trueColour = 0;
    int32_t verticalSync = 0;
    bool resetPending = false;
    float brightness = 0.5f;
    bool gammaDirty = false;
    Matrix4 perspectiveProjection;
    int32_t triangleCount = 0;
    Matrix4 cameraMatrix;
    float viewFrustum[6][4] = {};
    DeviceState current;
    // Keep a copy of every presented frame for screenshots (harness).
    bool frameCapture = false;
};
extern RenderDeviceState renderDevice;

// Device lifetime and the frame.
bool createDevice();
void releaseDevice();
void requestDisplayReset();
void presentFrame();
void setBrightness(float value);
void clearTarget(uint32_t argb);
void clearDepth(float z);
void beginScene();
void endScene();
void discardManagedResources();

// Called around a display reset: before (release render targets) and
// after (recreate them); the texture table installs them.
using DisplayResetHook = void (*)();
void setDisplayResetHooks(DisplayResetHook before, DisplayResetHook after);
// Called after every presented frame (the load benchmark times the first
// one by it); null for none.
void setPresentedHook(void (*hook)());
// Calls the hook for a frame put on screen without the device (the start-up
// picture).
void notifyFramePresented();

// Applies the fixed default states (after creation, after a reset, and in
// tests after installing a recording backend).
void applyDefaultStates();

// Display modes: filters a list of (width, height, bits) modes into
// displayModes and resolutions, then selects by trueColour.
struct ModeCandidate {
    int width;
    int height;
    int bits;
};
void enumerateDisplayModes(const ModeCandidate* modes, int count);
void selectDisplayMode();

// Ramp entry i for a brightness (0.5 is the identity).
uint16_t gammaRampEntry(float brightness, int i);

// Transforms; null sets the identity.
void setWorld(const Matrix4* m);
void setView(const Matrix4* m);
void setTextureTransform(const Matrix4* m);
void setProjection(const Matrix4& m);
Matrix4 getWorld();
Matrix4 getView();
Matrix4 getTextureTransform();
Matrix4 getProjection();

void updatePerspective();
Matrix4 perspectiveMatrix(float aspect);
Matrix4 orthographicMatrix(float width, float height, float nearZ, float farZ);
void setOrthographic(float width, float height, float nearZ, float farZ);

void bindTexture(const TextureEntry* entry);
void bindTextureHandle(uint32_t texture);
void setRenderState(RenderState state, uint32_t value);
void setStageState(StageState state, uint32_t value);
uint32_t renderStateValue(RenderState state);
uint32_t stageStateValue(StageState state);
uint32_t floatBits(float value);

void enableFeature(int n);
void disableFeature(int n);
void setBlendMode(int n);
void begin2D();

void setupSceneLight();
void setLightDirection(float x, float y, float z);

// Camera and view frustum.
void resetCamera();
void moveCamera(float x, float y, float z);
Vec3 cameraRight();
Vec3 cameraUp();
Vec3 cameraForward();
void updateFrustum();
bool sphereVisible(Vec3 centre, float radius);
bool boxVisible(Vec3 centre, Vec3 halfSize);

// Raw draw from memory: adds primitiveCount to triangleCount.
void drawPrimitive(const void* vertices, int primitiveCount, uint32_t formatFlags,
                   PrimitiveType type);

}  // namespace corsavel
