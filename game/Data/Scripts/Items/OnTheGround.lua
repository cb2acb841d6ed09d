-- Clicked on an item lying on the ground.
StoneNotice("Walk onto it to pick it up.")
