-- The meadow: the level every way back from the dungeon leads to. It runs
-- once each time the level loads.
--
-- Behind the level's edges the world window's night sky shows; over the
-- meadow itself the level covers it. The title music carries on here.
MapM_SetBackgroundDisplayState(1)
MapM_SetMapDisplayState(1)
MapM_SetAmbientMusic("TitleTheme")

-- A new game starts on the earth path just north of the hut's stone square.
-- Arriving at a named spot (back up from the cellar) moves the player there
-- after this script has run.
Player_SetPosition(224, 536, 0)

-- Once the meadow is on screen the welcome window opens, the first time
-- only: a map change closes every window but the standard ones, so it is
-- opened from the meadow's first tick rather than from this script.
EM_OBJ_CreateObject("WelcomeOpener", "StaticAutoScript")
OBJSAS_SetDelay(1000000)
OBJSAS_SetPath("Data/Scripts/System/Windows/WelcomeOnce.lua")

-- The hut on the stone square: walking in under its roof leads down into
-- the cellar. "HutDoor" marks the spot in front of the hut where the player
-- comes back up.
EM_OBJ_CreateObject("HutDoor", "StaticPosition")
OBJ_SetCoordinates(200, 640, 0)

EM_OBJ_CreateObject("HutStairs", "StaticTransition")
OBJST_AddRectangle(188, 588, 212, 612)
OBJST_SetLevelDestination("Cellar")
OBJST_SetEntityDestination("CellarFoot")
