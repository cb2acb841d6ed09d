#pragma once
// The GUI objects that hold keyboard control, newest on top. While the stack
// holds anything the player gets no key input, and every tick the object on
// top runs its HandleNavigation until it lets go. Entries only refer to
// objects; a destroyed object is taken off by the GUI manager.
#include <cstdint>
#include <memory>

#include "core/base/NamedList.h"

class GUIBaseObject;

class GUIControlStack {
public:
    // The input lock the stack holds on the player while it is not empty.
    static constexpr const char* kInputLockName = "GUIControlStack";

    GUIControlStack() = default;
    GUIControlStack(const GUIControlStack&) = delete;
    GUIControlStack& operator=(const GUIControlStack&) = delete;

    // On top under "X" (twice when pushed twice); null ignored.
    void Push(GUIBaseObject* object);
    // Takes off the object's first entry; closes it when it closes on
    // leaving the stack.
    void Remove(GUIBaseObject* object);
    // Takes off the top entry, closing it as Remove does.
    void Pop();
    // Removes when present, else pushes.
    void Toggle(GUIBaseObject* object);
    // Pushes when on and absent, removes when off and present.
    void Set(bool on, GUIBaseObject* object);
    // Closes every object that closes on leaving the stack, then empties it.
    void Clear();

    bool Contains(const GUIBaseObject* object) const;
    bool IsEmpty() const { return m_list.IsEmpty(); }
    int GetCount() const { return m_list.GetCount(); }
    GUIBaseObject* Top() const;
    // False when empty, else the top object's holds-input flag.
    bool TopHoldsInput() const;

    // Once per pulse: the top object navigates and leaves when it lets go.
    void Update();

    // Drops every entry of a destroyed object without touching it.
    void Forget(const GUIBaseObject* object);

    // The menu action (0 up, 1 down, 2 left, 3 right, 4 accept, 5 cancel)
    // the top object acts on in this update; -1 when none (or when there is
    // no keyboard manager). Within Update: the oldest menu key struck and
    // not yet acted on, taken once however often it is read, so keys struck
    // faster than the updates each get an update of their own, in order.
    // Elsewhere, and when no struck key waits: the first menu binding
    // pressed or repeating this tick (a binding set by code, not struck).
    static int32_t ReadNavigationAction();

private:
    NamedList m_list{false};
    // The top object of the last update, to tell a newly opened one.
    const GUIBaseObject* m_lastTop = nullptr;
    std::weak_ptr<char> m_lastTopLife;
};
