#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/render_device.h"
#include "platform/window.h"

namespace corsavel {

namespace {

constexpr int kMaxBuffers = 2048;

struct MeshBuffers {
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    uint32_t formatFlags = 0;
    int vertexCount = 0;
    int indexCount = 0;
};

// Byte offsets of each vertex field in a format.
struct VertexLayout {
    int stride = 0;
    int normal = -1;
    int diffuse = -1;
    int uv = -1;
};

VertexLayout layoutOf(uint32_t flags) {
    VertexLayout l;
    int offset = (flags & kFormatPosition) ? 12 : 0;
    if (flags & kFormatNormal) {
        l.normal = offset;
        offset += 12;
    }
    if (flags & kFormatPointSize) {
        offset += 4;
    }
    if (flags & kFormatDiffuse) {
        l.diffuse = offset;
        offset += 4;
    }
    if (flags & kFormatSpecular) {
        offset += 4;
    }
    if (flags & kFormatTex1) {
        l.uv = offset;
        offset += 8;
    }
    l.stride = offset;
    return l;
}

GLenum glPrimitive(PrimitiveType type) {
    switch (type) {
        case PrimitiveType::PointList:
            return GL_POINTS;
        case PrimitiveType::LineList:
            return GL_LINES;
        case PrimitiveType::LineStrip:
            return GL_LINE_STRIP;
        case PrimitiveType::TriangleList:
            return GL_TRIANGLES;
        case PrimitiveType::TriangleStrip:
            return GL_TRIANGLE_STRIP;
        case PrimitiveType::TriangleFan:
            return GL_TRIANGLE_FAN;
    }
    return GL_TRIANGLES;
}

GLenum glBlend(uint32_t factor) {
    switch (factor) {
        case kBlendZero:
            return GL_ZERO;
        case kBlendOne:
            return GL_ONE;
        case kBlendSrcColour:
            return GL_SRC_COLOR;
        case kBlendInvSrcColour:
            return GL_ONE_MINUS_SRC_COLOR;
        case kBlendSrcAlpha:
            return GL_SRC_ALPHA;
        case kBlendInvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case kBlendDestAlpha:
            return GL_DST_ALPHA;
        case kBlendInvDestAlpha:
            return GL_ONE_MINUS_DST_ALPHA;
        case kBlendDestColour:
            return GL_DST_COLOR;
        case kBlendInvDestColour:
            return GL_ONE_MINUS_DST_COLOR;
        default:
            return GL_ONE;
    }
}

GLenum glCompare(uint32_t func) {
    switch (func) {
        case kCompareNever:
            return GL_NEVER;
        case kCompareLess:
            return GL_LESS;
        case kCompareEqual:
            return GL_EQUAL;
        case kCompareLessEqual:
            return GL_LEQUAL;
        case kCompareGreater:
            return GL_GREATER;
        case kCompareNotEqual:
            return GL_NOTEQUAL;
        case kCompareGreaterEqual:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

GLint glAddress(uint32_t mode) {
    switch (mode) {
        case kAddressMirror:
            return GL_MIRRORED_REPEAT;
        case kAddressClamp:
            return GL_CLAMP_TO_EDGE;
        default:
            return GL_REPEAT;
    }
}

GLint glSource(uint32_t arg) {
    switch (arg & 0xF) {
        case kTexArgDiffuse:
            return GL_PRIMARY_COLOR;
        case kTexArgTexture:
            return GL_TEXTURE;
        case kTexArgFactor:
            return GL_CONSTANT;
        default:
            return GL_PREVIOUS;
    }
}

float bitsFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void argbToFloats(uint32_t argb, float out[4]) {
    out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

bool contextAtLeast21() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    int minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) {
        return false;
    }
    return major > 2 || (major == 2 && minor >= 1);
}

// The OpenGL 2.1 fixed-function device. Matrices arrive row-major with row
// vectors, which is GL's column-major layout as they stand.
class GlBackend final : public RenderBackend {
public:
    GlBackend(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_LIGHT0);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
        updateViewport();
    }

    ~GlBackend() override {
        for (MeshBuffers& b : buffers_) {
            if (b.vertexBuffer) {
                glDeleteBuffers(1, &b.vertexBuffer);
            }
            if (b.indexBuffer) {
                glDeleteBuffers(1, &b.indexBuffer);
            }
        }
        SDL_GL_DeleteContext(context_);
    }

    void clear(bool target, uint32_t argb, bool depth, float z) override {
        updateViewport();
        GLboolean depthMask = GL_TRUE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        glDepthMask(GL_TRUE);
        if (target && letterboxed_) {
            // Bars outside the scene stay black.
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glEnable(GL_SCISSOR_TEST);
        glScissor(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
        GLbitfield mask = 0;
        if (target) {
            float c[4];
            argbToFloats(argb, c);
            glClearColor(c[0], c[1], c[2], c[3]);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (depth) {
            glClearDepth(z);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        glClear(mask);
        glDisable(GL_SCISSOR_TEST);
        glDepthMask(depthMask);
    }

    void beginScene() override { updateViewport(); }

    void present() override {
        if (brightnessFactor_ != 1.0f) {
            drawBrightnessOverlay();
        }
        // Only frames asked for are kept: reading the scene back costs time.
        captured_ =
            renderDevice.frameCapture && readScene(captureWidth_, captureHeight_, capturePixels_);
        // Swapping an offscreen surface (the harness, the benchmarks) is no
        // swap at all: the software rasteriser then keeps a growing backlog of
        // queued frames, over a gigabyte within seconds. Waiting for the frame
        // keeps memory flat there; a real window's swap paces itself.
        if (finishFrames_) {
            glFinish();
        }
        swapGameWindow();
    }

    void setGammaRamp(const uint16_t ramp[256]) override {
        // Refused by many systems (offscreen, Xvfb, Wayland): then the ramp's
        // scale is applied to the finished frame instead.
        if (SDL_SetWindowGammaRamp(window_, ramp, ramp, ramp) == 0) {
            brightnessFactor_ = 1.0f;
        } else {
            brightnessFactor_ = static_cast<float>(ramp[128]) / (128.0f * 256.0f);
        }
    }

    void applyRenderState(RenderState state, uint32_t value) override {
        int i = static_cast<int>(state);
        states_[i] = value;
        switch (state) {
            case RenderState::ZEnable:
                toggle(GL_DEPTH_TEST, value != 0);
                break;
            case RenderState::ZWriteEnable:
                glDepthMask(value ? GL_TRUE : GL_FALSE);
                break;
            case RenderState::ZFunc:
                glDepthFunc(glCompare(value));
                break;
            case RenderState::AlphaTestEnable:
                toggle(GL_ALPHA_TEST, value != 0);
                break;
            case RenderState::AlphaRef:
            case RenderState::AlphaFunc:
                glAlphaFunc(glCompare(stateOf(RenderState::AlphaFunc)),
                            static_cast<float>(stateOf(RenderState::AlphaRef) & 0xFF) / 255.0f);
                break;
            case RenderState::AlphaBlendEnable:
                toggle(GL_BLEND, value != 0);
                break;
            case RenderState::SrcBlend:
            case RenderState::DestBlend:
                glBlendFunc(glBlend(stateOf(RenderState::SrcBlend)),
                            glBlend(stateOf(RenderState::DestBlend)));
                break;
            case RenderState::CullMode:
                applyCull(value);
                break;
            case RenderState::Lighting:
                toggle(GL_LIGHTING, value != 0);
                break;
            case RenderState::Ambient: {
                float c[4];
                argbToFloats(value, c);
                glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c);
                break;
            }
            case RenderState::PointSpriteEnable:
                // Applied around point draws only: Mesa replaces the texture
                // coordinates of every primitive while point sprites are on.
                break;
            case RenderState::PointScaleEnable:
            case RenderState::PointSize:
            case RenderState::PointSizeMin:
            case RenderState::PointScaleA:
            case RenderState::PointScaleB:
            case RenderState::PointScaleC:
                applyPointSize();
                break;
            case RenderState::TextureFactor: {
                float c[4];
                argbToFloats(value, c);
                glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
                break;
            }
            case RenderState::FogEnable:
                toggle(GL_FOG, value != 0);
                break;
            default:
                break;
        }
    }

    void applyStageState(StageState state, uint32_t value) override {
        stages_[static_cast<int>(state)] = value;
        switch (state) {
            case StageState::ColourOp:
            case StageState::ColourArg1:
            case StageState::ColourArg2:
            case StageState::AlphaOp:
            case StageState::AlphaArg1:
            case StageState::AlphaArg2:
                applyCombiner();
                break;
            case StageState::TextureTransformFlags:
                loadTextureMatrix();
                break;
            default:
                applySampler();
                break;
        }
    }

    void applyMatrix(MatrixSlot slot, const Matrix4& m) override {
        switch (slot) {
            case MatrixSlot::World:
                world_ = m;
                loadModelView();
                break;
            case MatrixSlot::View:
                view_ = m;
                // GL keeps light positions in eye space: place the world-space
                // light again through the new view.
                placeLight();
                loadModelView();
                break;
            case MatrixSlot::Projection: {
                // Depth 0..1 of the game's projections becomes GL's -1..1.
                Matrix4 fix;
                fix.m[2][2] = 2.0f;
                fix.m[3][2] = -1.0f;
                Matrix4 p = m * fix;
                glMatrixMode(GL_PROJECTION);
                glLoadMatrixf(&p.m[0][0]);
                glMatrixMode(GL_MODELVIEW);
                break;
            }
            case MatrixSlot::Texture:
                texture_ = m;
                loadTextureMatrix();
                break;
            default:
                break;
        }
    }

    void applyLight(const Light& light, bool enabled) override {
        light_ = light;
        placeLight();
        glLightfv(GL_LIGHT0, GL_DIFFUSE, &light.diffuse.r);
        glLightfv(GL_LIGHT0, GL_SPECULAR, &light.specular.r);
        glLightfv(GL_LIGHT0, GL_AMBIENT, &light.ambient.r);
        toggle(GL_LIGHT0, enabled);
        loadModelView();
    }

    // A directional light of direction d is the position (-d, 0), set while
    // the view alone is the model-view matrix. Leaves the view loaded.
    void placeLight() {
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&view_.m[0][0]);
        float position[4] = {-light_.direction.x, -light_.direction.y, -light_.direction.z, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
    }

    void applyMaterial(const Material& material) override {
        material_ = material;
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &material.diffuse.r);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &material.ambient.r);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &material.specular.r);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &material.emissive.r);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS,
                    material.power > 128.0f ? 128.0f : material.power);
    }

    void bindTexture(uint32_t texture) override {
        bound_ = texture;
        if (texture) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, texture);
            applySampler();
        } else {
            glBindTexture(GL_TEXTURE_2D, 0);
            glDisable(GL_TEXTURE_2D);
        }
    }

    void drawUser(PrimitiveType type, int primitiveCount, uint32_t formatFlags,
                  const void* vertices) override {
        int count = primitiveVertexCount(type, primitiveCount);
        if (count <= 0) {
            return;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        const auto* base = static_cast<const uint8_t*>(vertices);
        bool coloured = setPointers(formatFlags, base);
        beginColourSource(coloured);
        bool sprites = type == PrimitiveType::PointList && stateOf(RenderState::PointSpriteEnable);
        if (sprites) {
            glEnable(GL_POINT_SPRITE);
        }
        glDrawArrays(glPrimitive(type), 0, count);
        if (sprites) {
            glDisable(GL_POINT_SPRITE);
        }
        endColourSource(coloured);
    }

    uint32_t createTexture(int width, int height, const uint8_t* rgba) override {
        if (width <= 0 || height <= 0) {
            return 0;
        }
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        glBindTexture(GL_TEXTURE_2D, bound_);
        return name;
    }

    void updateTexture(uint32_t texture, int x, int y, int width, int height,
                       const uint8_t* rgba) override {
        if (!texture || width <= 0 || height <= 0 || !rgba) {
            return;
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        glBindTexture(GL_TEXTURE_2D, bound_);
    }

    void releaseTexture(uint32_t texture) override {
        if (!texture) {
            return;
        }
        GLuint name = texture;
        glDeleteTextures(1, &name);
        if (bound_ == texture) {
            bindTexture(0);
        }
    }

    uint32_t createBuffers(uint32_t formatFlags, const void* vertices, int vertexCount,
                           const uint16_t* indices, int indexCount) override {
        if (!vertices || vertexCount <= 0) {
            return 0;
        }
        int slot = -1;
        for (int i = 0; i < kMaxBuffers; ++i) {
            if (!buffers_[i].vertexBuffer) {
                slot = i;
                break;
            }
        }
        if (slot < 0) {
            return 0;
        }
        MeshBuffers& b = buffers_[slot];
        b.formatFlags = formatFlags;
        b.vertexCount = vertexCount;
        glGenBuffers(1, &b.vertexBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(vertexCount) * formatStride(formatFlags), vertices,
                     GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (indices && indexCount > 0) {
            b.indexCount = indexCount;
            glGenBuffers(1, &b.indexBuffer);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer);
            glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                         static_cast<GLsizeiptr>(indexCount) * sizeof(uint16_t), indices,
                         GL_STATIC_DRAW);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        }
        return static_cast<uint32_t>(slot + 1);
    }

    void drawBuffers(uint32_t handle, int triangleCount) override {
        if (handle == 0 || handle > kMaxBuffers || triangleCount <= 0) {
            return;
        }
        const MeshBuffers& b = buffers_[handle - 1];
        if (!b.vertexBuffer) {
            return;
        }
        glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
        bool coloured = setPointers(b.formatFlags, nullptr);
        beginColourSource(coloured);
        if (b.indexBuffer) {
            int count = triangleCount * 3 < b.indexCount ? triangleCount * 3 : b.indexCount;
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indexBuffer);
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, nullptr);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        } else {
            int count = triangleCount * 3 < b.vertexCount ? triangleCount * 3 : b.vertexCount;
            glDrawArrays(GL_TRIANGLES, 0, count);
        }
        endColourSource(coloured);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    bool updateBufferVertices(uint32_t handle, const void* vertices, int vertexCount) override {
        if (handle == 0 || handle > kMaxBuffers || !vertices || vertexCount <= 0) {
            return false;
        }
        const MeshBuffers& b = buffers_[handle - 1];
        if (!b.vertexBuffer || vertexCount > b.vertexCount) {
            return false;
        }
        glBindBuffer(GL_ARRAY_BUFFER, b.vertexBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0,
                        static_cast<GLsizeiptr>(vertexCount) * formatStride(b.formatFlags),
                        vertices);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return true;
    }

    void releaseBuffers(uint32_t handle) override {
        if (handle == 0 || handle > kMaxBuffers) {
            return;
        }
        MeshBuffers& b = buffers_[handle - 1];
        if (b.vertexBuffer) {
            glDeleteBuffers(1, &b.vertexBuffer);
        }
        if (b.indexBuffer) {
            glDeleteBuffers(1, &b.indexBuffer);
        }
        b = MeshBuffers{};
    }

    bool readPixels(int width, int height, uint8_t* rgba) override {
        if (captured_ && width == captureWidth_ && height == captureHeight_) {
            std::memcpy(rgba, capturePixels_, static_cast<size_t>(width) * height * 4);
            return true;
        }
        glReadBuffer(GL_FRONT);
        bool ok = readScene(width, height, rgba);
        glReadBuffer(GL_BACK);
        return ok;
    }

    void displayChanged() override {
        updateViewport();
        SDL_GL_SetSwapInterval(renderDevice.fullScreen && !renderDevice.verticalSync ? 0 : 1);
    }

private:
    static void toggle(GLenum cap, bool on) {
        if (on) {
            glEnable(cap);
        } else {
            glDisable(cap);
        }
    }

    uint32_t stateOf(RenderState s) const { return states_[static_cast<int>(s)]; }
    uint32_t stageOf(StageState s) const { return stages_[static_cast<int>(s)]; }

    void updateViewport() {
        SceneViewport vp = sceneViewport();
        int w = 0;
        int h = 0;
        drawableSize(&w, &h);
        viewport_[0] = vp.x;
        viewport_[1] = h - vp.y - vp.height;
        viewport_[2] = vp.width;
        viewport_[3] = vp.height;
        letterboxed_ = vp.x != 0 || vp.y != 0 || vp.width != w || vp.height != h;
        glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    }

    void loadModelView() {
        Matrix4 mv = world_ * view_;
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&mv.m[0][0]);
    }

    // Two-coordinate texture transforms take their translation from the
    // third row (coordinates extended as u, v, 1); GL reads the fourth.
    void loadTextureMatrix() {
        Matrix4 t;
        if (stageOf(StageState::TextureTransformFlags) == kTexTransformCount2) {
            for (int c = 0; c < 4; ++c) {
                t.m[0][c] = texture_.m[0][c];
                t.m[1][c] = texture_.m[1][c];
                t.m[3][c] = texture_.m[2][c];
            }
            t.m[2][0] = 0.0f;
            t.m[2][1] = 0.0f;
            t.m[2][2] = 1.0f;
            t.m[2][3] = 0.0f;
            t.m[3][2] = 0.0f;
            t.m[3][3] = 1.0f;
        }
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(&t.m[0][0]);
        glMatrixMode(GL_MODELVIEW);
    }

    void applyCull(uint32_t mode) {
        if (mode == kCullNone) {
            glDisable(GL_CULL_FACE);
            return;
        }
        glEnable(GL_CULL_FACE);
        // Culling counter-clockwise keeps screen-clockwise triangles.
        glFrontFace(mode == kCullCounterClockwise ? GL_CW : GL_CCW);
        glCullFace(GL_BACK);
    }

    void applyPointSize() {
        float size = bitsFloat(stateOf(RenderState::PointSize));
        if (stateOf(RenderState::PointScaleEnable)) {
            float att[3] = {bitsFloat(stateOf(RenderState::PointScaleA)),
                            bitsFloat(stateOf(RenderState::PointScaleB)),
                            bitsFloat(stateOf(RenderState::PointScaleC))};
            if (att[0] == 0.0f && att[1] == 0.0f && att[2] == 0.0f) {
                att[0] = 1.0f;
            }
            glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, att);
            size *= static_cast<float>(viewport_[3]);
        } else {
            float att[3] = {1.0f, 0.0f, 0.0f};
            glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, att);
        }
        glPointParameterf(GL_POINT_SIZE_MIN, bitsFloat(stateOf(RenderState::PointSizeMin)));
        glPointSize(size > 0.0f ? size : 1.0f);
    }

    void applySampler() {
        if (!bound_) {
            return;
        }
        GLint mag = stageOf(StageState::MagFilter) == kFilterLinear ? GL_LINEAR : GL_NEAREST;
        GLint min = stageOf(StageState::MinFilter) == kFilterLinear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glAddress(stageOf(StageState::AddressU)));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glAddress(stageOf(StageState::AddressV)));
    }

    // One stage of operation and arguments on the GL combiner.
    static void combine(bool alpha, uint32_t op, uint32_t arg1, uint32_t arg2) {
        GLenum modeName = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
        GLenum src0 = alpha ? GL_SRC0_ALPHA : GL_SRC0_RGB;
        GLenum src1 = alpha ? GL_SRC1_ALPHA : GL_SRC1_RGB;
        GLenum operand0 = alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB;
        GLenum operand1 = alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB;
        GLenum scaleName = alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE;
        GLint operand = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
        GLint mode = GL_MODULATE;
        GLint s0 = glSource(arg1);
        GLint s1 = glSource(arg2);
        float scale = 1.0f;
        switch (op) {
            case kTexOpDisable:
                mode = GL_REPLACE;
                s0 = GL_PRIMARY_COLOR;
                break;
            case kTexOpSelectArg1:
                mode = GL_REPLACE;
                break;
            case kTexOpSelectArg2:
                mode = GL_REPLACE;
                s0 = s1;
                break;
            case kTexOpModulate2x:
                scale = 2.0f;
                break;
            case kTexOpModulate4x:
                scale = 4.0f;
                break;
            case kTexOpAdd:
                mode = GL_ADD;
                break;
            case kTexOpAddSigned:
                mode = GL_ADD_SIGNED;
                break;
            case kTexOpSubtract:
                mode = GL_SUBTRACT;
                break;
            default:
                break;
        }
        glTexEnvi(GL_TEXTURE_ENV, modeName, mode);
        glTexEnvi(GL_TEXTURE_ENV, src0, s0);
        glTexEnvi(GL_TEXTURE_ENV, src1, s1);
        glTexEnvi(GL_TEXTURE_ENV, operand0, operand);
        glTexEnvi(GL_TEXTURE_ENV, operand1, operand);
        glTexEnvf(GL_TEXTURE_ENV, scaleName, scale);
    }

    void applyCombiner() {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        combine(false, stageOf(StageState::ColourOp), stageOf(StageState::ColourArg1),
                stageOf(StageState::ColourArg2));
        combine(true, stageOf(StageState::AlphaOp), stageOf(StageState::AlphaArg1),
                stageOf(StageState::AlphaArg2));
    }

    // Points the fixed-function arrays at vertex data (base is null for the
    // bound buffer); returns whether the vertices carry a colour.
    bool setPointers(uint32_t flags, const uint8_t* base) {
        VertexLayout l = layoutOf(flags);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, l.stride, base);
        if (l.normal >= 0) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, l.stride, base + l.normal);
        } else {
            glDisableClientState(GL_NORMAL_ARRAY);
            glNormal3f(0.0f, 0.0f, 0.0f);
        }
        if (l.diffuse >= 0) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, l.stride, base + l.diffuse);
        } else {
            glDisableClientState(GL_COLOR_ARRAY);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
        if (l.uv >= 0) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, l.stride, base + l.uv);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoord2f(0.0f, 0.0f);
        }
        return l.diffuse >= 0;
    }

    // Lit vertices with a colour take it as their diffuse material.
    void beginColourSource(bool coloured) {
        if (coloured && stateOf(RenderState::Lighting)) {
            glEnable(GL_COLOR_MATERIAL);
        }
    }

    void endColourSource(bool coloured) {
        if (coloured && stateOf(RenderState::Lighting)) {
            glDisable(GL_COLOR_MATERIAL);
            glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &material_.diffuse.r);
        }
    }

    // Reads the scene rectangle of the current read buffer, top row first,
    // resampled (nearest texel) to width x height when the scene is scaled.
    bool readScene(int width, int height, uint8_t* rgba) {
        int vw = viewport_[2];
        int vh = viewport_[3];
        if (width <= 0 || height <= 0 || vw <= 0 || vh <= 0) {
            return false;
        }
        size_t row = static_cast<size_t>(width) * 4;
        if (vw == width && vh == height) {
            glReadPixels(viewport_[0], viewport_[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                         rgba);
            for (int y = 0; y < height / 2; ++y) {
                uint8_t* a = rgba + row * y;
                uint8_t* b = rgba + row * (height - 1 - y);
                for (size_t i = 0; i < row; ++i) {
                    uint8_t t = a[i];
                    a[i] = b[i];
                    b[i] = t;
                }
            }
            return true;
        }
        std::vector<uint8_t> scene(static_cast<size_t>(vw) * vh * 4);
        glReadPixels(viewport_[0], viewport_[1], vw, vh, GL_RGBA, GL_UNSIGNED_BYTE, scene.data());
        for (int y = 0; y < height; ++y) {
            int sy = vh - 1 - static_cast<int>(static_cast<int64_t>(y) * vh / height);
            for (int x = 0; x < width; ++x) {
                int sx = static_cast<int>(static_cast<int64_t>(x) * vw / width);
                std::memcpy(rgba + row * y + static_cast<size_t>(x) * 4,
                            &scene[(static_cast<size_t>(sy) * vw + sx) * 4], 4);
            }
        }
        return true;
    }

    // Scales the scene by brightnessFactor_ with a blended full-scene quad,
    // leaving every GL state as it was.
    void drawBrightnessOverlay() {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_FOG);
        glEnable(GL_BLEND);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        float f = brightnessFactor_;
        if (f < 1.0f) {
            glBlendFunc(GL_ZERO, GL_SRC_COLOR);
            glColor4f(f, f, f, 1.0f);
        } else {
            float e = f - 1.0f > 1.0f ? 1.0f : f - 1.0f;
            glBlendFunc(GL_DST_COLOR, GL_ONE);
            glColor4f(e, e, e, 1.0f);
        }
        glBegin(GL_QUADS);
        glVertex2f(-1.0f, -1.0f);
        glVertex2f(1.0f, -1.0f);
        glVertex2f(1.0f, 1.0f);
        glVertex2f(-1.0f, 1.0f);
        glEnd();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopClientAttrib();
        glPopAttrib();
    }

    SDL_Window* window_;
    float brightnessFactor_ = 1.0f;
    // SDL's offscreen or dummy driver: its swaps wait for nothing.
    const bool finishFrames_ = offscreenVideo();
    SDL_GLContext context_;
    uint32_t states_[static_cast<int>(RenderState::Count)] = {};
    uint32_t stages_[static_cast<int>(StageState::Count)] = {};
    Matrix4 world_;
    Matrix4 view_;
    Matrix4 texture_;
    Material material_;
    Light light_;
    uint32_t bound_ = 0;
    GLint viewport_[4] = {0, 0, 800, 600};
    bool letterboxed_ = false;
    MeshBuffers buffers_[kMaxBuffers];
    bool captured_ = false;
    static constexpr int captureWidth_ = 800;
    static constexpr int captureHeight_ = 600;
    uint8_t capturePixels_[800 * 600 * 4] = {};
};

}  // namespace

RenderBackend* createGlBackend(SDL_Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0 || !contextAtLeast21()) {
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    auto* backend = new GlBackend(window, context);
    backend->displayChanged();
    return backend;
}

void destroyGlBackend(RenderBackend* backend) {
    delete backend;
}

}  // namespace corsavel
