#include "world/items/InventoryWindows.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/OptionalMedia.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIImage.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLine.h"
#include "gui/GUIWindow.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemInstance.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

namespace {

constexpr const char* kInventory = "InventoryWindow";
constexpr const char* kSubmenu = "InventoryWindowSubmenu";
constexpr const char* kDescription = "InventoryDescriptionWindow";
constexpr const char* kTarget = "InventoryTargetWindow";
constexpr const char* kItems = "InventoryItemsWindow";

constexpr int kGridColumns = 10;
constexpr int kGridRows = 5;
constexpr int kCellSize = 32;

GUIManager* Manager() { return GetGlobalState()->guiManager; }

PlayerInventory* Inventory() {
    PlayerVorn* player = GetGlobalState()->player;
    return player ? player->GetInventory() : nullptr;
}

GUIBaseObject* Find(const char* name) {
    GUIManager* manager = Manager();
    return manager ? manager->FindObject(name) : nullptr;
}

// The button the GUI manager last clicked, when it is a button.
GUIButton* ClickedButton() {
    GUIManager* manager = Manager();
    GUIBaseObject* clicked = manager ? manager->GetClickedButton() : nullptr;
    return clicked && clicked->GetType() == kTypeGUIButton ? static_cast<GUIButton*>(clicked) : nullptr;
}

GUIWindow* NewWindow(int x, int y, int w, int h) {
    auto* window = new GUIWindow;
    window->SetDimensions(x, y, w, h);
    window->SetBackgroundColor(0, 0, 0);
    return window;
}

GUITextLine* AddTextLine(GUIBaseObject* parent, const std::string& name, int x, int y, const char* text) {
    auto* line = new GUITextLine;
    line->SetDimensions(x, y, 1, 16);
    line->SetAutoSize(true);
    line->SetString(text);
    parent->AddChild(name, line);
    return line;
}

GUIButton* AddTextButton(GUIBaseObject* parent, const char* name, int x, int y, const char* text,
                         const char* callback) {
    auto* button = new GUIButton;
    button->SetDimensions(x, y, 128, 32);
    button->BuildTextImages(al_map_rgb(195, 150, 210), al_map_rgb(168, 124, 183), al_map_rgb(154, 113, 169), text);
    button->SetFunction(callback);
    parent->AddChild(name, button);
    return button;
}

// A top-level window joins the top level as the GUI manager's active object,
// at the front.
void AddTopLevel(const char* name, GUIBaseObject* window) {
    GUIManager* manager = Manager();
    manager->ResetActiveObjectList();
    manager->AddActiveObject(name, window);
    manager->BringToFront(nullptr, window);
}

// Makes the button the navigating window's current entry, so the highlight
// and the description follow a click as they follow the keys.
void FocusNavEntryOf(GUIBaseObject* window, const GUIBaseObject* button) {
    if (!window || !button) return;
    const int count = window->GetNavEntryCount();
    for (int i = 0; i < count; ++i) {
        const GUINavEntry* entry = window->GetNavEntry(i);
        if (!entry || entry->GetTarget() != button) continue;
        window->MoveNavCursor(i - std::max(window->GetNavCursor(), 0), true);
        return;
    }
}

void DeleteFlag(void* flag) { delete static_cast<uint8_t*>(flag); }
void DeleteCount(void* count) { delete static_cast<int32_t*>(count); }

const ALLEGRO_COLOR kMenuHighlight = al_map_rgba(200, 200, 0, 128);

}  // namespace

// ---- Builders -------------------------------------------------------------------------------

GUIBaseObject* BuildInventorySubmenu() {
    if (GUIBaseObject* existing = Find(kSubmenu)) return existing;
    GUIWindow* menu = NewWindow(0, 254, 154, 122);
    menu->UseDefaultBorder();
    menu->SetJoinsActiveWindows(true);
    menu->SetNavigationOn(true);
    menu->SetClosesOnLeavingStack(true);
    menu->SetControlStackOnShow(true);
    menu->SetNavigationRowStep(3);
    GUIButton* use = AddTextButton(menu, "UseBtn", 13, 13, "Use", "Inv_UseItem");
    GUIButton* move = AddTextButton(menu, "MoveBtn", 13, 45, "Move", "Inv_SwapItems");
    GUIButton* drop = AddTextButton(menu, "DropBtn", 13, 77, "Drop", "Inv_DropItem");
    for (GUIButton* button : {use, move, drop})
        menu->AddNavEntry(button, true, kMenuHighlight, GUINavEntry::kForceCall);
    AddTopLevel(kSubmenu, menu);
    return menu;
}

GUIBaseObject* BuildInventoryDescriptionWindow() {
    if (GUIBaseObject* existing = Find(kDescription)) return existing;
    GUIWindow* window = NewWindow(0, 254, 600, 90);
    window->AddStateFlags(2);
    window->SetPulseCallback(&InventoryDescriptionHook);
    window->UseDefaultBorder();
    for (int i = 0; i < 4; ++i) AddTextLine(window, "Line" + std::to_string(i), 13, 13 + 16 * i, " ");
    AddTopLevel(kDescription, window);
    return window;
}

GUIBaseObject* BuildInventoryTargetWindow() {
    if (GUIBaseObject* existing = Find(kTarget)) return existing;
    GUIWindow* window = NewWindow(154, 254, 1, 1);
    window->SetPulseCallback(&InventoryTargetHook);
    window->UseDefaultBorder();
    window->SetJoinsActiveWindows(true);
    window->SetNavigationOn(true);
    window->SetClosesOnLeavingStack(true);
    window->SetControlStackOnShow(true);
    // The fill sizes and fills the window while the flag is 1.
    window->SetNamedPointerWithDeleter("RefreshState", new uint8_t(1), &DeleteFlag);
    AddTopLevel(kTarget, window);
    return window;
}

GUIBaseObject* BuildInventoryTitleWindow(GUIBaseObject* inventory) {
    if (!inventory) return nullptr;
    GUIWindow* window = NewWindow(0, 0, 346, 47);
    window->UseDefaultBorder();
    AddTextLine(window, "InventoryTitleLine", 13, 13, "Inventory Window");
    inventory->AddChild("InventoryTitleWindow", window);
    return window;
}

void BuildItemGrid(GUIBaseObject* items) {
    if (!items) return;
    BitmapWrapper* border = OptionalImage("Misc", "ItemIcons", "ItemBorder");
    items->ClearNavEntries();
    items->SetNavigationOn(true);
    items->SetNavigationRowStep(kGridColumns);
    int n = 0;
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column, ++n) {
            const int x = 13 + kCellSize * column;
            const int y = 13 + kCellSize * row;
            auto* frame = new GUIImage;
            frame->SetDimensions(x, y, kCellSize, kCellSize);
            frame->SetImage(border);
            items->AddChild("X", frame);
            auto* button = new GUIButton;
            button->SetDimensions(x, y, kCellSize, kCellSize);
            button->SetFunction("Inv_ActivateItem");
            char digits[16];
            std::snprintf(digits, sizeof digits, "%03d", n);
            items->AddChild(std::string("INV-") + digits, button);
            items->AddNavEntry(button, false, al_map_rgb(255, 255, 255), GUINavEntry::kForceCall);
        }
    }
    items->SetNamedPointerWithDeleter("X", new int32_t(kGridColumns * kGridRows), &DeleteCount);
}

GUIBaseObject* BuildInventoryItemsWindow(GUIBaseObject* inventory) {
    if (!inventory) return nullptr;
    GUIWindow* window = NewWindow(0, 34, 346, 186);
    window->UseDefaultBorder();
    window->SetControlStackOnShow(true);
    window->SetNavigationWrap(true);
    window->SetNavigationColumns(kGridColumns);
    window->SetClosesOnLeavingStack(true);
    window->AddStateFlags(1);
    window->SetPulseCallback(&InventoryItemsHook);
    window->SetNavigationOn(true);
    window->SetNavigationRowStep(kGridColumns);
    inventory->AddChild(kItems, window);
    BuildItemGrid(window);
    return window;
}

GUIBaseObject* BuildBitAndItemCountWindow(GUIBaseObject* inventory) {
    if (!inventory) return nullptr;
    GUIWindow* window = NewWindow(0, 207, 346, 47);
    window->UseDefaultBorder();
    AddTextLine(window, "ItemCountLine", 18, 13, "0/16");
    // The bits sit at the right end of the window: its width less 163.
    AddTextLine(window, "CurrentBitsLine", window->GetWidth() - 163, 13, "Bits: 000000000");
    inventory->AddChild("BitAndItemCountWindow", window);
    return window;
}

void BuildInventoryWindow() {
    if (!Manager() || Find(kInventory)) return;
    GUIWindow* inventory = NewWindow(0, 0, 346, 254);
    inventory->SetJoinsActiveWindows(true);
    inventory->SetClosesOnLeavingStack(true);
    inventory->SetNavigationOn(true);
    inventory->SetLock(0);
    AddTopLevel(kInventory, inventory);

    GUIBaseObject* submenu = BuildInventorySubmenu();
    GUIBaseObject* description = BuildInventoryDescriptionWindow();
    GUIBaseObject* target = BuildInventoryTargetWindow();
    BuildInventoryTitleWindow(inventory);
    GUIBaseObject* items = BuildInventoryItemsWindow(inventory);
    BuildBitAndItemCountWindow(inventory);

    // Every window exists now: the pointers between them are wired, none of
    // them owned.
    if (submenu && target) submenu->SetOwnedPointer("TargetWindowPtr", target);
    if (description && items) description->SetOwnedPointer("ItemWindowPtr", items);
    if (description) inventory->AddLinkedWindow(description);
    if (items) items->AddLinkedWindow(inventory);

    for (GUIBaseObject* window : {static_cast<GUIBaseObject*>(inventory), submenu, description, target})
        if (window) window->Close();
}

// ---- Hooks --------------------------------------------------------------------------------

void InventoryItemsHook(GUIBaseObject* window) {
    if (PlayerInventory* inventory = Inventory(); inventory && window) inventory->FillItemsWindow(window);
}

void InventoryDescriptionHook(GUIBaseObject* window) {
    if (PlayerInventory* inventory = Inventory(); inventory && window) inventory->FillDescriptionWindow(window);
}

void InventoryTargetHook(GUIBaseObject* window) {
    if (PlayerInventory* inventory = Inventory(); inventory && window) inventory->FillTargetWindow(window);
}

// ---- Callbacks ----------------------------------------------------------------------------

bool Inv_ActivateItem(void*) {
    GUIButton* button = ClickedButton();
    GUIBaseObject* inventoryWindow = Find(kInventory);
    GUIBaseObject* submenu = Find(kSubmenu);
    PlayerInventory* inventory = Inventory();
    if (!button || !inventoryWindow || !submenu || !inventory) return false;
    FocusNavEntryOf(button->GetParent(), button);
    if (auto* moving = static_cast<ItemInstance*>(inventoryWindow->GetNamedPointer("ActiveMoveItemPtr"))) {
        inventory->SwapSlots(inventory->FindSlotOf(moving), PlayerInventory::SlotIndexFromButton(button));
        inventoryWindow->RemoveNamedPointer("ActiveItemPtr");
        inventoryWindow->RemoveNamedPointer("ActiveMoveItemPtr");
        return true;
    }
    // The slot's item as it is now: the grid is filled at the pulse, and a
    // key struck in the tick the window opened comes before that.
    ItemInstance* item = inventory->GetItemAt(PlayerInventory::SlotIndexFromButton(button));
    if (!item) return false;
    inventoryWindow->SetOwnedPointer("ActiveItemPtr", item);
    submenu->Open();
    submenu->BringToFront();
    return true;
}

bool Inv_UseItem(void*) {
    GUIBaseObject* inventoryWindow = Find(kInventory);
    GUIBaseObject* target = Find(kTarget);
    if (!inventoryWindow || !target) return false;
    auto* item = static_cast<ItemInstance*>(inventoryWindow->GetNamedPointer("ActiveItemPtr"));
    auto* refresh = static_cast<uint8_t*>(target->GetNamedPointer("RefreshState"));
    if (!item || !refresh) return false;
    target->Open();
    target->SetOwnedPointer("ActiveItemPtr", item);
    *refresh = 1;
    return true;
}

bool Inv_UseItemOnTarget(void*) {
    GUIButton* button = ClickedButton();
    GUIBaseObject* target = Find(kTarget);
    PlayerInventory* inventory = Inventory();
    if (!button || !target || !inventory) return false;
    auto* item = static_cast<ItemInstance*>(target->GetNamedPointer("ActiveItemPtr"));
    auto* character = static_cast<Character*>(button->GetNamedPointer("CharacterPtr"));
    // Only an item still in a slot, on a character still in the party.
    CombatParty* party = GetCombatRegistry().partyManager;
    NamedList* members = party ? party->GetPartyList() : nullptr;
    if (!item || !character || inventory->FindSlotOf(item) < 0 || !members || !members->ContainsValue(character))
        return false;
    if (!inventory->UseItem(item, character)) {
        // Some of the item is left: the list stays, with the HP it left.
        PlayerInventory::UpdateTargetHP(target);
        return true;
    }
    // The last one is gone; every pointer to it went with it.
    if (GUIBaseObject* inventoryWindow = Find(kInventory)) inventoryWindow->RemoveNamedPointer("ActiveItemPtr");
    target->Close();
    target->RemoveNamedPointer("ActiveItemPtr");
    if (GUIBaseObject* submenu = Find(kSubmenu)) {
        submenu->Close();
        submenu->RemoveNamedPointer("ActiveItemPtr");
    }
    return true;
}

bool Inv_SwapItems(void*) {
    if (GUIBaseObject* target = Find(kTarget)) target->Close();
    GUIBaseObject* inventoryWindow = Find(kInventory);
    if (inventoryWindow) {
        if (void* item = inventoryWindow->GetNamedPointer("ActiveItemPtr"))
            inventoryWindow->SetOwnedPointer("ActiveMoveItemPtr", item);
    }
    if (GUIBaseObject* submenu = Find(kSubmenu)) submenu->Close();
    return true;
}

bool Inv_DropItem(void*) {
    if (GUIBaseObject* target = Find(kTarget)) target->Close();
    GUIBaseObject* inventoryWindow = Find(kInventory);
    GUIBaseObject* submenu = Find(kSubmenu);
    PlayerInventory* inventory = Inventory();
    if (!inventoryWindow || !submenu || !inventory) return false;
    auto* item = static_cast<ItemInstance*>(inventoryWindow->GetNamedPointer("ActiveItemPtr"));
    if (!item) return false;
    inventory->RemoveItem(item);
    inventoryWindow->RemoveNamedPointer("ActiveItemPtr");
    submenu->Close();
    return true;
}

ButtonCallback GetInventoryButtonCallback(const std::string& name) {
    if (name == "Inv_ActivateItem") return &Inv_ActivateItem;
    if (name == "Inv_UseItem") return &Inv_UseItem;
    if (name == "Inv_UseItemOnTarget") return &Inv_UseItemOnTarget;
    if (name == "Inv_SwapItems") return &Inv_SwapItems;
    if (name == "Inv_DropItem") return &Inv_DropItem;
    return nullptr;
}
