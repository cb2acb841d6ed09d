#include "world/ChatBubble.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"

namespace {

const std::string kBlanks(79, ' ');

TEST(ChatBubble, TextResponsesAndCharacters) {
    ChatBubble bubble("Hello");
    EXPECT_TRUE(bubble.GetText() == "Hello" && bubble.IsVisible() && bubble.GetResponseValue() == -1);
    bubble.SetResponseText("Yes", 3);
    EXPECT_EQ(bubble.GetResponseValue(), 3);
    bubble.SetText("~BLANK");
    EXPECT_EQ(bubble.GetText(), kBlanks);
    EXPECT_EQ(bubble.GetResponseValue(), -1);
    bubble.SetResponseText("Maybe", 0);
    bubble.Clear();
    EXPECT_TRUE(bubble.GetText() == kBlanks && bubble.GetResponseValue() == -1);

    // Typed over the blanks; the last place keeps the line's end.
    bubble.SetCharacter(0, 'H');
    bubble.SetCharacter(78, 'z');
    for (int outside : {-1, 79, 80}) bubble.SetCharacter(outside, 'X');
    EXPECT_EQ(bubble.GetText(), "H" + kBlanks.substr(2) + "z");

    bubble.SetText(std::string(120, 'a'));
    EXPECT_EQ(bubble.GetText(), std::string(79, 'a'));
    bubble.SetText("ab");
    EXPECT_EQ(bubble.GetText(), "ab");
    bubble.SetVisible(false);
    bubble.SetText("back");
    EXPECT_TRUE(bubble.IsVisible());
}

TEST(ChatBubble, DrawsTextAndTheResponseImage) {
    testsupport::EnsureAllegro();
    ALLEGRO_FONT* font = al_create_builtin_font();
    ASSERT_NE(font, nullptr);
    ALLEGRO_BITMAP* target = al_create_bitmap(64, 16);
    DataLibrary library;
    DataLibrary* savedLibrary = GetGlobalState()->dataLibrary;
    GetGlobalState()->dataLibrary = &library;
    const ALLEGRO_COLOR white = al_map_rgb(255, 255, 255), red = al_map_rgb(255, 0, 0);
    BitmapWrapper image(32, 10, &GetGlobalState()->openGLMode);
    image.ClearToRGBA(255, 0, 0, 255);
    // Pixels of the colour inside [x0, x1) x [y0, y1).
    auto count = [&](int x0, int y0, int x1, int y1, ALLEGRO_COLOR colour) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                ALLEGRO_COLOR p = al_get_pixel(target, x, y);
                n += p.r == colour.r && p.g == colour.g && p.b == colour.b;
            }
        return n;
    };
    auto draw = [&](ChatBubble& bubble, ALLEGRO_FONT* with, int x, int y) {
        al_set_target_bitmap(target);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        bubble.Draw(with, white, x, y, 0);
    };

    ChatBubble bubble("##");
    draw(bubble, font, 4, 4);
    EXPECT_GT(count(4, 4, 20, 12, white), 8);
    EXPECT_EQ(count(0, 0, 64, 4, white) + count(0, 0, 4, 16, white), 0);
    bubble.SetVisible(false);
    draw(bubble, font, 0, 0);
    EXPECT_EQ(count(0, 0, 64, 16, white), 0);

    // A response without its image draws the text alone.
    bubble.SetResponseText("#", 2);
    testsupport::StderrCapture cap;  // the library's own miss warning
    draw(bubble, font, 0, 0);
    cap.Take();
    EXPECT_EQ(count(0, 0, 64, 16, red), 0);
    EXPECT_GT(count(0, 0, 8, 8, white), 0);

    // With the image registered it goes under the text, at (x, y).
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    library.AddHeading("Images", "GUI", "Bubbles");
    ASSERT_TRUE(library.Register("Images", "GUI", "Bubbles", "ResponseBubble", &image, DataKind::Bitmap));
    draw(bubble, font, 8, 2);
    EXPECT_EQ(count(8, 2, 40, 12, red) + count(8, 2, 40, 12, white), 32 * 10);
    EXPECT_GT(count(8, 2, 16, 10, white), 0);
    EXPECT_EQ(count(0, 0, 8, 16, red), 0);
    // Plain lines draw no image; no font draws the image alone.
    bubble.SetText("#");
    draw(bubble, font, 8, 2);
    EXPECT_EQ(count(0, 0, 64, 16, red), 0);
    bubble.SetResponseText("#", 1);
    draw(bubble, nullptr, 8, 2);
    EXPECT_EQ(count(8, 2, 40, 12, red), 32 * 10);

    GetGlobalState()->dataLibrary = savedLibrary;
    al_destroy_bitmap(target);
    al_destroy_font(font);
}

}  // namespace
