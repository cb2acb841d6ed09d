-- Run every few ticks by an item's spot (the script's caller): when the
-- player stands on the item, it goes into the inventory and leaves the map.
-- The first run (script code -2) takes the settings its maker left.
if GetScriptCode() == -2 then
    for key, value in pairs(SpotSettings or {}) do
        if type(value) == "number" then OBJSAS_AddFloat(key, value) else OBJSAS_AddString(key, value) end
    end
    return
end

local px = PM_GetValue("Player", "Pelloc", "XCenter")
local py = PM_GetValue("Player", "Pelloc", "YCenter")
if math.abs(px - OBJSAS_GetFloat("X")) > 10 or math.abs(py - OBJSAS_GetFloat("Y")) > 10 then return end

local item = OBJSAS_GetString("Item")
PInv_AddItem("ItemPrototypes", "Sample", "Common", OBJSAS_GetString("Prototype"), false)
io.stderr:write("Picked up " .. item .. "\n")
TakenItems[item] = true
EM_NPC_RemoveNPC(item)
EM_OBJ_RemoveObject(item .. "Spot")
