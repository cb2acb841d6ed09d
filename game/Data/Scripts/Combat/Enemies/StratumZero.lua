-- The enemies of the first stratum. Each prototype names the images it needs
-- from "Data/Enemies.sif" (loaded at every battle start) and the script that
-- builds its field sprite from them. Both can be met in random battles from
-- level 1 to 3.
DL_AddSection("Enemies")
DL_AddCatalogue("Enemies", "StratumZero")
DL_AddHeading("Enemies", "StratumZero", "Normal")

-- A slime that lunges at its foes. The meadow's slime fights alone, in the
-- game's first battle: shared by a party of three, its experience takes
-- every member to level 2 (a first level needs 15 to 20).
DL_RegisterEnemyPrototype("Enemies", "StratumZero", "Normal", "Zezazoru")
EP_SetCombatName("Zezazoru")
-- level, HP, MP, Strength, Toughness, Intellect, Cunning, Agility, Speed
EP_SetCombatStats(1, 28, 0, 6, 5, 2, 2, 4, 4)
EP_SetLevelRange(1, 3)
EP_SetEXPForKill(60)
EP_SetDeathMessage("<Name> melted into a puddle!")
EP_SetLoadingString("Zezazoru")
EP_AddLoadingInstruction("Zezazoru", 6)
EP_SetLoadingInstructionPath("Data/Scripts/Combat/Enemies/ZezazoruSprite.lua")
-- hit frame, strike frames, ticks per strike frame, and two stored values
EP_SetAttackAnimInstructions(2, 4, 6, 4, 6)

-- A bat, quick and frail.
DL_RegisterEnemyPrototype("Enemies", "StratumZero", "Normal", "Didozado")
EP_SetCombatName("Didozado")
EP_SetCombatStats(1, 20, 0, 5, 4, 3, 4, 7, 9)
EP_SetLevelRange(1, 3)
EP_SetEXPForKill(6)
EP_SetDeathMessage("<Name> dropped out of the air!")
EP_SetLoadingString("Didozado")
EP_AddLoadingInstruction("Didozado", 6)
EP_SetLoadingInstructionPath("Data/Scripts/Combat/Enemies/DidozadoSprite.lua")
EP_SetAttackAnimInstructions(2, 4, 6, 4, 6)
