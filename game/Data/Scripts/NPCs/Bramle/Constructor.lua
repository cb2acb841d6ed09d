-- Bramle: the player's avatar, the other players' characters, and the look
-- every character made by name starts from until its own script changes it.
--
-- The engine runs this script with the new character as its active entity;
-- the script code tells who asked for it (-1 the player's avatar at start-up,
-- 1 a character made by name, such as another player arriving).
--
-- A character keeps this script as its default script, which runs again on
-- every step while its AI queue is empty. The body is built on the first run
-- only: after that the character stands where its owner puts it (the player,
-- or the server for another player), so nothing here touches its position.
if NPC_GetScriptVariableI("Built") == 1 then
    return
end
NPC_AddScriptVariableI("Built", 1)

-- The body: ten units across the ground, twenty-eight tall, feet at the
-- centre's height. The sizes order the character among the others when drawn.
NPC_SetBoundaryOffsetsData(-5, 5, -5, 5, -28, 0)
NPC_SetCoordinateData(0, 0, 0, 18, 26, 28)

-- The picture is drawn with its upper-left corner this far from the centre.
NPC_SetDisplayData(-9, -28, 18, 28)

-- The movement states the player hands its avatar every frame; the drawing
-- list watches these flags to pick the frames.
NPC_AllocateStateVariables(5)
NPC_SetStateVariable(0, "Stationary", 1)
NPC_SetStateVariable(1, "Walking", 0)
NPC_SetStateVariable(2, "Trotting", 0)
NPC_SetStateVariable(3, "Running", 0)
NPC_SetStateVariable(4, "Jumping", 0)
