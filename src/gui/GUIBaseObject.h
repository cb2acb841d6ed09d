#pragma once
// The base of every widget and window: a named rectangle inside its parent,
// a backing bitmap re-rendered only while dirty and blitted onto the parent,
// an ordered child list (front = first to get input, last drawn), linked
// windows that open and close with it, a draggable border of tiled images,
// and named pointers that other code hangs on it.
//
// Lifetime: every object carries a liveness token. Walks over child lists,
// linked windows and the manager's lists take a snapshot of (object, token)
// pairs and skip entries whose object has gone, so a pulse callback or a
// click that deletes objects never leaves a walk on a freed object. The
// destructor takes the object off its parent's child list, off every linked
// list, and tells the GUI manager in the global state, which clears every
// pointer it keeps to it.
//
// Kept pictures: an object renders into its backing bitmap only when
// something it shows has changed, and otherwise its kept picture is blitted.
// Every setter that changes what is drawn marks the object dirty and its
// ancestors with it (MarkDirty). Before a Draw renders, it also looks down
// the visible tree for anything that changed without telling its parent
// (see WantsRender), so a missed mark costs a frame's redraw, not a stale
// picture. A class that does not track its own changes keeps the base
// default, redraw every pulse: each pulse marks it dirty, and below a parent
// it is rendered with every draw of that parent, as before.
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/NamedList.h"
#include "core/base/RootObject.h"
#include "gui/GUINavEntry.h"
#include "gui/WidgetKinds.h"

class BitmapWrapper;

// The text-line family (GUITextLine and its subclasses).
inline bool IsGUITextLineType(int32_t type) { return type >= 3200 && type <= 3299; }

// Event codes of the GUI. Each event carries an (x, y) in the receiver's
// parent's coordinates.
enum GUIEvent : int {
    kGUIEventDrag = -2,    // drag move, sent only to the manager's drag object
    kGUIEventPulse = -1,   // once per tick
    kGUIEventPress = 0,    // mouse button pressed
    kGUIEventRelease = 1,  // mouse button released
};

class GUIBaseObject : public RootObject {
public:
    using PulseCallback = void (*)(GUIBaseObject* object);
    // One entry of a walk snapshot: the object and its liveness token.
    struct WalkEntry {
        GUIBaseObject* object;
        std::weak_ptr<char> life;
        bool Alive() const { return !life.expired(); }
    };

    GUIBaseObject();
    virtual ~GUIBaseObject();
    GUIBaseObject(const GUIBaseObject&) = delete;
    GUIBaseObject& operator=(const GUIBaseObject&) = delete;

    // ---- Virtual operations ------------------------------------------------
    // The flag keeps linked windows out of Hide (Show opens hidden linked
    // windows either way).
    virtual void Show(bool childrenOnly);
    virtual void Hide(bool childrenOnly);
    // Close when visible, else Open.
    virtual void Flip();
    // true: Open; false: Close.
    virtual void SetVisible(bool visible);
    // Keyboard work while the object is on top of the control stack; true
    // means it lets go of the stack: always when it is hidden or its
    // navigation is off, else on "Cancel".
    virtual bool HandleNavigation();
    // The widget's own reaction to an event; true when it takes it.
    virtual bool OnEvent(int event, int x, int y);
    // Draws the content at the draw position into the backing bitmap, then
    // DrawChildren onto it, and clears the dirty flag. The base draws nothing.
    virtual void Render();
    // Draws the content and children straight onto the frame's target
    // instead of through the backing bitmap, where that gives the same
    // pixels; false to take the usual way. The base always says false.
    virtual bool RenderStraightTo(BitmapWrapper* target);
    // Address of a named field, its value-type code left in the property
    // router (1 bool/byte, 2 int32, 3 string, 4 float); null when the name
    // is not a property.
    virtual void* GetProperty(const std::string& name);

    // ---- Visibility ----------------------------------------------------------
    void Open() { Show(false); }
    void Close() { Hide(false); }
    // True when this object and every ancestor are visible.
    bool IsVisible() const;
    // This object's own flag only.
    bool IsSelfVisible() const { return m_visible; }

    // ---- Names and tree ------------------------------------------------------
    void SetName(const std::string& name);
    const std::string& GetName() const { return m_name; }
    bool HasName() const { return m_hasName; }
    const std::string& GetPathName() const { return m_pathName; }
    bool HasPathName() const { return m_hasPathName; }
    // Stores the parent and rebuilds the path name: parent path, "/", name
    // ("Root" stands for the parent path when there is none).
    void SetParent(GUIBaseObject* parent);
    GUIBaseObject* GetParent() const { return m_parent; }
    // Appends the child under the name, names it and becomes its parent.
    void AddChild(const char* name, GUIBaseObject* child);
    void AddChild(const std::string& name, GUIBaseObject* child) { AddChild(name.c_str(), child); }
    // Takes the first child of that key off the list without deleting it.
    void UnRegisterObject(const char* name);
    // Destroys every child and empties the list.
    void DeleteChildren();
    // Depth-first in child-list order, by list key.
    GUIBaseObject* FindChild(const char* name) const;
    GUIBaseObject* FindChild(const std::string& name) const { return FindChild(name.c_str()); }
    NamedList* GetChildList() { return &m_children; }

    // ---- Geometry ------------------------------------------------------------
    // Rectangle (x, y, x + w, y + h), a new w x h backing bitmap; visible,
    // has content and dirty all become true.
    void SetDimensions(int x, int y, int w, int h);
    // Keeps x1, y1; a new backing bitmap; visible, has content, dirty.
    void SetSize(int w, int h);
    // Moves the rectangle keeping the size; the bitmap stays.
    void SetPosition(int x, int y);
    // Moves by (dx, dy), kept inside the parent's rectangle, or inside the
    // window (GlobalState size, 800 x 600 when unset) for a top-level object.
    void MoveBy(int dx, int dy);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetPositionX() const { return m_positionX; }
    int GetPositionY() const { return m_positionY; }
    int GetX1() const { return m_x1; }
    int GetY1() const { return m_y1; }
    int GetX2() const { return m_x2; }
    int GetY2() const { return m_y2; }
    int GetDrawX() const { return m_drawX; }
    int GetDrawY() const { return m_drawY; }
    void SetDrawPosition(int x, int y);
    // Edges included; false whenever the parent's mouse-inside flag is off.
    bool ContainsPoint(int x, int y) const;
    bool IsMouseInside() const { return m_mouseInside; }

    // ---- Flags -----------------------------------------------------------------
    void SetLock(int lock) { m_lock = lock != 0; }
    bool IsLocked() const { return m_lock; }
    void SetBorderOn(bool on);
    bool IsBorderOn() const { return m_borderOn; }
    // Lock name taken on the player while the object is shown; null ignored.
    void SetInputLockName(const char* name);
    const std::string& GetInputLockName() const { return m_inputLockName; }
    bool HasInputLockName() const { return m_hasInputLockName; }
    void SetPulseCallback(PulseCallback callback) { m_pulseCallback = callback; }
    void SetRedrawEveryPulse(bool on) { m_redrawEveryPulse = on; }
    bool GetRedrawEveryPulse() const { return m_redrawEveryPulse; }
    void SetJoinsActiveWindows(bool on) { m_joinsActiveWindows = on; }
    bool JoinsActiveWindows() const { return m_joinsActiveWindows; }
    void SetJoinsControlStack(bool on) { m_joinsControlStack = on; }
    bool JoinsControlStack() const { return m_joinsControlStack; }
    void SetHoldsInput(bool on) { m_holdsInput = on; }
    bool HoldsInput() const { return m_holdsInput; }
    void SetClosesOnLeavingStack(bool on) { m_closesOnLeavingStack = on; }
    bool ClosesOnLeavingStack() const { return m_closesOnLeavingStack; }
    void SetHasContent(bool on);
    bool HasContent() const { return m_hasContent; }
    bool IsDirty() const { return m_dirty; }
    // true marks the ancestors too (MarkDirty); false clears this object's
    // own mark only.
    void SetDirty(bool dirty);
    // Off for the classes that mark their own changes: they keep their
    // picture until then.
    bool KeepsPicture() const { return !m_redrawEveryPulse; }
    bool IsDragging() const { return m_dragging; }
    bool IsEdgeGrabbed() const { return m_edgeGrabbed; }

    // Free bits for the code that builds a window.
    uint32_t GetStateFlags() const { return m_stateFlags; }
    void SetStateFlags(uint32_t flags) { m_stateFlags = flags; }
    void AddStateFlags(uint32_t flags) { m_stateFlags |= flags; }
    void RemoveStateFlags(uint32_t flags) { m_stateFlags &= ~flags; }

    // ---- Border ------------------------------------------------------------------
    // Any non-null image switches the border on; a corner image sets the
    // grab width to its width.
    void SetBorderImages(BitmapWrapper* corner, BitmapWrapper* horizontal, BitmapWrapper* vertical);
    // The GUI manager's default images; the border goes on.
    void UseDefaultBorder();
    int GetGrabWidth() const { return m_grabWidth; }

    // ---- Dirty marking -------------------------------------------------------------
    // This object, every ancestor and every descendant.
    void SetDirtyRecursive();
    void SetParentsDirty();
    // This object and every ancestor: what it shows has changed.
    void MarkDirty();
    // Whether the next Draw renders again instead of blitting the kept
    // picture: the object is dirty, or it does not keep its picture and hangs
    // below a parent, or what it shows changed behind its back, or a visible
    // child with content wants to render.
    bool WantsRender() const;
    void BringToFront();

    // ---- Events and drawing ----------------------------------------------------------
    // (x, y) in the parent's coordinates; true when the event was taken.
    bool HandleEvent(int event, int x, int y);
    void Draw(BitmapWrapper* target);
    // Back of the child list first, so the head is drawn last.
    void DrawChildren(BitmapWrapper* target);
    // Tiles the border images at the draw position (border on only).
    void DrawBorder();
    // Draws the backing bitmap onto the target at the position.
    void BlitToTarget(BitmapWrapper* target);
    BitmapWrapper* GetBackingBitmap() const { return Backing(); }

    // ---- Keyboard navigation ------------------------------------------------------------
    // The object joins the control stack when shown.
    void SetControlStackOnShow(bool on) { m_joinsControlStack = on; }
    void SetNavigationOn(bool on);
    bool IsNavigationOn() const { return m_navigationOn; }
    // Moving past either end continues at the other end.
    void SetNavigationWrap(bool on) { m_navigationWrap = on; }
    bool GetNavigationWrap() const { return m_navigationWrap; }
    // Above 0: the entries form a grid of that many columns.
    void SetNavigationColumns(int columns) { m_navigationColumns = columns; }
    int GetNavigationColumns() const { return m_navigationColumns; }
    // Entries between vertically adjacent options.
    void SetNavigationRowStep(int step) { m_navigationRowStep = step; }
    int GetNavigationRowStep() const { return m_navigationRowStep; }

    // A rectangle entry over the target's rectangle (an outlined one moved
    // inwards by half the line width); null without a target. The script is
    // as GUINavEntry::SetScript takes it.
    static std::unique_ptr<GUINavEntry> MakeNavEntry(GUIBaseObject* target, bool filled, ALLEGRO_COLOR colour,
                                                     const char* script);
    // An entry drawn as the GUI manager's cursor image at (x, y).
    static std::unique_ptr<GUINavEntry> MakeNavCursorEntry(int x, int y, GUIBaseObject* target, const char* script);
    // Appends the entry (null ignored); the first one becomes current.
    void AppendNavEntry(std::unique_ptr<GUINavEntry> entry);
    void AddNavEntry(GUIBaseObject* target, bool filled, ALLEGRO_COLOR colour, const char* script);
    void AddNavCursorEntry(int x, int y, GUIBaseObject* target, const char* script);
    void ClearNavEntries();
    // The first entry becomes current (none when there are none).
    void ResetNavCursor();
    // The current entry's target, or null.
    GUIBaseObject* GetNavTarget() const;
    int GetNavEntryCount() const { return static_cast<int>(m_navEntries.size()); }
    const GUINavEntry* GetNavEntry(int index) const;
    // Index of the current entry; -1 when there is none.
    int GetNavCursor() const { return m_navCurrent; }
    // Moves the current entry n places, wrapping or stopping at the ends.
    // With the column adjustment of a grid, a step left or right that
    // crossed into another row is taken back by a row, so Left and Right
    // stay within the row. Nothing happens in an empty list.
    void MoveNavCursor(int n, bool noAdjustment);
    // Acts on this tick's menu action; true on "Cancel".
    bool Navigate();
    // The current entry's highlight, into the backing bitmap.
    void DrawNavHighlight();

    // Calls GetProperty; a null result leaves value type 0 in the router.
    void* RouteProperty(const std::string& name);

    // ---- Named pointers ---------------------------------------------------------------
    // The list owns its values: SetNamedPointer's value is freed with
    // std::free when removed, SetOwnedPointer's is never freed, and
    // SetNamedPointerWithDeleter's goes through its deleter. Null pointers
    // are ignored; any key but "X" holds one pointer.
    void SetNamedPointer(const char* name, void* pointer);
    void SetOwnedPointer(const char* name, void* pointer);
    void SetNamedPointerWithDeleter(const char* name, void* pointer, ValueDeleter deleter);
    void AddPointer(void* pointer) { SetNamedPointer("X", pointer); }
    void AddOwnedPointer(void* pointer) { SetOwnedPointer("X", pointer); }
    void AddPointerWithDeleter(void* pointer, ValueDeleter deleter) {
        SetNamedPointerWithDeleter("X", pointer, deleter);
    }
    void* GetNamedPointer(const char* name) const;
    void* GetPointerAt(int index) const;
    void RemoveLastPointer();
    void RemoveNamedPointer(const char* name);
    // Takes out every entry holding exactly this pointer without freeing it
    // (for pointers to objects owned elsewhere that are going away).
    void ForgetNamedPointersTo(const void* pointer);
    void ClearNamedPointers();
    int GetNamedPointerCount() const { return m_namedPointers.GetCount(); }
    // Every key, back to back; nothing for a null stream.
    void DumpNamedPointers(std::FILE* stream) const;

    // ---- Linked windows ---------------------------------------------------------------
    void AddLinkedWindow(GUIBaseObject* window);
    void RemoveLinkedWindow(GUIBaseObject* window);
    void ClearLinkedWindows();
    NamedList* GetLinkedWindows() { return &m_linkedWindows; }

    // ---- Lifetime ---------------------------------------------------------------------
    std::weak_ptr<char> GetLifeToken() const { return m_life; }
    // The values of a list of GUI objects with their tokens, head first.
    static std::vector<WalkEntry> Snapshot(const NamedList& list);

    // The GUIG_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    // Drops every back-reference of this object from other objects' lists.
    void DetachEverywhere();
    // For widgets that show state others may write (through a property
    // address, a watched pointer or a shared record): true when that state
    // differs from what the last Render drew. The base has none.
    virtual bool ShownStateChanged() const { return false; }

    bool m_lock = true;
    std::string m_inputLockName;
    bool m_hasInputLockName = false;
    uint32_t m_stateFlags = 0;
    PulseCallback m_pulseCallback = nullptr;
    int32_t m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    int32_t m_width = 0, m_height = 0;
    bool m_redrawEveryPulse = true;
    int32_t m_drawX = 0, m_drawY = 0;
    int32_t m_positionX = 0, m_positionY = 0;
    bool m_visible = false;
    bool m_hasContent = false;
    bool m_dirty = false;
    // The bitmap the object renders into, made when first needed (drawn
    // while shown, or asked for): the many objects of closed windows never
    // make one until they are shown. Null when the object has no size.
    BitmapWrapper* Backing() const {
        if (m_backingWaits) MakeBacking();
        return m_backing;
    }
    NamedList m_linkedWindows{false};
    bool m_borderOn = false;
    bool m_edgeGrabbed = false;
    int32_t m_grabWidth = 0;
    BitmapWrapper* m_cornerImage = nullptr;
    BitmapWrapper* m_horizontalImage = nullptr;
    BitmapWrapper* m_verticalImage = nullptr;
    bool m_dragging = false;
    int32_t m_lastMouseX = 0, m_lastMouseY = 0;
    bool m_leftHit = false, m_topHit = false, m_rightHit = false, m_bottomHit = false;
    std::string m_name;
    bool m_hasName = false;
    std::string m_pathName;
    bool m_hasPathName = false;
    NamedList m_children{false};  // deleted by this object, not by the list
    bool m_joinsActiveWindows = false;
    bool m_joinsControlStack = false;
    bool m_holdsInput = false;
    bool m_closesOnLeavingStack = false;
    bool m_navigationOn = false;
    std::vector<std::unique_ptr<GUINavEntry>> m_navEntries;
    int m_navCurrent = -1;
    bool m_navigationWrap = false;
    int32_t m_navigationColumns = 0;
    int32_t m_navigationRowStep = 0;
    NamedList m_namedPointers{true};
    GUIBaseObject* m_parent = nullptr;
    bool m_mouseInside = false;

private:
    // Drops the backing bitmap; one of this size is made when next needed.
    void ReplaceBacking(int w, int h);
    void MakeBacking() const;
    // Drops the entries whose target has been destroyed; the current entry
    // stays current when it survives, else the first entry becomes current.
    void PruneNavEntries();
    void StoreNamedPointer(const char* name, void* pointer, ValueDeleter deleter, bool useDeleter);

    mutable BitmapWrapper* m_backing = nullptr;  // Backing() makes it when it waits
    // The backing bitmap still to make: its size, and the new-bitmap flags
    // and format of the moment it was asked for.
    mutable bool m_backingWaits = false;
    int32_t m_backingWidth = 0, m_backingHeight = 0;
    int m_backingFlags = 0, m_backingFormat = 0;

    // Objects whose linked-window list holds this object.
    std::vector<GUIBaseObject*> m_linkedBy;
    bool m_inShow = false;
    std::shared_ptr<char> m_life = std::make_shared<char>(0);
};
