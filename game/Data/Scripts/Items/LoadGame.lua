-- The golden standing stone: the party and the inventory from "Save1.sav".
local save = io.open("Save1.sav", "rb")
if not save then
    StoneNotice("The golden stone has nothing to give back yet.")
    return
end
save:close()
SFM_IssueLoad("Save1.sav")
io.stderr:write("Game loaded from Save1.sav\n")
StoneNotice("The golden stone gives your journey back.")
