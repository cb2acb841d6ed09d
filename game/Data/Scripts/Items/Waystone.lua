-- Run every few ticks by a standing stone's spot (the script's caller).
-- Stepping onto the stone saves or loads the game once (SaveGame.lua,
-- LoadGame.lua); stepping off hides the stone's notice again.
-- The first run takes the settings its maker left (SpotPlayerNear,
-- MeadowItems.lua).
local near = SpotPlayerNear()
if near == nil then return end
local inside = OBJSAS_GetFloat("Inside") ~= 0

if near and not inside then
    OBJSAS_ModFloat("Inside", 1)
    LM_ExecuteScript("Data/Scripts/Items/" .. OBJSAS_GetString("Action") .. "Game.lua", -1)
elseif not near and inside then
    OBJSAS_ModFloat("Inside", 0)
    StoneNotice(nil)
end
