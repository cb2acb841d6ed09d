// The sample game's archives, as the build makes them (game/archives.cmake):
// every picture the start-up script extracts is there, at a sensible size.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>
#include <string>

#include "core/BitmapWrapper.h"
#include "core/DataLibrary.h"
#include "core/DataLibraryImageLua.h"
#include "core/ExternalImageManager.h"
#include "core/GlobalState.h"
#include "core/LuaManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

const std::string kGame = std::string(QEL_SOURCE_DIR) + "/game/";

class GameArchivesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        for (const char* name : {"Data/StandardTextures.sif", "Data/TitleScreen.sif"})
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
        struct Where {
            const char* catalogue;
            const char* heading;
            std::vector<const char*> names;
        };
        for (const Where& w : {Where{"GUI", "Windows", {"MoonCorner", "MoonHorizontal", "MoonVertical"}},
                               Where{"GUI", "Misc", {"CheckBoxChecked", "CheckBoxUnchecked", "ScrollBarBlank",
                                                     "ScrollBarBox"}},
                               Where{"GUI", "Bubbles", {"ResponseBubble"}}, Where{"Misc", "Icons", {"IconImg"}},
                               Where{"Misc", "Shadows", {"ShadowL", "ShadowM", "ShadowS", "ShadowT"}},
                               Where{"Misc", "ItemIcons", {"ItemBorder"}}}) {
            for (const char* name : w.names) {
                // Taken out again: the library never frees what it holds.
                void* bitmap = lua.Library().RemovePointer("Images", w.catalogue, w.heading, name, DataKind::Bitmap);
                EXPECT_TRUE(bitmap) << name;
                delete static_cast<BitmapWrapper*>(bitmap);
            }
        }
        // The heading the title screen files its background in.
        EXPECT_TRUE(lua.Library().GetHeading("Images", "TitleScreen", "General"));
        EXPECT_FALSE(images.IsOpen());
        EXPECT_TRUE(std::filesystem::exists("Data/Decompress/StandardTextures.sif"));
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

TEST_F(GameArchivesTest, TitleArchiveHoldsAWindowSizedBackground) {
    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile(kGame + "Data/TitleScreen.sif"));
    std::unique_ptr<BitmapWrapper> background(images.GetBitmapFromActiveFile("Background"));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->GetWidth(), 800);
    EXPECT_EQ(background->GetHeight(), 600);
}

}  // namespace
