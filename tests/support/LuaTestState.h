#pragma once
// A Lua state with the engine's script functions, for tests.
//
//   testsupport::LuaTestState lua;
//   lua.Run("x = Get_Random_Number(1, 6)");
//   EXPECT_EQ(lua.GetNumber("x"), ...);
//
// Creates a LuaManager into its GlobalState slot, runs RegisterLuaFunctions,
// and creates the managers that exist and that scripts reach (data library,
// paths, global script variables, keyboard, timers) into their slots, in
// start-up order. The slots it set are put back
// as they were, and what it created is deleted, when it goes.
#include <lua5.1/lua.hpp>

#include <string>

class AIManager;
class BackgroundManager;
class CameraManager;
class ChatManager;
class DataLibrary;
class EntityManager;
class ExternalImageManager;
class GUIManager;
class KeyboardManager;
class LuaManager;
class MapManager;
class PathManager;
class PropertyRouter;
class ScriptVariableSet;
class TimerManager;

namespace testsupport {

class LuaTestState {
public:
    LuaTestState();
    ~LuaTestState();
    LuaTestState(const LuaTestState&) = delete;
    LuaTestState& operator=(const LuaTestState&) = delete;

    lua_State* L() const;
    LuaManager& Manager() const { return *m_lua; }
    DataLibrary& Library() const { return *m_library; }
    PathManager& Paths() const { return *m_paths; }
    KeyboardManager& Keyboard() const { return *m_keyboard; }
    ScriptVariableSet& GlobalVariables() const { return *m_globals; }
    TimerManager& Timers() const { return *m_timers; }
    PropertyRouter& Router() const { return *m_router; }
    GUIManager& Gui() const { return *m_gui; }
    ExternalImageManager& Images() const { return *m_images; }
    EntityManager& Entities() const { return *m_entities; }
    CameraManager& Cameras() const { return *m_cameras; }
    BackgroundManager& Backgrounds() const { return *m_backgrounds; }
    AIManager& AI() const { return *m_ai; }
    MapManager& Maps() const { return *m_maps; }
    ChatManager& Chat() const { return *m_chat; }

    // Runs a chunk; false (message in LastError) when it fails to compile or
    // raises an error. The stack is left as it was.
    bool Run(const std::string& chunk);
    const std::string& LastError() const { return m_lastError; }

    // Globals: the number (0 when not a number), the text (empty when not a
    // string), the Lua type (LUA_TNIL ...).
    double GetNumber(const std::string& name) const;
    std::string GetString(const std::string& name) const;
    int GetType(const std::string& name) const;
    bool IsNil(const std::string& name) const { return GetType(name) == LUA_TNIL; }

private:
    LuaManager* m_lua;
    DataLibrary* m_library;
    PathManager* m_paths;
    ScriptVariableSet* m_globals;
    KeyboardManager* m_keyboard;
    TimerManager* m_timers;
    ExternalImageManager* m_images;
    PropertyRouter* m_router;
    GUIManager* m_gui;
    GUIManager* m_savedGui;
    PropertyRouter* m_savedRouter;
    ExternalImageManager* m_savedImages;
    EntityManager* m_entities;
    EntityManager* m_savedEntities;
    CameraManager* m_cameras;
    CameraManager* m_savedCameras;
    BackgroundManager* m_backgrounds;
    BackgroundManager* m_savedBackgrounds;
    AIManager* m_ai;
    AIManager* m_savedAI;
    MapManager* m_maps;
    MapManager* m_savedMaps;
    ChatManager* m_chat;
    ChatManager* m_savedChat;
    LuaManager* m_savedLua;
    DataLibrary* m_savedLibrary;
    PathManager* m_savedPaths;
    ScriptVariableSet* m_savedGlobals;
    KeyboardManager* m_savedKeyboard;
    TimerManager* m_savedTimers;
    std::string m_lastError;
};

}  // namespace testsupport
