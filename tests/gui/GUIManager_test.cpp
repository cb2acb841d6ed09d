#include "gui/GUIManager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/script/KeyboardManager.h"
#include "gui/GUICoreTestObjects.h"
#include "support/KeyTicks.h"
#include "support/StderrCapture.h"

using guitest::Widget;

namespace {

class GUIManagerTest : public guitest::ManagerFixture {
protected:
    Widget* Add(const char* name, int x, int y, int w, int h, std::vector<std::string>* log = nullptr,
                bool takes = false) {
        auto* window = new Widget(log, takes);
        manager->ResetActiveObjectList();
        manager->AddActiveObject(name, window);
        window->SetDimensions(x, y, w, h);
        return window;
    }
};

}  // namespace

TEST_F(GUIManagerTest, OverlappingWindowsHitAndDrawFrontFirst) {
    std::vector<std::string> log;
    Widget* back = Add("Back", 0, 0, 60, 60, &log, true);
    Widget* front = Add("Front", 40, 40, 60, 60, &log, true);
    back->Fill(al_map_rgb(255, 0, 0));
    front->Fill(al_map_rgb(0, 0, 255));
    manager->BringToFront(nullptr, front);
    EXPECT_EQ(manager->GetActiveObject(), front);

    manager->SetMousePosition(50.7f, 50.2f);  // truncated to (50, 50)
    EXPECT_TRUE(manager->HandleMouseEvent(kGUIEventPress));
    EXPECT_TRUE(manager->IsMouseDown());
    EXPECT_EQ(log, std::vector<std::string>{"Front:0@50,50"});

    BitmapWrapper target(120, 120, &GetGlobalState()->openGLMode);
    manager->Draw(&target);
    EXPECT_EQ(Px(&target, 50, 50), 0x0000FFFFu);
    EXPECT_EQ(Px(&target, 10, 10), 0xFF0000FFu);
    EXPECT_EQ(Px(&target, 110, 110), 0x000000FFu);  // cleared to black

    // The other window to the front: it gets the press and is drawn on top.
    manager->BringToFront(nullptr, back);
    log.clear();
    manager->HandleMouseEvent(kGUIEventRelease);
    EXPECT_FALSE(manager->IsMouseDown());
    EXPECT_EQ(log, std::vector<std::string>{"Back:1@50,50"});
    back->SetDirty(true);
    manager->Draw(&target);
    EXPECT_EQ(Px(&target, 50, 50), 0xFF0000FFu);

    // Nothing under the mouse: not taken.
    manager->SetMousePosition(500, 500);
    EXPECT_FALSE(manager->HandleMouseEvent(kGUIEventPress));

    // With the trace on the pulse reports each object and its end.
    testsupport::StderrCapture capture;
    GetGlobalState()->guiTrace = 1;
    manager->SetClearBeforeDraw(false);
    manager->Draw(&target);
    GetGlobalState()->guiTrace = 0;
    EXPECT_EQ(capture.Take(), "Draw Root/Front - Done\nDraw Root/Back - Done\nGUIDraw Pulse completed\n\n");
}

TEST_F(GUIManagerTest, RegistryLookupsAndLists) {
    EXPECT_FLOAT_EQ(manager->GetMouseX(), 320.0f);
    EXPECT_FLOAT_EQ(manager->GetMouseY(), 240.0f);
    EXPECT_EQ(manager->GetActiveObjectList(), nullptr);

    Widget* first = Add("First", 0, 0, 10, 10);
    Widget* shared = Add("Shared", 0, 0, 10, 10);
    auto* inner = new Widget;
    first->AddChild("Shared", inner);
    // The earlier window's child wins over a later top-level key.
    EXPECT_EQ(manager->FindObject("Shared"), inner);
    manager->BringToFront(nullptr, shared);
    EXPECT_EQ(manager->FindObject("Shared"), shared);
    EXPECT_EQ(manager->FindObject("shared"), nullptr);

    // Selecting a list owner: found objects own the list, "Base" the top.
    EXPECT_EQ(manager->SelectListOwner("First"), first->GetChildList());
    EXPECT_EQ(manager->GetListOwner(), first);
    EXPECT_EQ(manager->SelectListOwner("Nobody"), nullptr);
    EXPECT_EQ(manager->GetListOwner(), first);
    manager->SetActiveObjectList(first->GetChildList());
    auto* button = new Widget;
    manager->AddObject("Button", button);
    EXPECT_EQ(button->GetPathName(), "Root/First/Button");
    EXPECT_EQ(manager->SelectListOwner("Base"), manager->GetTopLevelList());
    EXPECT_EQ(manager->GetListOwner(), nullptr);

    // Standard UI: everything else is hidden, the environment stays.
    Widget* environment = Add("EnvironmentWindow", 0, 0, 10, 10);
    manager->AddToStandardUIByName("First");
    manager->AddToStandardUIByName("Missing");
    EXPECT_EQ(manager->GetStandardUIList()->GetCount(), 1);
    inner->Close();
    manager->ShowStandardUI();
    EXPECT_TRUE(first->IsVisible());
    EXPECT_TRUE(inner->IsVisible());
    EXPECT_FALSE(shared->IsSelfVisible());
    EXPECT_TRUE(environment->IsVisible());
    manager->HideAllObjects();
    EXPECT_FALSE(first->IsSelfVisible());
    EXPECT_TRUE(environment->IsVisible());
}

TEST_F(GUIManagerTest, ActiveWindowsAndTheMenuHotKey) {
    KeyboardManager keyboard;
    GlobalState* state = GetGlobalState();
    KeyboardManager* savedKeyboard = state->keyboardManager;
    state->keyboardManager = &keyboard;
    testsupport::KeyTicks keys(keyboard, [this] { manager->HandleHotkeys(); });

    // The bindings declare which are hot keys; each has its handler here.
    std::set<std::string> roles, handlers;
    for (const auto& [name, binding] : keyboard.GetBindings())
        if (binding.hotKey) roles.insert(name);
    for (const GUIManager::HotKeyHandler& handler : GUIManager::kHotKeyHandlers) handlers.insert(handler.binding);
    EXPECT_EQ(roles, handlers);

    Widget* older = Add("Older", 0, 0, 10, 10);
    Widget* newer = Add("Newer", 0, 0, 10, 10);
    Widget* pause = Add("PauseMenu", 0, 0, 10, 10);
    for (Widget* w : {older, newer, pause}) {
        w->SetJoinsActiveWindows(true);
        w->Close();
    }
    older->Open();
    newer->Open();
    manager->AddActiveWindow(newer);  // already at the head: no change
    manager->AddActiveWindowNamed("Newer", newer);
    EXPECT_EQ(manager->GetActiveWindowList()->GetCount(), 3);

    // Menu closes the newest window (every entry of it goes with Hide).
    keys.Type("Menu");
    EXPECT_FALSE(newer->IsSelfVisible());
    EXPECT_TRUE(older->IsSelfVisible());
    EXPECT_EQ(manager->GetActiveWindowList()->GetCount(), 1);

    // A window hidden behind the list's back is pruned before the close.
    Widget* stale = Add("Stale", 0, 0, 10, 10);
    manager->AddActiveWindow(stale);
    stale->Close();
    keys.Type("Menu");
    EXPECT_FALSE(older->IsSelfVisible());
    EXPECT_TRUE(manager->IsActiveWindowListEmpty());

    // Nothing open: the pause menu opens, and stays open when struck again.
    keys.Type("Menu");
    EXPECT_TRUE(pause->IsVisible());
    pause->SetJoinsActiveWindows(false);
    manager->RemoveActiveWindow(pause);
    keys.Type("Menu");
    EXPECT_TRUE(pause->IsVisible());

    // An object holding input on top of the control stack takes the keys.
    auto* typing = new Widget;
    typing->SetHoldsInput(true);
    manager->GetControlStack().Push(typing);
    pause->SetJoinsActiveWindows(true);
    manager->AddActiveWindow(pause);
    keys.Type("Menu");
    EXPECT_TRUE(pause->IsVisible());
    delete typing;  // leaves the stack as it goes
    EXPECT_TRUE(manager->GetControlStack().IsEmpty());
    keys.Type("Menu");
    EXPECT_FALSE(pause->IsSelfVisible());

    state->keyboardManager = savedKeyboard;
}

// Hot keys struck faster than the ticks: each strike acts once, in the
// order struck; a held key strikes once.
TEST_F(GUIManagerTest, EveryHotKeyStruckActsOnceInOrder) {
    const struct {
        const char* what;
        bool inventoryOpen;
        const char* keys;  // as KeyTicks::Play takes them
        const char* open;  // I: the inventory, P: the pause menu
    } rows[] = {
        {"Escape, Escape in one tick", true, "ESCAPE ESCAPE .", "P"},
        {"I, I in one tick", false, "I I .", ""},
        {"I, then Escape, in one tick", false, "I ESCAPE .", ""},
        {"Escape held", true, "+ESCAPE ~40 -ESCAPE .", ""},
    };
    KeyboardManager* savedKeyboard = GetGlobalState()->keyboardManager;
    for (const auto& row : rows) {
        KeyboardManager keyboard;
        GetGlobalState()->keyboardManager = &keyboard;
        testsupport::KeyTicks keys(keyboard, [this] { manager->HandleHotkeys(); });
        for (const char* name : {"InventoryWindow", "InventoryWindowSubmenu", "PauseMenu"}) {
            delete manager->FindObject(name);
            Add(name, 0, 0, 10, 10)->SetJoinsActiveWindows(true);
            manager->FindObject(name)->Close();
        }
        if (row.inventoryOpen) manager->FindObject("InventoryWindow")->Open();
        keys.Play(row.keys);
        std::string open;
        if (manager->FindObject("InventoryWindow")->IsVisible()) open += "I";
        if (manager->FindObject("PauseMenu")->IsVisible()) open += "P";
        EXPECT_EQ(open, row.open) << row.what;
    }
    GetGlobalState()->keyboardManager = savedKeyboard;
}
