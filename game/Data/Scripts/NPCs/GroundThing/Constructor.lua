-- A thing lying in the world: an item to pick up or a standing stone. It is
-- a character only so that it is drawn: it stands still and shows one
-- picture. Its maker leaves its name, its look and the script a click runs
-- in GroundThing before making it.
local thing = GroundThing

-- Sixteen units across, resting on the ground at its centre; the 16 x 16
-- picture is drawn with its upper-left corner 8 left of and 16 above it.
NPC_SetBoundaryOffsetsData(-8, 8, -16, 0, -16, 0)
NPC_SetDisplayData(8, 16, 16, 16)

NPC_AllocateStateVariables(1)
NPC_SetStateVariable(0, "Stationary", 1)

AIM_SetActiveAIObject("DrawingList", "NPC", thing.Name, "AIDrawingList")
AIDL_AddAI("Body", thing.Look)
AIDL_SetBaseStateToActive()
AIS_AddState("Standing", 0, "NPC", thing.Name, "St|Stationary", 0)

NPC_SetDialoguePath(thing.Click)
