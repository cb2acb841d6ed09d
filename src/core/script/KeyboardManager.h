#pragma once
// Turns the Allegro keyboard state into per-key and per-action flags
// (pressed this update, auto-repeat fired, released this update, held,
// ready), keeps the key names scripts bind actions to, and the characters
// each key types.
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <deque>
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

    // The five flags only.
    static void CopyFlags(const KeyState& from, KeyState& to);
    // Every field.
    static void CopyFrom(const KeyState& from, KeyState& to);
};

// An ordered list of named key states; names are unique within a list.
using KeyList = std::vector<std::pair<std::string, KeyState>>;

class KeyboardManager {
public:
    static constexpr int kCharTableSize = 227;  // one row per Allegro key code
    static constexpr int32_t kDefaultRepeatDelay = 30;

    // Builds the key table, the bindings and the character table, and
    // registers the script functions on the LuaManager's state when it exists.
    KeyboardManager();

    void UpdateKeys(const ALLEGRO_KEYBOARD_STATE* state);
    void UpdateBindings(const ALLEGRO_KEYBOARD_STATE* state);
    // A key event as it comes off the event queue, before the update it
    // causes. Events are handled after the fact, so by then the keyboard
    // state may already show a quick tap as over: a key-down is kept until
    // each list's next update, which counts it as a new press even if the
    // key is up again. While more events wait in the queue, shift and
    // control are read as these events left them rather than as they are
    // now, so each key is seen with the modifiers held when it was pressed.
    // Each key-down event also types its key at the next key-table update,
    // in the order of the events, with shift as the events left it, and
    // queues the menu action of its key (see TakeMenuAction) and the hot
    // keys bound to it (see TakeHotKey).
    void NoteKeyEvent(int32_t code, bool down);

    // The menu actions struck (the menu index of the first menu binding of
    // each key-down, or of a press seen on the keyboard state alone, and of
    // each auto-repeat of a menu binding), oldest first: a menu takes one
    // per update and none is lost when several fall into one update.
    // TakeMenuAction gives -1 when none waits.
    int32_t TakeMenuAction();
    size_t PendingMenuActions() const { return menuActions_.size(); }
    void ClearMenuActions() { menuActions_.clear(); }
    // The menu keys held now (a window opening under them) queue nothing
    // more, by repeat or a late key-down event, until they have been let go.
    void MuteHeldMenuKeys();
    // Whether a menu binding is down only by keys muted that way.
    bool IsMenuBindingMuted(const KeyState& binding) const;

    // The hot keys ("Chat", "Menu", "Inventory") struck, by binding name,
    // oldest first: each key-down of a hot key's key, or a press seen on the
    // keyboard state alone, queues it once, so two strikes within one update
    // are two. Held keys queue nothing more. TakeHotKey gives "" when none
    // waits.
    static bool IsHotKey(const std::string& binding);
    std::string TakeHotKey();
    void ClearHotKeys() { hotKeys_.clear(); }

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
    // reset must be released before it counts again.
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
    void UpdateList(KeyList& list, const ALLEGRO_KEYBOARD_STATE* state, bool keyTable);
    void AddKey(const char* name, int32_t code);
    void AddBinding(const char* name, int32_t code, int32_t second, int32_t menuIndex);
    KeyState MakeState(int32_t code, int32_t second, int32_t menuIndex) const;
    static KeyState* FindIn(KeyList& list, const std::string& name);
    static bool IsDown(const ALLEGRO_KEYBOARD_STATE* state, int32_t code);
    using KeyFlags = std::array<uint8_t, ALLEGRO_KEY_MAX>;
    static bool Flagged(const KeyFlags& flags, int32_t code);
    void SetLastKey(int32_t code, bool shift);
    // The menu index of the first menu binding on that key, or -1.
    int32_t MenuActionOf(int32_t code) const;
    void QueueMenuAction(int32_t action);
    void QueueHotKey(const std::string& binding);

    uint8_t playerInput_ = 1;
    std::vector<std::string> inputLocks_;
    int32_t repeatDelay_ = kDefaultRepeatDelay;
    KeyList keys_;
    KeyList bindings_;
    uint8_t charTable_[kCharTableSize][2] = {};
    uint8_t shift_ = 0;
    uint8_t capsLock_ = 0;
    uint8_t control_ = 0;
    // Keys as the key events handled so far left them (read for shift and
    // control while more events wait).
    KeyFlags eventDown_ = {};
    // Key-down events not yet seen by the key table, or by the bindings.
    KeyFlags keyPresses_ = {};
    KeyFlags bindingPresses_ = {};
    KeyFlags keyReleases_ = {};
    KeyFlags bindingReleases_ = {};
    // Key-down events that came after a key-up event of the same key, since
    // the last update: a press of its own even for a key already held.
    KeyFlags keyRepresses_ = {};
    KeyFlags bindingRepresses_ = {};
    // Keys struck since the last key-table update, in the order of their
    // key-down events, each with shift as it was at its event.
    struct Stroke {
        int32_t code;
        bool shift;
    };
    static constexpr size_t kMaxStrokes = 64;
    std::vector<Stroke> strokes_;
    // Keys the key table took as pressed from the keyboard state while their
    // key-down events still waited: typed by that event, or, when no event
    // waits any more and it never came (it was dropped with the pending
    // events at a map load), at that update.
    KeyFlags unheard_ = {};
    // The menu actions not yet taken, and the keys whose press was queued
    // from the keyboard state (their own key-down event, handled late,
    // queues nothing more) or that are muted until let go.
    static constexpr size_t kMaxMenuActions = 256;
    std::deque<int32_t> menuActions_;
    KeyFlags menuSeen_ = {};
    KeyFlags menuMuted_ = {};
    // The hot keys struck and not yet taken, and the keys whose hot-key
    // press was queued from the keyboard state (their own key-down event,
    // handled late, queues nothing more).
    static constexpr size_t kMaxHotKeys = 64;
    std::deque<std::string> hotKeys_;
    KeyFlags hotKeySeen_ = {};
};
