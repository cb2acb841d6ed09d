-- An enemy's leap: 25 points on a low arc from where it stands to where it
-- strikes (or back), read from Character_GetMoveData and written with
-- Character_SetFrameWrapperSlot. The display-list entry alternates every
-- four points, so the moving pose flaps or squashes on the way.
local count, fromX, fromY, toX, toY = Character_GetMoveData()
if count == nil or count < 1 then return end
for i = 0, count - 1 do
    local t = (count > 1) and i / (count - 1) or 1
    local x = fromX + (toX - fromX) * t
    local y = fromY + (toY - fromY) * t
    local z = 24 * math.sin(t * math.pi)
    Character_SetFrameWrapperSlot(i, x, y, z, math.floor(i / 4) % 2)
end
