-- Key bindings: CFG_SetKey(action, key, second key); "NONE" leaves a slot
-- empty. Key names: ARROW_UP, A to Z, 0 to 9, F1 to F12, SPACE, ENTER,
-- ESCAPE, LSHIFT, RSHIFT, CAPSLOCK, TAB and the others the engine knows.

-- Movement and the menus (arrows or W A S D).
CFG_SetKey("Up", "ARROW_UP", "W")
CFG_SetKey("Down", "ARROW_DOWN", "S")
CFG_SetKey("Left", "ARROW_LEFT", "A")
CFG_SetKey("Right", "ARROW_RIGHT", "D")
CFG_SetKey("Accept", "Z", "NONE")
CFG_SetKey("Cancel", "X", "NONE")

-- Pace.
CFG_SetKey("RunHold", "LSHIFT", "RSHIFT")
CFG_SetKey("RunToggle", "CAPSLOCK", "NONE")
CFG_SetKey("TrotToggle", "T", "NONE")

-- Actions.
CFG_SetKey("Jump", "SPACE", "NONE")
CFG_SetKey("Buck", "Z", "NONE")
CFG_SetKey("Rise", "Z", "NONE")
CFG_SetKey("Drop", "X", "NONE")

-- Weapons.
CFG_SetKey("Weapon1", "1", "NONE")
CFG_SetKey("Weapon2", "2", "NONE")
CFG_SetKey("Weapon3", "3", "NONE")
CFG_SetKey("Weapon4", "4", "NONE")
CFG_SetKey("Weapon5", "5", "NONE")

-- Windows.
CFG_SetKey("Menu", "ESCAPE", "NONE")
CFG_SetKey("Inventory", "I", "NONE")
CFG_SetKey("Chat", "ENTER", "NONE")
