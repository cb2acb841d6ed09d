#include "core/script/KeyboardManager.h"

#include <algorithm>

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/script/LuaManager.h"

namespace {

constexpr int32_t kLeftShift = 215;
constexpr int32_t kRightShift = 216;
constexpr int32_t kLeftControl = 217;
constexpr int32_t kRightControl = 218;
constexpr int32_t kCapsLock = 226;

}  // namespace

void KeyState::CopyFlags(const KeyState& from, KeyState& to) {
    to.pressed = from.pressed;
    to.repeat = from.repeat;
    to.released = from.released;
    to.held = from.held;
    to.ready = from.ready;
}

void KeyState::CopyFrom(const KeyState& from, KeyState& to) { to = from; }

KeyboardManager::KeyboardManager() {
    // The key table, in this order; lookups by code take the first match.
    static const struct {
        const char* name;
        int32_t code;
    } kNamedKeys[] = {
        {"NONE", -1},        {"ARROW_UP", 84},    {"ARROW_RIGHT", 83}, {"ARROW_DOWN", 85}, {"ARROW_LEFT", 82},
        {"LSHIFT", 215},     {"RSHIFT", 216},     {"TILDE", 60},       {"MINUS", 61},      {"EQUALS", 62},
        {"BACKSPACE", 63},   {"TAB", 64},         {"OPENBRACE", 65},   {"CLOSEBRACE", 66}, {"ENTER", 67},
        {"SEMICOLON", 68},   {"QUOTE", 69},       {"BACKSLASH", 70},   {"COMMA", 72},      {"FULLSTOP", 73},
        {"SLASH", 74},       {"SPACE", 75},       {"INSERT", 76},      {"DELETE", 77},     {"HOME", 78},
        {"PADSLASH", 86},    {"PADASTERISK", 87}, {"PADMINUS", 88},    {"PADPLUS", 89},    {"PADDELETE", 90},
        {"PADENTER", 91},    {"PRINTSCREEN", 92}, {"PAUSE", 93},       {"LCONTROL", 217},  {"RCONTROL", 218},
        {"ALT", 219},        {"ALTGR", 220},      {"LWINDOWS", 221},   {"RWINDOWS", 222},  {"MENU", 223},
        {"SCROLLLOCK", 224}, {"NUMLOCK", 225},    {"CAPSLOCK", 226},   {"PADEQUALS", 103}, {"BACKQUOTE", 104},
        {"ESCAPE", 59},
    };
    keys_.reserve(104);
    for (const auto& key : kNamedKeys) AddKey(key.name, key.code);
    for (int32_t letter = 0; letter < 26; ++letter) AddKey(std::string(1, char('A' + letter)).c_str(), 1 + letter);
    for (int32_t digit = 0; digit < 10; ++digit) {
        std::string name(1, char('0' + digit));
        AddKey(name.c_str(), 27 + digit);
        AddKey(("PAD" + name).c_str(), 37 + digit);
    }
    for (int32_t f = 1; f <= 12; ++f) AddKey(("F" + std::to_string(f)).c_str(), 46 + f);

    // The actions and their default keys.
    AddBinding("Up", 84, 23, 0);
    AddBinding("Down", 85, 19, 1);
    AddBinding("Left", 82, 1, 2);
    AddBinding("Right", 83, 4, 3);
    AddBinding("Accept", 26, -1, 4);
    AddBinding("Cancel", 24, -1, 5);
    AddBinding("RunHold", 215, 216, -1);
    AddBinding("RunToggle", 226, -1, -1);
    AddBinding("TrotToggle", 20, -1, -1);
    AddBinding("Jump", 75, -1, -1);
    AddBinding("Buck", 26, -1, -1);
    AddBinding("Rise", 26, -1, -1);
    AddBinding("Drop", 24, -1, -1);
    for (int32_t weapon = 1; weapon <= 5; ++weapon)
        AddBinding(("Weapon" + std::to_string(weapon)).c_str(), 27 + weapon, -1, -1);
    AddBinding("Menu", 59, -1, -1);
    AddBinding("Inventory", 9, -1, -1);
    AddBinding("Chat", 67, -1, -1);

    // Characters typed by each key, without and with shift.
    for (int32_t letter = 0; letter < 26; ++letter) {
        charTable_[1 + letter][0] = static_cast<uint8_t>('a' + letter);
        charTable_[1 + letter][1] = static_cast<uint8_t>('A' + letter);
    }
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    for (int32_t digit = 0; digit < 10; ++digit) {
        charTable_[27 + digit][0] = static_cast<uint8_t>('0' + digit);
        charTable_[27 + digit][1] = static_cast<uint8_t>(kShiftedDigits[digit]);
    }
    static const struct {
        int32_t code;
        char plain;
        char shifted;
    } kPunctuation[] = {
        {60, '`', '~'},  {61, '-', '_'},  {62, '=', '+'}, {65, '[', '{'}, {66, ']', '}'}, {68, ';', ':'},
        {69, '\'', '"'}, {70, '\\', '|'}, {72, ',', '<'}, {73, '.', '>'}, {74, '/', '?'}, {75, ' ', ' '},
    };
    for (const auto& p : kPunctuation) {
        charTable_[p.code][0] = static_cast<uint8_t>(p.plain);
        charTable_[p.code][1] = static_cast<uint8_t>(p.shifted);
    }

    if (LuaManager* lua = GetGlobalState()->luaManager) RegisterLuaFunctions(lua->GetLuaState());
}

KeyState KeyboardManager::MakeState(int32_t code, int32_t second, int32_t menuIndex) const {
    KeyState state;
    state.keyCode = code;
    state.secondKeyCode = second;
    state.countdown = repeatDelay_;
    state.menuIndex = menuIndex;
    return state;
}

void KeyboardManager::AddKey(const char* name, int32_t code) { keys_.emplace_back(name, MakeState(code, -1, -1)); }

void KeyboardManager::AddBinding(const char* name, int32_t code, int32_t second, int32_t menuIndex) {
    bindings_.emplace_back(name, MakeState(code, second, menuIndex));
}

KeyState* KeyboardManager::FindIn(KeyList& list, const std::string& name) {
    for (auto& entry : list) {
        if (entry.first == name) return &entry.second;
    }
    return nullptr;
}

KeyState* KeyboardManager::FindKey(const std::string& name) { return FindIn(keys_, name); }

KeyState* KeyboardManager::FindBinding(const std::string& name) { return FindIn(bindings_, name); }

KeyState* KeyboardManager::FindKeyByCode(int32_t code) {
    for (auto& entry : keys_) {
        if (entry.second.keyCode == code) return &entry.second;
    }
    return nullptr;
}

bool KeyboardManager::AnyKeyPressed() const {
    for (const auto& entry : keys_) {
        if (entry.second.pressed) return true;
    }
    return false;
}

bool KeyboardManager::AnyKeyRepeated() const {
    for (const auto& entry : keys_) {
        if (entry.second.repeat) return true;
    }
    return false;
}

bool KeyboardManager::IsNonTextKey(const KeyState& key) {
    int32_t code = key.keyCode;
    return code <= 0 || (code >= 47 && code <= 59) || code == 64 || code == 67 || code >= 76;
}

void KeyboardManager::AddInputLock(const char* name) {
    if (!name || HoldsInputLock(name)) return;
    inputLocks_.emplace_back(name);
}

void KeyboardManager::RemoveInputLock(const char* name) {
    if (!name) return;
    auto it = std::find(inputLocks_.begin(), inputLocks_.end(), name);
    if (it != inputLocks_.end()) inputLocks_.erase(it);
}

bool KeyboardManager::HoldsInputLock(const std::string& name) const {
    return std::find(inputLocks_.begin(), inputLocks_.end(), name) != inputLocks_.end();
}

void KeyboardManager::ResetBindings() {
    menuActions_.clear();
    menuSeen_.fill(0);
    hotKeys_.clear();
    hotKeySeen_.fill(0);
    bindingPresses_.fill(0);
    bindingReleases_.fill(0);
    bindingRepresses_.fill(0);
    for (auto& entry : bindings_) {
        KeyState& key = entry.second;
        key.pressed = key.repeat = key.released = key.held = key.ready = 0;
        key.countdown = repeatDelay_;
    }
}

KeyList KeyboardManager::CloneBindings() const { return bindings_; }

bool KeyboardManager::SetBinding(const std::string& binding, const std::string& key, const std::string& second,
                                 std::string* missing) {
    KeyState* target = FindBinding(binding);
    const KeyState* first = FindKey(key);
    const KeyState* other = FindKey(second);
    const std::string* unknown = !target ? &binding : !first ? &key : !other ? &second : nullptr;
    if (unknown) {
        if (missing) *missing = *unknown;
        return false;
    }
    target->keyCode = first->keyCode;
    target->secondKeyCode = other->keyCode;
    return true;
}

bool KeyboardManager::IsDown(const ALLEGRO_KEYBOARD_STATE* state, int32_t code) {
    return code >= 0 && code < ALLEGRO_KEY_MAX && al_key_down(state, code);
}

bool KeyboardManager::Flagged(const KeyFlags& flags, int32_t code) {
    return code >= 0 && code < ALLEGRO_KEY_MAX && flags[static_cast<size_t>(code)];
}

void KeyboardManager::NoteKeyEvent(int32_t code, bool down) {
    if (code <= 0 || code >= ALLEGRO_KEY_MAX) return;
    const auto index = static_cast<size_t>(code);
    eventDown_[index] = down ? 1 : 0;
    if (down) {
        if (FindKeyByCode(code)) {
            if (strokes_.size() >= kMaxStrokes) strokes_.erase(strokes_.begin());
            const bool shift = Flagged(eventDown_, kLeftShift) || Flagged(eventDown_, kRightShift);
            strokes_.push_back({code, shift});
        }
        keyPresses_[index] = bindingPresses_[index] = 1;
        if (keyReleases_[index]) keyRepresses_[index] = 1;
        if (bindingReleases_[index]) bindingRepresses_[index] = 1;
        unheard_[index] = 0;
        // A press already queued from the keyboard state, or one held since
        // before a menu opened, queues nothing now.
        if (menuSeen_[index])
            menuSeen_[index] = 0;
        else if (!menuMuted_[index])
            QueueMenuAction(MenuActionOf(code));
        if (hotKeySeen_[index]) {
            hotKeySeen_[index] = 0;
        } else {
            for (const auto& [name, binding] : bindings_) {
                if ((binding.keyCode == code || binding.secondKeyCode == code) && IsHotKey(name)) QueueHotKey(name);
            }
        }
    } else {
        keyReleases_[index] = bindingReleases_[index] = 1;
        menuSeen_[index] = menuMuted_[index] = hotKeySeen_[index] = 0;
    }
}

bool KeyboardManager::IsHotKey(const std::string& binding) {
    return binding == "Chat" || binding == "Menu" || binding == "Inventory";
}

void KeyboardManager::QueueHotKey(const std::string& binding) {
    // Taken every update the GUI runs and cleared at each transition: only
    // a stalled GUI could fill it, and then the oldest go first.
    if (hotKeys_.size() >= kMaxHotKeys) hotKeys_.pop_front();
    hotKeys_.push_back(binding);
}

std::string KeyboardManager::TakeHotKey() {
    if (hotKeys_.empty()) return {};
    std::string binding = std::move(hotKeys_.front());
    hotKeys_.pop_front();
    return binding;
}

int32_t KeyboardManager::MenuActionOf(int32_t code) const {
    for (const auto& [name, binding] : bindings_) {
        if (binding.menuIndex != -1 && (binding.keyCode == code || binding.secondKeyCode == code))
            return binding.menuIndex;
    }
    return -1;
}

void KeyboardManager::QueueMenuAction(int32_t action) {
    if (action == -1) return;
    // Nobody takes more than one a tick only while a menu reads them; the
    // GUI empties the queue when none does, so this bound is never reached
    // by a person's keys.
    if (menuActions_.size() >= kMaxMenuActions) menuActions_.pop_front();
    menuActions_.push_back(action);
}

int32_t KeyboardManager::TakeMenuAction() {
    if (menuActions_.empty()) return -1;
    const int32_t action = menuActions_.front();
    menuActions_.pop_front();
    return action;
}

void KeyboardManager::MuteHeldMenuKeys() {
    for (const auto& [name, binding] : bindings_) {
        // Struck in this very update: a press of its own, not a hold.
        if (binding.menuIndex == -1 || binding.pressed) continue;
        bool any = false;
        for (int32_t code : {binding.keyCode, binding.secondKeyCode}) {
            if (Flagged(eventDown_, code)) {
                menuMuted_[static_cast<size_t>(code)] = 1;
                any = true;
            }
        }
        // Held by the keyboard state before its key-down event: both keys.
        if (binding.held && !any) {
            for (int32_t code : {binding.keyCode, binding.secondKeyCode})
                if (code >= 0 && code < ALLEGRO_KEY_MAX) menuMuted_[static_cast<size_t>(code)] = 1;
        }
    }
}

bool KeyboardManager::IsMenuBindingMuted(const KeyState& binding) const {
    return Flagged(menuMuted_, binding.keyCode) || Flagged(menuMuted_, binding.secondKeyCode);
}

void KeyboardManager::SetLastKey(int32_t code, bool shift) {
    // The GUI keeps the keys typed for its text boxes.
    if (auto keyTyped = GetLayerHooks().keyTyped) keyTyped(code, shift, capsLock_ != 0);
}

void KeyboardManager::UpdateKeys(const ALLEGRO_KEYBOARD_STATE* state) { UpdateList(keys_, state, true); }

void KeyboardManager::UpdateBindings(const ALLEGRO_KEYBOARD_STATE* state) { UpdateList(bindings_, state, false); }

void KeyboardManager::UpdateList(KeyList& list, const ALLEGRO_KEYBOARD_STATE* state, bool keyTable) {
    if (!state) return;
    // With no event waiting, the keyboard state is as current as the events
    // and the event view follows it (which also heals a view that missed a
    // key-up dropped with a flushed queue). Only shift and control are read
    // from the event view; a key's own state is the keyboard's, with the
    // key-downs kept since the last update.
    ALLEGRO_EVENT_QUEUE* queue = GetGlobalState()->eventQueue;
    const bool eventsWaiting = queue && !al_is_event_queue_empty(queue);
    if (!eventsWaiting) {
        for (int32_t code = 0; code < ALLEGRO_KEY_MAX; ++code)
            eventDown_[static_cast<size_t>(code)] = IsDown(state, code) ? 1 : 0;
    }
    KeyFlags& presses = keyTable ? keyPresses_ : bindingPresses_;
    KeyFlags& releases = keyTable ? keyReleases_ : bindingReleases_;
    KeyFlags& represses = keyTable ? keyRepresses_ : bindingRepresses_;

    if (keyTable) {
        // Shift and control as they were at the key event being handled,
        // so each key types the character it was typed as.
        auto modifier = [&](int32_t code) { return eventsWaiting ? Flagged(eventDown_, code) : IsDown(state, code); };
        control_ = (modifier(kLeftControl) || modifier(kRightControl)) ? 1 : 0;
        shift_ = (modifier(kLeftShift) || modifier(kRightShift)) ? 1 : 0;

        // Keys taken as pressed ahead of key-down events that never came
        // (dropped with the pending events at a map load) are typed once no
        // event waits, when it is plain that their events are gone: late,
        // after the keys whose events were handled meanwhile, but once.
        if (!eventsWaiting) {
            for (const auto& entry : list) {
                const int32_t code = entry.second.keyCode;
                if (!Flagged(unheard_, code)) continue;
                unheard_[static_cast<size_t>(code)] = 0;
                if (code == kCapsLock) capsLock_ = capsLock_ ? 0 : 1;
                SetLastKey(code, shift_ != 0);
            }
        }
        // The keys struck since the last update are typed in the order they
        // were struck, whatever their order in the table.
        for (const Stroke& stroke : strokes_) {
            if (stroke.code == kCapsLock) capsLock_ = capsLock_ ? 0 : 1;
            SetLastKey(stroke.code, stroke.shift);
        }
        strokes_.clear();
    }
    for (auto& entry : list) {
        KeyState& key = entry.second;
        // A key-down event since the last update is a new press, even when
        // the key has been let go again, or was held and let go before it.
        // For a key already held, a key-down event with no key-up before it
        // is that press's own event handled late (an update read the key
        // down first), also when its key-up follows: counted once.
        const bool repressed = Flagged(represses, key.keyCode) || Flagged(represses, key.secondKeyCode);
        const bool newPress =
            (Flagged(presses, key.keyCode) || Flagged(presses, key.secondKeyCode)) && (!key.held || repressed);
        bool down = newPress || IsDown(state, key.keyCode) || IsDown(state, key.secondKeyCode);
        bool text = !IsNonTextKey(key);
        // A busy machine shows keys down before their key-down events are
        // handled (the events so far leave them up). Such a key is typed by
        // its own event, in its turn, and types no repeat before it; its
        // repeat counts from that event.
        const bool ownEvent = Flagged(presses, key.keyCode);
        const bool anyOwnEvent = ownEvent || Flagged(presses, key.secondKeyCode);
        const bool menu = !keyTable && key.menuIndex != -1;
        const bool hotKey = !keyTable && IsHotKey(entry.first);
        if (!down) {
            key.pressed = key.repeat = 0;
            key.released = key.held;
            key.held = 0;
            key.ready = 1;
            key.countdown = repeatDelay_;
            // Up on a keyboard state that is current: a press queued from it
            // has no event still to come. (While events wait, the state may
            // show a whole tap over before its key-down event is handled.)
            if ((menu || hotKey) && !eventsWaiting) {
                for (int32_t code : {key.keyCode, key.secondKeyCode}) {
                    if (code < 0 || code >= ALLEGRO_KEY_MAX) continue;
                    if (menu) menuSeen_[static_cast<size_t>(code)] = menuMuted_[static_cast<size_t>(code)] = 0;
                    if (hotKey) hotKeySeen_[static_cast<size_t>(code)] = 0;
                }
            }
        } else if (key.ready || newPress) {
            // A key-down event has typed its key above; a key down with no
            // event is typed here once no event waits, or, while events
            // wait, by its own event when it comes.
            if (keyTable && !ownEvent) {
                if (eventsWaiting) {
                    if (key.keyCode >= 0) unheard_[static_cast<size_t>(key.keyCode)] = 1;
                } else {
                    if (key.keyCode == kCapsLock) capsLock_ = capsLock_ ? 0 : 1;
                    SetLastKey(key.keyCode, shift_ != 0);
                }
            }
            // A menu press seen on the keyboard alone is queued now; its own
            // key-down event, if it comes later, then queues nothing.
            if (menu && !anyOwnEvent && !IsMenuBindingMuted(key)) {
                QueueMenuAction(key.menuIndex);
                for (int32_t code : {key.keyCode, key.secondKeyCode}) {
                    if (IsDown(state, code)) menuSeen_[static_cast<size_t>(code)] = 1;
                }
            }
            // Likewise a hot key; a key held and repeating strikes nothing.
            if (hotKey && !anyOwnEvent) {
                QueueHotKey(entry.first);
                for (int32_t code : {key.keyCode, key.secondKeyCode}) {
                    if (IsDown(state, code)) hotKeySeen_[static_cast<size_t>(code)] = 1;
                }
            }
            key.pressed = 1;
            key.repeat = key.released = key.ready = 0;
            key.held = 1;
            key.countdown = repeatDelay_;
            if (text && key.countdown > 0) --key.countdown;
        } else if (!key.held) {
            // Down, but neither ready nor held: the bindings were reset while
            // the key was down. It stays silent until it has been released.
            key.pressed = key.repeat = key.released = 0;
        } else {
            key.pressed = key.released = 0;
            key.held = 1;
            if (keyTable && ownEvent) {
                key.repeat = 0;
                key.countdown = repeatDelay_;
            }
            if (key.repeat) {
                key.repeat = 0;
                key.countdown = repeatDelay_ / 2;
            }
            // While events wait, the keyboard state is ahead of the events
            // handled so far and the updates come faster than time passes:
            // a key shown held may have been let go and struck again since,
            // and a backlog of updates is no long hold. The hold is timed on
            // current updates only, so it repeats nothing before its events.
            if (!eventsWaiting) {
                if (text && key.countdown > 0) --key.countdown;
                if (key.countdown == 0) {
                    key.repeat = 1;
                    if (keyTable) SetLastKey(key.keyCode, shift_ != 0);
                    if (menu && !IsMenuBindingMuted(key)) QueueMenuAction(key.menuIndex);
                }
            }
        }
    }
    presses.fill(0);
    releases.fill(0);
    represses.fill(0);
}
