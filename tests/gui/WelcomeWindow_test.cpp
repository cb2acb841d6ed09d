// The sample game's welcome window: its script builds a movable framed
// window holding a view of the title picture, silently; without the title
// archive it builds nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIManager.h"
#include "gui/GUIScrollableWindow.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

TEST(WelcomeWindow, BuildsAFramedWindowWithAViewOfTheTitlePicture) {
    const std::string game = std::string(QEL_SOURCE_DIR) + "/game/";
    ASSERT_TRUE(std::filesystem::exists(game + "Data/TitleScreen.sif")) << "build the game_archives target";
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    ExternalImageManager::RegisterLuaFunctions(lua.L());
    lua.Manager().SetBasePath(game);
    ASSERT_TRUE(lua.Manager().RunFile("Paths.lua", -1));
    GUIManager* gui = GetGlobalState()->guiManager;
    auto run = [&] {
        testsupport::StderrCapture cap;
        EXPECT_TRUE(lua.Manager().RunFile("Data/Scripts/System/Windows/Welcome.lua", -1));
        return cap.Take();
    };
    EXPECT_EQ(run(), "");
    EXPECT_EQ(gui->FindObject("WelcomeWindow"), nullptr);

    std::filesystem::create_directories("Data");
    std::filesystem::copy_file(game + "Data/TitleScreen.sif", "Data/TitleScreen.sif");
    // The frame images that Routing.lua files from the standard archive.
    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    for (const char* catalogue : {"GUI", "Background"}) library.AddCatalogue("Images", catalogue);
    library.AddHeading("Images", "GUI", "Windows");
    library.AddHeading("Images", "Background", "Scenery");
    BitmapWrapper frameImage(10, 10, &GetGlobalState()->openGLMode);
    frameImage.ClearToRGBA(250, 240, 170, 255);
    for (const char* name : {"MoonCorner", "MoonHorizontal", "MoonVertical"})
        library.Register("Images", "GUI", "Windows", name, &frameImage, DataKind::Bitmap);

    EXPECT_EQ(run(), "");
    auto* picture = static_cast<BitmapWrapper*>(
        library.RemovePointer("Images", "Background", "Scenery", "TitleBackground", DataKind::Bitmap));
    ASSERT_NE(picture, nullptr);
    GUIBaseObject* frame = gui->FindObject("WelcomeWindow");
    auto* view = static_cast<GUIScrollableWindow*>(gui->FindObject("WelcomeView"));
    ASSERT_TRUE(frame && view);
    EXPECT_FALSE(frame->IsLocked());
    EXPECT_FALSE(view->IsLocked());
    EXPECT_EQ(view->GetParent(), frame);
    EXPECT_EQ(view->GetBackgroundPic(), picture);
    EXPECT_EQ(gui->GetActiveObjectList(), gui->GetTopLevelList());

    BitmapWrapper screen(800, 600, &GetGlobalState()->openGLMode);
    gui->Draw(&screen);
    // Wherever the window stands: its frame, its panel, the view's picture.
    const int x = frame->GetX1(), y = frame->GetY1();
    EXPECT_EQ(Px(&screen, x + 1, y + 1), 0xfaf0aaffu);
    EXPECT_EQ(Px(&screen, x + 12, y + 12), 0x101430ffu);
    EXPECT_EQ(Px(&screen, x + 16 + 100, y + 16 + 80), Px(picture, 446 + 100, 76 + 80));
    delete picture;
}
