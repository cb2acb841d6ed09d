#include "gui/GUIBaseObject.h"

#include <allegro5/allegro_primitives.h>

#include <algorithm>
#include <string_view>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"
#include "gui/GUIManager.h"

namespace {

constexpr int kDefaultAreaWidth = 800;
constexpr int kDefaultAreaHeight = 600;
constexpr int kDefaultCornerSize = 8;

void KeepValue(void*) {}

GUIManager* Manager() { return GetGlobalState()->guiManager; }

}  // namespace

GUIBaseObject::GUIBaseObject() { m_type = kTypeGUIBaseObject; }

GUIBaseObject::~GUIBaseObject() {
    // Walks that hold this object in a snapshot see it gone from here on.
    m_life.reset();
    // A window deleted while shown gives back the lock it took on the player's keys,
    // or the player would stay frozen.
    if (m_visible && m_hasInputLockName && GetGlobalState()->keyboardManager)
        GetGlobalState()->keyboardManager->RemoveInputLock(m_inputLockName);
    DeleteChildren();
    DetachEverywhere();
    delete m_backing;
    m_backing = nullptr;
}

void GUIBaseObject::DetachEverywhere() {
    GUIManager* manager = Manager();
    if (m_parent) {
        while (m_parent->m_children.RemoveValue(this)) {
        }
        // Its picture leaves the parent's.
        m_parent->MarkDirty();
        m_parent = nullptr;
    }
    // Lists that show this object as a linked window, and the back-references
    // of the windows this object links.
    std::vector<GUIBaseObject*> linkers = m_linkedBy;
    m_linkedBy.clear();
    for (GUIBaseObject* linker : linkers) {
        if (linker == this) continue;
        while (linker->m_linkedWindows.RemoveValue(this)) {
        }
    }
    for (NamedList::Node* node = m_linkedWindows.GetHead(); node; node = node->next) {
        auto* window = static_cast<GUIBaseObject*>(node->value);
        if (!window || window == this) continue;
        auto& back = window->m_linkedBy;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    m_linkedWindows.Clear();
    if (manager) manager->ForgetObject(this);
    PropertyRouter::ForgetOwner(this);
}

std::vector<GUIBaseObject::WalkEntry> GUIBaseObject::Snapshot(const NamedList& list) {
    std::vector<WalkEntry> entries;
    entries.reserve(static_cast<size_t>(list.GetCount()));
    for (NamedList::Node* node = list.GetHead(); node; node = node->next) {
        auto* object = static_cast<GUIBaseObject*>(node->value);
        if (object) entries.push_back({object, object->m_life});
    }
    return entries;
}

// ---- Virtual operations ---------------------------------------------------------

void GUIBaseObject::Show(bool childrenOnly) {
    // Linked windows that link back through a hidden ancestor could show each
    // other for ever; a Show already running on this object ends here.
    if (m_inShow) return;
    m_inShow = true;
    std::weak_ptr<char> self = m_life;
    if (!m_visible && m_navigationOn) ResetNavCursor();
    m_visible = true;
    // Shown, it appears in its parent's picture.
    MarkDirty();
    if (m_hasInputLockName && GetGlobalState()->keyboardManager)
        GetGlobalState()->keyboardManager->AddInputLock(m_inputLockName);
    if (GUIManager* manager = Manager()) {
        if (m_joinsActiveWindows) manager->AddActiveWindow(this);
        if (m_joinsControlStack) manager->GetControlStack().Push(this);
    }
    for (const WalkEntry& entry : Snapshot(m_children)) {
        if (self.expired()) return;
        if (entry.Alive() && entry.object->m_parent == this) entry.object->Show(childrenOnly);
    }
    for (const WalkEntry& entry : Snapshot(m_linkedWindows)) {
        if (self.expired()) return;
        if (entry.Alive() && m_linkedWindows.ContainsValue(entry.object) && !entry.object->IsVisible())
            entry.object->Show(childrenOnly);
    }
    if (!self.expired()) m_inShow = false;
}

void GUIBaseObject::Hide(bool childrenOnly) {
    std::weak_ptr<char> self = m_life;
    m_visible = false;
    // Hidden, it leaves its parent's picture.
    SetParentsDirty();
    if (m_hasInputLockName && GetGlobalState()->keyboardManager)
        GetGlobalState()->keyboardManager->RemoveInputLock(m_inputLockName);
    if (GUIManager* manager = Manager()) {
        if (m_joinsActiveWindows) manager->RemoveActiveWindow(this);
        if (m_joinsControlStack) manager->GetControlStack().Remove(this);
    }
    for (const WalkEntry& entry : Snapshot(m_children)) {
        if (self.expired()) return;
        if (entry.Alive() && entry.object->m_parent == this && entry.object->m_visible)
            entry.object->Hide(childrenOnly);
    }
    if (childrenOnly) return;
    for (const WalkEntry& entry : Snapshot(m_linkedWindows)) {
        if (self.expired()) return;
        if (entry.Alive() && m_linkedWindows.ContainsValue(entry.object) && entry.object->m_visible)
            entry.object->Hide(false);
    }
}

void GUIBaseObject::Flip() {
    if (m_visible)
        Close();
    else
        Open();
}

void GUIBaseObject::SetVisible(bool visible) {
    if (visible)
        Open();
    else
        Close();
}

bool GUIBaseObject::HandleNavigation() {
    if (!IsVisible()) return true;
    if (!m_navigationOn) return true;
    return Navigate();
}

bool GUIBaseObject::OnEvent(int, int, int) { return false; }

void GUIBaseObject::Render() {}

void* GUIBaseObject::GetProperty(const std::string&) { return nullptr; }

void* GUIBaseObject::RouteProperty(const std::string& name) {
    void* address = GetProperty(name);
    if (!address) PropertyRouter::Report(PropertyRouter::kNone);
    return address;
}

// ---- Visibility, names and tree ---------------------------------------------------

bool GUIBaseObject::IsVisible() const {
    for (const GUIBaseObject* object = this; object; object = object->m_parent)
        if (!object->m_visible) return false;
    return true;
}

void GUIBaseObject::SetName(const std::string& name) {
    m_name = name;
    m_hasName = true;
}

void GUIBaseObject::SetParent(GUIBaseObject* parent) {
    m_parent = parent;
    m_pathName = (parent && parent->m_hasPathName ? parent->m_pathName : std::string("Root")) + "/" + m_name;
    m_hasPathName = true;
}

void GUIBaseObject::AddChild(const char* name, GUIBaseObject* child) {
    if (!name || !child || child == this) return;
    // An object lives on one list only, or it would be deleted twice.
    if (child->m_parent) {
        while (child->m_parent->m_children.RemoveValue(child)) {
        }
    } else if (GUIManager* manager = Manager()) {
        while (manager->GetTopLevelList()->RemoveValue(child)) {
        }
    }
    if (child->m_parent) child->m_parent->MarkDirty();
    m_children.Add(name, child);
    child->SetName(name);
    child->SetParent(this);
    MarkDirty();
}

void GUIBaseObject::UnRegisterObject(const char* name) {
    if (!name) return;
    int index = m_children.IndexOfName(name);
    if (index < 0) {
        std::fprintf(stderr, "GUIBaseObject::UnRegisterObject error, name: %s given does not exist.", name);
        return;
    }
    auto* child = static_cast<GUIBaseObject*>(m_children.RemoveAt(index));
    // The child no longer hangs here; it must not reach back to this object.
    if (child && child->m_parent == this && !m_children.ContainsValue(child)) child->m_parent = nullptr;
    MarkDirty();
}

void GUIBaseObject::DeleteChildren() {
    if (!m_children.IsEmpty()) MarkDirty();
    while (!m_children.IsEmpty()) {
        auto* child = static_cast<GUIBaseObject*>(m_children.RemoveFirst());
        if (!child) continue;
        child->m_parent = nullptr;
        // Any further entries of the same object go too, so it is freed once.
        while (m_children.RemoveValue(child)) {
        }
        delete child;
    }
}

GUIBaseObject* GUIBaseObject::FindChild(const char* name) const {
    if (!name) return nullptr;
    for (NamedList::Node* node = m_children.GetHead(); node; node = node->next) {
        auto* child = static_cast<GUIBaseObject*>(node->value);
        if (node->name == name) return child;
        if (child)
            if (GUIBaseObject* found = child->FindChild(name)) return found;
    }
    return nullptr;
}

// ---- Geometry ------------------------------------------------------------------------

void GUIBaseObject::ReplaceBacking(int w, int h) {
    delete m_backing;
    m_backing = nullptr;
    m_backingWidth = w;
    m_backingHeight = h;
    m_backingFlags = al_get_new_bitmap_flags();
    m_backingFormat = al_get_new_bitmap_format();
    m_backingWaits = true;
}

void GUIBaseObject::MakeBacking() const {
    m_backingWaits = false;
    const int flags = al_get_new_bitmap_flags(), format = al_get_new_bitmap_format();
    al_set_new_bitmap_flags(m_backingFlags);
    al_set_new_bitmap_format(m_backingFormat);
    m_backing = new BitmapWrapper(m_backingWidth, m_backingHeight, &GetGlobalState()->openGLMode);
    al_set_new_bitmap_flags(flags);
    al_set_new_bitmap_format(format);
}

void GUIBaseObject::SetDimensions(int x, int y, int w, int h) {
    m_x1 = x;
    m_y1 = y;
    m_x2 = SaturateToInt32(int64_t{x} + w);
    m_y2 = SaturateToInt32(int64_t{y} + h);
    m_width = w;
    m_height = h;
    m_positionX = x;
    m_positionY = y;
    ReplaceBacking(w, h);
    m_visible = m_hasContent = true;
    MarkDirty();
}

void GUIBaseObject::SetSize(int w, int h) {
    m_x2 = SaturateToInt32(int64_t{m_x1} + w);
    m_y2 = SaturateToInt32(int64_t{m_y1} + h);
    m_width = w;
    m_height = h;
    ReplaceBacking(w, h);
    m_visible = m_hasContent = true;
    MarkDirty();
}

void GUIBaseObject::SetPosition(int x, int y) {
    const int64_t w = int64_t{m_x2} - m_x1;
    const int64_t h = int64_t{m_y2} - m_y1;
    m_x1 = x;
    m_y1 = y;
    m_x2 = SaturateToInt32(x + w);
    m_y2 = SaturateToInt32(y + h);
    // The kept picture stays good; the parent's shows it elsewhere now.
    if (x != m_positionX || y != m_positionY) SetParentsDirty();
    m_positionX = x;
    m_positionY = y;
}

void GUIBaseObject::MoveBy(int dx, int dy) {
    // The area the object may move in, in its own coordinates: the parent's
    // rectangle seen from inside the parent (children are placed relative to
    // the parent's position), or the game window for a top-level object.
    int64_t right;
    int64_t bottom;
    if (m_parent) {
        right = int64_t{m_parent->m_x2} - m_parent->m_x1;
        bottom = int64_t{m_parent->m_y2} - m_parent->m_y1;
    } else {
        const GlobalState* state = GetGlobalState();
        right = state->windowWidth > 0 ? state->windowWidth : kDefaultAreaWidth;
        bottom = state->windowHeight > 0 ? state->windowHeight : kDefaultAreaHeight;
    }
    // Right and bottom first, so the left and top bounds win for an object
    // larger than its area. 64-bit, so no coordinate a script set overflows.
    int64_t mx = dx;
    int64_t my = dy;
    if (m_x2 + mx > right) mx = right - m_x2;
    if (m_y2 + my > bottom) my = bottom - m_y2;
    if (m_x1 + mx < 0) mx = -int64_t{m_x1};
    if (m_y1 + my < 0) my = -int64_t{m_y1};
    m_x1 = SaturateToInt32(m_x1 + mx);
    m_x2 = SaturateToInt32(m_x2 + mx);
    m_y1 = SaturateToInt32(m_y1 + my);
    m_y2 = SaturateToInt32(m_y2 + my);
    m_positionX = SaturateToInt32(m_positionX + mx);
    m_positionY = SaturateToInt32(m_positionY + my);
    if (mx != 0 || my != 0) SetParentsDirty();
}

bool GUIBaseObject::ContainsPoint(int x, int y) const {
    if (m_parent && !m_parent->m_mouseInside) return false;
    return x >= m_x1 && x <= m_x2 && y >= m_y1 && y <= m_y2;
}

// ---- Flags and border ------------------------------------------------------------------

void GUIBaseObject::SetInputLockName(const char* name) {
    if (!name) return;
    m_inputLockName = name;
    m_hasInputLockName = true;
}

void GUIBaseObject::SetBorderImages(BitmapWrapper* corner, BitmapWrapper* horizontal, BitmapWrapper* vertical) {
    m_cornerImage = corner;
    m_horizontalImage = horizontal;
    m_verticalImage = vertical;
    if (corner || horizontal || vertical) {
        m_borderOn = true;
        if (corner) m_grabWidth = corner->GetWidth();
    }
    MarkDirty();
}

void GUIBaseObject::UseDefaultBorder() {
    GUIManager* manager = Manager();
    if (!manager) return;
    m_cornerImage = manager->GetDefaultCorner();
    m_horizontalImage = manager->GetDefaultHorizontal();
    m_verticalImage = manager->GetDefaultVertical();
    m_borderOn = true;
    MarkDirty();
}

void GUIBaseObject::SetDirtyRecursive() {
    SetParentsDirty();
    // Descendants, without recursion through the ancestors again.
    std::vector<GUIBaseObject*> pending{this};
    while (!pending.empty()) {
        GUIBaseObject* object = pending.back();
        pending.pop_back();
        object->m_dirty = true;
        for (NamedList::Node* node = object->m_children.GetHead(); node; node = node->next)
            if (node->value) pending.push_back(static_cast<GUIBaseObject*>(node->value));
    }
}

void GUIBaseObject::SetParentsDirty() {
    for (GUIBaseObject* object = m_parent; object; object = object->m_parent) object->m_dirty = true;
}

void GUIBaseObject::MarkDirty() {
    m_dirty = true;
    SetParentsDirty();
}

void GUIBaseObject::SetDirty(bool dirty) {
    if (dirty)
        MarkDirty();
    else
        m_dirty = false;
}

void GUIBaseObject::SetDrawPosition(int x, int y) {
    if (x == m_drawX && y == m_drawY) return;
    m_drawX = x;
    m_drawY = y;
    MarkDirty();
}

void GUIBaseObject::SetBorderOn(bool on) {
    if (on == m_borderOn) return;
    m_borderOn = on;
    MarkDirty();
}

void GUIBaseObject::SetHasContent(bool on) {
    if (on == m_hasContent) return;
    m_hasContent = on;
    MarkDirty();
}

void GUIBaseObject::SetNavigationOn(bool on) {
    if (on == m_navigationOn) return;
    m_navigationOn = on;
    MarkDirty();
}

bool GUIBaseObject::WantsRender() const {
    if (m_dirty) return true;
    // An object that does not mark its own changes is drawn afresh with its
    // parent, as its parent's pulse used to make it.
    if (!KeepsPicture()) return m_parent != nullptr;
    if (ShownStateChanged()) return true;
    // A highlighted option whose object has gone is dropped when drawn.
    if (m_navigationOn)
        for (const auto& entry : m_navEntries)
            if (entry->TargetGone()) return true;
    for (NamedList::Node* node = m_children.GetHead(); node; node = node->next) {
        const auto* child = static_cast<const GUIBaseObject*>(node->value);
        // Only what Draw would render counts: a hidden child, or one without
        // a bitmap or content, leaves this picture as it is.
        if (!child || child->m_parent != this || !child->m_visible || !child->m_hasContent || !child->Backing() ||
            !child->Backing()->GetBitmap())
            continue;
        if (child->WantsRender()) return true;
    }
    return false;
}

void GUIBaseObject::BringToFront() {
    if (GUIManager* manager = Manager()) manager->BringToFront(m_parent, this);
}

// ---- Events ----------------------------------------------------------------------------

bool GUIBaseObject::HandleEvent(int event, int x, int y) {
    std::weak_ptr<char> self = m_life;
    m_mouseInside = ContainsPoint(x, y);
    if (!m_visible) return false;

    if (event == kGUIEventPress) {
        if (m_borderOn && m_mouseInside) {
            const int64_t g = m_grabWidth;
            m_leftHit = x - g <= m_x1;
            m_topHit = y - g <= m_y1;
            m_rightHit = x + g >= m_x2;
            m_bottomHit = y + g >= m_y2;
            m_edgeGrabbed = m_leftHit || m_topHit || m_rightHit || m_bottomHit;
            if (m_edgeGrabbed) {
                if (GUIManager* manager = Manager()) manager->SetDragObject(this);
                m_dragging = true;
                m_lastMouseX = x;
                m_lastMouseY = y;
            }
        }
    } else if (event == kGUIEventRelease) {
        if (m_dragging) {
            GUIManager* manager = Manager();
            if (manager && manager->GetDragObject() == this) manager->SetDragObject(nullptr);
        }
        m_dragging = m_edgeGrabbed = false;
        m_leftHit = m_topHit = m_rightHit = m_bottomHit = false;
    } else if (event == kGUIEventPulse) {
        if (m_redrawEveryPulse) SetDirtyRecursive();
        if (m_pulseCallback) {
            m_pulseCallback(this);
            // The callback may have destroyed this object.
            if (self.expired()) return false;
        }
    }

    if (!m_lock && m_dragging && event == kGUIEventDrag) {
        BringToFront();
        MoveBy(SaturateToInt32(int64_t{x} - m_lastMouseX), SaturateToInt32(int64_t{y} - m_lastMouseY));
        m_lastMouseX = x;
        m_lastMouseY = y;
        return true;
    }

    if (m_borderOn && m_edgeGrabbed) return OnEvent(event, x, y);

    const int childX = SaturateToInt32(int64_t{x} - m_positionX);
    const int childY = SaturateToInt32(int64_t{y} - m_positionY);
    for (const WalkEntry& entry : Snapshot(m_children)) {
        if (self.expired()) return event != kGUIEventPulse;
        if (!entry.Alive() || entry.object->m_parent != this) continue;
        if (entry.object->HandleEvent(event, childX, childY)) return true;
    }
    if (self.expired()) return event != kGUIEventPulse;
    return OnEvent(event, x, y);
}

// ---- Drawing ---------------------------------------------------------------------------

void GUIBaseObject::Draw(BitmapWrapper* target) {
    const GlobalState* state = GetGlobalState();
    const bool trace = state->guiTrace != 0;
    if (trace && m_hasPathName) std::fprintf(stderr, "Draw %s - ", m_pathName.c_str());
    // A wrapper without a bitmap (no area, or a size Allegro refused) is no
    // backing bitmap: there is nothing to render into.
    if (m_visible && Backing() && Backing()->GetBitmap()) {
        std::weak_ptr<char> self = m_life;
        const bool render = m_hasContent && WantsRender();
        // Both display modes draw the same way, so an object that can draw
        // straight onto the frame does so in either.
        if (render && RenderStraightTo(target)) {
            if (trace && !self.expired()) std::fputs("Done\n", stderr);
            return;
        }
        // Every other draw renders into the backing bitmap when something
        // shown has changed, and blits the picture it keeps.
        if (render) {
            // Cleared first: a Render that wants to run again next frame
            // marks itself dirty anew.
            m_dirty = false;
            Backing()->ClearToTransparent();
            Render();
            if (self.expired()) return;
            DrawBorder();
            DrawNavHighlight();
        }
        BlitToTarget(target);
        if (trace) std::fputs("Done\n", stderr);
    } else if (trace) {
        std::fprintf(stderr, "Block %i %p\n", m_visible ? 1 : 0, static_cast<void*>(Backing()));
    }
}

bool GUIBaseObject::RenderStraightTo(BitmapWrapper*) { return false; }

void GUIBaseObject::DrawChildren(BitmapWrapper* target) {
    std::weak_ptr<char> self = m_life;
    std::vector<WalkEntry> entries = Snapshot(m_children);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (self.expired()) return;
        if (it->Alive() && it->object->m_parent == this) it->object->Draw(target);
    }
}

void GUIBaseObject::DrawBorder() {
    if (!m_borderOn || !Backing() || !Backing()->GetBitmap()) return;
    ALLEGRO_BITMAP* target = Backing()->GetBitmap();
    const int cw = m_cornerImage ? m_cornerImage->GetWidth() : kDefaultCornerSize;
    const int ch = m_cornerImage ? m_cornerImage->GetHeight() : kDefaultCornerSize;
    const int w = m_width;
    const int h = m_height;
    const int ox = m_drawX;
    const int oy = m_drawY;
    // An image without width or height would never advance the tiling.
    if (m_horizontalImage && m_horizontalImage->GetWidth() > 0) {
        for (int x = cw; x < w - cw; x += m_horizontalImage->GetWidth()) {
            m_horizontalImage->DrawTo(target, ox + x, oy, 0);
            m_horizontalImage->DrawTo(target, ox + x, oy + h - ch, 0);
        }
    }
    if (m_verticalImage && m_verticalImage->GetHeight() > 0) {
        for (int y = ch; y < h - ch; y += m_verticalImage->GetHeight()) {
            m_verticalImage->DrawTo(target, ox, oy + y, 0);
            m_verticalImage->DrawTo(target, ox + w - cw, oy + y, 0);
        }
    }
    if (m_cornerImage) {
        m_cornerImage->DrawTo(target, ox, oy, 0);
        m_cornerImage->DrawTo(target, ox + w - cw, oy, 0);
        m_cornerImage->DrawTo(target, ox, oy + h - ch, 0);
        m_cornerImage->DrawTo(target, ox + w - cw, oy + h - ch, 0);
    }
}

void GUIBaseObject::BlitToTarget(BitmapWrapper* target) {
    if (!Backing() || !target || !target->GetBitmap()) return;
    // Rendering may have left another bitmap (often this object's own backing
    // bitmap) as the drawing target, and a bitmap drawn onto itself aborts,
    // so the target is selected again first.
    if (al_get_target_bitmap() != target->GetBitmap()) target->SetAsTarget();
    Backing()->DrawTo(target->GetBitmap(), m_positionX, m_positionY, 0);
}

// ---- Named pointers ----------------------------------------------------------------------

void GUIBaseObject::StoreNamedPointer(const char* name, void* pointer, ValueDeleter deleter, bool useDeleter) {
    if (!name || !pointer) return;
    if (std::string_view(name) != "X") {
        // Setting a key to the pointer it already holds must not free that
        // pointer while replacing the entry: it is let go of, not freed.
        for (NamedList::Node* node = m_namedPointers.GetHead(); node; node = node->next)
            if (node->value == pointer && node->name == name) node->value = nullptr;
        while (m_namedPointers.FindNode(name)) m_namedPointers.Remove(name);
    }
    if (useDeleter)
        m_namedPointers.AddWithDeleter(name, pointer, deleter);
    else
        m_namedPointers.Add(name, pointer);
}

void GUIBaseObject::SetNamedPointer(const char* name, void* pointer) {
    StoreNamedPointer(name, pointer, nullptr, false);
}

void GUIBaseObject::SetOwnedPointer(const char* name, void* pointer) {
    StoreNamedPointer(name, pointer, &KeepValue, true);
}

void GUIBaseObject::SetNamedPointerWithDeleter(const char* name, void* pointer, ValueDeleter deleter) {
    StoreNamedPointer(name, pointer, deleter, true);
}

void* GUIBaseObject::GetNamedPointer(const char* name) const { return name ? m_namedPointers.Find(name) : nullptr; }

void* GUIBaseObject::GetPointerAt(int index) const {
    if (index < 0 || index >= m_namedPointers.GetCount()) return nullptr;
    return m_namedPointers.GetAt(index);
}

void GUIBaseObject::RemoveLastPointer() { m_namedPointers.RemoveLast(); }

void GUIBaseObject::RemoveNamedPointer(const char* name) {
    if (name) m_namedPointers.Remove(name);
}

void GUIBaseObject::ForgetNamedPointersTo(const void* pointer) {
    if (!pointer) return;
    // Each entry is emptied first, so its removal frees nothing; no other
    // entry holds null (null pointers are never stored).
    while (m_namedPointers.ContainsValue(pointer)) {
        for (NamedList::Node* node = m_namedPointers.GetHead(); node; node = node->next) {
            if (node->value == pointer) {
                node->value = nullptr;
                break;
            }
        }
        m_namedPointers.RemoveValue(nullptr);
    }
}

void GUIBaseObject::ClearNamedPointers() { m_namedPointers.Clear(); }

void GUIBaseObject::DumpNamedPointers(std::FILE* stream) const {
    if (!stream) return;
    for (NamedList::Node* node = m_namedPointers.GetHead(); node; node = node->next)
        std::fputs(node->name.c_str(), stream);
}

// ---- Linked windows -------------------------------------------------------------------------

void GUIBaseObject::AddLinkedWindow(GUIBaseObject* window) {
    if (!window) return;
    m_linkedWindows.Add("X", window);
    window->m_linkedBy.push_back(this);
}

void GUIBaseObject::RemoveLinkedWindow(GUIBaseObject* window) {
    if (!window || !m_linkedWindows.RemoveValue(window)) return;
    auto& back = window->m_linkedBy;
    auto it = std::find(back.begin(), back.end(), this);
    if (it != back.end()) back.erase(it);
}

void GUIBaseObject::ClearLinkedWindows() {
    while (!m_linkedWindows.IsEmpty()) {
        auto* window = static_cast<GUIBaseObject*>(m_linkedWindows.GetHead()->value);
        RemoveLinkedWindow(window);
        if (!window) m_linkedWindows.RemoveFirst();
    }
}

// ---- Keyboard navigation -----------------------------------------------------------------

std::unique_ptr<GUINavEntry> GUIBaseObject::MakeNavEntry(GUIBaseObject* target, bool filled, ALLEGRO_COLOR colour,
                                                         const char* script) {
    if (!target) return nullptr;
    auto entry = std::make_unique<GUINavEntry>();
    entry->rectangle = true;
    entry->filled = filled;
    entry->colour = colour;
    entry->lineWidth = 2.0f;
    entry->SetTarget(target);
    entry->x1 = target->GetX1();
    entry->y1 = target->GetY1();
    entry->x2 = target->GetX2();
    entry->y2 = target->GetY2();
    if (!filled) {
        // An outline is drawn centred on its edges: moved inwards by half
        // its width, it stays inside the target.
        const int inset = static_cast<int>(entry->lineWidth / 2.0f);
        entry->x1 = SaturateToInt32(int64_t{entry->x1} + inset);
        entry->y1 = SaturateToInt32(int64_t{entry->y1} + inset);
        entry->x2 = SaturateToInt32(int64_t{entry->x2} - inset);
        entry->y2 = SaturateToInt32(int64_t{entry->y2} - inset);
    }
    entry->SetScript(script);
    return entry;
}

std::unique_ptr<GUINavEntry> GUIBaseObject::MakeNavCursorEntry(int x, int y, GUIBaseObject* target,
                                                               const char* script) {
    if (!target) return nullptr;
    auto entry = std::make_unique<GUINavEntry>();
    entry->rectangle = false;
    entry->x1 = x;
    entry->y1 = y;
    entry->SetTarget(target);
    entry->SetScript(script);
    return entry;
}

void GUIBaseObject::AppendNavEntry(std::unique_ptr<GUINavEntry> entry) {
    if (!entry) return;
    m_navEntries.push_back(std::move(entry));
    if (m_navCurrent < 0) m_navCurrent = static_cast<int>(m_navEntries.size()) - 1;
    if (m_navigationOn) MarkDirty();
}

void GUIBaseObject::AddNavEntry(GUIBaseObject* target, bool filled, ALLEGRO_COLOR colour, const char* script) {
    AppendNavEntry(MakeNavEntry(target, filled, colour, script));
}

void GUIBaseObject::AddNavCursorEntry(int x, int y, GUIBaseObject* target, const char* script) {
    AppendNavEntry(MakeNavCursorEntry(x, y, target, script));
}

void GUIBaseObject::ClearNavEntries() {
    if (m_navigationOn && !m_navEntries.empty()) MarkDirty();
    m_navEntries.clear();
    m_navCurrent = -1;
}

void GUIBaseObject::ResetNavCursor() {
    const int before = m_navCurrent;
    const size_t count = m_navEntries.size();
    PruneNavEntries();
    m_navCurrent = m_navEntries.empty() ? -1 : 0;
    if (m_navigationOn && (m_navCurrent != before || m_navEntries.size() != count)) MarkDirty();
}

GUIBaseObject* GUIBaseObject::GetNavTarget() const {
    const GUINavEntry* entry = GetNavEntry(m_navCurrent);
    return entry ? entry->GetTarget() : nullptr;
}

const GUINavEntry* GUIBaseObject::GetNavEntry(int index) const {
    if (index < 0 || index >= static_cast<int>(m_navEntries.size())) return nullptr;
    return m_navEntries[static_cast<size_t>(index)].get();
}

void GUIBaseObject::PruneNavEntries() {
    const GUINavEntry* current = GetNavEntry(m_navCurrent);
    const size_t before = m_navEntries.size();
    std::erase_if(m_navEntries, [](const std::unique_ptr<GUINavEntry>& entry) { return entry->TargetGone(); });
    if (m_navEntries.size() == before) return;
    m_navCurrent = m_navEntries.empty() ? -1 : 0;
    for (size_t i = 0; i < m_navEntries.size(); ++i)
        if (m_navEntries[i].get() == current) m_navCurrent = static_cast<int>(i);
}

void GUIBaseObject::MoveNavCursor(int n, bool noAdjustment) {
    if (n == 0) return;
    // The highlight moves with the current entry (or with a dropped one).
    struct MarkOnChange {
        GUIBaseObject* self;
        int index;
        size_t count;
        ~MarkOnChange() {
            if (self->m_navigationOn && (self->m_navCurrent != index || self->m_navEntries.size() != count))
                self->MarkDirty();
        }
    } mark{this, m_navCurrent, m_navEntries.size()};
    PruneNavEntries();
    const int count = static_cast<int>(m_navEntries.size());
    if (count == 0) return;
    const int asked = n;
    if (m_navigationWrap) n %= count;
    if (m_navCurrent < 0 || m_navCurrent >= count) m_navCurrent = 0;
    int index = m_navCurrent;
    for (; n > 0; --n) {
        if (index + 1 < count)
            ++index;
        else if (m_navigationWrap)
            index = 0;
        else
            break;
    }
    for (; n < 0; ++n) {
        if (index > 0)
            --index;
        else if (m_navigationWrap)
            index = count - 1;
        else
            break;
    }
    m_navCurrent = index;

    const int columns = m_navigationColumns;
    if (noAdjustment || columns < 2) return;
    if (asked == -1 && index % columns == columns - 1)
        MoveNavCursor(columns, true);
    else if (asked != -1 && index % columns == 0)
        MoveNavCursor(-columns, true);
}

bool GUIBaseObject::Navigate() {
    const int32_t action = GUIControlStack::ReadNavigationAction();
    const bool grid = m_navigationColumns > 0;
    const int step = m_navigationRowStep;
    switch (action) {
        case 0:  // Up
            grid ? MoveNavCursor(-step, true) : MoveNavCursor(-1, false);
            return false;
        case 1:  // Down
            grid ? MoveNavCursor(step, true) : MoveNavCursor(1, false);
            return false;
        case 2:  // Left
            grid ? MoveNavCursor(-1, false) : MoveNavCursor(-step, true);
            return false;
        case 3:  // Right
            grid ? MoveNavCursor(1, false) : MoveNavCursor(step, true);
            return false;
        case 4: {  // Accept
            PruneNavEntries();
            const GUINavEntry* entry = GetNavEntry(m_navCurrent);
            if (!entry) return false;
            // What the entry runs may close this object or rebuild its
            // entries: everything needed is taken first, and this object is
            // not touched afterwards.
            if (entry->forceCall) {
                GUIBaseObject* target = entry->GetTarget();
                if (target && target->GetType() == kTypeGUIButton) static_cast<GUIButton*>(target)->Fire();
                return false;
            }
            const std::string script = entry->scriptPath;
            if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(script, -1);
            return false;
        }
        case 5:  // Cancel
            return true;
        default: return false;
    }
}

void GUIBaseObject::DrawNavHighlight() {
    if (!m_navigationOn) return;
    PruneNavEntries();
    const GUINavEntry* entry = GetNavEntry(m_navCurrent);
    if (!entry || !Backing() || !Backing()->GetBitmap()) return;
    if (!GetGlobalState()->openGLMode) Backing()->SetAsTarget();
    const float x = static_cast<float>(m_drawX);
    const float y = static_cast<float>(m_drawY);
    if (entry->rectangle) {
        // Entries keep their colour as given (straight alpha); the drawing
        // blends premultiplied, so a half-clear highlight lets the option
        // show through instead of covering it.
        float r, g, b, a;
        al_unmap_rgba_f(entry->colour, &r, &g, &b, &a);
        const ALLEGRO_COLOR colour = al_map_rgba_f(r * a, g * a, b * a, a);
        if (entry->filled)
            al_draw_filled_rectangle(x + entry->x1, y + entry->y1, x + entry->x2, y + entry->y2, colour);
        else
            al_draw_rectangle(x + entry->x1, y + entry->y1, x + entry->x2, y + entry->y2, colour, entry->lineWidth);
        return;
    }
    GUIManager* manager = Manager();
    if (BitmapWrapper* cursor = manager ? manager->GetStdCursor() : nullptr)
        cursor->DrawTo(Backing()->GetBitmap(), m_drawX + entry->x1, m_drawY + entry->y1, 0);
}
