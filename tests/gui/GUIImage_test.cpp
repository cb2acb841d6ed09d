// Images, smart images, check boxes and colour boxes.
#include "gui/GUIImage.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUICheckBox.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIManager.h"
#include "gui/GUISmartImage.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/TempDir.h"

namespace {

using testsupport::LuaTestState;
using testsupport::RunScript;

void Mouse(GUIManager& gui, int event, float x, float y) {
    gui.SetMousePosition(x, y);
    gui.HandleMouseEvent(event);
}

TEST(GUIImage, ImagesAndColourBoxesDrawWhatTheyAreGiven) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper picture(6, 4, gl);
    picture.ClearToRGBA(0, 200, 0, 255);
    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "Misc");
    library.AddHeading("Images", "Misc", "Icons");
    library.Register("Images", "Misc", "Icons", "Leaf", &picture, DataKind::Bitmap);

    ASSERT_EQ(RunScript(lua,
                        "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Img', 'GUIImage')"
                        "GUIG_SetDimensions(2, 2, 20, 20) GUII_SetImage('Leaf') GUII_SetImage('Missing')"),
              "");
    auto* image = static_cast<GUIImage*>(gui.FindObject("Img"));
    EXPECT_EQ(image->GetImage(), &picture);
    EXPECT_EQ(image->GetWidth(), 6);
    EXPECT_EQ(image->GetX2(), 22);  // the rectangle stays

    ASSERT_EQ(RunScript(lua,
                        "GUIOL_AddObject('Box', 'GUIColorBox') GUIG_SetDimensions(30, 0, 10, 10)"
                        "GUIColB_SetColorData(300, 20, 30.9, 255)"),
              "");
    BitmapWrapper screen(64, 64, gl);
    gui.Draw(&screen);
    EXPECT_EQ(Px(&screen, 3, 3), 0x00c800ffu);
    EXPECT_EQ(Px(&screen, 12, 12), 0x000000ffu);  // outside the picture
    EXPECT_EQ(Px(&screen, 35, 5), 0x2c141effu);   // 300 taken as a byte
    PropertyRouter& router = lua.Router();
    auto* red = static_cast<int32_t*>(router.Route("GUI", "Box", "Red"));
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(*red, 300);
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kInt);

    EXPECT_EQ(RunScript(lua, "GUII_SetImage('Leaf')"), "GUII SetImage: Failed, Active Object is not a GUIImage\n");
    EXPECT_EQ(RunScript(lua, "GUISI_SetImage('GUI', 'Box', 'Red')"),
              "GUISI SetImage:  Failed, Active Object is not a SmartImage\n");
    gui.SetActiveObject(image);
    EXPECT_EQ(RunScript(lua, "GUIColB_SetColorData(1, 2, 3, 4)"),
              "GUIColB SetColorData:  Failed, Active Object is not a GUIColorBox\n");

    // A smart image without a bitmap property shows nothing, children neither.
    ASSERT_EQ(RunScript(lua,
                        "GUIOL_AddObject('Smart', 'GUISmartImage') GUIG_SetDimensions(0, 30, 20, 20)"
                        "GUISI_SetImage('GUI', 'Box', 'Red')"),
              "");
    auto* smart = static_cast<GUISmartImage*>(gui.FindObject("Smart"));
    auto* inner = new GUIColorBox;
    smart->AddChild("Inner", inner);
    inner->SetDimensions(0, 0, 5, 5);
    inner->SetColor(255, 255, 255, 255);
    screen.ClearToBlack();
    gui.Draw(&screen);
    EXPECT_EQ(smart->GetShownImage(), nullptr);
    EXPECT_EQ(Px(&screen, 2, 32), 0x000000ffu);
}

TEST(GUIImage, CheckBoxTogglesOnAClickAndRunsItsFiles) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    dir.WriteFile("on.lua", "log = (log or '') .. 'on' .. GetScriptCode() .. ' '\n");
    dir.WriteFile("off.lua", "log = (log or '') .. 'off' .. GetScriptCode() .. ' '\n");
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper checked(8, 8, gl), unchecked(8, 8, gl);
    checked.ClearToRGBA(0, 255, 0, 255);
    unchecked.ClearToRGBA(255, 0, 0, 255);
    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    library.AddHeading("Images", "GUI", "Misc");
    library.Register("Images", "GUI", "Misc", "CheckBoxChecked", &checked, DataKind::Bitmap);
    library.Register("Images", "GUI", "Misc", "CheckBoxUnchecked", &unchecked, DataKind::Bitmap);

    ASSERT_EQ(RunScript(lua,
                        "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Tick', 'GUICheckBox')"
                        "GUIG_SetDimensions(0, 0, 8, 8) GUICB_SetFiringData('on.lua', 1.7, 'off.lua', -2.9)"),
              "");
    auto* box = static_cast<GUICheckBox*>(gui.FindObject("Tick"));
    EXPECT_TRUE(box->IsChecked());
    BitmapWrapper screen(16, 16, gl);
    gui.Draw(&screen);
    EXPECT_EQ(Px(&screen, 4, 4), 0x00ff00ffu);

    // Checked first: the first click unchecks and runs the uncheck file.
    Mouse(gui, 0, 4, 4);
    Mouse(gui, 1, 4, 4);
    EXPECT_FALSE(box->IsChecked());
    Mouse(gui, 0, 4, 4);
    Mouse(gui, 1, 4, 4);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(lua.GetString("log"), "off-2 on1 ");
    // Pressed inside, released outside, then a release inside after a
    // press elsewhere: no toggle.
    Mouse(gui, 0, 4, 4);
    Mouse(gui, 1, 12, 12);
    Mouse(gui, 1, 4, 4);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(lua.GetString("log"), "off-2 on1 ");
    Mouse(gui, 0, 4, 4);
    Mouse(gui, 1, 4, 4);
    gui.Draw(&screen);
    EXPECT_EQ(Px(&screen, 4, 4), 0xff0000ffu);

    gui.SetActiveObject(nullptr);
    EXPECT_EQ(RunScript(lua, "GUICB_SetFiringData('a', 1, 'b', 2)"),
              "GUICB SetFiringData:  Failed, Active Object not set\n");
}

}  // namespace
