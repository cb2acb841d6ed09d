-- The welcome window: a framed panel at the top level that the player can
-- drag by its moon frame, holding a view of the title picture that the
-- player can drag around inside it, a greeting under the picture and a
-- button that closes the window.
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
-- It opens right of where a new game puts the player on the screen (about
-- 230 across, 250 down), not over him, and right of the red cordial on the
-- square's east edge (292 to 308 across).
GUIG_SetDimensions(320, 40, 320, 256)
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

-- The greeting, in the system font, under the picture.
GUI_SetActiveObjectList("WelcomeWindow")
GUIOL_AddObject("WelcomeTitle", "GUITextLine")
GUIG_SetDimensions(16, 216, 180, 16)
GUIT_SetString("Welcome, traveller")

-- The close button: a lilac face with its label, closing the window when
-- it is clicked (pressed and released on it).
GUIOL_AddObject("WelcomeClose", "GUIButton")
GUIG_SetDimensions(224, 210, 80, 30)
GUIB_SetFunctionData("Button_Hide_Parent")
GUI_SetActiveObjectList("WelcomeClose")
-- The label comes first in the list, so it is drawn over the face.
GUIOL_AddObject("WelcomeCloseLabel", "GUITextLine")
GUIG_SetDimensions(20, 6, 50, 16)
GUIT_SetString("Close")
GUIOL_AddObject("WelcomeCloseFace", "GUIColorBox")
GUIG_SetDimensions(0, 0, 80, 30)
GUIColB_SetColorData(110, 90, 170, 255)

-- Later scripts start from the top level again.
GUI_SetActiveObjectList("Base")
-- Leaving the title screen hides every window but the standard ones; the
-- meadow opens this one again on its first tick (Data/Scripts/Maps/
-- DebugRoom.lua, Data/Scripts/System/Windows/WelcomeOnce.lua).
