// Keys struck as a person strikes them, through the one input path the game
// takes: each key event goes to the keyboard in order, and a tick runs the
// keyboard's update and then what the test hands it (the GUI's hand-out of
// the strokes and its pulse, see GuiKeyTicks.h), as a game state's timer
// event does.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "core/script/KeyboardManager.h"

namespace testsupport {

class KeyTicks {
public:
    explicit KeyTicks(KeyboardManager& keyboard, std::function<void()> afterUpdate = {})
        : m_keyboard(keyboard), m_afterUpdate(std::move(afterUpdate)) {}

    // The first key of a binding ("Up", "Accept", "Menu") or the code of a
    // key name ("A", "ENTER", "LSHIFT"); -1 when neither.
    int Code(const std::string& name) {
        if (const KeyState* binding = m_keyboard.FindBinding(name)) return binding->keyCode;
        if (const KeyState* key = m_keyboard.FindKey(name)) return key->keyCode;
        return -1;
    }
    KeyTicks& Down(const std::string& name) {
        m_keyboard.NoteKeyEvent(Code(name), true);
        return *this;
    }
    KeyTicks& Up(const std::string& name) {
        m_keyboard.NoteKeyEvent(Code(name), false);
        return *this;
    }
    // Down and up before the next tick.
    KeyTicks& Strike(const std::string& name) { return Down(name).Up(name); }
    KeyTicks& Tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            m_keyboard.UpdateKeys();
            m_keyboard.UpdateBindings();
            if (m_afterUpdate) m_afterUpdate();
        }
        return *this;
    }
    // Each name struck and a tick after each: "Down Down Accept".
    KeyTicks& Type(const std::string& names) {
        std::istringstream words(names);
        for (std::string name; words >> name;) Strike(name).Tick();
        return *this;
    }

private:
    KeyboardManager& m_keyboard;
    std::function<void()> m_afterUpdate;
};

}  // namespace testsupport
