// GUII_SetImage: the image the active image widget shows, by name.
#include "core/script/DataLibrary.h"
#include "gui/GUIImage.h"
#include "gui/GUITextLineLua.h"

namespace {

bool IsImage(int32_t type) { return type == kTypeGUIImage; }

int GUII_SetImage(lua_State* L) {
    const std::string prefix = "GUII SetImage";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail(prefix + ": Failed, invalid argument list\n");
    auto* image = guiwidget::ActiveWidget<GUIImage>({prefix, ": "}, &IsImage, "Active Object is not a GUIImage");
    if (!image) return 0;
    if (!GetGlobalState()->dataLibrary) return script::Fail(prefix + ": Failed, DataLibrary does not exist\n");
    image->SetImageByName(name);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUII_SetImage", GUII_SetImage},
    {nullptr, nullptr},
};

}  // namespace

void GUIImage::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
