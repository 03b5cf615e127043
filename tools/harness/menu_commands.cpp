// The menus in scripts: click an item or a widget by the rectangle the page
// registered in its last frame, type a name, and read the menu state and the
// settings record on disk.
//
//   clickitem N      move the pointer to item N's button and click it
//   clickwidget N    the same for widget N (check boxes, profile entries)
//   pointwidget N DX DY   move the pointer to widget N's centre plus (DX, DY)
//   type TEXT        one key per character, a frame after each
//
// Fields: menuPage, menuSelected, menuFocused, menuSlide (rest, entering,
// leaving), menuHidden, menuTextFocus, menuEdit, menuEditCursor, menuItems
// (the page's item names), menuButtons, menuWidgets, widgetValue0..3,
// widgetFlag0..3, creditLines, storedMusicVolume, storedEffectsVolume,
// storedFullScreen, storedCustomCursor, storedProfileCount, fullScreen.

#include <cstdlib>
#include <string>

#include "harness.h"
#include "platform/paths.h"
#include "platform/pointer.h"
#include "platform/render_device.h"
#include "platform/settings_store.h"
#include "ui/menu.h"

namespace corsavel::harness {

namespace {

bool parseCount(const std::string& s, int* out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < 0 || v > 1000) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

void clickAt(float x, float y) {
    overridePointer(x, y);
    sendMessage({MessageKind::MouseMove, 0});
    sendMessage({MessageKind::LeftDown, 0});
    sendMessage({MessageKind::LeftUp, 0});
}

bool clickItemCommand(const HarnessArgs& args, std::string* error) {
    int n = 0;
    if (args.size() != 1 || !parseCount(args[0], &n)) {
        *error = "usage: clickitem N";
        return false;
    }
    if (menu.currentPage == nullptr || n >= menu.buttonCount) {
        *error = "clickitem: the page drew no button " + args[0];
        return false;
    }
    const MenuButton& b = menu.buttons[n];
    clickAt((b.left + b.right) / 2.0f, (b.top + b.bottom) / 2.0f);
    return true;
}

bool widgetCentre(const HarnessArgs& args, size_t count, std::string* error, float* x, float* y) {
    int n = 0;
    if (args.size() != count || !parseCount(args[0], &n)) {
        *error = count == 1 ? "usage: clickwidget N" : "usage: pointwidget N DX DY";
        return false;
    }
    if (n >= menu.widgetCount) {
        *error = "the page drew no widget " + args[0];
        return false;
    }
    const MenuWidget& w = menu.widgets[n];
    *x = (w.left + w.right) / 2.0f;
    *y = (w.top + w.bottom) / 2.0f;
    return true;
}

bool clickWidgetCommand(const HarnessArgs& args, std::string* error) {
    float x = 0.0f;
    float y = 0.0f;
    if (!widgetCentre(args, 1, error, &x, &y)) {
        return false;
    }
    clickAt(x, y);
    return true;
}

bool pointWidgetCommand(const HarnessArgs& args, std::string* error) {
    float x = 0.0f;
    float y = 0.0f;
    if (!widgetCentre(args, 3, error, &x, &y)) {
        return false;
    }
    overridePointer(x + std::strtof(args[1].c_str(), nullptr),
                    y + std::strtof(args[2].c_str(), nullptr));
    sendMessage({MessageKind::MouseMove, 0});
    return true;
}

// Keys as the keyboard sends them: capitals, digits and space.
bool typeCommand(const HarnessArgs& args, std::string* error) {
    if (args.empty()) {
        *error = "usage: type TEXT";
        return false;
    }
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        text += (i > 0 ? " " : "") + args[i];
    }
    for (char c : text) {
        sendMessage({MessageKind::KeyDown, static_cast<int32_t>(c)});
        runFrames(1);
    }
    return true;
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

std::string jsonString(const char* s) {
    std::string out = "\"";
    for (const char* p = s; *p != 0; ++p) {
        if (*p == '"' || *p == '\\') {
            out += '\\';
        }
        if (static_cast<unsigned char>(*p) >= 32) {
            out += *p;
        }
    }
    return out + "\"";
}

HarnessValue itemsField() {
    std::string out = "[";
    if (const MenuPage* p = menu.currentPage) {
        for (int i = 0; i < p->itemCount; ++i) {
            out += (i > 0 ? "," : "") + jsonString(p->items[i]->name);
        }
    }
    return HarnessValue::json(out + "]");
}

HarnessValue slideField() {
    return HarnessValue::string(menu.entering ? "entering" : (menu.leaving ? "leaving" : "rest"));
}

HarnessValue widgetValue(int n) {
    return num(n < menu.widgetCount ? menu.widgets[n].value : -1);
}

HarnessValue widgetFlag(int n) {
    return num(n < menu.widgetCount ? menu.widgets[n].flag : -1);
}

// The record as the next start would read it (the defaults without one).
Settings stored() {
    Settings s;
    char path[kMaxPath];
    if (!userFilePath(kSettingsFileName, path, sizeof path) || !readSettingsFile(path, &s)) {
        s = defaultSettings();
    }
    return s;
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("clickitem", clickItemCommand) &&
    registerHarnessCommand("clickwidget", clickWidgetCommand) &&
    registerHarnessCommand("pointwidget", pointWidgetCommand) &&
    registerHarnessCommand("type", typeCommand) &&
    registerDumpField(
        "menuPage",
        [] {
            return HarnessValue::string(menu.currentPage != nullptr ? menu.currentPage->name : "");
        }) &&
    registerDumpField("menuSelected", [] { return num(menu.selectedItem); }) &&
    registerDumpField("menuFocused", [] { return num(menu.focusedWidget); }) &&
    registerDumpField("menuSlide", slideField) &&
    registerDumpField("menuHidden", [] { return num(menu.menuHidden); }) &&
    registerDumpField("menuTextFocus", [] { return num(menu.textFocus); }) &&
    registerDumpField("menuEdit", [] { return HarnessValue::string(menu.editBuffer); }) &&
    registerDumpField("menuEditCursor", [] { return num(menu.editCursor); }) &&
    registerDumpField("menuItems", itemsField) &&
    registerDumpField("menuButtons", [] { return num(menu.buttonCount); }) &&
    registerDumpField("menuWidgets", [] { return num(menu.widgetCount); }) &&
    registerDumpField("widgetValue0", [] { return widgetValue(0); }) &&
    registerDumpField("widgetValue1", [] { return widgetValue(1); }) &&
    registerDumpField("widgetFlag2", [] { return widgetFlag(2); }) &&
    registerDumpField("widgetFlag3", [] { return widgetFlag(3); }) &&
    registerDumpField("creditLines", [] { return num(menu.creditLineCount); }) &&
    registerDumpField("fullScreen", [] { return num(renderDevice.fullScreen); }) &&
    registerDumpField("storedMusicVolume", [] { return num(stored().musicVolume); }) &&
    registerDumpField("storedEffectsVolume", [] { return num(stored().effectsVolume); }) &&
    registerDumpField("storedFullScreen", [] { return num(stored().fullScreen); }) &&
    registerDumpField("storedCustomCursor", [] { return num(stored().customCursor); }) &&
    registerDumpField("storedProfileCount", [] { return num(stored().profileCount); });

}  // namespace

}  // namespace corsavel::harness
