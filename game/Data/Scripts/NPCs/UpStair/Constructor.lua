-- The ladder of a dungeon floor: the engine puts one on every floor it
-- generates. Clicking it climbs one floor up (from the first floor, back to
-- the meadow).
--
-- The ladder (28 x 36) stands over its shadow in the isometric view, and
-- the box that takes the click covers the picture.
NPC_SetBoundaryOffsetsData(-14, 14, -48, -12, -32, 0)
NPC_SetDisplayData(-24, 37, 28, 36)

NPC_AllocateStateVariables(1)
NPC_SetStateVariable(0, "Stationary", 1)

AIM_SetActiveAIObject("DrawingList", "NPC", "UpStair", "AIDrawingList")
AIDL_AddAI("Body", "UpStairLook")
AIDL_SetBaseStateToActive()
AIS_AddState("Standing", 0, "NPC", "UpStair", "St|Stationary", 0)

NPC_SetDialoguePath("Data/Scripts/NPCs/UpStair/Climb.lua")
