// The island map as the menu screen's backdrop: picture, zone flags, level
// marks, the selected level's miniature and the profile's texts. Drawing
// reads mapState and the profile; it changes nothing.

#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "game/rules.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/primitives.h"
#include "platform/render_device.h"
#include "resources/text_table.h"
#include "ui/map.h"

namespace corsavel {

namespace {

// The 800x600 picture sits in the top-left of a 1024x1024 texture.
constexpr float kPictureU = 0.78125f;
constexpr float kPictureV = 0.5859375f;
constexpr float kFlagSize = 28.0f;
// A miniature tile's edge at scale 1; at the map's 0.2 it leaves a thin
// gap between tiles 10 units apart.
constexpr float kPreviewTileEdge = 46.2f;

void drawMapPicture() {
    if (mapState.mapImage == nullptr) {
        return;
    }
    // Point filtering keeps the full-screen picture sharp.
    disableFeature(7);
    bindTexture(mapState.mapImage);
    drawScreenImage(0.0f, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, kPictureU, kPictureV,
                    makeColour(255, 255, 255, 255));
    enableFeature(7);
}

void drawZoneFlags(const MapView& view) {
    if (mapState.flagImage == nullptr) {
        return;
    }
    bindTexture(mapState.flagImage);
    for (int i = 0; i < kZoneFlagCount; ++i) {
        const Vec2 p = mapState.zoneFlagPoints[i];
        drawSprite(p.x, p.y, kFlagSize, kFlagSize, UvRect{},
                   makeColour(zoneFlagAlpha(view, i), 255, 255, 255), 0.0f);
    }
}

void drawLevelMarks(const MapView& view) {
    if (mapState.levelMarkImage == nullptr) {
        return;
    }
    bindTexture(mapState.levelMarkImage);
    for (int i = 0; i < kLevelMarkCount; ++i) {
        const Vec2 p = mapState.levelMarkPoints[i];
        const float size = levelMarkSize(view, i);
        drawSprite(p.x, p.y, size, size, UvRect{}, levelMarkColour(view, i), 0.0f);
    }
}

void drawMapTexts(const MapView& view, const Profile& profile) {
    char line[96];
    setTextColour(255, 255, 255, 255);
    std::snprintf(line, sizeof line, "level: %i", view.selected + 1);
    drawTextCentred(320.0f, 150.0f, 12.0f, line);
    const char* mode = findText(view.mode == 1 ? "mode2" : "mode1");
    std::snprintf(line, sizeof line, "Mode: %s", mode != nullptr ? mode : "");
    drawText(-345.0f, 260.0f, 11.0f, line, false);
    char name[kProfileNameSize + 1] = {};
    std::memcpy(name, profile.name, kProfileNameSize);
    std::snprintf(line, sizeof line, "Name: %s", name);
    drawText(-345.0f, 240.0f, 11.0f, line, false);
    std::snprintf(line, sizeof line, "Score: %i", view.score);
    drawText(-345.0f, 220.0f, 11.0f, line, false);
}

}  // namespace

void drawLevelPreview(int32_t level, Vec2 position, float scale) {
    if (level < 0 || level >= kLevelMarkCount || !mapState.previews[level].valid) {
        return;
    }
    const LevelPreview& preview = mapState.previews[level];
    const float edge = scale * kPreviewTileEdge;
    for (int layer = 0; layer < 3; ++layer) {
        if (mapState.tileImages[layer] == nullptr) {
            continue;
        }
        bindTexture(mapState.tileImages[layer]);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                if (preview.layers[r][c] != layer) {
                    continue;
                }
                const Vec2 centre = cellCentre(c, r);
                drawSprite(centre.x * scale + position.x + 10.0f, centre.y * scale + position.y,
                           edge, edge, UvRect{}, makeColour(255, 255, 255, 255), 0.0f);
            }
        }
    }
}

void drawMap(float menuTimerMs) {
    const Profile& profile = activeProfile();
    const MapView view =
        makeMapView(profile, session.gameMode, mapState.selectedLevel, menuTimerMs);
    setBlendMode(0);
    drawMapPicture();
    drawZoneFlags(view);
    drawLevelMarks(view);
    drawLevelPreview(view.selected, kPreviewPosition, kPreviewScale);
    drawMapTexts(view, profile);
}

}  // namespace corsavel
