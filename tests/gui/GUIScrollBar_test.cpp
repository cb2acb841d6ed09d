// Scroll bars: layout and range, clamped values, dragging with the mouse,
// stepping by the arrow buttons, drawing and named properties.
#include "gui/GUIScrollBar.h"

#include <gtest/gtest.h>

#include <string>

#include "core/media/BitmapWrapper.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIButton.h"
#include "gui/ListWidgetTestImages.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"

namespace {

using testsupport::LuaTestState;

TEST(GUIScrollBar, LayoutRangeArrowsDrawingAndFields) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    ListWidgetTestImages images(lua.Library());
    ASSERT_EQ(
        testsupport::RunScript(lua,
                               "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Bar', 'GUIScrollBar') "
                               "GUISB_SetScrollData(10, 20, 30, 100, 1) GUISB_SetScrollData(10, 20, 30, 100, true)"),
        "");
    auto* bar = static_cast<GUIScrollBar*>(lua.Gui().FindObject("Bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVertical());  // a true flag counts as much as 1
    EXPECT_EQ(bar->GetWidth(), 8);
    EXPECT_EQ(bar->GetHighestValue(), 76);
    // A second layout replaces the arrows instead of leaving the old ones.
    ASSERT_EQ(bar->GetChildList()->GetCount(), 2);
    auto* sub = static_cast<GUIButton*>(bar->FindChild("SubClickButton"));
    auto* add = static_cast<GUIButton*>(bar->FindChild("AddClickButton"));
    ASSERT_TRUE(sub && add);
    EXPECT_EQ(add->GetY1(), 92);
    EXPECT_EQ(add->GetDrawFlags(), ALLEGRO_FLIP_VERTICAL);  // the top arrow upside down
    EXPECT_EQ(sub->GetDrawFlags(), 0);
    EXPECT_EQ(add->GetCallback(), &Button_Scrollbar_Increment);
    EXPECT_EQ(sub->GetCallback(), &Button_Scrollbar_Decrement);

    bar->SetValue(40);
    BitmapWrapper screen(200, 200, &GetGlobalState()->openGLMode);
    lua.Gui().Draw(&screen);
    EXPECT_EQ(Px(&screen, 13, 20 + 4), 0xc8c8c8ffu);       // the top arrow
    EXPECT_EQ(Px(&screen, 13, 20 + 12), 0x0000c8ffu);      // the track
    EXPECT_EQ(Px(&screen, 13, 20 + 48 + 4), 0x00c800ffu);  // the box at value + 8
    EXPECT_EQ(Px(&screen, 20, 50), 0x000000ffu);           // nothing right of the bar

    PropertyRouter& router = lua.Router();
    auto* value = static_cast<int32_t*>(router.Route("GUI", "Bar", "mBoxCurrentValue"));
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kInt);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 40);
    EXPECT_NE(router.Route("GUI", "Bar", "isVertical"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kByte);
    EXPECT_EQ(router.Route("GUI", "Bar", "mStep"), nullptr);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kNone);
    EXPECT_EQ(testsupport::RunScript(lua, "GUIOL_AddObject('W', 'GUIWindow') GUISB_SetScrollData(0, 0, 8, 50, 1)"),
              "GUISB SetScrollData:  Failed, Active Object was not a GUIScrollbar\n");

    // Horizontal: the arrows sit at the two ends and belong to the bar.
    GUIScrollBar flat;
    flat.SetScrollData(0, 0, 60, 30, false);
    EXPECT_EQ(flat.GetWidth(), 60);
    EXPECT_EQ(flat.GetHighestValue(), 36);
    GUIBaseObject* flatAdd = flat.FindChild("AddClickButton");
    ASSERT_NE(flatAdd, nullptr);
    EXPECT_EQ(flatAdd->GetX1(), 52);
    EXPECT_EQ(flatAdd->GetParent(), &flat);

    // Values clamp; the step never drops to 0; a bar too short for travel
    // holds its lowest value.
    flat.SetValue(-5);
    EXPECT_EQ(flat.GetValue(), 0);
    flat.SetValue(1000);
    EXPECT_EQ(flat.GetValue(), 36);
    flat.SetStep(0);
    EXPECT_EQ(flat.GetStep(), 1);
    flat.SetStep(10);
    EXPECT_EQ(flat.GetFirstShownIndex(), 3);
    flat.Increment();
    EXPECT_EQ(flat.GetValue(), 36);
    GUIScrollBar tiny;
    tiny.SetScrollData(0, 0, 1, 1, true);
    tiny.SetValue(5);
    EXPECT_EQ(tiny.GetValue(), 0);
}

TEST(GUIScrollBar, DragsAndStepsWithTheMouse) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    ListWidgetTestImages images(lua.Library());
    GUIManager& gui = lua.Gui();
    ASSERT_EQ(testsupport::RunScript(lua,
                                     "GUI_SetActiveObjectList('Base') "
                                     "GUIOL_AddObject('A', 'GUIScrollBar') GUISB_SetScrollData(10, 20, 30, 100, 1) "
                                     "GUIOL_AddObject('B', 'GUIScrollBar') GUISB_SetScrollData(50, 20, 30, 100, 1)"),
              "");
    auto* a = static_cast<GUIScrollBar*>(gui.FindObject("A"));
    auto* b = static_cast<GUIScrollBar*>(gui.FindObject("B"));
    ASSERT_TRUE(a && b);

    // A press on the track (not on the box) starts a drag; 10 pixels down
    // from 70 stops at 76.
    a->SetValue(70);
    Mouse(gui, 0, 12, 50);
    EXPECT_TRUE(a->IsDraggingBox());
    EXPECT_EQ(gui.GetDragObject(), a);
    EXPECT_EQ(gui.GetScrollBarInUse(), a);
    Mouse(gui, -1, 12, 60);
    EXPECT_EQ(a->GetValue(), 76);
    Mouse(gui, 1, 12, 60);
    EXPECT_FALSE(a->IsDraggingBox());
    EXPECT_EQ(gui.GetDragObject(), nullptr);
    EXPECT_EQ(gui.GetScrollBarInUse(), nullptr);

    // Released elsewhere: the drag stops, the manager keeps the bar.
    Mouse(gui, 0, 12, 50);
    Mouse(gui, 1, 300, 300);
    EXPECT_FALSE(a->IsDraggingBox());
    EXPECT_EQ(gui.GetScrollBarInUse(), a);
    Mouse(gui, -1, 12, 20);
    EXPECT_EQ(a->GetValue(), 76);

    // Arrow clicks step the arrow's own bar, not the bar used last.
    b->SetStep(5);
    Mouse(gui, 0, 52, 115);
    Mouse(gui, 1, 52, 115);
    EXPECT_EQ(b->GetValue(), 5);
    EXPECT_EQ(a->GetValue(), 76);
    for (int i = 0; i < 2; ++i) {
        Mouse(gui, 0, 52, 22);
        Mouse(gui, 1, 52, 22);
    }
    EXPECT_EQ(b->GetValue(), 0);

    // Without a clicked arrow, the callbacks act on the bar in use, if any.
    gui.SetClickedButton(nullptr);
    gui.SetScrollBarInUse(a);
    EXPECT_TRUE(Button_Scrollbar_Decrement(nullptr));
    EXPECT_EQ(a->GetValue(), 75);
    gui.SetScrollBarInUse(nullptr);
    EXPECT_FALSE(Button_Scrollbar_Increment(nullptr));
}

}  // namespace
