-- Back up from the caves: on the meadow's first tick (script code -1), after
-- the engine has put the player down where every climb from the first cave
-- floor lands, the player is moved to the top of the stairwell
-- ("StairwellTop", made by the meadow's script), where the way down was.
if GetScriptCode() ~= -1 then return end
Player_SetPosition(320, 704, 0)
