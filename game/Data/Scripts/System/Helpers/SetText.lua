-- Sets a global text variable, adding it when it does not exist yet.
-- Arguments: name (A), text (A).
local name = LM_GetScriptArgumentString(0)
local text = LM_GetScriptArgumentString(1)
if name == nil or text == nil then
    io.stderr:write("SetText.lua: a variable name and a text are needed\n")
    return
end
if Global_GetScriptVariableA(name) == nil and Global_GetScriptVariableI(name) == -100 then
    Global_AddScriptVariableA(name, text)
else
    Global_SetScriptVariableA(name, text)
end
