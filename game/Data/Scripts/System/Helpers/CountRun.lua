-- Counts how often the game has been started in this run of the program.
if Global_GetScriptVariableI("StartCount") == -100 then
    Global_AddScriptVariableI("StartCount", 1)
else
    Global_SetScriptVariableI("StartCount", Global_GetScriptVariableI("StartCount") + 1)
end
