-- Orravine's field sprite.
LM_ExecuteScriptWithArguments("Data/Scripts/Combat/FieldSprites/PartyMember.lua", "A", "Orravine")
