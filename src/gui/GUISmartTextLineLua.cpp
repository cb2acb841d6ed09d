// GUISTL_WatchProperty: the property the active smart text line shows.
#include "gui/GUISmartTextLine.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsSmartTextLine(int32_t type) { return type == kTypeGUISmartTextLine; }

int GUISTL_WatchProperty(lua_State* L) {
    const std::string prefix = "GUISTL WatchProperty";
    std::string part[3];
    if (!script::HasArgs(L, 3)) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    for (int i = 0; i < 3; ++i)
        if (!script::GetText(L, i + 1, part[i])) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    auto* line = guiwidget::ActiveWidget<GUISmartTextLine>({prefix, ":  "}, &IsSmartTextLine,
                                                           "Active Object is not a GUISmartTextLine");
    if (line) line->Watch(part[0], part[1], part[2]);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUISTL_WatchProperty", GUISTL_WatchProperty},
    {nullptr, nullptr},
};

}  // namespace

void GUISmartTextLine::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
