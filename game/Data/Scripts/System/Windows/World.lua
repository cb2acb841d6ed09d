-- The world window: the view of the game world through the active camera,
-- filling the screen behind every other window. Behind the map it shows the
-- scenery: a starry sky, a bank of clouds drifting across it and two ranges
-- of hills, the nearer ones sliding faster as the camera moves.
--
-- The scenery comes from "Data/Backgrounds.sif" (filed by Routing.lua). Run
-- where that archive is not at hand (a bare run of the start-up scripts
-- outside the game's folder), there is no world to show, and nothing is built.
local archive = io.open("Data/Backgrounds.sif", "rb")
if not archive then return end
archive:close()

-- The window covers the game's 800 x 600 screen. Added after the welcome
-- window, it comes last in the top-level list, which is drawn back first: it
-- stays behind the other windows. It is locked in place.
GUI_SetActiveObjectList("Base")
GUIOL_AddObject("EnvironmentWindow", "GUIEnvironmentWindow")
GUIG_SetDimensions(0, 0, 800, 600)

-- Behind the sky (where the view is larger than the pictures): the sky's
-- own darkest blue.
BackgroundManager_SetFillColor(3, 5, 20)

-- Back to front. Arguments: name, picture, x, y, parallax factor x and y,
-- drawing flags. The strips wrap around: a factor of 0.5 scrolls them half
-- as fast as the camera.
BackgroundManager_SpawnObject("Sky", "StarrySky", 0, 0, 0.05, 0, 0)
BackgroundObject_SetModuloMode()

-- 2400 pixels of cloud, starting two thirds off the left edge and drifting
-- east a pixel a tick; once they have passed the right edge they are gone.
BackgroundManager_SpawnObject("Clouds", "Clouds", -1600, 40, 0, 0, 0)
BackgroundObject_SetSpeed(1, 0)

BackgroundManager_SpawnObject("FarHills", "FarHills", 0, 300, 0.25, 0, 0)
BackgroundObject_SetModuloMode()

BackgroundManager_SpawnObject("NearHills", "NearHills", 0, 400, 0.5, 0, 0)
BackgroundObject_SetModuloMode()

MapM_SetBackgroundDisplayState(1)

-- The game starts in the meadow, both from the title screen and when the
-- title is skipped.
MapM_SetMapLoadTarget("DebugRoom")
