#pragma once
// The C click actions that buttons choose by name. Every callback returns
// true when it acted; the click code does not use the result.
#include <string>
#include <vector>

// The argument is the object name of the button's target, the button's data
// buffer, or the button itself (see GUIButton's click action).
using ButtonCallback = bool (*)(void* argument);

// The callback of that name (compared exactly), or null: the button then
// does nothing on click. A name that begins with a registered prefix is
// looked up by that prefix's lookup alone.
ButtonCallback FindButtonCallback(const std::string& name);

// A family of windows above the toolkit (the combat windows' "Combat", the
// inventory windows' "Inv") hands its table of callbacks in at start-up,
// from its layer's wiring. Prefixes are tried in the order they were first
// registered; registering one again replaces its lookup.
// kButtonCallbackPrefixes names them all: a test checks that start-up
// registers exactly these, so a prefix added on one side only fails it.
using ButtonCallbackLookup = ButtonCallback (*)(const std::string& name);
void RegisterButtonCallbackPrefix(const std::string& prefix, ButtonCallbackLookup lookup);
inline constexpr const char* kButtonCallbackPrefixes[] = {"Combat", "Inv"};
// The prefix is registered with a lookup that is not null.
bool HasButtonCallbackPrefix(const std::string& prefix);
// Every prefix registered with a lookup that is not null, in the order first
// registered.
std::vector<std::string> RegisteredButtonCallbackPrefixes();

// Closes the clicked button's parent, drops the head of the active-window
// list and opens the window that is then at its head; false without a parent.
bool Button_Hide_Parent(void* argument);
// Opens the clicked button's parent; false without one.
bool Button_Show_Parent(void* argument);
// The argument is a window name (const char*): closes the newest active
// window, opens the named one and puts it at the head of the active-window
// list; false when the name is null or names nothing.
bool Button_Open_Menu(void* argument);
// Writes "quit game" and sets the program's quit flag.
bool Button_QuitGame(void* argument);
// Does nothing; for buttons whose click only plays their sound.
bool Button_DoNothing(void* argument);
