#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/window.h"

namespace corsavel {

void showMessageBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    // Headless runs (tests, CI) have no display to show a box on.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 ||
                                                SDL_strcmp(driver, "dummy") == 0);
    if (headless || SDL_getenv("CORSAVEL_NO_MESSAGE_BOX") != nullptr) {
        return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, gameWindow());
}

void fatalMessage(const char* text, const char* caption, int exitCode) {
    showMessageBox(text, caption);
    std::_Exit(exitCode);
}

}  // namespace corsavel
