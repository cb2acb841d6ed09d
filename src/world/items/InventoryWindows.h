#pragma once
// The inventory's windows, built in code: the inventory window with its
// title, its 5 x 10 item grid and its count line; the submenu of an item
// (Use, Move, Drop); the description of the focused item; and the target
// window that lists the party for "Use". Their per-tick hooks fill them from
// the player's inventory, and the "Inv_" button callbacks act on it.
//
// Every builder is find-or-create and needs the GUI manager in the global
// state; without it nothing is built.
#include <string>

#include "gui/GUIButtonCallbacks.h"

class GUIBaseObject;

// Builds the seven windows, closed, then wires the pointers between them.
void BuildInventoryWindow();
GUIBaseObject* BuildInventorySubmenu();
GUIBaseObject* BuildInventoryDescriptionWindow();
GUIBaseObject* BuildInventoryTargetWindow();
GUIBaseObject* BuildInventoryTitleWindow(GUIBaseObject* inventory);
GUIBaseObject* BuildInventoryItemsWindow(GUIBaseObject* inventory);
// The grid of the items window: 50 bordered cells, each with its button
// "INV-000" to "INV-049" and its navigation entry.
void BuildItemGrid(GUIBaseObject* items);
GUIBaseObject* BuildBitAndItemCountWindow(GUIBaseObject* inventory);

// "Inv_ActivateItem", "Inv_UseItem", "Inv_UseItemOnTarget", "Inv_SwapItems",
// "Inv_DropItem" (compared exactly); null for any other name.
ButtonCallback GetInventoryButtonCallback(const std::string& name);

// The per-tick hooks: the player's inventory fills the window.
void InventoryItemsHook(GUIBaseObject* window);
void InventoryDescriptionHook(GUIBaseObject* window);
void InventoryTargetHook(GUIBaseObject* window);

// The callbacks act on the button the GUI manager last clicked (a grid,
// submenu or target button); their argument is not read, so a callback
// bound by a script to any button cannot take its data for a button.
bool Inv_ActivateItem(void* argument);
bool Inv_UseItem(void* argument);
bool Inv_UseItemOnTarget(void* argument);
bool Inv_SwapItems(void* argument);
bool Inv_DropItem(void* argument);
