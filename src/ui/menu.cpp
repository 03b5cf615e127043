// The page tree, the slides, and the input of the menus: what the pages
// registered while drawing the last frame is what this frame's pointer and
// keys act on.

#include "ui/menu.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/audio.h"
#include "game/game_state.h"
#include "game/progress.h"
#include "gfx/font.h"
#include "platform/pointer.h"
#include "platform/virtual_keys.h"
#include "resources/asset_registry.h"
#include "resources/text_table.h"
#include "ui/menu_pages.h"
#include "ui/profiles.h"

namespace corsavel {

MenuState menu;
MenuRoutes menuRoutes;

namespace {

constexpr int kMaxPageHooks = 48;

struct HookEntry {
    char name[kMenuNameSize] = {};
    PageHook hook = nullptr;
};

struct HookTable {
    HookEntry entries[kMaxPageHooks];
    int32_t count = 0;
};

HookTable& hookTable() {
    static HookTable table;
    return table;
}

// The menu files while loadMenus builds the tree; null otherwise.
struct LoadText {
    const char* menuText = nullptr;
    const char* captionText = nullptr;
};
LoadText loadText;

float lastFrameMs = 0.0f;

void copyName(char (&out)[kMenuNameSize], const char* text, size_t length) {
    if (length >= kMenuNameSize) {
        length = kMenuNameSize - 1;
    }
    std::memcpy(out, text, length);
    out[length] = 0;
}

// The first "name=" of the menu text followed by a line end: the start of
// the block's first item line, or null when the page has no block.
const char* findBlock(const char* text, const char* name) {
    const std::string key = std::string(name) + "=";
    const char* at = std::strstr(text, key.c_str());
    if (at == nullptr) {
        return nullptr;
    }
    at += key.size();
    if (at[0] == '\r' && at[1] == '\n') {
        return at + 2;
    }
    if (at[0] == '\n') {
        return at + 1;
    }
    return nullptr;
}

void applyHooks() {
    const HookTable& t = hookTable();
    for (int i = 0; i < t.count; ++i) {
        if (MenuPage* page = findPage(t.entries[i].name)) {
            page->drawHook = t.entries[i].hook;
        }
    }
}

void readCredits(const char* text) {
    menu.creditLineCount = 0;
    const char* at = std::strstr(text, "[credits/]");
    if (at == nullptr) {
        return;
    }
    at += std::strlen("[credits/]");
    // Empty lines right after the opening tag are skipped.
    while (*at == '\r' || *at == '\n') {
        ++at;
    }
    // A missing closing tag ends the list at the end of the text.
    while (*at != 0 && menu.creditLineCount < kMaxCreditLines) {
        if (std::strncmp(at, "[/credits]", 10) == 0) {
            break;
        }
        size_t length = std::strcspn(at, "\r\n");
        char* line = menu.creditLines[menu.creditLineCount++];
        const size_t kept = length < kCreditLineSize - 1 ? length : kCreditLineSize - 1;
        std::memcpy(line, at, kept);
        line[kept] = 0;
        at += length;
        if (at[0] == '\r' && at[1] == '\n') {
            at += 2;
        } else if (*at != 0) {
            at += 1;
        }
    }
}

bool inside(float x, float y, float left, float top, float right, float bottom) {
    return x >= left && x <= right && y >= bottom && y <= top;
}

bool strictlyInside(float x, float y, float left, float top, float right, float bottom) {
    return x > left && x < right && y > bottom && y < top;
}

bool onLevelPage() {
    return onPage("adventure") || onPage("puzzle");
}

MenuWidget* focused() {
    if (menu.focusedWidget < 0 || menu.focusedWidget >= menu.widgetCount) {
        return nullptr;
    }
    return &menu.widgets[menu.focusedWidget];
}

// Buttons first (a moved pointer selects), then widgets; the level pages'
// focus rules last. Returns the button index the pointer selected, or -1.
int32_t hover(bool addIdleTime) {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    menu.pointerOnSelectedButton = false;
    for (int i = 0; i < menu.buttonCount; ++i) {
        const MenuButton& b = menu.buttons[i];
        if (inside(x, y, b.left, b.top, b.right, b.bottom)) {
            menu.pointerOnSelectedButton = i == menu.selectedItem;
            if (menu.pointerMoved) {
                menu.selectedItem = i;
                menu.pointerOnSelectedButton = true;
                return i;
            }
        }
    }
    bool overWidget = false;
    for (int i = 0; i < menu.widgetCount; ++i) {
        MenuWidget& w = menu.widgets[i];
        if (!inside(x, y, w.left, w.top, w.right, w.bottom)) {
            continue;
        }
        overWidget = true;
        if (w.kind == WidgetKind::ProfileLink) {
            w.flag = 1;
        } else if (w.kind != WidgetKind::ProfileEntry) {
            if (!menu.textFocus) {
                menu.focusedWidget = i;
            }
            menu.levelIdleMs = 0.0f;
        }
    }
    if (onLevelPage()) {
        if (menu.focusedWidget > unlockedLevel(activeProfile())) {
            menu.focusedWidget = session.currentLevel;
        }
        if (!overWidget && addIdleTime) {
            menu.levelIdleMs += lastFrameMs;
            if (menu.levelIdleMs > 300.0f) {
                menu.focusedWidget = session.currentLevel;
                menu.levelIdleMs = 0.0f;
            }
        }
    }
    return -1;
}

void dragSliders() {
    if (!menu.buttonHeld) {
        return;
    }
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    for (int i = 0; i < menu.widgetCount; ++i) {
        MenuWidget& w = menu.widgets[i];
        if (w.kind != WidgetKind::Slider || w.steps < 1) {
            continue;
        }
        if (!strictlyInside(x, y, w.left - 25.6f, w.top, w.right + 25.6f, w.bottom)) {
            continue;
        }
        if (x <= w.left) {
            w.value = 0;
        } else if (x >= w.right) {
            w.value = static_cast<int16_t>(w.steps - 1);
        } else {
            int v = static_cast<int>((x - w.left) / (w.right - w.left) * w.steps);
            w.value = static_cast<int16_t>(v > w.steps - 1 ? w.steps - 1 : v);
        }
    }
}

// Name entry: true when the key was consumed.
bool editKey(int32_t key) {
    const int32_t n = static_cast<int32_t>(std::strlen(menu.editBuffer));
    if (menu.editCursor > n) {
        menu.editCursor = n;
    }
    if (menu.editCursor < 0) {
        menu.editCursor = 0;
    }
    char* b = menu.editBuffer;
    switch (key) {
        case vk::kBackspace:
            if (menu.editCursor > 0) {
                menu.editCursor -= 1;
                std::memmove(b + menu.editCursor, b + menu.editCursor + 1, n - menu.editCursor);
            }
            break;
        case vk::kEnd:
            menu.editCursor = n;
            break;
        case vk::kHome:
            menu.editCursor = 0;
            break;
        case vk::kLeft:
            if (menu.editCursor > 0) {
                menu.editCursor -= 1;
            }
            return true;
        case vk::kRight:
            if (menu.editCursor < n) {
                menu.editCursor += 1;
            }
            return true;
        case vk::kDelete:
            if (menu.editCursor < n) {
                std::memmove(b + menu.editCursor, b + menu.editCursor + 1, n - menu.editCursor);
            }
            break;
        default: {
            const bool letter = key >= 'A' && key <= 'Z';
            const bool digit = key >= '0' && key <= '9';
            if ((letter || digit || key == ' ') && n < kProfileNameMaxLength &&
                textWidth(b, 16.0f) < 140.0f) {
                std::memmove(b + menu.editCursor + 1, b + menu.editCursor, n - menu.editCursor + 1);
                b[menu.editCursor] = static_cast<char>(key);
                menu.editCursor += 1;
            }
            break;
        }
    }
    menu.editLength = static_cast<int32_t>(std::strlen(b));
    return false;
}

void toggleFocusedFlag() {
    if (MenuWidget* w = focused()) {
        w->flag = w->flag != 0 ? 0 : 1;
    }
}

void processKey() {
    int32_t key = menu.pendingKey;
    if (key == 0) {
        return;
    }
    if (menu.textFocus && editKey(key)) {
        menu.pendingKey = 0;
        return;
    }
    if (menu.menuHidden) {
        menu.menuHidden = false;
        menu.pendingKey = 0;
        openPageByName("main");
        return;
    }
    key = pageKeyRule(key);
    const int32_t count = menu.currentPage != nullptr ? menu.currentPage->itemCount : 0;
    switch (key) {
        case vk::kEnter:
            if (menu.selectedItem < 0) {
                toggleFocusedFlag();
            } else if (menu.selectedItem < count) {
                playSound("menu.ogg");
                menu.activatePending = true;
                openPage(nullptr);
            }
            break;
        case vk::kEscape:
            if (!onPage("newprofile") && !onPage("messageboxok")) {
                menu.backPending = true;
                openPage(nullptr);
                menu.selectedItem = 0;
            }
            break;
        case vk::kSpace:
            toggleFocusedFlag();
            break;
        case vk::kLeft:
        case vk::kUp:
            if (count > 0) {
                menu.selectedItem -= 1;
                if (menu.selectedItem < 0) {
                    menu.selectedItem = count - 1;
                }
            }
            break;
        case vk::kRight:
        case vk::kDown:
            if (count > 0) {
                menu.selectedItem = (menu.selectedItem + 1) % count;
                if (menu.selectedItem < 0) {
                    menu.selectedItem = 0;
                }
            }
            break;
        default:
            break;
    }
    menu.pendingKey = 0;
}

MenuPage* buildFromText(const char* name, MenuPage* parent) {
    if (menu.pageCount >= kMaxMenuPages) {
        return nullptr;
    }
    MenuPage& page = menu.pages[menu.pageCount];
    page = MenuPage{};
    copyName(page.name, name, std::strlen(name));
    page.parent = parent;
    if (loadText.captionText != nullptr) {
        const std::string key = std::string(page.name) + "=";
        readValue(page.text, loadText.captionText, key.c_str());
    }
    // Registered before its items are built, so an item naming this page
    // (or an ancestor) finds it instead of building it again forever.
    menu.pageCount += 1;
    const char* at =
        loadText.menuText != nullptr ? findBlock(loadText.menuText, page.name) : nullptr;
    while (at != nullptr && *at != 0) {
        const size_t length = std::strcspn(at, "\r\n");
        if (length == 0) {
            break;  // the empty line ends the block
        }
        char item[kMenuNameSize];
        copyName(item, at, length);
        at += length;
        if (at[0] == '\r' && at[1] == '\n') {
            at += 2;
        } else if (*at != 0) {
            at += 1;
        }
        // Items past the list's end are neither listed nor built.
        if (page.itemCount >= kMaxMenuItems) {
            continue;
        }
        MenuPage* child = buildPage(item, &page);
        if (child != nullptr) {
            page.items[page.itemCount++] = child;
        }
    }
    return &page;
}

}  // namespace

bool onPage(const char* name) {
    return menu.currentPage != nullptr && std::strcmp(menu.currentPage->name, name) == 0;
}

bool levelReachable(int32_t level) {
    return level >= 0 && level < kLevelCount && level <= unlockedLevel(activeProfile());
}

void resetMenus() {
    menu = MenuState{};
}

MenuPage* findPage(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < menu.pageCount; ++i) {
        if (std::strcmp(menu.pages[i].name, name) == 0) {
            return &menu.pages[i];
        }
    }
    return nullptr;
}

MenuPage* buildPage(const char* name, MenuPage* parent) {
    if (MenuPage* existing = findPage(name)) {
        return existing;
    }
    return buildFromText(name, parent);
}

int32_t itemPosition(const MenuPage* page, const MenuPage* item) {
    if (page == nullptr) {
        return 0;
    }
    for (int i = 0; i < page->itemCount; ++i) {
        if (page->items[i] == item) {
            return i;
        }
    }
    return 0;
}

const char* selectedItemName() {
    const MenuPage* p = menu.currentPage;
    if (p == nullptr || menu.selectedItem < 0 || menu.selectedItem >= p->itemCount) {
        return "";
    }
    return p->items[menu.selectedItem]->name;
}

bool setPageHook(const char* name, PageHook hook) {
    HookTable& t = hookTable();
    for (int i = 0; i < t.count; ++i) {
        if (std::strcmp(t.entries[i].name, name) == 0) {
            t.entries[i].hook = hook;
            if (MenuPage* page = findPage(name)) {
                page->drawHook = hook;
            }
            return true;
        }
    }
    if (t.count >= kMaxPageHooks) {
        return false;
    }
    HookEntry& e = t.entries[t.count++];
    copyName(e.name, name, std::strlen(name));
    e.hook = hook;
    if (MenuPage* page = findPage(name)) {
        page->drawHook = hook;
    }
    return true;
}

bool loadMenusFromText(const MenuFiles& files) {
    resetMenus();
    // Our own terminated copies: the files need no spare byte at their end.
    const std::string menuText(
        files.menuText != nullptr ? files.menuText : "",
        files.menuText != nullptr && files.menuSize > 0 ? static_cast<size_t>(files.menuSize) : 0);
    const std::string captionText(files.captionText != nullptr ? files.captionText : "",
                                  files.captionText != nullptr && files.captionSize > 0
                                      ? static_cast<size_t>(files.captionSize)
                                      : 0);
    // Text after an embedded NUL is never read, as the files end there.
    loadText.menuText = menuText.c_str();
    loadText.captionText = captionText.c_str();

    MenuPage* mainPage = buildPage("main", nullptr);
    if (mainPage != nullptr && mainPage->itemCount > 0) {
        // Main's first item holds the pages over a running game: reachable by
        // name, never listed.
        for (int i = 1; i < mainPage->itemCount; ++i) {
            mainPage->items[i - 1] = mainPage->items[i];
        }
        mainPage->itemCount -= 1;
        mainPage->items[mainPage->itemCount] = nullptr;
    }
    static const char* const kNamedPages[] = {
        "gameplaytip",  "loadgamequest", "newprofile", "rename", "profiles", "levelcomplete",
        "messageboxok", "messageboxyn",  "gameplay",   "defeat", "gameover"};
    for (const char* name : kNamedPages) {
        MenuPage* page = buildPage(name, nullptr);
        if (page != nullptr && std::strcmp(name, "profiles") == 0) {
            page->parent = mainPage;
        }
    }
    registerMenuPageHooks();
    applyHooks();
    readCredits(captionText.c_str());
    loadText = LoadText{};
    menu.selectedItem = 0;
    menu.loaded = mainPage != nullptr;
    return mainPage != nullptr;
}

void loadMenus() {
    int32_t menuSize = 0;
    int32_t captionSize = 0;
    uint8_t* menuBytes = loadFile("menu.txt", &menuSize, true);
    uint8_t* captionBytes = loadFile("menutext.txt", &captionSize, true);
    MenuFiles files;
    files.menuText = reinterpret_cast<const char*>(menuBytes);
    files.menuSize = menuSize;
    files.captionText = reinterpret_cast<const char*>(captionBytes);
    files.captionSize = captionSize;
    loadMenusFromText(files);
    releaseAsset(menuBytes);
    releaseAsset(captionBytes);
}

bool slideRunning() {
    return menu.entering || menu.leaving;
}

void openPage(MenuPage* page) {
    if (slideRunning()) {
        return;
    }
    if (page == nullptr) {
        menu.leaving = true;
        menu.slideClockMs = 0.0f;
        return;
    }
    menu.currentPage = page;
    menu.focusedWidget = -1;
    menu.buttonCount = 0;
    menu.widgetCount = 0;
    // The name entry's focus belongs to its page: left on, it would swallow
    // Left and Right on every later page.
    menu.textFocus = false;
    menu.entering = true;
    enterPage(page);
    menu.selectedItem = 0;
    menu.slideClockMs = 0.0f;
}

void openPageByName(const char* name) {
    openPage(findPage(name));
}

void showMessageBox(const char* text, bool okOnly) {
    std::snprintf(menu.messageText, sizeof menu.messageText, "%s", text != nullptr ? text : "");
    MenuPage* box = findPage(okOnly ? "messageboxok" : "messageboxyn");
    if (box == nullptr) {
        return;
    }
    box->parent = menu.currentPage;
    openPage(box);
}

void showMessageBoxKey(const char* key, bool okOnly) {
    const char* text = findText(key);
    showMessageBox(text != nullptr ? text : key, okOnly);
}

void updateMenu(float frameMs) {
    lastFrameMs = frameMs;
    if (menu.leaving) {
        const float x = menu.slideClockMs / kSlideMs;
        menu.transitionFactor = x;
        menu.slideOffset = x * x * 600.0f;
        menu.slideClockMs += frameMs;
        if (menu.slideClockMs > kSlideMs) {
            menu.transitionFactor = 1.0f;
            menu.leaving = false;
            if (menu.activatePending) {
                activateItem();
            }
            if (menu.backPending) {
                goBack();
            }
        }
    }
    if (menu.entering) {
        const float x = 1.0f - menu.slideClockMs / kSlideMs;
        menu.transitionFactor = x;
        menu.slideOffset = x * x * 300.0f;
        menu.slideClockMs += frameMs;
        if (menu.slideClockMs > kSlideMs) {
            menu.transitionFactor = 0.0f;
            menu.slideOffset = 0.0f;
            menu.entering = false;
        }
    }
    if (menu.selectedItem != menu.lastSelectedItem && menu.selectedItem >= 0 &&
        menu.transitionFactor == 0.0f) {
        playSound("menu2.ogg");
    }
    menu.lastSelectedItem = menu.selectedItem;

    menu.pulseClockMs += frameMs;
    const float s = std::sin(menu.pulseClockMs * 0.005f) * 0.5f + 0.5f;
    menu.highlightColour = makeColour(255, 255, 150 + static_cast<int>(50.0f * s), 0);
    menu.glowColour = makeColour(50 + static_cast<int>(20.0f * s), 255, 200, 100);

    if (slideRunning()) {
        return;
    }
    hover(true);
    menu.pointerMoved = false;
    dragSliders();
    processKey();
}

void menuKeyDown(int32_t virtualKey) {
    if (slideRunning()) {
        return;
    }
    menu.pendingKey = virtualKey;
}

void menuButtonDown() {
    if (menu.menuHidden) {
        menu.menuHidden = false;
        openPageByName("main");
        return;
    }
    menu.buttonHeld = true;
    menu.pointerMoved = true;
    if (onPage("credits")) {
        menu.pendingKey = vk::kEnter;
        return;
    }
    if (hover(false) >= 0) {
        menu.pendingKey = vk::kEnter;
    }
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    for (int i = 0; i < menu.widgetCount; ++i) {
        MenuWidget& w = menu.widgets[i];
        switch (w.kind) {
            case WidgetKind::Slider:
                if (strictlyInside(x, y, w.left - 64.0f, w.top, w.right + 64.0f, w.bottom)) {
                    if (x <= w.left - 25.6f) {
                        if (w.value > 0) {
                            w.value -= 1;
                        }
                    } else if (x >= w.right + 25.6f) {
                        if (w.value < w.steps - 1) {
                            w.value += 1;
                        }
                    }
                    menu.focusedWidget = i;
                }
                break;
            case WidgetKind::LevelMark:
                if (inside(x, y, w.left, w.top, w.right, w.bottom) && levelReachable(i)) {
                    session.currentLevel = i;
                    menu.focusedWidget = i;
                }
                break;
            default:
                if (!strictlyInside(x, y, w.left, w.top, w.right, w.bottom)) {
                    break;
                }
                if (w.kind == WidgetKind::CheckBox) {
                    w.flag = w.flag != 0 ? 0 : 1;
                    menu.focusedWidget = i;
                } else if (w.kind == WidgetKind::ProfileEntry) {
                    menu.focusedWidget = i;
                } else if (w.kind == WidgetKind::PrevArrow) {
                    menu.pendingKey = vk::kLeft;
                } else if (w.kind == WidgetKind::NextArrow) {
                    menu.pendingKey = vk::kRight;
                } else if (w.kind == WidgetKind::ProfileLink) {
                    menu.profileBeingEdited = profileTable.current;
                    openPageByName("profiles");
                }
                break;
        }
    }
}

void menuButtonUp() {
    menu.buttonHeld = false;
}

void menuPointerMoved() {
    menu.pointerMoved = true;
}

void menuDoubleClick() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    for (int i = 0; i < menu.widgetCount; ++i) {
        const MenuWidget& w = menu.widgets[i];
        if (w.kind == WidgetKind::LevelMark && inside(x, y, w.left, w.top, w.right, w.bottom) &&
            levelReachable(i)) {
            menu.selectedItem = 0;
            session.currentLevel = i;
            menu.focusedWidget = i;
            menu.pendingKey = vk::kEnter;
            return;
        }
        if (w.kind == WidgetKind::ProfileEntry &&
            strictlyInside(x, y, w.left, w.top, w.right, w.bottom)) {
            menu.focusedWidget = i;
            menu.selectedItem = itemPosition(menu.currentPage, findPage("selectprofile"));
            menu.pendingKey = vk::kEnter;
            return;
        }
    }
    menuButtonDown();
}

bool formatMatches(const char* format, const char* allowed) {
    if (format == nullptr || allowed == nullptr) {
        return false;
    }
    const char* want = allowed;
    for (const char* p = format; *p != 0; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        // Flags, width and precision made of digits, '.', '-' only; a width
        // or precision of more than three digits is refused, as printf pads
        // to it (a billion spaces takes seconds) though the page holds a line.
        int digits = 0;
        while (*p == '-' || *p == '.' || (*p >= '0' && *p <= '9')) {
            digits = (*p >= '0' && *p <= '9') ? digits + 1 : 0;
            if (digits > 3) {
                return false;
            }
            ++p;
        }
        if (*p == 0 || *want == 0) {
            return false;
        }
        const bool integer = (*want == 'i' || *want == 'd') && (*p == 'i' || *p == 'd');
        if (!(integer || (*want == 's' && *p == 's'))) {
            return false;
        }
        ++want;
    }
    // Fewer conversions than supplied is safe: the extra arguments go unread.
    return true;
}

const char* pageText(const char* key) {
    const char* t = findText(key);
    return t != nullptr ? t : "";
}

void formatPageText(char* out, size_t size, const char* key, const char* conversions, ...) {
    const char* format = pageText(key);
    if (!formatMatches(format, conversions)) {
        std::snprintf(out, size, "%s", format);
        return;
    }
    va_list args;
    va_start(args, conversions);
    std::vsnprintf(out, size, format, args);
    va_end(args);
}

}  // namespace corsavel
