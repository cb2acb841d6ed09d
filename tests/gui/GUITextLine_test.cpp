// Text lines, smart text lines and input boxes.
#include "gui/GUITextLine.h"

#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "gui/GUISmartTextLine.h"
#include "gui/GUIWindow.h"
#include "gui/PixelProbe.h"
#include "gui/TextLineFixture.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace {

using testsupport::LuaTestState;
using testsupport::StderrCapture;

using guitest::WithFont;

TEST_F(WithFont, TextLineSizesToItsTextAndNeedsAFont) {
    GUIManager& gui = lua->Gui();
    ASSERT_EQ(Printed("GUIOL_AddObject('T', 'GUITextLine') GUIG_SetDimensions(5, 6, 100, 40) GUIT_SetString('abc')"),
              "");
    auto* line = static_cast<GUITextLine*>(gui.FindObject("T"));
    EXPECT_EQ(*line->GetText(), "abc");
    EXPECT_EQ(line->GetWidth(), 30);
    EXPECT_EQ(line->GetHeight(), 16);
    EXPECT_EQ(line->GetX1(), 5);
    BitmapWrapper* backing = line->GetBackingBitmap();
    line->SetString("xyz");  // same length: no new size, no new bitmap
    EXPECT_EQ(line->GetBackingBitmap(), backing);
    line->SetString(nullptr);
    EXPECT_EQ(line->GetText(), nullptr);
    EXPECT_EQ(line->GetLength(), 3);
    line->Append("de");
    EXPECT_EQ(*line->GetText() + std::to_string(line->GetLength()) + std::to_string(line->GetWidth()), "de230");

    // Drawn white at the top left of its bitmap.
    line->SetString("W");
    BitmapWrapper screen(64, 64, &GetGlobalState()->openGLMode);
    gui.Draw(&screen);
    bool white = false;
    for (int x = 5; x < 13; ++x)
        for (int y = 6; y < 14; ++y) white = white || Px(&screen, x, y) == 0xffffffffu;
    EXPECT_TRUE(white);

    // Without a font the text is ignored.
    GUITextLine bare;
    bare.SetFont(nullptr);
    bare.SetString("abc");
    EXPECT_EQ(bare.GetText(), nullptr);

    // GUIT_ accepts the whole text-line family only.
    EXPECT_EQ(Printed("GUIOL_AddObject('I', 'GUIInputBox') GUIT_SetString(12)"), "");
    EXPECT_EQ(*static_cast<GUITextLine*>(gui.FindObject("I"))->GetText(), "12");
    EXPECT_EQ(Printed("GUIOL_AddObject('C', 'GUIColorBox') GUIT_SetString('x')"),
              "GUIT SetString:  Failed, object is not a Text Line\n");
}

TEST_F(WithFont, InputBoxStopsAtItsWidthAndShowsItsProperties) {
    GUIInputTextBox box;
    box.SetDimensions(0, 0, 40, 20);
    box.SetSystemData(80, false);
    const int limit = 40 - al_get_text_width(font, "M-");  // 24: three 8-pixel characters
    int typed = 0;
    while (box.Insert('x', box.GetLength())) ++typed;
    EXPECT_EQ(typed * 8, limit);
    EXPECT_FALSE(box.Insert('y', 0));
    EXPECT_FALSE(box.Insert(0, 0));
    box.SetDimensions(0, 0, 400, 20);
    EXPECT_FALSE(box.Insert('y', -1));
    EXPECT_FALSE(box.Insert('y', box.GetLength() + 1));
    EXPECT_TRUE(box.Insert('y', 0));
    EXPECT_EQ(*box.GetText(), "yxxx");

    PropertyRouter& router = lua->Router();
    lua->Gui().AddObject("Field", new GUIInputTextBox);
    auto* field = static_cast<GUIInputTextBox*>(lua->Gui().FindObject("Field"));
    field->SetString("hey");
    auto* text = static_cast<std::string*>(router.Route("GUI", "Field", "String"));
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kString);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, "hey");
    // A cursor written out of range is brought back before it is used.
    *static_cast<int32_t*>(router.Route("GUI", "Field", "Cursor")) = 1000;
    EXPECT_EQ(router.GetValueType(), PropertyRouter::kInt);
    field->SetFocus(false);
    lua->Gui().GetControlStack().Push(field);
    field->Show(false);
    field->SetDimensions(0, 0, 100, 20);
    testsupport::GuiKeyTicks(lua->Keyboard(), lua->Gui()).Type("BACKSPACE");
    EXPECT_EQ(lua->Gui().GetControlStack().Top(), field);
    EXPECT_EQ(*field->GetText(), "he");

    // Focused, the cursor blinks 10 ticks in 21; unfocused it is off.
    int shown = 0;
    box.SetFocus(true);
    for (int tick = 0; tick < 21; ++tick) {
        box.OnEvent(-1, 0, 0);
        shown += box.GetBlinkCounter() < 10;
    }
    EXPECT_EQ(shown, 10);
    box.SetFocus(false);
    box.OnEvent(-1, 0, 0);
    EXPECT_EQ(box.GetBlinkCounter(), 11);
}

}  // namespace
