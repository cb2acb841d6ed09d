// The GUI drawn onto a video frame in the default mode and in OpenGL mode:
// window fills, border tiles, button faces, colour boxes and text come out
// the same.
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLine.h"
#include "gui/GUIWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/PixelRead.h"

namespace {

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

// Builds a window with a border, a child window, a text button, a colour box
// and a text line in the given mode, draws two frames and reads the second.
Frame DrawInMode(uint8_t openGL, ALLEGRO_FONT* font) {
    GetGlobalState()->openGLMode = openGL;
    Frame frame;
    {
        testsupport::LuaTestState lua;
        lua.Library().AddSection("Fonts");
        lua.Library().AddCatalogue("Fonts", "General");
        lua.Library().AddHeading("Fonts", "General", "System");
        lua.Library().Register("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
        GUIManager& gui = lua.Gui();
        gui.ResetActiveObjectList();
        uint8_t* flag = &GetGlobalState()->openGLMode;
        BitmapWrapper corner(6, 6, flag), horizontal(4, 6, flag), vertical(6, 4, flag);
        corner.ClearToRGBA(250, 230, 120, 255);
        horizontal.ClearToRGBA(200, 200, 255, 255);
        vertical.ClearToRGBA(120, 120, 255, 255);

        auto* window = new GUIWindow;
        gui.AddObject("Framed", window);
        window->SetDimensions(40, 30, 220, 150);
        window->SetBackgroundColor(20, 20, 60);
        window->SetBorderImages(&corner, &horizontal, &vertical);
        auto* inner = new GUIWindow;
        window->AddChild("Inner", inner);
        inner->SetDimensions(10, 10, 100, 60);
        inner->SetBackgroundColor(0, 120, 0);
        auto* button = new GUIButton;
        window->AddChild("Button", button);
        button->SetDimensions(120, 100, 80, 29);
        button->BuildTextImages(al_map_rgb(200, 100, 0), al_map_rgb(0, 0, 100), al_map_rgb(250, 250, 250), "Close");
        auto* box = new GUIColorBox;
        window->AddChild("Box", box);
        box->SetDimensions(20, 100, 30, 20);
        box->SetColor(255, 0, 128, 255);
        auto* line = new GUITextLine;
        inner->AddChild("Line", line);
        line->SetDimensions(4, 4, 1, 16);
        line->SetFont(font);
        line->SetColor(al_map_rgb(255, 255, 255));
        line->SetString("Welcome");

        al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
        BitmapWrapper target(320, 240, flag);
        EXPECT_FALSE(al_get_bitmap_flags(target.GetBitmap()) & ALLEGRO_MEMORY_BITMAP);
        for (int pass = 0; pass < 2; ++pass) {
            target.ClearToRGBA(0, 0, 0, 255);
            gui.DrawPulse(&target);
        }
        frame.width = target.GetWidth();
        frame.height = target.GetHeight();
        frame.rgba = testsupport::RgbaBytes(target.GetBitmap());
        al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    }
    GetGlobalState()->openGLMode = 0;
    return frame;
}

TEST(GUIManagerDisplay, OpenGLModeDrawsWhatTheDefaultModeDraws) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    ALLEGRO_FONT* font = al_create_builtin_font();
    ASSERT_NE(font, nullptr);
    const Frame plain = DrawInMode(0, font);
    const Frame gl = DrawInMode(1, font);
    al_destroy_font(font);
    ASSERT_EQ(plain.rgba.size(), gl.rgba.size());

    // The default frame shows what was built: fill, border, inner window,
    // colour box and button face.
    auto at = [&plain](int x, int y) { return &plain.rgba[(static_cast<size_t>(y) * plain.width + x) * 4]; };
    EXPECT_EQ(at(41, 31)[0], 250);    // corner tile
    EXPECT_EQ(at(200, 70)[2], 60);    // window fill
    EXPECT_EQ(at(100, 80)[1], 120);   // inner window
    EXPECT_EQ(at(65, 135)[0], 255);   // colour box
    EXPECT_EQ(at(160, 130)[0], 200);  // button frame

    // One channel may differ by 2 (rounding); no pixel by more.
    int differing = 0;
    for (size_t i = 0; i < plain.rgba.size(); ++i)
        if (std::abs(plain.rgba[i] - gl.rgba[i]) > 2) ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace
