// GUIT_SetString: the text of the active text line (any of the text-line
// family: plain, smart or input box).
#include "gui/GUITextLineLua.h"

#include "gui/GUITextLine.h"

namespace {

int GUIT_SetString(lua_State* L) {
    const std::string prefix = "GUIT SetString";
    std::string text;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, text))
        return script::Fail(prefix + ":  Failed, invalid argument list\n");
    auto* line = guiwidget::ActiveWidget<GUITextLine>({prefix, ":  "}, &IsGUITextLineType, "object is not a Text Line");
    if (line) line->SetString(text);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIT_SetString", GUIT_SetString},
    {nullptr, nullptr},
};

}  // namespace

void GUITextLine::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
