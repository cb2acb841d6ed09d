#include "gui/GUIManager.h"

#include <allegro5/allegro.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIInputTextBox.h"

namespace {

// The values of a list with their keys and liveness tokens, head first.
std::vector<std::pair<std::string, GUIBaseObject::WalkEntry>> KeyedSnapshot(const NamedList& list) {
    std::vector<std::pair<std::string, GUIBaseObject::WalkEntry>> entries;
    for (NamedList::Node* node = list.GetHead(); node; node = node->next) {
        auto* object = static_cast<GUIBaseObject*>(node->value);
        if (object) entries.push_back({node->name, {object, object->GetLifeToken()}});
    }
    return entries;
}

// True while the snapshot entry's object lives and is still on the list.
bool StillOn(const NamedList& list, const GUIBaseObject::WalkEntry& entry) {
    return entry.Alive() && list.ContainsValue(entry.object);
}

void RemoveAll(NamedList& list, const GUIBaseObject* object) {
    while (list.RemoveValue(object)) {
    }
}

}  // namespace

GUIManager::GUIManager() = default;

GUIManager::~GUIManager() {
    m_destroying = true;
    while (!m_topLevel.IsEmpty()) {
        auto* object = static_cast<GUIBaseObject*>(m_topLevel.RemoveFirst());
        if (!object) continue;
        RemoveAll(m_topLevel, object);
        delete object;
    }
}

// ---- Registry ----------------------------------------------------------------------------

void GUIManager::ResetActiveObjectList() {
    m_listOwner = nullptr;
    m_activeObjectList = &m_topLevel;
}

void GUIManager::AddObject(const char* name, GUIBaseObject* object) {
    if (!name || !object || !m_activeObjectList) return;
    // An object hangs in one place only: it leaves the list it was on.
    if (GUIBaseObject* parent = object->GetParent())
        RemoveAll(*parent->GetChildList(), object);
    else
        RemoveAll(m_topLevel, object);
    object->SetName(name);
    object->SetParent(m_listOwner);
    m_activeObjectList->Add(name, object);
}

void GUIManager::AddActiveObject(const char* name, GUIBaseObject* object) {
    if (!name || !object || !m_activeObjectList) return;
    AddObject(name, object);
    m_activeObject = object;
}

NamedList* GUIManager::SelectListOwner(const char* name) {
    if (!name) return nullptr;
    if (std::strcmp(name, "Base") == 0) {
        m_listOwner = nullptr;
        return &m_topLevel;
    }
    GUIBaseObject* owner = FindObject(name);
    if (!owner) return nullptr;
    m_listOwner = owner;
    return owner->GetChildList();
}

GUIBaseObject* GUIManager::FindObject(const char* name) const {
    if (!name) return nullptr;
    for (NamedList::Node* node = m_topLevel.GetHead(); node; node = node->next) {
        auto* object = static_cast<GUIBaseObject*>(node->value);
        if (node->name == name) return object;
        if (object)
            if (GUIBaseObject* found = object->FindChild(name)) return found;
    }
    return nullptr;
}

void GUIManager::BringToFront(GUIBaseObject* parent, GUIBaseObject* object) {
    if (!object) return;
    NamedList* list = parent ? parent->GetChildList() : &m_topLevel;
    NamedList::Node* node = list->GetHead();
    while (node && node->value != object) node = node->next;
    if (!node || node == list->GetHead()) return;
    std::string key = node->name;
    list->RemoveValue(object);
    list->AddToFront(key, object);
    // The children are drawn in list order: the parent's picture changes.
    if (parent) parent->MarkDirty();
}

void GUIManager::SetStdCursor(BitmapWrapper* cursor) {
    if (cursor == m_stdCursor) return;
    m_stdCursor = cursor;
    // Keyboard navigation draws it at cursor entries, anywhere in the tree.
    for (NamedList::Node* node = m_topLevel.GetHead(); node; node = node->next)
        if (node->value) static_cast<GUIBaseObject*>(node->value)->SetDirtyRecursive();
}

void GUIManager::AddToStandardUI(GUIBaseObject* object) {
    if (object) m_standardUI.Add("X", object);
}

void GUIManager::AddToStandardUIByName(const char* name) { AddToStandardUI(FindObject(name)); }

void GUIManager::ShowStandardUI() {
    HideAllObjects();
    for (const GUIBaseObject::WalkEntry& entry : GUIBaseObject::Snapshot(m_standardUI)) {
        if (StillOn(m_standardUI, entry)) entry.object->Show(false);
    }
}

void GUIManager::HideAllObjects() {
    for (const auto& [key, entry] : KeyedSnapshot(m_topLevel)) {
        if (key != "EnvironmentWindow" && StillOn(m_topLevel, entry)) entry.object->Hide(true);
    }
}

// ---- Mouse, keys and images -----------------------------------------------------------------

void GUIManager::SetMousePosition(float x, float y) {
    m_mouseX = x;
    m_mouseY = y;
}

void GUIManager::SetDefaultBorderImages(BitmapWrapper* corner, BitmapWrapper* horizontal, BitmapWrapper* vertical) {
    m_defaultCorner = corner;
    m_defaultHorizontal = horizontal;
    m_defaultVertical = vertical;
}

void GUIManager::LoadDefaultBorderImages() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) {
        SetDefaultBorderImages(nullptr, nullptr, nullptr);
        return;
    }
    auto image = [library](const char* name) {
        return library->Get<BitmapWrapper>("Images", "GUI", "Windows", name, DataKind::Bitmap);
    };
    BitmapWrapper* corner = image("MoonCorner");
    BitmapWrapper* horizontal = image("MoonHorizontal");
    BitmapWrapper* vertical = image("MoonVertical");
    SetDefaultBorderImages(corner, horizontal, vertical);
}

// ---- Per event and per frame ---------------------------------------------------------------

bool GUIManager::HandleMouseEvent(int event) {
    if (event == kGUIEventPulse) {
        m_controlStack.Update();
        if (m_dragObject) {
            // The mouse in the drag object's parent's coordinates.
            int64_t x = TruncateToInt32(m_mouseX);
            int64_t y = TruncateToInt32(m_mouseY);
            for (GUIBaseObject* p = m_dragObject->GetParent(); p; p = p->GetParent()) {
                x -= p->GetPositionX();
                y -= p->GetPositionY();
            }
            m_dragObject->HandleEvent(kGUIEventDrag, SaturateToInt32(x), SaturateToInt32(y));
        }
    } else if (event == kGUIEventPress) {
        m_mouseDown = true;
    } else if (event == kGUIEventRelease) {
        m_mouseDown = false;
    }

    const int x = TruncateToInt32(m_mouseX);
    const int y = TruncateToInt32(m_mouseY);
    bool taken = false;
    for (const GUIBaseObject::WalkEntry& entry : GUIBaseObject::Snapshot(m_topLevel)) {
        if (!StillOn(m_topLevel, entry)) continue;
        if ((taken = entry.object->HandleEvent(event, x, y))) break;
    }
    // A release ends the drag whoever took it, even when the dragged object
    // was hidden meanwhile and heard nothing.
    if (event == kGUIEventRelease) m_dragObject = nullptr;
    return taken;
}

void GUIManager::ReleaseMouse(int x, int y) {
    SetMousePosition(static_cast<float>(x), static_cast<float>(y));
    HandleMouseEvent(kGUIEventRelease);
}

void GUIManager::HandleHotkeys() {
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    if (!keyboard) return;
    for (const KeyStroke& stroke : keyboard->TakeStrokes()) HandleStroke(stroke);
}

void GUIManager::HandleStroke(const KeyStroke& stroke) {
    GUIControlStack::StrokeInHand inHand(stroke);
    // The object on top takes only what was struck after it came there.
    const bool topTakes = m_controlStack.TopTakes(stroke);
    // A text box holding the keys types them all, hot keys included.
    if (topTakes && m_controlStack.TopHoldsInput()) {
        m_controlStack.Deliver(stroke);
        return;
    }
    if (!stroke.repeat && !stroke.hotKey.empty()) {
        for (const HotKeyHandler& handler : kHotKeyHandlers) {
            if (stroke.hotKey == handler.binding && (this->*handler.handle)()) return;
        }
    }
    if (topTakes) m_controlStack.Deliver(stroke);
}

bool GUIManager::FocusChatLine() {
    GUIBaseObject* box = FindObject("DefaultChatWindowInputBox");
    if (!box || box->GetType() != kTypeGUIInputTextBox || !box->IsVisible()) return false;
    // From here on the box is on top of the control stack, and the strokes
    // after this one are typed into it.
    static_cast<GUIInputTextBox*>(box)->SetFocus(true);
    return true;
}

bool GUIManager::CloseNewestWindow() {
    PruneActiveWindows();
    if (NamedList::Node* head = m_activeWindows.GetHead()) {
        if (head->value) static_cast<GUIBaseObject*>(head->value)->Close();
        return true;
    }
    GUIBaseObject* pause = FindObject("PauseMenu");
    if (!pause || pause->IsVisible()) return false;
    pause->Open();
    return true;
}

bool GUIManager::FlipInventory() {
    GUIBaseObject* inventory = FindObject("InventoryWindow");
    if (!inventory || !FindObject("InventoryWindowSubmenu")) return false;
    std::weak_ptr<char> life = inventory->GetLifeToken();
    inventory->Flip();
    if (!life.expired() && inventory->IsVisible()) AddActiveWindowNamed("InventoryWindow", inventory);
    return true;
}

void GUIManager::DrawPulse(BitmapWrapper* target) {
    if (target) {
        target->SetAsTarget();
        if (m_clearBeforeDraw) al_clear_to_color(al_map_rgb(0, 0, 0));
        std::vector<GUIBaseObject::WalkEntry> entries = GUIBaseObject::Snapshot(m_topLevel);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (StillOn(m_topLevel, *it)) it->object->Draw(target);
        }
    }
    if (GetGlobalState()->guiTrace) std::fputs("GUIDraw Pulse completed\n\n", stderr);
}

// ---- Active windows ---------------------------------------------------------------------------

void GUIManager::AddActiveWindow(GUIBaseObject* window) {
    if (!window) return;
    NamedList::Node* head = m_activeWindows.GetHead();
    if (head && head->value == window) return;
    m_activeWindows.RemoveValue(window);
    m_activeWindows.AddToFront("X", window);
}

void GUIManager::AddActiveWindowNamed(const char* name, GUIBaseObject* window) {
    if (name && window) m_activeWindows.AddToFront(name, window);
}

void GUIManager::RemoveActiveWindow(GUIBaseObject* window) {
    if (window) RemoveAll(m_activeWindows, window);
}

void GUIManager::PruneActiveWindows() {
    NamedList::Node* node = m_activeWindows.GetHead();
    while (node) {
        NamedList::Node* next = node->next;
        auto* window = static_cast<GUIBaseObject*>(node->value);
        if (!window || !window->IsVisible()) m_activeWindows.RemoveValue(window);
        node = next;
    }
}

// ---- Lifetime ----------------------------------------------------------------------------------

void GUIManager::ForgetObject(GUIBaseObject* object) {
    if (!object) return;
    if (m_listOwner == object) m_listOwner = nullptr;
    if (m_activeObjectList == object->GetChildList()) m_activeObjectList = nullptr;
    if (m_activeObject == object) m_activeObject = nullptr;
    if (m_chatWindow == object) m_chatWindow = nullptr;
    if (m_dragObject == object) m_dragObject = nullptr;
    if (m_scrollBarInUse == object) m_scrollBarInUse = nullptr;
    if (m_clickedButton == object) m_clickedButton = nullptr;
    m_controlStack.Forget(object);
    RemoveAll(m_activeWindows, object);
    RemoveAll(m_standardUI, object);
    if (!m_destroying) RemoveAll(m_topLevel, object);
}

bool GUIManager::DrawInterface(BitmapWrapper* target) {
    GUIManager* gui = GetGlobalState()->guiManager;
    if (!gui) return false;
    gui->Draw(target);
    return true;
}

PropertyRouter::Target GUIManager::RouteProperty(const std::string& owner, const std::string& property) {
    PropertyRouter::Target target;
    GUIManager* gui = GetGlobalState()->guiManager;
    if (GUIBaseObject* object = gui ? gui->FindObject(owner) : nullptr) {
        target.address = object->RouteProperty(property);
        target.source = object;
        target.life = object->GetLifeToken();
        target.hasLife = true;
    }
    return target;
}
