-- The meadow: the level every way back from the dungeon leads to. It runs
-- once each time the level loads.
--
-- Behind the level's edges the world window's night sky shows; over the
-- meadow itself the level covers it. The title music carries on here.
MapM_SetBackgroundDisplayState(1)
MapM_SetMapDisplayState(1)
MapM_SetAmbientMusic("TitleTheme")

-- Coming back up a cave floor's ladder (the map before this one was drawn
-- in the isometric view), the engine puts the player down in the open
-- meadow; on the meadow's first tick the player is moved to the top of the
-- stairwell instead, where the way down was.
local upFromTheCaves = MapView == "Isometric"

-- The view of this map, by which the characters place their pictures.
MapView = "Flat"

-- The pause menu is moved clear of the chat window once the game runs.
LM_ExecuteScript("Scripts", "System/Windows/MenusClearOfChat.lua", -1)

-- A new game starts on the hut's stone square, below the hut and west of
-- the elder. The view keeps the player 243 below its top and stops at the
-- meadow's bottom edge: from this far down it rests on that edge at once,
-- so the first view shows the square, the stones, the herb below it and
-- the stairwell above the strip the chat window covers (the wood), at
-- 800 x 600 and in larger windows alike. Arriving at a named spot (back up
-- from the cellar) moves the player there after this script has run.
Player_SetPosition(224, 668, 0)

-- Once the meadow is on screen the welcome window opens, the first time
-- only: a map change closes every window but the standard ones, so it is
-- opened from the meadow's first tick rather than from this script.
EM_OBJ_CreateObject("WelcomeOpener", "StaticAutoScript")
OBJSAS_SetDelay(1000000)
OBJSAS_SetPath("Data/Scripts/System/Windows/WelcomeOnce.lua")

-- The hut on the stone square: walking in under its roof leads down into
-- the cellar. The roof covers 160-239 x 576-623, and the path from the north
-- meets it at 208-239: the stairs take whoever walks a few steps in under
-- it, from the path or from any side; a walk along the square just below
-- the roof's edge passes by. "HutDoor" marks the spot in front of the hut
-- where the player comes back up.
EM_OBJ_CreateObject("HutDoor", "StaticPosition")
OBJ_SetCoordinates(200, 640, 0)

EM_OBJ_CreateObject("HutStairs", "StaticTransition")
OBJST_AddRectangle(160, 584, 240, 612)
OBJST_SetLevelDestination("Cellar")
OBJST_SetEntityDestination("CellarFoot")

-- The village elder stands on the square, east of the hut's door. Click him
-- to talk.
EM_NPC_CreateNPC("Elder", "DialogueNPC", "Data/Scripts/NPCs/Elder/Constructor.lua")
NPC_SetPositionData(262, 646, 0)

-- A slime from the caves starts in the deep grass beyond the trees east of
-- the square and wanders the meadow from there (a world enemy has no home:
-- it walks to a new point 100 to 199 units away whenever it gets where it
-- was going). It chases a player who comes within 150 units and starts a
-- battle at 16, which it fights alone (the party's first battle, worth a
-- level to each member). It starts almost 580 units from where a new game
-- begins, so that it does not come for a player who is still reading the
-- welcome window. Once it has fought the party it does not come back (its
-- battle sets the story flag "MeadowSlimeFought").
InTheMeadow = true
if Global_GetScriptVariableI("MeadowSlimeFought") ~= 1 then
    EM_NPC_CreateNPC("Zezazoru", "EnemyNPC", "Data/Scripts/NPCs/Enemies/Zezazoru/Constructor.lua")
    NPC_SetPositionData(800, 650, 0)
    NPC_WorldEnemy_SetDetectRange(150)
    NPC_WorldEnemy_SetAggroRange(16)
    NPC_WorldEnemy_AddMob("Zezazoru")
end

-- The dark stairwell, drawn at 304-335 x 720-735 in a paved bay below the
-- square's south-east corner, off every way between the places on and
-- around the square: stepping in leads down to the first floor of the
-- dungeon, a new one every time. It takes the player whose feet step onto
-- the drawing, from the square above or from the bay (the player's picture
-- is 18 wide and stands on its centre); a walk along the square's lower
-- edge passes by. Its ladder leads back up to "StairwellTop", on the square
-- just north of it.
EM_OBJ_CreateObject("Stairwell", "StaticTransition")
OBJST_AddRectangle(300, 720, 340, 741)
OBJST_SetLevelDestination("MAPRANDOM")
OBJST_SetCoordinateDestination(350, 200, 0)

if upFromTheCaves then
    EM_OBJ_CreateObject("StairwellTop", "StaticAutoScript")
    OBJ_SetCoordinates(320, 704, 0)
    OBJSAS_SetDelay(1000000)
    OBJSAS_SetPath("Data/Scripts/Maps/UpFromTheCaves.lua")
end

-- Items to pick up, and the standing stones that save and load the game.
LM_ExecuteScript("Scripts", "Items/MeadowItems.lua", -1)
