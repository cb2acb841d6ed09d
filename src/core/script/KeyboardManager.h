#pragma once
// The keyboard: which keys are down, the per-update flags of each key name
// and each action binding, the key names scripts bind actions to, and the
// characters each key types.
//
// The input model, which every receiver of keys follows:
// - One stream. Key events come in through HandleEvent in the order the
//   event queue delivered them, interleaved with the timer's ticks. Nothing
//   reads the live keyboard: which keys are down is what the events so far
//   say, so a busy machine that handles its events late sees them exactly
//   as a quick one does.
// - Strokes. Each key-down becomes one stroke, queued in order with the
//   Shift and Caps Lock state of that moment, the menu action of the binding
//   it presses and the hot key it strikes. A key held on repeats by ticks
//   held (the first repeat on its 30th tick, then every 15th), and each
//   repeat is a stroke of its own, made at the tick where it falls: one
//   stroke, which types as the key's and carries the menu action of the
//   binding it repeats.
// - Ticks. Each timer tick runs UpdateKeys and UpdateBindings: the flags of
//   both lists are worked out from the events since the last tick, and the
//   strokes of those events, then the tick's repeats, are offered. The GUI
//   takes them (TakeStrokes) and hands each, in order, to the one receiver
//   that holds the keys at that stroke: a text box on top of the control
//   stack, else a hot key, else the window on top, else nobody (the player
//   reads the bindings' flags). A mouse button event hands out the strokes
//   struck before it first, so they act before the click does. Each stroke
//   has its place in the stream
//   (its serial), and a window on top takes only the strokes struck after
//   it came on top: a key struck before a window opened, or held into it
//   (its repeats keep their key-down's place), does nothing there. What is
//   not taken by the next tick is dropped.
// - The window in front holds the keys. A window that joins the control
//   stack (a menu, the inventory, a battle window, the dialogue box, the
//   combat message window while "Press any key" waits, a focused text box)
//   goes on top of it and to the front when shown, and holds the keys while
//   it is there, whether it uses them or not: the window opened last holds
//   them, whatever opened it (a click, a script, a hot key, a battle, a
//   map's script on arrival). A click on the world (a character, a stone)
//   starts nothing while the stack holds a window. A line being typed
//   keeps its text, the keys and its window in front until it is sent
//   (Enter) or left (Tab): a window opened meanwhile goes beneath it and
//   takes only the strokes struck after the line went, and a change of
//   game state (a battle, a map) waits for it, as a fade hands out no
//   strokes.
// - Every path a key takes: its events reach HandleEvent, and the game
//   states do nothing else with them; its strokes reach one receiver each
//   through GUIManager::HandleStroke; the bindings' flags reach the player,
//   who walks by them while no input lock is held.
// - Held time is ticks held, never updates run or events waiting.
// - Late ticks and late key events. A tick stands for the time its timer
//   event gives (its stamp less its lateness): Allegro's timer thread, run
//   late, sends the ticks it owes in one burst, which the queue can hold
//   after a key-down struck before them; they are not held time for that
//   key. A key event carries only the stamp Allegro's input thread gave it
//   when it read the event, so a key-up read late looks like a key held
//   until then: nothing in the stream tells them apart, and a key-up read
//   30 ticks (half a second) after its key-down repeats the key once.
//   Measured typing console lines at 20 ms a key, presses of 6 ms, with 4
//   and 12 busy processes per core: with the X server and the typist kept
//   out of the load (its clock gave every press 6-11 ms), bursts of up to
//   20 ticks stamped within a millisecond fell between a key's down and
//   up, and key-ups were read up to 200 ms (12 ticks) late; with them
//   loaded too, a burst of 34 ticks fell inside a press of 33 ms, and a
//   "c" struck for 6 ms was read 504 ms (32 ticks) after its key-down and
//   typed twice ("/npcc", 1 line of 20). No letter came out twice in 26
//   more runs of 20 lines.
// - Ends are kept. A key-up, or a mouse button let go, ends what its press
//   began whenever it comes, during a fade or a load too (PendingEvents.h).
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The state of one key name or one action binding.
struct KeyState {
    int32_t keyCode = -1;        // Allegro key code, -1 for none
    int32_t secondKeyCode = -1;  // an alternative key, -1 for none
    uint8_t pressed = 0;         // first update on which the key is down after being up
    uint8_t repeat = 0;          // auto-repeat fired on this update
    uint8_t released = 0;        // first update on which the key is up after being held
    uint8_t held = 0;            // down
    uint8_t ready = 1;           // up: a new press will count
    int32_t countdown = 30;      // updates left before auto-repeat (the repeat delay)
    int32_t menuIndex = -1;      // 0-5 for the menu bindings
    uint8_t hotKey = 0;          // a binding the GUI acts on wherever the keys are (Chat, Menu, Inventory)
    double since = -1.0;         // when the key-down that pressed it was struck (its event's stamp), -1 unknown

    // The five flags only.
    static void CopyFlags(const KeyState& from, KeyState& to);
    // Every field.
    static void CopyFrom(const KeyState& from, KeyState& to);
};

// An ordered list of named key states; names are unique within a list.
using KeyList = std::vector<std::pair<std::string, KeyState>>;

// One key-down, or one auto-repeat of a held key, as the receivers take it.
struct KeyStroke {
    int32_t code = -1;    // the key struck (for a binding's repeat, the key that pressed it)
    bool repeat = false;  // an auto-repeat, not a key-down
    bool types = false;   // it types code (a key of the key table struck, or its own repeat)
    bool shift = false;   // Shift and Caps Lock at the key's own key-down
    bool capsLock = false;
    int32_t menuAction = -1;  // the menu index of the binding it presses or repeats, -1 none
    std::string hotKey;       // the hot-key binding it strikes, empty none
    // Its place in the stream: the number of key-downs so far, this one
    // included (a repeat has its key-down's).
    uint64_t serial = 0;
};

class KeyboardManager {
public:
    static constexpr int kCharTableSize = 227;  // one row per Allegro key code
    static constexpr int32_t kDefaultRepeatDelay = 30;

    // Builds the key table, the bindings and the character table, and
    // registers the script functions on the LuaManager's state when it exists.
    KeyboardManager();

    // A key event off the queue, in order: key down and key up (codes
    // outside the key range are ignored); the display losing the focus lets
    // every key go, since its key-ups will go elsewhere. A timer event, just
    // before its tick's update: the time the tick stands for (its stamp less
    // its lateness). Other events are ignored.
    void HandleEvent(const ALLEGRO_EVENT& event);
    // The same for one key: down or up, struck at `time` (an event's stamp;
    // -1 unknown).
    void NoteKeyEvent(int32_t code, bool down, double time = -1.0);
    // Every key down is let go, as key-up events would.
    void ReleaseAllKeys();
    // Whether the events so far leave the key down.
    bool IsKeyDown(int32_t code) const;
    // The key-downs so far: the serial of the latest stroke struck.
    uint64_t GetStrokesStruck() const { return strokesStruck_; }

    // One tick: the flags of the key table, then of the bindings, from the
    // key events since the last tick, and the strokes they offer.
    void UpdateKeys();
    void UpdateBindings();
    // The strokes of this tick, oldest first, for one taker; none are left.
    std::vector<KeyStroke> TakeStrokes();
    // The strokes of the key events so far join this tick's offer now, not
    // at the next tick: what comes next in the stream (a click) must find
    // them handed out already.
    void OfferPendingStrokes();

    KeyState* FindKey(const std::string& name);
    KeyState* FindBinding(const std::string& name);
    // The first key-table entry with that primary code, or null.
    KeyState* FindKeyByCode(int32_t code);
    const KeyList& GetKeys() const { return keys_; }
    const KeyList& GetBindings() const { return bindings_; }
    // [code][0]: the character typed without shift, [code][1] with it; 0: none.
    const uint8_t (*GetCharTable() const)[2] { return charTable_; }

    bool AnyKeyPressed() const;
    bool AnyKeyRepeated() const;
    // Codes that type no character and therefore never auto-repeat.
    static bool IsNonTextKey(const KeyState& key);

    void EnablePlayerInput() { playerInput_ = 1; }
    void DisablePlayerInput() { playerInput_ = 0; }
    bool IsPlayerInputEnabled() const { return playerInput_ != 0; }

    // Named locks on the player's keys (a window shown with a lock name, the
    // GUI's control stack, a transition): while any is held the player reads
    // no key. Adding skips a null name or one already held.
    void AddInputLock(const char* name);
    void AddInputLock(const std::string& name) { AddInputLock(name.c_str()); }
    void RemoveInputLock(const char* name);
    void RemoveInputLock(const std::string& name) { RemoveInputLock(name.c_str()); }
    bool HasInputLock() const { return !inputLocks_.empty(); }
    void ClearInputLocks() { inputLocks_.clear(); }
    bool HoldsInputLock(const std::string& name) const;

    // Clears every binding's flags (ready too), so a key held across the
    // reset must be released before it counts again; presses not yet seen
    // by an update are forgotten with them.
    void ResetBindings();
    // A copy of every binding under its name.
    KeyList CloneBindings() const;

    bool IsShiftDown() const { return shift_ != 0; }
    bool IsCapsLockOn() const { return capsLock_ != 0; }
    bool IsControlDown() const { return control_ != 0; }
    int32_t GetRepeatDelay() const { return repeatDelay_; }

    // Binds an action to one or two named keys ("NONE": no key). False,
    // with nothing changed, when a name is unknown (*missing gets it).
    bool SetBinding(const std::string& binding, const std::string& key, const std::string& second,
                    std::string* missing);

    // CFG_SetKey and the KeyboardManager_ functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // The events since the last tick, for each entry of one list: pressed
    // (a key-down found every key of the entry up), and the key that did it.
    struct EntryEvents {
        uint8_t pressed = 0;
        int32_t by = -1;
        double at = -1.0;
    };
    void UpdateList(KeyList& list, std::vector<EntryEvents>& events, bool keyTable);
    void AddKey(const char* name, int32_t code);
    void AddBinding(const char* name, int32_t code, int32_t second, int32_t menuIndex, bool hotKey = false);
    KeyState MakeState(int32_t code, int32_t second, int32_t menuIndex) const;
    static KeyState* FindIn(KeyList& list, const std::string& name);
    bool Down(int32_t code) const;
    bool AnyDown(const KeyState& key) const { return Down(key.keyCode) || Down(key.secondKeyCode); }
    static bool Has(const KeyState& key, int32_t code) { return key.keyCode == code || key.secondKeyCode == code; }
    void KeyDown(int32_t code, double time);
    void KeyUp(int32_t code);

    uint8_t playerInput_ = 1;
    std::vector<std::string> inputLocks_;
    int32_t repeatDelay_ = kDefaultRepeatDelay;
    KeyList keys_;
    KeyList bindings_;
    std::vector<EntryEvents> keyEvents_;
    std::vector<EntryEvents> bindingEvents_;
    uint8_t charTable_[kCharTableSize][2] = {};
    uint8_t shift_ = 0;
    uint8_t capsLock_ = 0;
    uint8_t control_ = 0;
    // Keys down as the events so far leave them.
    std::array<uint8_t, ALLEGRO_KEY_MAX> down_ = {};
    // Shift and Caps Lock at each key's last key-down, which its repeats type with.
    std::array<uint8_t, ALLEGRO_KEY_MAX> downShift_ = {};
    std::array<uint8_t, ALLEGRO_KEY_MAX> downCaps_ = {};
    std::array<uint64_t, ALLEGRO_KEY_MAX> downSerial_ = {};
    uint64_t strokesStruck_ = 0;
    // The time the coming tick stands for, -1 unknown: a held key counts it
    // only when it falls after the key was struck.
    double tickTime_ = -1.0;
    // The strokes of the key events since the last tick, and those the last
    // tick offered.
    std::vector<KeyStroke> pending_;
    std::vector<KeyStroke> offered_;
};
