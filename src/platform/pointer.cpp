#include "platform/pointer.h"

#include <SDL.h>

#include <initializer_list>

namespace corsavel {

PointerState pointer;

namespace {

struct CursorSet {
    SDL_Cursor* arrow = nullptr;
    SDL_Cursor* help = nullptr;
    SDL_Cursor* hidden = nullptr;
};

CursorSet cursors;

// A 16x22 question mark: '#' black outline, '.' white fill, hot spot at the
// top left like the system help cursors.
constexpr int kHelpWidth = 16;
constexpr int kHelpHeight = 22;
constexpr const char* kHelpImage[kHelpHeight] = {
    "##              ", "#.#             ", "#..#            ", "#...#           ",
    "#....#  ######  ", "#.....##......# ", "#......#.####.# ", "#.......##  #.# ",
    "#........# #..# ", "#.....#####..#  ", "#..#..#  #..#   ", "#.# #..# #.#    ",
    "##  #..# ###    ", "#    #..##.#    ", "     #..##.#    ", "      ## ###    ",
    "        #.#     ", "        ###     ", "                ", "                ",
    "                ", "                ",
};

SDL_Cursor* makeHelpCursor() {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, kHelpWidth, kHelpHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        return nullptr;
    }
    SDL_LockSurface(surface);
    for (int y = 0; y < kHelpHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                y * surface->pitch);
        for (int x = 0; x < kHelpWidth; ++x) {
            char c = kHelpImage[y][x];
            row[x] = c == '#' ? 0xFF000000u : c == '.' ? 0xFFFFFFFFu : 0x00000000u;
        }
    }
    SDL_UnlockSurface(surface);
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, 0, 0);
    SDL_FreeSurface(surface);
    return cursor;
}

SDL_Cursor* makeHiddenCursor() {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        return nullptr;
    }
    SDL_FillRect(surface, nullptr, 0);
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, 0, 0);
    SDL_FreeSurface(surface);
    return cursor;
}

bool videoReady() {
    return (SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) != 0;
}

void showArrow() {
    if (cursors.arrow == nullptr) {
        cursors.arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
    if (cursors.arrow != nullptr) {
        SDL_SetCursor(cursors.arrow);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

// An invisible cursor where the system allows one, else no cursor at all.
void showNothing() {
    if (cursors.hidden == nullptr) {
        cursors.hidden = makeHiddenCursor();
    }
    if (cursors.hidden != nullptr) {
        SDL_SetCursor(cursors.hidden);
    }
    SDL_ShowCursor(SDL_DISABLE);
}

void showHelp() {
    if (cursors.help == nullptr) {
        cursors.help = makeHelpCursor();
    }
    if (cursors.help == nullptr) {
        showArrow();
        return;
    }
    SDL_SetCursor(cursors.help);
    SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace

void windowToScene(int windowX, int windowY, const SceneViewport& viewport, float* x, float* y) {
    float width = viewport.width > 0 ? static_cast<float>(viewport.width) : 800.0f;
    float height = viewport.height > 0 ? static_cast<float>(viewport.height) : 600.0f;
    float px = static_cast<float>(windowX - viewport.x);
    float py = static_cast<float>(windowY - viewport.y);
    *x = px * 800.0f / width - 400.0f;
    *y = 300.0f - py * 600.0f / height;
}

void pointerPosition(float* x, float* y) {
    if (pointer.overridden) {
        *x = pointer.overrideX;
        *y = pointer.overrideY;
        return;
    }
    int px = 0;
    int py = 0;
    if (!pointerInDrawable(&px, &py)) {
        *x = 0.0f;
        *y = 0.0f;
        return;
    }
    windowToScene(px, py, sceneViewport(), x, y);
}

void setPointerKind(int32_t kind) {
    pointer.pointerKind = kind;
    if (pointer.customCursor || !videoReady()) {
        return;
    }
    switch (kind) {
        case 0:
            showArrow();
            break;
        case 1:
            showNothing();
            break;
        case 2:
            showHelp();
            break;
        default:
            SDL_ShowCursor(SDL_DISABLE);
            break;
    }
}

int32_t pointerKind() {
    return pointer.pointerKind;
}

void applyCursorOption(bool systemCursor) {
    if (!videoReady()) {
        return;
    }
    if (systemCursor) {
        showArrow();
    } else {
        showNothing();
    }
}

bool customCursor() {
    return pointer.customCursor;
}

void setCustomCursor(bool on) {
    pointer.customCursor = on;
}

void overridePointer(float x, float y) {
    pointer.overridden = true;
    pointer.overrideX = x;
    pointer.overrideY = y;
}

void clearPointerOverride() {
    pointer.overridden = false;
}

void releaseCursors() {
    if (videoReady()) {
        SDL_ShowCursor(SDL_ENABLE);
    }
    for (SDL_Cursor** cursor : {&cursors.arrow, &cursors.help, &cursors.hidden}) {
        if (*cursor != nullptr) {
            SDL_FreeCursor(*cursor);
            *cursor = nullptr;
        }
    }
}

}  // namespace corsavel
