-- Run every few ticks by an item's spot (the script's caller): when the
-- player stands on the item, it goes into the inventory and leaves the map.
-- The first run takes the settings its maker left (SpotPlayerNear,
-- MeadowItems.lua).
local near = SpotPlayerNear()
if near == nil then return end
-- The item's picture stands 16 units above its spot: feet anywhere on it
-- count as standing on the item too.
if not near then
    local px = PM_GetValue("Player", "Pelloc", "XCenter")
    local py = PM_GetValue("Player", "Pelloc", "YCenter")
    local y = OBJSAS_GetFloat("Y")
    if math.abs(px - OBJSAS_GetFloat("X")) > 10 or py < y - 16 or py > y then return end
end

local item = OBJSAS_GetString("Item")
PInv_AddItem("ItemPrototypes", "Sample", "Common", OBJSAS_GetString("Prototype"), false)
io.stderr:write("Picked up " .. item .. "\n")
StoneNotice("You pick up " .. OBJSAS_GetString("Label") .. ".")
TakenItems[item] = true
EM_NPC_RemoveNPC(item)
EM_OBJ_RemoveObject(item .. "Spot")
