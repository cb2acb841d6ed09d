-- Run twice a second by the meadow's notice keeper (MeadowItems.lua): hides
-- the notice at the top of the screen once it has been up for its time.
if not NoticeRunsLeft then return end
NoticeRunsLeft = NoticeRunsLeft - 1
if NoticeRunsLeft <= 0 then StoneNotice(nil) end
