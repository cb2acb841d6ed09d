// Keys struck as a person strikes them, through the one input path the game
// takes: each key event goes to the keyboard in order, and a tick runs the
// keyboard's update and then what the test hands it (the GUI's hand-out and
// pulse, see GuiKeyTicks.h), as a game state's timer event does; or both go
// through a game state's own handler (Route).
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "core/script/KeyboardManager.h"

namespace testsupport {

class KeyTicks {
public:
    using Send = std::function<void(int code, bool down)>;
    explicit KeyTicks(KeyboardManager& keyboard, std::function<void()> afterUpdate = {})
        : m_keyboard(keyboard),
          m_send([&keyboard](int code, bool down) { keyboard.NoteKeyEvent(code, down); }),
          m_tick([&keyboard, afterUpdate = std::move(afterUpdate)] {
              keyboard.UpdateKeys();
              keyboard.UpdateBindings();
              if (afterUpdate) afterUpdate();
          }) {}
    // Key events and ticks handed to a game state's handler instead.
    static KeyTicks Route(KeyboardManager& keyboard, Send send, std::function<void()> tick) {
        KeyTicks keys(keyboard);
        keys.m_send = std::move(send);
        keys.m_tick = std::move(tick);
        return keys;
    }

    // The first key of a binding ("Up", "Accept", "Menu") or the code of a
    // key name ("A", "ENTER", "LSHIFT"); -1 when neither.
    int Code(const std::string& name) {
        if (const KeyState* binding = m_keyboard.FindBinding(name)) return binding->keyCode;
        if (const KeyState* key = m_keyboard.FindKey(name)) return key->keyCode;
        return -1;
    }
    KeyTicks& Down(const std::string& name) { return Note(name, true); }
    KeyTicks& Up(const std::string& name) { return Note(name, false); }
    // Down and up before the next tick.
    KeyTicks& Strike(const std::string& name) { return Down(name).Up(name); }
    KeyTicks& Tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) m_tick();
        return *this;
    }
    // Each name struck and a tick after each: "Down Down Accept".
    KeyTicks& Type(const std::string& names) {
        std::istringstream words(names);
        for (std::string name; words >> name;) Strike(name).Tick();
        return *this;
    }
    // "+K" down, "-K" up, "K" both, "." a tick, "~n" n ticks.
    KeyTicks& Play(const std::string& events) {
        std::istringstream words(events);
        for (std::string word; words >> word;) {
            if (word == ".")
                Tick();
            else if (word[0] == '~')
                Tick(std::stoi(word.substr(1)));
            else if (word[0] == '+' || word[0] == '-')
                Note(word.substr(1), word[0] == '+');
            else
                Strike(word);
        }
        return *this;
    }

private:
    KeyTicks& Note(const std::string& name, bool down) {
        m_send(Code(name), down);
        return *this;
    }

    KeyboardManager& m_keyboard;
    Send m_send;
    std::function<void()> m_tick;
};

}  // namespace testsupport
