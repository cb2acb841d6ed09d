// The dialogue box answered from the keyboard: the arrows move an outline
// over the response lines, the confirm key first shows the text still
// typing and then answers as a click on the line would, and the box keeps
// the keys for as long as it is shown.
#include <gtest/gtest.h>

#include <string>

#include "core/media/BitmapWrapper.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIControlStack.h"
#include "gui/GUIDialogueManager.h"
#include "gui/GUIManager.h"
#include "support/DialogueBoxFixture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

namespace {

class DialogueKeysTest : public testsupport::DialogueBoxFixture {
protected:
    void SetUp() override {
        DialogueBoxFixture::SetUp();
        // The character whose script answers: it counts its runs, keeps the
        // answer, and says something new with two answers of its own.
        dir.WriteFile("Talk.lua",
                      "calls = (calls or 0) + 1\nseen = GetLastChatResponse()\nClearDialogue()\n"
                      "DM_AddText('So be it.')\nDM_BreakLine()\nDM_AddResponse('Again', 7)\nDM_BreakLine()\n"
                      "DM_AddResponse('Bye', -3)\n");
        auto* npc = new NonPlayingCharacter;
        npc->SetDialoguePath("Talk.lua");
        lua->Entities().RegisterPointer("NPC", "Elder", npc);
        EXPECT_TRUE(lua->Run("DM_SetDialogueNPC('Elder')"));
    }

    // One tick with this binding struck (none for null).
    void Key(const char* binding) {
        KeyboardManager& keyboard = lua->Keyboard();
        for (const auto& [name, state] : keyboard.GetBindings()) keyboard.FindBinding(name)->pressed = 0;
        if (binding) keyboard.FindBinding(binding)->pressed = 1;
        lua->Gui().HandleMouseEvent(kGUIEventPulse);
    }
    // Ticks without keys until the box has typed everything queued.
    void TypeOut() {
        for (int i = 0; i < 400 && box->GetQueuedActionCount() > 0; ++i) Key(nullptr);
    }
    GUIControlStack& Stack() { return lua->Gui().GetControlStack(); }
    // The elder's greeting: a line of text, then three answers on lines 2,
    // 3 and 5.
    void Greet() {
        box->Open();
        box->AddText("Welcome.");
        box->BreakLine();
        box->BreakLine();
        box->AddResponse("Below?", 1);
        box->AddResponse("Slime?", 2);
        box->BreakLine();
        box->AddResponse("Farewell.", -3);
    }

    testsupport::TempDir dir;
};

TEST_F(DialogueKeysTest, ArrowsMoveOverTheAnswersAndConfirmAnswers) {
    Greet();
    Key(nullptr);
    EXPECT_EQ(Stack().Top(), box);
    // Typing: the confirm key shows the rest at once and answers nothing.
    Key("Accept");
    EXPECT_TRUE(box->IsFastForward());
    Key(nullptr);
    EXPECT_EQ(box->GetQueuedActionCount(), 0);
    EXPECT_EQ(lua->GetNumber("calls"), 0);
    EXPECT_EQ(box->GetHighlightedLine(), 2);

    // The highlighted line after each key.
    const struct {
        const char* key;
        int line;
    } steps[] = {
        {"Up", 2},   // the first answer: nothing above
        {"Down", 3},
        {"Down", 5},  // the blank line between is no answer
        {"Down", 5},
        {"Left", 5},
        {"Right", 5},
        {"Cancel", 5},
        {nullptr, 5},
        {"Up", 3},
    };
    for (const auto& step : steps) {
        Key(step.key);
        const std::string key = step.key ? step.key : "no key";
        EXPECT_EQ(box->GetHighlightedLine(), step.line) << key;
        EXPECT_EQ(Stack().Top(), box) << key;
        EXPECT_TRUE(box->IsVisible()) << key;
    }

    // "Slime?": the character's script runs with its value, once.
    Key("Accept");
    EXPECT_EQ(lua->GetNumber("calls"), 1);
    EXPECT_EQ(lua->GetNumber("seen"), 2);
    EXPECT_EQ(box->GetLastResponse(), 2);
    // Its new answers (on lines 1 and 3) start on the first one.
    TypeOut();
    EXPECT_EQ(box->GetLineResponse(1), 7);
    EXPECT_EQ(box->GetHighlightedLine(), 1);
    Key("Down");
    EXPECT_EQ(box->GetHighlightedLine(), 3);
    // "Bye" closes the box, which lets go of the keys; the script is not run.
    Key("Accept");
    EXPECT_FALSE(box->IsSelfVisible());
    EXPECT_FALSE(Stack().Contains(box));
    EXPECT_EQ(lua->GetNumber("calls"), 1);
}

TEST_F(DialogueKeysTest, WithoutAnswersTheKeysDoNothingButTheBoxKeepsThem) {
    box->Open();
    box->AddText("Hm.");
    TypeOut();
    EXPECT_EQ(box->GetHighlightedLine(), -1);
    for (const char* key : {"Down", "Accept", "Cancel"}) {
        Key(key);
        EXPECT_EQ(Stack().Top(), box) << key;
        EXPECT_EQ(lua->GetNumber("calls"), 0) << key;
        EXPECT_EQ(box->GetLastResponse(), -1) << key;
    }
    // Answers set at once by the older functions are options too.
    ASSERT_TRUE(lua->Run("SetDialogueResponse(4, 'Well?', 3)"));
    EXPECT_EQ(box->GetHighlightedLine(), 4);
    Key("Accept");
    EXPECT_EQ(lua->GetNumber("seen"), 3);
    TypeOut();
    EXPECT_EQ(box->GetHighlightedLine(), 1);
    // A line given plain text is no answer any more: the other one is
    // highlighted, then none.
    ASSERT_TRUE(lua->Run("SetDialogueLine(1, 'Plain')"));
    EXPECT_EQ(box->GetHighlightedLine(), 3);
    ASSERT_TRUE(lua->Run("SetDialogueLine(3, 'Plain too')"));
    EXPECT_EQ(box->GetHighlightedLine(), -1);
    Key("Accept");
    EXPECT_EQ(lua->GetNumber("calls"), 1);
}

TEST_F(DialogueKeysTest, ShownAgainWhileUpTheBoxStandsOnTheStackOnce) {
    box->Open();
    box->Open();  // as a dialogue script shows it on every answer
    EXPECT_EQ(Stack().GetCount(), 1);
    box->Close();
    EXPECT_TRUE(Stack().IsEmpty());
    // Opened anew, it starts on the first answer.
    box->SetLineResponse(1, "A", 1);
    box->SetLineResponse(3, "B", 2);
    box->Open();
    Key("Down");
    EXPECT_EQ(box->GetHighlightedLine(), 3);
    box->Close();
    box->Open();
    EXPECT_EQ(box->GetHighlightedLine(), 1);
}

TEST_F(DialogueKeysTest, TheOutlineIsRedrawnRoundTheHighlightedAnswer) {
    Greet();
    TypeOut();
    uint8_t noGL = 0;
    BitmapWrapper frame(800, 600, &noGL);
    lua->Gui().SetClearBeforeDraw(true);
    // Gold on the outline's top edge, along the top of the line (13 + 18 n);
    // the outlines of neighbouring lines do not touch.
    auto outlined = [&](int line) {
        unsigned char r, g, b, a;
        al_unmap_rgba(al_get_pixel(frame.GetBitmap(), 400, 380 + 13 + 18 * line), &r, &g, &b, &a);
        return r == 255 && g == 215 && b == 0;
    };
    lua->Gui().Draw(&frame);
    EXPECT_TRUE(outlined(2));
    EXPECT_FALSE(outlined(3));
    Key("Down");
    lua->Gui().Draw(&frame);
    EXPECT_FALSE(outlined(2));
    EXPECT_TRUE(outlined(3));
    // Nothing is outlined once the answers are cleared.
    box->Clear();
    lua->Gui().Draw(&frame);
    EXPECT_FALSE(outlined(3));
}

}  // namespace
