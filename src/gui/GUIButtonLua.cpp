// The GUIB_ script functions: they configure the GUI manager's active
// object, which must be a button (type id 3010 exactly).
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLineLua.h"

namespace {

// The active object when it is a button; otherwise prints the function's
// line and gives null.
GUIButton* ActiveButton(const std::string& prefix) {
    return guiwidget::ActiveWidget<GUIButton>(
        {prefix}, [](int32_t type) { return type == kTypeGUIButton; }, "Active Object is not a GUIButton");
}

int Invalid(const std::string& prefix) { return script::Fail(script::Lines{prefix}.Invalid()); }

int GUIB_SetImages(lua_State* L) {
    const std::string prefix = "GUIB SetImages";
    std::string name[3];
    if (!script::HasArgs(L, 3)) return Invalid(prefix);
    for (int i = 0; i < 3; ++i)
        if (!script::GetText(L, i + 1, name[i])) return Invalid(prefix);
    GUIButton* button = ActiveButton(prefix);
    if (!button) return 0;
    if (!GetGlobalState()->dataLibrary) return script::Fail(prefix + ":  Failed, DataLibrary does not exist\n");
    button->SetImagesByName(name[0], name[1], name[2]);
    return 0;
}

int GUIB_SetDisplayData(lua_State* L) {
    const std::string prefix = "GUIB SetDisplayData";
    if (!script::HasArgs(L, 2)) return Invalid(prefix);
    if (GUIButton* button = ActiveButton(prefix)) {
        // A number beyond the float range becomes the largest float of its
        // sign (converting it unclamped is undefined).
        const double value = script::GetNumber(L, 1);
        const double limit = std::numeric_limits<float>::max();
        const double kept = std::isnan(value) ? value : std::clamp(value, -limit, limit);
        button->SetDisplayData(static_cast<float>(kept), script::GetInt(L, 2));
    }
    return 0;
}

int GUIB_SetScriptData(lua_State* L) {
    const std::string prefix = "GUIB SetScriptData";
    std::string path;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, path)) return Invalid(prefix);
    if (GUIButton* button = ActiveButton(prefix)) button->SetScript(path, script::GetInt(L, 2));
    return 0;
}

int GUIB_SetFunctionData(lua_State* L) {
    const std::string prefix = "GUIB SetFunctionData";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return Invalid(prefix);
    if (GUIButton* button = ActiveButton(prefix)) button->SetFunction(name);
    return 0;
}

const script::Function kFunctions[] = {
    {"GUIB_SetImages", GUIB_SetImages},
    {"GUIB_SetDisplayData", GUIB_SetDisplayData},
    {"GUIB_SetScriptData", GUIB_SetScriptData},
    {"GUIB_SetFunctionData", GUIB_SetFunctionData},
    {nullptr, nullptr},
};

}  // namespace

void GUIButton::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
