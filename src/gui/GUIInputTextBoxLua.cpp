// GUIITB_SetSystemData: the active input box's maximum characters and
// system flag.
#include "gui/GUIInputTextBox.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsInputTextBox(int32_t type) { return type == kTypeGUIInputTextBox; }

int GUIITB_SetSystemData(lua_State* L) {
    const std::string prefix = "GUIITB SetSystemData";
    if (!script::HasArgs(L, 2)) return script::Fail(prefix + ":  Failed, Invalid argument list\n");
    auto* box = guiwidget::ActiveWidget<GUIInputTextBox>({prefix, ":  "}, &IsInputTextBox,
                                                         "Active Object is not a GUIInputTextBox");
    if (box) box->SetSystemData(script::GetInt(L, 1), script::GetNumber(L, 2) != 0);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIITB_SetSystemData", GUIITB_SetSystemData},
    {nullptr, nullptr},
};

}  // namespace

void GUIInputTextBox::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
