#include "app/screen.h"

namespace corsavel {

ScreenState screens;
IntroScreen introScreen;
MenuScreen menuScreen;
GameScreen gameScreen;

void requestScreen(Screen* next) {
    screens.nextScreen = next;
    screens.switchPending = true;
    app.screenRequest = -1;
}

void applyScreenSwitch() {
    if (app.screenRequest >= 0) {
        Screen* asked = screenById(static_cast<ScreenId>(app.screenRequest));
        app.screenRequest = -1;
        if (asked != nullptr) {
            requestScreen(asked);
        }
    }
    if (!screens.switchPending) {
        return;
    }
    if (screens.currentScreen != nullptr) {
        screens.currentScreen->onLeave();
    }
    if (screens.nextScreen != nullptr) {
        screens.nextScreen->onEnter();
    }
    screens.currentScreen = screens.nextScreen;
    screens.switchPending = false;
}

Screen* currentScreen() {
    return screens.currentScreen;
}

void setCurrentScreen(Screen* screen) {
    screens.currentScreen = screen;
}

const char* screenName(const Screen* screen) {
    if (screen == &introScreen) {
        return "intro";
    }
    if (screen == &menuScreen) {
        return "menu";
    }
    if (screen == &gameScreen) {
        return "game";
    }
    return screen == nullptr ? "none" : "other";
}

Screen* screenById(ScreenId id) {
    switch (id) {
        case ScreenId::Intro:
            return &introScreen;
        case ScreenId::Menu:
            return &menuScreen;
        case ScreenId::Game:
            return &gameScreen;
    }
    return nullptr;
}

void resetScreens() {
    screens = ScreenState{};
    app.menuBackdrop = 0;
    app.screenRequest = -1;
    intro = IntroState{};
    introScreen.lastKey = 0;
    menuScreen.lastKey = 0;
    menuScreen.menuTimerMs = 0.0f;
    gameScreen.lastKey = 0;
}

}  // namespace corsavel
