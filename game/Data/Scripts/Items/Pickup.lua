-- Run every few ticks by an item's spot (the script's caller): when the
-- player stands on the item, it goes into the inventory and leaves the map.
-- The first run takes the settings its maker left (SpotPlayerNear,
-- MeadowItems.lua).
if not SpotPlayerNear() then return end

local item = OBJSAS_GetString("Item")
PInv_AddItem("ItemPrototypes", "Sample", "Common", OBJSAS_GetString("Prototype"), false)
io.stderr:write("Picked up " .. item .. "\n")
TakenItems[item] = true
EM_NPC_RemoveNPC(item)
EM_OBJ_RemoveObject(item .. "Spot")
