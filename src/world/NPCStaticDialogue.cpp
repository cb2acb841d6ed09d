#include "world/NPCStaticDialogue.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "world/Camera.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/ai/AIDrawingList.h"

namespace {

constexpr const char* kDialogueBoxName = "DialogueManager";

GUIBaseObject* FindDialogueBox() {
    GUIManager* gui = GetGlobalState()->guiManager;
    return gui ? gui->FindObject(kDialogueBoxName) : nullptr;
}

void SetResponseState(int32_t value) {
    // Looked up each time: the dialogue script may have replaced the box.
    if (auto* box = dynamic_cast<GUIDialogueManager*>(FindDialogueBox())) box->SetResponseState(value);
}

// The GUI's stored mouse position in the camera's view, where the click
// box is; (0, 0) without a GUI.
void MousePosition(int32_t* x, int32_t* y) {
    GUIManager* gui = GetGlobalState()->guiManager;
    *x = *y = 0;
    if (gui) Camera::WindowToView(gui->GetMouseX(), gui->GetMouseY(), x, y);
}

}  // namespace

NPCStaticDialogue::NPCStaticDialogue() { m_type = kTypeNPCStaticDialogue; }

NPCStaticDialogue::~NPCStaticDialogue() = default;

bool NPCStaticDialogue::HandleMouseState(int32_t mouseState) {
    int32_t x = 0, y = 0;
    switch (mouseState) {
        case -1: MarkAppearanceDirty(); return true;
        case 0:
            MousePosition(&x, &y);
            m_hover = HitTest(x, y) ? 1 : 0;
            return false;
        case 1:
            if (m_suppressed || !m_hover) return false;
            return StartDialogue();
        default: return false;
    }
}

bool NPCStaticDialogue::StartDialogue() {
    GUIBaseObject* box = FindDialogueBox();
    // A dialogue already showing takes no second one, and a click on the
    // world opens nothing over a window that holds the keys (a menu, the
    // inventory, a line being typed): the keys stay where the player sees
    // them.
    if (box && box->IsVisible()) return false;
    if (GUIManager* gui = GetGlobalState()->guiManager; gui && !gui->GetControlStack().IsEmpty()) return false;
    int32_t x = 0, y = 0;
    MousePosition(&x, &y);
    if (!HitTest(x, y)) return false;
    if (m_dialoguePath.empty()) {
        std::fputs("NPC was clicked but didn't have a dialogue path set.\n", stderr);
        return true;
    }
    if (!box) {
        std::fputs("Couldn't find Dialogue Manager\n", stderr);
        return false;
    }
    GlobalState* state = GetGlobalState();
    if (EntityManager* entities = state->entityManager) entities->SetDialogueCharacter(this);
    SetResponseState(kResponseRunning);
    // The script may remove characters, this one included: the entity
    // manager defers deletions during its walk, and nothing below reads
    // this character's fields. A copy, in case the path is changed.
    const std::string path = m_dialoguePath;
    if (LuaManager* lua = state->luaManager) lua->RunFile(path, kDialogueScriptCode);
    SetResponseState(kResponseIdle);
    return false;
}

void NPCStaticDialogue::UpdateAppearance() {
    // Unlike a plain character, the frame is drawn whenever a drawing list
    // exists, states allocated or not.
    BitmapWrapper* appearance = GetAppearance();
    if (m_drawingList && appearance && appearance->GetBitmap()) m_drawingList->Draw(appearance, 0, 0, 0);
}

void* NPCStaticDialogue::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}
