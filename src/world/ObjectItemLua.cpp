// Hook_OBJI_SetImage: the image of the active item, from the data library.
#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "world/ObjectItem.h"

namespace {

int Hook_OBJI_SetImage(lua_State* L) {
    const char* invalid = "OBJI_SetImage:  Failed, invalid argument list\n";
    std::string path[4];
    if (!script::HasArgs(L, 4)) return script::Fail(invalid);
    for (int i = 0; i < 4; ++i)
        if (!script::GetText(L, i + 1, path[i])) return script::Fail(invalid);
    if (!GetGlobalState()->entityManager) return script::Fail("OBJI_SetImage:  Failed, EntityManager does not exist\n");
    ObjectBase* object = ObjectBase::GetActive();
    if (!object) return script::Fail("OBJI_SetImage:  Failed, Active Object not set\n");
    auto* item = dynamic_cast<ObjectItem*>(object);
    if (!item) return script::Fail("OBJI_SetImage:  Failed, Active Object pointer is of the wrong type\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("OBJI_SetImage:  Failed, DataLibrary does not exist\n");
    auto* image = library->Get<BitmapWrapper>(path[0].c_str(), path[1].c_str(), path[2].c_str(), path[3].c_str(),
                                              DataKind::Bitmap);
    if (!image) std::fprintf(stderr, "OBJI_SetImage:  Warning, image %s not found\n", path[3].c_str());
    item->SetImage(image);
    return 0;
}

const script::Function kFunctions[] = {
    {"Hook_OBJI_SetImage", Hook_OBJI_SetImage},
    {nullptr, nullptr},
};

}  // namespace

void ObjectItem::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
