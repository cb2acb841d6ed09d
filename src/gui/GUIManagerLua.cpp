// The GUI_ and GUIOL_ script functions, and the GUI subsystem's registrar.
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUICheckBox.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIDropMenu.h"
#include "gui/GUIImage.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIList.h"
#include "gui/GUIManager.h"
#include "gui/GUIResizeWindow.h"
#include "gui/GUIScrollBar.h"
#include "gui/GUIScrollableWindow.h"
#include "gui/GUISmartImage.h"
#include "gui/GUISmartTextLine.h"
#include "gui/GUIWindow.h"

namespace {

// The widget types scripts create by name, compared exactly in this order.
// A row is one line: {"TypeName", &CreateGUIObject<ClassName>}.
struct GUIObjectType {
    const char* name;
    GUIBaseObject* (*create)();
};

template <class T> GUIBaseObject* CreateGUIObject() { return new T; }

const GUIObjectType kCreatableTypes[] = {
    {"GUISmartText", &CreateGUIObject<GUISmartTextLine>},
    {"GUITextLine", &CreateGUIObject<GUITextLine>},
    {"GUIButton", &CreateGUIObject<GUIButton>},
    {"GUISmartImage", &CreateGUIObject<GUISmartImage>},
    {"GUIScrollBar", &CreateGUIObject<GUIScrollBar>},
    {"GUICheckBox", &CreateGUIObject<GUICheckBox>},
    {"GUIImage", &CreateGUIObject<GUIImage>},
    {"GUIColorBox", &CreateGUIObject<GUIColorBox>},
    {"GUIInputBox", &CreateGUIObject<GUIInputTextBox>},
    {"GUIWindow", &CreateGUIObject<GUIWindow>},
    {"GUIScrollableWindow", &CreateGUIObject<GUIScrollableWindow>},
    {"GUIResizeWindow", &CreateGUIObject<GUIResizeWindow>},
    {"GUIList", &CreateGUIObject<GUIList>},
    {"GUIDropMenu", &CreateGUIObject<GUIDropMenu>},
    {nullptr, nullptr},
};

// The kinds of the layers above, in the order they were first registered.
struct WidgetKind {
    std::string typeName;
    GUIManager::WidgetFactory create;
    GUIManager::LuaRegistrar registerLua;
};

std::vector<WidgetKind>& WidgetKinds() {
    static std::vector<WidgetKind> kinds;
    return kinds;
}

GUIBaseObject* CreateByTypeName(const std::string& typeName) {
    for (const GUIObjectType* type = kCreatableTypes; type->name; ++type)
        if (typeName == type->name) return type->create();
    for (const WidgetKind& kind : WidgetKinds())
        if (kind.create && typeName == kind.typeName) return kind.create();
    return nullptr;
}

int GUI_HideAllObjects(lua_State*) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUI HideAllObjects:  Failed, GUIManager does not exist\n");
    manager->HideAllObjects();
    return 0;
}

int GUI_SetActiveObject(lua_State* L) {
    const char* invalid = "GUI SetActiveObject:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(invalid);
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUI SetActiveObject:  Failed, GUIManager does not exist\n");
    NamedList* list = manager->GetActiveObjectList();
    if (!list) return script::Fail("GUI SetActiveObject:  Failed, Active Object List was not set\n");
    auto* object = static_cast<GUIBaseObject*>(list->Find(name));
    manager->SetActiveObject(object);
    if (!object) std::fprintf(stderr, "GUI SetActiveObject:  Warning, Object %s not found\n", name.c_str());
    return 0;
}

int GUI_SetActiveObjectList(lua_State* L) {
    const char* invalid = "GUI SetActiveObjectList:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(invalid);
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUI SetActiveObjectList:  Failed, GUIManager does not exist\n");
    NamedList* list = manager->SelectListOwner(name.c_str());
    manager->SetActiveObjectList(list);
    if (!list) std::fprintf(stderr, "GUI SetActiveObjectList:  Warning, list owner %s not found\n", name.c_str());
    return 0;
}

int GUIOL_AddObject(lua_State* L) {
    if (lua_gettop(L) < 2) return script::Fail("GUIOL AddObject:  Failed, not enough args to determine type\n");
    std::string name;
    std::string typeName;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 2, typeName))
        return script::Fail("GUIOL AddObject:  Failed, invalid argument list\n");
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUIOL AddObject:  Failed, GUIManager does not exist\n");
    if (!manager->GetActiveObjectList()) return script::Fail("GUIOL AddObject: Failed, Active Object List not set\n");
    GUIBaseObject* object = CreateByTypeName(typeName);
    if (!object) {
        std::fprintf(stderr, "GUIOL AddObject:  Failed, could not discern type %s\n", typeName.c_str());
        return 0;
    }
    manager->AddActiveObject(name.c_str(), object);
    return 0;
}

int GUI_SetActiveObjectAndListFromBase(lua_State* L) {
    const char* invalid = "GUI SetActiveObjectAndListFromBase:  Failed, invalid argument list\n";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(invalid);
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUI SetActiveObjectAndListFromBase:  Failed, GUIManager does not exist\n");
    manager->ResetActiveObjectList();
    GUIBaseObject* object = manager->FindObject(name);
    manager->SetActiveObject(object);
    if (!object) {
        std::fprintf(stderr, "GUI SetActiveObjectAndListFromBase:  Warning, object %s not found\n", name.c_str());
        return 0;
    }
    manager->SetListOwner(object);
    manager->SetActiveObjectList(object->GetChildList());
    return 0;
}

int GUI_SetStdCursor(lua_State* L) {
    const char* invalid = "GUI_SetStdCursor:  Failed, invalid argument list\n";
    std::string part[4];
    if (!script::HasArgs(L, 4)) return script::Fail(invalid);
    for (int i = 0; i < 4; ++i)
        if (!script::GetText(L, i + 1, part[i])) return script::Fail(invalid);
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return script::Fail("GUI_SetStdCursor:  Failed, GUIManager does not exist\n");
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("GUI_SetStdCursor:  Failed, DataLibrary does not exist\n");
    manager->SetStdCursor(library->Get<BitmapWrapper>(part[0].c_str(), part[1].c_str(), part[2].c_str(),
                                                      part[3].c_str(), DataKind::Bitmap));
    return 0;
}

const script::Function kManagerFunctions[] = {
    {"GUI_HideAllObjects", GUI_HideAllObjects},
    {"GUI_SetActiveObject", GUI_SetActiveObject},
    {"GUI_SetActiveObjectList", GUI_SetActiveObjectList},
    {"GUIOL_AddObject", GUIOL_AddObject},
    {"GUI_SetActiveObjectAndListFromBase", GUI_SetActiveObjectAndListFromBase},
    {"GUI_SetStdCursor", GUI_SetStdCursor},
    {nullptr, nullptr},
};

}  // namespace

void GUIManager::RegisterWidgetKind(const std::string& typeName, WidgetFactory create, LuaRegistrar registerLua) {
    for (WidgetKind& kind : WidgetKinds()) {
        if (kind.typeName == typeName) {
            kind.create = create;
            kind.registerLua = registerLua;
            return;
        }
    }
    WidgetKinds().push_back({typeName, create, registerLua});
}

bool GUIManager::IsWidgetKindRegistered(const std::string& typeName) {
    for (const WidgetKind& kind : WidgetKinds())
        if (kind.typeName == typeName) return kind.create || kind.registerLua;
    return false;
}

std::vector<std::string> GUIManager::RegisteredWidgetKinds() {
    std::vector<std::string> names;
    for (const WidgetKind& kind : WidgetKinds())
        if (kind.create || kind.registerLua) names.push_back(kind.typeName);
    return names;
}

void GUIManager::RegisterLuaFunctions(lua_State* L) {
    if (!L) return;
    script::Register(L, kManagerFunctions);
    GUIBaseObject::RegisterLuaFunctions(L);       // GUIG_
    GUIButton::RegisterLuaFunctions(L);           // GUIB_
    GUICheckBox::RegisterLuaFunctions(L);         // GUICB_SetFiringData
    for (const WidgetKind& kind : WidgetKinds())  // e.g. the combat character display's GUICCD_
        if (kind.registerLua) kind.registerLua(L);
    GUIDropMenu::RegisterLuaFunctions(L);       // GUIDM_
    GUIColorBox::RegisterLuaFunctions(L);       // GUIColB_SetColorData
    GUIImage::RegisterLuaFunctions(L);          // GUII_SetImage
    GUISmartImage::RegisterLuaFunctions(L);     // GUISI_SetImage
    GUIList::RegisterLuaFunctions(L);           // GUIL_
    GUIScrollBar::RegisterLuaFunctions(L);      // GUISB_SetScrollData
    GUIInputTextBox::RegisterLuaFunctions(L);   // GUIITB_SetSystemData
    GUITextLine::RegisterLuaFunctions(L);       // GUIT_SetString
    GUISmartTextLine::RegisterLuaFunctions(L);  // GUISTL_WatchProperty
    // The widget families follow in this order as they are written:
    //   GUIB_ (buttons), GUICB_SetFiringData, the registered kinds' families
    //   (the combat character display's GUICCD_), GUIDM_AddField, GUIDM_AddEntry,
    //   GUIDM_ModifyEntry, GUIColB_SetColorData, GUII_SetImage,
    //   GUISI_SetImage, GUIL_SetListSize, GUIL_SetListEntry,
    //   GUISB_SetScrollData, GUIITB_SetSystemData, GUIT_SetString,
    //   GUISTL_WatchProperty, then the windows: GUIRSW_, GUISW_, GUIW_.
    GUIWindow::RegisterLuaFunctions(L);  // GUIRSW_, GUISW_, GUIW_
}
