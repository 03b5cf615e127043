#pragma once

#include <cstdint>

namespace corsavel {

// What the gameplay asks of the layers above it. The gameplay never calls
// the menus, the profile table, the backgrounds or the app: it posts a
// request, and the app takes them all after the gameplay's update, in the
// order they were posted. Tests, the bot and the harness read the same queue.
enum class GameRequestKind : uint8_t {
    OpenPage,           // text: "gameplay", "levelcomplete", "hiscore", "defeat"
    RecordLevelResult,  // number: score shown, value[0]: elapsed ms
    RecordGameOver,     // a lost game: the final score enters the hiscores
    SaveTables,         // profiles, records, hiscores and settings to disk
    SetTintNow,         // value[0..3]: r, g, b, a of the background tint, at once
    SetTintTarget,      // value[0..3]: r, g, b, a the tint eases toward
    LoadBackground,     // number: background shown at once
    QueueBackground,    // number: background the next stage cross-fades to
    ShowGameComplete,   // the last level is won: load the closing picture
    NextLevel,          // start session.currentLevel of the game in progress
    ReturnToMenus,      // the game is over or left; back to the menus
};

constexpr int kPageNameSize = 16;

struct GameRequest {
    GameRequestKind kind = GameRequestKind::OpenPage;
    int32_t number = 0;
    float value[4] = {};
    char text[kPageNameSize] = {};
};

// A ring of requests. A full ring overwrites its oldest request and counts
// it as dropped: the app drains the ring every frame and a frame posts a
// handful at most, so only a caller that never drains it (the bot) drops.
constexpr int kGameRequestCapacity = 32;

struct GameRequestQueue {
    GameRequest ring[kGameRequestCapacity];
    int32_t first = 0;  // index of the oldest request
    int32_t count = 0;
    int32_t dropped = 0;
};

extern GameRequestQueue gameRequests;

void postRequest(const GameRequest& request);
// The oldest request, removed from the queue; false when it is empty.
bool takeRequest(GameRequest* out);
void clearRequests();

// Shorthands of the gameplay.
void requestPage(const char* page);
void requestNumber(GameRequestKind kind, int32_t number);
void requestTint(GameRequestKind kind, float r, float g, float b, float a);
void requestPlain(GameRequestKind kind);

}  // namespace corsavel
