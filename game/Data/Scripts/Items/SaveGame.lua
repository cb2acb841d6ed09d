-- The blue standing stone: the party and the inventory into "Save1.sav".
SFM_IssueSave("Save1.sav")
io.stderr:write("Game saved to Save1.sav\n")
StoneNotice("The blue stone keeps your journey.")
