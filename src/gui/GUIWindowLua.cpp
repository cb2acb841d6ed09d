// Script functions of the windows: GUIW_ (plain windows), GUISW_ (scrollable
// windows) and GUIRSW_ (resize windows). Each acts on the GUI manager's
// active object, whose type must be exactly the family's class.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIManager.h"
#include "gui/GUIResizeWindow.h"
#include "gui/GUIScrollableWindow.h"
#include "gui/GUITextLineLua.h"
#include "gui/GUIWindow.h"

namespace {

// The active object when it is of the wanted type; otherwise prints the
// function's line ("<prefix>:  Failed, ...") and gives null.
GUIBaseObject* ActiveOfType(const std::string& prefix, int32_t type, const char* className) {
    const std::string wrongKind = std::string("Active Object is not a ") + className;
    return guiwidget::ActiveWidget<GUIBaseObject>(
        {prefix}, [type](int32_t found) { return found == type; }, wrongKind.c_str());
}

int InvalidArguments(const std::string& prefix) { return script::Fail(script::Lines{prefix}.Invalid()); }

// ---- GUIW_ ------------------------------------------------------------------

int GUIW_SetBackgroundColor(lua_State* L) {
    const std::string prefix = "GUIW SetBackgroundColor";
    if (!script::HasArgs(L, 3)) return InvalidArguments(prefix);
    auto* window = static_cast<GUIWindow*>(ActiveOfType(prefix, kTypeGUIWindow, "GUIWindow"));
    if (!window) return 0;
    window->SetBackgroundColor(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

// ---- GUISW_ -----------------------------------------------------------------

GUIScrollableWindow* ActiveScrollable(const std::string& prefix) {
    return static_cast<GUIScrollableWindow*>(ActiveOfType(prefix, kTypeGUIScrollableWindow, "GUIScrollableWindow"));
}

int GUISW_SetBackgroundPic(lua_State* L) {
    const std::string prefix = "GUISW SetBackgroundPic";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return InvalidArguments(prefix);
    if (GUIScrollableWindow* window = ActiveScrollable(prefix)) window->SetBackgroundPic(name.c_str());
    return 0;
}

int GUISW_SetWindowDimensions(lua_State* L) {
    const std::string prefix = "GUISW SetWindowDimentions";
    if (!script::HasArgs(L, 4)) return InvalidArguments(prefix);
    if (GUIScrollableWindow* window = ActiveScrollable(prefix))
        window->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

int GUISW_SetPictureDimensions(lua_State* L) {
    const std::string prefix = "GUISW SetPictureDimentions";
    if (!script::HasArgs(L, 4)) return InvalidArguments(prefix);
    if (GUIScrollableWindow* window = ActiveScrollable(prefix))
        window->SetPictureDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                     script::GetInt(L, 4));
    return 0;
}

int GUISW_SetWindowBorderWidth(lua_State* L) {
    const std::string prefix = "GUISW SetWindowBorderWidth";
    if (!script::HasArgs(L, 1)) return InvalidArguments(prefix);
    if (GUIScrollableWindow* window = ActiveScrollable(prefix)) window->SetBorderWidth(script::GetInt(L, 1));
    return 0;
}

// ---- GUIRSW_ ----------------------------------------------------------------

GUIResizeWindow* ActiveResize(const std::string& prefix) {
    return static_cast<GUIResizeWindow*>(ActiveOfType(prefix, kTypeGUIResizeWindow, "GUIResizeWindow"));
}

int GUIRSW_SetBackgroundPic(lua_State* L) {
    const std::string prefix = "GUIRSW SetBackgroundPic";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return InvalidArguments(prefix);
    if (GUIResizeWindow* window = ActiveResize(prefix)) window->SetDisplay(name.c_str());
    return 0;
}

int GUIRSW_SetWindowDimensions(lua_State* L) {
    const std::string prefix = "GUIRSW SetWindowDimensions";
    if (!script::HasArgs(L, 4)) return InvalidArguments(prefix);
    if (GUIResizeWindow* window = ActiveResize(prefix))
        window->SetDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
    return 0;
}

int GUIRSW_SetPictureDimensions(lua_State* L) {
    const std::string prefix = "GUIRSW SetPictureDimensions";
    if (!script::HasArgs(L, 4)) return InvalidArguments(prefix);
    if (GUIResizeWindow* window = ActiveResize(prefix))
        window->SetPictureDimensions(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                     script::GetInt(L, 4));
    return 0;
}

int GUIRSW_SetWindowBorderWidth(lua_State* L) {
    const std::string prefix = "GUIRSW SetWindowBorderWidth";
    if (!script::HasArgs(L, 1)) return InvalidArguments(prefix);
    if (GUIResizeWindow* window = ActiveResize(prefix)) window->SetBorderWidth(script::GetInt(L, 1));
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIRSW_SetBackgroundPic", GUIRSW_SetBackgroundPic},
    {"GUIRSW_SetWindowDimensions", GUIRSW_SetWindowDimensions},
    {"GUIRSW_SetPictureDimensions", GUIRSW_SetPictureDimensions},
    {"GUIRSW_SetWindowBorderWidth", GUIRSW_SetWindowBorderWidth},
    {"GUISW_SetBackgroundPic", GUISW_SetBackgroundPic},
    {"GUISW_SetWindowDimensions", GUISW_SetWindowDimensions},
    {"GUISW_SetPictureDimensions", GUISW_SetPictureDimensions},
    {"GUISW_SetWindowBorderWidth", GUISW_SetWindowBorderWidth},
    {"GUIW_SetBackgroundColor", GUIW_SetBackgroundColor},
    {nullptr, nullptr},
};

}  // namespace

void GUIWindow::RegisterLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
