-- The golden standing stone's dialogue script: it brings back the party and
-- the inventory kept in "Save1.sav", but asks first, since everything since
-- the save is lost. Runs when the player clicks the stone or steps onto it
-- (Waystone.lua starts it as the stone's dialogue; the last response is then
-- -2), and again when the player clicks the answer "Yes" (1); "No" (-3)
-- closes the box without running this again.
local save = io.open("Save1.sav", "rb")
if not save then
    StoneNotice("The golden stone has nothing to give back yet.")
    return
end
save:close()

GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("DialogueManager")
if GetLastChatResponse() == 1 then
    GUIG_Hide()
    SFM_IssueLoad("Save1.sav")
    io.stderr:write("Game loaded from Save1.sav\n")
    StoneNotice("The golden stone gives your journey back.")
    return
end

GUIG_Show()
ClearDialogue()
-- No one speaks: no portrait beside the words.
DM_SetPortrait("Dev", "Null", "", "")
DM_AddText("The golden stone holds the journey you kept at the blue stone.")
DM_BreakLine()
DM_AddText("Go back to it? Everything since then will be lost.")
DM_BreakLine()
DM_BreakLine()
DM_AddResponse("Yes, go back to the kept journey.", 1)
DM_BreakLine()
DM_AddResponse("No, walk on.", -3)
