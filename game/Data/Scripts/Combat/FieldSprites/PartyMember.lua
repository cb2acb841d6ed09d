-- Builds a party member's field sprite from the animations Combat/Setup.lua
-- registered for its class. Run by each class's field-sprite script with the
-- class name as argument 0, while the sprite is the active object.
local class = LM_GetScriptArgumentString(0)

-- The canvas holds one 48 x 56 frame; the sprite's position is its feet.
FSprite_SetCanvasSize(48, 56)
FSprite_SetDrawingOffsets(-24, -54)
-- An attacker stops this far short of the member.
FSprite_SetAttackOffset(30)

local poses = {
    {"Idling", "Idle"},
    {"Moving", "Move"},
    {"HardAttacking", "Strike"},
    {"Injured", "Hurt"},
    {"KnockedOut", "Down"},
}
for _, pose in ipairs(poses) do
    FSpriteDL_CreateAndPush()
    FSpriteDL_RegisterAnim("Body", "FieldSprites", "Party", class, pose[2])
    FSpriteDL_PopAndHook(pose[1])
end
