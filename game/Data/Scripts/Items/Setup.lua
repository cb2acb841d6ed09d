-- The game's items, set up once at start-up: their pictures, their
-- prototypes (what each item is and does), and the notice window the
-- meadow's standing stones speak through.
--
-- The pictures are drawn and packed at build time by tools/makeitemart
-- (game/itemart.cmake). Run where that archive is not at hand (a bare run of
-- the start-up scripts outside the game's folder) there are no items.
local archive = io.open("Data/Items.sif", "rb")
if not archive then return end
archive:close()

-- Pictures: a 32 x 32 icon for the inventory, a 16 x 16 one for the ground.
DL_AddCatalogue("Images", "Items")
DL_AddHeading("Images", "Items", "Icons")
DL_AddHeading("Images", "Items", "Ground")
EIM_OpenFile("Data/Items.sif")
for _, name in ipairs({"Potion", "Herb", "Moonstone"}) do
    DL_ExtractBitmap(name .. "Icon", "Images", "Items", "Icons", name)
    DL_ExtractBitmap(name, "Images", "Items", "Ground", name)
end
DL_ExtractBitmap("SaveStone", "Images", "Items", "Ground", "SaveStone")
DL_ExtractBitmap("MemoryStone", "Images", "Items", "Ground", "MemoryStone")
EIM_CloseFile()

-- The looks of things lying in the world (Data/Scripts/NPCs/GroundThing):
-- one picture in all eight facings.
for _, picture in ipairs({"Potion", "Herb", "Moonstone", "SaveStone", "MemoryStone"}) do
    AIM_CreateObject(picture .. "Still", "AnimationsList", "Animation")
    Anim_DeclareSizes(8, 1)
    Anim_SetActiveHeading("Images", "Items", "Ground")
    for facing = 0, 7 do Anim_SetFrame(facing, 0, picture) end
    Anim_SetDuration(60)
    AIM_CreateObject(picture .. "Look", "AIDrawingPackageList", "AIDrawingPackage")
    AIDP_AllocateSpace(1)
    AIDP_SetAnimation(0, picture .. "Still")
end

-- Prototypes. The codes are what save files keep: never reuse one.
DL_AddSection("ItemPrototypes")
DL_AddCatalogue("ItemPrototypes", "Sample")
DL_AddHeading("ItemPrototypes", "Sample", "Common")

-- key, item name, code, icon, stack size, HP restored (0: not usable, so Use
-- spends it for nothing), text
local function Item(key, name, code, icon, stack, restores, lines)
    DL_RegisterItemPrototype("ItemPrototypes", "Sample", "Common", key, name)
    IP_SetPrototypeCode(code, true)
    IP_SetImage("Images", "Items", "Icons", icon)
    IP_SetStackProperties(stack > 1, stack)
    if restores > 0 then
        IP_SetUsableFlags(1, 0, -1)
        ICM_AddRestoreEffect(restores, 1)
    else
        IP_SetUsableFlags(0, 0, -1)
    end
    for i, line in ipairs(lines) do IP_SetFlavourText(i - 1, line) end
end

Item("Potion", "Red Cordial", 1, "Potion", 9, 30,
     {"A little flask of red cordial.", "Restores 30 HP to one member of the party."})
Item("Herb", "Healing Herb", 2, "Herb", 5, 12,
     {"A leaf that smells of rain.", "Restores 12 HP to one member of the party."})
Item("Moonstone", "Moonstone", 3, "Moonstone", 1, 60,
     {"A pale stone that glows when the moon is up.",
      "Its light restores 60 HP to one member of the party,", "and then the stone is gone."})

-- The notice at the top of the screen: what the standing stones say, and a
-- line for every item picked up.
GUI_SetActiveObjectList("Base")
GUIOL_AddObject("StoneNotice", "GUIWindow")
GUIG_SetDimensions(380, 16, 400, 44)
GUIW_SetBackgroundColor(16, 20, 48)
GUIG_SetBorderImages("MoonCorner", "MoonHorizontal", "MoonVertical")
GUI_SetActiveObjectList("StoneNotice")
GUIOL_AddObject("StoneNoticeLine", "GUITextLine")
GUIG_SetDimensions(16, 13, 360, 16)
GUIT_SetString(" ")
GUI_SetActiveObjectList("Base")
GUI_SetActiveObject("StoneNotice")
GUIG_Hide()

-- Shows the notice with a text, or hides it (no text). A notice goes again
-- by itself after about four seconds (NoticeKeeper.lua counts them down).
function StoneNotice(text)
    GUI_SetActiveObjectList("StoneNotice")
    GUI_SetActiveObject("StoneNoticeLine")
    GUIT_SetString(text or " ")
    GUI_SetActiveObjectList("Base")
    GUI_SetActiveObject("StoneNotice")
    if text then GUIG_Show() else GUIG_Hide() end
    NoticeRunsLeft = text and 8 or nil
end
