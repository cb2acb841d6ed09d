-- The welcome window: a framed panel at the top level that the player can
-- drag by its moon frame, holding a view of the title picture that the
-- player can drag around inside it.
--
-- The picture comes from the title archive. Run where that archive is not
-- at hand (a bare run of the start-up scripts outside the game's folder),
-- there is nothing to show, and the window is not built.
local archive = io.open("Data/TitleScreen.sif", "rb")
if not archive then return end
archive:close()

-- The title picture, filed with the scenery under its own name, so it does
-- not stand in the way of the title screen's own "Background".
EIM_OpenFile("Data/TitleScreen.sif")
DL_ExtractBitmap("Background", "Images", "Background", "Scenery", "TitleBackground")
EIM_CloseFile()

-- The frame: dark blue, with the moon border, movable.
GUI_SetActiveObjectList("Base")
GUIOL_AddObject("WelcomeWindow", "GUIWindow")
GUIG_SetDimensions(40, 40, 320, 220)
GUIW_SetBackgroundColor(16, 20, 48)
GUIG_SetBorderImages("MoonCorner", "MoonHorizontal", "MoonVertical")
GUIG_SetLock(0)

-- The view: a window onto the 800 x 600 picture, opening on the moon. A
-- press more than 10 pixels inside its edge drags the picture.
GUI_SetActiveObjectList("WelcomeWindow")
GUIOL_AddObject("WelcomeView", "GUIScrollableWindow")
GUISW_SetWindowDimensions(16, 16, 288, 188)
GUISW_SetPictureDimensions(446, 76, 734, 264)
GUISW_SetWindowBorderWidth(10)
GUISW_SetBackgroundPic("TitleBackground")
GUIG_SetLock(0)

-- Later scripts start from the top level again.
GUI_SetActiveObjectList("Base")
