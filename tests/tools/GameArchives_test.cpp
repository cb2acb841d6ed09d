// The sample game's archives, as the build makes them (game/archives.cmake):
// every picture the start-up script extracts is there, at a sensible size,
// and the world window's script lays the scenery out on the screen.
#include <gtest/gtest.h>

#include <allegro5/allegro.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>
#include <string>

#include "combat/GUICombatCharDisplay.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DataLibraryImageLua.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/BackgroundManager.h"
#include "world/BackgroundObject.h"
#include "world/CameraManager.h"

namespace {

const std::string kGame = std::string(QEL_SOURCE_DIR) + "/game/";

// Where the start-up script files the pictures of the standard and scenery
// archives (section "Images").
struct Where {
    const char* catalogue;
    const char* heading;
    std::vector<const char*> names;
};
const std::vector<Where> kFiled = {
    {"GUI", "Windows", {"MoonCorner", "MoonHorizontal", "MoonVertical"}},
    {"GUI", "Misc", {"CheckBoxChecked", "CheckBoxUnchecked", "ScrollBarBlank", "ScrollBarBox"}},
    {"GUI", "Bubbles", {"ResponseBubble"}},
    {"Misc", "Icons", {"IconImg"}},
    {"Misc", "Shadows", {"ShadowL", "ShadowM", "ShadowS", "ShadowT"}},
    {"Misc", "ItemIcons", {"ItemBorder"}},
    {"GUI", "Chat", {"ChatPane"}},
    {"GUI", "Combat", {"Base", "ButtonN", "ButtonL", "ButtonD", "PageButtonUpN", "PageButtonUpL", "PageButtonUpD",
                       "PageButtonDnN", "PageButtonDnL", "PageButtonDnD", "CharDisplay"}},
    {"Background", "Scenery", {"StarrySky", "Clouds", "FarHills", "NearHills"}},
    {"Characters", "Sprites", {"ElderStand", "ZezazoruA", "ZezazoruB", "UpStairImg"}},
};

// The start-up script names the standard archive as the source of the map
// textures; the entry is taken out and freed like the pictures.
void DropTextureFile(DataLibrary& library) {
    void* entry = library.RemovePointer("Images", "Maps", "Textures", "StandardTextures", DataKind::TextureFile);
    EXPECT_TRUE(entry);
    delete static_cast<TextureFile*>(entry);
}

class GameArchivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        for (const char* name : {"Data/StandardTextures.sif", "Data/TitleScreen.sif", "Data/Backgrounds.sif"})
            ASSERT_TRUE(std::filesystem::exists(kGame + name))
                << kGame + name << " is missing: build the game_archives target";
    }
    // The caches go to the temporary working directory, not into the game.
    testsupport::TempDir dir_;
};

TEST_F(GameArchivesTest, StartUpScriptFilesEveryPictureWhereTheEngineLooks) {
    // The game's scripts, run in a folder holding a copy of the archive, so
    // that the cache copy is made there.
    std::filesystem::create_directories("Data");
    std::filesystem::copy_file(kGame + "Data/StandardTextures.sif", "Data/StandardTextures.sif");
    std::filesystem::copy_file(kGame + "Data/Backgrounds.sif", "Data/Backgrounds.sif");
    ExternalImageManager images;
    GetGlobalState()->imageManager = &images;
    {
        testsupport::LuaTestState lua;
        ExternalImageManager::RegisterLuaFunctions(lua.L());
        RegisterDataLibraryImageLuaFunctions(lua.L());
        lua.Manager().SetBasePath(kGame);
        testsupport::StderrCapture quiet;  // fonts and sounds are not here
        lua.Manager().RunFile("Paths.lua", -1);
        lua.Manager().RunFile("Data/Scripts/System/Loading/Routing.lua", -1);
        std::string printed = quiet.Take();
        EXPECT_EQ(printed.find("ExternalImageManager"), std::string::npos) << printed;
        EXPECT_EQ(printed.find("DL_Extract"), std::string::npos) << printed;
        for (const Where& w : kFiled) {
            for (const char* name : w.names) {
                // Taken out again: the library never frees what it holds.
                void* bitmap = lua.Library().RemovePointer("Images", w.catalogue, w.heading, name, DataKind::Bitmap);
                EXPECT_TRUE(bitmap) << name;
                delete static_cast<BitmapWrapper*>(bitmap);
            }
        }
        // The status displays' shared plate was one of them.
        GUICombatCharDisplay::SetBaseImage(static_cast<BitmapWrapper*>(nullptr));
        DropTextureFile(lua.Library());
        // The heading the title screen files its background in.
        EXPECT_TRUE(lua.Library().GetHeading("Images", "TitleScreen", "General"));
        EXPECT_FALSE(images.IsOpen());
        EXPECT_TRUE(std::filesystem::exists("Data/Decompress/StandardTextures.sif"));
        EXPECT_TRUE(std::filesystem::exists("Data/Decompress/Backgrounds.sif"));
    }
    GetGlobalState()->imageManager = nullptr;
}

TEST_F(GameArchivesTest, PicturesHaveTheirSizesAndPlaces) {
    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile(kGame + "Data/StandardTextures.sif"));
    // The border pieces share one size; the shadows shrink and stay centred
    // in their common 28 x 12 frame.
    std::unique_ptr<BitmapWrapper> corner(images.GetBitmapFromActiveFile("MoonCorner"));
    std::unique_ptr<BitmapWrapper> edge(images.GetBitmapFromActiveFile("MoonHorizontal"));
    ASSERT_TRUE(corner && edge);
    EXPECT_EQ(corner->GetWidth(), edge->GetWidth());
    EXPECT_EQ(corner->GetHeight(), edge->GetHeight());
    int previousWidth = 29;
    for (const char* name : {"ShadowL", "ShadowM", "ShadowS", "ShadowT"}) {
        std::unique_ptr<BitmapWrapper> shadow(images.GetBitmapFromActiveFile(name));
        ASSERT_TRUE(shadow) << name;
        EXPECT_LT(shadow->GetWidth(), previousWidth) << name;
        previousWidth = shadow->GetWidth();
        EXPECT_NEAR(shadow->GetOffsetX() * 2 + shadow->GetWidth(), 28, 1) << name;
        EXPECT_NEAR(shadow->GetOffsetY() * 2 + shadow->GetHeight(), 12, 1) << name;
    }
}

TEST_F(GameArchivesTest, TheBattleScreenPicturesHaveTheSizesOfTheirWindows) {
    struct Picture {
        const char* archive;
        const char* name;
        int width, height;
    } pictures[] = {
        {"Data/Backgrounds.sif", "Combat_ForestBackground", 800, 600},
        {"Data/StandardTextures.sif", "CombatBase", 800, 600},
        {"Data/StandardTextures.sif", "CombatButtonN", 107, 33},
        {"Data/StandardTextures.sif", "CombatButtonD", 107, 33},
        {"Data/StandardTextures.sif", "PageButtonUpN", 11, 11},
        {"Data/StandardTextures.sif", "PageButtonDnL", 11, 11},
        {"Data/StandardTextures.sif", "CombatCharDisplay", 113, 66},
    };
    for (const Picture& p : pictures) {
        ExternalImageManager images;
        ASSERT_TRUE(images.OpenFile(kGame + p.archive));
        std::unique_ptr<BitmapWrapper> picture(images.GetBitmapFromActiveFile(p.name));
        ASSERT_TRUE(picture) << p.name;
        EXPECT_EQ(picture->GetWidth(), p.width) << p.name;
        EXPECT_EQ(picture->GetHeight(), p.height) << p.name;
    }
}

TEST_F(GameArchivesTest, TitleArchiveHoldsAWindowSizedBackground) {
    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile(kGame + "Data/TitleScreen.sif"));
    std::unique_ptr<BitmapWrapper> background(images.GetBitmapFromActiveFile("Background"));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->GetWidth(), 800);
    EXPECT_EQ(background->GetHeight(), 600);
}

// The first row from the top whose pixel in the column is mostly opaque; the
// height when there is none.
int TopOfSolid(ALLEGRO_BITMAP* bitmap, int x) {
    int height = al_get_bitmap_height(bitmap);
    for (int y = 0; y < height; ++y) {
        unsigned char r, g, b, a;
        al_unmap_rgba(al_get_pixel(bitmap, x, y), &r, &g, &b, &a);
        if (a > 128) return y;
    }
    return height;
}

TEST_F(GameArchivesTest, SceneryStripsWrapAroundAndStandOnTheGround) {
    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile(kGame + "Data/Backgrounds.sif"));
    std::unique_ptr<BitmapWrapper> sky(images.GetBitmapFromActiveFile("StarrySky"));
    std::unique_ptr<BitmapWrapper> clouds(images.GetBitmapFromActiveFile("Clouds"));
    ASSERT_TRUE(sky && clouds);
    EXPECT_EQ(sky->GetWidth(), 800);
    EXPECT_EQ(sky->GetHeight(), 600);
    // The bank of clouds is wider than the screen, so that it takes a while
    // to drift past.
    EXPECT_GT(clouds->GetWidth(), 800);
    for (const char* name : {"FarHills", "NearHills"}) {
        std::unique_ptr<BitmapWrapper> hills(images.GetBitmapFromActiveFile(name));
        ASSERT_TRUE(hills) << name;
        ALLEGRO_BITMAP* bitmap = hills->GetBitmap();
        ASSERT_TRUE(bitmap) << name;
        int width = hills->GetWidth(), height = hills->GetHeight();
        EXPECT_EQ(width, 800) << name;
        // Drawn wrapped around, the last column meets the first: no step in
        // the ridge at the seam.
        EXPECT_LE(std::abs(TopOfSolid(bitmap, 0) - TopOfSolid(bitmap, width - 1)), 3) << name;
        // Clear sky above every ridge, solid ground at the bottom row.
        for (int x = 0; x < width; x += 40) {
            int top = TopOfSolid(bitmap, x);
            EXPECT_GT(top, 0) << name << " x " << x;
            EXPECT_LT(top, height - 1) << name << " x " << x;
        }
    }
    images.CloseFile();
}

TEST_F(GameArchivesTest, WorldWindowShowsTheSceneryAndTheCloudsDrift) {
    for (const char* name : {"Data/StandardTextures.sif", "Data/Backgrounds.sif"}) {
        std::filesystem::create_directories("Data");
        std::filesystem::copy_file(kGame + name, name);
    }
    GlobalState* state = GetGlobalState();
    const int32_t savedWidth = state->windowWidth, savedHeight = state->windowHeight;
    state->windowWidth = 800;  // the camera takes the window's size
    state->windowHeight = 600;
    std::vector<std::unique_ptr<BitmapWrapper>> pictures;
    {
        testsupport::LuaTestState lua;
        ExternalImageManager::RegisterLuaFunctions(lua.L());
        RegisterDataLibraryImageLuaFunctions(lua.L());
        lua.Manager().SetBasePath(kGame);
        {
            testsupport::StderrCapture quiet;  // fonts and sounds are not here
            lua.Manager().RunFile("Paths.lua", -1);
            lua.Manager().RunFile("Data/Scripts/System/Loading/Routing.lua", -1);
        }
        testsupport::StderrCapture cap;
        EXPECT_TRUE(lua.Manager().RunFile("Data/Scripts/System/Windows/World.lua", -1));
        EXPECT_EQ(cap.Take(), "");

        // A full-screen world window at the back of the top level.
        GUIBaseObject* window = lua.Gui().FindObject("EnvironmentWindow");
        ASSERT_TRUE(window);
        EXPECT_EQ(window->GetType(), kTypeGUIEnvironmentWindow);
        EXPECT_EQ(window->GetWidth(), 800);
        NamedList* top = lua.Gui().GetTopLevelList();
        EXPECT_EQ(top->GetAt(top->GetCount() - 1), window);

        // Sky, clouds and hills, back to front: the strips wrap, the clouds
        // move, and the background is drawn with the map on the empty map.
        BackgroundManager& backgrounds = lua.Backgrounds();
        ASSERT_EQ(backgrounds.GetObjectCount(), 4);
        const char* order[] = {"Sky", "Clouds", "FarHills", "NearHills"};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(backgrounds.GetObjectAt(i), backgrounds.FindObject(order[i])) << i;
        BackgroundObject* clouds = backgrounds.FindObject("Clouds");
        ASSERT_TRUE(clouds);
        EXPECT_FALSE(clouds->IsModulo());
        EXPECT_TRUE(backgrounds.FindObject("Sky")->IsModulo());
        EXPECT_TRUE(backgrounds.FindObject("FarHills")->IsModulo());
        EXPECT_TRUE(backgrounds.FindObject("NearHills")->IsModulo());
        EXPECT_TRUE(lua.Maps().GetBackgroundDisplayState());
        ASSERT_TRUE(lua.Maps().GetMapName());
        EXPECT_EQ(*lua.Maps().GetMapName(), "DebugRoom");

        // Drawn as the world window draws it, the pictures cover the whole
        // view: nothing is left in the fill colour (made loud for the check).
        backgrounds.SetFillColor(255, 0, 255);
        Camera* camera = lua.Cameras().GetActiveCamera();
        ASSERT_TRUE(camera);
        BitmapWrapper view(800, 600, &state->openGLMode);
        view.ClearToBlack();
        lua.Maps().Draw(&view, camera, false);
        int uncovered = 0;
        for (int y = 0; y < 600; y += 10) {
            for (int x = 0; x < 800; x += 10) {
                unsigned char r, g, b;
                al_unmap_rgb(al_get_pixel(view.GetBitmap(), x, y), &r, &g, &b);
                if (r == 255 && g == 0 && b == 255) ++uncovered;
            }
        }
        EXPECT_EQ(uncovered, 0);

        // The clouds are on screen from the start, cross it a pixel a tick
        // and are gone once past the right edge; the rest stays.
        const int32_t startX = clouds->GetX();
        EXPECT_LT(startX, 800);
        EXPECT_GT(startX + clouds->GetWidth(), 0);
        backgrounds.Update();
        EXPECT_EQ(clouds->GetX(), startX + 1);
        for (int32_t x = startX + 1; x < 800; ++x) backgrounds.Update();
        EXPECT_EQ(backgrounds.GetObjectCount(), 3);
        EXPECT_FALSE(backgrounds.FindObject("Clouds"));
        EXPECT_TRUE(backgrounds.FindObject("NearHills"));

        // The library never frees what it holds; the pictures go after the
        // managers that point at them.
        DropTextureFile(lua.Library());
        for (const Where& w : kFiled) {
            for (const char* name : w.names)
                pictures.emplace_back(static_cast<BitmapWrapper*>(
                    lua.Library().RemovePointer("Images", w.catalogue, w.heading, name, DataKind::Bitmap)));
        }
        GUICombatCharDisplay::SetBaseImage(static_cast<BitmapWrapper*>(nullptr));
    }
    state->windowWidth = savedWidth;
    state->windowHeight = savedHeight;
}

}  // namespace
