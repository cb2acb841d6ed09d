-- Bramle: the player's avatar, the other players' characters, and the look
-- every character made by name starts from until its own script changes it.
--
-- The engine runs this script with the new character as its active entity;
-- the script code tells who asked for it (-1 the player's avatar at start-up,
-- 1 a character made by name, such as another player arriving).
--
-- A character keeps this script as its default script, which runs again on
-- every step while its AI queue is empty. The body is built on the first run
-- only: after that the character stands where its owner puts it (the player,
-- or the server for another player), so nothing here touches its position.

-- Where the 18 x 28 picture hangs from the centre, on every run, as the
-- map's view may have changed since the last one (each map script names its
-- view in MapView). On a flat map its upper-left corner is 9 units left of
-- the centre and 28 above it (the offsets are subtracted from the centre),
-- so the feet stand on the shadow. The caves' isometric view projects the
-- offsets along its slanting axes: there (-19, 47) put the feet on the
-- shadow. The picture keeps its size, so this makes no new image.
if MapView == "Isometric" then
    NPC_SetDisplayData(-19, 47, 18, 28)
else
    NPC_SetDisplayData(9, 28, 18, 28)
end

if NPC_GetScriptVariableI("Built") == 1 then
    return
end
NPC_AddScriptVariableI("Built", 1)
-- The player's avatar is made by the engine without a default script; it
-- takes this one, so that it changes its place with the view too.
NPC_SetDefaultScript("Data/Scripts/NPCs/Bramle/Constructor.lua")

-- The body: ten units across the ground, twenty-eight tall, feet at the
-- centre's height. The sizes order the character among the others when drawn.
NPC_SetBoundaryOffsetsData(-5, 5, -5, 5, -28, 0)
NPC_SetCoordinateData(0, 0, 0, 18, 26, 28)

-- The movement states the player hands its avatar every frame; the drawing
-- list watches these flags to pick the frames.
NPC_AllocateStateVariables(5)
NPC_SetStateVariable(0, "Stationary", 1)
NPC_SetStateVariable(1, "Walking", 0)
NPC_SetStateVariable(2, "Trotting", 0)
NPC_SetStateVariable(3, "Running", 0)
NPC_SetStateVariable(4, "Jumping", 0)

-- The looks: standing, walking, running and jumping in eight directions,
-- drawn from the walking frames of the characters' archive (Routing.lua files
-- them). Run where that archive is not at hand (a bare run of the start-up
-- scripts outside the game's folder), the character keeps only its shadow.
local archive = io.open("Data/Characters.sif", "rb")
if not archive then return end
archive:close()

-- The animations and their package are made once and shared by every
-- character this script makes.
if not BramleLooksMade then
    BramleLooksMade = true
    -- Direction 0 is up, then clockwise; the diagonals show the side views.
    local views = {[0] = "Up", "Right", "Right", "Right", "Down", "Left", "Left", "Left"}
    local function animation(name, frames, ticksPerFrame, pick)
        AIM_CreateObject(name, "AnimationsList", "Animation")
        Anim_DeclareSizes(8, frames)
        Anim_SetActiveHeading("Images", "Characters", "Bramle")
        for direction = 0, 7 do
            for frame = 0, frames - 1 do
                Anim_SetFrame(direction, frame, "Bramle" .. views[direction] .. pick(frame))
            end
        end
        Anim_SetDuration(ticksPerFrame)
    end
    local function same(frame) return frame end
    animation("BramleStand", 1, 1, same)
    animation("BramleWalk", 4, 8, same)
    animation("BramleRun", 4, 4, same)
    -- The jump's timer: 0 taking off, 1 rising, 2 falling, 3 landing.
    local jump = {[0] = 1, 3, 1, 0}
    animation("BramleJump", 4, 1, function(frame) return jump[frame] end)

    AIM_CreateObject("BramleLooks", "AIDrawingPackageList", "AIDrawingPackage")
    AIDP_AllocateSpace(4)
    AIDP_SetAnimation(0, "BramleStand")
    AIDP_SetAnimation(1, "BramleWalk")
    AIDP_SetAnimation(2, "BramleRun")
    AIDP_SetAnimation(3, "BramleJump")
end

-- This character draws the looks; its state flags choose the animation, the
-- first tree that is set wins.
AIM_SetActiveAIObject("DrawingList", "NPC", "", "AIDrawingList")
AIDL_AddAI("Body", "BramleLooks")
AIDL_SetBaseStateToActive()
AIS_AddState("Jump", 3, "NPC", "", "St|Jumping", 0)
AIS_AddState("Run", 2, "NPC", "", "St|Running", 0)
AIS_AddState("Trot", 2, "NPC", "", "St|Trotting", 0)
AIS_AddState("Walk", 1, "NPC", "", "St|Walking", 0)
AIS_AddState("Stand", 0, "NPC", "", "St|Stationary", 0)
