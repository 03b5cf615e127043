#include "platform/events.h"

#include <SDL.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/window.h"

namespace corsavel {

namespace {

volatile std::sig_atomic_t closeSignalled = 0;

void onCloseSignal(int) {
    closeSignalled = 1;
}

struct KeyName {
    const char* name;
    int32_t code;
};

constexpr KeyName kKeyNames[] = {
    {"BACKSPACE", vk::kBackspace},
    {"BACK", vk::kBackspace},
    {"TAB", vk::kTab},
    {"ENTER", vk::kEnter},
    {"RETURN", vk::kEnter},
    {"SHIFT", vk::kShift},
    {"CONTROL", vk::kControl},
    {"CTRL", vk::kControl},
    {"ALT", vk::kAlt},
    {"PAUSE", vk::kPause},
    {"ESCAPE", vk::kEscape},
    {"ESC", vk::kEscape},
    {"SPACE", vk::kSpace},
    {"PAGEUP", vk::kPageUp},
    {"PAGEDOWN", vk::kPageDown},
    {"END", vk::kEnd},
    {"HOME", vk::kHome},
    {"LEFT", vk::kLeft},
    {"UP", vk::kUp},
    {"RIGHT", vk::kRight},
    {"DOWN", vk::kDown},
    {"INSERT", vk::kInsert},
    {"DELETE", vk::kDelete},
    {"DEL", vk::kDelete},
};

bool sameName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char ca = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
        if (ca != *b) {
            return false;
        }
    }
    return *a == '\0' && *b == '\0';
}

bool translateWindowEvent(const SDL_WindowEvent& window, GameMessage* out) {
    switch (window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
            out->kind = MessageKind::Activate;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            out->kind = MessageKind::Deactivate;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out->kind = MessageKind::Size;
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            out->kind = MessageKind::Close;
            return true;
        default:
            return false;
    }
}

bool translateButton(const SDL_MouseButtonEvent& button, bool down, GameMessage* out) {
    switch (button.button) {
        case SDL_BUTTON_LEFT:
            if (!down) {
                out->kind = MessageKind::LeftUp;
            } else if (button.clicks >= 2 && button.clicks % 2 == 0) {
                out->kind = MessageKind::LeftDoubleClick;
            } else {
                out->kind = MessageKind::LeftDown;
            }
            return true;
        case SDL_BUTTON_RIGHT:
            // Quick second right presses stay plain presses: dropping them
            // would lose the player's click.
            out->kind = down ? MessageKind::RightDown : MessageKind::RightUp;
            return true;
        case SDL_BUTTON_MIDDLE:
            out->kind = down ? MessageKind::MiddleDown : MessageKind::MiddleUp;
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t virtualKeyFromSdl(int32_t sdlKey) {
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) {
        return 48 + (sdlKey - SDLK_0);
    }
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) {
        return 65 + (sdlKey - SDLK_a);
    }
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) {
        return vk::kF1 + (sdlKey - SDLK_F1);
    }
    if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9) {
        return 97 + (sdlKey - SDLK_KP_1);
    }
    switch (sdlKey) {
        case SDLK_BACKSPACE:
            return vk::kBackspace;
        case SDLK_TAB:
            return vk::kTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return vk::kEnter;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return vk::kShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return vk::kControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return vk::kAlt;
        case SDLK_PAUSE:
            return vk::kPause;
        case SDLK_ESCAPE:
            return vk::kEscape;
        case SDLK_SPACE:
            return vk::kSpace;
        case SDLK_PAGEUP:
            return vk::kPageUp;
        case SDLK_PAGEDOWN:
            return vk::kPageDown;
        case SDLK_END:
            return vk::kEnd;
        case SDLK_HOME:
            return vk::kHome;
        case SDLK_LEFT:
            return vk::kLeft;
        case SDLK_UP:
            return vk::kUp;
        case SDLK_RIGHT:
            return vk::kRight;
        case SDLK_DOWN:
            return vk::kDown;
        case SDLK_INSERT:
            return vk::kInsert;
        case SDLK_DELETE:
            return vk::kDelete;
        case SDLK_KP_0:
            return 96;
        default:
            return 0;
    }
}

int32_t virtualKeyFromName(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    if (name[1] == '\0') {
        char c = name[0];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return c;
        }
    }
    if ((name[0] == 'F' || name[0] == 'f') && name[1] >= '1' && name[1] <= '9') {
        char* end = nullptr;
        long n = std::strtol(name + 1, &end, 10);
        if (*end == '\0' && n >= 1 && n <= 24) {
            return vk::kF1 + static_cast<int32_t>(n) - 1;
        }
    }
    if (name[0] >= '0' && name[0] <= '9') {
        char* end = nullptr;
        long n = std::strtol(name, &end, 10);
        if (*end == '\0' && n > 0 && n < 256) {
            return static_cast<int32_t>(n);
        }
        return 0;
    }
    for (const KeyName& key : kKeyNames) {
        if (sameName(name, key.name)) {
            return key.code;
        }
    }
    return 0;
}

bool translateEvent(const SDL_Event& event, GameMessage* out) {
    *out = GameMessage{};
    switch (event.type) {
        case SDL_QUIT:
            out->kind = MessageKind::Close;
            return true;
        case SDL_WINDOWEVENT:
            return translateWindowEvent(event.window, out);
        case SDL_KEYDOWN:
            out->key = virtualKeyFromSdl(event.key.keysym.sym);
            if (out->key == 0) {
                return false;
            }
            out->kind = MessageKind::KeyDown;
            return true;
        case SDL_MOUSEMOTION:
            out->kind = MessageKind::MouseMove;
            return true;
        case SDL_MOUSEBUTTONDOWN:
            return translateButton(event.button, true, out);
        case SDL_MOUSEBUTTONUP:
            return translateButton(event.button, false, out);
        default:
            return false;
    }
}

bool pollGameMessage(GameMessage* out) {
    if (closeSignalled != 0) {
        closeSignalled = 0;
        *out = GameMessage{MessageKind::Close, 0};
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        // Only a close from the start-up picture's window counts: its focus
        // going to the game window must not pause the game.
        if (startupWindowEvent(event) && event.window.event != SDL_WINDOWEVENT_CLOSE) {
            continue;
        }
        if (translateEvent(event, out)) {
            // Focus arriving while minimised leaves the game paused.
            if (out->kind == MessageKind::Activate && gameWindowMinimised()) {
                out->kind = MessageKind::Deactivate;
            }
            // The projection and the pointer follow the size the window
            // system reports, not the one SDL's event carries.
            if (out->kind == MessageKind::Size) {
                refreshDrawableSize();
            }
            return true;
        }
    }
    return false;
}

void installCloseSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace corsavel
