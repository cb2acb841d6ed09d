// GUISI_SetImage: the property whose bitmap the active smart image shows.
#include "gui/GUISmartImage.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsSmartImage(int32_t type) { return type == kTypeGUISmartImage; }

int GUISI_SetImage(lua_State* L) {
    const std::string prefix = "GUISI SetImage";
    std::string part[3];
    if (!script::HasArgs(L, 3)) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    for (int i = 0; i < 3; ++i)
        if (!script::GetText(L, i + 1, part[i])) return script::Fail(prefix + ":  Failed, invalid argument list\n");
    auto* image =
        guiwidget::ActiveWidget<GUISmartImage>({prefix, ":  "}, &IsSmartImage, "Active Object is not a SmartImage");
    if (image) image->SetImage(part[0], part[1], part[2]);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUISI_SetImage", GUISI_SetImage},
    {nullptr, nullptr},
};

}  // namespace

void GUISmartImage::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
