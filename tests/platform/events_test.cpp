#include "platform/events.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace corsavel {
namespace {

SDL_Event keyEvent(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    return e;
}

SDL_Event buttonEvent(bool down, uint8_t button, uint8_t clicks) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.clicks = clicks;
    return e;
}

TEST(KeyMapping, UsesWindowsVirtualKeyCodes) {
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RETURN), 13);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_SPACE), 32);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_UP), 38);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RIGHT), 39);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_BACKSPACE), 8);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_END), 35);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_HOME), 36);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DELETE), 46);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), 48);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), 57);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 65);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 90);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), 123);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_CAPSLOCK), 0);
}

TEST(KeyMapping, NamesAndCodesForScripts) {
    EXPECT_EQ(virtualKeyFromName("ESCAPE"), 27);
    EXPECT_EQ(virtualKeyFromName("escape"), 27);
    EXPECT_EQ(virtualKeyFromName("Enter"), 13);
    EXPECT_EQ(virtualKeyFromName("a"), 65);
    EXPECT_EQ(virtualKeyFromName("7"), 55);
    EXPECT_EQ(virtualKeyFromName("F5"), 116);
    EXPECT_EQ(virtualKeyFromName("32"), 32);
    EXPECT_EQ(virtualKeyFromName("NOSUCHKEY"), 0);
    EXPECT_EQ(virtualKeyFromName("999"), 0);
    EXPECT_EQ(virtualKeyFromName(""), 0);
}

TEST(EventTranslation, KeyUpAndUnknownKeysAreIgnored) {
    GameMessage m;
    SDL_Event up = keyEvent(SDLK_a);
    up.type = SDL_KEYUP;
    EXPECT_FALSE(translateEvent(up, &m));
    EXPECT_FALSE(translateEvent(keyEvent(SDLK_CAPSLOCK), &m));
    ASSERT_TRUE(translateEvent(keyEvent(SDLK_ESCAPE), &m));
    EXPECT_EQ(m.kind, MessageKind::KeyDown);
    EXPECT_EQ(m.key, 27);
}

// A double click arrives as down, up, double click, up: never a second down.
TEST(EventTranslation, DoubleClickReplacesTheSecondPress) {
    const SDL_Event sequence[] = {
        buttonEvent(true, SDL_BUTTON_LEFT, 1), buttonEvent(false, SDL_BUTTON_LEFT, 1),
        buttonEvent(true, SDL_BUTTON_LEFT, 2), buttonEvent(false, SDL_BUTTON_LEFT, 2)};
    const MessageKind expected[] = {MessageKind::LeftDown, MessageKind::LeftUp,
                                    MessageKind::LeftDoubleClick, MessageKind::LeftUp};
    for (int i = 0; i < 4; ++i) {
        GameMessage m;
        ASSERT_TRUE(translateEvent(sequence[i], &m));
        EXPECT_EQ(m.kind, expected[i]) << "message " << i;
    }
    GameMessage third;
    ASSERT_TRUE(translateEvent(buttonEvent(true, SDL_BUTTON_LEFT, 3), &third));
    EXPECT_EQ(third.kind, MessageKind::LeftDown);
}

TEST(EventTranslation, RightAndMiddleButtons) {
    GameMessage m;
    ASSERT_TRUE(translateEvent(buttonEvent(true, SDL_BUTTON_RIGHT, 2), &m));
    EXPECT_EQ(m.kind, MessageKind::RightDown);
    ASSERT_TRUE(translateEvent(buttonEvent(false, SDL_BUTTON_RIGHT, 1), &m));
    EXPECT_EQ(m.kind, MessageKind::RightUp);
    ASSERT_TRUE(translateEvent(buttonEvent(true, SDL_BUTTON_MIDDLE, 1), &m));
    EXPECT_EQ(m.kind, MessageKind::MiddleDown);
    EXPECT_FALSE(translateEvent(buttonEvent(true, SDL_BUTTON_X1, 1), &m));
}

TEST(EventTranslation, WindowStateMessages) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    GameMessage m;
    const std::pair<uint8_t, MessageKind> cases[] = {
        {SDL_WINDOWEVENT_FOCUS_GAINED, MessageKind::Activate},
        {SDL_WINDOWEVENT_RESTORED, MessageKind::Activate},
        {SDL_WINDOWEVENT_FOCUS_LOST, MessageKind::Deactivate},
        {SDL_WINDOWEVENT_MINIMIZED, MessageKind::Deactivate},
        {SDL_WINDOWEVENT_CLOSE, MessageKind::Close},
        {SDL_WINDOWEVENT_SIZE_CHANGED, MessageKind::Size},
    };
    for (const auto& [event, kind] : cases) {
        e.window.event = event;
        ASSERT_TRUE(translateEvent(e, &m));
        EXPECT_EQ(m.kind, kind);
    }
    e.type = SDL_QUIT;
    ASSERT_TRUE(translateEvent(e, &m));
    EXPECT_EQ(m.kind, MessageKind::Close);
}

}  // namespace
}  // namespace corsavel
