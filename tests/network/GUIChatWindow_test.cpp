#include "network/GUIChatWindow.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "network/ChatFixture.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/PlayerVorn.h"

using testsupport::ChatFixture;
using testsupport::LuaTestState;
using testsupport::StderrCapture;
using testsupport::TempDir;

namespace {

// True when some pixel of the row band [y0, y1), from x0 to 200, of the
// bitmap is mostly red.
bool HasTextColourInRows(ALLEGRO_BITMAP* bitmap, int y0, int y1, int x0 = 0) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < 200; ++x) {
            unsigned char r, g, b;
            al_unmap_rgb(al_get_pixel(bitmap, x, y), &r, &g, &b);
            if (r > 150 && g < 120 && b < 120) return true;
        }
    return false;
}

}  // namespace

TEST(GUIChatWindow, BuilderSetsUpTheStandardWindowOnce) {
    ChatFixture f;
    StderrCapture cap;
    GUIBaseObject* built = BuildDefaultChatWindow();
    const std::string out = cap.Take();
    EXPECT_EQ(out, "Setup - Done\n");

    auto* window = dynamic_cast<GUIChatWindow*>(built);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetType(), 3050);
    EXPECT_EQ(window->GetName(), "DefaultChatWindow");
    EXPECT_TRUE(window->IsSetUp());
    EXPECT_EQ(window->GetX1(), 0);
    EXPECT_EQ(window->GetY1(), 400);
    EXPECT_EQ(window->GetWidth(), 600);
    EXPECT_EQ(window->GetHeight(), 202);
    ASSERT_NE(window->GetFont(), nullptr);
    EXPECT_EQ(window->GetVisibleLines(), 11);
    EXPECT_EQ(window->GetFilterCount(), 1);

    GUIInputTextBox* box = window->GetInputBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetParent(), window);
    EXPECT_EQ(box->GetX1(), 0);
    EXPECT_EQ(box->GetY1(), 181);
    EXPECT_EQ(box->GetWidth(), 600);
    EXPECT_EQ(box->GetHeight(), 21);
    EXPECT_EQ(box->GetMaxChars(), 600 / al_get_text_width(window->GetFont(), "-"));
    EXPECT_EQ(box->GetFont(), window->GetFont());

    GUIManager& gui = f.lua.Gui();
    EXPECT_EQ(gui.GetChatWindow(), window);
    EXPECT_EQ(gui.GetTopLevelList()->GetHead()->value, window);
    EXPECT_TRUE(gui.GetStandardUIList()->ContainsValue(window));
    EXPECT_TRUE(window->IsVisible());

    const int topLevel = gui.GetTopLevelList()->GetCount();
    EXPECT_EQ(BuildDefaultChatWindow(), window);
    EXPECT_EQ(gui.GetTopLevelList()->GetCount(), topLevel);
}

TEST(GUIChatWindow, WithoutNetworkTheWindowStaysHiddenAndSendsNothing) {
    ChatFixture f;
    GlobalState* state = GetGlobalState();
    const uint8_t saved = state->noNetwork;
    state->noNetwork = 1;
    GUIChatWindow* window = f.Build();
    state->noNetwork = saved;
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->IsVisible());
    EXPECT_FALSE(f.lua.Gui().GetStandardUIList()->ContainsValue(window));
    EXPECT_EQ(f.lua.Gui().GetChatWindow(), window);

    StderrCapture cap;
    window->SendChatLine("hello");  // no network manager: nothing, silently
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(window->GetLineCount(), 0);
}

TEST(GUIChatWindow, KeepsTheNewest256Lines) {
    GUIChatWindow window;
    window.AddText(static_cast<const char*>(nullptr));
    EXPECT_EQ(window.GetLineCount(), 0);
    for (int i = 0; i < 257; ++i) window.AddText("line " + std::to_string(i));
    EXPECT_EQ(window.GetLineCount(), 256);
    EXPECT_EQ(window.GetLine(0)->text, "line 256");
    EXPECT_EQ(window.GetLine(0)->kind, 8u);
    EXPECT_EQ(window.GetLine(255)->text, "line 1");
    EXPECT_EQ(window.GetLine(256), nullptr);
    window.ClearLines();
    EXPECT_EQ(window.GetLineCount(), 0);
}

TEST(GUIChatWindow, FiltersHideKindsAndOtherLinesMoveDown) {
    ChatFixture f;
    GUIChatWindow* window = f.Build();
    ASSERT_NE(window, nullptr);
    window->AddLine("kind one", 1);
    window->AddText("chat a");
    window->AddLine("kind\xff two, past a malformed byte", 2);
    window->AddText("chat b");

    window->Render();  // "Default" (mask 0) gets selected: every line shows
    ASSERT_NE(window->GetSelectedMask(), nullptr);
    EXPECT_EQ(*window->GetSelectedMask(), 0);
    EXPECT_EQ(window->GetDrawnLines(), (std::deque<int>{0, 1, 2, 3}));

    window->ToggleFilterBits(8);
    window->Render();
    EXPECT_EQ(window->GetDrawnLines(), (std::deque<int>{1, 3}));
    // The newest shown line sits on the bottom row: y = 202 - 36 - 5 = 161.
    ALLEGRO_BITMAP* bitmap = window->GetBackingBitmap()->GetBitmap();
    EXPECT_TRUE(HasTextColourInRows(bitmap, 161, 161 + 16));
    EXPECT_TRUE(HasTextColourInRows(bitmap, 161, 161 + 16, 120));  // drawn whole, the byte as "\xff"
    EXPECT_TRUE(HasTextColourInRows(bitmap, 145, 161));
    EXPECT_FALSE(HasTextColourInRows(bitmap, 100, 140));
    // Background: black at alpha 192.
    const testsupport::Rgba background = testsupport::PixelAt(bitmap, 590, 5);
    EXPECT_EQ(background[0], 0);
    EXPECT_EQ(background[3], 192);

    // At most the visible lines are drawn, newest first.
    for (int i = 0; i < 20; ++i) window->AddLine("many", 1);
    window->Render();
    EXPECT_EQ(window->GetDrawnLines().size(), 11u);
    EXPECT_EQ(window->GetDrawnLines().front(), 0);

    window->AddFilter("Quiet", 1 | 2 | 8);
    window->SelectFilterByName("Quiet");
    window->Render();
    EXPECT_TRUE(window->GetDrawnLines().empty());
    window->SelectFilterByName("Nothing");
    EXPECT_EQ(window->GetSelectedMask(), nullptr);
    window->ToggleFilterBits(4);  // no filter selected: nothing
    window->SelectFilterByIndex(5);
    EXPECT_EQ(window->GetSelectedMask(), nullptr);
    window->SelectFilterByIndex(1);
    EXPECT_EQ(*window->GetSelectedMask(), 11);
}

TEST(GUIChatWindow, NothingIsDrawnBeforeSetupAndFontSizeIsClamped) {
    ChatFixture f;
    GUIChatWindow loose;
    loose.SetDimensions(0, 0, 100, 100);
    loose.AddText("x");
    loose.Render();
    EXPECT_TRUE(loose.GetDrawnLines().empty());
    EXPECT_EQ(loose.GetFilterCount(), 0);

    GUIChatWindow* window = f.Build();
    ASSERT_NE(window, nullptr);
    window->SetFontSize(100);
    EXPECT_EQ(window->GetFontSize(), 32);
    ASSERT_NE(window->GetFont(), nullptr);
    EXPECT_EQ(window->GetInputBox()->GetFont(), window->GetFont());
    // ceil((202 - 36 - 5) / 32) with the box still 21 high.
    EXPECT_EQ(window->GetVisibleLines(), 6);
    window->SetFontSize(-3);
    EXPECT_EQ(window->GetFontSize(), 4);
    EXPECT_EQ(window->GetVisibleLines(), 41);
    window->AddText("still drawn");
    window->Render();
    EXPECT_EQ(window->GetDrawnLines().size(), 1u);
}

TEST(GUIChatWindow, ChatTextCarriesTheOutgoingNameOnly) {
    LuaTestState lua;
    GlobalState* state = GetGlobalState();
    PlayerVorn* savedPlayer = state->player;
    const std::string savedName = state->outgoingName;
    // The player's world name ("Player1" without "-n") is not a chat name.
    PlayerVorn player;
    player.SetName("Player1");
    state->player = &player;
    state->outgoingName.clear();
    EXPECT_EQ(GUIChatWindow::ComposeChatText("hi there"), "hi there");
    state->outgoingName = "Wren";
    EXPECT_EQ(GUIChatWindow::ComposeChatText("hi there"), "Wren: hi there");
    state->outgoingName = savedName;
    state->player = savedPlayer;
}

TEST(GUIChatWindow, ALibraryFontIsUsedAndStaysTheLibrarys) {
    ChatFixture f;
    ALLEGRO_FONT* font = al_load_ttf_font("Data/Graphics/Fonts/FixedSys.ttf", 12, 0);
    ASSERT_NE(font, nullptr);
    f.lua.Library().AddSection("Fonts");
    f.lua.Library().AddCatalogue("Fonts", "General");
    f.lua.Library().AddHeading("Fonts", "General", "Dialogue");
    ASSERT_TRUE(f.lua.Library().Register("Fonts", "General", "Dialogue", "ChatFont", font, DataKind::Font));
    {
        GUIChatWindow window;
        window.SetDimensions(0, 0, 300, 100);
        StderrCapture cap;
        window.Setup();
        EXPECT_EQ(cap.Take(), "Setup - Done\n");
        EXPECT_EQ(window.GetFont(), font);
        EXPECT_EQ(window.GetInputBox()->GetFont(), font);
        window.SetFontSize(10);
        EXPECT_NE(window.GetFont(), font);
    }
    // Neither SetFontSize nor the destructor destroyed the library's font.
    EXPECT_GT(al_get_text_width(font, "abc"), 0);
    f.lua.Library().RemovePointer("Fonts", "General", "Dialogue", "ChatFont", DataKind::Font);
    al_destroy_font(font);
}
