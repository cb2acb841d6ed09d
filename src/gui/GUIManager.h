#pragma once
// The one registry of the GUI: owns the top-level windows (the head of the
// list is the front: hit first, drawn last), delivers mouse and key input,
// runs the per-tick pulse and the hot keys, finds objects by name, and keeps
// the "active object" state through which the GUI script families build
// windows. Lives in the GlobalState's guiManager slot.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/NamedList.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIControlStack.h"

class BitmapWrapper;
class GUIBaseObject;
struct KeyStroke;

class GUIManager {
public:
    GUIManager();
    // Destroys every top-level object with its children.
    ~GUIManager();
    GUIManager(const GUIManager&) = delete;
    GUIManager& operator=(const GUIManager&) = delete;

    // ---- Registry --------------------------------------------------------------
    // List owner null, active object list = the top-level list.
    void ResetActiveObjectList();
    // Names the object, makes the list owner its parent and appends it to the
    // active object list; nothing when either is null or no list is selected.
    void AddObject(const char* name, GUIBaseObject* object);
    // As AddObject; the object becomes the active object.
    void AddActiveObject(const char* name, GUIBaseObject* object);
    // "Base": the top-level list (owner null). Otherwise the found object
    // becomes the owner and its child list is returned; null (owner kept)
    // when not found.
    NamedList* SelectListOwner(const char* name);
    // Top-level keys from the front, each followed by its subtree.
    GUIBaseObject* FindObject(const char* name) const;
    GUIBaseObject* FindObject(const std::string& name) const { return FindObject(name.c_str()); }
    // Moves the object to the head of its parent's child list (the
    // top-level list for a null parent); nothing when it is not there.
    void BringToFront(GUIBaseObject* parent, GUIBaseObject* object);
    void AddToStandardUI(GUIBaseObject* object);
    void AddToStandardUIByName(const char* name);
    // HideAllObjects, then opens every standard-UI window in list order.
    void ShowStandardUI();
    // Hide (children only) on every top-level object but "EnvironmentWindow".
    void HideAllObjects();

    NamedList* GetTopLevelList() { return &m_topLevel; }
    NamedList* GetActiveObjectList() const { return m_activeObjectList; }
    void SetActiveObjectList(NamedList* list) { m_activeObjectList = list; }
    GUIBaseObject* GetListOwner() const { return m_listOwner; }
    void SetListOwner(GUIBaseObject* owner) { m_listOwner = owner; }
    GUIBaseObject* GetActiveObject() const { return m_activeObject; }
    void SetActiveObject(GUIBaseObject* object) { m_activeObject = object; }
    NamedList* GetStandardUIList() { return &m_standardUI; }

    // ---- Mouse and keys ------------------------------------------------------------
    void SetMousePosition(float x, float y);
    float GetMouseX() const { return m_mouseX; }
    float GetMouseY() const { return m_mouseY; }
    bool IsMouseDown() const { return m_mouseDown; }

    // ---- Kept objects (cleared when the object is destroyed) ----------------------
    void SetDragObject(GUIBaseObject* object) { m_dragObject = object; }
    GUIBaseObject* GetDragObject() const { return m_dragObject; }
    void SetScrollBarInUse(GUIBaseObject* object) { m_scrollBarInUse = object; }
    GUIBaseObject* GetScrollBarInUse() const { return m_scrollBarInUse; }
    void SetClickedButton(GUIBaseObject* object) { m_clickedButton = object; }
    GUIBaseObject* GetClickedButton() const { return m_clickedButton; }
    void SetChatWindow(GUIBaseObject* object) { m_chatWindow = object; }
    GUIBaseObject* GetChatWindow() const { return m_chatWindow; }

    // ---- Images --------------------------------------------------------------------
    void SetClearBeforeDraw(bool on) { m_clearBeforeDraw = on; }
    bool GetClearBeforeDraw() const { return m_clearBeforeDraw; }
    // A new cursor image marks every object dirty.
    void SetStdCursor(BitmapWrapper* cursor);
    BitmapWrapper* GetStdCursor() const { return m_stdCursor; }
    void SetDefaultBorderImages(BitmapWrapper* corner, BitmapWrapper* horizontal, BitmapWrapper* vertical);
    // Images/GUI/Windows/"MoonCorner", "MoonHorizontal", "MoonVertical" from
    // the data library; a missing entry (or library) leaves a null image.
    void LoadDefaultBorderImages();
    BitmapWrapper* GetDefaultCorner() const { return m_defaultCorner; }
    BitmapWrapper* GetDefaultHorizontal() const { return m_defaultHorizontal; }
    BitmapWrapper* GetDefaultVertical() const { return m_defaultVertical; }

    // ---- Per event and per frame ------------------------------------------------------
    // Event -1 is the per-tick pulse, 0/1 mouse press/release (keys come
    // as strokes, HandleHotkeys); true when a top-level object took it.
    bool HandleMouseEvent(int event);
    // A mouse button let go at (x, y) where only the windows may hear it
    // (during a load or a fade): the release ends the drag or press its
    // press began, however late it comes.
    void ReleaseMouse(int x, int y);
    // Once per tick, right after the keyboard's update: the tick's strokes
    // (KeyboardManager::TakeStrokes), each handed in order to the receiver
    // that holds the keys at that stroke (HandleStroke).
    void HandleHotkeys();
    // One stroke to its receiver: a text box on top of the control stack
    // types it; else a hot key's handler acts on it; else the object on top
    // navigates with it; else it is nobody's here (the player reads the
    // bindings). An object on top takes only strokes struck after it came
    // there, so a key held into a window does nothing there.
    void HandleStroke(const KeyStroke& stroke);
    // What each hot-key binding does (the bindings declare the role, see
    // KeyboardManager): true when it acted, so the stroke is taken. The
    // table, below the class, sizes itself.
    struct HotKeyHandler {
        const char* binding;
        bool (GUIManager::*handle)();
    };
    static const HotKeyHandler kHotKeyHandlers[];
    void Draw(BitmapWrapper* target) { DrawPulse(target); }
    // Clears the target to black (when asked) and draws the top-level
    // objects back to front.
    void DrawPulse(BitmapWrapper* target);

    // ---- Control stack and active windows ----------------------------------------------
    GUIControlStack& GetControlStack() { return m_controlStack; }
    // A text box holds the keys: a line is being typed, which keeps them and
    // its text until it is sent or left (what opens meanwhile waits).
    bool IsLineBeingTyped() const { return m_controlStack.TopHoldsInput(); }
    // To the head under "X"; nothing when null or already at the head.
    void AddActiveWindow(GUIBaseObject* window);
    // Puts the window at the head under the given key (the hot keys and
    // the button callbacks name the entry).
    void AddActiveWindowNamed(const char* name, GUIBaseObject* window);
    // Every entry of the window.
    void RemoveActiveWindow(GUIBaseObject* window);
    // Drops every entry whose window is not visible with its ancestors.
    void PruneActiveWindows();
    bool IsActiveWindowListEmpty() const { return m_activeWindows.IsEmpty(); }
    NamedList* GetActiveWindowList() { return &m_activeWindows; }

    // Called by the GUIBaseObject destructor: every pointer and list entry
    // the manager keeps to the object goes.
    void ForgetObject(GUIBaseObject* object);

    // The GUI subsystem's registrar: GUI_, GUIOL_ and GUIG_ functions, then
    // the widget families in their places.
    static void RegisterLuaFunctions(lua_State* L);

    // A widget kind of a layer above the toolkit, handed in at start-up by
    // that layer's wiring (combat/CombatLayerWiring.cpp,
    // maps/MapsLayerWiring.cpp): GUIOL_AddObject creates it by `typeName`
    // (never when `create` is null), and RegisterLuaFunctions registers its
    // script family `registerLua` (when not null) with the toolkit's own.
    // Registering a name again replaces it. kRegisteredWidgetKinds names them
    // all: a test checks that start-up registers exactly these, so a kind
    // added on one side only fails it.
    using WidgetFactory = GUIBaseObject* (*)();
    using LuaRegistrar = void (*)(lua_State* L);
    static void RegisterWidgetKind(const std::string& typeName, WidgetFactory create, LuaRegistrar registerLua);
    static constexpr const char* kRegisteredWidgetKinds[] = {"GUIEnvironmentWindow", "GUICombatCharDisplay"};
    // The name is registered with a factory or a script family.
    static bool IsWidgetKindRegistered(const std::string& typeName);
    // Every name registered with a factory or a script family, in the order
    // first registered.
    static std::vector<std::string> RegisteredWidgetKinds();

    // The property router's resolver for "GUI" owners: the property of the
    // global manager's object of that name, which the object's life token
    // guards; nothing when there is no such object.
    static PropertyRouter::Target RouteProperty(const std::string& owner, const std::string& property);

    // The ground's hooks into the GUI (core/base/LayerHooks.h), on the
    // manager in the global state; start-up installs them. DrawInterface is
    // false when there is no manager to draw.
    static bool DrawInterface(BitmapWrapper* target);

private:
    NamedList m_topLevel{false};  // deleted by the manager, not by the list
    bool m_mouseDown = false;
    float m_mouseX = 320.0f;
    float m_mouseY = 240.0f;
    bool m_clearBeforeDraw = true;
    GUIControlStack m_controlStack;
    GUIBaseObject* m_listOwner = nullptr;
    GUIBaseObject* m_activeObject = nullptr;
    NamedList* m_activeObjectList = nullptr;
    GUIBaseObject* m_chatWindow = nullptr;
    GUIBaseObject* m_dragObject = nullptr;
    GUIBaseObject* m_scrollBarInUse = nullptr;
    GUIBaseObject* m_clickedButton = nullptr;
    NamedList m_activeWindows{false};
    NamedList m_standardUI{false};
    BitmapWrapper* m_stdCursor = nullptr;
    BitmapWrapper* m_defaultCorner = nullptr;
    BitmapWrapper* m_defaultHorizontal = nullptr;
    BitmapWrapper* m_defaultVertical = nullptr;
    bool m_destroying = false;
    // The hot keys' handlers: the chat line takes the focus; the newest
    // window closes or the pause menu opens; the inventory flips.
    bool FocusChatLine();
    bool CloseNewestWindow();
    bool FlipInventory();
};

inline const GUIManager::HotKeyHandler GUIManager::kHotKeyHandlers[] = {
    {"Chat", &GUIManager::FocusChatLine},
    {"Menu", &GUIManager::CloseNewestWindow},
    {"Inventory", &GUIManager::FlipInventory},
};
