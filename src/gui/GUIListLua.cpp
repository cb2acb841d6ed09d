// GUIL_SetListSize, GUIL_SetListEntry: size and fill the active list.
#include "gui/GUIList.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsList(int32_t type) { return type == kTypeGUIList; }

GUIList* ActiveList(const std::string& prefix) {
    return guiwidget::ActiveWidget<GUIList>({prefix, ":  "}, &IsList, "Active Object is not a GUIList");
}

int GUIL_SetListSize(lua_State* L) {
    const std::string prefix = "GUIL SetListSize";
    if (!script::HasArgs(L, 1)) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    GUIList* list = ActiveList(prefix);
    if (!list) return 0;
    const int32_t count = script::GetInt(L, 1);
    // A list cannot hold fewer than no entries.
    if (count < 0) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    list->SetListSize(count);
    return 0;
}

int GUIL_SetListEntry(lua_State* L) {
    const std::string prefix = "GUIL SetListEntry";
    const std::string invalid = prefix + ":  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 7)) return script::Fail(invalid);
    std::string text[6];
    for (int i = 0; i < 6; ++i)
        if (!script::GetText(L, i + 2, text[i])) return script::Fail(invalid);
    GUIList* list = ActiveList(prefix);
    if (!list) return 0;
    const int32_t index = script::GetInt(L, 1);
    // An index outside the list is ignored before anything is looked up.
    if (index < 0 || index >= list->GetCount()) return 0;
    if (!GetGlobalState()->propertyRouter) return script::Fail(prefix + ":  Failed, PropertyRouter does not exist\n");
    list->SetListEntry(index, text[0], text[1], text[2], text[3], text[4], text[5]);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIL_SetListSize", GUIL_SetListSize},
    {"GUIL_SetListEntry", GUIL_SetListEntry},
    {nullptr, nullptr},
};

}  // namespace

void GUIList::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
