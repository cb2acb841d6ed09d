-- The engine builds the pause menu in the middle of the screen, 300 high:
-- its lower part with its Close button would lie under the chat window,
-- which covers the screen from y 400 down while the network is on and is
-- drawn over the menus. Moved up into the 400 rows above the chat window,
-- it stands clear of it (the options menu and the inventory already do).
-- The standard windows are built after the start-up scripts, so the map
-- scripts run this; it moves the menu once.
if PauseMenuPlaced then return end
PauseMenuPlaced = true
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("PauseMenu")
GUIG_SetDimensions(300, 50, 200, 300)
-- Setting the size shows a window; it waits closed as before.
GUIG_Hide()
