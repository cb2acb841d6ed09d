// The window families' script functions, on windows made by GUIOL_AddObject.
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "gui/GUIManager.h"
#include "gui/GUIResizeWindow.h"
#include "gui/GUIScrollableWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"

namespace {

TEST(GUIWindowLua, FactoryTypesSettersAndTheirFailureLines) {
    testsupport::EnsureAllegro();
    testsupport::LuaTestState lua;
    ASSERT_TRUE(
        lua.Run("GUI_SetActiveObjectList('Base')\nGUIOL_AddObject('W', 'GUIWindow')\n"
                "GUIOL_AddObject('S', 'GUIScrollableWindow')\nGUIOL_AddObject('R', 'GUIResizeWindow')\n"
                "GUIOL_AddObject('EnvironmentWindow', 'GUIEnvironmentWindow')"));
    GUIManager* gui = GetGlobalState()->guiManager;
    const std::pair<const char*, int> made[] = {{"W", 3300}, {"S", 3301}, {"R", 3302}, {"EnvironmentWindow", 3500}};
    for (const auto& [name, type] : made) {
        ASSERT_NE(gui->FindObject(name), nullptr) << name;
        EXPECT_EQ(gui->FindObject(name)->GetType(), type) << name;
    }
    auto with = [&](const char* name, const std::string& chunk) {
        gui->SetActiveObject(gui->FindObject(name));
        return testsupport::RunScript(lua, chunk);
    };
    const std::string all =
        "GUIW_SetBackgroundColor(10.9, 276, -1)\n"
        "GUISW_SetBackgroundPic(12)\nGUISW_SetWindowDimensions(1.9, -2.5, 30, 40)\n"
        "GUISW_SetPictureDimensions(5, 6, 7, 8)\nGUISW_SetWindowBorderWidth(3)\n"
        "GUIRSW_SetBackgroundPic('Sky')\nGUIRSW_SetWindowDimensions(4, 5, 6.7, 8)\n"
        "GUIRSW_SetPictureDimensions(-1, -2, -3, -4)\nGUIRSW_SetWindowBorderWidth(9)\n";
    const char* families[] = {
        "GUIW SetBackgroundColor",    "GUISW SetBackgroundPic",      "GUISW SetWindowDimentions",
        "GUISW SetPictureDimentions", "GUISW SetWindowBorderWidth",  "GUIRSW SetBackgroundPic",
        "GUIRSW SetWindowDimensions", "GUIRSW SetPictureDimensions", "GUIRSW SetWindowBorderWidth"};
    // Each family acts on its exact type only (no subclass passes for a
    // plain window) and says so for every other.
    auto lines = [&](int from, int to, const std::string& what) {
        std::string text;
        for (int i = from; i < to; ++i) text += std::string(families[i]) + ":  Failed, " + what + "\n";
        return text;
    };
    EXPECT_EQ(with("W", all), lines(1, 5, "Active Object is not a GUIScrollableWindow") +
                                  lines(5, 9, "Active Object is not a GUIResizeWindow"));
    unsigned char r, g, b;
    al_unmap_rgb(static_cast<GUIWindow*>(gui->FindObject("W"))->GetBackgroundColor(), &r, &g, &b);
    EXPECT_EQ(r * 65536 + g * 256 + b, 10 * 65536 + 20 * 256 + 255);
    EXPECT_EQ(with("S", all), lines(0, 1, "Active Object is not a GUIWindow") +
                                  "GUIScrollableWindow::setBackgroundPic: rBgPic file 12 not found\n" +
                                  lines(5, 9, "Active Object is not a GUIResizeWindow"));
    auto* s = static_cast<GUIScrollableWindow*>(gui->FindObject("S"));
    EXPECT_EQ(s->GetX1() * 1000 + s->GetY1(), 1000 - 2);
    EXPECT_EQ(s->GetWidth(), 30);
    EXPECT_EQ(s->GetViewX1() + s->GetViewY2() + s->GetBorderWidth(), 5 + 8 + 3);
    EXPECT_EQ(with("R", all), lines(0, 1, "Active Object is not a GUIWindow") +
                                  lines(1, 5, "Active Object is not a GUIScrollableWindow") +
                                  "GUIRSW SetDisplay: rBgPic file Sky not found\n");
    auto* rs = static_cast<GUIResizeWindow*>(gui->FindObject("R"));
    EXPECT_EQ(rs->GetX1() + rs->GetWidth(), 4 + 6);
    EXPECT_EQ(rs->GetViewX1() + rs->GetViewY2() + rs->GetBorderWidth(), -1 - 4 + 9);
    EXPECT_EQ(with("EnvironmentWindow", "GUIW_SetBackgroundColor(1, 2, 3)"),
              lines(0, 1, "Active Object is not a GUIWindow"));

    EXPECT_EQ(with("Missing", all), lines(0, 9, "Active Object not set"));
    GetGlobalState()->guiManager = nullptr;
    EXPECT_EQ(with("Missing", all), lines(0, 9, "GUIManager does not exist"));
    GetGlobalState()->guiManager = gui;
}

}  // namespace
