// What the pages do: the entry rules, the key rules, the activation of an
// item, "yes" in its places, and "back".

#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "game/game_state.h"
#include "game/instructions.h"
#include "game/progress.h"
#include "game/rules.h"
#include "gfx/background.h"
#include "platform/frame_state.h"
#include "platform/render_device.h"
#include "platform/settings_store.h"
#include "platform/virtual_keys.h"
#include "platform/window.h"
#include "ui/menu.h"
#include "ui/menu_pages.h"
#include "ui/player_tables.h"
#include "ui/profiles.h"
#include "ui/score_tables.h"

namespace corsavel {

namespace {

bool named(const MenuPage* page, const char* name) {
    return page != nullptr && std::strcmp(page->name, name) == 0;
}

int mode() {
    return session.gameMode == 1 ? 1 : 0;
}

void callStartCurrentLevel() {
    if (menuRoutes.startCurrentLevel != nullptr) {
        menuRoutes.startCurrentLevel();
    }
}

void callRestartInPlace() {
    if (menuRoutes.restartInPlace != nullptr) {
        menuRoutes.restartInPlace();
    }
}

void callSaveAll() {
    if (menuRoutes.saveAll != nullptr) {
        menuRoutes.saveAll();
    }
}

bool gameScreenCurrent() {
    return menuRoutes.gameScreenCurrent != nullptr && menuRoutes.gameScreenCurrent();
}

// Leaves the game (when it is current) for the menu screen; the page opened
// next shows there.
void toMenuScreen() {
    game.flags.menuActive = false;
    if (menuRoutes.showMenuScreen != nullptr) {
        menuRoutes.showMenuScreen();
    }
}

void toMainOnMenuScreen() {
    toMenuScreen();
    openPageByName("main");
}

void openChild(MenuPage* page) {
    if (page == nullptr) {
        return;
    }
    page->parent = menu.currentPage;
    openPage(page);
}

// The parent with the selection on the page that was left; a page without
// a parent slides back in rather than leaving nothing on screen.
void openParent() {
    MenuPage* page = menu.currentPage;
    if (page == nullptr) {
        return;
    }
    if (page->parent == nullptr) {
        openPage(page);
        return;
    }
    openPage(page->parent);
    menu.selectedItem = itemPosition(page->parent, page);
}

void profilesChanged() {
    storeProfileCountInSettings();
    callSaveAll();
}

void openModeItem(int m) {
    session.gameMode = static_cast<uint8_t>(m);
    Profile& p = activeProfile();
    setLastMode(p, m);
    if (p.savedGame[m] != 0) {
        openPageByName("loadgamequest");
        return;
    }
    p.lives[m] = 3;
    openChild(findPage(m == 0 ? "adventure" : "puzzle"));
}

void startFromLevelPage() {
    game.flags.menuActive = false;
    const Profile& p = activeProfile();
    const int m = mode();
    if ((session.currentLevel == progressLevel(p) && p.lastMode == m) || p.score[m] < 1) {
        callStartCurrentLevel();
    } else {
        showMessageBoxKey("zeroscore", false);
    }
}

void restartLevel() {
    Profile& p = activeProfile();
    const int m = mode();
    if (game.clock.timedOut) {
        if (p.lives[m] > 0) {
            p.lives[m] -= 1;
        }
        callStartCurrentLevel();
    } else if (p.lives[m] <= 0) {
        showMessageBoxKey("nomorelives", false);
    } else if (m == 1) {
        callRestartInPlace();
    } else {
        showMessageBoxKey("restartquest", false);
    }
}

void showHelpOverlay(bool instructionsOnly) {
    game.flags.instructionsShown = true;
    game.flags.instructionsOnly = instructionsOnly;
    prepareDemonstration();
    game.flags.menuActive = false;
}

// "yes", by the page the question stands over.
void answerYes() {
    MenuPage* page = menu.currentPage;
    if (named(page, "loadgamequest")) {
        game.flags.menuActive = false;
        if (menuRoutes.loadSavedGame != nullptr) {
            menuRoutes.loadSavedGame();
        }
        return;
    }
    const MenuPage* over = page != nullptr ? page->parent : nullptr;
    Profile& p = activeProfile();
    const int m = mode();
    if (named(over, "main")) {
        app.quitRequested = 1;
    } else if (named(over, "profiles")) {
        removeProfile(menu.profileBeingEdited);
        menu.profileBeingEdited -= 1;
        profilesChanged();
        if (profileTable.count > 0) {
            goBack();
        } else {
            menu.focusedWidget = 0;
            menu.profileBeingEdited = 0;
            openPageByName("newprofile");
        }
    } else if (named(over, "adventure") || named(over, "puzzle")) {
        game.scores.bankedScore = 0;
        p.score[m] = 0;
        p.lives[m] = 3;
        callStartCurrentLevel();
    } else if (named(over, "gameplay")) {
        if (p.lives[m] > 0) {
            game.flags.replayAfterLoss = false;
            p.lives[m] -= 1;
        } else {
            game.scores.bankedScore = 0;
            p.score[m] = 0;
            p.lives[m] = 3;
        }
        callRestartInPlace();
    } else if (named(over, "defeat")) {
        game.flags.replayAfterLoss = false;
        p.lives[m] = p.lives[m] > 2 ? p.lives[m] - 2 : 0;
        // Skipping the last level does not run past the end of the game.
        if (session.currentLevel < kLevelCount - 1) {
            session.currentLevel += 1;
        }
        callStartCurrentLevel();
    }
}

}  // namespace

void enterPage(MenuPage* page) {
    float tint[4];
    if (named(page, "main")) {
        requestMusic(0);
        loadBackground(0);
        tintPreset(2, tint);
        setTintNow(tint);
        setMenuBackdrop(0);
    } else if (named(page, "info")) {
        tintPreset(2, tint);
        setTintTarget(tint);
    } else if (named(page, "options")) {
        menu.fullScreenCopy = renderDevice.fullScreen != 0 ? 1 : 0;
        menu.customCursorCopy = settings.customCursor ? 1 : 0;
    } else if (named(page, "adventure") || named(page, "puzzle")) {
        setMenuBackdrop(1);
        session.currentLevel = progressLevel(activeProfile());
        menu.focusedWidget = session.currentLevel;
    } else if (named(page, "profiles")) {
        menu.focusedWidget = menu.profileBeingEdited;
    } else if (named(page, "rename")) {
        menu.textFocus = true;
        menu.editLength = static_cast<int32_t>(std::strlen(menu.editBuffer));
        menu.editCursor = 0;
    } else if (named(page, "newprofile")) {
        loadBackground(0);
        tintPreset(2, tint);
        setTintNow(tint);
        setMenuBackdrop(0);
        menu.textFocus = true;
        std::memset(menu.editBuffer, 0, sizeof menu.editBuffer);
        menu.editCursor = 0;
        menu.editLength = 0;
    } else if (named(page, "credits")) {
        tintPreset(0, tint);
        setTintTarget(tint);
        requestMusic(5);
        menu.creditsClockMs = 0.0f;
        setMenuBackdrop(4);
    } else if (named(page, "hiscore")) {
        session.gameMode = static_cast<uint8_t>(profileMode(activeProfile()));
    }
}

int32_t pageKeyRule(int32_t key) {
    if (onPage("profiles")) {
        if (key == vk::kEnter && std::strcmp(selectedItemName(), "newprofile") == 0 &&
            profileTable.count >= kMaxProfiles) {
            playSound("gaf.ogg");
            return 0;
        }
    } else if (onPage("levelcomplete")) {
        if (key == vk::kEscape) {
            key = vk::kEnter;
        }
    } else if (onPage("hiscore")) {
        if (key == vk::kLeft) {
            session.gameMode = session.gameMode == 0 ? 1 : 0;
        } else if (key == vk::kRight) {
            session.gameMode = session.gameMode == 1 ? 0 : 1;
        }
    } else if (onPage("credits")) {
        key = vk::kEscape;
    } else if (onPage("gameplaytip")) {
        if (key == vk::kEscape) {
            key = vk::kEnter;
        }
    } else if (onPage("adventure") || onPage("puzzle")) {
        if (key == vk::kEscape) {
            return 0;
        }
        // Left and Right walk the level choice along the map, over the
        // levels the profile has opened; Up and Down still move between
        // the page's buttons.
        if (key == vk::kLeft || key == vk::kRight) {
            const int32_t next = session.currentLevel + (key == vk::kLeft ? -1 : 1);
            if (levelReachable(next)) {
                session.currentLevel = next;
                menu.focusedWidget = next;
                playSound("menu2.ogg");
            }
            return 0;
        }
    } else if (onPage("loadgamequest") || onPage("defeat")) {
        if (key == vk::kEscape) {
            return 0;
        }
    }
    return key;
}

void activateItem() {
    menu.activatePending = false;
    MenuPage* page = menu.currentPage;
    if (page == nullptr || menu.selectedItem < 0 || menu.selectedItem >= page->itemCount) {
        return;
    }
    MenuPage* item = page->items[menu.selectedItem];
    const char* n = item->name;
    auto is = [n](const char* name) { return std::strcmp(n, name) == 0; };
    Profile& p = activeProfile();
    if (is("resume game")) {
        game.flags.menuActive = false;
    } else if (is("skip level")) {
        showMessageBoxKey("skipquest", false);
    } else if (is("restart level")) {
        restartLevel();
    } else if (is("helpgameplay")) {
        showHelpOverlay(false);
    } else if (is("selectprofile")) {
        selectProfile(menu.focusedWidget);
        profilesChanged();
        openPageByName("main");
    } else if (is("rename")) {
        const int32_t f = menu.focusedWidget;
        if (f >= 0 && f < profileTable.count) {
            std::snprintf(menu.editBuffer, sizeof menu.editBuffer, "%s",
                          profileTable.records[f].name);
            menu.profileBeingEdited = f;
            openChild(item);
        } else {
            openPage(page);
        }
    } else if (is("okrename")) {
        if (renameProfile(menu.profileBeingEdited, menu.editBuffer)) {
            profilesChanged();
            openPageByName("profiles");
        } else {
            openPage(page);
        }
    } else if (is("remove")) {
        menu.profileBeingEdited = menu.focusedWidget;
        showMessageBoxKey("removeplayer", false);
    } else if (is("oknewprofile")) {
        if (createProfile(menu.editBuffer)) {
            Profile& made = activeProfile();
            made.lives[0] = 3;
            made.lives[1] = 3;
            profilesChanged();
            openPageByName("main");
            playSoundEx("younew.ogg", Vec3{}, 0, 22050);
        } else {
            openPage(page);
        }
    } else if (is("okcontinuegame")) {
        menu.gameTipCounter += 1;
        game.flags.menuActive = false;
    } else if (is("main")) {
        if (named(page, "defeat")) {
            toMainOnMenuScreen();
        } else {
            menu.selectedItem = 0;
            const bool saved =
                menuRoutes.saveRunningGame != nullptr && menuRoutes.saveRunningGame();
            if (saved) {
                showMessageBoxKey("savemsg", true);
            } else {
                toMainOnMenuScreen();
            }
        }
    } else if (is("oknextlevel")) {
        game.flags.menuActive = false;
        // The level is won and its page seen: on to the next level.
        if (game.flags.levelCompletePage) {
            advanceLevel();
        }
    } else if (is("ok")) {
        if (named(page->parent, "defeat")) {
            goBack();
        } else {
            toMainOnMenuScreen();
        }
    } else if (is("back") || is("cancel")) {
        if (named(page, "hiscore") && gameScreenCurrent()) {
            scoreTables.highlight = -1;
            toMainOnMenuScreen();
        } else {
            goBack();
        }
    } else if (is("no")) {
        if (named(page, "loadgamequest")) {
            // A fresh game of the mode chosen, as without a saved game.
            const int m = mode();
            p.lives[m] = 3;
            MenuPage* levels = findPage(m == 0 ? "adventure" : "puzzle");
            if (levels != nullptr) {
                levels->parent = findPage("main");
            }
            openPage(levels);
        } else {
            goBack();
        }
    } else if (is("yes")) {
        answerYes();
    } else if (is("adventure")) {
        openModeItem(0);
    } else if (is("puzzle")) {
        openModeItem(1);
    } else if (is("exit")) {
        showMessageBoxKey("quit", false);
    } else if (is("start")) {
        if (named(page, "adventure") || named(page, "puzzle")) {
            startFromLevelPage();
        }
    } else if (is("apply")) {
        applyOptions();
        goBack();
    } else if (is("default")) {
        restoreDefaults();
        openPage(page);
    } else if (is("instructions")) {
        showHelpOverlay(true);
        if (menuRoutes.showGameScreen != nullptr) {
            menuRoutes.showGameScreen();
        }
    } else if (is("credits")) {
        openPage(item);
    } else {
        openChild(item);
    }
}

void goBack() {
    MenuPage* page = menu.currentPage;
    if (named(page, "gameplay") || named(page, "replaywin") || named(page, "replayloss")) {
        game.flags.menuActive = false;
    } else if (named(page, "credits")) {
        requestMusic(0);
        openParent();
    } else if (named(page, "main")) {
        menu.menuHidden = true;
    } else if (named(page, "hiscore")) {
        scoreTables.highlight = -1;
        openParent();
    } else if (named(page, "adventure") || named(page, "puzzle")) {
        openPageByName("main");
    } else if (named(page, "options")) {
        callSaveAll();
        openParent();
    } else {
        openParent();
    }
    menu.backPending = false;
}

void openModePage() {
    if (menuRoutes.showMenuScreen != nullptr) {
        menuRoutes.showMenuScreen();
    }
    game.flags.menuActive = false;
    setMenuBackdrop(1);
    menu.entering = false;
    menu.leaving = false;
    openPageByName(mode() == 0 ? "adventure" : "puzzle");
    requestMusic(0);
}

void openMainPage() {
    toMenuScreen();
    menu.entering = false;
    menu.leaving = false;
    openPageByName("main");
}

void openInfoPage() {
    toMenuScreen();
    menu.entering = false;
    menu.leaving = false;
    openPageByName("info");
}

void openInGamePage(const char* name) {
    // The game's page takes over from any slide still running.
    menu.entering = false;
    menu.leaving = false;
    menu.activatePending = false;
    menu.backPending = false;
    menu.menuHidden = false;
    MenuPage* page = findPage(name);
    if (page == nullptr) {
        return;
    }
    game.flags.menuActive = true;
    openPage(page);
}

void applyOptions() {
    if (!onPage("options")) {
        return;
    }
    const int32_t want = menu.fullScreenCopy != 0 ? 1 : 0;
    if (want == renderDevice.fullScreen) {
        return;
    }
    renderDevice.fullScreen = want;
    settings.fullScreen = want != 0;
    settings.windowWidth = 800;
    settings.windowHeight = 600;
    if (menuRoutes.applyDisplayMode != nullptr) {
        menuRoutes.applyDisplayMode();
    }
}

void restoreDefaults() {
    if (onPage("video")) {
        renderDevice.trueColour = 1;
        setBrightness(0.5f);
        renderDevice.verticalSync = 0;
        renderDevice.resolutionIndex = 1;
        requestDisplayReset();
    } else if (onPage("audio")) {
        audio.effectsVolume = 50;
        audio.musicVolume = 50;
        applyVolumes();
    }
}

}  // namespace corsavel
