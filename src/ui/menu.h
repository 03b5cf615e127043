#pragma once

#include <cstddef>
#include <cstdint>

namespace corsavel {

// The menus: a tree of named pages read from "menu.txt" (captions from
// "menutext.txt"), drawn immediate-mode every frame. While a page draws it
// registers its hit rectangles: buttons (the n-th button drawn stands for the
// page's n-th item) and widgets (sliders, check boxes, links), which the
// input of the next frame tests. Pages change with a 300 ms slide out, the
// chosen action, and a 300 ms slide in. Menu units: origin at the centre of
// the 800 x 600 view, y up; rectangles are left, top, right, bottom.

constexpr int kMaxMenuPages = 256;
constexpr int kMaxMenuItems = 16;
constexpr int kMaxMenuWidgets = 128;
constexpr int kMaxMenuButtons = 32;
constexpr int kMenuNameSize = 64;
constexpr int kMaxCreditLines = 64;
constexpr int kCreditLineSize = 64;
constexpr int kEditBufferSize = 32;
constexpr int kMessageTextSize = 256;
constexpr float kSlideMs = 300.0f;

// Draws a page (and, for pages that need one, runs its per-frame logic).
using PageHook = void (*)();

struct MenuPage {
    char name[kMenuNameSize] = {};
    char text[kMenuNameSize] = {};  // caption from "menutext.txt", "" when none
    MenuPage* parent = nullptr;     // where "back" returns
    MenuPage* items[kMaxMenuItems] = {};
    int32_t itemCount = 0;
    PageHook drawHook = nullptr;  // none: the generic item panel
};

enum class WidgetKind : int32_t {
    Slider = 0,
    CheckBox = 1,
    PrevArrow = 4,
    NextArrow = 5,
    ProfileLink = 7,
    ProfileEntry = 8,
    LevelMark = 9,
};

struct MenuWidget {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    WidgetKind kind = WidgetKind::Slider;
    int16_t steps = 0;  // slider: positions 0..steps-1
    int16_t value = 0;  // slider: current position
    uint8_t flag = 0;   // check box: checked; profile link: pointer over it
};

struct MenuButton {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// The one menu state. Only the page tree and these fields live between
// frames; the button and widget lists are rebuilt by every drawMenu.
struct MenuState {
    MenuPage pages[kMaxMenuPages];
    int32_t pageCount = 0;

    MenuWidget widgets[kMaxMenuWidgets];
    int32_t widgetCount = 0;
    MenuButton buttons[kMaxMenuButtons];
    int32_t buttonCount = 0;

    MenuPage* currentPage = nullptr;
    int32_t selectedItem = 0;
    int32_t focusedWidget = -1;
    int32_t pendingKey = 0;

    float transitionFactor = 0.0f;
    float slideOffset = 0.0f;
    float slideClockMs = 0.0f;
    bool entering = false;
    bool leaving = false;
    bool activatePending = false;
    bool backPending = false;
    bool menuHidden = false;
    bool pointerMoved = false;
    bool buttonHeld = false;
    // The pointer rests on the selected button (the main page's tool tips).
    bool pointerOnSelectedButton = false;

    bool textFocus = false;
    char editBuffer[kEditBufferSize] = {};
    int32_t editCursor = 0;
    int32_t editLength = 0;

    int32_t lastSelectedItem = -1;
    float pulseClockMs = 0.0f;
    uint32_t highlightColour = 0xFFFF9600u;
    uint32_t glowColour = 0x32FFC864u;
    float focusClockMs = 0.0f;

    char messageText[kMessageTextSize] = {};
    char creditLines[kMaxCreditLines][kCreditLineSize] = {};
    int32_t creditLineCount = 0;

    // Shared with the pages.
    int32_t profileBeingEdited = 0;
    int32_t gameTipCounter = 0;
    float levelIdleMs = 0.0f;
    uint8_t fullScreenCopy = 0;    // the options page's full-screen check box
    uint8_t customCursorCopy = 0;  // the options page's pointer check box
    float creditsClockMs = 0.0f;
    float caretClockMs = 0.0f;
    bool loaded = false;
};

extern MenuState menu;

// Text of the two menu files, for loadMenusFromText (tests, fuzzing).
struct MenuFiles {
    const char* menuText = nullptr;
    int64_t menuSize = 0;
    const char* captionText = nullptr;
    int64_t captionSize = 0;
};

// Resets the state, reads "menu.txt" and "menutext.txt" (fatal when
// missing), builds the tree from "main", attaches the hooks and reads the
// credit lines.
void loadMenus();
// The same from bytes in memory; false when "main" could not be built.
bool loadMenusFromText(const MenuFiles& files);
// Forgets every page (tests, restart).
void resetMenus();

MenuPage* findPage(const char* name);
// The page of that name, or a new one built from its block in the menu text
// being loaded (null when the table is full or no text is being loaded).
MenuPage* buildPage(const char* name, MenuPage* parent);
// The position of `item` among `page`'s items, 0 when it is not among them.
int32_t itemPosition(const MenuPage* page, const MenuPage* item);
// The name of item n of the current page, "" when there is none.
const char* selectedItemName();

// Draw hooks by page name: kept in a small table that loadMenus applies, so
// a hook may be registered before or after the menus are loaded. A later
// registration for the same name replaces the earlier one. False when the
// table is full.
bool setPageHook(const char* name, PageHook hook);

// With a page: it becomes current and slides in (its entry rules run).
// With none: the current page slides out; the pending activation or back
// action runs when the slide ends. Ignored while a slide runs.
void openPage(MenuPage* page);
void openPageByName(const char* name);
// Copies the text and opens "messageboxok" (okOnly) or "messageboxyn" over
// the current page.
void showMessageBox(const char* text, bool okOnly);
// A message box with a string of the text table (the key itself when the
// table has no such string).
void showMessageBoxKey(const char* key, bool okOnly);
bool slideRunning();

// Every frame: slides, pulse, hover, slider drag and keys, then drawing.
void updateMenu(float frameMs);
void drawMenu();

// Input from the hosting screen (the menu screen always, the game screen
// while a page is open over play).
void menuKeyDown(int32_t virtualKey);
void menuButtonDown();
void menuButtonUp();
void menuPointerMoved();
void menuDoubleClick();

// Whether the current page has this name.
bool onPage(const char* name);
// A level mark may be chosen up to the profile's highest unlocked level.
bool levelReachable(int32_t level);

// The actions at the end of a leave slide, and the entry rules.
void activateItem();
void goBack();
void enterPage(MenuPage* page);

// What the menus ask of the layers above them (screens, levels, saving),
// installed by the application; unset routes do nothing.
struct MenuRoutes {
    void (*startCurrentLevel)() = nullptr;
    void (*restartInPlace)() = nullptr;
    bool (*saveRunningGame)() = nullptr;
    bool (*loadSavedGame)() = nullptr;
    void (*saveAll)() = nullptr;
    void (*showMenuScreen)() = nullptr;  // make the menu screen current
    void (*showGameScreen)() = nullptr;  // make the game screen current
    bool (*gameScreenCurrent)() = nullptr;
    void (*applyDisplayMode)() = nullptr;  // full screen or window after "apply"
};
extern MenuRoutes menuRoutes;

// Entry points of the level flow and the instructions overlay: the mode's
// level page, "main" and "info" on the menu screen.
void openModePage();
void openMainPage();
void openInfoPage();
// Opens a page over the running game (menuActive set).
void openInGamePage(const char* name);

// The options page's two actions.
void applyOptions();
void restoreDefaults();

// Checks that a data string used as a format holds only the conversions in
// `allowed` (each char one of "s", "i", "d": in order) and no other '%'
// except "%%", with widths and precisions of at most three digits. Used
// before a string of the text table becomes a format.
bool formatMatches(const char* format, const char* allowed);

// A string of the text table by key, "" when it has none.
const char* pageText(const char* key);
// A string of the text table used as a format with the given conversions
// (as for formatMatches); a string holding others is shown as it is, never
// handed to printf.
void formatPageText(char* out, size_t size, const char* key, const char* conversions, ...);

}  // namespace corsavel
