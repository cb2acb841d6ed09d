// GUIColB_SetColorData: the colour of the active colour box.
#include "gui/GUIColorBox.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsColorBox(int32_t type) { return type == kTypeGUIColorBox; }

int GUIColB_SetColorData(lua_State* L) {
    const std::string prefix = "GUIColB SetColorData";
    if (!script::HasArgs(L, 4)) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    auto* box =
        guiwidget::ActiveWidget<GUIColorBox>({prefix, ":  "}, &IsColorBox, "Active Object is not a GUIColorBox");
    if (box) box->SetColor(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIColB_SetColorData", GUIColB_SetColorData},
    {nullptr, nullptr},
};

}  // namespace

void GUIColorBox::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
