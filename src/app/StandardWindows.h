#pragma once
// The windows the engine builds in code rather than in scripts: the pause
// menu, the options menu and the title screen. Every builder is
// find-or-create: when the GUI manager already finds an object of the
// window's name nothing is built and that object is returned.
//
// All of them need the GUI manager in the global state; without it they
// build nothing and return null.
class GUIBaseObject;

// "PauseMenu": 200 x 300, centred in the game window, closed. While open it
// holds the keys: the arrows move between its Options, Exit Game and Close
// buttons, the confirm key clicks one, the back key closes the menu.
GUIBaseObject* BuildPauseMenu();
// "OptionsMenu": 400 x 200, centred in the game window, closed; steered
// from the keyboard as the pause menu is (its one button closes it).
GUIBaseObject* BuildOptionsMenu();
// The standard windows, once, at start-up (after the dialogue box).
void BuildDefaultWindows();

// "TitleScreen": 800 x 600 at (0, 0), shown at the front, showing the image
// "Background" of "Data/TitleScreen.sif" (filed in the data library as
// Images/TitleScreen/General/"Background" while the screen exists).
GUIBaseObject* BuildTitleScreen();
// Takes the title screen's image out of the data library and deletes the
// window with its children and that image; nothing when there is no title
// screen.
void DestroyTitleScreen();
