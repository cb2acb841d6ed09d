-- What the elder says. Runs when the player clicks him (the last response is
-- then -2) and again for every answer the player clicks (its value); the
-- answer "Farewell." (-3) closes the box without running this again.
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("DialogueManager")
GUIG_Show()
ClearDialogue()

local answer = GetLastChatResponse()
if answer == 1 then
    DM_AddText("Elder: The dark stairwell on the square leads down to the caves.")
    DM_BreakLine()
    DM_AddText("They are never the same twice. A ladder always leads back up.")
elseif answer == 2 then
    DM_AddText("Elder: A slime has crept out of the caves into the meadow.")
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
