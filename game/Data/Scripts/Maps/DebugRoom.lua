-- The meadow: the level every way back from the dungeon leads to. It runs
-- once each time the level loads.
--
-- Behind the level's edges the world window's night sky shows; over the
-- meadow itself the level covers it. The title music carries on here.
MapM_SetBackgroundDisplayState(1)
MapM_SetMapDisplayState(1)
MapM_SetAmbientMusic("TitleTheme")
