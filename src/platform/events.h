#pragma once

#include <cstdint>

#include "platform/virtual_keys.h"

union SDL_Event;

namespace corsavel {

// The window's messages as the frame loop handles them. Buttons carry no
// position: handlers read the pointer themselves.
enum class MessageKind : uint8_t {
    None,
    Activate,    // the window gained focus or was restored
    Deactivate,  // the window lost focus or was minimised
    Size,        // the drawable size changed
    Close,       // close button, window manager, SIGTERM/SIGINT
    KeyDown,     // key holds a Windows virtual-key code (auto-repeat included)
    MouseMove,
    LeftDown,
    LeftUp,
    LeftDoubleClick,  // the second press of a double click, instead of LeftDown
    RightDown,
    RightUp,
    MiddleDown,
    MiddleUp,
};

struct GameMessage {
    MessageKind kind = MessageKind::None;
    int32_t key = 0;
};

// The virtual-key code of an SDL key code; 0 when the game has none for it.
int32_t virtualKeyFromSdl(int32_t sdlKey);

// A virtual-key code from a name such as "ESCAPE", "A", "F5" or a decimal
// code; 0 when unknown.
int32_t virtualKeyFromName(const char* name);

// Translates one SDL event into a game message; false when the event means
// nothing to the game. A second left press inside the double-click window
// (SDL counts it as clicks == 2, 4, ...) becomes LeftDoubleClick.
bool translateEvent(const SDL_Event& event, GameMessage* out);

// Takes the next game message from the window's queue; false when it is
// empty. Events the game ignores are dropped on the way.
bool pollGameMessage(GameMessage* out);

// Makes SIGTERM and SIGINT arrive as the Close message.
void installCloseSignals();

}  // namespace corsavel
