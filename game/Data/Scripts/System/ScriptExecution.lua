-- Last of the start-up scripts: starts the clocks the game's scripts read and
-- applies the settings of a new game through the shared helper scripts.

-- Ticks since start-up (60 a second while the game runs, paused on the title
-- screen and in battles), and the clock of the current chapter.
TimerManager_AddTimer("PlayTime", 0)
TimerManager_AddTimer("ChapterTime", 0)

-- A new game starts in the prologue with the intro still to be seen.
LM_ExecuteScriptWithArguments("Data/Scripts/System/Helpers/SetNumber.lua", "AN", "IntroSeen", 0)
LM_ExecuteScriptWithArguments("Data/Scripts/System/Helpers/SetText.lua", "AA", "Chapter", "Prologue")

-- The helpers can also be reached through the named script folder.
LM_ExecuteScript("Scripts", "System/Helpers/CountRun.lua", -1)

-- The welcome window the player sees on the title screen.
LM_ExecuteScript("Scripts", "System/Windows/Welcome.lua", -1)

-- The battle side: the party's poses, the enemies and the starting party.
LM_ExecuteScript("Scripts", "Combat/Setup.lua", -1)

-- The world window behind it, with the scenery.
LM_ExecuteScript("Scripts", "System/Windows/World.lua", -1)

-- One line in the log, so whoever reads it sees the game's state at start.
io.stderr:write(string.format("Game ready: %s, %d gold, started %d time(s)\n",
    Global_GetScriptVariableA("Chapter"), Global_GetScriptVariableI("Gold"),
    Global_GetScriptVariableI("StartCount")))
