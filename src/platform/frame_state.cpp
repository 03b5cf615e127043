#include "platform/frame_state.h"

namespace corsavel {

AppState app;

namespace {

ScreenRequestHandler screenRequestHandler = nullptr;

}  // namespace

void requestScreen(ScreenId id) {
    if (screenRequestHandler != nullptr) {
        screenRequestHandler(id);
    }
}

void setScreenRequestHandler(ScreenRequestHandler handler) {
    screenRequestHandler = handler;
}

void setMenuBackdrop(int32_t kind) {
    app.menuBackdrop = kind;
}

}  // namespace corsavel
