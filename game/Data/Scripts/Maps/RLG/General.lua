-- Configures every new dungeon floor before the engine generates it: the
-- range of its side (in cells; the largest is never reached), its layers,
-- the textures it uses and the look of its corridors.
ISOM_SetSizes(24, 40, 1)

-- No sky underground: only the floor is drawn.
MapM_SetBackgroundDisplayState(0)
MapM_SetMapDisplayState(1)

-- The view of this map, by which the characters place their pictures.
MapView = "Isometric"
InTheMeadow = false
-- A notice at the top of the screen does not follow the player down.
if StoneNotice then StoneNotice(nil) end
LM_ExecuteScript("Scripts", "System/Windows/MenusClearOfChat.lua", -1)

-- On the floor's first tick the ladder back up is moved beside the player
-- (LadderInSight.lua), with a notice at the top of the screen, which the
-- keeper takes down after a few seconds.
EM_OBJ_CreateObject("LadderInSight", "StaticAutoScript")
OBJSAS_SetDelay(1000000)
OBJSAS_SetPath("Data/Scripts/Maps/RLG/LadderInSight.lua")
EM_OBJ_CreateObject("NoticeKeeper", "StaticAutoScript")
OBJSAS_SetDelay(30)
OBJSAS_SetPath("Data/Scripts/Items/NoticeKeeper.lua")

-- In this order the caves take the first as their floor and the second as
-- their walls; the edge of the floor takes any of the three.
ISOM_QueueTexture("CaveFloor")
ISOM_QueueTexture("CaveRock")
ISOM_QueueTexture("CaveMoss")

-- The corridors dug between the caves: mossy floor, rock walls.
ISOM_CreateRoomDef("Corridor")
ISOM_SetPathDefToActive()
ISOM_AddFloorTexture("CaveMoss")
ISOM_AddWallLTexture("CaveRock")
ISOM_AddWallRTexture("CaveRock")
