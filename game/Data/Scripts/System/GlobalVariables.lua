-- Game-wide variables that every script can read and change. Numbers hold
-- counters and story flags (0 = not yet), texts hold names.

-- Story flags.
Global_AddScriptVariableI("IntroSeen", 0)
Global_AddScriptVariableI("MetTheElder", 0)
Global_AddScriptVariableI("BridgeRepaired", 0)
-- Set when the meadow's slime has fought the party: it stays gone then.
Global_AddScriptVariableI("MeadowSlimeFought", 0)

-- Counters.
Global_AddScriptVariableI("Gold", 25)
Global_AddScriptVariableI("MapsVisited", 0)
Global_AddScriptVariableI("BattlesWon", 0)

-- Names.
Global_AddScriptVariableA("LastMap", "NONE")
Global_AddScriptVariableA("Chapter", "Prologue")
