-- Run on a cave floor's first tick (script code -1) by the object the floor
-- script makes. The engine puts the player on the floor's first cell and
-- the ladder back up on a cell of its own choosing, anywhere in the maze;
-- here the ladder is moved beside the player, so that the way back up is in
-- sight where the player arrives, and a notice at the top says so.
--
-- Cells are 30 units across and the player stands on the middle of one.
-- The ladder stands in the same cell, 12 units back on both axes: on the
-- screen just left of the player, on the cell's own floor (the cells
-- before the first one are empty ground, where nothing may stand).
if GetScriptCode() ~= -1 then return end
local x = PM_GetValue("Player", "", "XCenter")
local y = PM_GetValue("Player", "", "YCenter")
EM_NPC_SetActiveNPC("UpStair")
NPC_SetPositionData(x - 12, y + 12, -42)
StoneNotice("The ladder back up stands beside you.")
