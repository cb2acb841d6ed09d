// The dialogue box: what its queue types and when, wrapping and cursor
// corrections, clicks on the text area, the chat window's visibility, the
// script functions and drawing.
#include "world/GUIDialogueManager.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "core/media/BitmapWrapper.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "gui/DataBlock.h"
#include "gui/GUIManager.h"
#include "gui/PixelProbe.h"
#include "support/DialogueBoxFixture.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/ChatBubble.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

using testsupport::StderrCapture;

namespace {

class DialogueBoxTest : public testsupport::DialogueBoxFixture {
protected:
    // The visible text of a line, trailing blanks dropped.
    std::string Line(int index) const {
        std::string text = box->GetLine(index)->GetText();
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) lua->Gui().HandleMouseEvent(kGUIEventPulse);
    }
    // Registers a picture, making its path first.
    void Put(const char* section, const char* catalogue, const char* heading, const char* name, void* pointer,
             DataKind kind) {
        DataLibrary& library = lua->Library();
        library.AddSection(section);
        library.AddCatalogue(section, catalogue);
        library.AddHeading(section, catalogue, heading);
        ASSERT_TRUE(library.Register(section, catalogue, heading, name, pointer, kind));
    }
    // A click in the box at (lx, ly) relative to its corner.
    bool Click(int lx, int ly) {
        lua->Gui().SetMousePosition(static_cast<float>(lx), static_cast<float>(380 + ly));
        lua->Gui().HandleMouseEvent(kGUIEventPress);
        return lua->Gui().HandleMouseEvent(kGUIEventRelease);
    }
    // The (type, bytes) of every queued record, leaving the queue as it was.
    std::vector<std::pair<int32_t, std::vector<uint8_t>>> Drain() {
        std::vector<std::pair<int32_t, std::vector<uint8_t>>> out;
        GenericQueue& queue = box->GetQueue();
        std::vector<DataBlock*> blocks;
        while (!queue.IsEmpty()) blocks.push_back(static_cast<DataBlock*>(queue.Pop()));
        for (DataBlock* block : blocks) {
            out.push_back({block->type, block->value});
            queue.Push("X", block);
        }
        return out;
    }
};

TEST_F(DialogueBoxTest, IsBuiltOnceHiddenAlongTheBottomWithTenBlankLines) {
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(lua->Gui().FindObject("DialogueManager"), box);
    EXPECT_EQ(GUIDialogueManager::Create(lua->Gui()), box);
    EXPECT_EQ(lua->Gui().GetTopLevelList()->GetCount(), 1);
    EXPECT_EQ(box->GetX1(), 0);
    EXPECT_EQ(box->GetY1(), 380);
    EXPECT_EQ(box->GetWidth(), 800);
    EXPECT_EQ(box->GetHeight(), 220);
    EXPECT_FALSE(box->IsSelfVisible());
    EXPECT_EQ(box->GetInputLockName(), "DialogueManager");
    ASSERT_EQ(box->GetLineCount(), 10);
    EXPECT_EQ(box->GetLine(0)->GetText(), " ");
    EXPECT_EQ(box->GetLastResponse(), -1);

    // Hidden, the queue stands still.
    box->AddText("a");
    Tick(3);
    EXPECT_EQ(box->GetQueuedActionCount(), 3);
}

TEST_F(DialogueBoxTest, AddTextQueuesCharacterSoundAndTickButNoSoundForBlanks) {
    box->AddText("ab c");
    auto records = Drain();
    std::vector<int32_t> types;
    for (auto& r : records) types.push_back(r.first);
    EXPECT_EQ(types, (std::vector<int32_t>{100, 21, 101, 100, 21, 101, 100, 101, 100, 21, 101}));
    EXPECT_EQ(records[0].second, (std::vector<uint8_t>{0, 0, 0, 'a'}));
    EXPECT_EQ(records[1].second, (std::vector<uint8_t>{'T', 'e', 'x', 't', 'T', 'i', 'c', 'k', 0}));
    // A byte above 127 is sign-extended like a signed character.
    box->Clear();
    box->AddText("\xE9");
    EXPECT_EQ(Drain()[0].second, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xE9}));

    box->Clear();
    box->AddResponse("Yes", 7);
    box->AddDelay(0);
    box->AddDelay(-4);
    box->QueueCursor(2, 3);
    records = Drain();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].first, 106);
    EXPECT_EQ(records[0].second, (std::vector<uint8_t>{'Y', 'e', 's', 0, 0, 0, 0, 7}));
    EXPECT_EQ(records[1].first, 101);
    EXPECT_EQ(records[2].first, 104);
    EXPECT_EQ(records[3].second, (std::vector<uint8_t>{0, 0, 0, 2, 0, 0, 0, 3}));
}

TEST_F(DialogueBoxTest, TextSpeedSpacesTheCharactersOut) {
    box->Open();
    // The tick on which each character appeared.
    // (Waits left from the run before run out first; Clear keeps them.)
    auto typeTimes = [&](const std::string& text, float speed = -1.0f) {
        Tick(5);
        box->Clear();
        if (speed >= 0.0f) box->SetTextSpeed(speed);
        box->AddText(text);
        std::vector<int> ticks;
        for (int tick = 1; tick <= 20 && ticks.size() < text.size(); ++tick) {
            Tick();
            while (ticks.size() < text.size() && Line(0).size() > ticks.size()) ticks.push_back(tick);
        }
        return ticks;
    };
    EXPECT_EQ(typeTimes("abcd"), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(typeTimes("abc", 2.0f), (std::vector<int>{1, 4, 7}));
    EXPECT_FLOAT_EQ(box->GetTextSpeed(), 2.0f);
    // Speed 0 is the default speed.
    EXPECT_EQ(typeTimes("abcd", 0.0f), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_FLOAT_EQ(box->GetTextSpeed(), 0.5f);

    // A delay holds the queue for its ticks.
    Tick(5);
    box->Clear();
    box->AddDelay(3);
    box->AddText("x");
    Tick(4);
    EXPECT_EQ(Line(0), "");
    Tick();
    EXPECT_EQ(Line(0), "x");

    // An enormous speed waits for ever but does not hang the tick.
    box->SetTextSpeed(1e30f);
    box->AddText("yz");
    Tick(3);
    EXPECT_EQ(Line(0), "xy");
    EXPECT_EQ(box->GetWaitCounter(), INT32_MAX - 2);
}

TEST_F(DialogueBoxTest, TextWrapsAfterSeventyCharactersAndCursorIsCorrected) {
    box->Open();
    box->AddText(std::string(70, 'a') + "b");
    Tick(200);
    EXPECT_EQ(Line(0), std::string(70, 'a'));
    EXPECT_EQ(Line(1), "b");
    box->AddResponse("Go on", 4);
    box->AddText("c");
    Tick(10);
    // The response lands on the cursor line without moving it; the break
    // that follows does.
    EXPECT_EQ(box->GetLineResponse(1), 4);
    EXPECT_EQ(Line(1), "Go on");
    EXPECT_EQ(Line(2), "c");
    EXPECT_EQ(box->GetLineResponse(10), -1);

    {
        StderrCapture cap;
        box->SetLineText(9, "~BLANK");
        box->QueueCursor(9, 69);
        box->AddText("de");
        Tick(10);
        EXPECT_EQ(cap.Take(), "Warning:  Script AddText overruns line limit.  Please revise!\n");
        EXPECT_EQ(box->GetLine(9)->GetText()[69], 'd');
        EXPECT_EQ(Line(0), "e" + std::string(69, 'a'));
    }
    {
        StderrCapture cap;
        box->QueueCursor(10, 0);
        box->AddText("f");
        Tick(3);
        EXPECT_EQ(cap.Take(), "GUIDialogueManager::SetCursor:  Warning, pLine should not exceed 10\n");
        EXPECT_EQ(Line(0)[0], 'f');
    }
    {
        StderrCapture cap;
        box->QueueCursor(3, 81);
        box->AddText("g");
        Tick(3);
        EXPECT_EQ(cap.Take(), "GUIDialogueManager::SetCursor:  Warning, pSlot should not exceed 80\n");
        EXPECT_EQ(Line(3), "g");
    }
    // Slots 79 and 80 are past the line's buffer: dropped, then next line.
    box->QueueCursor(4, 79);
    box->AddText("hi");
    Tick(4);
    EXPECT_EQ(Line(4), "");
    EXPECT_EQ(Line(5), "i");
    // A negative line drops what is typed there, with a line each.
    {
        StderrCapture cap;
        box->QueueCursor(-1, 0);
        box->AddText("j");
        Tick(3);
        EXPECT_EQ(cap.Take(), "GUIDialogueManager::PerformQueueAction:  Warning, -1x0 is out of range!\n");
    }
}

TEST_F(DialogueBoxTest, ClicksFastForwardThenAnswerThroughTheDialogueScript) {
    testsupport::TempDir dir;
    dir.WriteFile("Talk.lua",
                  "calls = (calls or 0) + 1\nseen = GetLastChatResponse()\nClearDialogue()\n"
                  "DM_AddText('Fine')\n");

    box->Open();
    box->AddText("Hello there");
    box->AddResponse("Bye", 5);
    Tick();
    EXPECT_EQ(Line(0), "H");
    // A press outside the text area arms nothing there.
    EXPECT_FALSE(Click(100, 100));
    EXPECT_FALSE(box->IsFastForward());
    // A release in the text area while typing shows the rest at once.
    EXPECT_FALSE(Click(300, 20));
    EXPECT_TRUE(box->IsFastForward());
    Tick();
    EXPECT_EQ(Line(0), "Bye");
    EXPECT_EQ(box->GetLineResponse(0), 5);
    EXPECT_EQ(box->GetQueuedActionCount(), 0);

    // A response without a dialogue character warns and runs nothing.
    {
        StderrCapture cap;
        EXPECT_TRUE(Click(300, 14));
        EXPECT_EQ(cap.Take(), "DialogueManager::SubUpdate:  Warning, Dialogue NPC wasn't set during response!\n");
    }
    EXPECT_EQ(box->GetLastResponse(), 5);

    auto* npc = new NonPlayingCharacter;
    npc->SetDialoguePath("Talk.lua");
    lua->Entities().RegisterPointer("NPC", "Bob", npc);
    ASSERT_TRUE(lua->Run("DM_SetDialogueNPC('Bob')"));
    EXPECT_EQ(lua->Entities().GetDialogueCharacter(), npc);
    EXPECT_TRUE(Click(300, 13 + 17));
    EXPECT_EQ(lua->GetNumber("calls"), 1);
    EXPECT_EQ(lua->GetNumber("seen"), 5);
    // Cleared by the script, so typing is back to one character a tick.
    EXPECT_FALSE(box->IsFastForward());
    Tick(2);  // a wait left from the last page may take the first tick
    EXPECT_EQ(Line(0).substr(0, 1), "F");
    EXPECT_LT(Line(0).size(), 3u);

    // A line without a response is not taken and stores -1; a release
    // without its own press does nothing.
    Tick(10);
    EXPECT_FALSE(Click(300, 13 + 18 * 3));
    EXPECT_EQ(box->GetLastResponse(), -1);
    box->SetLineResponse(2, "Again", 0);
    lua->Gui().SetMousePosition(300, 380 + 13 + 36);
    EXPECT_FALSE(lua->Gui().HandleMouseEvent(kGUIEventRelease));
    EXPECT_TRUE(Click(300, 13 + 36));
    EXPECT_EQ(lua->GetNumber("calls"), 2);

    // DM_ManualActivate runs the script with -2 in place, then -1.
    ASSERT_TRUE(lua->Run("DM_ManualActivate()"));
    EXPECT_EQ(lua->GetNumber("seen"), -2);
    EXPECT_EQ(box->GetLastResponse(), -1);
    EXPECT_EQ(lua->GetNumber("calls"), 3);

    // Without a dialogue script, or once the character goes, nothing happens.
    box->SetResponseState(6);
    npc->SetDialoguePath("");
    ASSERT_TRUE(lua->Run("DM_ManualActivate()"));
    EXPECT_EQ(box->GetLastResponse(), 6);
    npc->SetDialoguePath("Talk.lua");
    lua->Entities().DeleteEntity(npc);
    ASSERT_TRUE(lua->Run("DM_ManualActivate()"));
    EXPECT_EQ(lua->GetNumber("calls"), 3);
}

TEST_F(DialogueBoxTest, ChatWindowIsHiddenWhileTheBoxShowsAndRestoredOnClose) {
    auto* chat = new GUIBaseObject;
    lua->Gui().ResetActiveObjectList();
    lua->Gui().AddObject("DefaultChatWindow", chat);
    chat->SetDimensions(0, 0, 100, 100);
    chat->Open();
    // Closing a box that never hid the chat window leaves it alone.
    box->Close();
    ASSERT_TRUE(chat->IsSelfVisible());

    box->Open();
    EXPECT_FALSE(chat->IsSelfVisible());
    // Shown again while up (a dialogue script does this on every answer).
    box->Open();
    box->SetLineResponse(0, "Goodbye", GUIDialogueManager::kCloseResponse);
    EXPECT_TRUE(Click(300, 15));
    EXPECT_FALSE(box->IsSelfVisible());
    EXPECT_FALSE(lua->Gui().GetControlStack().Contains(box));
    EXPECT_TRUE(chat->IsSelfVisible());
    EXPECT_EQ(box->GetLastResponse(), -3);

    // Hiding with children only leaves the chat window hidden; a later
    // Show keeps the state from before the box first came up.
    box->Open();
    box->Hide(true);
    EXPECT_FALSE(chat->IsSelfVisible());
    box->Open();
    box->Close();
    EXPECT_TRUE(chat->IsSelfVisible());

    // A line being typed there keeps the keys and the window until it goes.
    auto* line = new GUIBaseObject;
    line->SetHoldsInput(true);
    chat->AddChild("Line", line);
    lua->Gui().GetControlStack().Push(line);
    box->Open();
    EXPECT_EQ(lua->Gui().GetControlStack().Top(), line);
    EXPECT_TRUE(chat->IsSelfVisible());
    lua->Gui().GetControlStack().Remove(line);
    Tick();
    EXPECT_FALSE(chat->IsSelfVisible());
    box->Close();

    // A chat window that was hidden stays hidden.
    chat->Close();
    box->Open();
    box->Close();
    EXPECT_FALSE(chat->IsSelfVisible());
}

TEST_F(DialogueBoxTest, ScriptFunctionsSetPicturesLinesAndReportAMissingBox) {
    Portrait face, face2, scene;
    Put("Images", "Portraits", "Test", "Face", &face, DataKind::Portrait);
    Put("Images", "Portraits", "Test", "Face2", &face2, DataKind::Portrait);
    Put("Images", "Portraits", "Test", "Scene", &scene, DataKind::Portrait);

    ASSERT_TRUE(lua->Run("DM_SetPortrait('Images', 'Portraits', 'Test', 'Face')"));
    EXPECT_EQ(box->GetPortraitImage(), &face);
    ASSERT_TRUE(lua->Run("DM_SetPortrait('Dev', 'nULL', 'x', 'y')"));
    EXPECT_EQ(box->GetPortraitImage(), nullptr);
    {
        StderrCapture cap;
        ASSERT_TRUE(lua->Run("DM_SetPortrait('Images', 'Portraits', 'Test', 'Nobody')"));
        EXPECT_NE(cap.Take().find("DM_SetPortrait:  Failed, portrait not found\n"), std::string::npos);
    }
    ASSERT_TRUE(lua->Run("DM_SetBackground('Images', 'Portraits', 'Test', 'Scene')"));
    {
        StderrCapture cap;
        ASSERT_TRUE(lua->Run("DM_SetBackground('Images', 'Portraits', 'Test', 'Nothing')"));
        EXPECT_NE(cap.Take().find("DM_SetBackground:  Failed, portrait not found\n"), std::string::npos);
    }
    EXPECT_EQ(box->GetBackgroundImage(), &scene);

    // Queued pictures change when played; a missing one silently changes
    // nothing.
    box->Open();
    ASSERT_TRUE(
        lua->Run("DM_QueueSetPortrait('Images', 'Portraits', 'Test', 'Face2')\n"
                 "DM_QueueSetBackground('Images', 'Portraits', 'Test', 'Gone')\nDM_AddText('a')"));
    EXPECT_EQ(box->GetPortraitImage(), nullptr);
    {
        StderrCapture cap;
        Tick();
        EXPECT_EQ(cap.Take(), "");
    }
    EXPECT_EQ(box->GetPortraitImage(), &face2);
    EXPECT_EQ(box->GetBackgroundImage(), &scene);

    ASSERT_TRUE(
        lua->Run("n = SetDialogueLineIncr(3, 'Line three')\nm = SetDialogueResponseIncr(n, 'Pick', 9)\n"
                 "SetDialogueLine(42, 'nowhere')\nr = GetLastChatResponse()"));
    EXPECT_EQ(lua->GetNumber("n"), 4);
    EXPECT_EQ(lua->GetNumber("m"), 5);
    EXPECT_EQ(Line(3), "Line three");
    EXPECT_EQ(box->GetLineResponse(4), 9);
    EXPECT_EQ(lua->GetNumber("r"), -1);

    ASSERT_TRUE(
        lua->Run("DM_SetTextSpeed(2.9)\nDM_AddText('x')\nDM_SetCursor(7, 2)\nDM_BreakLine()"
                 "\nDM_ResetCursor()\nDM_AddDelay(2.7)"));
    std::vector<int32_t> types;
    for (auto& r : Drain()) types.push_back(r.first);
    EXPECT_EQ(types, (std::vector<int32_t>{102, 100, 21, 101, 103, 104, 103, 105}));
    // A speed beyond float's range is narrowed to its largest value.
    ASSERT_TRUE(lua->Run("ClearDialogue()\nDM_SetTextSpeed(1e300)"));
    float speed = 0.0f;
    ASSERT_EQ(Drain().at(0).second.size(), sizeof speed);
    std::memcpy(&speed, Drain()[0].second.data(), sizeof speed);
    EXPECT_EQ(speed, FLT_MAX);
    ASSERT_TRUE(lua->Run("ClearDialogue()"));
    EXPECT_EQ(box->GetQueuedActionCount(), 0);
    EXPECT_EQ(Line(3), "");

    {
        StderrCapture cap;
        ASSERT_TRUE(lua->Run("DM_SetDialogueNPC('Nobody')\nSetPortrait(1, 2)\nSetPortraitBackground()"));
        EXPECT_EQ(cap.Take(),
                  "DM_SetDialogueNPC:  Failed, NPC Nobody not found\n"
                  "SetPortrait:  This function is deprecated.  Please replace it with DM_SetPortrait.\n"
                  "SetPortraitBackground:  This function is deprecated.  Please replace it with DM_SetBackground.\n");
    }

    // Without the box every function says so and returns nothing.
    lua->Gui().GetTopLevelList()->RemoveValue(box);
    delete box;
    box = nullptr;
    StderrCapture cap;
    ASSERT_TRUE(
        lua->Run("a = GetLastChatResponse()\nDM_AddText('x')\nClearDialogue()\nDM_BreakLine(1, 2)\n"
                 "DM_ManualActivate()"));
    EXPECT_EQ(cap.Take(),
              "GetLastChatResponse:  Failed, could not find DialogueManager!\n"
              "DM_AddText:  Failed, could not find DialogueManager!\n"
              "ClearDialogue:  Failed, could not find DialogueManager!\n"
              "DM_BreakLine:  Failed, could not find DialogueManager!\n");
    EXPECT_TRUE(lua->IsNil("a"));
}

TEST_F(DialogueBoxTest, DrawsPanePicturesAndText) {
    uint8_t noGL = 0;
    BitmapWrapper* pane = new BitmapWrapper(800, 220, &noGL);
    al_set_target_bitmap(pane->GetBitmap());
    al_clear_to_color(al_map_rgb(0, 0, 255));
    Portrait background, face;
    background.SetBitmap(new BitmapWrapper(40, 40, &noGL));
    al_set_target_bitmap(background.GetBitmap()->GetBitmap());
    al_clear_to_color(al_map_rgb(0, 255, 0));
    face.SetBitmap(new BitmapWrapper(20, 20, &noGL));
    al_set_target_bitmap(face.GetBitmap()->GetBitmap());
    al_clear_to_color(al_map_rgb(255, 0, 0));
    Put("Images", "GUI", "Chat", "ChatPane", pane, DataKind::Bitmap);

    // A box built with the pane registered.
    lua->Gui().GetTopLevelList()->RemoveValue(box);
    delete box;
    box = static_cast<GUIDialogueManager*>(GUIDialogueManager::Create(lua->Gui()));
    box->SetBackgroundImage(&background);
    box->SetPortraitImage(&face);
    box->Open();

    BitmapWrapper frame(800, 600, &noGL);
    lua->Gui().SetClearBeforeDraw(true);
    lua->Gui().Draw(&frame);
    EXPECT_EQ(Px(&frame, 5, 385), 0x0000FFFFu);                  // pane
    EXPECT_EQ(Px(&frame, 11 + 5, 380 + 13 + 5), 0xFF0000FFu);    // portrait over the background
    EXPECT_EQ(Px(&frame, 11 + 30, 380 + 13 + 30), 0x00FF00FFu);  // background around it
    EXPECT_EQ(Px(&frame, 5, 375), 0x000000FFu);                  // above the box
    box->SetPortraitImage(nullptr);
    box->SetBackgroundImage(nullptr);
    lua->Library().RemovePointer("Images", "GUI", "Chat", "ChatPane", DataKind::Bitmap);
    delete pane;
}

}  // namespace
