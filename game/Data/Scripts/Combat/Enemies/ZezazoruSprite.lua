-- Zezazoru's field sprite, built as a battle with a slime begins. A battle
-- fought in the meadow is the one with the meadow's slime: from now on the
-- meadow is without it.
if InTheMeadow then Global_SetScriptVariableI("MeadowSlimeFought", 1) end
LM_ExecuteScriptWithArguments("Data/Scripts/Combat/Enemies/EnemySprite.lua", "A", "Zezazoru")
