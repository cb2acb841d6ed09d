-- The battle side of the game, set up once at start-up: the party's poses,
-- the enemies that can be met, and the party the player starts with.

-- The party's pictures ------------------------------------------------------
-- Drawn and packed at build time by tools/makecombatart (game/combatart.cmake):
-- for each class its idle, moving, striking, hurt and knocked-out frames.
-- Without the archive the party fights unseen.
local classes = {"Orravine", "Bramle", "Tamberlyx", "Sesket", "Kell", "Wistlemarn"}
local frames = {Idle = 2, Move = 2, Strike = 3, Hurt = 2, Down = 1}

local function LoadPartyPictures()
    DL_AddCatalogue("Images", "Party")
    EIM_OpenFile("Data/CombatSprites.sif")
    for _, class in ipairs(classes) do
        DL_AddHeading("Images", "Party", class)
        for pose, count in pairs(frames) do
            for i = 0, count - 1 do
                DL_ExtractBitmap(class .. pose .. i, "Images", "Party", class, pose .. i)
            end
        end
    end
    -- The race labels the status displays show under the numbers.
    for _, label in ipairs({"LabelThessik", "LabelEarthVorn", "LabelQuorrel"}) do
        DL_ExtractBitmap(label, "Images", "GUI", "Combat", label)
    end
    EIM_CloseFile()
end

-- The party's animations, one set per class, found by the field-sprite
-- scripts under FieldSprites/Party/<class>. Idle breathes by itself; the
-- others show the frame the battle's choreography picks.
local function Animation(class, name, images, durations, auto)
    DL_RegisterFieldSpriteAnimation("FieldSprites", "Party", class, name)
    FSpriteAnim_SetFrameData(#images, 1)
    for i, image in ipairs(images) do
        FSpriteAnim_SetFrameImage(i - 1, "Images", "Party", class, image, durations[i], 0)
    end
    FSpriteAnim_SetAutoUpdate(auto)
    FSpriteAnim_FinishAndLock()
end

local function RegisterPartyAnimations()
    DL_AddSection("FieldSprites")
    DL_AddCatalogue("FieldSprites", "Party")
    for _, class in ipairs(classes) do
        DL_AddHeading("FieldSprites", "Party", class)
        Animation(class, "Idle", {"Idle0", "Idle1"}, {40, 40}, 1)
        Animation(class, "Move", {"Move0", "Move1"}, {1, 1}, 0)
        -- The strike has nine entries, three for each swing frame.
        Animation(class, "Strike", {"Strike0", "Strike0", "Strike0", "Strike1", "Strike1", "Strike1",
                                    "Strike2", "Strike2", "Strike2"}, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0)
        Animation(class, "Hurt", {"Hurt0", "Hurt1"}, {1, 1}, 0)
        Animation(class, "Down", {"Down0"}, {1}, 0)
    end
end

local archive = io.open("Data/CombatSprites.sif", "rb")
if archive then
    archive:close()
    LoadPartyPictures()
    RegisterPartyAnimations()
end

-- The enemies ---------------------------------------------------------------
LM_ExecuteScript("Scripts", "Combat/Enemies/StratumZero.lua", -1)

-- The party -----------------------------------------------------------------
-- Bramle leads; two friends come along.
PartyManager_AddCharacter("Bramle")
PartyManager_AddCharacter("Orravine")
PartyManager_AddCharacter("Tamberlyx")
