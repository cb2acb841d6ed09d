// Text lines in the game: a smart text line watches the chat log, typed
// lines reach the chat log and the keys of a frame go to the chat line, not
// to the player.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIControlStack.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "gui/GUISmartTextLine.h"
#include "gui/GUIWindow.h"
#include "gui/TextLineFixture.h"
#include "support/GuiKeyTicks.h"
#include "world/ChatManager.h"
#include "world/PlayerVorn.h"

namespace {

using guitest::WithFont;
using testsupport::StderrCapture;

// A line's text, or what it lacks: a line without one fails the comparison
// instead of crashing the test program.
std::string TextOf(const GUITextLine* line) {
    if (!line) return "(no line)";
    const std::string* text = line->GetText();
    return text ? *text : "(no text)";
}

TEST_F(WithFont, InputBoxTypesSubmitsAndGivesUpFocus) {
    GUIManager& gui = lua->Gui();
    testsupport::GuiKeyTicks keys(lua->Keyboard(), gui);
    ASSERT_EQ(Printed("GUIOL_AddObject('Box', 'GUIInputBox') GUIG_SetDimensions(0, 0, 300, 20)"
                      "GUIITB_SetSystemData(5, 1) ChatManager_WatchProperty('Box')"),
              "InputBox Linked\n");
    auto* box = static_cast<GUIInputTextBox*>(gui.FindObject("Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetMaxChars(), 5);
    EXPECT_TRUE(box->GetSystemFlag());

    // A press inside takes the focus; keys struck before it are not the box's.
    keys.Strike("X");
    {
        StderrCapture cap;
        gui.SetMousePosition(10, 10);
        EXPECT_TRUE(gui.HandleMouseEvent(0));
        char expected[128];
        std::snprintf(expected, sizeof expected, "Set focus to %p Root/Box\n", static_cast<void*>(box));
        EXPECT_EQ(cap.Take(), expected);
    }
    EXPECT_TRUE(box->IsFocused());
    EXPECT_TRUE(gui.GetControlStack().TopHoldsInput());

    // Letters follow shift xor caps lock; digits follow shift alone.
    keys.Tick().Type("A").Down("LSHIFT").Type("B 1").Up("LSHIFT").Type("SPACE C D");  // D: full, dropped
    EXPECT_EQ(TextOf(box), "aB! c");
    EXPECT_EQ(box->GetCursor(), 5);
    keys.Type("BACKSPACE BACKSPACE");
    EXPECT_EQ(TextOf(box), "aB!");
    keys.Type("ENTER");
    EXPECT_FALSE(box->IsFocused());
    EXPECT_TRUE(gui.GetControlStack().IsEmpty());
    EXPECT_EQ(TextOf(box), "");
    lua->Chat().Update();
    ASSERT_EQ(lua->Chat().GetCount(), 1);
    EXPECT_EQ(*lua->Chat().GetNewestLine(0), "aB!");
    std::string taken;
    EXPECT_FALSE(box->TakeEnteredText(taken));

    // Enter on an empty box only gives up the focus.
    box->SetFocus(true);
    keys.Tick().Type("BACKSPACE");  // nothing before the cursor
    EXPECT_EQ(box->GetCursor(), 0);
    keys.Type("ENTER");
    EXPECT_FALSE(box->IsFocused());
    EXPECT_FALSE(box->HasEnteredText());

    // The "Chat" key gives the chat window's input box the focus, when shown.
    lua->Gui().AddObject("DefaultChatWindowInputBox", new GUIInputTextBox);
    auto* chatBox = static_cast<GUIInputTextBox*>(gui.FindObject("DefaultChatWindowInputBox"));
    {
        StderrCapture cap;
        keys.Type("Chat");
        EXPECT_FALSE(chatBox->IsFocused());  // hidden
        chatBox->SetDimensions(0, 40, 100, 20);
        keys.Type("Chat");
        EXPECT_TRUE(chatBox->IsFocused());
    }
    chatBox->SetFocus(false);

    // A hidden box lets go of the stack.
    box->SetFocus(true);
    box->Hide(false);
    gui.HandleMouseEvent(-1);
    EXPECT_TRUE(gui.GetControlStack().IsEmpty());
}

// One slow tick's key events: a stray W, Enter for the chat line, shift-H,
// i, then I for the inventory. Every key after the Enter is the chat line's,
// with the shift it was typed with, and the game sees none of them.
TEST_F(WithFont, KeysOfOneFrameAllReachTheChatLineAndNoneTheGame) {
    GUIManager& gui = lua->Gui();
    KeyboardManager& keyboard = lua->Keyboard();
    auto* chatBox = new GUIInputTextBox;
    gui.AddObject("DefaultChatWindowInputBox", chatBox);
    chatBox->SetDimensions(0, 40, 300, 20);
    GUIWindow* inventory = new GUIWindow;
    gui.AddObject("InventoryWindow", inventory);
    gui.AddObject("InventoryWindowSubmenu", new GUIWindow);
    inventory->Close();
    PlayerVorn player;
    PlayerVorn* savedPlayer = GetGlobalState()->player;
    GetGlobalState()->player = &player;

    testsupport::KeyTicks keys(keyboard);
    keys.Strike("W").Strike("ENTER").Down("LSHIFT").Strike("H").Up("LSHIFT").Strike("I");
    {
        StderrCapture cap;  // the focus line
        keys.Tick();
        gui.HandleHotkeys();
        EXPECT_TRUE(chatBox->IsFocused());
        EXPECT_TRUE(player.HoldsInputLock(GUIControlStack::kInputLockName));  // before the player's update
        EXPECT_FALSE(inventory->IsSelfVisible());
        gui.HandleMouseEvent(-1);
    }
    EXPECT_EQ(TextOf(chatBox), "Hi");
    EXPECT_TRUE(chatBox->IsFocused());

    GetGlobalState()->player = savedPlayer;
    chatBox->SetFocus(false);
}

TEST_F(WithFont, SmartTextLineShowsWatchedValues) {
    GUIManager& gui = lua->Gui();
    ASSERT_EQ(Printed("GUIOL_AddObject('Swatch', 'GUIColorBox') GUIColB_SetColorData(7, 0, 0, 0)"
                      "GUIOL_AddObject('S', 'GUISmartText') GUIG_SetDimensions(0, 0, 10, 10)"
                      "GUISTL_WatchProperty('GUI', 'Swatch', 'Red')"),
              "");
    auto* line = static_cast<GUISmartTextLine*>(gui.FindObject("S"));
    auto* swatch = static_cast<GUIColorBox*>(gui.FindObject("Swatch"));
    ASSERT_NE(swatch, nullptr);
    gui.HandleMouseEvent(-1);
    EXPECT_EQ(TextOf(line), "7");
    swatch->SetColor(-12, 0, 0, 0);
    gui.HandleMouseEvent(-1);
    EXPECT_EQ(TextOf(line), "-12");

    // A watched string (the chat log's newest line).
    lua->Chat().AddLine("hello there");
    EXPECT_EQ(Printed("GUISTL_WatchProperty('ChatLog', '', 'Log|00')"), "");
    gui.HandleMouseEvent(-1);
    EXPECT_EQ(TextOf(line), "hello there");

    // The owner goes: the text stays as it was, nothing is read.
    EXPECT_EQ(Printed("GUISTL_WatchProperty('GUI', 'Swatch', 'Green')"), "");
    gui.HandleMouseEvent(-1);
    EXPECT_EQ(TextOf(line), "0");
    swatch->SetColor(0, 9, 0, 0);
    delete swatch;
    gui.HandleMouseEvent(-1);
    EXPECT_EQ(TextOf(line), "0");

    EXPECT_EQ(Printed("GUIOL_AddObject('P', 'GUITextLine') GUISTL_WatchProperty('GUI', 'S', 'x')"),
              "GUISTL WatchProperty:  Failed, Active Object is not a GUISmartTextLine\n");
}

}  // namespace
