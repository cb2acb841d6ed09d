// The GUIG_ script functions: they act on the GUI manager's active object.
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

namespace {

// The active object, or null after printing the function's line.
GUIBaseObject* ActiveObject(const char* prefix) {
    return script::ActiveObject<GUIBaseObject>(script::Lines{prefix}, GetGlobalState()->guiManager,
                                               &GUIManager::GetActiveObject,
                                               {"GUIManager does not exist", "Active Object not set"});
}

int GUIG_Show(lua_State*) {
    if (GUIBaseObject* object = ActiveObject("GUIG Show")) object->Open();
    return 0;
}

int GUIG_Hide(lua_State*) {
    if (GUIBaseObject* object = ActiveObject("GUIG Hide")) object->Close();
    return 0;
}

int GUIG_Flip(lua_State*) {
    if (GUIBaseObject* object = ActiveObject("GUIG Flip")) object->Flip();
    return 0;
}

int GUIG_SetLock(lua_State* L) {
    if (GUIBaseObject* object = ActiveObject("GUIG SetLock")) object->SetLock(script::GetInt(L, 1));
    return 0;
}

int GUIG_SetDimensions(lua_State* L) {
    if (!script::HasArgs(L, 4)) return script::Fail("GUIG SetDimensions:  Failed, invalid argument list\n");
    GUIBaseObject* object = ActiveObject("GUIG SetDimensions");
    if (!object) return 0;
    object->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

int GUIG_SetBorderImages(lua_State* L) {
    const char* invalid = "GUIG SetBorderImages:  Failed, invalid argument list\n";
    std::string names[3];
    if (!script::HasArgs(L, 3)) return script::Fail(invalid);
    for (int i = 0; i < 3; ++i)
        if (!script::GetText(L, i + 1, names[i])) return script::Fail(invalid);
    GUIBaseObject* object = ActiveObject("GUIG SetBorderImages");
    if (!object) return 0;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("GUIG SetBorderImages:  Failed, DataLibrary does not exist\n");
    BitmapWrapper* images[3];
    for (int i = 0; i < 3; ++i)
        images[i] = library->Get<BitmapWrapper>("Images", "GUI", "Windows", names[i].c_str(), DataKind::Bitmap);
    object->SetBorderImages(images[0], images[1], images[2]);
    return 0;
}

int GUIG_AddToStandardUI(lua_State*) {
    GUIBaseObject* object = ActiveObject("GUIG_AddToStandardUI");
    if (object) GetGlobalState()->guiManager->AddToStandardUI(object);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIG_Show", GUIG_Show},
    {"GUIG_Hide", GUIG_Hide},
    {"GUIG_Flip", GUIG_Flip},
    {"GUIG_SetLock", GUIG_SetLock},
    {"GUIG_SetDimensions", GUIG_SetDimensions},
    {"GUIG_SetBorderImages", GUIG_SetBorderImages},
    {"GUIG_AddToStandardUI", GUIG_AddToStandardUI},
    {nullptr, nullptr},
};

}  // namespace

void GUIBaseObject::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
