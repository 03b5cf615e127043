#include "game/game_requests.h"

#include <cstdio>

namespace corsavel {

GameRequestQueue gameRequests;

void postRequest(const GameRequest& request) {
    GameRequestQueue& q = gameRequests;
    if (q.count == kGameRequestCapacity) {
        q.first = (q.first + 1) % kGameRequestCapacity;
        q.count -= 1;
        q.dropped += 1;
    }
    q.ring[(q.first + q.count) % kGameRequestCapacity] = request;
    q.count += 1;
}

bool takeRequest(GameRequest* out) {
    GameRequestQueue& q = gameRequests;
    if (q.count == 0) {
        return false;
    }
    *out = q.ring[q.first];
    q.first = (q.first + 1) % kGameRequestCapacity;
    q.count -= 1;
    return true;
}

void clearRequests() {
    gameRequests = GameRequestQueue{};
}

void requestPage(const char* page) {
    GameRequest r;
    r.kind = GameRequestKind::OpenPage;
    std::snprintf(r.text, sizeof r.text, "%s", page != nullptr ? page : "");
    postRequest(r);
}

void requestNumber(GameRequestKind kind, int32_t number) {
    GameRequest r;
    r.kind = kind;
    r.number = number;
    postRequest(r);
}

void requestTint(GameRequestKind kind, float r, float g, float b, float a) {
    GameRequest q;
    q.kind = kind;
    q.value[0] = r;
    q.value[1] = g;
    q.value[2] = b;
    q.value[3] = a;
    postRequest(q);
}

void requestPlain(GameRequestKind kind) {
    GameRequest r;
    r.kind = kind;
    postRequest(r);
}

}  // namespace corsavel
