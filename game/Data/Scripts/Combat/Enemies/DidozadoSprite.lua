-- Didozado's field sprite.
LM_ExecuteScriptWithArguments("Data/Scripts/Combat/Enemies/EnemySprite.lua", "A", "Didozado")
