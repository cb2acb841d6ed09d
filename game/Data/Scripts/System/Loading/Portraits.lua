-- The characters' dialogue portraits, filed once at start-up under
-- Images/Portraits/Characters; a character's dialogue script shows its own
-- with DM_SetPortrait. The pictures are drawn and packed at build time by
-- tools/makeportraits (game/portraitart.cmake). Run where that archive is
-- not at hand, there are no portraits and the dialogues show none.
local archive = io.open("Data/Portraits.sif", "rb")
if not archive then return end
archive:close()

DL_AddCatalogue("Images", "Portraits")
DL_AddHeading("Images", "Portraits", "Characters")
EIM_OpenFile("Data/Portraits.sif")
DL_ExtractPortrait("ElderPortrait", "Images", "Portraits", "Characters", "Elder")
EIM_CloseFile()
