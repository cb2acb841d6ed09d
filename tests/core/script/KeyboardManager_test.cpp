#include "core/script/KeyboardManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/base/GlobalState.h"
#include "support/AllegroTestEnv.h"
#include "support/KeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

using testsupport::KeyTicks;

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
    std::string hotKeys;
    for (const auto& [name, binding] : keyboard.GetBindings())
        if (binding.hotKey) hotKeys += name + " ";
    EXPECT_EQ(hotKeys, "Menu Inventory Chat ");

    auto chars = keyboard.GetCharTable();
    EXPECT_EQ(chars[26][1], 'Z');
    EXPECT_EQ(chars[29][1], '@');
    EXPECT_EQ(chars[69][1], '"');
    EXPECT_EQ(chars[70][0], '\\');
    EXPECT_EQ(chars[84][0], 0);
}

// The strokes a tick offers, as text: what each types ("a", "A" with shift
// or caps lock), "<n>" its menu action, "[name]" its hot key, "*" before a
// repeat; only what they type when `typedOnly`.
std::string Strokes(KeyboardManager& keyboard, bool typedOnly = false) {
    std::string text;
    for (const KeyStroke& stroke : keyboard.TakeStrokes()) {
        if (typedOnly && !stroke.types) continue;
        if (stroke.repeat && !typedOnly) text += "*";
        if (stroke.types) {
            const bool letter = stroke.code >= 1 && stroke.code <= 26;
            const bool shifted = letter ? stroke.shift != stroke.capsLock : stroke.shift;
            if (char c = static_cast<char>(keyboard.GetCharTable()[stroke.code][shifted ? 1 : 0])) text += c;
        }
        if (typedOnly) continue;
        if (stroke.menuAction != -1) text += "<" + std::to_string(stroke.menuAction) + ">";
        if (!stroke.hotKey.empty()) text += "[" + stroke.hotKey + "]";
    }
    return text;
}

// Held keys count ticks from their own key-down: the press on the first
// tick, repeats on the 30th and every 15th after, and each repeat types as
// its key was struck (Shift let go meanwhile). An arrow never repeats.
TEST(KeyboardManager, HeldKeysRepeatByTicksHeld) {
    KeyboardManager keyboard;
    KeyTicks keys(keyboard);
    keys.Down("LSHIFT").Down("A").Down("ARROW_UP").Up("LSHIFT");
    std::string pressedAt, repeatAt, arrowRepeats, strokes;
    for (int update = 1; update <= 50; ++update) {
        keys.Tick();
        const KeyState* a = keyboard.FindKey("A");
        const KeyState* arrow = keyboard.FindKey("ARROW_UP");
        if (a->pressed) pressedAt += std::to_string(update) + " ";
        if (a->repeat) repeatAt += std::to_string(update) + " ";
        if (arrow->repeat) arrowRepeats += std::to_string(update) + " ";
        strokes += Strokes(keyboard);
        EXPECT_TRUE(a->held && arrow->held);
        EXPECT_EQ(keyboard.AnyKeyPressed(), update == 1);
        EXPECT_EQ(keyboard.AnyKeyRepeated(), update == 30 || update == 45);
    }
    EXPECT_EQ(pressedAt, "1 ");
    EXPECT_EQ(repeatAt, "30 45 ");
    EXPECT_EQ(arrowRepeats, "");
    // A is Left's second key and the arrow Up's first; a binding repeats
    // only when its first key is a text key, so Left does not.
    EXPECT_EQ(strokes, "A<2><0>*A*A");

    keys.Up("A").Tick();
    const KeyState* a = keyboard.FindKey("A");
    EXPECT_TRUE(a->released && !a->held && a->ready);
    keys.Tick();
    EXPECT_FALSE(a->released);  // each flag lives one update
    keys.Down("A").Tick();
    EXPECT_TRUE(a->pressed);

    // "z" held for three seconds types twelve: the press and eleven repeats,
    // each one stroke that types and accepts, though the key and the Accept
    // binding both repeat.
    KeyboardManager other;
    KeyTicks z(other);
    z.Down("Z");
    std::string typed;
    for (int tick = 0; tick < 180; ++tick) {
        z.Tick();
        typed += Strokes(other);
    }
    std::string twelve = "z<4>";
    for (int i = 0; i < 11; ++i) twelve += "*z<4>";
    EXPECT_EQ(typed, twelve);

    // Ticks queued after a key-down that stand for time before it (Allegro's
    // timer catching up in a burst) are not held time: "q" struck over 40 of
    // them types once; over 40 ticks of its own time it repeats.
    for (const bool burst : {true, false}) {
        KeyboardManager timed;
        ALLEGRO_EVENT event{};
        event.type = ALLEGRO_EVENT_KEY_DOWN, event.keyboard.keycode = ALLEGRO_KEY_Q, event.any.timestamp = 10.0;
        timed.HandleEvent(event);
        typed.clear();
        for (int tick = 1; tick <= 40; ++tick) {
            event.type = ALLEGRO_EVENT_TIMER, event.any.timestamp = burst ? 10.003 : 10.0 + tick / 60.0;
            event.timer.error = burst ? 1.0 - tick / 60.0 : 0.0;
            timed.HandleEvent(event);
            timed.UpdateKeys();
            typed += Strokes(timed);
        }
        EXPECT_EQ(typed, burst ? "q" : "q*q") << burst;
    }
}

// The key events since the last tick, as the tick reads them: each key-down
// is a stroke, in order; an entry (a key name or a binding) is pressed by a
// key-down that finds all its keys up, even when it has been let go again
// before the tick.
TEST(KeyboardManager, EventsSinceTheLastTick) {
    struct Step {
        const char* what;
        const char* events;  // as KeyTicks::Play takes them
        const char* key;     // a key-table name
        const char* binding;
        int keyPressed, bindingPressed, bindingHeld;
        const char* strokes;
    };
    const Step steps[] = {
        {"I tapped within a tick", "+I -I", "I", "Inventory", 1, 1, 1, "i[Inventory]"},
        {"the tick after it", "", "I", "Inventory", 0, 0, 0, ""},
        {"Z held", "+Z", "Z", "Accept", 1, 1, 1, "z<4>"},
        {"Z still held", "", "Z", "Accept", 0, 0, 1, ""},
        {"Z let go and struck again within a tick", "-Z +Z", "Z", "Accept", 1, 1, 1, "z<4>"},
        {"Z let go", "-Z", "Z", "Accept", 0, 0, 0, ""},
        {"the arrow and W tapped for Up", "+ARROW_UP -ARROW_UP +W -W", "W", "Up", 1, 1, 1, "<0>w<0>"},
        {"the arrow held for Up", "+ARROW_UP", "ARROW_UP", "Up", 1, 1, 1, "<0>"},
        {"W struck while the arrow holds Up", "+W", "W", "Up", 1, 0, 1, "w"},
        {"the arrow let go, W still holds Up", "-ARROW_UP", "W", "Up", 0, 0, 1, ""},
        {"W let go", "-W", "W", "Up", 0, 0, 0, ""},
        {"S with Shift", "+LSHIFT +S -S -LSHIFT", "S", "Down", 1, 1, 1, "S<1>"},
        {"Caps Lock struck, then A", "+CAPSLOCK -CAPSLOCK +A -A", "CAPSLOCK", "RunToggle", 1, 1, 1, "A<2>"},
        {"Shift with Caps Lock on", "+RSHIFT +D -D -RSHIFT", "D", "Right", 1, 1, 1, "d<3>"},
        {"Caps Lock off, Enter", "+CAPSLOCK -CAPSLOCK +ENTER -ENTER", "ENTER", "Chat", 1, 1, 1, "[Chat]"},
        // Caps Lock held toggles once, at its key-down: not its repeats, its binding nor its key-up.
        {"Caps Lock held, then A", "+CAPSLOCK ~40 A", "A", "Left", 1, 1, 1, "A<2>"},
        {"Caps Lock let go, then A", "-CAPSLOCK A", "A", "Left", 1, 1, 1, "A<2>"},
        {"Caps Lock struck again, D held", "CAPSLOCK +D", "D", "Right", 1, 1, 1, "d<3>"},
    };
    KeyboardManager keyboard;
    KeyTicks keys(keyboard);
    for (const Step& step : steps) {
        keys.Play(step.events).Tick();
        EXPECT_EQ(keyboard.FindKey(step.key)->pressed, step.keyPressed) << step.what;
        const KeyState* binding = keyboard.FindBinding(step.binding);
        EXPECT_EQ(binding->pressed, step.bindingPressed) << step.what;
        EXPECT_EQ(binding->held, step.bindingHeld) << step.what;
        EXPECT_EQ(Strokes(keyboard), step.strokes) << step.what;
    }

    // The display losing the focus lets every key go: its key-ups go
    // elsewhere.
    ALLEGRO_EVENT away{};
    away.type = ALLEGRO_EVENT_DISPLAY_SWITCH_OUT;
    keyboard.HandleEvent(away);
    keys.Tick();
    EXPECT_TRUE(keyboard.FindBinding("Right")->released);
    // Strokes no receiver took in their tick are gone at the next.
    keys.Down("X").Tick().Tick();
    EXPECT_EQ(Strokes(keyboard), "");
    // Shift and control follow the events; codes outside the table are
    // ignored.
    keys.Down("LSHIFT").Down("RCONTROL");
    EXPECT_TRUE(keyboard.IsShiftDown() && keyboard.IsControlDown());
    keys.Up("LSHIFT").Up("RCONTROL");
    EXPECT_FALSE(keyboard.IsShiftDown() || keyboard.IsControlDown());
    keyboard.NoteKeyEvent(-1, true);
    keyboard.NoteKeyEvent(ALLEGRO_KEY_MAX, true);
    keys.Tick();
    EXPECT_EQ(Strokes(keyboard), "");
}

TEST(KeyboardManager, BindingsAnswerEitherKeyAndSurviveAReset) {
    KeyboardManager keyboard;
    KeyTicks keys(keyboard);
    KeyState* up = keyboard.FindBinding("Up");
    keys.Down("W").Tick();
    EXPECT_TRUE(up->pressed);
    keys.Up("W").Tick();
    EXPECT_TRUE(up->released);
    keys.Down("ARROW_UP").Tick();
    EXPECT_TRUE(up->pressed);
    keys.Up("ARROW_UP").Tick();

    std::string missing;
    ASSERT_TRUE(keyboard.SetBinding("Up", "ARROW_UP", "NONE", &missing));
    EXPECT_EQ(up->secondKeyCode, -1);
    keys.Down("W").Tick();
    EXPECT_FALSE(up->pressed || up->held);
    keys.Up("W").Down("ARROW_UP").Tick();
    EXPECT_TRUE(up->pressed);

    // A key held across a reset is silent until released and struck again.
    keyboard.ResetBindings();
    EXPECT_FALSE(up->held);
    for (int i = 0; i < 40; ++i) {
        keys.Tick();
        EXPECT_FALSE(up->pressed || up->held || up->repeat || up->released);
    }
    keys.Up("ARROW_UP").Tick();
    EXPECT_FALSE(up->released);
    EXPECT_TRUE(up->ready);
    keys.Down("ARROW_UP").Tick();
    EXPECT_TRUE(up->pressed && up->held);

    // "NONE" answers no key at all.
    ASSERT_TRUE(keyboard.SetBinding("Jump", "NONE", "NONE", &missing));
    for (int code = 1; code < ALLEGRO_KEY_MAX; ++code) keyboard.NoteKeyEvent(code, true);
    keys.Tick();
    EXPECT_FALSE(keyboard.FindBinding("Jump")->pressed);
    EXPECT_TRUE(keyboard.FindBinding("Menu")->pressed);
}

// A burst of key events within one tick ("+k" down, "-k" up; ^ shift, #
// caps lock, _ space; "|" a tick): the keys are typed in the order struck,
// with Shift and Caps Lock as at each.
TEST(KeyboardManager, ABurstTypesKeysInTheOrderStruck) {
    const std::string tapped = "+t-t+h-h+e-e+q-q+u-u+i-i+c-c+k-k+b-b+r-r+o-o+w-w+n-n+f-f+o-o+x-x";
    const std::pair<std::string, const char*> cases[] = {
        {"+s+e+t", "set"},
        {"+2+6-2+0+_-0+0", "260 0"},
        {"+^+p-^+e+l-l+l", "Pell"},
        {"+a+#-#+b+#+d", "aBd"},
        {tapped + "+z", "thequickbrownfoxz"},
        {"+^+s-s-^+e-e+v-v|+e-e+n-n+t-t+y+^+s|-y-s-^+e-e+v-v+e-e+n-n+7-7+7-7", "SeventySeven77"},
    };
    auto code = [](char c) {
        return c == '^' ? 215 : c == '#' ? 226 : c == '_' ? 75 : c <= '9' ? 27 + c - '0' : 1 + c - 'a';
    };
    for (const auto& [burst, expected] : cases) {
        KeyboardManager keyboard;
        std::string typed;
        auto tick = [&] {
            keyboard.UpdateKeys();
            keyboard.UpdateBindings();
            typed += Strokes(keyboard, true);
        };
        for (size_t i = 0; i < burst.size(); i += 2) {
            if (burst[i] == '|') {
                tick();
                --i;
            } else {
                keyboard.NoteKeyEvent(code(burst[i + 1]), burst[i] == '+');
            }
        }
        tick();
        EXPECT_EQ(typed, expected) << burst;
    }
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
