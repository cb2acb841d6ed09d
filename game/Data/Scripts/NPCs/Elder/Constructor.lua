-- The village elder, who talks when clicked. The engine runs this with the
-- new character as the active one; the map's script then puts him in place.

-- Eighteen units across, standing on his feet at the centre.
NPC_SetBoundaryOffsetsData(-9, 9, -28, 2, -28, 0)
-- His picture (20 x 30) is drawn with its upper-left corner 10 left of and
-- 28 above his centre.
NPC_SetDisplayData(10, 28, 20, 30)

NPC_AllocateStateVariables(1)
NPC_SetStateVariable(0, "Stationary", 1)

-- His look, shown while he stands (which is always).
AIM_SetActiveAIObject("DrawingList", "NPC", "Elder", "AIDrawingList")
AIDL_AddAI("Body", "ElderLook")
AIDL_SetBaseStateToActive()
AIS_AddState("Standing", 0, "NPC", "Elder", "St|Stationary", 0)

NPC_SetDialoguePath("Data/Scripts/NPCs/Elder/Dialogue.lua")
