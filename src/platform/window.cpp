#include "platform/window.h"

#include <SDL.h>
#include <png.h>
#include <sys/stat.h>

#if CORSAVEL_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace corsavel {

namespace {

constexpr int kSceneWidth = 800;
constexpr int kSceneHeight = 600;

struct WindowState {
    SDL_Window* window = nullptr;
    bool fullScreen = false;
    // The windowed client area: 800x600 times the desktop's scale.
    int windowedWidth = kSceneWidth;
    int windowedHeight = kSceneHeight;
    // The drawable's size as the window system last reported it.
    int drawableWidth = kSceneWidth;
    int drawableHeight = kSceneHeight;
#if CORSAVEL_HAVE_X11
    Display* x11Display = nullptr;
    ::Window x11Window = 0;
#endif
};

WindowState windowState;

// The plain window that shows the first splash while the GL driver loads.
SDL_Window* startupWindow = nullptr;

#if CORSAVEL_HAVE_X11
// Xlib's own handler ends the process on any X error. A GL driver that is
// missing on the client side makes the server refuse the GL context with
// one, and the game must still tell the player why it cannot start: the
// error is reported and the failed call returns as a failure.
int reportXError(Display* display, XErrorEvent* error) {
    char text[128] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "corsavel: X error: %s (request %d.%d)\n", text, error->request_code,
                 error->minor_code);
    return 0;
}

// An EWMH window manager names its check window on the root window, and
// the check window names itself (a stale name from a manager that has
// exited does not).
bool windowManagerRunning(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    auto checkWindow = [&](::Window window, ::Window* named) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type,
                                              &format, &count, &after, &data) == Success &&
                           type == XA_WINDOW && format == 32 && count == 1 && data != nullptr;
        if (found) {
            *named = *reinterpret_cast<::Window*>(data);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return found;
    };
    ::Window named = 0;
    ::Window self = 0;
    return checkWindow(DefaultRootWindow(display), &named) && named != 0 &&
           checkWindow(named, &self) && self == named;
}

// Full screen on X11 is the window manager's to grant. With none running
// SDL would wait 100 ms for it at the window's creation, and the window
// stays as made: it is then made as it will be shown.
bool fullScreenCanBeGranted() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) {
        return true;
    }
    // Asked once a run: the start-up picture's window and the game's
    // window are made the same way.
    static int granted = -1;
    if (granted < 0) {
        Display* display = XOpenDisplay(nullptr);
        granted = display == nullptr || windowManagerRunning(display) ? 1 : 0;
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }
    return granted == 1;
}

void findX11Window() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    windowState.x11Display = nullptr;
    windowState.x11Window = 0;
    if (SDL_GetWindowWMInfo(windowState.window, &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11) {
        windowState.x11Display = info.info.x11.display;
        windowState.x11Window = info.info.x11.window;
    }
}
#else
bool fullScreenCanBeGranted() {
    return true;
}
#endif

// The window's size in pixels from the window system itself. SDL takes a
// full-screen size as granted the moment it asks for it; with no window
// manager to grant it the X window keeps its 800x600, and SDL's sizes (and
// its size events) go on reporting the display's size.
bool windowSystemSize(int* width, int* height) {
#if CORSAVEL_HAVE_X11
    if (windowState.x11Display != nullptr) {
        ::Window root = 0;
        int x = 0;
        int y = 0;
        unsigned int w = 0;
        unsigned int h = 0;
        unsigned int border = 0;
        unsigned int depth = 0;
        if (XGetGeometry(windowState.x11Display, windowState.x11Window, &root, &x, &y, &w, &h,
                         &border, &depth) != 0 &&
            w > 0 && h > 0) {
            *width = static_cast<int>(w);
            *height = static_cast<int>(h);
            return true;
        }
    }
#endif
    SDL_GL_GetDrawableSize(windowState.window, width, height);
    if (*width <= 0 || *height <= 0) {
        SDL_GetWindowSize(windowState.window, width, height);
    }
    return *width > 0 && *height > 0;
}

// The GL attributes must be in place before the window exists: the render
// device asks SDL for a context on this window later.
void setGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
}

// The desktop icon the forge drew, from the Data folder (the working
// directory while the window is made); false when it is missing, not a PNG
// or not the expected square.
bool setForgedWindowIcon(SDL_Window* window) {
    constexpr int kSize = 64;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, "icons/hicolor/64x64/apps/corsavel.png") == 0) {
        return false;
    }
    if (image.width != kSize || image.height != kSize) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> pixels(static_cast<size_t>(kSize) * kSize * 4);
    if (png_image_finish_read(&image, nullptr, pixels.data(), kSize * 4, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    // BGRA bytes are ARGB8888 words on a little-endian machine; the format
    // name SDL_PIXELFORMAT_BGRA32 means exactly those bytes everywhere.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kSize, kSize, 32,
                                                           kSize * 4, SDL_PIXELFORMAT_BGRA32);
    if (icon == nullptr) {
        return false;
    }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    return true;
}

// The window's icon: the forged desktop icon, else a faceted blue gem on a
// transparent 32x32 square.
void setWindowIcon(SDL_Window* window) {
    if (setForgedWindowIcon(window)) {
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) {
        return;
    }
    SDL_LockSurface(icon);
    for (int y = 0; y < 32; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(icon->pixels) + y * icon->pitch);
        for (int x = 0; x < 32; ++x) {
            int dx = x < 16 ? 15 - x : x - 16;
            int dy = y < 16 ? 15 - y : y - 16;
            uint32_t pixel = 0;
            if (dx + dy < 15) {
                // Lighter facets up and left, darker down and right.
                int shade = (x < 16 ? 40 : 0) + (y < 16 ? 60 : 0) + (dx + dy > 12 ? -40 : 0);
                int r = std::clamp(40 + shade, 0, 255);
                int g = std::clamp(110 + shade, 0, 255);
                int b = std::clamp(200 + shade, 0, 255);
                pixel = 0xFF000000u | (static_cast<uint32_t>(r) << 16) |
                        (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
            }
            row[x] = pixel;
        }
    }
    SDL_UnlockSurface(icon);
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

// The scale for the display the window opens on (the first one).
int desktopScale() {
    SDL_DisplayMode mode;
    SDL_Rect usable;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 1;
    }
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        usable.w = mode.w;
        usable.h = mode.h;
    }
    return windowScaleForDesktop(mode.w, mode.h, usable.w, usable.h);
}

// The game's window: "Corsavel", centred, 800x600 times `scale`, in desktop
// full screen when asked for and a window manager can grant it (the game is
// in full screen either way: its state, its settings).
SDL_Window* openSceneWindow(bool fullScreen, Uint32 flags, int scale) {
    flags |= SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen && fullScreenCanBeGranted()) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    return SDL_CreateWindow("Corsavel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            kSceneWidth * scale, kSceneHeight * scale, flags);
}

}  // namespace

int windowScaleForDesktop(int desktopWidth, int desktopHeight, int usableWidth, int usableHeight) {
    if (desktopWidth < 2 * kSceneWidth || desktopHeight < 2 * kSceneHeight) {
        return 1;
    }
    const int scale = std::min(usableWidth / kSceneWidth, usableHeight / kSceneHeight);
    return std::max(scale, 1);
}

void windowedClientSize(int* width, int* height) {
    *width = windowState.windowedWidth;
    *height = windowState.windowedHeight;
}

bool createGameWindow(bool fullScreen) {
    if (windowState.window != nullptr) {
        return true;
    }
    if ((SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) == 0 &&
        SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
#if CORSAVEL_HAVE_X11
    XSetErrorHandler(reportXError);
#endif
    setGlAttributes();
    Uint32 flags = SDL_WINDOW_OPENGL;
    // Behind the start-up picture the window stays unmapped until it has
    // something to show (raiseGameWindow).
    if (startupWindow != nullptr) {
        flags |= SDL_WINDOW_HIDDEN;
    }
    const int scale = desktopScale();
    windowState.windowedWidth = kSceneWidth * scale;
    windowState.windowedHeight = kSceneHeight * scale;
    windowState.window = openSceneWindow(fullScreen, flags, scale);
    if (windowState.window == nullptr) {
        return false;
    }
    windowState.fullScreen = fullScreen;
#if CORSAVEL_HAVE_X11
    findX11Window();
#endif
    refreshDrawableSize();
    setWindowIcon(windowState.window);
    return true;
}

#if CORSAVEL_HAVE_X11
// A colour channel of 8 bits into a pixel's mask (TrueColor, or DirectColor
// with the linear colour map SDL gives its windows).
unsigned long packChannel(uint8_t value, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    int bits = 0;
    while (((mask >> (shift + bits)) & 1u) != 0) {
        ++bits;
    }
    const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8)
                                           : static_cast<unsigned long>(value) >> (8 - bits);
    return (scaled << shift) & mask;
}

// Puts the scene's picture on the window with a plain XPutImage: black bars
// around the scene's rectangle, the picture point-sampled into it, as the
// GL frame will show it. No shared memory: the picture is put once.
bool putStartupPicture(SDL_Window* window, const uint8_t* rgba, int width, int height, int pitch) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    const ::Window target = info.info.x11.window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, target, &attributes) == 0 || attributes.width <= 0 ||
        attributes.height <= 0 || attributes.visual == nullptr ||
        (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor)) {
        return false;
    }
    const int w = attributes.width;
    const int h = attributes.height;
    auto* data = static_cast<char*>(std::malloc(static_cast<size_t>(w) * h * 4));
    if (data == nullptr) {
        return false;
    }
    XImage* image =
        XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                     0, data, static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    if (image == nullptr) {
        std::free(data);
        return false;
    }
    const SceneViewport viewport = fitSceneViewport(w, h);
    const unsigned long redMask = attributes.visual->red_mask;
    const unsigned long greenMask = attributes.visual->green_mask;
    const unsigned long blueMask = attributes.visual->blue_mask;
    for (int y = 0; y < h; ++y) {
        const int sy = (y - viewport.y) * height / viewport.height;
        for (int x = 0; x < w; ++x) {
            const int sx = (x - viewport.x) * width / viewport.width;
            unsigned long pixel = 0;
            if (y >= viewport.y && x >= viewport.x && sx < width && sy < height) {
                const uint8_t* p =
                    rgba + static_cast<size_t>(sy) * pitch + static_cast<size_t>(sx) * 4;
                pixel = packChannel(p[0], redMask) | packChannel(p[1], greenMask) |
                        packChannel(p[2], blueMask);
            }
            XPutPixel(image, x, y, pixel);
        }
    }
    GC gc = XCreateGC(display, target, 0, nullptr);
    XPutImage(display, target, gc, image, 0, 0, 0, 0, static_cast<unsigned>(w),
              static_cast<unsigned>(h));
    XFreeGC(display, gc);
    XDestroyImage(image);  // frees data
    XSync(display, False);
    return true;
}
#endif

bool showStartupPicture(bool fullScreen, const uint8_t* rgba, int width, int height, int pitch) {
#if CORSAVEL_HAVE_X11
    const char* driver = SDL_GetCurrentVideoDriver();
    if (startupWindow != nullptr || windowState.window != nullptr || rgba == nullptr ||
        width <= 0 || height <= 0 || pitch < width * 4 || driver == nullptr ||
        std::strcmp(driver, "x11") != 0) {
        return false;
    }
    // A window without GL: the picture goes to the X server as it is.
    startupWindow = openSceneWindow(fullScreen, 0, desktopScale());
    if (startupWindow == nullptr) {
        return false;
    }
    setWindowIcon(startupWindow);
    const bool shown = putStartupPicture(startupWindow, rgba, width, height, pitch);
    if (!shown) {
        closeStartupPicture();
    }
    return shown;
#else
    (void)fullScreen;
    (void)rgba;
    (void)width;
    (void)height;
    (void)pitch;
    return false;
#endif
}

void closeStartupPicture() {
    if (startupWindow != nullptr) {
        SDL_DestroyWindow(startupWindow);
        startupWindow = nullptr;
    }
}

SDL_Window* startupPictureWindow() {
    return startupWindow;
}

bool startupWindowEvent(const SDL_Event& event) {
    return startupWindow != nullptr && event.type == SDL_WINDOWEVENT &&
           event.window.windowID == SDL_GetWindowID(startupWindow);
}

void destroyGameWindow() {
    closeStartupPicture();
    if (windowState.window != nullptr) {
        SDL_DestroyWindow(windowState.window);
        windowState.window = nullptr;
    }
    windowState = WindowState{};
}

SDL_Window* gameWindow() {
    return windowState.window;
}

void setGameWindowFullScreen(bool fullScreen) {
    if (windowState.window == nullptr) {
        windowState.fullScreen = fullScreen;
        return;
    }
    if (fullScreen == windowState.fullScreen) {
        return;
    }
    if (SDL_SetWindowFullscreen(windowState.window,
                                fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return;
    }
    if (!fullScreen) {
        // Back to the fixed windowed client area.
        SDL_SetWindowSize(windowState.window, windowState.windowedWidth,
                          windowState.windowedHeight);
        SDL_SetWindowPosition(windowState.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    windowState.fullScreen = fullScreen;
    refreshDrawableSize();
}

bool gameWindowFullScreen() {
    return windowState.fullScreen;
}

void refreshDrawableSize() {
    int w = 0;
    int h = 0;
    if (windowState.window != nullptr && windowSystemSize(&w, &h)) {
        windowState.drawableWidth = w;
        windowState.drawableHeight = h;
    }
}

void drawableSize(int* width, int* height) {
    if (width != nullptr) {
        *width = windowState.drawableWidth;
    }
    if (height != nullptr) {
        *height = windowState.drawableHeight;
    }
}

bool pointerInDrawable(int* x, int* y) {
    *x = 0;
    *y = 0;
    if (windowState.window == nullptr) {
        return false;
    }
#if CORSAVEL_HAVE_X11
    if (windowState.x11Display != nullptr) {
        // Relative to the window the X server really shows, wherever SDL
        // believes it is.
        ::Window root = 0;
        ::Window child = 0;
        int rootX = 0;
        int rootY = 0;
        unsigned int mask = 0;
        if (XQueryPointer(windowState.x11Display, windowState.x11Window, &root, &child, &rootX,
                          &rootY, x, y, &mask) != 0) {
            return true;
        }
    }
#endif
    // The global position minus the window's, so the value is current even
    // while no motion event has arrived; window coordinates then scale to
    // drawable pixels (they differ on high-density displays).
    int gx = 0;
    int gy = 0;
    int wx = 0;
    int wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(windowState.window, &wx, &wy);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(windowState.window, &windowWidth, &windowHeight);
    int pixelWidth = 0;
    int pixelHeight = 0;
    SDL_GL_GetDrawableSize(windowState.window, &pixelWidth, &pixelHeight);
    const float sx =
        windowWidth > 0 && pixelWidth > 0 ? static_cast<float>(pixelWidth) / windowWidth : 1.0f;
    const float sy =
        windowHeight > 0 && pixelHeight > 0 ? static_cast<float>(pixelHeight) / windowHeight : 1.0f;
    *x = static_cast<int>((gx - wx) * sx);
    *y = static_cast<int>((gy - wy) * sy);
    return true;
}

SceneViewport fitSceneViewport(int width, int height) {
    SceneViewport viewport;
    if (width <= 0 || height <= 0) {
        return viewport;
    }
    // Uniform scale: the largest 4:3 rectangle that fits, centred.
    if (static_cast<int64_t>(width) * kSceneHeight <= static_cast<int64_t>(height) * kSceneWidth) {
        viewport.width = width;
        viewport.height =
            static_cast<int>(static_cast<int64_t>(width) * kSceneHeight / kSceneWidth);
    } else {
        viewport.height = height;
        viewport.width =
            static_cast<int>(static_cast<int64_t>(height) * kSceneWidth / kSceneHeight);
    }
    viewport.width = std::max(viewport.width, 1);
    viewport.height = std::max(viewport.height, 1);
    viewport.x = (width - viewport.width) / 2;
    viewport.y = (height - viewport.height) / 2;
    return viewport;
}

SceneViewport sceneViewport() {
    int w = 0;
    int h = 0;
    drawableSize(&w, &h);
    return fitSceneViewport(w, h);
}

void keepSessionBusUnlaunched() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && address[0] != '\0') {
        return;
    }
    // A session's bus may also be found at its runtime folder's "bus"
    // socket without an address: D-Bus looks there before launching one.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (runtime != nullptr && runtime[0] != '\0' &&
        stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
        return;
    }
    // An address of no known kind: the connection fails at once.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

bool initVideo() {
    if ((SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) != 0) {
        return true;
    }
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

void quitVideo() {
    SDL_Quit();
}

bool offscreenVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool displayAvailable() {
    if (SDL_GetCurrentVideoDriver() == nullptr) {
        return false;
    }
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return !offscreenVideo() || (asked != nullptr && asked[0] != '\0');
}

bool vsyncActive() {
    return SDL_GL_GetCurrentContext() != nullptr && SDL_GL_GetSwapInterval() != 0;
}

bool gameWindowMinimised() {
    return windowState.window != nullptr &&
           (SDL_GetWindowFlags(windowState.window) & SDL_WINDOW_MINIMIZED) != 0;
}

int displayRefreshRate() {
    SDL_DisplayMode mode;
    int display = windowState.window != nullptr ? SDL_GetWindowDisplayIndex(windowState.window) : 0;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    return 60;
}

void raiseGameWindow() {
    if (windowState.window != nullptr) {
        SDL_ShowWindow(windowState.window);
        SDL_RaiseWindow(windowState.window);
    }
}

void swapGameWindow() {
    if (windowState.window != nullptr) {
        SDL_GL_SwapWindow(windowState.window);
        // A window manager may resize the window after SDL took the size as
        // granted, and SDL then sends no event: the next frame sees it.
        refreshDrawableSize();
    }
}

}  // namespace corsavel
