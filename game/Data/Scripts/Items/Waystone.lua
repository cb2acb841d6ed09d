-- Run every few ticks by a standing stone's spot (the script's caller).
-- Stepping onto the stone saves or loads the game once (SaveGame.lua,
-- LoadGame.lua); stepping off hides the stone's notice again.
-- The first run (script code -2) takes the settings its maker left.
if GetScriptCode() == -2 then
    for key, value in pairs(SpotSettings or {}) do
        if type(value) == "number" then OBJSAS_AddFloat(key, value) else OBJSAS_AddString(key, value) end
    end
    return
end

local px = PM_GetValue("Player", "Pelloc", "XCenter")
local py = PM_GetValue("Player", "Pelloc", "YCenter")
local near = math.abs(px - OBJSAS_GetFloat("X")) <= 10 and math.abs(py - OBJSAS_GetFloat("Y")) <= 10
local inside = OBJSAS_GetFloat("Inside") ~= 0

if near and not inside then
    OBJSAS_ModFloat("Inside", 1)
    LM_ExecuteScript("Data/Scripts/Items/" .. OBJSAS_GetString("Action") .. "Game.lua", -1)
elseif not near and inside then
    OBJSAS_ModFloat("Inside", 0)
    StoneNotice(nil)
end
