-- The cellar under the meadow's hut. It runs once each time the level loads.
--
-- No sky down here: only the level is drawn. The stairs at the top lead
-- back up to the meadow, in front of the hut's door.
MapM_SetBackgroundDisplayState(0)
MapM_SetMapDisplayState(1)

-- The view of this map, by which the characters place their pictures.
MapView = "Flat"
InTheMeadow = false
-- A notice at the top of the screen does not follow the player down.
if StoneNotice then StoneNotice(nil) end
LM_ExecuteScript("Scripts", "System/Windows/MenusClearOfChat.lua", -1)

-- Where the player arrives, just below the stairs.
EM_OBJ_CreateObject("CellarFoot", "StaticPosition")
OBJ_SetCoordinates(128, 64, 0)

EM_OBJ_CreateObject("CellarStairs", "StaticTransition")
OBJST_AddRectangle(116, 18, 140, 30)
OBJST_SetLevelDestination("DebugRoom")
OBJST_SetEntityDestination("HutDoor")
