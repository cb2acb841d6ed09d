// GUICB_SetFiringData: the files the active check box runs when it is
// checked and unchecked, with their arguments.
#include "gui/GUICheckBox.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsCheckBox(int32_t type) { return type == kTypeGUICheckBox; }

int GUICB_SetFiringData(lua_State* L) {
    const std::string prefix = "GUICB SetFiringData";
    const std::string invalid = prefix + ":  Failed, invalid argument list\n";
    std::string onCheck;
    std::string onUncheck;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, onCheck) || !script::GetText(L, 3, onUncheck))
        return script::Fail(invalid);
    auto* box =
        guiwidget::ActiveWidget<GUICheckBox>({prefix, ":  "}, &IsCheckBox, "Active Object is not a GUICheckBox");
    if (box) box->SetFiringData(onCheck, script::GetInt(L, 2), onUncheck, script::GetInt(L, 4));
    return 0;
}

const script::Function kFunctions[] = {
    {"GUICB_SetFiringData", GUICB_SetFiringData},
    {nullptr, nullptr},
};

}  // namespace

void GUICheckBox::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
