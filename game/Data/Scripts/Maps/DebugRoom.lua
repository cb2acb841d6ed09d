-- The meadow: the level every way back from the dungeon leads to. It runs
-- once each time the level loads.
--
-- Behind the level's edges the world window's night sky shows; over the
-- meadow itself the level covers it. The title music carries on here.
MapM_SetBackgroundDisplayState(1)
MapM_SetMapDisplayState(1)
MapM_SetAmbientMusic("TitleTheme")

-- The hut on the stone square: walking in under its roof leads down into
-- the cellar. "HutDoor" marks the spot in front of the hut where the player
-- comes back up.
EM_OBJ_CreateObject("HutDoor", "StaticPosition")
OBJ_SetCoordinates(200, 640, 0)

EM_OBJ_CreateObject("HutStairs", "StaticTransition")
OBJST_AddRectangle(188, 588, 212, 612)
OBJST_SetLevelDestination("Cellar")
OBJST_SetEntityDestination("CellarFoot")

-- Items to pick up, and the standing stones that save and load the game.
LM_ExecuteScript("Scripts", "Items/MeadowItems.lua", -1)
