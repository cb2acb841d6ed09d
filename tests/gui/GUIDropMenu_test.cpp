// Drop menus: fields and entries built from scripts, the menu's height, its
// drawing, and running an entry's script.
#include "gui/GUIDropMenu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/media/BitmapWrapper.h"
#include "gui/ListWidgetTestImages.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/TempDir.h"

namespace {

using testsupport::LuaTestState;

TEST(GUIDropMenu, BuildsFieldsAndEntriesAndRunsThem) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    dir.WriteFile("open.lua", "opened = GetScriptCode()\n");
    LuaTestState lua;
    ASSERT_EQ(testsupport::RunScript(lua,
                                     "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Menu', 'GUIDropMenu') "
                                     "GUIG_SetDimensions(5, 6, 200, 20) "
                                     "GUIDM_AddField('File') GUIDM_AddField('Edit') "
                                     "GUIDM_AddEntry('File', 'Open', 'Open...', 'open.lua', 7, 0) "
                                     "GUIDM_AddEntry('File', 'Quit', 'Quit', '', -1, true)"),
              "");
    auto* menu = static_cast<GUIDropMenu*>(lua.Gui().FindObject("Menu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetHeight(), 52);
    for (int i = 0; i < 5; ++i) lua.Run("GUIDM_AddEntry('Edit', 'E" + std::to_string(i) + "', 'Item', '', 0, 0)");
    // Two fields of 2 and 5 entries: (5 + 1) x 16 + 4; the place stays.
    EXPECT_EQ(menu->GetHeight(), 100);
    EXPECT_EQ(menu->GetX1(), 5);
    EXPECT_EQ(menu->GetMostEntries(), 5);

    const GUIDropMenu::Entry* quit = menu->FindEntry("File", "Quit");
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->marker, menu->GetMarkerCount());
    EXPECT_EQ(menu->FindEntry("File", "Open")->marker, nullptr);

    EXPECT_EQ(testsupport::RunScript(lua, "GUIDM_AddEntry('View', 'A', 'a', '', 0, 0)"),
              "GUIDropMenu AddEntry:  Failed, did not find field View\n");
    EXPECT_EQ(testsupport::RunScript(lua, "GUIDM_ModifyEntry('View', 'A', 'a', '', 0, 0)"),
              "GUIDropMenu ModifyEntry:  Failed, did not find field View\n");
    EXPECT_EQ(testsupport::RunScript(lua, "GUIDM_ModifyEntry('File', 'Save', 'a', '', 0, 0)"),
              "GUIDropMenu ModifyEntry:  Failed, did not find entry Save\n");
    EXPECT_EQ(testsupport::RunScript(lua, "GUIDM_ModifyEntry('File', 'Open', 'Open file', 'open.lua', 9, 1)"), "");
    const GUIDropMenu::Entry* open = menu->FindEntry("File", "Open");
    EXPECT_EQ(open->label, "Open file");
    EXPECT_EQ(open->scriptArgument, 9);
    EXPECT_EQ(open->marker, menu->GetMarkerCount());

    GUIDropMenu::RunEntry(*open);
    EXPECT_EQ(lua.GetNumber("opened"), 9);
    GUIDropMenu::RunEntry(*quit);  // no script: nothing runs

    EXPECT_EQ(testsupport::RunScript(lua, "GUIOL_AddObject('T', 'GUITextLine') GUIDM_AddField('X')"),
              "GUIDM AddField:  Failed, Active Object is not a GUIDropMenu\n");
    EXPECT_EQ(menu->GetFieldCount(), 2);
}

TEST(GUIDropMenu, DrawsEachColumnUnderItsField) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    ASSERT_EQ(testsupport::RunScript(lua,
                                     "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Menu', 'GUIDropMenu') "
                                     "GUIG_SetDimensions(0, 0, 200, 20) "
                                     "GUIDM_AddField('Options') GUIDM_AddField('Go') "
                                     "GUIDM_AddEntry('Go', 'Now', 'Now', '', 0, 0)"),
              "");
    auto* menu = static_cast<GUIDropMenu*>(lua.Gui().FindObject("Menu"));
    // The menu takes no input.
    lua.Gui().SetMousePosition(10, 10);
    EXPECT_FALSE(lua.Gui().HandleMouseEvent(0));

    BitmapWrapper screen(300, 200, &GetGlobalState()->openGLMode);
    lua.Gui().Draw(&screen);
    EXPECT_EQ(Px(&screen, 150, 10), 0xd6ddefffu);  // the bar
    // "Options" is 60 wide and has no entries; "Go" (20 wide) follows it
    // and its one entry's backdrop spans 60 to 80, below the bar.
    EXPECT_EQ(Px(&screen, 70, 30), 0xc4c4c4ffu);
    EXPECT_EQ(Px(&screen, 30, 30), 0x000000ffu);
    EXPECT_EQ(Px(&screen, 90, 30), 0x000000ffu);
    EXPECT_EQ(menu->GetOpenField(), 1);
    // Drawn far out (a menu's own position in OpenGL mode): nothing overflows.
    menu->SetDrawPosition(INT32_MAX - 5, INT32_MAX - 5);
    menu->Render();
}

}  // namespace
