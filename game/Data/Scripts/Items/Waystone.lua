-- Run every few ticks by a standing stone's spot (the script's caller).
-- Stepping onto the blue stone saves the game once (SaveGame.lua); stepping
-- onto the golden one starts its question in the dialogue box, as a click
-- on it does (LoadGame.lua is its dialogue script). Stepping off hides the
-- stone's notice again.
-- The first run takes the settings its maker left (SpotPlayerNear,
-- MeadowItems.lua).
local near = SpotPlayerNear()
if near == nil then return end
local inside = OBJSAS_GetFloat("Inside") ~= 0

if near and not inside then
    OBJSAS_ModFloat("Inside", 1)
    if OBJSAS_GetString("Action") == "Load" then
        DM_SetDialogueNPC("MemoryStone")
        DM_ManualActivate()
    else
        LM_ExecuteScript("Data/Scripts/Items/SaveGame.lua", -1)
    end
elseif not near and inside then
    OBJSAS_ModFloat("Inside", 0)
    StoneNotice(nil)
end
