#pragma once
// The active-object check shared by the script functions of the text,
// image, check-box and colour-box families.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

namespace guiwidget {

// The GUI manager's active object when `accepts` its type id; otherwise the
// matching line is printed ("<prefix><gap>Failed, Active Object not set\n",
// or `wrongType` as it stands) and the result is null.
inline GUIBaseObject* ActiveWidget(const std::string& prefix, const std::string& gap, bool (*accepts)(int32_t),
                                   const std::string& wrongType) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) {
        script::Fail(prefix + gap + "Failed, GUIManager does not exist\n");
        return nullptr;
    }
    GUIBaseObject* object = manager->GetActiveObject();
    if (!object) {
        script::Fail(prefix + gap + "Failed, Active Object not set\n");
        return nullptr;
    }
    if (!accepts(object->GetType())) {
        script::Fail(wrongType);
        return nullptr;
    }
    return object;
}

}  // namespace guiwidget
