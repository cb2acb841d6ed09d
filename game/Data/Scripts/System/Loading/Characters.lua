-- The looks of the sample game's characters, made once at start-up and kept
-- for the whole game: an animation for each set of pictures and a drawing
-- package for each character. A character's constructor hangs its package
-- on its own drawing list. The pictures are filed by Routing.lua under
-- Images/Characters/Sprites.

-- An animation of one picture, the same in all eight facings.
local function Still(name, picture)
    AIM_CreateObject(name, "AnimationsList", "Animation")
    Anim_DeclareSizes(8, 1)
    Anim_SetActiveHeading("Images", "Characters", "Sprites")
    for facing = 0, 7 do Anim_SetFrame(facing, 0, picture) end
    Anim_SetDuration(60)
end

-- A drawing package showing one animation.
local function Look(name, animation)
    AIM_CreateObject(name, "AIDrawingPackageList", "AIDrawingPackage")
    AIDP_AllocateSpace(1)
    AIDP_SetAnimation(0, animation)
end

Still("ElderStill", "ElderStand")
Look("ElderLook", "ElderStill")

Still("UpStairStill", "UpStairImg")
Look("UpStairLook", "UpStairStill")

-- The slime wobbles: two pictures, a third of a second each.
AIM_CreateObject("ZezazoruWobble", "AnimationsList", "Animation")
Anim_DeclareSizes(8, 2)
Anim_SetActiveHeading("Images", "Characters", "Sprites")
for facing = 0, 7 do
    Anim_SetFrame(facing, 0, "ZezazoruA")
    Anim_SetFrame(facing, 1, "ZezazoruB")
end
Anim_SetDuration(20)
Look("ZezazoruLook", "ZezazoruWobble")
