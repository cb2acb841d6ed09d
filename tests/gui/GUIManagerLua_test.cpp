// The GUI_, GUIOL_ and GUIG_ script functions on the engine's Lua state.
#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::StderrCapture;

namespace {}  // namespace

TEST(GUIManagerLua, ActiveObjectAndListSelection) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObject('Win')"),
              "GUI SetActiveObject:  Failed, Active Object List was not set\n");
    EXPECT_EQ(RunScript(lua, "GUIOL_AddObject('Win', 'GUIWindow', 'extra')")
                  .find("GUIOL AddObject: Failed, Active "
                        "Object List not set\n"),
              0u);

    gui.ResetActiveObjectList();
    auto* window = new GUIBaseObject;
    gui.AddActiveObject("Win", window);
    auto* child = new GUIBaseObject;
    window->AddChild("Child", child);
    EXPECT_EQ(window->GetPathName(), "Root/Win");

    // An unknown type changes nothing.
    EXPECT_EQ(RunScript(lua, "GUIOL_AddObject('New', 'GUIBanana')"),
              "GUIOL AddObject:  Failed, could not discern type GUIBanana\n");
    EXPECT_EQ(gui.GetActiveObject(), window);
    EXPECT_EQ(gui.GetTopLevelList()->GetCount(), 1);

    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectList('Win') GUI_SetActiveObject('Child')"), "");
    EXPECT_EQ(gui.GetActiveObject(), child);
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObject('Win')"), "GUI SetActiveObject:  Warning, Object Win not found\n");
    EXPECT_EQ(gui.GetActiveObject(), nullptr);
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectList('Gone')"),
              "GUI SetActiveObjectList:  Warning, list owner Gone not found\n");
    EXPECT_EQ(gui.GetActiveObjectList(), nullptr);
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectList('Base') GUI_SetActiveObject('Win')"), "");
    EXPECT_EQ(gui.GetActiveObject(), window);

    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectAndListFromBase('Child')"), "");
    EXPECT_EQ(gui.GetActiveObject(), child);
    EXPECT_EQ(gui.GetListOwner(), child);
    EXPECT_EQ(gui.GetActiveObjectList(), child->GetChildList());
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectAndListFromBase('Nope')"),
              "GUI SetActiveObjectAndListFromBase:  Warning, object Nope not found\n");
    EXPECT_EQ(gui.GetActiveObjectList(), gui.GetTopLevelList());
    EXPECT_EQ(gui.GetListOwner(), nullptr);

    // A created widget joins the selected list and becomes the active object.
    EXPECT_EQ(RunScript(lua, "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Made', 'GUIWindow')"), "");
    ASSERT_NE(gui.GetActiveObject(), nullptr);
    EXPECT_EQ(gui.GetActiveObject()->GetPathName(), "Root/Made");
    EXPECT_EQ(gui.GetActiveObject()->GetType(), kTypeGUIWindow);
    EXPECT_EQ(gui.FindObject("Made"), gui.GetActiveObject());

    // Without a manager every function says so and nothing breaks.
    GlobalState* state = GetGlobalState();
    state->guiManager = nullptr;
    EXPECT_EQ(RunScript(lua, "GUI_HideAllObjects() GUIG_Show()"),
              "GUI HideAllObjects:  Failed, GUIManager does not exist\n"
              "GUIG Show:  Failed, GUIManager does not exist\n");
    state->guiManager = &gui;
}

TEST(GUIManagerLua, GeneralFunctionsActOnTheActiveObject) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    EXPECT_EQ(RunScript(lua,
                        "GUIG_Show() GUIG_Hide() GUIG_Flip() GUIG_SetLock(0) GUIG_SetDimensions(1, 2, 3, 4) "
                        "GUIG_SetBorderImages('a', 'b', 'c') GUIG_AddToStandardUI()"),
              "GUIG Show:  Failed, Active Object not set\n"
              "GUIG Hide:  Failed, Active Object not set\n"
              "GUIG Flip:  Failed, Active Object not set\n"
              "GUIG SetLock:  Failed, Active Object not set\n"
              "GUIG SetDimensions:  Failed, Active Object not set\n"
              "GUIG SetBorderImages:  Failed, Active Object not set\n"
              "GUIG_AddToStandardUI:  Failed, Active Object not set\n");

    gui.ResetActiveObjectList();
    auto* window = new GUIBaseObject;
    gui.AddActiveObject("Win", window);
    EXPECT_EQ(RunScript(lua, "GUIG_SetDimensions(10.9, -2.5, 30, 40) GUIG_SetLock(0)"), "");
    EXPECT_EQ(window->GetX1(), 10);
    EXPECT_EQ(window->GetY1(), -2);
    EXPECT_EQ(window->GetX2(), 40);
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->IsLocked());
    RunScript(lua, "GUIG_Flip()");
    EXPECT_FALSE(window->IsSelfVisible());
    RunScript(lua, "GUIG_Show() GUIG_SetLock(2)");
    EXPECT_TRUE(window->IsSelfVisible());
    EXPECT_TRUE(window->IsLocked());
    RunScript(lua, "GUIG_AddToStandardUI()");
    EXPECT_EQ(gui.GetStandardUIList()->GetCount(), 1);

    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper corner(6, 6, gl), edge(2, 2, gl);
    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    library.AddCatalogue("Images", "Misc");
    library.AddHeading("Images", "GUI", "Windows");
    library.AddHeading("Images", "Misc", "Cursors");
    lua.Library().Register("Images", "GUI", "Windows", "Corner", &corner, DataKind::Bitmap);
    lua.Library().Register("Images", "GUI", "Windows", "Edge", &edge, DataKind::Bitmap);
    lua.Library().Register("Images", "Misc", "Cursors", "Hand", &edge, DataKind::Bitmap);
    EXPECT_EQ(RunScript(lua,
                        "GUIG_SetBorderImages('Corner', 'Edge', 'Edge') GUI_SetStdCursor('Images', 'Misc', "
                        "'Cursors', 'Hand')"),
              "");
    EXPECT_TRUE(window->IsBorderOn());
    EXPECT_EQ(window->GetGrabWidth(), 6);
    EXPECT_EQ(gui.GetStdCursor(), &edge);

    // Default borders come from the library's "Moon" images.
    lua.Library().Register("Images", "GUI", "Windows", "MoonCorner", &corner, DataKind::Bitmap);
    {
        StderrCapture capture;
        gui.LoadDefaultBorderImages();
        EXPECT_NE(capture.Take().find("MoonHorizontal does not exist"), std::string::npos);
    }
    EXPECT_EQ(gui.GetDefaultCorner(), &corner);
    EXPECT_EQ(gui.GetDefaultHorizontal(), nullptr);
    GUIBaseObject plain;
    plain.UseDefaultBorder();
    EXPECT_TRUE(plain.IsBorderOn());
    EXPECT_EQ(plain.GetGrabWidth(), 0);

    RunScript(lua, "GUI_HideAllObjects('ignored')");
    EXPECT_FALSE(window->IsSelfVisible());
}
