#pragma once
// The GUI objects that hold keyboard control, newest on top. While the stack
// holds anything the player gets no key input; the object on top runs its
// HandleNavigation every tick and with every key stroke the GUI hands it,
// until it lets go. Entries only refer to
// objects; a destroyed object is taken off by the GUI manager.
#include <cstdint>
#include <unordered_map>

#include "core/base/NamedList.h"

class GUIBaseObject;
struct KeyStroke;

class GUIControlStack {
public:
    // The input lock the stack holds on the player while it is not empty.
    static constexpr const char* kInputLockName = "GUIControlStack";

    GUIControlStack() = default;
    GUIControlStack(const GUIControlStack&) = delete;
    GUIControlStack& operator=(const GUIControlStack&) = delete;

    // On top under "X" (twice when pushed twice), its top-level window to
    // the front; null ignored. While a text box holding input is on top (a
    // line being typed), the object goes beneath it instead and the box's
    // window stays in front: the line keeps the keys until it is sent or
    // left, and the object takes the strokes struck after that.
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

    // Once per pulse: the top object navigates, with no stroke, and leaves
    // when it lets go; the player's input lock follows the stack.
    void Update();
    // One stroke handed to the object on top: it navigates or types with
    // it, and leaves when it lets go. Nothing when the stack is empty.
    void Deliver(const KeyStroke& stroke);

    // Drops every entry of a destroyed object without touching it.
    void Forget(const GUIBaseObject* object);

    // Whether the object on top takes the stroke: it was struck after the
    // object came on top (a key struck before a window opened, or held into
    // it, does nothing there).
    bool TopTakes(const KeyStroke& stroke) const;
    // While the GUI handles a stroke, objects that come on top come after it
    // (and take the strokes struck after it); at any other time, after every
    // key struck so far. Restores the one before when it goes.
    class StrokeInHand {
    public:
        explicit StrokeInHand(const KeyStroke& stroke);
        ~StrokeInHand();
        StrokeInHand(const StrokeInHand&) = delete;
        StrokeInHand& operator=(const StrokeInHand&) = delete;

    private:
        const KeyStroke* m_outer;
    };

    // The stroke being delivered to the object on top, null at any other
    // time (the pulse included).
    static const KeyStroke* CurrentStroke();
    // The menu action (0 up, 1 down, 2 left, 3 right, 4 accept, 5 cancel)
    // of the stroke being delivered; -1 when none, or at any other time.
    static int32_t ReadNavigationAction();

private:
    void RunTop(GUIBaseObject* top, const KeyStroke* stroke);
    // An object pushed beneath a line comes on top when the line goes.
    void NoteNewTop();
    static constexpr uint64_t kNotYetOnTop = UINT64_MAX;
    // The place in the key stream at which an object came on the stack.
    static uint64_t StreamPosition();

    NamedList m_list{false};
    // Each object on the stack with the stream position of its last push.
    std::unordered_map<const GUIBaseObject*, uint64_t> m_since;
};
