// Buttons: clicks need a press and a release inside; the click runs a file
// or a named callback; the face shows the pressed, hovered or normal image.
#include "gui/GUIButton.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIManager.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::StderrCapture;

// Mouse at (x, y), then the event.
void Mouse(GUIManager& gui, int event, float x, float y) {
    gui.SetMousePosition(x, y);
    gui.HandleMouseEvent(event);
}

TEST(GUIButton, ClicksNeedPressAndReleaseInside) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    dir.WriteFile("click.lua", "clicks = (clicks or 0) + 1 code = GetScriptCode()\n");
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    ASSERT_EQ(RunScript(lua,
                        "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Go', 'GUIButton') "
                        "GUIG_SetDimensions(10, 10, 40, 20) GUIB_SetScriptData('click.lua', 3)"),
              "");
    auto* button = static_cast<GUIButton*>(gui.FindObject("Go"));
    ASSERT_NE(button, nullptr);

    // Press inside, release outside: nothing; the press is forgotten.
    Mouse(gui, 0, 20, 15);
    EXPECT_TRUE(button->IsPressed());
    Mouse(gui, 1, 200, 200);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_TRUE(lua.IsNil("clicks"));
    // A release inside without a press of its own does nothing either.
    Mouse(gui, 0, 300, 300);
    Mouse(gui, 1, 20, 15);
    EXPECT_TRUE(lua.IsNil("clicks"));
    // Press and release inside: one click, taken by the GUI.
    Mouse(gui, 0, 10, 10);
    gui.SetMousePosition(50, 30);
    EXPECT_TRUE(gui.HandleMouseEvent(1));
    EXPECT_EQ(lua.GetNumber("clicks"), 1);
    EXPECT_EQ(lua.GetNumber("code"), 3);
    EXPECT_EQ(gui.GetClickedButton(), button);

    // A callback replaces the script, a script replaces the callback.
    EXPECT_EQ(RunScript(lua, "GUIB_SetFunctionData('Button_QuitGame')"), "");
    EXPECT_FALSE(button->IsScriptMode());
    EXPECT_TRUE(button->GetScriptPath().empty());
    GetGlobalState()->quit = 0;
    {
        StderrCapture cap;
        Mouse(gui, 0, 20, 15);
        Mouse(gui, 1, 20, 15);
        EXPECT_EQ(cap.Take(), "quit game");
    }
    EXPECT_EQ(GetGlobalState()->quit, 1);
    GetGlobalState()->quit = 0;
    EXPECT_EQ(lua.GetNumber("clicks"), 1);
    EXPECT_EQ(RunScript(lua, "GUIB_SetScriptData('click.lua', -1)"), "");
    EXPECT_EQ(button->GetCallback(), nullptr);
    Mouse(gui, 0, 20, 15);
    Mouse(gui, 1, 20, 15);
    EXPECT_EQ(lua.GetNumber("clicks"), 2);

    // Unknown names (and tables not built here) give no action, silently.
    for (const char* name : {"Button_quitgame", "CombatButton_orderCommand", "Inv_useItem", "Nothing"}) {
        EXPECT_EQ(RunScript(lua, std::string("GUIB_SetFunctionData('") + name + "')"), "") << name;
        EXPECT_EQ(button->GetCallback(), nullptr) << name;
    }

    // Active-object checks.
    EXPECT_EQ(RunScript(lua, "GUIOL_AddObject('Panel', 'GUIWindow') GUIB_SetDisplayData(1.5, 2)"),
              "GUIB SetDisplayData:  Failed, Active Object is not a GUIButton\n");
    gui.SetActiveObject(nullptr);
    EXPECT_EQ(RunScript(lua, "GUIB_SetImages('a', 'b', 'c')"), "GUIB SetImages:  Failed, Active Object not set\n");
    gui.SetActiveObject(button);
    EXPECT_EQ(RunScript(lua, "GUIB_SetDisplayData(2.75, 3.9)"), "");
    EXPECT_FLOAT_EQ(button->GetDisplayValue(), 2.75f);
    EXPECT_EQ(button->GetDrawFlags(), 3);
    EXPECT_EQ(RunScript(lua, "GUIB_SetDisplayData(-1e300, 0)"), "");
    EXPECT_EQ(button->GetDisplayValue(), -std::numeric_limits<float>::max());
}

TEST(GUIButton, MenuCallbacksOpenAndCloseWindows) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    gui.ResetActiveObjectList();
    auto* first = new GUIButton;  // stands in for any window
    auto* second = new GUIButton;
    gui.AddObject("MenuOne", first);
    gui.AddObject("MenuTwo", second);
    first->SetDimensions(0, 0, 100, 100);
    second->SetDimensions(0, 0, 100, 100);
    second->Close();

    // Open_Menu with an empty active-window list closes nothing.
    auto* button = new GUIButton;
    first->AddChild("Opener", button);
    button->SetDimensions(10, 10, 20, 20);
    button->SetFunction("Button_Open_Menu");
    button->SetTargetName("MenuTwo");
    Mouse(gui, 0, 15, 15);
    Mouse(gui, 1, 15, 15);
    EXPECT_TRUE(first->IsSelfVisible());
    EXPECT_TRUE(second->IsSelfVisible());
    ASSERT_NE(gui.GetActiveWindowList()->GetHead(), nullptr);
    EXPECT_EQ(gui.GetActiveWindowList()->GetHead()->value, second);
    EXPECT_EQ(gui.GetActiveWindowList()->GetHead()->name, "MenuTwo");

    // A target that names nothing: no call.
    button->SetTargetName("Nowhere");
    second->Close();
    Mouse(gui, 0, 15, 15);
    Mouse(gui, 1, 15, 15);
    EXPECT_FALSE(second->IsSelfVisible());

    // Now with MenuTwo at the head: opening MenuOne closes it.
    button->SetTargetName("MenuOne");
    second->Open();
    Mouse(gui, 0, 15, 15);
    Mouse(gui, 1, 15, 15);
    EXPECT_FALSE(second->IsSelfVisible());
    EXPECT_EQ(gui.GetActiveWindowList()->GetHead()->value, first);

    // Hide_Parent closes the button's parent; a button without one does nothing.
    button->SetFunction("Button_Hide_Parent");
    Mouse(gui, 0, 15, 15);
    Mouse(gui, 1, 15, 15);
    EXPECT_FALSE(first->IsSelfVisible());
    gui.SetClickedButton(second);
    EXPECT_FALSE(Button_Hide_Parent(nullptr));
    EXPECT_FALSE(Button_Show_Parent(nullptr));
    gui.SetClickedButton(button);
    EXPECT_TRUE(Button_Show_Parent(nullptr));
    EXPECT_TRUE(first->IsSelfVisible());
    EXPECT_FALSE(Button_Open_Menu(nullptr));

    // Without a target name the argument is the button or its data: neither
    // is read as a name unless the data ends within its size.
    second->Close();
    auto* bare = new GUIButton;
    first->AddChild("Bare", bare);
    bare->SetFunction("Button_Open_Menu");
    gui.SetClickedButton(bare);
    EXPECT_FALSE(Button_Open_Menu(bare));
    bare->AllocData(7);
    std::memcpy(bare->GetData(), "MenuTwo", 7);  // no end: ASan would see a read past it
    EXPECT_FALSE(Button_Open_Menu(bare->GetData()));
    EXPECT_FALSE(second->IsSelfVisible());
    bare->AllocData(8);
    std::memcpy(bare->GetData(), "MenuTwo", 8);
    EXPECT_TRUE(Button_Open_Menu(bare->GetData()));
    EXPECT_TRUE(second->IsSelfVisible());
}

TEST(GUIButton, CloseButtonTakesOnlyItsOwnWindowOffTheActiveList) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    gui.ResetActiveObjectList();
    // A menu on the active-window list, a submenu it opens, and a window of
    // a script's own that never joins the list; each has a Close button.
    struct Window {
        GUIButton* window;
        GUIButton* close;
    };
    auto make = [&gui](const char* name, int x, bool joins) {
        auto* window = new GUIButton;
        gui.AddObject(name, window);
        window->SetDimensions(x, 0, 100, 100);
        window->SetJoinsActiveWindows(joins);
        auto* close = new GUIButton;
        window->AddChild("Close", close);
        close->SetDimensions(10, 10, 20, 20);
        close->SetFunction("Button_Hide_Parent");
        window->Close();
        return Window{window, close};
    };
    Window menu = make("Menu", 0, true);
    Window sub = make("Sub", 200, true);
    Window other = make("Other", 400, false);
    auto head = [&gui]() -> void* {
        NamedList::Node* node = gui.GetActiveWindowList()->GetHead();
        return node ? node->value : nullptr;
    };

    // Closing the unrelated window leaves the menu in front.
    menu.window->Open();
    other.window->Open();
    Mouse(gui, 0, 415, 15);
    Mouse(gui, 1, 415, 15);
    EXPECT_FALSE(other.window->IsSelfVisible());
    EXPECT_TRUE(menu.window->IsSelfVisible());
    EXPECT_EQ(head(), menu.window);

    // The submenu in front of the (hidden) menu: closing it brings the menu back.
    menu.window->Close();
    gui.AddActiveWindowNamed("Menu", menu.window);
    sub.window->Open();
    ASSERT_EQ(head(), sub.window);
    Mouse(gui, 0, 215, 15);
    Mouse(gui, 1, 215, 15);
    EXPECT_FALSE(sub.window->IsSelfVisible());
    EXPECT_TRUE(menu.window->IsSelfVisible());
    EXPECT_EQ(head(), menu.window);

    // A window behind the head closes alone: the head stays as it is.
    sub.window->Open();
    gui.AddActiveWindow(menu.window);
    ASSERT_EQ(head(), menu.window);
    Mouse(gui, 0, 215, 15);
    Mouse(gui, 1, 215, 15);
    EXPECT_FALSE(sub.window->IsSelfVisible());
    EXPECT_EQ(head(), menu.window);
    EXPECT_FALSE(gui.GetActiveWindowList()->ContainsValue(sub.window));

    // The menu's own Close empties the list.
    Mouse(gui, 0, 15, 15);
    Mouse(gui, 1, 15, 15);
    EXPECT_FALSE(menu.window->IsSelfVisible());
    EXPECT_EQ(head(), nullptr);
}

TEST(GUIButton, FaceFollowsPressAndHover) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    GUIManager& gui = lua.Gui();
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper normal(20, 20, gl), hover(20, 20, gl), pressed(20, 20, gl);
    normal.ClearToRGBA(10, 0, 0, 255);
    hover.ClearToRGBA(0, 20, 0, 255);
    pressed.ClearToRGBA(0, 0, 30, 255);
    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    library.AddHeading("Images", "GUI", "Buttons");
    library.Register("Images", "GUI", "Buttons", "N", &normal, DataKind::Bitmap);
    library.Register("Images", "GUI", "Buttons", "H", &hover, DataKind::Bitmap);
    library.Register("Images", "GUI", "Buttons", "P", &pressed, DataKind::Bitmap);
    ASSERT_EQ(RunScript(lua,
                        "GUI_SetActiveObjectList('Base') GUIOL_AddObject('B', 'GUIButton') "
                        "GUIG_SetDimensions(0, 0, 20, 20) GUIB_SetImages('N', 'H', 'P')"),
              "");
    auto* button = static_cast<GUIButton*>(gui.FindObject("B"));
    BitmapWrapper screen(64, 64, gl);
    auto face = [&] {
        gui.Draw(&screen);
        return Px(&screen, 5, 5);
    };
    Mouse(gui, -1, 40, 40);
    EXPECT_EQ(face(), 0x0a0000ffu);
    Mouse(gui, -1, 5, 5);
    EXPECT_EQ(face(), 0x001400ffu);
    Mouse(gui, 0, 5, 5);
    EXPECT_EQ(face(), 0x00001effu);
    Mouse(gui, 1, 50, 50);
    // Hovered without a hover image: the normal face.
    button->SetImages(&normal, nullptr, &pressed);
    Mouse(gui, -1, 5, 5);
    EXPECT_TRUE(button->IsHovered());
    EXPECT_EQ(face(), 0x0a0000ffu);
}

TEST(GUIButton, TextFacesAreFramedAndShaded) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    ALLEGRO_FONT* font = al_create_builtin_font();
    ASSERT_NE(font, nullptr);
    lua.Library().AddSection("Fonts");
    lua.Library().AddCatalogue("Fonts", "General");
    lua.Library().AddHeading("Fonts", "General", "System");
    lua.Library().Register("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
    GUIButton button;
    button.SetDimensions(0, 0, 30, 24);
    const ALLEGRO_COLOR frame = al_map_rgb(200, 100, 0), fill = al_map_rgb(0, 0, 100),
                        inner = al_map_rgb(250, 250, 250);
    button.BuildTextImages(frame, fill, inner, nullptr);
    EXPECT_EQ(button.GetNormalImage(), nullptr);
    button.BuildTextImages(frame, fill, inner, "Long text");
    ASSERT_TRUE(button.OwnsImages() && button.GetNormalImage() && button.GetHoverImage() && button.GetPressedImage());
    EXPECT_EQ(Px(button.GetNormalImage(), 0, 0), 0xc86400ffu);
    EXPECT_EQ(Px(button.GetNormalImage(), 29, 12), 0xc86400ffu);
    EXPECT_EQ(Px(button.GetNormalImage(), 10, 2), 0xfafafaffu);  // inner line
    EXPECT_EQ(Px(button.GetNormalImage(), 3, 20), 0xfafafaffu);
    EXPECT_EQ(Px(button.GetNormalImage(), 1, 1), 0x000064ffu);  // fill
    // 10% brighter (clamped at full) and 10% darker.
    EXPECT_EQ(Px(button.GetHoverImage(), 0, 0), 0xdc6e00ffu);
    EXPECT_EQ(Px(button.GetHoverImage(), 10, 2), 0xffffffffu);
    EXPECT_EQ(Px(button.GetPressedImage(), 0, 0), 0xb45a00ffu);
    // Text wider than the face starts at x = 4; (24 - 21) / 2 = 1 from the top.
    bool white = false;
    for (int y = 1; y < 10; ++y) white = white || Px(button.GetNormalImage(), 4, y) == 0xffffffffu;
    EXPECT_TRUE(white);
    // Setting images the button does not own frees its own faces (ASan checks).
    BitmapWrapper other(4, 4, &GetGlobalState()->openGLMode);
    button.SetImages(&other, &other, &other);
    EXPECT_FALSE(button.OwnsImages());
    lua.Library().RemovePointer("Fonts", "General", "System", "SystemFont", DataKind::Font);
    al_destroy_font(font);
}

// Every pixel of a bitmap, row by row, as 0xRRGGBBAA.
std::vector<uint32_t> Pixels(const BitmapWrapper* bitmap) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap->GetHeight(); ++y)
        for (int x = 0; x < bitmap->GetWidth(); ++x) pixels.push_back(Px(bitmap, x, y));
    return pixels;
}

// The system font in the library for a test's length.
struct SystemFont {
    explicit SystemFont(LuaTestState& lua) : lua(lua) {
        lua.Library().AddSection("Fonts");
        lua.Library().AddCatalogue("Fonts", "General");
        lua.Library().AddHeading("Fonts", "General", "System");
        lua.Library().Register("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
    }
    ~SystemFont() {
        lua.Library().RemovePointer("Fonts", "General", "System", "SystemFont", DataKind::Font);
        al_destroy_font(font);
    }
    LuaTestState& lua;
    ALLEGRO_FONT* font = al_create_builtin_font();
};

TEST(GUIButton, TextFacesArePaintedWhenFirstNeededAndComeOutAsAtOnce) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    SystemFont font(lua);
    uint8_t* gl = &GetGlobalState()->openGLMode;
    const ALLEGRO_COLOR frame = al_map_rgb(195, 150, 210), fill = al_map_rgb(168, 124, 183),
                        inner = al_map_rgb(154, 113, 169);
    auto build = [&](GUIButton& button) {
        button.SetDimensions(0, 0, 90, 29);
        button.BuildTextImages(frame, fill, inner, "Exit Game");
    };
    // The faces as they come out when asked for straight after building.
    GUIButton early;
    build(early);
    const std::vector<uint32_t> faces[3] = {Pixels(early.GetNormalImage()), Pixels(early.GetHoverImage()),
                                            Pixels(early.GetPressedImage())};
    EXPECT_FALSE(early.HasUnpaintedFaces());

    BitmapWrapper target(100, 40, gl), elsewhere(8, 8, gl);
    struct Case {
        const char* name;
        bool otherBlender;  // a blender of its own set between building and painting
        std::function<void(GUIButton&)> firstUse;
    };
    const Case cases[] = {
        {"asked for", false, [](GUIButton& b) { b.GetPressedImage(); }},
        {"drawn", false, [&](GUIButton& b) { b.Draw(&target); }},
        {"asked for under another blender", true, [](GUIButton& b) { b.GetHoverImage(); }},
        {"drawn under another blender", true, [&](GUIButton& b) { b.Draw(&target); }},
    };
    for (const Case& c : cases) {
        target.ClearToRGBA(0, 0, 0, 255);
        GUIButton late;
        build(late);
        EXPECT_TRUE(late.HasUnpaintedFaces()) << c.name;
        // (This one would leave the text out.)
        if (c.otherBlender) al_set_blender(ALLEGRO_ADD, ALLEGRO_ZERO, ALLEGRO_ONE);
        elsewhere.SetAsTarget();
        c.firstUse(late);
        int op, src, dst;
        al_get_blender(&op, &src, &dst);
        // Painting leaves the drawing state as it found it.
        EXPECT_EQ(src, c.otherBlender ? ALLEGRO_ZERO : ALLEGRO_ONE) << c.name;
        if (std::strncmp(c.name, "asked", 5) == 0) {
            EXPECT_EQ(al_get_target_bitmap(), elsewhere.GetBitmap()) << c.name;
        }
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
        EXPECT_FALSE(late.HasUnpaintedFaces()) << c.name;
        EXPECT_EQ(Pixels(late.GetNormalImage()), faces[0]) << c.name;
        EXPECT_EQ(Pixels(late.GetHoverImage()), faces[1]) << c.name;
        EXPECT_EQ(Pixels(late.GetPressedImage()), faces[2]) << c.name;
    }
    // A drawn button shows its normal face.
    target.ClearToRGBA(0, 0, 0, 255);
    GUIButton shown;
    build(shown);
    shown.Draw(&target);
    BitmapWrapper* normal = shown.GetNormalImage();
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 90; ++x) ASSERT_EQ(Px(&target, x, y), Px(normal, x, y)) << x << ", " << y;
}

TEST(GUIButton, FacesReplacedBeforeTheyArePaintedAreNeverPainted) {
    testsupport::EnsureAllegro();
    LuaTestState lua;
    SystemFont font(lua);
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper target(40, 20, gl), other(40, 20, gl);
    other.ClearToRGBA(1, 2, 3, 255);
    GUIButton button;
    button.SetDimensions(0, 0, 40, 20);
    button.BuildTextImages(al_map_rgb(200, 100, 0), al_map_rgb(0, 0, 100), al_map_rgb(250, 250, 250), "Go");
    button.SetImages(&other, &other, &other);
    EXPECT_FALSE(button.HasUnpaintedFaces());
    button.Draw(&target);
    EXPECT_EQ(Px(&other, 0, 0), 0x010203ffu);
    EXPECT_EQ(Px(&other, 20, 10), 0x010203ffu);
    EXPECT_EQ(Px(&target, 0, 0), 0x010203ffu);

    // Built twice before drawing: the second faces show.
    button.BuildTextImages(al_map_rgb(200, 100, 0), al_map_rgb(0, 0, 100), al_map_rgb(250, 250, 250), "Go");
    button.BuildTextImages(al_map_rgb(10, 20, 30), al_map_rgb(0, 0, 100), al_map_rgb(250, 250, 250), "Go");
    button.Draw(&target);
    EXPECT_EQ(Px(&target, 0, 0), 0x0a141effu);
    EXPECT_EQ(Px(button.GetNormalImage(), 0, 0), 0x0a141effu);
}

}  // namespace
