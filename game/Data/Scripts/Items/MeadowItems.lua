-- What lies in the meadow: a few items to pick up, and the two standing
-- stones on the square. Run by the meadow's map script each time it loads.
-- An item that was picked up stays gone (TakenItems lives as long as the
-- game runs).
TakenItems = TakenItems or {}

-- A notice left up by the last visit goes; the keeper takes the next ones
-- down after their time.
if StoneNotice then StoneNotice(nil) end
EM_OBJ_CreateObject("NoticeKeeper", "StaticAutoScript")
OBJSAS_SetDelay(30)
OBJSAS_SetPath("Data/Scripts/Items/NoticeKeeper.lua")

-- A spot's script keeps its own variables, which only it can set: it takes
-- them from SpotSettings on its first run, which OBJSAS_SetPath starts at
-- once (script code -2).
local function Spot(name, script, settings)
    EM_OBJ_CreateObject(name, "StaticAutoScript")
    OBJ_SetCoordinates(settings.X, settings.Y, 0)
    OBJSAS_SetDelay(5)
    SpotSettings = settings
    OBJSAS_SetPath(script)
    SpotSettings = nil
end

-- Called first thing by a spot's script (Pickup.lua, Waystone.lua). On the
-- spot's first run it takes the settings and answers nil: the script has
-- nothing more to do. Later it answers whether the player stands within the
-- spot's reach of its X and Y on both axes: ten pixels, or the spot's own
-- "Reach".
function SpotPlayerNear()
    if GetScriptCode() == -2 then
        for key, value in pairs(SpotSettings or {}) do
            if type(value) == "number" then OBJSAS_AddFloat(key, value) else OBJSAS_AddString(key, value) end
        end
        return nil
    end
    local px = PM_GetValue("Player", "Pelloc", "XCenter")
    local py = PM_GetValue("Player", "Pelloc", "YCenter")
    local reach = OBJSAS_GetFloat("Reach")
    if reach <= 0 then reach = 10 end
    return math.abs(px - OBJSAS_GetFloat("X")) <= reach and math.abs(py - OBJSAS_GetFloat("Y")) <= reach
end

-- A thing shown on the ground (a still character), clicked for the script.
local function Show(name, picture, click, x, y)
    GroundThing = {Name = name, Look = picture .. "Look", Click = click}
    EM_NPC_CreateNPC(name, "DialogueNPC", "Data/Scripts/NPCs/GroundThing/Constructor.lua")
    NPC_SetPositionData(x, y, 0)
    GroundThing = nil
end

-- An item on the ground, and on it the spot that hands it over when the
-- player steps there (and says so at the top of the screen).
local function Place(name, prototype, picture, label, x, y)
    if TakenItems[name] then return end
    Show(name, picture, "Data/Scripts/Items/OnTheGround.lua", x, y)
    Spot(name .. "Spot", "Data/Scripts/Items/Pickup.lua",
         {Item = name, Prototype = prototype, Label = label, X = x, Y = y})
end

Place("MeadowCordial", "Potion", "Potion", "a Red Cordial", 60, 40)
Place("MeadowHerb", "Herb", "Herb", "a Healing Herb", 100, 70)
Place("HutCordial", "Potion", "Potion", "a Red Cordial", 300, 620)
Place("PathHerb", "Herb", "Herb", "a Healing Herb", 96, 724)
Place("LakeMoonstone", "Moonstone", "Moonstone", "the Moonstone", 40, 90)

-- A standing stone: the blue one writes the game into "Save1.sav" when the
-- player steps onto it or clicks it; the golden one asks, in the dialogue
-- box, whether to bring that journey back. They stand on the grass west of
-- the square, off every way between the places on and around it, and far
-- enough apart that no walk to one crosses the other. A stone takes a
-- player within 12 pixels of its foot on both axes.
local function Stone(name, picture, action, x, y)
    Show(name, picture, "Data/Scripts/Items/" .. action .. "Game.lua", x, y)
    Spot(name .. "Spot", "Data/Scripts/Items/Waystone.lua", {Action = action, X = x, Y = y, Inside = 0, Reach = 12})
end

Stone("SaveStone", "SaveStone", "Save", 40, 600)
Stone("MemoryStone", "MemoryStone", "Load", 72, 690)
