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
// start-up order. When it goes, it deletes what it created in the reverse
// order, each while its slot still names it, and puts every slot back as it
// was.
#include <lua5.1/lua.hpp>

#include <functional>
#include <string>
#include <vector>

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
struct GlobalState;

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
    // Makes a T into its global-state slot and keeps it in `Member`; the
    // destructor deletes it and puts the slot back.
    template <class T, T* GlobalState::*Slot, T* LuaTestState::*Member, T* (*Make)()> void Install();
    using InstallStep = void (LuaTestState::*)();
    // Every manager after the script host, in start-up order.
    static const InstallStep kManagers[];

    LuaManager* m_lua = nullptr;
    DataLibrary* m_library = nullptr;
    PathManager* m_paths = nullptr;
    ScriptVariableSet* m_globals = nullptr;
    KeyboardManager* m_keyboard = nullptr;
    TimerManager* m_timers = nullptr;
    ExternalImageManager* m_images = nullptr;
    PropertyRouter* m_router = nullptr;
    GUIManager* m_gui = nullptr;
    EntityManager* m_entities = nullptr;
    CameraManager* m_cameras = nullptr;
    BackgroundManager* m_backgrounds = nullptr;
    AIManager* m_ai = nullptr;
    MapManager* m_maps = nullptr;
    ChatManager* m_chat = nullptr;
    // What the destructor does, one step a manager, run from the last.
    std::vector<std::function<void()>> m_undo;
    std::string m_lastError;
};

}  // namespace testsupport
