#pragma once

#include <cstdint>

#include "platform/math_types.h"

namespace corsavel {

// Vertex format flags: which fields a vertex carries, in this order:
// position, normal, point size, diffuse colour, specular colour, one UV set.
constexpr uint32_t kFormatPosition = 0x002;
constexpr uint32_t kFormatNormal = 0x010;
constexpr uint32_t kFormatPointSize = 0x020;
constexpr uint32_t kFormatDiffuse = 0x040;
constexpr uint32_t kFormatSpecular = 0x080;
constexpr uint32_t kFormatTex1 = 0x100;

// The coloured (x, y, z, ARGB, u, v) and plain (x, y, z, u, v) formats.
constexpr uint32_t kFormatColoured = kFormatPosition | kFormatDiffuse | kFormatTex1;
constexpr uint32_t kFormatPlain = kFormatPosition | kFormatTex1;

// Bytes per vertex of a format.
int formatStride(uint32_t formatFlags);

enum class PrimitiveType : uint8_t {
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

// Number of vertices a draw of primitiveCount primitives consumes.
int primitiveVertexCount(PrimitiveType type, int primitiveCount);

enum class MatrixSlot : uint8_t { World, View, Projection, Texture, Count };

enum class RenderState : uint8_t {
    ZEnable,
    ZWriteEnable,
    AlphaTestEnable,
    AlphaBlendEnable,
    SrcBlend,
    DestBlend,
    AlphaRef,
    AlphaFunc,
    ZFunc,
    CullMode,
    Lighting,
    Ambient,
    LastPixel,
    SpecularMaterialSource,
    PointSpriteEnable,
    PointScaleEnable,
    PointSize,
    PointSizeMin,
    PointScaleA,
    PointScaleB,
    PointScaleC,
    TextureFactor,
    FogEnable,
    Count
};

enum class StageState : uint8_t {
    ColourOp,
    ColourArg1,
    ColourArg2,
    AlphaOp,
    AlphaArg1,
    AlphaArg2,
    AddressU,
    AddressV,
    MagFilter,
    MinFilter,
    MipFilter,
    TextureTransformFlags,
    Count
};

// Values of the blend, compare, cull, filter, address and texture-stage states.
enum BlendFactor : uint32_t {
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcColour = 3,
    kBlendInvSrcColour = 4,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
    kBlendDestAlpha = 7,
    kBlendInvDestAlpha = 8,
    kBlendDestColour = 9,
    kBlendInvDestColour = 10,
};

enum CompareFunc : uint32_t {
    kCompareNever = 1,
    kCompareLess = 2,
    kCompareEqual = 3,
    kCompareLessEqual = 4,
    kCompareGreater = 5,
    kCompareNotEqual = 6,
    kCompareGreaterEqual = 7,
    kCompareAlways = 8,
};

enum CullMode : uint32_t { kCullNone = 1, kCullClockwise = 2, kCullCounterClockwise = 3 };

enum TextureFilter : uint32_t { kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2 };

enum TextureAddress : uint32_t { kAddressWrap = 1, kAddressMirror = 2, kAddressClamp = 3 };

enum TextureOp : uint32_t {
    kTexOpDisable = 1,
    kTexOpSelectArg1 = 2,
    kTexOpSelectArg2 = 3,
    kTexOpModulate = 4,
    kTexOpModulate2x = 5,
    kTexOpModulate4x = 6,
    kTexOpAdd = 7,
    kTexOpAddSigned = 8,
    kTexOpSubtract = 10,
};

enum TextureArg : uint32_t {
    kTexArgDiffuse = 0,
    kTexArgCurrent = 1,
    kTexArgTexture = 2,
    kTexArgFactor = 3,
};

// Texture transform flags: off, or two coordinates transformed.
enum TextureTransformFlags : uint32_t { kTexTransformDisable = 0, kTexTransformCount2 = 2 };

// Material colour sources.
enum MaterialSource : uint32_t { kMaterialSourceMaterial = 0, kMaterialSourceColour1 = 1 };

struct ColourValue {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// A directional light (the only kind the game uses).
struct Light {
    ColourValue diffuse;
    ColourValue specular;
    ColourValue ambient;
    Vec3 direction;
    float range = 0.0f;
    float attenuation0 = 0.0f;
};

struct Material {
    ColourValue diffuse;
    ColourValue ambient;
    ColourValue specular;
    ColourValue emissive;
    float power = 0.0f;
};

// The device state a draw is made with; the device layer keeps it and hands
// each change to the backend.
struct DeviceState {
    uint32_t renderStates[static_cast<int>(RenderState::Count)] = {};
    uint32_t stageStates[static_cast<int>(StageState::Count)] = {};
    Matrix4 matrices[static_cast<int>(MatrixSlot::Count)];
    uint32_t texture = 0;
    Light light;
    bool lightEnabled = false;
    Material material;
};

// The narrow seam under the device layer: the GL backend draws, the
// recording backend (tests) remembers. Texture and buffer handles are
// nonzero; 0 means none. Pixels are RGBA8, top row first.
class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    virtual void clear(bool target, uint32_t argb, bool depth, float z) = 0;
    virtual void beginScene() {}
    virtual void endScene() {}
    virtual void present() = 0;
    virtual void setGammaRamp(const uint16_t ramp[256]) = 0;

    virtual void applyRenderState(RenderState state, uint32_t value) = 0;
    virtual void applyStageState(StageState state, uint32_t value) = 0;
    virtual void applyMatrix(MatrixSlot slot, const Matrix4& m) = 0;
    // Light 0, placed in the world through the current view matrix.
    virtual void applyLight(const Light& light, bool enabled) = 0;
    virtual void applyMaterial(const Material& material) = 0;
    virtual void bindTexture(uint32_t texture) = 0;

    virtual void drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                          const void* vertices) = 0;

    virtual uint32_t createTexture(int width, int height, const uint8_t* rgba) = 0;
    virtual void updateTexture(uint32_t texture, int x, int y, int width, int height,
                               const uint8_t* rgba) = 0;
    virtual void releaseTexture(uint32_t texture) = 0;

    // Static mesh buffers: indices are optional (null, 0 for a plain list).
    virtual uint32_t createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                                   const uint16_t* indices, int indexCount) = 0;
    virtual void drawBuffers(uint32_t buffers, int triangleCount) = 0;
    // Overwrites the first vertexCount vertices of a buffer in place (the
    // skinned characters refill theirs every frame); false when it cannot.
    virtual bool updateBufferVertices(uint32_t, const void*, int) { return false; }
    virtual void releaseBuffers(uint32_t buffers) = 0;

    // Reads the scene rectangle of the last drawn frame (top row first).
    virtual bool readPixels(int width, int height, uint8_t* rgba) = 0;
    // Called after a display reset so the backend refreshes its viewport.
    virtual void displayChanged() {}
};

// Installs the backend the device layer draws through (tests install a
// recording one); null restores none.
void setRenderBackend(RenderBackend* backend);
RenderBackend* renderBackend();

}  // namespace corsavel
