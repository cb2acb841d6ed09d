// Lists: sizing with their scroll bar, entries bound through the property
// router, picking rows with the mouse (scrolled too), drawing.
#include "gui/GUIList.h"

#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIScrollBar.h"
#include "gui/ListWidgetTestImages.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"

namespace {

using testsupport::LuaTestState;
using testsupport::StderrCapture;

std::string Pointer(const void* p) {
    char text[64];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

// A list "Roster" at (0, 0), 100 wide, at the top level.
GUIList* MakeList(LuaTestState& lua) {
    EXPECT_EQ(testsupport::RunScript(lua,
                                     "GUI_SetActiveObjectList('Base') "
                                     "GUIOL_AddObject('Roster', 'GUIList') GUIG_SetDimensions(0, 0, 100, 10)"),
              "");
    return static_cast<GUIList*>(lua.Gui().FindObject("Roster"));
}

TEST(GUIList, EntriesAreRoutedAndForgetTheirOwners) {
    testsupport::EnsureAllegro();
    // The input box keeps no text without a font.
    std::unique_ptr<ALLEGRO_FONT, void (*)(ALLEGRO_FONT*)> font(al_create_builtin_font(), &al_destroy_font);
    ASSERT_NE(font, nullptr);
    LuaTestState lua;
    ListWidgetTestImages images(lua.Library());
    lua.Library().AddSection("Fonts");
    lua.Library().AddCatalogue("Fonts", "General");
    lua.Library().AddHeading("Fonts", "General", "System");
    lua.Library().Register("Fonts", "General", "System", "SystemFont", font.get(), DataKind::Font);
    GUIList* list = MakeList(lua);
    ASSERT_EQ(testsupport::RunScript(lua,
                                     "GUIL_SetListSize(3) "
                                     "GUIOL_AddObject('HeroName', 'GUIInputBox') GUIOL_AddObject('Hp', 'GUIScrollBar') "
                                     "GUI_SetActiveObject('Roster')"),
              "");
    auto* hero = static_cast<GUIInputTextBox*>(lua.Gui().FindObject("HeroName"));
    auto* hp = static_cast<GUIScrollBar*>(lua.Gui().FindObject("Hp"));
    ASSERT_TRUE(hero && hp);
    hero->SetString("Ayla");

    // Out of range: nothing happens and nothing is said.
    EXPECT_EQ(
        testsupport::RunScript(lua,
                               "GUIL_SetListEntry(3, 'GUI', 'HeroName', 'String', 'GUI', 'Hp', 'mBoxCurrentValue') "
                               "GUIL_SetListEntry(-1, 'GUI', 'HeroName', 'String', 'GUI', 'Hp', 'mBoxCurrentValue')"),
        "");
    EXPECT_EQ(testsupport::RunScript(
                  lua, "GUIL_SetListEntry(1, 'GUI', 'Hp', 'mBoxCurrentValue', 'GUI', 'Hp', 'mBoxCurrentValue')"),
              "GUIList SetListEntry:  Failed, did not find name in GUI Hp mBoxCurrentValue\n");
    EXPECT_EQ(testsupport::RunScript(lua, "GUIL_SetListEntry(1, 'GUI', 'HeroName', 'String', 'GUI', 'Hp', 'Nothing')"),
              "GUIList SetListEntry:  Failed, did not find object in GUI Hp Nothing\n");
    EXPECT_EQ(list->GetEntryName(1), nullptr);

    void* value = lua.Router().Route("GUI", "Hp", "mBoxCurrentValue");
    EXPECT_EQ(testsupport::RunScript(
                  lua, "GUIL_SetListEntry(1, 'GUI', 'HeroName', 'String', 'GUI', 'Hp', 'mBoxCurrentValue')"),
              "Name is Ayla, points to " + Pointer(value) + "\n");
    ASSERT_NE(list->GetEntryName(1), nullptr);
    EXPECT_EQ(*list->GetEntryName(1), "Ayla");
    EXPECT_EQ(list->GetEntryObject(1), value);
    EXPECT_EQ(list->GetEntryValueType(1), 2);

    // The owners go: the entry names and points to nothing, and drawing it
    // reads no freed memory.
    delete hero;
    EXPECT_EQ(list->GetEntryName(1), nullptr);
    EXPECT_EQ(list->GetEntryObject(1), value);
    delete hp;
    EXPECT_EQ(list->GetEntryObject(1), nullptr);
    BitmapWrapper screen(200, 200, &GetGlobalState()->openGLMode);
    lua.Gui().Draw(&screen);
}

TEST(GUIList, SizesItselfPicksTheRowUnderTheMouseAndDrawsIt) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    ListWidgetTestImages images(lua.Library());
    GUIManager& gui = lua.Gui();
    GUIList* list = MakeList(lua);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(testsupport::RunScript(lua,
                                     "GUIL_SetListSize(25) GUIOL_AddObject('Name', 'GUIInputBox') "
                                     "GUIOL_AddObject('Value', 'GUIScrollBar')"),
              "");
    GUIScrollBar* bar = list->GetListBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(list->GetHeight(), 164);
    EXPECT_EQ(bar->GetStep(), 9);
    EXPECT_EQ(bar->GetHighestValue(), 138);
    EXPECT_EQ(bar->GetX1(), 90);
    StderrCapture quiet;
    for (int i = 0; i < 25; ++i) list->SetListEntry(i, "GUI", "Name", "String", "GUI", "Value", "mBoxCurrentValue");
    quiet.Take();
    const void* value = list->GetEntryObject(0);

    // A press on the third row selects entry 2; the list does not take the
    // press, so it goes on to whatever lies below.
    gui.SetMousePosition(20, 2 + 16 * 2 + 5);
    EXPECT_FALSE(gui.HandleMouseEvent(0));
    EXPECT_EQ(list->GetSelectedIndex(), 2);
    EXPECT_EQ(list->GetSelectedObject(), value);
    EXPECT_EQ(list->GetSelectedValueType(), 2);
    Mouse(gui, 1, 20, 2 + 16 * 2 + 5);

    BitmapWrapper screen(200, 200, &GetGlobalState()->openGLMode);
    gui.Draw(&screen);
    EXPECT_EQ(Px(&screen, 10, 2 + 16 * 2 + 8), 0x800000ffu);
    EXPECT_NE(Px(&screen, 10, 2 + 16 * 1 + 8), 0x800000ffu);

    // Scrolled by the bar: the first row shown is entry 3, and the row under
    // the mouse picks the entry shown there.
    bar->SetValue(27);
    Mouse(gui, -1, 20, 150);
    EXPECT_EQ(list->GetFirstShown(), 3);
    Mouse(gui, 0, 20, 2 + 16 * 1 + 5);
    EXPECT_EQ(list->GetSelectedIndex(), 4);
    Mouse(gui, 1, 20, 2 + 16 * 1 + 5);
    // Dragging while pressed follows the mouse; the bar's end is clamped.
    Mouse(gui, 0, 20, 2 + 16 * 5 + 5);
    Mouse(gui, -1, 20, 2 + 16 * 6 + 5);
    EXPECT_EQ(list->GetSelectedIndex(), 9);
    Mouse(gui, 1, 20, 2 + 16 * 6 + 5);
    bar->SetValue(1000);
    Mouse(gui, -1, 20, 150);
    EXPECT_EQ(list->GetFirstShown(), 15);
    // Drawn far out (a list's own position in OpenGL mode): nothing
    // overflows.
    list->SelectRow(15);
    list->SetDrawPosition(INT32_MAX - 10, INT32_MAX - 10);
    list->Render();
    list->SetDrawPosition(0, 0);
    // A press outside clears the selection.
    Mouse(gui, 0, 250, 250);
    EXPECT_EQ(list->GetSelectedIndex(), -1);
    EXPECT_EQ(list->GetSelectedObject(), nullptr);

    EXPECT_EQ(testsupport::RunScript(lua, "GUI_SetActiveObject('Roster') GUIL_SetListSize(3)"), "");
    EXPECT_EQ(list->GetHeight(), 52);
    EXPECT_EQ(bar->GetStep(), 1);
    // More entries than the bar has pixels: one entry per pixel.
    list->SetListSize(500);
    EXPECT_EQ(bar->GetStep(), 1);
    EXPECT_EQ(testsupport::RunScript(lua, "GUIL_SetListSize(-1)"),
              "GUIL SetListSize:  Failed, invalid argument list\n");
    EXPECT_EQ(list->GetCount(), 500);
}

}  // namespace
