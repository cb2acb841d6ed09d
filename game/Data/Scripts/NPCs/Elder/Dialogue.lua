-- What the elder says. Runs when the player clicks him (the last response is
-- then -2) and again for every answer the player clicks (its value); the
-- answer "Farewell." (-3) closes the box without running this again.
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("DialogueManager")
GUIG_Show()
ClearDialogue()
-- His face beside his words.
DM_SetPortrait("Images", "Portraits", "Characters", "Elder")

local answer = GetLastChatResponse()
-- Answering him at all means the player has met him; the story flags
-- (made by the helper the first time) remember what he told.
if answer == 1 or answer == 2 then Global_SetScriptVariableI("MetTheElder", 1) end
local function Remember(flag)
    LM_ExecuteScriptWithArguments("Data/Scripts/System/Helpers/SetNumber.lua", "AN", flag, 1)
end
if answer == 1 then Remember("HeardOfTheCaves") end
if answer == 2 then Remember("WarnedOfTheSlime") end
-- Every line fits the box's text area, 451 pixels wide in the dialogue
-- font.
if answer == 1 then
    DM_AddText("Elder: The dark stairwell leads down to the caves.")
    DM_BreakLine()
    DM_AddText("They are never the same twice; a ladder leads back up.")
elseif answer == 2 and Global_GetScriptVariableI("MeadowSlimeFought") == 1 then
    DM_AddText("Elder: Not any more: you fought the slime off.")
    DM_BreakLine()
    DM_AddText("More of its kind wait in the caves below.")
elseif answer == 2 then
    DM_AddText("Elder: A slime has crept out of the caves.")
    DM_BreakLine()
    DM_AddText("Keep your distance, or be ready to fight it.")
else
    DM_AddText("Elder: Welcome to the meadow, traveller.")
end
DM_BreakLine()
DM_BreakLine()
DM_AddResponse("What lies below the square?", 1)
DM_BreakLine()
DM_AddResponse("Anything I should watch out for?", 2)
DM_BreakLine()
DM_AddResponse("Farewell.", -3)
