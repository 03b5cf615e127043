// The drawing primitives register what they draw: buttons in drawing order
// (the n-th stands for item n), list lines per item, widgets that keep their
// values by slot, and the fold of the leaving page.
#include <gtest/gtest.h>

#include "gfx/font.h"
#include "menu_fixture.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"
#include "ui/menu.h"
#include "ui/menu_draw.h"

namespace corsavel {
namespace {

class MenuDraw : public ::testing::Test {
protected:
    void SetUp() override {
        renderDevice = RenderDeviceState{};
        device_.install();
        resetTextState();
        Font font;
        for (float& a : font.advance) {
            a = 0.5f;
        }
        ASSERT_TRUE(addFont(font));
        ASSERT_TRUE(test::loadShippedMenus());
    }
    void TearDown() override {
        resetMenus();
        resetTextState();
        device_.uninstall();
    }
    RecordingDevice device_;
};

TEST_F(MenuDraw, ItemListRegistersOneButtonPerLineTwoSizesApart) {
    menu.currentPage = findPage("profiles");  // five items
    drawItemList(100.0f, 0.0f, 10.0f, true, 2, -1);
    ASSERT_EQ(menu.buttonCount, 3);
    const float widest = widestItemCaption(10.0f, 2, -1);
    // H = 2 s n = 60: the first line at H/2 - s = 20.
    EXPECT_FLOAT_EQ(menu.buttons[0].top, 20.0f + 12.0f);
    EXPECT_FLOAT_EQ(menu.buttons[0].bottom, 20.0f - 8.0f);
    EXPECT_FLOAT_EQ(menu.buttons[1].top, 0.0f + 12.0f);
    EXPECT_FLOAT_EQ(menu.buttons[0].left, 100.0f - 10.0f - widest / 2.0f);
    EXPECT_FLOAT_EQ(menu.buttons[0].right, 100.0f + widest / 2.0f);
}

TEST_F(MenuDraw, PanelOverNoItemsRegistersNothing) {
    menu.currentPage = findPage("exit");
    EXPECT_EQ(widestItemCaption(18.0f), -1.0f);
    drawItemPanel(0.0f, 0.0f, 18.0f, true);
    EXPECT_EQ(menu.buttonCount, 0);
}

TEST_F(MenuDraw, ButtonsStandForItemsInDrawingOrder) {
    menu.currentPage = findPage("messageboxyn");
    drawButton(90.0f, 0.0f, 135.0f, 64.0f, 17.0f);   // stands for item 0, "yes"
    drawButton(-90.0f, 0.0f, 135.0f, 64.0f, 17.0f);  // item 1, "no"
    ASSERT_EQ(menu.buttonCount, 2);
    EXPECT_FLOAT_EQ(menu.buttons[0].left, 90.0f - 67.5f);
    EXPECT_FLOAT_EQ(menu.buttons[0].top, 32.0f);
    EXPECT_STREQ(itemCaption(0), "Yes");
    EXPECT_STREQ(itemCaption(1), "No");
    EXPECT_STREQ(itemCaption(2), "");
}

TEST_F(MenuDraw, SliderTakesItsBoundValueOnlyWhileThePageSlidesIn) {
    int32_t volume = 40;
    menu.entering = true;
    drawSlider(-80.0f, 10.0f, 80.0f, 10.0f, 101, &volume);
    EXPECT_EQ(menu.widgets[0].value, 40);
    EXPECT_FLOAT_EQ(menu.widgets[0].top, 25.0f);
    menu.entering = false;
    menu.widgetCount = 0;
    volume = 70;  // changed elsewhere: the slider keeps its own value
    drawSlider(-80.0f, 10.0f, 80.0f, 10.0f, 101, &volume);
    EXPECT_EQ(volume, 40);
    uint8_t box = 1;
    menu.entering = true;
    drawCheckBox(0.0f, 0.0f, &box);
    EXPECT_EQ(menu.widgets[1].flag, 1);
    EXPECT_EQ(menu.widgets[1].kind, WidgetKind::CheckBox);
}

TEST_F(MenuDraw, FoldedPagesScaleYByOneMinusTheFactorSquared) {
    menu.transitionFactor = 0.5f;
    beginFold();
    EXPECT_FLOAT_EQ(getWorld().m[1][1], 0.75f);
    endFold();
    EXPECT_FLOAT_EQ(getWorld().m[1][1], 1.0f);
}

TEST_F(MenuDraw, DrawMenuRebuildsTheListsEveryFrame) {
    menu.currentPage = findPage("options");
    drawMenu();
    const int widgets = menu.widgetCount;
    const int buttons = menu.buttonCount;
    EXPECT_EQ(widgets, 4);
    EXPECT_EQ(buttons, 2);
    drawMenu();
    EXPECT_EQ(menu.widgetCount, widgets);
    EXPECT_EQ(menu.buttonCount, buttons);
    menu.currentPage = nullptr;
    drawMenu();
    EXPECT_EQ(menu.buttonCount, 0);
}

}  // namespace
}  // namespace corsavel
