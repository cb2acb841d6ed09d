-- Sets a global number variable, adding it when it does not exist yet.
-- Arguments: name (A), value (N).
local name = LM_GetScriptArgumentString(0)
local value = LM_GetScriptArgumentNumber(1)
if name == nil then
    io.stderr:write("SetNumber.lua: no variable name given\n")
    return
end
-- -100 is what the engine answers for a variable it does not know.
if Global_GetScriptVariableI(name) == -100 then
    Global_AddScriptVariableI(name, value)
else
    Global_SetScriptVariableI(name, value)
end
