-- Builds an enemy's field sprite from the frames its prototype loaded for
-- this battle ("<name>0" to "<name>5": two idle frames, two strike frames,
-- a hurt frame and a knocked-out frame). Argument 0 is the image name.
-- The animations are made on the spot ("hot"): the images live only for
-- the battle, so nothing is registered that would outlive them.
local name = LM_GetScriptArgumentString(0)

FSprite_SetCanvasSize(56, 48)
FSprite_SetDrawingOffsets(-28, -46)
FSprite_SetAttackOffset(34)

-- A pose of one layer: frame numbers, durations, auto update.
local function Pose(pose, frames, durations, auto)
    FSpriteDL_CreateAndPush()
    DL_PushActiveEntity()
    DL_CreateHotFieldSpriteAnimation()
    FSpriteAnim_SetFrameData(#frames, 1)
    for i, frame in ipairs(frames) do
        FSpriteAnim_CDL_SetFrameImage(i - 1, name .. frame, durations[i], 0)
    end
    FSpriteAnim_SetAutoUpdate(auto)
    FSpriteAnim_FinishAndLock()
    FSpriteDL_RegisterAnimByPop("Body")
    FSpriteDL_PopAndHook(pose)
end

Pose("Idling", {0, 1}, {24, 24}, 1)
Pose("Moving", {0, 1}, {1, 1}, 0)
Pose("HardAttacking", {2, 2, 3, 3}, {1, 1, 1, 1}, 0)
Pose("Injured", {4, 0}, {1, 1}, 0)
Pose("KnockedOut", {5}, {1}, 0)
