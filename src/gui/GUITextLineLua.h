#pragma once
// The active-object check shared by the script functions of the text,
// image, check-box and colour-box families.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

namespace guiwidget {

// The GUI manager's active object as a T when `accepts` its type id, or
// null after the function's line ("GUIManager does not exist", "Active
// Object not set", or `wrongKind`).
template <class T>
T* ActiveWidget(const script::Lines& lines, bool (*accepts)(int32_t), const char* wrongKind) {
    return script::ActiveObject<T>(
        lines, GetGlobalState()->guiManager, &GUIManager::GetActiveObject,
        [accepts](GUIBaseObject* object) { return accepts(object->GetType()) ? static_cast<T*>(object) : nullptr; },
        {"GUIManager does not exist", "Active Object not set", wrongKind});
}

}  // namespace guiwidget
