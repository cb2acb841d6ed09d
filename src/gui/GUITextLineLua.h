#pragma once
// The active-object check shared by the script functions of the GUI
// widget families (text lines, images, lists, buttons, windows ...).
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"

namespace guiwidget {

// The GUI manager's active object as a T when `accepts` its type id, or
// null after the function's line ("GUIManager does not exist", "Active
// Object not set", or `wrongKind`).
template <class T, class Accepts> T* ActiveWidget(const script::Lines& lines, Accepts accepts, const char* wrongKind) {
    return script::ActiveObject<T>(
        lines, GetGlobalState()->guiManager, &GUIManager::GetActiveObject,
        [&accepts](GUIBaseObject* object) { return accepts(object->GetType()) ? static_cast<T*>(object) : nullptr; },
        {"GUIManager does not exist", "Active Object not set", wrongKind});
}

}  // namespace guiwidget
