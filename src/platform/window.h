#pragma once

#include <cstdint>

struct SDL_Window;
union SDL_Event;

namespace corsavel {

// The game's one window: titled "Corsavel", an 800x600 client area that is
// not resizable when windowed (a whole multiple of it on a large desktop,
// see windowScaleForDesktop, with the scene scaled to fill it); desktop full screen otherwise, with
// the 800x600 scene scaled uniformly and centred between black bars. The window is created with the
// OpenGL 2.1 compatibility attributes set; the render device creates the GL context on it.
bool createGameWindow(bool fullScreen);
void destroyGameWindow();
SDL_Window* gameWindow();

// The first picture before the GL driver has loaded (a tenth of a second and
// more with a software rasteriser): on X11, a plain window of the game
// window's size and place shows the 800x600 scene (RGBA rows of `pitch`
// bytes) as the first GL frame will, and the game window made after it
// stays hidden until showGameWindow. False, with nothing left open, on other
// video drivers or when the picture cannot be put on screen.
bool showStartupPicture(bool fullScreen, const uint8_t* rgba, int width, int height, int pitch);
// Closes the start-up picture's window (after the game window's first
// frame is up).
void closeStartupPicture();
// The start-up picture's window while it is open, else null.
SDL_Window* startupPictureWindow();
// A window event of the start-up picture's window (focus, size, exposure):
// not the game window's, so not the game's business.
bool startupWindowEvent(const SDL_Event& event);

// Switches between windowed and full screen (display reset).
void setGameWindowFullScreen(bool fullScreen);
bool gameWindowFullScreen();

// How many times 800x600 the windowed client area is: the largest whole
// multiple that fits the usable area (the desktop less its panels) when the
// desktop is at least twice 800x600 both ways, else 1. Sizes in the window
// system's coordinates; zero or negative sizes give 1.
int windowScaleForDesktop(int desktopWidth, int desktopHeight, int usableWidth, int usableHeight);
// The windowed client area's size in window coordinates (800x600 times the
// scale taken when the window was made). The drawable may hold more pixels
// on a high-density display.
void windowedClientSize(int* width, int* height);

// Where the 800x600 scene lies in the window's drawable pixels, top-left
// origin: the whole client area when windowed, the letterboxed rectangle in
// full screen.
struct SceneViewport {
    int x = 0;
    int y = 0;
    int width = 800;
    int height = 600;
};
SceneViewport sceneViewport();
// The letterbox rule on its own: the largest 4:3 rectangle centred in a
// drawable area of width x height pixels.
SceneViewport fitSceneViewport(int width, int height);
// Size of the window's drawable area in pixels as the window system last
// reported it (never the size that was asked for).
void drawableSize(int* width, int* height);
// Asks the window system for the drawable's size again: at every size
// message, after a full-screen switch and after each present.
void refreshDrawableSize();
// The pointer in the drawable's pixels, top-left origin, read from the
// window system at the moment of the call; false without a window.
bool pointerInDrawable(int* x, int* y);

// True while the window is minimised.
bool gameWindowMinimised();

// Presents the back buffer.
void swapGameWindow();

// Outside a desktop session (no session bus address in the environment and
// no bus socket in the runtime folder) SDL's start would have the D-Bus
// library launch a bus for it (a fork and a search of PATH, at every start,
// tens of milliseconds): the game asks for none and runs without the bus's
// services (screen saver inhibition falls back to X11's own), as it would
// with a bus that does not offer them. Call before any thread starts.
void keepSessionBusUnlaunched();
// Starts SDL's video (and events) once; false when no video driver works.
bool initVideo();
// Ends SDL at shutdown.
void quitVideo();
// False when SDL fell back to its offscreen driver on its own (no display and
// no SDL_VIDEODRIVER asked for): the game then has nothing to show on.
bool displayAvailable();
// True on SDL's offscreen or dummy video driver, whose swaps show nothing.
bool offscreenVideo();
// True when presenting waits for the display (a swap interval the driver
// accepted); otherwise the loop limits its own rate.
bool vsyncActive();
// The refresh rate of the window's display in Hz (60 when unknown).
int displayRefreshRate();
// Maps the window if it is hidden and brings it to the front with the
// input focus.
void raiseGameWindow();

}  // namespace corsavel
