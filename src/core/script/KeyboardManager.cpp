#include "core/script/KeyboardManager.h"

#include <algorithm>
#include <iterator>

#include "core/base/GlobalState.h"
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
    // The hot keys: the GUI acts on them wherever the keys are, but in a
    // text box (GUIManager::kHotKeyHandlers names what each does).
    AddBinding("Menu", 59, -1, -1, true);
    AddBinding("Inventory", 9, -1, -1, true);
    AddBinding("Chat", 67, -1, -1, true);

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

void KeyboardManager::AddKey(const char* name, int32_t code) {
    keys_.emplace_back(name, MakeState(code, -1, -1));
    keyEvents_.emplace_back();
}

void KeyboardManager::AddBinding(const char* name, int32_t code, int32_t second, int32_t menuIndex, bool hotKey) {
    KeyState state = MakeState(code, second, menuIndex);
    state.hotKey = hotKey ? 1 : 0;
    bindings_.emplace_back(name, state);
    bindingEvents_.emplace_back();
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
    for (auto& entry : bindings_) {
        KeyState& key = entry.second;
        key.pressed = key.repeat = key.released = key.held = key.ready = 0;
        key.countdown = repeatDelay_;
    }
    for (EntryEvents& events : bindingEvents_) events = {};
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

bool KeyboardManager::Down(int32_t code) const {
    return code >= 0 && code < ALLEGRO_KEY_MAX && down_[static_cast<size_t>(code)];
}

bool KeyboardManager::IsKeyDown(int32_t code) const { return Down(code); }

void KeyboardManager::HandleEvent(const ALLEGRO_EVENT& event) {
    switch (event.type) {
        case ALLEGRO_EVENT_KEY_DOWN: NoteKeyEvent(event.keyboard.keycode, true, event.any.timestamp); break;
        case ALLEGRO_EVENT_KEY_UP: NoteKeyEvent(event.keyboard.keycode, false, event.any.timestamp); break;
        // Allegro's timer catches up on ticks it could not send in time, in
        // a burst stamped at once: a tick stands for the time it is late by
        // less.
        case ALLEGRO_EVENT_TIMER: tickTime_ = event.any.timestamp - event.timer.error; break;
        case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT: ReleaseAllKeys(); break;
        default: break;
    }
}

void KeyboardManager::NoteKeyEvent(int32_t code, bool down, double time) {
    if (code <= 0 || code >= ALLEGRO_KEY_MAX) return;
    if (down)
        KeyDown(code, time);
    else
        KeyUp(code);
}

void KeyboardManager::ReleaseAllKeys() {
    for (int32_t code = 1; code < ALLEGRO_KEY_MAX; ++code) KeyUp(code);
}

void KeyboardManager::KeyDown(int32_t code, double time) {
    const auto index = static_cast<size_t>(code);
    // A key is up just before its key-down: one shown down still had its
    // key-up go elsewhere, and this is a fresh press.
    down_[index] = 0;
    KeyStroke stroke;
    stroke.code = code;
    stroke.shift = shift_ != 0;
    if (code == kCapsLock) capsLock_ = capsLock_ ? 0 : 1;
    stroke.capsLock = capsLock_ != 0;
    downShift_[index] = stroke.shift ? 1 : 0;
    downCaps_[index] = stroke.capsLock ? 1 : 0;
    stroke.serial = downSerial_[index] = ++strokesStruck_;

    // An entry is pressed by the key-down that finds all its keys up: a
    // second key of a binding already held presses nothing.
    auto press = [&](KeyList& list, std::vector<EntryEvents>& events, size_t i) {
        const KeyState& key = list[i].second;
        if (!Has(key, code) || AnyDown(key)) return false;
        events[i] = {1, code, time};
        return true;
    };
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (press(keys_, keyEvents_, i) && keys_[i].second.keyCode == code) stroke.types = true;
    }
    for (size_t i = 0; i < bindings_.size(); ++i) {
        if (!press(bindings_, bindingEvents_, i)) continue;
        const auto& [name, binding] = bindings_[i];
        if (binding.menuIndex != -1 && stroke.menuAction == -1) stroke.menuAction = binding.menuIndex;
        if (binding.hotKey && stroke.hotKey.empty()) stroke.hotKey = name;
    }

    down_[index] = 1;
    shift_ = (Down(kLeftShift) || Down(kRightShift)) ? 1 : 0;
    control_ = (Down(kLeftControl) || Down(kRightControl)) ? 1 : 0;
    pending_.push_back(std::move(stroke));
}

void KeyboardManager::KeyUp(int32_t code) {
    down_[static_cast<size_t>(code)] = 0;
    shift_ = (Down(kLeftShift) || Down(kRightShift)) ? 1 : 0;
    control_ = (Down(kLeftControl) || Down(kRightControl)) ? 1 : 0;
}

void KeyboardManager::UpdateKeys() {
    // Strokes a tick offered and nobody took are gone: they were struck
    // before what holds the keys now.
    offered_ = std::move(pending_);
    pending_.clear();
    UpdateList(keys_, keyEvents_, true);
}

void KeyboardManager::UpdateBindings() { UpdateList(bindings_, bindingEvents_, false); }

void KeyboardManager::OfferPendingStrokes() {
    offered_.insert(offered_.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
    pending_.clear();
}

std::vector<KeyStroke> KeyboardManager::TakeStrokes() {
    std::vector<KeyStroke> strokes = std::move(offered_);
    offered_.clear();
    return strokes;
}

void KeyboardManager::UpdateList(KeyList& list, std::vector<EntryEvents>& events, bool keyTable) {
    for (size_t i = 0; i < list.size(); ++i) {
        KeyState& key = list[i].second;
        const EntryEvents struck = events[i];
        events[i] = {};
        const bool text = !IsNonTextKey(key);
        if (struck.pressed) {
            // Struck since the last tick: a press, even when it has been let
            // go again already (a tap within one tick).
            key.pressed = key.held = 1;
            key.repeat = key.released = key.ready = 0;
            key.countdown = repeatDelay_;
            key.since = struck.at;
            if (text && key.countdown > 0) --key.countdown;
        } else if (!AnyDown(key)) {
            key.pressed = key.repeat = 0;
            key.released = key.held;
            key.held = 0;
            key.ready = 1;
            key.countdown = repeatDelay_;
        } else if (key.ready) {
            // Down with no key-down of its own: a key rebound onto keys held.
            key.pressed = key.held = 1;
            key.repeat = key.released = key.ready = 0;
            key.countdown = repeatDelay_;
            key.since = -1.0;
            if (text && key.countdown > 0) --key.countdown;
        } else if (!key.held) {
            // Down, but neither ready nor held: the bindings were reset while
            // the key was down. It stays silent until it has been released.
            key.pressed = key.repeat = key.released = 0;
        } else {
            key.pressed = key.released = 0;
            if (key.repeat) {
                key.repeat = 0;
                key.countdown = repeatDelay_ / 2;
            }
            // A tick that stands for a time before the key was struck (one
            // of a late burst queued after its key-down) is not held time.
            const bool heldThrough = tickTime_ < 0 || key.since < 0 || tickTime_ >= key.since;
            if (text && key.countdown > 0 && heldThrough) --key.countdown;
            if (key.countdown == 0) {
                key.repeat = 1;
                // The repeat is a stroke of the key held, typing as it was
                // struck; a binding's is its menu action (hot keys do not
                // repeat).
                const int32_t code = keyTable ? key.keyCode : Down(key.keyCode) ? key.keyCode : key.secondKeyCode;
                KeyStroke stroke;
                stroke.code = code;
                stroke.repeat = true;
                stroke.serial = downSerial_[static_cast<size_t>(code)];
                if (keyTable) {
                    stroke.types = true;
                    stroke.shift = downShift_[static_cast<size_t>(code)] != 0;
                    stroke.capsLock = downCaps_[static_cast<size_t>(code)] != 0;
                } else {
                    stroke.menuAction = key.menuIndex;
                }
                if (keyTable) {
                    offered_.push_back(std::move(stroke));
                } else if (key.menuIndex != -1) {
                    // One stroke per repeat: the key's own repeat of this
                    // tick carries the binding's menu action.
                    auto own = std::find_if(offered_.begin(), offered_.end(),
                                            [code](const KeyStroke& s) { return s.repeat && s.code == code; });
                    if (own == offered_.end())
                        offered_.push_back(std::move(stroke));
                    else if (own->menuAction == -1)
                        own->menuAction = key.menuIndex;
                }
            }
        }
    }
}
