// The windows built in code: the menus' layout, centring, buttons and keys,
// find-or-create, and the title screen from its archive to its removal.
#include "app/StandardWindows.h"

#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/PathManager.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"
#include "gui/GUIImage.h"
#include "gui/GUIManager.h"
#include "gui/GUIWindow.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

using testsupport::StderrCapture;

namespace {

class StandardWindowsTest : public ::testing::Test {
protected:
    StandardWindowsTest() : saved(StartAllegro()) {
        GetGlobalState()->windowWidth = 800;
        GetGlobalState()->windowHeight = 600;
        Put("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
    }
    ~StandardWindowsTest() override {
        delete lua;  // the windows go before their font
        al_destroy_font(font);
        *GetGlobalState() = saved;
    }
    static GlobalState StartAllegro() {
        testsupport::EnsureAllegro();  // before the members make fonts and bitmaps
        return *GetGlobalState();
    }
    GUIBaseObject* Find(const char* name) { return lua->Gui().FindObject(name); }
    void Click(int x, int y) {
        lua->Gui().SetMousePosition(static_cast<float>(x), static_cast<float>(y));
        lua->Gui().HandleMouseEvent(kGUIEventPress);
        lua->Gui().HandleMouseEvent(kGUIEventRelease);
    }
    void Put(const char* s, const char* c, const char* h, const char* name, void* pointer, DataKind kind) {
        DataLibrary& library = lua->Library();
        library.AddSection(s);
        library.AddCatalogue(s, c);
        library.AddHeading(s, c, h);
        if (pointer) library.Register(s, c, h, name, pointer, kind);
    }
    BitmapWrapper* Filed() {
        StderrCapture quiet;
        return lua->Library().Get<BitmapWrapper>("Images", "TitleScreen", "General", "Background", DataKind::Bitmap);
    }

    GlobalState saved;
    testsupport::TempDir dir;
    testsupport::LuaTestState* lua = new testsupport::LuaTestState;
    ALLEGRO_FONT* font = al_create_builtin_font();
    uint8_t* gl = &GetGlobalState()->openGLMode;
};

TEST_F(StandardWindowsTest, MenusAreCentredClosedAndBuiltOnce) {
    {
        // A game without the menus' images gets plain menus, silently; only
        // the chat window reports its set-up.
        StderrCapture cap;
        BuildDefaultWindows();
        EXPECT_EQ(cap.Take(), "Setup - Done\n");
    }
    GUIBaseObject* pause = Find("PauseMenu");
    GUIBaseObject* options = Find("OptionsMenu");
    ASSERT_TRUE(pause && options);
    EXPECT_EQ(pause->GetX1(), 300);
    EXPECT_EQ(pause->GetY1(), 150);
    EXPECT_EQ(options->GetX1(), 200);
    EXPECT_EQ(options->GetY1(), 200);
    EXPECT_FALSE(pause->IsSelfVisible());
    EXPECT_FALSE(options->IsSelfVisible());
    EXPECT_FALSE(static_cast<GUIWindow*>(pause)->IsTransparent());
    EXPECT_EQ(pause->FindChild("GUIPauseMenu_Button_CloseMenu")->GetY1(), 258);
    EXPECT_NE(options->FindChild("GUIOptionsMenu NameLine"), nullptr);
    auto* quit = static_cast<GUIButton*>(pause->FindChild("GUIPauseMenu_Button_QuitGame"));
    EXPECT_TRUE(quit->OwnsImages());         // the text faces were made
    EXPECT_TRUE(quit->HasUnpaintedFaces());  // and wait to be shown

    const int count = lua->Gui().GetTopLevelList()->GetCount();
    BuildDefaultWindows();
    EXPECT_EQ(lua->Gui().GetTopLevelList()->GetCount(), count);
    EXPECT_EQ(BuildPauseMenu(), pause);
    EXPECT_EQ(BuildOptionsMenu(), options);

    // Another game window size moves the menus, never resizes them.
    delete lua;
    lua = new testsupport::LuaTestState;
    Put("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
    GetGlobalState()->windowWidth = 1024;
    GetGlobalState()->windowHeight = 768;
    BitmapWrapper corner(8, 8, gl), exit0(69, 29, gl);
    Put("Images", "GUI", "Windows", "MoonCorner", &corner, DataKind::Bitmap);
    Put("Images", "GUI", "Buttons", "ButtonExit0", &exit0, DataKind::Bitmap);
    BuildDefaultWindows();
    pause = Find("PauseMenu");
    options = Find("OptionsMenu");
    EXPECT_EQ(pause->GetX1(), 412);
    EXPECT_EQ(pause->GetY1(), 234);
    EXPECT_EQ(pause->GetWidth(), 200);
    EXPECT_EQ(options->GetX1(), 312);
    EXPECT_EQ(options->GetY1(), 284);
    EXPECT_EQ(pause->GetGrabWidth(), 8);
    EXPECT_EQ(static_cast<GUIButton*>(options->FindChild("Close_Menu_Button"))->GetNormalImage(), &exit0);
}

TEST_F(StandardWindowsTest, MenuButtonsOpenCloseAndQuit) {
    BuildDefaultWindows();
    GUIBaseObject* pause = Find("PauseMenu");
    GUIBaseObject* options = Find("OptionsMenu");
    pause->Open();
    lua->Gui().BringToFront(nullptr, pause);

    Click(300 + 20, 150 + 35);  // options button at (13, 29)
    EXPECT_FALSE(pause->IsSelfVisible());
    EXPECT_TRUE(options->IsSelfVisible());
    EXPECT_EQ(lua->Gui().GetActiveWindowList()->GetHead()->value, options);
    Click(200 + 20, 200 + 165);  // its close button at (13, 158)
    EXPECT_FALSE(options->IsSelfVisible());

    pause->Open();
    lua->Gui().BringToFront(nullptr, pause);
    GetGlobalState()->quit = 0;
    StderrCapture cap;
    Click(300 + 20, 150 + 65);  // "Exit Game" at (13, 58)
    EXPECT_EQ(cap.Take(), "quit game");
    EXPECT_EQ(GetGlobalState()->quit, 1);
    Click(300 + 20, 150 + 265);  // close button at (13, 258)
    EXPECT_FALSE(pause->IsSelfVisible());
}

TEST_F(StandardWindowsTest, KeysOpenSteerAndCloseTheMenus) {
    BuildDefaultWindows();
    GUIManager& gui = lua->Gui();
    // One tick with this binding struck: hot keys, then the control stack.
    testsupport::GuiKeyTicks keys(lua->Keyboard(), gui);
    auto key = [&](const char* binding) { keys.Type(binding); };
    const char* options = "GUIPauseMenu_Button_OpenOptionsMenu";
    const char* quit = "GUIPauseMenu_Button_QuitGame";
    const char* close = "GUIPauseMenu_Button_CloseMenu";
    // The menu on top of the control stack and its highlighted button after
    // each key; "" when no menu holds the keys.
    struct Step {
        const char* key;
        const char* menu;
        const char* highlighted;
    };
    const Step steps[] = {
        {"Menu", "PauseMenu", options},
        {"Down", "PauseMenu", quit},
        {"Down", "PauseMenu", close},
        {"Down", "PauseMenu", close},
        {"Up", "PauseMenu", quit},
        {"Up", "PauseMenu", options},
        {"Up", "PauseMenu", options},
        {"Accept", "OptionsMenu", "Close_Menu_Button"},  // in the pause menu's place
        {"Accept", "", ""},                              // its close button
        {"Menu", "PauseMenu", options},
        {"Down", "PauseMenu", quit},
        {"Cancel", "", ""},              // the back key closes the menu
        {"Menu", "PauseMenu", options},  // and the next opening starts over
        {"Accept", "OptionsMenu", "Close_Menu_Button"},
        {"Menu", "", ""},  // escape closes the options
        {"Menu", "PauseMenu", options},
        {"Down", "PauseMenu", quit},
        {"Down", "PauseMenu", close},
        {"Accept", "", ""},
    };
    for (const Step& step : steps) {
        key(step.key);
        GUIBaseObject* top = gui.GetControlStack().Top();
        const std::string where = std::string(step.key) + " to " + step.menu;
        EXPECT_EQ(top ? top->GetName() : "", step.menu) << where;
        EXPECT_EQ(top && top->GetNavTarget() ? top->GetNavTarget()->GetName() : "", step.highlighted) << where;
        EXPECT_EQ(Find("PauseMenu")->IsSelfVisible(), std::string(step.menu) == "PauseMenu") << where;
        EXPECT_EQ(Find("OptionsMenu")->IsSelfVisible(), std::string(step.menu) == "OptionsMenu") << where;
    }
    EXPECT_EQ(gui.GetControlStack().GetCount(), 0);

    GetGlobalState()->quit = 0;
    StderrCapture cap;
    for (const char* binding : {"Menu", "Down", "Accept"}) key(binding);
    EXPECT_EQ(cap.Take(), "quit game");
    EXPECT_EQ(GetGlobalState()->quit, 1);
}

TEST_F(StandardWindowsTest, MenusOpenedLaterShowWhatTheyShowedWhenPaintedAtOnce) {
    // The pause menu opened by its key and drawn, the inventory's submenu
    // opened by a script; with every button face painted straight after
    // building, then as the menus paint themselves when first drawn, with
    // other drawing in between.
    auto frame = [&](bool paintAtOnce) {
        delete lua;
        lua = new testsupport::LuaTestState;
        Put("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
        {
            StderrCapture quiet;
            BuildDefaultWindows();
        }
        for (const char* menu : {"PauseMenu", "InventoryWindowSubmenu"}) {
            for (NamedList::Node* node = Find(menu)->GetChildList()->GetHead(); node; node = node->next) {
                auto* child = static_cast<GUIBaseObject*>(node->value);
                if (paintAtOnce && child->GetType() == kTypeGUIButton) static_cast<GUIButton*>(child)->GetNormalImage();
            }
        }
        if (!paintAtOnce) {
            BitmapWrapper elsewhere(8, 8, gl);
            elsewhere.SetAsTarget();
            al_set_blender(ALLEGRO_ADD, ALLEGRO_ZERO, ALLEGRO_ONE);
            al_draw_text(font, al_map_rgb(255, 255, 255), 0, 0, 0, "x");
            al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
        }
        testsupport::KeyTicks(lua->Keyboard(), [&] { lua->Gui().HandleHotkeys(); }).Type("Menu");
        EXPECT_TRUE(lua->Run("GUI_SetActiveObjectAndListFromBase('InventoryWindowSubmenu') GUIG_Show()"))
            << lua->LastError();
        BitmapWrapper screen(800, 600, gl);
        lua->Gui().Draw(&screen);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) pixels.push_back(Px(&screen, x, y));
        return pixels;
    };
    const std::vector<uint32_t> atOnce = frame(true);
    const std::vector<uint32_t> later = frame(false);
    // The pause menu's "Exit Game" face at (13, 58) in the menu, and the
    // submenu's "Move" face at (13, 45), below the highlighted first one.
    EXPECT_EQ(atOnce[(150 + 58) * 800 + 300 + 13], 0xc396d2ffu);
    EXPECT_EQ(atOnce[(254 + 45) * 800 + 13], 0xc396d2ffu);
    EXPECT_TRUE(atOnce == later);
}

TEST_F(StandardWindowsTest, TitleScreenShowsItsArchiveImageUntilDestroyed) {
    sif::Picture picture{4, 3, std::vector<uint8_t>(4 * 3 * 4, 200)};
    sif::ArchiveWriter writer;
    writer.AddImage("Background", picture);
    std::filesystem::create_directories("Data/Decompress");
    lua->Paths().AddPath("Decompress", "Data/Decompress/");
    ASSERT_TRUE(writer.WriteFile("Data/TitleScreen.sif", true));
    Put("Images", "TitleScreen", "General", nullptr, nullptr, DataKind::Bitmap);

    auto printed = [](auto&& action) {
        StderrCapture cap;
        action();
        return cap.Take();
    };
    GUIBaseObject* screen = nullptr;
    EXPECT_EQ(printed([&] { screen = BuildTitleScreen(); }), "Building TitleScreen - Done\n");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(lua->Gui().GetTopLevelList()->GetHead()->value, screen);
    EXPECT_TRUE(screen->IsSelfVisible());
    EXPECT_FALSE(lua->Images().IsOpen());
    auto* image = static_cast<GUIImage*>(screen->FindChild("TS_BGImage"));
    ASSERT_TRUE(image && image->GetImage());
    EXPECT_EQ(image->GetImage()->GetWidth(), 4);
    EXPECT_EQ(Filed(), image->GetImage());

    EXPECT_EQ(printed([&] { EXPECT_EQ(BuildTitleScreen(), screen); }), "Building TitleScreen - ");
    EXPECT_EQ(printed([] {
                  DestroyTitleScreen();
                  DestroyTitleScreen();  // nothing left
              }),
              "");
    EXPECT_EQ(Find("TitleScreen"), nullptr);
    EXPECT_EQ(Filed(), nullptr);

    // However the screen goes, its image leaves the library with it.
    {
        StderrCapture quiet;
        screen = BuildTitleScreen();
    }
    delete screen;
    EXPECT_EQ(Filed(), nullptr);

    // A script's own "Background" there keeps its place and outlives the
    // screen, whether filed before the screen or after it (behind other
    // entries, where the library takes entries of one name off the tail).
    BitmapWrapper mine(2, 2, gl), logo(2, 2, gl);
    lua->Library().Register("Images", "TitleScreen", "General", "Logo", &logo, DataKind::Bitmap);
    {
        StderrCapture quiet;
        screen = BuildTitleScreen();
    }
    Put("Images", "TitleScreen", "General", "Background", &mine, DataKind::Bitmap);
    EXPECT_EQ(printed([] { DestroyTitleScreen(); }), "");
    EXPECT_EQ(Filed(), &mine);
    {
        StderrCapture quiet;
        screen = BuildTitleScreen();
    }
    EXPECT_NE(static_cast<GUIImage*>(screen->FindChild("TS_BGImage"))->GetImage(), &mine);
    DestroyTitleScreen();
    EXPECT_EQ(Filed(), &mine);
}

TEST_F(StandardWindowsTest, TitleScreenWithoutItsArchiveIsEmpty) {
    StderrCapture cap;
    GUIBaseObject* screen = BuildTitleScreen();
    const std::string out = cap.Take();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(out.rfind("Building TitleScreen - ", 0), 0u) << out;
    EXPECT_NE(out.find("Warning, no file is open"), std::string::npos) << out;
    // The empty image is offered to the library, which refuses it aloud.
    EXPECT_NE(out.find("DataLibrary - Register:  Warning, Pointer Background did not exist when registered\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(static_cast<GUIImage*>(screen->FindChild("TS_BGImage"))->GetImage(), nullptr);
    DestroyTitleScreen();
    EXPECT_EQ(Find("TitleScreen"), nullptr);

    // An object of that name inside another window is not the title screen.
    auto* holder = new GUIWindow;
    holder->SetDimensions(0, 0, 10, 10);
    lua->Gui().ResetActiveObjectList();
    lua->Gui().AddObject("Holder", holder);
    auto* inner = new GUIWindow;
    inner->SetDimensions(0, 0, 5, 5);
    holder->AddChild("TitleScreen", inner);
    DestroyTitleScreen();
    EXPECT_EQ(Find("TitleScreen"), inner);
}

}  // namespace
