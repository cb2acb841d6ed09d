-- Zezazoru, the cave slime: a world enemy that wanders, chases a player who
-- comes near and starts a battle on touching. Runs with the new enemy as the
-- active character: for the slimes of a dungeon floor, which the engine
-- places itself (script code -1), and for the one in the meadow, whose map
-- script places it and sets its ranges (script code 1).
--
-- Without ranges of its own an enemy takes them from its picture: it
-- notices the player at the distance of the picture's corner from its
-- centre and fights at its own half-width (8).

NPC_SetBoundaryOffsetsData(-8, 8, -5, 5, -16, 0)
-- The picture is 24 x 18. On the flat meadow its upper-left corner sits 12
-- left of and 17 above the centre; the dungeon's isometric view projects
-- the same offsets differently, and these put the slime over its shadow.
if GetScriptCode() == -1 then
    NPC_SetDisplayData(-43, 20, 24, 18)
    -- A cave floor puts its slimes anywhere, one may be close to where the
    -- player arrives: they chase slower than the player trots (2.2), so a
    -- player who has just arrived can get away from one.
    PM_SetValue(1.8, "NPC", "", "TrotSpeed")
else
    NPC_SetDisplayData(12, 17, 24, 18)
end

-- The movement states its chase and wander steps switch between.
NPC_AllocateStateVariables(4)
NPC_SetStateVariable(0, "Stationary", 1)
NPC_SetStateVariable(1, "Walking", 0)
NPC_SetStateVariable(2, "Trotting", 0)
NPC_SetStateVariable(3, "Running", 0)

-- It wobbles whatever it does.
AIM_SetActiveAIObject("DrawingList", "NPC", "Zezazoru", "AIDrawingList")
AIDL_AddAI("Body", "ZezazoruLook")
AIDL_SetBaseStateToActive()
AIS_AddState("Standing", 0, "NPC", "Zezazoru", "St|Stationary", 0)
AIS_AddState("Walking", 0, "NPC", "Zezazoru", "St|Walking", 0)
AIS_AddState("Trotting", 0, "NPC", "Zezazoru", "St|Trotting", 0)
AIS_AddState("Running", 0, "NPC", "Zezazoru", "St|Running", 0)
