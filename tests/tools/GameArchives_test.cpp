// The sample game's archives, as the build makes them (game/archives.cmake):
// every picture the start-up script extracts is there, at a sensible size,
// and the world window's script lays the scenery out on the screen.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/StandardWindows.h"
#include "combat/GUICombatCharDisplay.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/SampleGameScripts.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/BackgroundManager.h"
#include "world/BackgroundObject.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"

namespace {

const std::string kGame = testsupport::SampleGameScripts::GameFolder();

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
    {"GUI",
     "Combat",
     {"Base", "ButtonN", "ButtonL", "ButtonD", "PageButtonUpN", "PageButtonUpL", "PageButtonUpD", "PageButtonDnN",
      "PageButtonDnL", "PageButtonDnD", "CharDisplay"}},
    {"Background", "Scenery", {"StarrySky", "Clouds", "FarHills", "NearHills"}},
    {"GUI",
     "Buttons",
     {"ButtonOptn0", "ButtonOptn1", "ButtonOptn2", "ButtonExit0", "ButtonExit1", "ButtonExit2", "ButtonArroSB0",
      "ButtonArroSB1", "ButtonArroSB2", "ButtonArroSBF0", "ButtonArroSBF1", "ButtonArroSBF2"}},
    {"Characters",
     "Bramle",
     {"BramleDown0", "BramleDown1", "BramleDown2", "BramleDown3", "BramleUp0", "BramleUp1", "BramleUp2", "BramleUp3",
      "BramleLeft0", "BramleLeft1", "BramleLeft2", "BramleLeft3", "BramleRight0", "BramleRight1", "BramleRight2",
      "BramleRight3"}},
    {"Characters", "Sprites", {"ElderStand", "ZezazoruA", "ZezazoruB", "UpStairImg"}},
};

// Takes every picture the start-up scripts filed out of the library again
// and frees it: the library never frees what it holds.
void FreeFiledPictures(DataLibrary& library) {
    for (const Where& w : kFiled)
        for (const char* name : w.names)
            while (void* bitmap = library.RemovePointer("Images", w.catalogue, w.heading, name, DataKind::Bitmap))
                delete static_cast<BitmapWrapper*>(bitmap);
    while (void* bitmap = library.RemovePointer("Images", "Background", "Scenery", "TitleBackground", DataKind::Bitmap))
        delete static_cast<BitmapWrapper*>(bitmap);
}

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
        for (const char* name :
             {"Data/StandardTextures.sif", "Data/TitleScreen.sif", "Data/Backgrounds.sif", "Data/Characters.sif"})
            ASSERT_TRUE(std::filesystem::exists(kGame + name))
                << kGame + name << " is missing: build the game_archives target";
    }
    // The caches go to the temporary working directory, not into the game.
    testsupport::TempDir dir_;
};

TEST_F(GameArchivesTest, StartUpScriptFilesEveryPictureWhereTheEngineLooks) {
    // The game's scripts, run in a folder holding a copy of the archive, so
    // that the cache copy is made there.
    testsupport::SampleGameScripts::CopyFromGame(
        {"Data/StandardTextures.sif", "Data/Backgrounds.sif", "Data/Characters.sif"});
    ExternalImageManager images;
    GetGlobalState()->imageManager = &images;
    {
        testsupport::SampleGameScripts lua;
        const std::string& printed = lua.StartUpOutput();
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
    // The prompt to click is written in moon gold across the foot of the
    // picture, centred, over the dark hills.
    int gold = 0, left = 800, right = -1;
    for (int y = 530; y < 570; ++y)
        for (int x = 0; x < 800; ++x) {
            unsigned char r, g, b;
            al_unmap_rgb(al_get_pixel(background->GetBitmap(), x, y), &r, &g, &b);
            if (r < 200 || g < 190 || b > 190) continue;
            ++gold;
            left = std::min(left, x);
            right = std::max(right, x);
        }
    EXPECT_GT(gold, 500);
    EXPECT_NEAR((left + right) / 2.0, 400, 6);
    EXPECT_GT(right - left, 200);
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
    testsupport::SampleGameScripts::CopyFromGame({"Data/StandardTextures.sif", "Data/Backgrounds.sif"});
    GlobalState* state = GetGlobalState();
    const int32_t savedWidth = state->windowWidth, savedHeight = state->windowHeight;
    state->windowWidth = 800;  // the camera takes the window's size
    state->windowHeight = 600;
    std::vector<std::unique_ptr<BitmapWrapper>> pictures;
    {
        testsupport::SampleGameScripts lua;
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

namespace {

// Opaque pixels of a bitmap, and a fingerprint of where they are.
struct Coverage {
    int opaque = 0;
    uint64_t print = 0;
};
Coverage Cover(BitmapWrapper* bitmap) {
    Coverage c;
    for (int y = 0; y < bitmap->GetHeight(); ++y)
        for (int x = 0; x < bitmap->GetWidth(); ++x) {
            unsigned char r, g, b, a;
            al_unmap_rgba(al_get_pixel(bitmap->GetBitmap(), x, y), &r, &g, &b, &a);
            if (a < 128) continue;
            ++c.opaque;
            c.print = c.print * 1099511628211ull + static_cast<uint64_t>(y * 64 + x) * 977 + r + g * 3 + b * 7;
        }
    return c;
}

}  // namespace

TEST_F(GameArchivesTest, TheAvatarWalksInFourDirectionsOnItsShadow) {
    // Run in a folder with copies of the archives, as the program runs in
    // the game's folder.
    testsupport::SampleGameScripts::CopyFromGame(
        {"Data/StandardTextures.sif", "Data/Backgrounds.sif", "Data/Characters.sif"});
    ExternalImageManager images;
    GetGlobalState()->imageManager = &images;
    {
        testsupport::SampleGameScripts lua;
        PlayerVorn player;
        GetGlobalState()->player = &player;
        player.SetAvatarScript("Data/Scripts/NPCs/Bramle/Constructor.lua");
        testsupport::StderrCapture cap;
        player.CreateAvatar();
        EXPECT_EQ(cap.Take(), "");
        NonPlayingCharacter* avatar = player.GetAvatar();
        ASSERT_NE(avatar, nullptr);
        ASSERT_NE(avatar->GetAppearance(), nullptr);

        // The appearance for a state, a timer and a direction.
        BitmapWrapper frame(800, 600, nullptr);
        Camera camera(0, 0, 800, 600);
        player.SetPosition(200, 300, 0);
        auto look = [&](const char* state, int timer, int direction) {
            avatar->SetActiveStateByName(state);
            avatar->SetAnimTimerAndDirection(timer, direction);
            avatar->MarkAppearanceDirty();
            frame.ClearToRGBA(0, 0, 0, 0);
            avatar->Draw(&frame, &camera);
            // What the view shows: the figure is drawn straight from its frame.
            return Cover(&frame);
        };
        // Standing: a figure of a good size, the same at every timer.
        const Coverage standing = look("Stationary", 0, 4);
        EXPECT_GT(standing.opaque, 200);
        EXPECT_EQ(look("Stationary", 13, 4).print, standing.print);
        // Walking down: four frames of 8 ticks, the legs moving between them.
        std::vector<uint64_t> walk;
        for (int timer : {0, 8, 16, 24, 32}) walk.push_back(look("Walking", timer, 4).print);
        EXPECT_NE(walk[1], walk[0]);
        EXPECT_NE(walk[3], walk[1]);
        EXPECT_EQ(walk[4], walk[0]);  // the cycle starts again
        // Four views: up, right, down and left differ; the diagonals take the
        // side views.
        const uint64_t up = look("Walking", 8, 0).print, right = look("Walking", 8, 2).print;
        const uint64_t down = look("Walking", 8, 4).print, left = look("Walking", 8, 6).print;
        EXPECT_NE(up, down);
        EXPECT_NE(left, right);
        EXPECT_NE(left, up);
        EXPECT_EQ(look("Walking", 8, 3).print, right);
        EXPECT_EQ(look("Walking", 8, 7).print, left);

        // The picture stands on the character's feet: drawn 9 left of and
        // 28 above the position, so its bottom centre is where the shadow is.
        look("Stationary", 0, 4);
        int lowest = -1, left0 = 800, right0 = -1;
        for (int y = 260; y < 320; ++y)
            for (int x = 170; x < 230; ++x) {
                unsigned char r, g, b, a;
                al_unmap_rgba(al_get_pixel(frame.GetBitmap(), x, y), &r, &g, &b, &a);
                if (a < 128) continue;
                lowest = std::max(lowest, y);
                left0 = std::min(left0, x);
                right0 = std::max(right0, x);
            }
        EXPECT_GE(lowest, 297);
        EXPECT_LE(lowest, 305);  // the shadow reaches a few pixels below the feet
        EXPECT_NEAR((left0 + right0) / 2.0, 200, 2.5);
        GetGlobalState()->player = nullptr;
        FreeFiledPictures(lua.Library());
        DropTextureFile(lua.Library());
    }
    GetGlobalState()->imageManager = nullptr;
}

// The welcome window opens on the meadow's first tick, clear of the player;
// the meadow moves the pause menu clear of the chat window (y 400 on).
TEST_F(GameArchivesTest, TheMeadowOpensTheWelcomeWindowOnItsFirstTickOnly) {
    testsupport::SampleGameScripts::CopyFromGame({"Data/StandardTextures.sif", "Data/TitleScreen.sif"});
    ExternalImageManager images;
    GetGlobalState()->imageManager = &images;
    {
        testsupport::SampleGameScripts lua;
        PlayerVorn player;
        GetGlobalState()->player = &player;
        {
            testsupport::StderrCapture quiet;  // fonts and sounds are not here
            lua.Manager().RunFile("Data/Scripts/System/Windows/Welcome.lua", -1);
        }
        GUIBaseObject* welcome = lua.Gui().FindObject("WelcomeWindow");
        ASSERT_TRUE(welcome);
        GUIBaseObject* pause = BuildPauseMenu();
        ASSERT_TRUE(pause);
        EXPECT_GT(pause->GetY2(), 400);
        // In a 1024 x 768 window the options menu and the dialogue box are
        // built in the middle and along the bottom of the whole window.
        const int32_t width = GetGlobalState()->windowWidth, height = GetGlobalState()->windowHeight;
        GetGlobalState()->windowWidth = 1024;
        GetGlobalState()->windowHeight = 768;
        GUIBaseObject* options = BuildOptionsMenu();
        GUIBaseObject* box = GUIDialogueManager::Create(lua.Gui());
        GetGlobalState()->windowWidth = width;
        GetGlobalState()->windowHeight = height;
        ASSERT_TRUE(options && box);
        EXPECT_GT(options->GetY2(), 400);
        // Leaving the title hides it with every other window.
        lua.Gui().HideAllObjects();
        EXPECT_FALSE(welcome->IsVisible());

        // The meadow loads (its script runs inside the map change, which
        // ends by hiding the windows again) and places the player on the square.
        testsupport::StderrCapture cap;
        lua.Manager().RunFile("Data/Scripts/Maps/DebugRoom.lua", -2);
        lua.Gui().ShowStandardUI();
        EXPECT_FALSE(welcome->IsVisible());
        EXPECT_EQ(player.GetDimensions()->X, 224);
        EXPECT_EQ(player.GetDimensions()->Y, 668);
        EXPECT_LE(pause->GetY2(), 400);
        EXPECT_FALSE(pause->IsVisible());
        // The meadow puts them where they stand in an 800 x 600 window.
        EXPECT_EQ(options->GetY2(), 400);
        EXPECT_EQ(box->GetY1(), 380);
        EXPECT_EQ(box->GetX2(), 800);
        EXPECT_FALSE(options->IsVisible() || box->IsVisible());
        // Its first tick opens the window, right of where the player stands
        // on the screen (left of the middle).
        lua.Entities().UpdateAll();
        EXPECT_TRUE(welcome->IsVisible());
        EXPECT_GT(welcome->GetX1(), 250);
        // Closed, it stays closed, through later ticks and a second visit.
        welcome->Close();
        lua.Entities().UpdateAll();
        lua.Manager().RunFile("Data/Scripts/Maps/DebugRoom.lua", -2);
        lua.Entities().UpdateAll();
        EXPECT_FALSE(welcome->IsVisible());
        std::string printed = cap.Take();
        EXPECT_EQ(printed.find("WelcomeWindow"), std::string::npos) << printed;
        EXPECT_EQ(printed.find("GUIG"), std::string::npos) << printed;
        GetGlobalState()->player = nullptr;
        FreeFiledPictures(lua.Library());
        DropTextureFile(lua.Library());
    }
    GetGlobalState()->imageManager = nullptr;
}
