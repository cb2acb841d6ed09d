-- A party member's leap in battle: 25 points from where it stands to where
-- it lands, one per tick. It rises in an arc (z is the height above the
-- ground) and lands a little past the halfway height on its way down, then
-- settles; the display entry alternates every four ticks so the moving
-- pose steps.
local count, fromX, fromY, toX, toY = Character_GetMoveData()
if count == nil then return end

local height = 36
for i = 0, count - 1 do
    local t = i / (count - 1)
    -- Ease in and out along the ground, so the take-off and landing are soft.
    local along = t * t * (3 - 2 * t)
    local x = fromX + (toX - fromX) * along
    local y = fromY + (toY - fromY) * along
    local z = height * math.sin(t * math.pi)
    local entry = math.floor(i / 4) % 2
    Character_SetFrameWrapperSlot(i, x, y, z, entry)
end
