// The inventory windows: their layout and wiring, and an item's way through
// them from the keyboard (focus, submenu, use on a party member) and the
// mouse (move, drop).
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/StandardWindows.h"
#include "combat/Character.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatStats.h"
#include "combat/PartyManager.h"
#include "combat/RestoreEffect.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLine.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/PlayerVorn.h"
#include "world/items/InventoryWindows.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

using testsupport::StderrCapture;

namespace {

class InventoryWindowsTest : public ::testing::Test {
protected:
    InventoryWindowsTest() : saved(Start()) {
        GetGlobalState()->windowWidth = 800;
        GetGlobalState()->windowHeight = 600;
        GetGlobalState()->player = player;
        DataLibrary& library = lua->Library();
        library.AddSection("Fonts");
        library.AddCatalogue("Fonts", "General");
        library.AddHeading("Fonts", "General", "System");
        library.Register("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
        StderrCapture quiet;
        BuildDefaultWindows();
        inventory = player->GetInventory();
        party = static_cast<PartyManager*>(GetCombatRegistry().partyManager);

        potion.SetName("Potion");
        potion.SetStackProperties(true, 3);
        potion.SetUsableFlags(true, false, -1);
        potion.SetFlavourText(0, "Restores 30 HP.");
        potion.AddEquipEffect(std::unique_ptr<ItemEffectRecord>(MakeRestoreEffect(30, 1)));
        herb.SetName("Herb");
        herb.SetFlavourText(0, "Smells of rain.");
    }
    ~InventoryWindowsTest() override {
        delete player;
        delete lua;
        al_destroy_font(font);
        *GetGlobalState() = saved;
    }
    static GlobalState Start() {
        testsupport::EnsureAllegro();
        return *GetGlobalState();
    }
    GUIBaseObject* Find(const char* name) { return lua->Gui().FindObject(name); }
    GUIBaseObject* Cell(int slot) {
        char name[16];
        std::snprintf(name, sizeof name, "INV-%03d", slot);
        return Find(name);
    }
    // One tick of the keyboard, with the binding struck before it.
    void Tick(const char* binding = nullptr) {
        if (binding) keys.Strike(binding);
        keys.Tick();
    }
    void Click(int x, int y) {
        lua->Gui().SetMousePosition(static_cast<float>(x), static_cast<float>(y));
        lua->Gui().HandleMouseEvent(kGUIEventPulse);
        lua->Gui().HandleMouseEvent(kGUIEventPress);
        lua->Gui().HandleMouseEvent(kGUIEventRelease);
    }
    std::string Line(int i) {
        auto* line = static_cast<GUITextLine*>(Find(("Line" + std::to_string(i)).c_str()));
        return line && line->GetText() ? *line->GetText() : "";
    }
    Character* AddMember(const char* className, int hp) {
        Character* member = party->AddCharacter(className);
        member->GetStats()->hp = hp;
        return member;
    }

    GlobalState saved;
    testsupport::TempDir dir;
    testsupport::LuaTestState* lua = new testsupport::LuaTestState;
    ALLEGRO_FONT* font = al_create_builtin_font();
    PlayerVorn* player = new PlayerVorn;
    PlayerInventory* inventory = nullptr;
    PartyManager* party = nullptr;
    ItemPrototype potion;
    ItemPrototype herb;
    testsupport::GuiKeyTicks keys{lua->Keyboard(), lua->Gui()};
};

}  // namespace

TEST_F(InventoryWindowsTest, SevenWindowsBuiltOnceClosedAndWired) {
    const int topLevel = lua->Gui().GetTopLevelList()->GetCount();
    BuildDefaultWindows();
    EXPECT_EQ(lua->Gui().GetTopLevelList()->GetCount(), topLevel);

    const char* names[] = {"InventoryWindow",       "InventoryWindowSubmenu", "InventoryDescriptionWindow",
                           "InventoryTargetWindow", "InventoryTitleWindow",   "InventoryItemsWindow",
                           "BitAndItemCountWindow"};
    for (const char* name : names) {
        GUIBaseObject* window = Find(name);
        ASSERT_NE(window, nullptr) << name;
        EXPECT_FALSE(window->IsVisible()) << name;
    }
    GUIBaseObject* items = Find("InventoryItemsWindow");
    EXPECT_EQ(Find("InventoryWindowSubmenu")->GetNamedPointer("TargetWindowPtr"), Find("InventoryTargetWindow"));
    EXPECT_EQ(Find("InventoryDescriptionWindow")->GetNamedPointer("ItemWindowPtr"), items);
    EXPECT_TRUE(Find("InventoryWindow")->GetLinkedWindows()->ContainsValue(Find("InventoryDescriptionWindow")));
    EXPECT_TRUE(items->GetLinkedWindows()->ContainsValue(Find("InventoryWindow")));

    // The grid: row by row from "INV-000"; row 2, column 3 is number 23.
    EXPECT_EQ(items->GetChildList()->GetCount(), 100);
    EXPECT_EQ(items->GetNavEntryCount(), 50);
    EXPECT_EQ(*static_cast<int32_t*>(items->GetPointerAt(0)), 50);
    EXPECT_EQ(Cell(23)->GetX1(), 109);
    EXPECT_EQ(Cell(23)->GetY1(), 77);
    EXPECT_EQ(Cell(49)->GetX1(), 13 + 32 * 9);
    EXPECT_EQ(Find("CurrentBitsLine")->GetX1(), 183);
    EXPECT_EQ(Find("ItemCountLine")->GetX1(), 18);
    EXPECT_EQ(Find("InventoryWindowSubmenu")->GetNavEntryCount(), 3);
}

TEST_F(InventoryWindowsTest, AnItemIsChosenAndUsedOnAPartyMemberFromTheKeyboard) {
    Character* orravine = AddMember("Orravine", 10);
    AddMember("Bramle", 5);
    AddMember("Sesket", 5);
    inventory->AddItem("Potion", &potion, false);
    inventory->AddItem("Potion", &potion, false);
    inventory->AddItem("Herb", &herb, false);

    // The key opens the inventory; the grid takes the keyboard.
    Tick("Inventory");
    ASSERT_TRUE(Find("InventoryWindow")->IsVisible());
    EXPECT_TRUE(Find("InventoryDescriptionWindow")->IsVisible());
    GUIControlStack& stack = lua->Gui().GetControlStack();
    EXPECT_EQ(stack.Top(), Find("InventoryItemsWindow"));
    EXPECT_TRUE(player->HoldsInputLock(GUIControlStack::kInputLockName));
    Tick();
    EXPECT_EQ(Cell(0)->GetNamedPointer("ItemPtr"), inventory->GetItemAt(0));
    EXPECT_EQ(Cell(2)->GetNamedPointer("ItemPtr"), nullptr);
    EXPECT_EQ(Line(0), "Restores 30 HP.");
    Tick("Right");
    Tick();
    EXPECT_EQ(Line(0), "Smells of rain.");
    Tick("Right");
    Tick();
    EXPECT_EQ(Line(0), "");
    Tick("Left");
    Tick("Left");

    // Accept on the potion opens the submenu; Accept on "Use" opens the
    // party list.
    Tick("Accept");
    GUIBaseObject* submenu = Find("InventoryWindowSubmenu");
    EXPECT_TRUE(submenu->IsVisible());
    EXPECT_EQ(Find("InventoryWindow")->GetNamedPointer("ActiveItemPtr"), inventory->GetItemAt(0));
    EXPECT_EQ(stack.Top(), submenu);
    Tick("Accept");
    GUIBaseObject* target = Find("InventoryTargetWindow");
    EXPECT_TRUE(target->IsVisible());
    Tick();
    EXPECT_EQ(target->GetWidth(), 250);
    EXPECT_EQ(target->GetHeight(), 74);
    EXPECT_EQ(target->GetNavEntryCount(), 3);
    auto* hpLine = static_cast<GUITextLine*>(target->GetChildList()->GetAt(1));
    ASSERT_NE(hpLine->GetText(), nullptr);
    char expected[32];
    std::snprintf(expected, sizeof expected, "HP   10/%-4i", orravine->GetStats()->maxHp);
    EXPECT_EQ(*hpLine->GetText(), expected);

    // Two uses on the first member: the second uses the potion up and the
    // menus close.
    {
        StderrCapture cap;
        Tick("Accept");
        EXPECT_EQ(orravine->GetStats()->hp, std::min(40, orravine->GetStats()->maxHp));
        EXPECT_NE(cap.Take().find("recovered 30 HP!"), std::string::npos);
    }
    EXPECT_EQ(inventory->GetItemAt(0)->GetQuantity(), 1);
    EXPECT_TRUE(target->IsVisible());
    {
        StderrCapture cap;
        Tick("Accept");
    }
    EXPECT_EQ(inventory->GetItemAt(0), nullptr);
    EXPECT_FALSE(target->IsVisible());
    EXPECT_FALSE(submenu->IsVisible());
    EXPECT_EQ(Find("InventoryWindow")->GetNamedPointer("ActiveItemPtr"), nullptr);
    EXPECT_EQ(target->GetNamedPointer("ActiveItemPtr"), nullptr);
    EXPECT_EQ(stack.Top(), Find("InventoryItemsWindow"));
    Tick();
    EXPECT_EQ(Cell(0)->GetNamedPointer("ItemPtr"), nullptr);

    // Cancel leaves the grid and closes the inventory with its description.
    Tick("Cancel");
    EXPECT_FALSE(Find("InventoryWindow")->IsVisible());
    EXPECT_FALSE(Find("InventoryDescriptionWindow")->IsVisible());
    Tick();
    EXPECT_FALSE(player->HoldsInputLock(GUIControlStack::kInputLockName));
}

TEST_F(InventoryWindowsTest, ItemsAreMovedAndDroppedWithTheMouse) {
    inventory->AddItem("Potion", &potion, false);
    inventory->AddItem("Herb", &herb, false);
    ItemInstance* herbItem = inventory->GetItemAt(1);
    Tick("Inventory");
    Tick();
    // Grid cells sit at (13 + 32 column, 47 + 32 row) on the screen; the
    // submenu's buttons at (13, 267), (13, 299) and (13, 331).
    Click(20, 55);  // the potion
    EXPECT_TRUE(Find("InventoryWindowSubmenu")->IsVisible());
    Click(20, 305);  // Move
    EXPECT_FALSE(Find("InventoryWindowSubmenu")->IsVisible());
    EXPECT_EQ(Find("InventoryWindow")->GetNamedPointer("ActiveMoveItemPtr"), inventory->GetItemAt(0));
    Click(20 + 32 * 4, 55 + 32);  // slot 14, empty
    EXPECT_EQ(inventory->GetItemAt(0), nullptr);
    EXPECT_EQ(inventory->GetItemAt(14)->GetName(), "Potion");
    EXPECT_EQ(Find("InventoryWindow")->GetNamedPointer("ActiveMoveItemPtr"), nullptr);
    EXPECT_FALSE(Find("InventoryWindowSubmenu")->IsVisible());

    // Moving onto the same slot swaps nothing and ends the move.
    Tick();
    Click(20 + 32, 55);  // the herb
    Click(20, 305);
    Click(20 + 32, 55);
    EXPECT_EQ(inventory->GetItemAt(1), herbItem);
    EXPECT_EQ(Find("InventoryWindow")->GetNamedPointer("ActiveMoveItemPtr"), nullptr);

    // Drop deletes the item, and nothing keeps a pointer to it.
    Click(20 + 32, 55);
    Click(20, 337);  // Drop
    EXPECT_EQ(inventory->GetItemAt(1), nullptr);
    EXPECT_EQ(inventory->CountItems(), 1);
    EXPECT_EQ(Cell(1)->GetNamedPointer("ItemPtr"), nullptr);
    EXPECT_FALSE(Find("InventoryWindowSubmenu")->IsVisible());

    // Drop without an active item only closes the target window.
    Find("InventoryTargetWindow")->Open();
    EXPECT_FALSE(Inv_DropItem(nullptr));
    EXPECT_FALSE(Find("InventoryTargetWindow")->IsVisible());
    EXPECT_EQ(inventory->CountItems(), 1);
}

TEST_F(InventoryWindowsTest, AClickedItemIsTheHighlightedAndDescribedOne) {
    inventory->AddItem("Potion", &potion, false);
    inventory->AddItem("Herb", &herb, false);
    Tick("Inventory");
    Tick();
    GUIBaseObject* items = Find("InventoryItemsWindow");
    EXPECT_EQ(items->GetNavTarget(), Cell(0));
    EXPECT_EQ(Line(0), "Restores 30 HP.");

    Click(20 + 32, 55);  // the herb
    EXPECT_TRUE(Find("InventoryWindowSubmenu")->IsVisible());
    EXPECT_EQ(items->GetNavTarget(), Cell(1));
    Tick();
    EXPECT_EQ(Line(0), "Smells of rain.");

    // A click on an empty cell moves the highlight there too.
    Find("InventoryWindowSubmenu")->Close();
    Click(20 + 32 * 3, 55 + 32 * 2);
    EXPECT_EQ(items->GetNavTarget(), Cell(23));
    Tick();
    EXPECT_EQ(Line(0), "");
}

TEST_F(InventoryWindowsTest, AnItemThatIsNotUsableIsOfferedAndSpentWithoutEffect) {
    Character* orravine = AddMember("Orravine", 10);
    inventory->AddItem("Herb", &herb, false);  // no usable flag
    Tick("Inventory");
    Tick();
    Click(20, 55);
    ASSERT_TRUE(Find("InventoryWindowSubmenu")->IsVisible());
    Click(20, 273);  // Use
    ASSERT_TRUE(Find("InventoryTargetWindow")->IsVisible());
    Tick();
    StderrCapture cap;
    Click(154 + 20, 254 + 18);  // Orravine
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(inventory->CountItems(), 0);
    EXPECT_EQ(orravine->GetStats()->hp, 10);
    EXPECT_FALSE(Find("InventoryTargetWindow")->IsVisible());
    EXPECT_FALSE(Find("InventoryWindowSubmenu")->IsVisible());
}

TEST_F(InventoryWindowsTest, TheTargetListShowsTheHPThatAUseLeft) {
    AddMember("Orravine", 10);
    Character* bramle = AddMember("Bramle", 5);
    inventory->AddItem("Potion", &potion, false);
    inventory->AddItem("Potion", &potion, false);
    Tick("Inventory");
    Tick();
    Tick("Accept");
    Tick("Accept");
    Tick();
    GUIBaseObject* target = Find("InventoryTargetWindow");
    ASSERT_TRUE(target->IsVisible());
    auto hpLine = [&](int member) {
        auto* line = static_cast<GUITextLine*>(target->GetChildList()->GetAt(2 * member + 1));
        return line && line->GetText() ? *line->GetText() : std::string();
    };
    char before[32];
    std::snprintf(before, sizeof before, "HP    5/%-4i", bramle->GetStats()->maxHp);
    EXPECT_EQ(hpLine(1), before);

    Tick("Down");
    {
        StderrCapture cap;
        Tick("Accept");
    }
    ASSERT_EQ(bramle->GetStats()->hp, 35);
    char after[32];
    std::snprintf(after, sizeof after, "HP   35/%-4i", bramle->GetStats()->maxHp);
    EXPECT_EQ(hpLine(1), after);
    // The list and its highlight stay where they were.
    EXPECT_TRUE(target->IsVisible());
    EXPECT_EQ(target->GetNavCursor(), 1);
    EXPECT_EQ(target->GetNavEntryCount(), 2);
}

TEST_F(InventoryWindowsTest, CallbacksBoundByScriptsToOtherButtonsReadNoButtonData) {
    inventory->AddItem("Herb", &herb, false);
    ASSERT_TRUE(
        lua->Run("GUI_SetActiveObjectList('Base') GUIOL_AddObject('Stray', 'GUIButton') "
                 "GUIG_SetDimensions(500, 500, 20, 20) GUIB_SetFunctionData('Inv_ActivateItem')"));
    auto* stray = static_cast<GUIButton*>(Find("Stray"));
    ASSERT_NE(stray, nullptr);
    stray->AllocData(2);
    stray->Open();
    for (const char* callback : {"Inv_ActivateItem", "Inv_UseItem", "Inv_UseItemOnTarget", "Inv_SwapItems"}) {
        stray->SetFunction(callback);
        EXPECT_NE(stray->GetCallback(), nullptr) << callback;
        Click(505, 505);
        EXPECT_EQ(inventory->CountItems(), 1) << callback;
        EXPECT_FALSE(Find("InventoryWindowSubmenu")->IsVisible()) << callback;
    }
    EXPECT_EQ(GetInventoryButtonCallback("Inv_Other"), nullptr);
    EXPECT_EQ(GetInventoryButtonCallback("inv_UseItem"), nullptr);
}

TEST_F(InventoryWindowsTest, TheTitleScreenLeavesNoManagerReference) {
    GUIBaseObject* screen = BuildTitleScreen();
    ASSERT_NE(screen, nullptr);
    GUIManager& gui = lua->Gui();
    gui.SetActiveObject(screen);
    gui.SetListOwner(screen);
    gui.SetActiveObjectList(screen->GetChildList());
    gui.SetDragObject(screen);
    gui.SetClickedButton(screen);
    gui.AddActiveWindow(screen);
    gui.AddToStandardUI(screen);
    gui.GetControlStack().Push(screen);
    {
        StderrCapture quiet;
        DestroyTitleScreen();
    }
    EXPECT_EQ(gui.FindObject("TitleScreen"), nullptr);
    EXPECT_EQ(gui.GetActiveObject(), nullptr);
    EXPECT_EQ(gui.GetListOwner(), nullptr);
    EXPECT_EQ(gui.GetActiveObjectList(), nullptr);
    EXPECT_EQ(gui.GetDragObject(), nullptr);
    EXPECT_EQ(gui.GetClickedButton(), nullptr);
    EXPECT_FALSE(gui.GetActiveWindowList()->ContainsValue(screen));
    EXPECT_FALSE(gui.GetStandardUIList()->ContainsValue(screen));
    EXPECT_FALSE(gui.GetControlStack().Contains(screen));
}
