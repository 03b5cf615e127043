#include "platform/frame_state.h"

namespace corsavel {

AppState app;

void requestScreen(ScreenId id) {
    app.screenRequest = static_cast<int32_t>(id);
}

void setMenuBackdrop(int32_t kind) {
    app.menuBackdrop = kind;
}

}  // namespace corsavel
