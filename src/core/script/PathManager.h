#pragma once
// Named directory paths ("Root", "Maps", "MapScripts", ...) from which the
// engine and scripts build file names: a name and a suffix instead of a
// literal folder.
#include <lua5.1/lua.hpp>

#include <memory>
#include <string>

class NamedList;

class PathManager {
public:
    // Starts with "Root" = "UNINITIALIZED" and registers the Path_ script
    // functions on the script host's state (when it exists).
    PathManager();
    ~PathManager();
    PathManager(const PathManager&) = delete;
    PathManager& operator=(const PathManager&) = delete;

    // The first path of that name, or null.
    const std::string* GetPath(const std::string& name) const;
    // Appends a path (an existing one of the same name stays first).
    void AddPath(const std::string& name, const std::string& path);
    // Replaces the first path of that name; nothing when absent.
    void SetPath(const std::string& name, const std::string& path);
    // name = "Root" + suffix; nothing when "Root" is absent.
    void AddPathFromRoot(const std::string& name, const std::string& suffix);
    // Replaces name with "Root" + suffix; nothing when either is absent.
    void SetPathFromRoot(const std::string& name, const std::string& suffix);
    // "Root" = the program's local path from the global state.
    void SetRootToLocal();
    // Path of that name + suffix; an unknown name prints
    // "PathManager failed to find <name>" and gives the suffix alone.
    std::string BuildPath(const std::string& name, const std::string& suffix) const;

    // Registers the six Path_ functions on a state.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // name -> heap std::string, owned by the manager.
    std::unique_ptr<NamedList> m_paths;
};
