-- Named folders the engine and the scripts build file names from: a name and
-- a file instead of a literal folder. The game runs with this folder as its
-- working directory, so "Root" is the working directory itself.
Path_SetPath("Root", "")

Path_AddPathFromRoot("Scripts", "Data/Scripts/")         -- LM_ExecuteScript("Scripts", file, code)
Path_AddPathFromRoot("Maps", "Data/Maps/")               -- level and map files
Path_AddPathFromRoot("MapScripts", "Data/Scripts/Maps/") -- one script per map, run when it loads
Path_AddPathFromRoot("Decompress", "Data/Decompress/")   -- inflated copies of the image archives
