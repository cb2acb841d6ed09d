-- The blue standing stone: the party and the inventory into "Save1.sav".
-- SFM_IssueSave answers whether the save was written; when it was not (a
-- full disk, a folder that cannot be written), the old save stays as it was.
if SFM_IssueSave("Save1.sav") then
    io.stderr:write("Game saved to Save1.sav\n")
    StoneNotice("The blue stone keeps your journey.")
else
    io.stderr:write("Game not saved to Save1.sav\n")
    StoneNotice("The blue stone cannot keep your journey.")
end
