#include "platform/draw_profile.h"

#define GL_GLEXT_PROTOTYPES 1
#include <SDL_opengl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace corsavel {

namespace {

double nowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

DrawProfile::~DrawProfile() {
    if (query_ != 0) {
        GLuint q = query_;
        glDeleteQueries(1, &q);
    }
}

void DrawProfile::begin() {
    if (query_ == 0) {
        GLuint q = 0;
        glGenQueries(1, &q);
        query_ = q;
    }
    glFinish();
    glBeginQuery(GL_SAMPLES_PASSED, query_);
    startSeconds_ = nowSeconds();
}

void DrawProfile::end(Kind kind, int vertices) {
    glFinish();
    const double seconds = nowSeconds() - startSeconds_;
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint pixels = 0;
    glGetQueryObjectuiv(query_, GL_QUERY_RESULT, &pixels);
    const uint32_t key[kKeySize] = {
        static_cast<uint32_t>(kind),          texture_,
        state(RenderState::AlphaBlendEnable), state(RenderState::SrcBlend),
        state(RenderState::DestBlend),        state(RenderState::AlphaTestEnable),
        state(RenderState::ZEnable),          state(RenderState::ZWriteEnable),
        state(RenderState::Lighting),         stages_[static_cast<int>(StageState::MagFilter)]};
    auto row = std::find_if(rows_.begin(), rows_.end(),
                            [&](const Row& r) { return std::memcmp(r.key, key, sizeof key) == 0; });
    if (row == rows_.end()) {
        rows_.push_back(Row{});
        row = rows_.end() - 1;
        std::memcpy(row->key, key, sizeof key);
    }
    row->seconds += seconds;
    row->count += 1.0;
    row->vertices += vertices;
    row->pixels += pixels;
}

void DrawProfile::report() const {
    if (frames_ == 0) {
        return;
    }
    std::vector<Row> rows = rows_;
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.seconds > b.seconds; });
    double total = 0.0;
    for (const Row& r : rows) {
        total += r.seconds;
    }
    const double f = static_cast<double>(frames_);
    std::fprintf(stderr, "draws timed alone over %d frames: %.2f ms a frame\n", frames_,
                 total * 1e3 / f);
    std::fprintf(stderr,
                 "   ms/frame draws/frame vertices    pixels  kind  texture blend(src,dst) "
                 "alphatest depth(test,write) lit filter\n");
    static const char* const kKinds[] = {"draw", "mesh", "clear"};
    for (const Row& r : rows) {
        const uint32_t* k = r.key;
        std::fprintf(stderr, "%11.3f %11.1f %8.0f %9.0f  %-5s %7u %u(%u,%u) %9u %u,%u %13u %6s\n",
                     r.seconds * 1e3 / f, r.count / f, r.vertices / f, r.pixels / f, kKinds[k[0]],
                     k[1], k[2], k[3], k[4], k[5], k[6], k[7], k[8],
                     k[9] == kFilterLinear ? "linear" : "point");
    }
}

}  // namespace corsavel
