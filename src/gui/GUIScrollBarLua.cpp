// GUISB_SetScrollData: lays out the active scroll bar.
#include "gui/GUIScrollBar.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsScrollBar(int32_t type) { return type == kTypeGUIScrollBar; }

int GUISB_SetScrollData(lua_State* L) {
    const std::string prefix = "GUISB SetScrollData";
    if (!script::HasArgs(L, 5)) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    auto* bar =
        guiwidget::ActiveWidget<GUIScrollBar>({prefix, ":  "}, &IsScrollBar, "Active Object was not a GUIScrollbar");
    if (!bar) return 0;
    bar->SetScrollData(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4),
                       script::GetFlag(L, 5));
    return 0;
}

const script::Function kFunctions[] = {
    {"GUISB_SetScrollData", GUISB_SetScrollData},
    {nullptr, nullptr},
};

}  // namespace

void GUIScrollBar::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
