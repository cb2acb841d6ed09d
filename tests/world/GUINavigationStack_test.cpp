// Keyboard navigation through the control stack with the player in the
// game: choosing an entry, leaving the stack, and the dialogue box.
#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/KeyTicks.h"
#include "support/LuaTestState.h"
#include "support/TempDir.h"
#include "world/GUIDialogueManager.h"
#include "world/PlayerVorn.h"

class NavigationStackTest : public ::testing::Test {
protected:
    NavigationStackTest() {
        testsupport::EnsureAllegro();
        GetGlobalState()->player = player;
    }
    ~NavigationStackTest() override { delete player; }
    // The binding struck (none: no key), then a tick's keyboard update,
    // hand-out of the strokes and the stack's update.
    void Press(const char* binding) {
        if (binding) keys.Strike(binding);
        keys.Tick();
        Stack().Update();
    }
    GUIControlStack& Stack() { return lua.Gui().GetControlStack(); }

    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    PlayerVorn* player = new PlayerVorn;
    testsupport::KeyTicks keys{lua.Keyboard(), [this] { lua.Gui().HandleHotkeys(); }};
};

TEST_F(NavigationStackTest, AcceptChoosesCancelLeavesAndHiddenObjectsLetGo) {
    dir.WriteFile("Data/Scripts/VoidScript.lua", "voided = (voided or 0) + 1");
    dir.WriteFile("Data/Pick.lua", "picked = (picked or 0) + 1");
    lua.Run("clicks = 0");
    dir.WriteFile("click.lua", "clicks = clicks + 1");

    auto* menu = new GUIBaseObject;
    menu->SetDimensions(0, 0, 100, 100);
    menu->SetNavigationOn(true);
    menu->SetControlStackOnShow(true);
    menu->SetClosesOnLeavingStack(true);
    auto* button = new GUIButton;
    button->SetDimensions(0, 0, 10, 10);
    button->SetScript("click.lua", 1);
    menu->AddChild("Button", button);
    menu->AddNavEntry(button, false, al_map_rgb(0, 0, 0), "FORCECALL");
    menu->AddNavEntry(button, false, al_map_rgb(0, 0, 0), nullptr);
    menu->AddNavCursorEntry(0, 0, button, "Data/Pick.lua");
    auto* box = static_cast<GUIDialogueManager*>(GUIDialogueManager::Create(lua.Gui()));
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("Menu", menu);
    menu->Close();
    menu->Open();
    ASSERT_EQ(Stack().Top(), menu);

    Press("Accept");
    EXPECT_EQ(lua.GetNumber("clicks"), 1);
    EXPECT_EQ(lua.Gui().GetClickedButton(), button);
    EXPECT_TRUE(player->HoldsInputLock(GUIControlStack::kInputLockName));
    Press("Down");
    Press("Accept");
    EXPECT_EQ(lua.GetNumber("voided"), 1);
    Press("Down");
    Press("Accept");
    EXPECT_EQ(lua.GetNumber("picked"), 1);
    Press(nullptr);
    EXPECT_EQ(Stack().Top(), menu);

    // Cancel: the object leaves the stack and, closing on leaving, hides.
    Press("Cancel");
    EXPECT_FALSE(Stack().Contains(menu));
    EXPECT_FALSE(menu->IsSelfVisible());
    Stack().Update();
    EXPECT_FALSE(player->HoldsInputLock(GUIControlStack::kInputLockName));

    // Shown again, the cursor is back on the first entry.
    menu->Open();
    EXPECT_EQ(menu->GetNavCursor(), 0);

    // The dialogue box is talked to with the mouse, yet while it is shown it
    // holds the keys, in front, and they do nothing there: the menu it opened
    // over moves only once it is closed. Its text and answers are untouched.
    EXPECT_EQ(lua.Gui().GetTopLevelList()->GetHead()->value, menu);
    box->SetLineResponse(0, "Farewell.", GUIDialogueManager::kCloseResponse);
    box->AddText("Still typing");
    box->Open();
    EXPECT_EQ(lua.Gui().GetTopLevelList()->GetHead()->value, box);
    for (const char* key : {static_cast<const char*>(nullptr), "Down", "Accept", "Cancel"}) {
        Press(key);
        EXPECT_EQ(Stack().Top(), box) << (key ? key : "no key");
    }
    EXPECT_EQ(menu->GetNavCursor(), 0);
    EXPECT_FALSE(box->IsFastForward());
    EXPECT_EQ(box->GetLastResponse(), -1);
    box->Close();
    Press("Down");
    EXPECT_EQ(menu->GetNavCursor(), 1);

    // Hidden (through an ancestor or itself) or without navigation: lets go.
    menu->Close();
    Stack().Push(menu);
    EXPECT_TRUE(menu->HandleNavigation());
    menu->Open();
    menu->SetNavigationOn(false);
    EXPECT_TRUE(menu->HandleNavigation());
    menu->SetNavigationOn(true);
    Press(nullptr);
    EXPECT_FALSE(menu->HandleNavigation());
    Stack().Clear();
}

TEST_F(NavigationStackTest, ChoosingAnEntryThatDeletesItsObjectEndsCleanly) {
    // The entry's script deletes the menu that navigates; nothing touches it
    // afterwards.
    auto* menu = new GUIBaseObject;
    menu->SetDimensions(0, 0, 100, 100);
    menu->SetNavigationOn(true);
    menu->SetControlStackOnShow(true);
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("Doomed", menu);
    auto* button = new GUIButton;
    button->SetDimensions(0, 0, 10, 10);
    button->SetCallback([](void*) {
        delete GetGlobalState()->guiManager->FindObject("Doomed");
        return true;
    });
    menu->AddChild("Button", button);
    menu->AddNavEntry(button, true, al_map_rgb(0, 0, 0), "FORCECALL");
    menu->Close();
    menu->Open();
    Press("Accept");
    EXPECT_EQ(lua.Gui().FindObject("Doomed"), nullptr);
    EXPECT_TRUE(Stack().IsEmpty());
}
