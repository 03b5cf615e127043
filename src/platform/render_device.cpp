#include "platform/render_device.h"

#include "platform/batching_backend.h"
#include "platform/null_device.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

#include "platform/message_box.h"
#include "platform/window.h"

namespace corsavel {

RenderDeviceState renderDevice;

RenderBackend* createGlBackend(SDL_Window* window);
void destroyGlBackend(RenderBackend* backend);

namespace {

RenderBackend* activeBackend = nullptr;
DisplayResetHook beforeReset = nullptr;
DisplayResetHook afterReset = nullptr;
void (*presentedHook)() = nullptr;
RenderBackend* glBackend = nullptr;
// Sprites reach GL in runs: the batching backend sits in front of it.
BatchingBackend batching;

// Calls before the device exists go to a device that draws nothing.
NullDevice nullBackend(false);

RenderBackend& backend() {
    return activeBackend ? *activeBackend : nullBackend;
}

int matrixIndex(MatrixSlot slot) {
    return static_cast<int>(slot);
}

void sendMatrix(MatrixSlot slot, const Matrix4& m) {
    renderDevice.current.matrices[matrixIndex(slot)] = m;
    backend().applyMatrix(slot, m);
}

bool sameSize(const DisplayMode& mode, int width, int height) {
    return mode.width == width && mode.height == height;
}

void sendGammaIfDirty() {
    if (!renderDevice.gammaDirty) {
        return;
    }
    uint16_t ramp[256];
    for (int i = 0; i < 256; ++i) {
        ramp[i] = gammaRampEntry(renderDevice.brightness, i);
    }
    backend().setGammaRamp(ramp);
    renderDevice.gammaDirty = false;
}

// Lists the modes SDL reports for display 0 as candidates.
int systemModes(ModeCandidate* out, int capacity) {
    int count = SDL_GetNumDisplayModes(0);
    int n = 0;
    for (int i = 0; i < count && n < capacity; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) {
            continue;
        }
        int bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        // 24-bit colour is stored in 32-bit pixels: the X8R8G8B8 case.
        if (bits == 24) {
            bits = 32;
        }
        out[n++] = {mode.w, mode.h, bits};
    }
    return n;
}

void resetDisplay() {
    selectDisplayMode();
    if (beforeReset) {
        beforeReset();
    }
    if (gameWindow()) {
        setGameWindowFullScreen(renderDevice.fullScreen != 0);
    }
    backend().displayChanged();
    applyDefaultStates();
    updatePerspective();
    if (afterReset) {
        afterReset();
    }
    setupSceneLight();
}

}  // namespace

void setDisplayResetHooks(DisplayResetHook before, DisplayResetHook after) {
    beforeReset = before;
    afterReset = after;
}

void setPresentedHook(void (*hook)()) {
    presentedHook = hook;
}

void notifyFramePresented() {
    if (presentedHook != nullptr) {
        presentedHook();
    }
}

void setRenderBackend(RenderBackend* newBackend) {
    activeBackend = newBackend;
}

RenderBackend* renderBackend() {
    return activeBackend;
}

int formatStride(uint32_t formatFlags) {
    int stride = 0;
    if (formatFlags & kFormatPosition) {
        stride += 12;
    }
    if (formatFlags & kFormatNormal) {
        stride += 12;
    }
    if (formatFlags & kFormatPointSize) {
        stride += 4;
    }
    if (formatFlags & kFormatDiffuse) {
        stride += 4;
    }
    if (formatFlags & kFormatSpecular) {
        stride += 4;
    }
    if (formatFlags & kFormatTex1) {
        stride += 8;
    }
    return stride;
}

int primitiveVertexCount(PrimitiveType type, int primitiveCount) {
    if (primitiveCount <= 0) {
        return 0;
    }
    switch (type) {
        case PrimitiveType::PointList:
            return primitiveCount;
        case PrimitiveType::LineList:
            return primitiveCount * 2;
        case PrimitiveType::LineStrip:
            return primitiveCount + 1;
        case PrimitiveType::TriangleList:
            return primitiveCount * 3;
        case PrimitiveType::TriangleStrip:
        case PrimitiveType::TriangleFan:
            return primitiveCount + 2;
    }
    return 0;
}

uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void enumerateDisplayModes(const ModeCandidate* modes, int count) {
    RenderDeviceState& d = renderDevice;
    d.displayModeCount = 0;
    d.resolutionCount = 0;
    for (int i = 0; i < count && d.displayModeCount < kMaxDisplayModes; ++i) {
        const ModeCandidate& m = modes[i];
        if (m.width < 640 || m.height < 480) {
            continue;
        }
        float ratio = static_cast<float>(m.width) / static_cast<float>(m.height);
        if (std::fabs(ratio - 1.33f) > 0.01f) {
            continue;
        }
        if (m.bits != 32 && m.bits != 16) {
            continue;
        }
        bool listed = false;
        for (int j = 0; j < d.displayModeCount; ++j) {
            const DisplayMode& other = d.displayModes[j];
            if (other.bits == m.bits && sameSize(other, m.width, m.height)) {
                listed = true;
                break;
            }
        }
        if (listed) {
            continue;
        }
        DisplayMode mode;
        mode.width = m.width;
        mode.height = m.height;
        mode.bits = m.bits;
        mode.displayFormat = m.bits == 32 ? kFormatX8R8G8B8 : kFormatR5G6B5;
        mode.surfaceFormat = m.bits == 32 ? kFormatA8R8G8B8 : kFormatR5G6B5;
        mode.depthFormat = kFormatDepth24;
        d.displayModes[d.displayModeCount++] = mode;
        bool known = false;
        for (int j = 0; j < d.resolutionCount; ++j) {
            if (d.resolutions[j].width == m.width && d.resolutions[j].height == m.height) {
                known = true;
                break;
            }
        }
        if (!known) {
            d.resolutions[d.resolutionCount++] = {m.width, m.height};
        }
    }
}

void selectDisplayMode() {
    RenderDeviceState& d = renderDevice;
    for (int i = 0; i < d.resolutionCount; ++i) {
        if (d.resolutions[i].width == 800 && d.resolutions[i].height == 600) {
            d.resolutionIndex = i;
        }
    }
    int bits = d.trueColour ? 32 : 16;
    d.selectedModeIndex = -1;
    for (int i = 0; i < d.displayModeCount; ++i) {
        if (d.displayModes[i].bits == bits && sameSize(d.displayModes[i], 800, 600)) {
            d.selectedModeIndex = i;
            break;
        }
    }
    if (d.selectedModeIndex < 0) {
        // No match: the first listed mode, or all zero when none is listed.
        d.selectedModeIndex = 0;
    }
    d.selectedMode = d.displayModeCount > 0 ? d.displayModes[d.selectedModeIndex] : DisplayMode{};
}

bool createDevice() {
    RenderDeviceState& d = renderDevice;
    if (d.created) {
        return true;
    }
    ModeCandidate modes[kMaxDisplayModes];
    int count = systemModes(modes, kMaxDisplayModes);
    enumerateDisplayModes(modes, count);
    selectDisplayMode();

    SDL_Window* window = gameWindow();
    glBackend = window ? createGlBackend(window) : nullptr;
    if (!glBackend) {
        showMessageBox("Can't init Direct3D", "Initialization failed");
        return false;
    }
    batching.setInner(glBackend);
    activeBackend = &batching;
    d.created = true;
    applyDefaultStates();
    updatePerspective();
    return true;
}

void releaseDevice() {
    RenderDeviceState& d = renderDevice;
    if (!d.created) {
        return;
    }
    setBrightness(0.5f);
    sendGammaIfDirty();
    if (activeBackend == &batching || activeBackend == glBackend) {
        activeBackend = nullptr;
    }
    batching.setInner(nullptr);
    destroyGlBackend(glBackend);
    glBackend = nullptr;
    d.created = false;
}

void requestDisplayReset() {
    selectDisplayMode();
    renderDevice.resetPending = true;
}

void presentFrame() {
    sendGammaIfDirty();
    backend().present();
    // The game window's first frame replaces the start-up picture.
    closeStartupPicture();
    notifyFramePresented();
    if (renderDevice.resetPending) {
        renderDevice.resetPending = false;
        resetDisplay();
    }
}

uint16_t gammaRampEntry(float brightness, int i) {
    double value = (0.5 + static_cast<double>(brightness)) * (i * 256.0);
    if (value > 65535.0) {
        return 0xFFFF;
    }
    if (value < 0.0) {
        return 0;
    }
    return static_cast<uint16_t>(value);
}

void setBrightness(float value) {
    if (value != renderDevice.brightness) {
        renderDevice.brightness = value;
        renderDevice.gammaDirty = true;
    }
}

void clearTarget(uint32_t argb) {
    backend().clear(true, argb, false, 0.0f);
}

void clearDepth(float z) {
    backend().clear(false, 0, true, z);
}

void beginScene() {
    backend().beginScene();
}

void endScene() {
    backend().endScene();
}

// GL keeps textures and buffers in its own memory: nothing to evict.
void discardManagedResources() {}

void applyDefaultStates() {
    DeviceState& s = renderDevice.current;
    s = DeviceState{};
    RenderBackend& b = backend();
    auto rs = [&](RenderState state, uint32_t value) { setRenderState(state, value); };
    auto ss = [&](StageState state, uint32_t value) { setStageState(state, value); };
    rs(RenderState::ZEnable, 1);
    rs(RenderState::ZWriteEnable, 1);
    rs(RenderState::ZFunc, kCompareLessEqual);
    rs(RenderState::AlphaTestEnable, 0);
    rs(RenderState::AlphaBlendEnable, 0);
    rs(RenderState::SrcBlend, kBlendOne);
    rs(RenderState::DestBlend, kBlendZero);
    rs(RenderState::AlphaRef, 128);
    rs(RenderState::AlphaFunc, kCompareGreaterEqual);
    rs(RenderState::LastPixel, 0);
    rs(RenderState::CullMode, kCullCounterClockwise);
    rs(RenderState::Lighting, 0);
    rs(RenderState::SpecularMaterialSource, kMaterialSourceMaterial);
    rs(RenderState::Ambient, 0xFFFFFFFFu);
    rs(RenderState::PointSpriteEnable, 1);
    rs(RenderState::PointScaleEnable, 1);
    rs(RenderState::PointSize, floatBits(1.0f));
    rs(RenderState::PointSizeMin, floatBits(0.01f));
    rs(RenderState::PointScaleA, floatBits(0.0f));
    rs(RenderState::PointScaleB, floatBits(5.0f));
    rs(RenderState::PointScaleC, floatBits(5.0f));
    rs(RenderState::TextureFactor, 0xFFFFFFFFu);
    rs(RenderState::FogEnable, 0);
    ss(StageState::ColourOp, kTexOpModulate);
    ss(StageState::ColourArg1, kTexArgTexture);
    ss(StageState::ColourArg2, kTexArgCurrent);
    ss(StageState::AlphaOp, kTexOpModulate);
    ss(StageState::AlphaArg1, kTexArgTexture);
    ss(StageState::AlphaArg2, kTexArgCurrent);
    ss(StageState::AddressU, kAddressWrap);
    ss(StageState::AddressV, kAddressWrap);
    ss(StageState::TextureTransformFlags, kTexTransformCount2);
    ss(StageState::MagFilter, kFilterNone);
    ss(StageState::MinFilter, kFilterNone);
    ss(StageState::MipFilter, kFilterNone);
    for (int i = 0; i < static_cast<int>(MatrixSlot::Count); ++i) {
        sendMatrix(static_cast<MatrixSlot>(i), Matrix4{});
    }
    b.bindTexture(0);
    b.applyMaterial(s.material);
    b.applyLight(s.light, false);
}

void setWorld(const Matrix4* m) {
    sendMatrix(MatrixSlot::World, m ? *m : Matrix4{});
}

void setView(const Matrix4* m) {
    sendMatrix(MatrixSlot::View, m ? *m : Matrix4{});
}

void setTextureTransform(const Matrix4* m) {
    sendMatrix(MatrixSlot::Texture, m ? *m : Matrix4{});
}

void setProjection(const Matrix4& m) {
    sendMatrix(MatrixSlot::Projection, m);
}

Matrix4 getWorld() {
    return renderDevice.current.matrices[matrixIndex(MatrixSlot::World)];
}
Matrix4 getView() {
    return renderDevice.current.matrices[matrixIndex(MatrixSlot::View)];
}
Matrix4 getTextureTransform() {
    return renderDevice.current.matrices[matrixIndex(MatrixSlot::Texture)];
}
Matrix4 getProjection() {
    return renderDevice.current.matrices[matrixIndex(MatrixSlot::Projection)];
}

Matrix4 perspectiveMatrix(float aspect) {
    const float fov = 0.7853982f;
    const float nearZ = 5.0f;
    const float farZ = 400.0f;
    float yScale = 1.0f / std::tan(fov / 2.0f);
    Matrix4 m;
    m.m[0][0] = yScale / aspect;
    m.m[1][1] = yScale;
    m.m[2][2] = farZ / (farZ - nearZ);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -nearZ * farZ / (farZ - nearZ);
    m.m[3][3] = 0.0f;
    return m;
}

void updatePerspective() {
    SceneViewport vp = gameWindow() ? sceneViewport() : SceneViewport{};
    float aspect = vp.height > 0 ? static_cast<float>(vp.width) / static_cast<float>(vp.height)
                                 : 800.0f / 600.0f;
    renderDevice.perspectiveProjection = perspectiveMatrix(aspect);
}

Matrix4 orthographicMatrix(float width, float height, float nearZ, float farZ) {
    Matrix4 m;
    m.m[0][0] = 2.0f / width;
    m.m[1][1] = 2.0f / height;
    m.m[2][2] = 1.0f / (farZ - nearZ);
    m.m[3][2] = nearZ / (nearZ - farZ);
    return m;
}

void setOrthographic(float width, float height, float nearZ, float farZ) {
    setProjection(orthographicMatrix(width, height, nearZ, farZ));
}

void bindTextureHandle(uint32_t texture) {
    renderDevice.current.texture = texture;
    backend().bindTexture(texture);
}

void setRenderState(RenderState state, uint32_t value) {
    int i = static_cast<int>(state);
    if (i < 0 || i >= static_cast<int>(RenderState::Count)) {
        return;
    }
    renderDevice.current.renderStates[i] = value;
    backend().applyRenderState(state, value);
}

void setStageState(StageState state, uint32_t value) {
    int i = static_cast<int>(state);
    if (i < 0 || i >= static_cast<int>(StageState::Count)) {
        return;
    }
    renderDevice.current.stageStates[i] = value;
    backend().applyStageState(state, value);
}

uint32_t renderStateValue(RenderState state) {
    return renderDevice.current.renderStates[static_cast<int>(state)];
}

uint32_t stageStateValue(StageState state) {
    return renderDevice.current.stageStates[static_cast<int>(state)];
}

static void setFeature(int n, bool on) {
    switch (n) {
        case 0:
            setRenderState(RenderState::Lighting, on);
            break;
        case 1:
            setRenderState(RenderState::ZEnable, on);
            break;
        case 2:
            setRenderState(RenderState::ZWriteEnable, on);
            break;
        case 3:
            if (on) {
                setOrthographic(800.0f, 600.0f, 1.0f, 500.0f);
            } else {
                setProjection(renderDevice.perspectiveProjection);
            }
            break;
        case 4:
            setRenderState(RenderState::AlphaBlendEnable, on);
            break;
        case 5:
            setRenderState(RenderState::AlphaTestEnable, on);
            break;
        case 6:
            setRenderState(RenderState::PointSpriteEnable, on);
            break;
        case 7:
            setStageState(StageState::MagFilter, on ? kFilterLinear : kFilterPoint);
            setStageState(StageState::MinFilter, on ? kFilterLinear : kFilterPoint);
            setStageState(StageState::MipFilter, on ? kFilterLinear : kFilterNone);
            break;
        default:
            break;
    }
}

void enableFeature(int n) {
    setFeature(n, true);
}

void disableFeature(int n) {
    setFeature(n, false);
}

void setBlendMode(int n) {
    static const uint32_t kModes[3][2] = {
        {kBlendSrcAlpha, kBlendInvSrcAlpha}, {kBlendSrcColour, kBlendOne}, {kBlendOne, kBlendZero}};
    if (n < 0 || n > 2) {
        return;
    }
    setRenderState(RenderState::SrcBlend, kModes[n][0]);
    setRenderState(RenderState::DestBlend, kModes[n][1]);
}

void begin2D() {
    setRenderState(RenderState::ZEnable, 0);
    setRenderState(RenderState::SrcBlend, kBlendSrcAlpha);
    setRenderState(RenderState::DestBlend, kBlendInvSrcAlpha);
    setRenderState(RenderState::AlphaBlendEnable, 1);
    setRenderState(RenderState::AlphaTestEnable, 1);
    setRenderState(RenderState::AlphaRef, 1);
    enableFeature(7);
    setWorld(nullptr);
    setView(nullptr);
    setOrthographic(800.0f, 600.0f, 1.0f, 100.0f);
}

void setupSceneLight() {
    DeviceState& s = renderDevice.current;
    s.light = Light{};
    s.light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    s.light.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    s.light.ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    s.light.direction = {3.0f, 3.0f, -10.0f};
    s.light.range = 1500.0f;
    s.light.attenuation0 = 0.1f;
    s.lightEnabled = true;
    backend().applyLight(s.light, true);
    s.material = Material{};
    s.material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    s.material.ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    backend().applyMaterial(s.material);
}

void setLightDirection(float x, float y, float z) {
    DeviceState& s = renderDevice.current;
    s.light.direction = {x, y, z};
    backend().applyLight(s.light, s.lightEnabled);
}

void resetCamera() {
    renderDevice.cameraMatrix = Matrix4{};
}

void moveCamera(float x, float y, float z) {
    Matrix4& m = renderDevice.cameraMatrix;
    for (int c = 0; c < 4; ++c) {
        m.m[3][c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
    }
}

static Vec3 cameraColumn(int c) {
    const Matrix4& m = renderDevice.cameraMatrix;
    return {m.m[0][c], m.m[1][c], m.m[2][c]};
}

Vec3 cameraRight() {
    return cameraColumn(0);
}
Vec3 cameraUp() {
    return cameraColumn(1);
}
Vec3 cameraForward() {
    return cameraColumn(2);
}

void updateFrustum() {
    Matrix4 c = getView() * getProjection();
    for (int r = 0; r < 3; ++r) {
        for (int sign = 0; sign < 2; ++sign) {
            float* plane = renderDevice.viewFrustum[2 * r + sign];
            for (int row = 0; row < 4; ++row) {
                plane[row] = sign == 0 ? c.m[row][3] - c.m[row][r] : c.m[row][3] + c.m[row][r];
            }
            float len = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            if (len > 0.0f) {
                for (int k = 0; k < 4; ++k) {
                    plane[k] /= len;
                }
            }
        }
    }
}

static float planeDistance(const float* p, float x, float y, float z) {
    return p[0] * x + p[1] * y + p[2] * z + p[3];
}

bool sphereVisible(Vec3 centre, float radius) {
    for (const auto& plane : renderDevice.viewFrustum) {
        if (planeDistance(plane, centre.x, centre.y, centre.z) <= -radius) {
            return false;
        }
    }
    return true;
}

bool boxVisible(Vec3 centre, Vec3 halfSize) {
    for (const auto& plane : renderDevice.viewFrustum) {
        bool inside = false;
        for (int corner = 0; corner < 8 && !inside; ++corner) {
            float x = centre.x + ((corner & 1) ? halfSize.x : -halfSize.x);
            float y = centre.y + ((corner & 2) ? halfSize.y : -halfSize.y);
            float z = centre.z + ((corner & 4) ? halfSize.z : -halfSize.z);
            inside = planeDistance(plane, x, y, z) > 0.0f;
        }
        if (!inside) {
            return false;
        }
    }
    return true;
}

void drawPrimitive(const void* vertices, int primitiveCount, uint32_t formatFlags,
                   PrimitiveType type) {
    if (!vertices || primitiveCount <= 0) {
        return;
    }
    backend().drawUser(type, primitiveCount, formatFlags, vertices);
    renderDevice.triangleCount += primitiveCount;
}

}  // namespace corsavel
