// GUIDM_AddField, GUIDM_AddEntry, GUIDM_ModifyEntry: build the active drop
// menu's fields and entries.
#include "gui/GUIDropMenu.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsDropMenu(int32_t type) { return type == kTypeGUIDropMenu; }

GUIDropMenu* ActiveMenu(const std::string& prefix) {
    return guiwidget::ActiveWidget<GUIDropMenu>({prefix, ":  "}, &IsDropMenu, "Active Object is not a GUIDropMenu");
}

int GUIDM_AddField(lua_State* L) {
    const std::string prefix = "GUIDM AddField";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail(prefix + ":  Failed, invalid argument list\n");
    GUIDropMenu* menu = ActiveMenu(prefix);
    if (!menu) return 0;
    menu->AddField(name);
    return 0;
}

// Field, entry name, label, script path, argument, marked: the four texts
// are checked here; false when they do not all read as text.
bool ReadEntryArguments(lua_State* L, std::string text[4]) {
    for (int i = 0; i < 4; ++i)
        if (!script::GetText(L, i + 1, text[i])) return false;
    return true;
}

int GUIDM_AddEntry(lua_State* L) {
    const std::string prefix = "GUIDM AddEntry";
    std::string text[4];
    if (!script::HasArgs(L, 6) || !ReadEntryArguments(L, text))
        return script::Fail(prefix + ":  Failed, invalid argument list\n");
    GUIDropMenu* menu = ActiveMenu(prefix);
    if (!menu) return 0;
    menu->AddEntry(text[0], text[1], text[2], text[3], script::GetInt(L, 5), script::GetFlag(L, 6));
    return 0;
}

int GUIDM_ModifyEntry(lua_State* L) {
    const std::string prefix = "GUIDM ModifyEntry";
    std::string text[4];
    if (!script::HasArgs(L, 6) || !ReadEntryArguments(L, text))
        return script::Fail(prefix + ":  Failed, invalid argument list\n");
    GUIDropMenu* menu = ActiveMenu(prefix);
    if (!menu) return 0;
    menu->ModifyEntry(text[0], text[1], text[2], text[3], script::GetInt(L, 5), script::GetFlag(L, 6));
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIDM_AddField", GUIDM_AddField},
    {"GUIDM_AddEntry", GUIDM_AddEntry},
    {"GUIDM_ModifyEntry", GUIDM_ModifyEntry},
    {nullptr, nullptr},
};

}  // namespace

void GUIDropMenu::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
