#include "app/screen.h"

namespace corsavel {

ScreenState screens;
IntroScreen introScreen;
MenuScreen menuScreen;
GameScreen gameScreen;

void requestScreen(Screen* next) {
    screens.nextScreen = next;
    screens.switchPending = true;
}

void applyScreenSwitch() {
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

void setMenuBackdrop(int32_t kind) {
    screens.menuBackdrop = kind;
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

void resetScreens() {
    screens = ScreenState{};
    intro = IntroState{};
    introScreen.lastKey = 0;
    menuScreen.lastKey = 0;
    menuScreen.menuTimerMs = 0.0f;
    gameScreen.lastKey = 0;
}

}  // namespace corsavel
