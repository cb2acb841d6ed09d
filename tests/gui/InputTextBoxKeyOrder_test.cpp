// Keys struck quickly on a busy machine: several key-down events wait in the
// queue, and when the first is handled the keyboard already shows the later
// ones down. The input box still gets the keys in the order they were struck,
// with shift and caps lock as they were at each.
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/WaitingEventQueue.h"

namespace {

struct Keys : ALLEGRO_KEYBOARD_STATE {
    Keys() { std::memset(static_cast<ALLEGRO_KEYBOARD_STATE*>(this), 0, sizeof(ALLEGRO_KEYBOARD_STATE)); }
    void Set(int code, bool down) {
        const unsigned bit = 1u << (code % 32);
        if (down)
            __key_down__internal__[code / 32] |= bit;
        else
            __key_down__internal__[code / 32] &= ~bit;
    }
};

TEST(InputTextBoxKeyOrder, ABurstOfKeyEventsTypesInTheOrderStruck) {
    enum : int {
        A = ALLEGRO_KEY_A,
        B = ALLEGRO_KEY_B,
        D = ALLEGRO_KEY_D,
        E = ALLEGRO_KEY_E,
        L = ALLEGRO_KEY_L,
        P = ALLEGRO_KEY_P,
        S = ALLEGRO_KEY_S,
        T = ALLEGRO_KEY_T,
        K0 = ALLEGRO_KEY_0,
        K2 = ALLEGRO_KEY_2,
        K6 = ALLEGRO_KEY_6,
        Space = ALLEGRO_KEY_SPACE,
        Shift = ALLEGRO_KEY_LSHIFT,
        Caps = ALLEGRO_KEY_CAPSLOCK,
    };
    // Letters struck and let go, one after the other.
    auto taps = [](const char* letters) {
        std::vector<std::pair<int, bool>> events;
        for (const char* c = letters; *c; ++c) {
            events.push_back({ALLEGRO_KEY_A + (*c - 'a'), true});
            events.push_back({ALLEGRO_KEY_A + (*c - 'a'), false});
        }
        return events;
    };
    // Long bursts that end with a key still held: the keyboard shows it down
    // all along, the T also before its own earlier key-up.
    std::vector<std::pair<int, bool>> heldZ = taps("thequickbrownfox"), heldT = heldZ;
    heldZ.push_back({ALLEGRO_KEY_Z, true});
    heldT.push_back({ALLEGRO_KEY_T, true});
    struct Case {
        const char* what;
        std::vector<std::pair<int, bool>> burst;  // key code, down
        const char* typed;
    };
    const Case cases[] = {
        {"rolled letters", {{S, true}, {E, true}, {T, true}}, "set"},
        {"digits and blanks",
         {{K2, true}, {K6, true}, {K2, false}, {K0, true}, {Space, true}, {K0, false}, {K0, true}},
         "260 0"},
        {"shift for the first letter only",
         {{Shift, true}, {P, true}, {Shift, false}, {E, true}, {L, true}, {L, false}, {L, true}},
         "Pell"},
        {"caps lock struck between letters",
         {{A, true}, {Caps, true}, {Caps, false}, {B, true}, {Caps, true}, {D, true}},
         "aBd"},
        {"a key shown down through a long burst before its event", heldZ, "thequickbrownfoxz"},
        {"a key struck again, shown down before its key-up", heldT, "thequickbrownfoxt"},
    };

    testsupport::EnsureAllegro();
    const std::unique_ptr<ALLEGRO_FONT, void (*)(ALLEGRO_FONT*)> font(al_create_builtin_font(), al_destroy_font);
    testsupport::LuaTestState lua;
    DataLibrary& library = lua.Library();
    library.AddSection("Fonts");
    library.AddCatalogue("Fonts", "General");
    library.AddHeading("Fonts", "General", "System");
    library.Register("Fonts", "General", "System", "SystemFont", font.get(), DataKind::Font);
    GUIManager& gui = lua.Gui();
    gui.ResetActiveObjectList();
    KeyboardManager& keyboard = lua.Keyboard();
    auto* box = new GUIInputTextBox;
    gui.AddObject("Box", box);
    box->SetDimensions(0, 0, 600, 20);
    testsupport::StderrCapture quiet;  // the focus lines

    for (const Case& c : cases) {
        box->SetSystemData(80, false);
        box->SetFocus(true);
        Keys live;
        {
            // Every event of the burst waits in the queue before the first
            // is handled: each handler reads the keyboard as it is after all.
            testsupport::WaitingEventQueue waiting;
            for (const auto& [code, down] : c.burst) live.Set(code, down);
            for (const auto& [code, down] : c.burst) {
                keyboard.NoteKeyEvent(code, down);
                keyboard.UpdateKeys(&live);
            }
        }
        // The keys are let go, then the tick.
        for (const auto& [code, down] : c.burst) {
            if (!down) continue;
            live.Set(code, false);
            keyboard.NoteKeyEvent(code, false);
            keyboard.UpdateKeys(&live);
        }
        keyboard.UpdateKeys(&live);
        keyboard.UpdateBindings(&live);
        gui.HandleMouseEvent(-1);
        EXPECT_EQ(*box->GetText(), c.typed) << c.what;
        box->SetFocus(false);
    }
    EXPECT_FALSE(keyboard.IsCapsLockOn());
}

}  // namespace
