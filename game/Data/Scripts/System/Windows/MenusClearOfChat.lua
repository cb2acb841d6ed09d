-- The engine builds the pause menu in the middle of the screen, 300 high:
-- its lower part with its Close button would lie under the chat window,
-- which covers the screen from y 400 down while the network is on and is
-- drawn over the menus. Moved up into the 400 rows above the chat window,
-- it stands clear of it.
--
-- The game is laid out for an 800 x 600 screen, and a larger window shows
-- it in its top-left corner. The engine places the options menu in the
-- middle of the whole window and the dialogue box along its bottom: in a
-- larger window the options menu's Close button would fall under the chat
-- window, and the box below the game's screen. Both are put where they
-- stand in an 800 x 600 window, whatever the window's size: the options
-- menu just above the chat window, the box along the bottom of the screen.
--
-- The standard windows are built after the start-up scripts, so the map
-- scripts run this; it places them once.
if PauseMenuPlaced then return end
PauseMenuPlaced = true
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("PauseMenu")
GUIG_SetDimensions(300, 50, 200, 300)
-- Setting the size shows a window; each waits closed as before.
GUIG_Hide()
GUI_SetActiveObject("OptionsMenu")
GUIG_SetDimensions(200, 200, 400, 200)
GUIG_Hide()
GUI_SetActiveObject("DialogueManager")
GUIG_SetDimensions(0, 380, 800, 220)
GUIG_Hide()
