-- Builds the data library's sections, catalogues and headings that the
-- engine and the game's scripts look their resources up in, and registers
-- the fonts. Runs once at start-up, before the other system scripts.

-- Images ------------------------------------------------------------------
DL_AddSection("Images")

DL_AddCatalogue("Images", "GUI")
DL_AddHeading("Images", "GUI", "Windows")   -- window borders: MoonCorner, MoonHorizontal, MoonVertical
DL_AddHeading("Images", "GUI", "Buttons")   -- button faces
DL_AddHeading("Images", "GUI", "Misc")      -- check boxes, scroll bars
DL_AddHeading("Images", "GUI", "Bubbles")   -- speech bubbles: ResponseBubble
DL_AddHeading("Images", "GUI", "Combat")    -- the battle screen's frame, buttons and labels

DL_AddCatalogue("Images", "Misc")
DL_AddHeading("Images", "Misc", "Icons")    -- the window icon: IconImg
DL_AddHeading("Images", "Misc", "Shadows")  -- ShadowL, ShadowM, ShadowS, ShadowT

DL_AddCatalogue("Images", "Background")
DL_AddHeading("Images", "Background", "Scenery")

-- Standard archive ---------------------------------------------------------
-- Drawn by tools/makeart and packed by tools/sifpack at build time
-- (game/archives.cmake). The first run inflates it into Data/Decompress/.
EIM_OpenFile("Data/StandardTextures.sif")
DL_ExtractBitmap("MoonCorner", "Images", "GUI", "Windows", "MoonCorner")
DL_ExtractBitmap("MoonHorizontal", "Images", "GUI", "Windows", "MoonHorizontal")
DL_ExtractBitmap("MoonVertical", "Images", "GUI", "Windows", "MoonVertical")
DL_ExtractBitmap("CheckBoxChecked", "Images", "GUI", "Misc", "CheckBoxChecked")
DL_ExtractBitmap("CheckBoxUnchecked", "Images", "GUI", "Misc", "CheckBoxUnchecked")
DL_ExtractBitmap("ScrollBarBlank", "Images", "GUI", "Misc", "ScrollBarBlank")
DL_ExtractBitmap("ScrollBarBox", "Images", "GUI", "Misc", "ScrollBarBox")
DL_ExtractBitmap("ResponseBubble", "Images", "GUI", "Bubbles", "ResponseBubble")
DL_ExtractBitmap("IconImg", "Images", "Misc", "Icons", "IconImg")
-- Shadows, largest to smallest; each keeps its place in a common 28 x 12 frame.
DL_ExtractBitmap("ShadowL", "Images", "Misc", "Shadows", "ShadowL")
DL_ExtractBitmap("ShadowM", "Images", "Misc", "Shadows", "ShadowM")
DL_ExtractBitmap("ShadowS", "Images", "Misc", "Shadows", "ShadowS")
DL_ExtractBitmap("ShadowT", "Images", "Misc", "Shadows", "ShadowT")
DL_AddHeading("Images", "Misc", "ItemIcons")  -- the inventory grid's cell: ItemBorder
DL_ExtractBitmap("ItemBorder", "Images", "Misc", "ItemIcons", "ItemBorder")
DL_AddHeading("Images", "GUI", "Chat")        -- the dialogue box's pane
DL_ExtractBitmap("ChatPane", "Images", "GUI", "Chat", "ChatPane")
-- The stock menus' image buttons and the scroll bars' arrows, each with its
-- normal (0), hover (1) and pressed (2) face.
for _, stem in ipairs({"ButtonOptn", "ButtonExit", "ButtonArroSB", "ButtonArroSBF"}) do
    for face = 0, 2 do
        DL_ExtractBitmap(stem .. face, "Images", "GUI", "Buttons", stem .. face)
    end
end
-- The battle screen: the frame over the field, the command buttons, the
-- page buttons beside them and the plate of each party member's status.
DL_ExtractBitmap("CombatBase", "Images", "GUI", "Combat", "Base")
DL_ExtractBitmap("CombatButtonN", "Images", "GUI", "Combat", "ButtonN")
DL_ExtractBitmap("CombatButtonL", "Images", "GUI", "Combat", "ButtonL")
DL_ExtractBitmap("CombatButtonD", "Images", "GUI", "Combat", "ButtonD")
DL_ExtractBitmap("PageButtonUpN", "Images", "GUI", "Combat", "PageButtonUpN")
DL_ExtractBitmap("PageButtonUpL", "Images", "GUI", "Combat", "PageButtonUpL")
DL_ExtractBitmap("PageButtonUpD", "Images", "GUI", "Combat", "PageButtonUpD")
DL_ExtractBitmap("PageButtonDnN", "Images", "GUI", "Combat", "PageButtonDnN")
DL_ExtractBitmap("PageButtonDnL", "Images", "GUI", "Combat", "PageButtonDnL")
DL_ExtractBitmap("PageButtonDnD", "Images", "GUI", "Combat", "PageButtonDnD")
DL_ExtractBitmap("CombatCharDisplay", "Images", "GUI", "Combat", "CharDisplay")
GUICCD_SetBaseImage("Images", "GUI", "Combat", "CharDisplay")
EIM_CloseFile()

-- The title screen opens "Data/TitleScreen.sif" itself and files its
-- "Background" here while it is shown.
DL_AddCatalogue("Images", "TitleScreen")
DL_AddHeading("Images", "TitleScreen", "General")
-- End of the standard archive ---------------------------------------------

-- Characters and the dungeon's ground ---------------------------------------
-- The characters' pictures, from the standard archive, and the animations
-- made of them (Characters.lua). The same archive is the source of the map
-- textures the dungeon floors are built from, looked up by their names.
DL_AddCatalogue("Images", "Characters")
DL_AddHeading("Images", "Characters", "Sprites")
EIM_OpenFile("Data/StandardTextures.sif")
DL_ExtractBitmap("ElderStand", "Images", "Characters", "Sprites", "ElderStand")
DL_ExtractBitmap("ZezazoruA", "Images", "Characters", "Sprites", "ZezazoruA")
DL_ExtractBitmap("ZezazoruB", "Images", "Characters", "Sprites", "ZezazoruB")
DL_ExtractBitmap("UpStairImg", "Images", "Characters", "Sprites", "UpStairImg")
EIM_CloseFile()
-- Their animations and looks.
LM_ExecuteScript("Data/Scripts/System/Loading/Characters.lua", -1)

DL_AddCatalogue("Images", "Maps")
DL_AddHeading("Images", "Maps", "Textures")
DL_RegisterTextureFile("Images", "Maps", "Textures", "StandardTextures", "Data/StandardTextures.sif")
MapM_SetTextureFileHeading("Images", "Maps", "Textures")
MapM_BuildLookupList()

-- Scenery archive -----------------------------------------------------------
-- What the world window shows behind the map (Data/Scripts/System/Windows/
-- World.lua spawns it): a starry sky, a bank of clouds and two ranges of
-- hills, drawn and packed at build time like the standard archive.
EIM_OpenFile("Data/Backgrounds.sif")
DL_ExtractBitmap("StarrySky", "Images", "Background", "Scenery", "StarrySky")
DL_ExtractBitmap("Clouds", "Images", "Background", "Scenery", "Clouds")
DL_ExtractBitmap("FarHills", "Images", "Background", "Scenery", "FarHills")
DL_ExtractBitmap("NearHills", "Images", "Background", "Scenery", "NearHills")
EIM_CloseFile()

-- Characters archive --------------------------------------------------------
-- The frames of the player's avatar (its constructor script builds the
-- animations): Bramle walking down, up, left and right, four frames each,
-- beside the other characters' pictures.
DL_AddHeading("Images", "Characters", "Bramle")
EIM_OpenFile("Data/Characters.sif")
for _, view in ipairs({"Down", "Up", "Left", "Right"}) do
    for frame = 0, 3 do
        local name = "Bramle" .. view .. frame
        DL_ExtractBitmap(name, "Images", "Characters", "Bramle", name)
    end
end
EIM_CloseFile()

-- Fonts -------------------------------------------------------------------
DL_AddSection("Fonts")
DL_AddCatalogue("Fonts", "General")
DL_AddHeading("Fonts", "General", "System")
DL_AddHeading("Fonts", "General", "Dialogue")

DL_RegisterFont("Data/Graphics/Fonts/Sans.ttf", "Fonts", "General", "System", "SystemFont")
DL_RegisterFont("Data/Graphics/Fonts/FixedSys.ttf", "Fonts", "General", "Dialogue", "ChatFont")
DL_RegisterFont("Data/Graphics/Fonts/Sans.ttf", "Fonts", "General", "Dialogue", "DialogueFont")

-- Music and sounds -------------------------------------------------------
-- Each track and effect is opened once here and played by its name from then
-- on (title screen, buttons, the dialogue box, maps). The files are made at
-- build time by tools/makesound.
DL_AddSection("Audio")
DL_AddCatalogue("Audio", "Music")
DL_AddHeading("Audio", "Music", "Themes")
DL_AddCatalogue("Audio", "Sounds")
DL_AddHeading("Audio", "Sounds", "GUI")
DL_AddHeading("Audio", "Sounds", "Dialogue")

-- The title theme: a 4-second intro, then a 16-second body that repeats.
DL_RegisterMusic("Audio", "Music", "Themes", "TitleTheme", "Data/Music/Title.wav")
SM_SetLoopPositions(4.0, 20.0)

-- The dungeon floors' music, 16 seconds that loop whole.
DL_RegisterMusic("Audio", "Music", "Themes", "StratumOne", "Data/Music/Dungeon.wav")
SM_SetLoopPositions(0.0, 16.0)

DL_RegisterSound("Audio", "Sounds", "GUI", "Click", "Data/Sounds/Click.wav")
SM_SetAutoSuppress(0.05)
DL_RegisterSound("Audio", "Sounds", "GUI", "Chime", "Data/Sounds/Chime.wav")
SM_SetAutoSuppress(0.25)
-- Played by the dialogue box for every typed character.
DL_RegisterSound("Audio", "Sounds", "Dialogue", "TextTick", "Data/Sounds/TextTick.wav")
