-- Opens the welcome window (Welcome.lua builds it) the first time the game
-- world runs. The meadow's opener object runs this script when it is made
-- (script code -2, still inside the map change) and then on its first tick
-- (-1), when the world is on screen.
if GetScriptCode() ~= -1 or WelcomeOpened then return end
WelcomeOpened = true
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("WelcomeWindow")
GUIG_Show()
