-- Clicked on a dungeon floor's ladder: one floor up.
MapM_ChangeFloor(-1, 0)
