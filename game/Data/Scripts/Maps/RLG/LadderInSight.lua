-- Run on a cave floor's first tick (script code -1) by the object the floor
-- script makes. The engine puts the player on the floor's first cell and
-- the ladder back up on a cell of its own choosing, anywhere in the maze;
-- here the ladder is moved beside the player, so that the way back up is in
-- sight where the player arrives, and a notice at the top says so.
--
-- Cells are 30 units across and the player stands on the middle of one.
-- The ladder stands in the same cell, on its far corner 14 units along x
-- and 14 back along y: on the screen 28 pixels right of the player, clear
-- of his picture, on the cell's own floor (a neighbouring cell may be empty
-- ground, where nothing may stand). A player who walked down into the
-- stairwell walks on a few steps down the screen to the left when he
-- arrives, away from the ladder, so it stays in sight; on the left of him
-- he would walk over it.
if GetScriptCode() ~= -1 then return end
local x = PM_GetValue("Player", "", "XCenter")
local y = PM_GetValue("Player", "", "YCenter")
EM_NPC_SetActiveNPC("UpStair")
NPC_SetPositionData(x + 14, y - 14, -42)
StoneNotice("The ladder back up stands beside you.")
