#include "core/script/KeyboardManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "support/WaitingEventQueue.h"

namespace {

// A keyboard state with exactly the given keys down.
struct Keys : ALLEGRO_KEYBOARD_STATE {
    Keys() { std::memset(static_cast<ALLEGRO_KEYBOARD_STATE*>(this), 0, sizeof(ALLEGRO_KEYBOARD_STATE)); }
    Keys& Down(int code) {
        __key_down__internal__[code / 32] |= 1u << (code % 32);
        return *this;
    }
};

const Keys kNothing;

TEST(KeyboardManager, TablesAsBuilt) {
    KeyboardManager keyboard;
    EXPECT_EQ(keyboard.GetKeys().size(), 104u);
    EXPECT_EQ(keyboard.GetBindings().size(), 21u);
    const char* names[] = {"NONE", "ESCAPE", "A", "Z", "0", "9", "PAD0", "PAD9", "F1", "F12", "CAPSLOCK"};
    const int codes[] = {-1, 59, 1, 26, 27, 36, 37, 46, 47, 58, 226};
    for (int i = 0; i < 11; ++i) {
        ASSERT_NE(keyboard.FindKey(names[i]), nullptr) << names[i];
        EXPECT_EQ(keyboard.FindKey(names[i])->keyCode, codes[i]) << names[i];
    }
    EXPECT_EQ(keyboard.FindKey("END"), nullptr);
    EXPECT_EQ(keyboard.FindKeyByCode(26), keyboard.FindKey("Z"));

    const KeyState* up = keyboard.FindBinding("Up");
    EXPECT_EQ(up->secondKeyCode, 23);
    EXPECT_EQ(up->menuIndex, 0);
    EXPECT_EQ(keyboard.FindBinding("Cancel")->menuIndex, 5);
    EXPECT_EQ(keyboard.FindBinding("Weapon5")->keyCode, 32);

    auto chars = keyboard.GetCharTable();
    EXPECT_EQ(chars[26][1], 'Z');
    EXPECT_EQ(chars[29][1], '@');
    EXPECT_EQ(chars[69][1], '"');
    EXPECT_EQ(chars[70][0], '\\');
    EXPECT_EQ(chars[84][0], 0);
}

TEST(KeyboardManager, HeldLetterRepeatsAndArrowDoesNot) {
    KeyboardManager keyboard;
    Keys held;
    held.Down(1).Down(84);  // "A" and the up arrow
    std::string pressedAt, repeatAt, arrowRepeats;
    for (int update = 1; update <= 50; ++update) {
        keyboard.UpdateKeys(&held);
        const KeyState* a = keyboard.FindKey("A");
        const KeyState* arrow = keyboard.FindKey("ARROW_UP");
        if (a->pressed) pressedAt += std::to_string(update) + " ";
        if (a->repeat) repeatAt += std::to_string(update) + " ";
        if (arrow->repeat) arrowRepeats += std::to_string(update) + " ";
        EXPECT_TRUE(a->held);
        EXPECT_TRUE(arrow->held);
        EXPECT_EQ(keyboard.AnyKeyPressed(), update == 1);
        EXPECT_EQ(keyboard.AnyKeyRepeated(), update == 30 || update == 45);
    }
    EXPECT_EQ(pressedAt, "1 ");
    EXPECT_EQ(repeatAt, "30 45 ");
    EXPECT_EQ(arrowRepeats, "");

    keyboard.UpdateKeys(&kNothing);
    const KeyState* a = keyboard.FindKey("A");
    EXPECT_TRUE(a->released);
    EXPECT_FALSE(a->held);
    EXPECT_TRUE(a->ready);
    keyboard.UpdateKeys(&kNothing);
    EXPECT_FALSE(a->released);  // each flag lives one update

    // Pressing again counts as a new press.
    Keys again;
    again.Down(1);
    keyboard.UpdateKeys(&again);
    EXPECT_TRUE(a->pressed);
}

// Key events are handled after the fact: by then the keyboard state may
// show a quick tap as over. Each step notes the events of one frame, then
// updates the key table (as the key events do) and the bindings (as the
// tick does) with the keyboard state of that moment.
TEST(KeyboardManager, TapsOverBeforeTheirEventsAreHandledStillCount) {
    struct Step {
        const char* what;
        std::vector<std::pair<int, bool>> events;  // key code, down
        std::vector<int> stillDown;                // the keyboard state afterwards
        const char* key;                           // a key-table name
        const char* binding;
        int keyPressed, bindingPressed, bindingHeld;
    };
    const Step steps[] = {
        {"I tapped within a frame", {{9, true}, {9, false}}, {}, "I", "Inventory", 1, 1, 1},
        {"the frame after it", {}, {}, "I", "Inventory", 0, 0, 0},
        {"Z held", {{26, true}}, {26}, "Z", "Accept", 1, 1, 1},
        {"Z still held", {}, {26}, "Z", "Accept", 0, 0, 1},
        {"Z let go and pressed again in one frame", {{26, false}, {26, true}}, {26}, "Z", "Accept", 1, 1, 1},
        {"the arrow and W tapped for Up", {{84, true}, {84, false}, {23, true}, {23, false}}, {}, "W", "Up", 1, 1, 1},
        // Under load an update can read a key down before its own event is
        // handled: the event is that same press, not a second one.
        {"X seen down before its event", {}, {24}, "X", "Cancel", 1, 1, 1},
        {"then X's own key-down event", {{24, true}}, {24}, "X", "Cancel", 0, 0, 1},
        {"X let go", {{24, false}}, {}, "X", "Cancel", 0, 0, 0},
        {"I seen down before its event", {}, {9}, "I", "Inventory", 1, 1, 1},
        {"then its key-down and key-up events", {{9, true}, {9, false}}, {}, "I", "Inventory", 0, 0, 0},
    };
    KeyboardManager keyboard;
    for (const Step& step : steps) {
        Keys state;
        for (int code : step.stillDown) state.Down(code);
        for (const auto& [code, down] : step.events) keyboard.NoteKeyEvent(code, down);
        keyboard.UpdateKeys(&state);
        keyboard.UpdateBindings(&state);
        EXPECT_EQ(keyboard.FindKey(step.key)->pressed, step.keyPressed) << step.what;
        const KeyState* binding = keyboard.FindBinding(step.binding);
        EXPECT_EQ(binding->pressed, step.bindingPressed) << step.what;
        EXPECT_EQ(binding->held, step.bindingHeld) << step.what;
    }

    // A press noted before the bindings are reset does not count after it.
    keyboard.NoteKeyEvent(24, true);
    keyboard.ResetBindings();
    keyboard.UpdateBindings(&kNothing);
    EXPECT_EQ(keyboard.FindBinding("Cancel")->pressed, 0);
    keyboard.UpdateKeys(&kNothing);  // the key table still sees that press
    EXPECT_EQ(keyboard.FindKey("X")->pressed, 1);
    // Codes outside the table are ignored.
    keyboard.UpdateKeys(&kNothing);
    keyboard.NoteKeyEvent(-1, true);
    keyboard.NoteKeyEvent(ALLEGRO_KEY_MAX, true);
    keyboard.UpdateKeys(&kNothing);
    EXPECT_FALSE(keyboard.AnyKeyPressed());
}

// Each menu key-down is queued once, in the order struck, whether the
// update sees it first on the keyboard state or in its own event, and also
// when the state shows a tap over before its events are handled.
TEST(KeyboardManager, EachMenuKeyDownIsQueuedOnce) {
    testsupport::EnsureAllegro();
    struct Step {
        std::vector<std::pair<int, bool>> events;  // key code, down
        std::vector<int> shown;                    // the keyboard state at the update
        bool waiting;                              // more events wait behind
    };
    const std::pair<const char*, std::vector<Step>> cases[] = {
        {"13", {{{{85, true}, {85, false}, {83, true}, {83, false}}, {}, false}}},
        {"3", {{{}, {83}, true}, {{}, {}, true}, {{{83, true}, {83, false}}, {}, false}}},
        {"1", {{{}, {85}, true}, {{}, {85}, false}, {{}, {}, false}}},
        {"4041", {{{{26, true}, {26, false}, {84, true}, {26, true}}, {26}, false}, {{{19, true}}, {19}, false}}},
    };
    for (const auto& [expected, steps] : cases) {
        KeyboardManager keyboard;
        for (const Step& step : steps) {
            std::optional<testsupport::WaitingEventQueue> waiting;
            if (step.waiting) waiting.emplace();
            Keys state;
            for (int code : step.shown) state.Down(code);
            for (const auto& [code, down] : step.events) keyboard.NoteKeyEvent(code, down);
            keyboard.UpdateKeys(&state);
            keyboard.UpdateBindings(&state);
        }
        std::string queued;
        for (int32_t action; (action = keyboard.TakeMenuAction()) != -1;) queued += std::to_string(action);
        EXPECT_EQ(queued, expected);
    }
}

// While events wait in the queue, shift is as the events so far left it:
// a capital typed quickly is still a capital when its events are handled
// after shift has been let go.
TEST(KeyboardManager, ShiftFollowsTheEventsWhileMoreWait) {
    testsupport::EnsureAllegro();
    testsupport::WaitingEventQueue waiting;

    KeyboardManager keyboard;
    std::string seen;
    const std::pair<int, bool> events[] = {{215, true}, {16, true}, {16, false}, {215, false}, {16, true}};
    for (const auto& [code, down] : events) {
        keyboard.NoteKeyEvent(code, down);
        keyboard.UpdateKeys(&kNothing);  // all up by now
        if (down && code == 16) seen += keyboard.IsShiftDown() ? "P" : "p";
    }
    EXPECT_EQ(seen, "Pp");

    // A shift whose key-up was dropped with the queue does not stay down
    // once no event waits.
    keyboard.NoteKeyEvent(216, true);
    keyboard.UpdateKeys(&kNothing);
    EXPECT_TRUE(keyboard.IsShiftDown());
    waiting.Flush();
    keyboard.UpdateKeys(&kNothing);
    EXPECT_FALSE(keyboard.IsShiftDown());
}

TEST(KeyboardManager, ShiftControlAndCapsLock) {
    KeyboardManager keyboard;
    Keys shifted;
    shifted.Down(216).Down(217);
    keyboard.UpdateKeys(&shifted);
    EXPECT_TRUE(keyboard.IsShiftDown());
    EXPECT_TRUE(keyboard.IsControlDown());
    keyboard.UpdateBindings(&kNothing);  // bindings leave shift alone
    EXPECT_TRUE(keyboard.IsShiftDown());
    keyboard.UpdateKeys(&kNothing);
    EXPECT_FALSE(keyboard.IsShiftDown());
    EXPECT_FALSE(keyboard.IsControlDown());

    // Each press toggles caps lock; holding it does not.
    Keys caps;
    caps.Down(226);
    EXPECT_FALSE(keyboard.IsCapsLockOn());
    for (int i = 0; i < 40; ++i) keyboard.UpdateKeys(&caps);
    EXPECT_TRUE(keyboard.IsCapsLockOn());
    keyboard.UpdateKeys(&kNothing);
    keyboard.UpdateKeys(&caps);
    EXPECT_FALSE(keyboard.IsCapsLockOn());
    // A binding on the caps-lock key does not toggle it.
    keyboard.UpdateKeys(&kNothing);
    keyboard.UpdateBindings(&caps);
    EXPECT_FALSE(keyboard.IsCapsLockOn());
    EXPECT_TRUE(keyboard.FindBinding("RunToggle")->pressed);
}

TEST(KeyboardManager, BindingsAnswerEitherKeyAndSurviveAReset) {
    KeyboardManager keyboard;
    KeyState* up = keyboard.FindBinding("Up");
    Keys w;
    w.Down(23);
    keyboard.UpdateBindings(&w);
    EXPECT_TRUE(up->pressed);
    keyboard.UpdateBindings(&kNothing);
    EXPECT_TRUE(up->released);
    Keys arrow;
    arrow.Down(84);
    keyboard.UpdateBindings(&arrow);
    EXPECT_TRUE(up->pressed);
    keyboard.UpdateBindings(&kNothing);

    std::string missing;
    ASSERT_TRUE(keyboard.SetBinding("Up", "ARROW_UP", "NONE", &missing));
    EXPECT_EQ(up->secondKeyCode, -1);
    keyboard.UpdateBindings(&w);
    EXPECT_FALSE(up->pressed);
    EXPECT_FALSE(up->held);
    keyboard.UpdateBindings(&arrow);
    EXPECT_TRUE(up->pressed);

    // A key held across a reset is silent until released and pressed again.
    keyboard.ResetBindings();
    EXPECT_FALSE(up->held);
    for (int i = 0; i < 40; ++i) {
        keyboard.UpdateBindings(&arrow);
        EXPECT_FALSE(up->pressed || up->held || up->repeat || up->released);
    }
    keyboard.UpdateBindings(&kNothing);
    EXPECT_FALSE(up->released);
    EXPECT_TRUE(up->ready);
    keyboard.UpdateBindings(&arrow);
    EXPECT_TRUE(up->pressed);
    EXPECT_TRUE(up->held);

    // "NONE" answers no key at all.
    ASSERT_TRUE(keyboard.SetBinding("Jump", "NONE", "NONE", &missing));
    Keys all;
    for (int code = 0; code < ALLEGRO_KEY_MAX; ++code) all.Down(code);
    keyboard.UpdateBindings(&all);
    EXPECT_FALSE(keyboard.FindBinding("Jump")->pressed);
    EXPECT_TRUE(keyboard.FindBinding("Menu")->pressed);
}

// A burst of key events handled while the keyboard already shows the later
// keys down ("+k" down, "-k" up; ^ shift, # caps lock, _ space): the keys are
// typed in the order struck, with shift and caps lock as at each, and a key
// shown down before its own event types no repeat before it. "~~": a stall,
// a backlog of 30 updates behind the events, with the keyboard as the
// events so far leave it: a key held through it repeats nothing. "?k": a key
// down whose key-down event was dropped with the pending events; "!!": no
// event waits any more, one update.
TEST(KeyboardManager, ABurstTypesKeysInTheOrderStruck) {
    testsupport::EnsureAllegro();
    const std::string tapped = "+t-t+h-h+e-e+q-q+u-u+i-i+c-c+k-k+b-b+r-r+o-o+w-w+n-n+f-f+o-o+x-x";
    const std::pair<std::string, const char*> cases[] = {
        {"+s+e+t", "set"},
        {"+2+6-2+0+_-0+0", "260 0"},
        {"+^+p-^+e+l-l+l", "Pell"},
        {"+a+#-#+b+#+d", "aBd"},
        {tapped + "+z", "thequickbrownfoxz"},
        {tapped + "+t", "thequickbrownfoxt"},
        {"+^+s-s-^+e-e+v-v+e-e+n-n+t-t+y+^+s~~-y-s-^+e-e+v-v+e-e+n-n+7-7+7-7", "SeventySeven77"},
        {"+a-a?k+b-b!!", "abk"},
        {"+a-a?k+b-b+k!!", "abk"},
    };
    auto code = [](char c) {
        return c == '^' ? 215 : c == '#' ? 226 : c == '_' ? 75 : c <= '9' ? 27 + c - '0' : 1 + c - 'a';
    };
    static KeyboardManager* keyboard;
    static std::string typed;
    const auto saved = GetLayerHooks().keyTyped;
    GetLayerHooks().keyTyped = [](int32_t key, bool shift, bool caps) {
        if (char c = static_cast<char>(keyboard->GetCharTable()[key][shift != caps ? 1 : 0])) typed += c;
    };
    auto shown = [](const std::vector<bool>& down) {
        Keys keys;
        for (int k = 0; k < ALLEGRO_KEY_MAX; ++k)
            if (down[k]) keys.Down(k);
        return keys;
    };
    for (const auto& [burst, expected] : cases) {
        KeyboardManager manager;
        keyboard = &manager;
        typed.clear();
        std::vector<bool> down(ALLEGRO_KEY_MAX), soFar(ALLEGRO_KEY_MAX);
        for (size_t i = 0; i < burst.size(); i += 2)
            if (burst[i] != '~' && burst[i] != '!') down[code(burst[i + 1])] = burst[i] != '-';
        const Keys live = shown(down);  // as every handler of the burst reads it
        testsupport::WaitingEventQueue waiting;
        for (size_t i = 0; i < burst.size(); i += 2) {
            const char what = burst[i], key = burst[i + 1];
            if (what == '~') {
                const Keys stalled = shown(soFar);
                for (int update = 0; update < 30; ++update) manager.UpdateKeys(&stalled);
            } else if (what == '!') {
                waiting.Flush();
                manager.UpdateKeys(&live);
            } else if (what != '?') {
                soFar[code(key)] = what == '+';
                manager.NoteKeyEvent(code(key), what == '+');
                manager.UpdateKeys(&live);
            }
        }
        EXPECT_EQ(typed, expected) << burst;
    }
    GetLayerHooks().keyTyped = saved;
}

// The script functions, registered by the constructor on the script host.
struct KeyboardScript : ::testing::Test {
    testsupport::LuaTestState lua;
    KeyboardManager* keyboard = &lua.Keyboard();
    std::string Run(const std::string& code) {
        testsupport::StderrCapture cap;
        EXPECT_TRUE(lua.Run(code)) << lua.LastError();
        return cap.Take();
    }
};

TEST_F(KeyboardScript, FunctionsAndTheirFailures) {
    EXPECT_EQ(Run("CFG_SetKey('Up', 'ARROW_UP', 'NONE') CFG_SetKey('Jump', 'J', 'SPACE')"), "");
    EXPECT_EQ(keyboard->FindBinding("Up")->secondKeyCode, -1);
    EXPECT_EQ(keyboard->FindBinding("Jump")->keyCode, 10);
    EXPECT_EQ(keyboard->FindBinding("Jump")->secondKeyCode, 75);

    EXPECT_EQ(Run("CFG_SetKey('Fly', 'Q', 'Nope')"), "CFG_SetKey:  Failed, no key Fly found\n");
    EXPECT_EQ(Run("CFG_SetKey('Up', 'PAGEUP', 'END')"), "CFG_SetKey:  Failed, no key PAGEUP found\n");
    EXPECT_EQ(Run("CFG_SetKey('Up', 'W', 'Nope')"), "CFG_SetKey:  Failed, no key Nope found\n");
    EXPECT_EQ(keyboard->FindBinding("Up")->keyCode, 84);

    EXPECT_EQ(Run("KeyboardManager_SetPlayerInputState(0)"), "");
    EXPECT_FALSE(keyboard->IsPlayerInputEnabled());
    EXPECT_EQ(Run("KeyboardManager_SetPlayerInputState(2.5)"), "");
    EXPECT_TRUE(keyboard->IsPlayerInputEnabled());
    EXPECT_EQ(Run("KeyboardManager_AttachScript('a', 'b') KeyboardManager_DetachScript('a')"), "");

    EXPECT_EQ(Run("CFG_SetKey('Up', 'W') CFG_SetKey('Up', nil, 'W') KeyboardManager_SetPlayerInputState()"
                  " KeyboardManager_SetPlayerInputState({}) KeyboardManager_AttachScript('a')"
                  " KeyboardManager_DetachScript()"),
              "CFG_SetKey:  Failed, invalid argument list\n"
              "CFG_SetKey:  Failed, invalid argument list\n"
              "KeyboardManager SetPlayerInputState:  Failed, invalid argument list\n"
              "KeyboardManager SetPlayerInputState:  Failed, invalid argument list\n"
              "KeyboardManager AttachScript:  Failed, invalid argument list\n"
              "KeyboardManager DetachScript:  Failed, invalid argument list\n");
    EXPECT_EQ(keyboard->FindBinding("Up")->keyCode, 84);
    EXPECT_TRUE(keyboard->IsPlayerInputEnabled());

    GetGlobalState()->keyboardManager = nullptr;
    EXPECT_EQ(Run("CFG_SetKey('Up', 'W', 'NONE')"), "CFG_SetKey:  Failed, KeyboardManager does not exist\n");
    GetGlobalState()->keyboardManager = keyboard;
}

// The sample game's key configuration binds every action without a complaint.
TEST_F(KeyboardScript, SampleGameConfiguration) {
    std::string file = std::string(QEL_SOURCE_DIR) + "/game/Configuration.lua";
    EXPECT_EQ(Run("dofile('" + file + "')"), "");
    std::string text = testsupport::ReadFile(file);
    for (const auto& binding : keyboard->GetBindings()) {
        EXPECT_NE(text.find("CFG_SetKey(\"" + binding.first + "\""), std::string::npos) << binding.first;
        EXPECT_GE(binding.second.keyCode, 0) << binding.first;
    }
}

}  // namespace
