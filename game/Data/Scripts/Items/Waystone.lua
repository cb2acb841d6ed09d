-- Run every few ticks by a standing stone's spot (the script's caller).
-- Stepping onto the stone saves or loads the game once; stepping off hides
-- the stone's notice again.
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

local function Notice(text, show)
    GUI_SetActiveObjectList("StoneNotice")
    GUI_SetActiveObject("StoneNoticeLine")
    GUIT_SetString(text)
    GUI_SetActiveObjectList("Base")
    GUI_SetActiveObject("StoneNotice")
    if show then GUIG_Show() else GUIG_Hide() end
end

if near and not inside then
    OBJSAS_ModFloat("Inside", 1)
    if OBJSAS_GetString("Action") == "Save" then
        SFM_IssueSave("Save1.sav")
        io.stderr:write("Game saved to Save1.sav\n")
        Notice("The blue stone keeps your journey.", true)
    else
        local save = io.open("Save1.sav", "rb")
        if save then
            save:close()
            SFM_IssueLoad("Save1.sav")
            io.stderr:write("Game loaded from Save1.sav\n")
            Notice("The golden stone gives your journey back.", true)
        else
            Notice("The golden stone has nothing to give back yet.", true)
        end
    end
elseif not near and inside then
    OBJSAS_ModFloat("Inside", 0)
    Notice(" ", false)
end
