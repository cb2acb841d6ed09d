// Items and the player's inventory: stacking, placing, swapping, using,
// rebuilding by code, the names of grid buttons, and the script functions
// that define prototypes and hand out items.
#include "world/items/PlayerInventory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "combat/RestoreEffect.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "gui/GUIWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"

using testsupport::StderrCapture;

namespace {

ItemPrototype* NewPrototype(std::vector<std::unique_ptr<ItemPrototype>>& keep, const std::string& name, bool stackable,
                            int maximum) {
    auto prototype = std::make_unique<ItemPrototype>();
    prototype->SetName(name);
    prototype->SetStackProperties(stackable, maximum);
    keep.push_back(std::move(prototype));
    return keep.back().get();
}

std::vector<int> Quantities(const PlayerInventory& inventory) {
    std::vector<int> quantities;
    for (int i = 0; i < inventory.GetSlotCount(); ++i)
        if (ItemInstance* item = inventory.GetItemAt(i)) quantities.push_back(item->GetQuantity());
    return quantities;
}

// An effect that records the target it was handed and the data after it.
Character* g_seenTarget = nullptr;
std::vector<uint8_t> g_seenData;
int g_calls = 0;
void RecordEffect(const uint8_t* block, uint32_t size) {
    ++g_calls;
    std::memcpy(&g_seenTarget, block + sizeof(void*), sizeof(void*));
    g_seenData.assign(block + 2 * sizeof(void*), block + size);
}

}  // namespace

TEST(PlayerInventory, StacksByNameUpToTheMaximum) {
    struct Case {
        bool stackable;
        int maximum;
        int additions;
        std::vector<int> quantities;
        int added;
    };
    const Case cases[] = {
        {true, 3, 4, {3}, 3},      // the fourth is dropped
        {false, 3, 4, {3, 1}, 4},  // a full stack that does not stack opens a new slot
        {false, 1, 3, {1, 1, 1}, 3},
        {true, 1, 2, {1}, 1},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<ItemPrototype>> keep;
        ItemPrototype* potion = NewPrototype(keep, "Potion", c.stackable, c.maximum);
        PlayerInventory inventory;
        int added = 0;
        for (int i = 0; i < c.additions; ++i) added += inventory.AddItem("Potion", potion, false) ? 1 : 0;
        EXPECT_EQ(Quantities(inventory), c.quantities) << c.stackable << " " << c.maximum;
        EXPECT_EQ(added, c.added);
    }

    // A full inventory takes nothing more; nameless or prototype-less calls
    // add nothing.
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    ItemPrototype* stone = NewPrototype(keep, "Stone", false, 1);
    PlayerInventory inventory;
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(inventory.AddItem("Stone", stone, false));
    EXPECT_FALSE(inventory.AddItem("Stone", stone, false));
    EXPECT_FALSE(inventory.AddItem("", stone, false));
    EXPECT_FALSE(inventory.AddItem("Stone", nullptr, false));
    EXPECT_EQ(inventory.CountItems(), 50);
    EXPECT_EQ(inventory.FreeSlots(), 0);
}

TEST(PlayerInventory, PlacingKeepsQuantityAndRefusalLeavesTheItemWithTheCaller) {
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    ItemPrototype* herb = NewPrototype(keep, "Herb", true, 9);
    herb->SetCode(7);
    PlayerInventory inventory;
    auto first = std::make_unique<ItemInstance>(herb, false);
    first->SetQuantity(5);
    ItemInstance* placed = first.get();
    ASSERT_TRUE(inventory.PutItemInSlot(first, 49));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(inventory.GetItemAt(49)->GetQuantity(), 5);
    EXPECT_EQ(inventory.GetCodeAt(49), 7);

    for (int index : {49, 50, -2, 1000}) {
        auto other = std::make_unique<ItemInstance>(herb, false);
        EXPECT_FALSE(inventory.PutItemInSlot(other, index)) << index;
        EXPECT_NE(other, nullptr) << index;
    }
    EXPECT_EQ(inventory.GetItemAt(49), placed);
    EXPECT_EQ(inventory.CountItems(), 1);

    auto next = std::make_unique<ItemInstance>(herb, false);
    ASSERT_TRUE(inventory.PutItemInSlot(next, -1));
    EXPECT_NE(inventory.GetItemAt(0), nullptr);
    EXPECT_EQ(inventory.FindSlotOf(placed), 49);
    EXPECT_EQ(inventory.FindByName("Herb"), 0);

    // Swaps need two different slots in range; an empty slot may take part.
    inventory.SwapSlots(49, 10);
    EXPECT_EQ(inventory.GetItemAt(10), placed);
    EXPECT_EQ(inventory.GetItemAt(49), nullptr);
    inventory.SwapSlots(10, 10);
    inventory.SwapSlots(10, 50);
    inventory.SwapSlots(-1, 10);
    EXPECT_EQ(inventory.GetItemAt(10), placed);
    EXPECT_EQ(inventory.GetCodeAt(49), 0);
    EXPECT_EQ(inventory.GetCodeAt(50), 0);

    inventory.RemoveItem(placed);
    EXPECT_EQ(inventory.FindSlotOf(placed), -1);
    inventory.Clear();
    EXPECT_EQ(inventory.CountItems(), 0);
}

TEST(PlayerInventory, UsingRunsTheEffectsWithTheWholeTargetAndUsesTheLastOneUp) {
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    ItemPrototype* tonic = NewPrototype(keep, "Tonic", true, 5);
    auto effect = std::make_unique<ItemEffectRecord>();
    effect->function = &RecordEffect;
    effect->data = {1, 2, 3};
    tonic->AddEquipEffect(std::move(effect));
    tonic->AddEquipEffect(nullptr);
    // A target far above 4 GB: every byte of the pointer must arrive.
    auto* target = reinterpret_cast<Character*>(uintptr_t{0x123456789ABCDEF0});

    PlayerInventory inventory;
    for (int i = 0; i < 3; ++i) inventory.AddItem("Tonic", tonic, false);
    ItemInstance* item = inventory.GetItemAt(0);
    g_calls = 0;
    // Not usable: no effect runs, but one is spent all the same.
    EXPECT_FALSE(inventory.UseItem(item, target));
    EXPECT_EQ(g_calls, 0);
    EXPECT_EQ(item->GetQuantity(), 2);
    EXPECT_FALSE(inventory.UseItem(item, nullptr));
    EXPECT_FALSE(inventory.UseItem(nullptr, target));
    EXPECT_EQ(item->GetQuantity(), 2);

    tonic->SetUsableFlags(true, false, -1);
    EXPECT_FALSE(inventory.UseItem(item, target));
    EXPECT_EQ(item->GetQuantity(), 1);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_seenTarget, target);
    EXPECT_EQ(g_seenData, (std::vector<uint8_t>{1, 2, 3}));

    // The last one goes, usable or not.
    tonic->SetUsableFlags(false, false, -1);
    EXPECT_TRUE(inventory.UseItem(item, target));
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(inventory.CountItems(), 0);
}

TEST(ItemPrototype, ClonesOwnTheirEffectsAndKeepWhatTheSourceIs) {
    auto source = std::make_unique<ItemPrototype>();
    source->SetName("Elixir");
    source->SetCode(12);
    source->SetUsableFlags(true, true, 7);  // no slot
    source->SetStackProperties(true, 4);
    source->SetFlavourText(0, "Line zero");
    source->SetFlavourText(3, "Line three");
    source->SetFlavourText(4, "ignored");
    source->AddEquipEffect(std::unique_ptr<ItemEffectRecord>(MakeRestoreEffect(30, 1)));
    {
        // The item owns its clone; deleting the item and then the source
        // frees each effect record once.
        ItemInstance item(source.get(), true);
        ItemPrototype* clone = item.GetPrototype();
        ASSERT_NE(clone, source.get());
        EXPECT_TRUE(item.OwnsPrototype());
        EXPECT_EQ(item.GetName(), "Elixir");
        EXPECT_EQ(clone->GetCode(), -1);
        EXPECT_TRUE(clone->IsNotEquippable());
        EXPECT_FALSE(clone->IsSecondUseFlagClear());
        EXPECT_EQ(clone->GetStackMaximum(), 4);
        ASSERT_EQ(clone->GetEffectCount(), 1u);
        EXPECT_NE(clone->GetEffect(0), source->GetEffect(0));
        EXPECT_EQ(clone->GetEffect(0)->data, source->GetEffect(0)->data);
        EXPECT_EQ(*clone->GetFlavourText(3), "Line three");
        EXPECT_EQ(clone->GetFlavourText(1), nullptr);
        EXPECT_EQ(clone->GetFlavourText(4), nullptr);
    }
    source->SetUsableFlags(false, false, 2);
    EXPECT_FALSE(source->IsNotEquippable());
    EXPECT_EQ(source->GetEquipSlot(), 2);
    ItemInstance shared(source.get(), false);
    EXPECT_EQ(shared.GetPrototype(), source.get());
    EXPECT_NE(shared.GetSerial(), ItemInstance(source.get(), false).GetSerial());
}

TEST(PlayerInventory, SlotIndexFromButtonReadsThreeDigits) {
    const std::pair<const char*, int> cases[] = {
        {"INV-017", 17}, {"INV-000", 0},  {"INV-049", 49},    {"INV-0", -1},
        {"INV-1x3", -1}, {"INV- 12", -1}, {"INV-12345", 123},
    };
    for (const auto& [name, slot] : cases) {
        GUIButton button;
        button.SetName(name);
        EXPECT_EQ(PlayerInventory::SlotIndexFromButton(&button), slot) << name;
    }
    EXPECT_EQ(PlayerInventory::SlotIndexFromButton(nullptr), -1);
}

TEST(PlayerInventory, DumpListsEverySlot) {
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    ItemPrototype* key = NewPrototype(keep, "Key", false, 1);
    PlayerInventory inventory;
    std::unique_ptr<ItemInstance> item = std::make_unique<ItemInstance>(key, false);
    item->SetQuantity(3);
    ItemInstance* address = item.get();
    inventory.PutItemInSlot(item, 1);
    char* text = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&text, &size);
    inventory.Dump(stream);
    std::fclose(stream);
    char expected[128];
    std::snprintf(expected, sizeof expected, "0: Empty\n1:  3 of Key, addr %p\n2: Empty\n",
                  static_cast<void*>(address));
    EXPECT_EQ(std::string(text).substr(0, std::strlen(expected)), expected);
    EXPECT_NE(std::string(text).find("49: Empty\n"), std::string::npos);
    std::free(text);
}

class InventoryScriptTest : public ::testing::Test {
protected:
    InventoryScriptTest() {
        testsupport::EnsureAllegro();
        GetGlobalState()->player = player;
        DataLibrary& library = lua.Library();
        library.AddSection("ItemPrototypes");
        library.AddCatalogue("ItemPrototypes", "Potions");
        library.AddHeading("ItemPrototypes", "Potions", "Healing");
        library.AddSection("Images");
        library.AddCatalogue("Images", "Items");
        library.AddHeading("Images", "Items", "Icons");
    }
    ~InventoryScriptTest() override {
        delete player;
        // The prototypes live as long as the library that lists them.
        NamedList* heading = lua.Library().GetHeading("ItemPrototypes", "Potions", "Healing");
        for (NamedList::Node* node = heading ? heading->GetHead() : nullptr; node; node = node->next) {
            auto* entry = static_cast<DataLibrary::Entry*>(node->value);
            if (entry->kind == DataKind::ItemPrototype) delete static_cast<ItemPrototype*>(entry->pointer);
        }
    }
    std::string Printed(const std::string& chunk) { return testsupport::RunScript(lua, chunk); }
    ItemPrototype* Prototype(const char* name) {
        return lua.Library().Get<ItemPrototype>("ItemPrototypes", "Potions", "Healing", name, DataKind::ItemPrototype);
    }

    testsupport::LuaTestState lua;
    PlayerVorn* player = new PlayerVorn;
};

TEST_F(InventoryScriptTest, ScriptsDefinePrototypesAndHandOutItems) {
    EXPECT_EQ(Printed("DL_RegisterItemPrototype('ItemPrototypes', 'Potions', 'Healing', 'Red', 'Red Potion')"
                      "IP_SetPrototypeCode(5, true)"
                      "IP_SetUsableFlags(1, 0, 1)"
                      "IP_SetStackProperties(1, 3.9)"
                      "IP_SetFlavourText(0, 'Heals a little.')"
                      "IP_SetFlavourText(1, 25)"
                      "IP_SetImage('Images', 'Items', 'Icons', 'Missing')"
                      "IP_AddEquipEffect('anything', 1, nil)"
                      "ICM_AddRestoreEffect(30.7, 1)"),
              "DataLibrary:  Warning, Root/Images/Items/Icons/Missing does not exist\n");
    ItemPrototype* red = Prototype("Red");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->GetName(), "Red Potion");
    EXPECT_EQ(red->GetCode(), 5);
    EXPECT_TRUE(red->IsFirstUsable());
    EXPECT_FALSE(red->IsSecondUsable());
    EXPECT_EQ(red->GetEquipSlot(), 1);
    EXPECT_TRUE(red->IsStackable());
    EXPECT_EQ(red->GetStackMaximum(), 3);
    EXPECT_EQ(*red->GetFlavourText(0), "Heals a little.");
    EXPECT_EQ(*red->GetFlavourText(1), "25");
    ASSERT_EQ(red->GetEffectCount(), 1u);
    EXPECT_EQ(red->GetEffect(0)->data, (std::vector<uint8_t>{0, 0, 0, 30, 0, 0, 0, 1}));

    // Codes: invalid ones set nothing; duplicates are reported on request.
    EXPECT_EQ(Printed("DL_RegisterItemPrototype('ItemPrototypes', 'Potions', 'Healing', 'Blue', 'Blue Potion')"
                      "IP_SetPrototypeCode(0, true) IP_SetPrototypeCode(-3.5, false)"
                      "IP_SetPrototypeCode(5, false) IP_SetPrototypeCode(5, true)"),
              "IP_SetPrototypeCode:  Failed, code 0 is invalid.  Must be a number above 0.\n"
              "IP_SetPrototypeCode:  Failed, code -3 is invalid.  Must be a number above 0.\n"
              "IP_SetPrototypeCode:  Warning, Red Potion has the same code 5 as Blue Potion.\n");

    // Items go into the player's inventory by path, stacking by name.
    EXPECT_EQ(Printed("for i = 1, 4 do PInv_AddItem('ItemPrototypes', 'Potions', 'Healing', 'Red', false) end "
                      "PInv_AddItem('ItemPrototypes', 'Potions', 'Healing', 'Blue', 1)"),
              "");
    PlayerInventory* inventory = player->GetInventory();
    ASSERT_EQ(Quantities(*inventory), (std::vector<int>{3, 1}));
    EXPECT_EQ(inventory->GetItemAt(0)->GetPrototype(), red);
    EXPECT_TRUE(inventory->GetItemAt(1)->OwnsPrototype());
    EXPECT_EQ(Printed("PInv_AddItem('ItemPrototypes', 'Potions', 'Healing', 'Green', false)"),
              "DataLibrary:  Warning, Root/ItemPrototypes/Potions/Healing/Green does not exist\n"
              "PInv_AddItem:  Failed, Prototype not found\n");

    // Rebuilding by code finds the first prototype of that code; entries of
    // other kinds under the section are passed over.
    lua.Library().Register("ItemPrototypes", "Potions", "Healing", "NotAnItem", &lua, DataKind::Bitmap);
    std::unique_ptr<ItemInstance> built = PlayerInventory::BuildItemFromPrototypeCode(5, false);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->GetPrototype(), red);
    EXPECT_EQ(built->GetQuantity(), 1);
    StderrCapture cap;
    EXPECT_EQ(PlayerInventory::BuildItemFromPrototypeCode(99, false), nullptr);
    EXPECT_EQ(cap.Take(), "PI::BuildItemFromPrototypeCode:  Failed, code 99 not found\n");
}

TEST_F(InventoryScriptTest, PrototypeFunctionsNeedAnActivePrototype) {
    EXPECT_EQ(Printed("DL_SetActiveObject('x', 'y', 'z', 'w') ICM_AddRestoreEffect(5, 0)"),
              "DataLibrary - GetSection(N):  Failed, x not found\n"
              "ICM_AddRestoreEffect:  Failed, active item not set\n");
    const char* functions[][2] = {
        {"IP_SetPrototypeCode", "3, false"}, {"IP_SetUsableFlags", "1, 1, 0"}, {"IP_SetImage", "'a', 'b', 'c', 'd'"},
        {"IP_SetStackProperties", "1, 2"},   {"IP_SetFlavourText", "0, 'x'"},
    };
    // None at all, then an active object of another kind.
    lua.Library().SetActiveObject(nullptr, DataKind::Any);
    for (int round = 0; round < 2; ++round) {
        for (const auto& f : functions)
            EXPECT_EQ(Printed(std::string(f[0]) + "(" + f[1] + ")"),
                      std::string(f[0]) + ":  Failed, no active ItemPrototype\n");
        lua.Library().SetActiveObject(&lua, DataKind::Bitmap);
    }
    // A registration that finds no heading makes nothing active.
    EXPECT_EQ(Printed("DL_RegisterItemPrototype('ItemPrototypes', 'Potions', 'Nowhere', 'P', 'P') "
                      "IP_SetStackProperties(1, 2)"),
              "DataLibrary - GetHeading(B):  Failed, Nowhere not found\n"
              "IP_SetStackProperties:  Failed, no active ItemPrototype\n");
}

TEST_F(InventoryScriptTest, ItemsThatLeaveAreForgottenByEveryWindow) {
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    ItemPrototype* gem = NewPrototype(keep, "Gem", false, 1);
    PlayerInventory* inventory = player->GetInventory();
    inventory->AddItem("Gem", gem, false);
    inventory->AddItem("Gem", gem, false);
    ItemInstance* first = inventory->GetItemAt(0);
    ItemInstance* second = inventory->GetItemAt(1);
    auto* window = new GUIWindow;
    window->SetDimensions(0, 0, 10, 10);
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("Holder", window);
    auto* child = new GUIButton;
    window->AddChild("Child", child);
    window->SetOwnedPointer("ActiveItemPtr", first);
    window->SetOwnedPointer("ActiveMoveItemPtr", first);
    child->SetOwnedPointer("ItemPtr", first);
    child->SetOwnedPointer("Other", second);

    inventory->RemoveItemAt(0);
    EXPECT_EQ(window->GetNamedPointer("ActiveItemPtr"), nullptr);
    EXPECT_EQ(window->GetNamedPointer("ActiveMoveItemPtr"), nullptr);
    EXPECT_EQ(child->GetNamedPointer("ItemPtr"), nullptr);
    EXPECT_EQ(child->GetNamedPointer("Other"), second);
    // The player goes before the windows at shut-down: its items too.
    delete player;
    player = nullptr;
    EXPECT_EQ(child->GetNamedPointer("Other"), nullptr);
}

TEST_F(InventoryScriptTest, TheItemsWindowStaysToBeFilledUntilItHasItsGrid) {
    std::vector<std::unique_ptr<ItemPrototype>> keep;
    PlayerInventory* inventory = player->GetInventory();
    inventory->AddItem("Gem", NewPrototype(keep, "Gem", false, 1), false);
    GUIWindow window;
    window.SetDimensions(0, 0, 50, 50);
    EXPECT_TRUE(inventory->IsItemsWindowDirty());
    window.Close();
    inventory->FillItemsWindow(&window);  // hidden
    EXPECT_TRUE(inventory->IsItemsWindowDirty());
    window.Open();
    inventory->FillItemsWindow(&window);  // no grid yet
    EXPECT_TRUE(inventory->IsItemsWindowDirty());
    auto* cell = new GUIButton;
    cell->SetDimensions(0, 0, 32, 32);
    window.AddChild("INV-000", cell);
    window.SetNamedPointerWithDeleter("X", new int32_t(1), [](void* count) { delete static_cast<int32_t*>(count); });
    inventory->FillItemsWindow(&window);
    EXPECT_FALSE(inventory->IsItemsWindowDirty());
    EXPECT_EQ(cell->GetNamedPointer("ItemPtr"), inventory->GetItemAt(0));
}
