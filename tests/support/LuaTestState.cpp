#include "support/LuaTestState.h"

#include "core/DataLibrary.h"
#include "core/ExternalImageManager.h"
#include "core/GlobalState.h"
#include "core/KeyboardManager.h"
#include "core/LuaManager.h"
#include "core/RegisterLuaFunctions.h"
#include "core/ScriptVariableSet.h"
#include "core/TimerManager.h"
#include "world/PathManager.h"

namespace testsupport {

LuaTestState::LuaTestState() {
    GlobalState* state = GetGlobalState();
    m_savedLua = state->luaManager;
    m_savedLibrary = state->dataLibrary;
    m_savedKeyboard = state->keyboardManager;
    m_savedPaths = state->pathManager;
    m_savedGlobals = state->globalVariables;
    m_savedTimers = state->timerManager;
    m_savedImages = state->imageManager;

    // The start-up order: the script host, the registrars, then the managers.
    m_lua = new LuaManager;
    state->luaManager = m_lua;
    RegisterLuaFunctions(m_lua->GetLuaState());
    m_library = new DataLibrary;
    state->dataLibrary = m_library;
    m_paths = new PathManager;
    state->pathManager = m_paths;
    m_images = new ExternalImageManager;
    state->imageManager = m_images;
    m_globals = new ScriptVariableSet;
    state->globalVariables = m_globals;
    m_keyboard = new KeyboardManager;
    state->keyboardManager = m_keyboard;
    m_timers = new TimerManager;
    state->timerManager = m_timers;
}

LuaTestState::~LuaTestState() {
    GlobalState* state = GetGlobalState();
    state->timerManager = m_savedTimers;
    state->keyboardManager = m_savedKeyboard;
    state->globalVariables = m_savedGlobals;
    state->pathManager = m_savedPaths;
    state->dataLibrary = m_savedLibrary;
    state->imageManager = m_savedImages;
    state->luaManager = m_savedLua;
    delete m_timers;
    delete m_images;
    delete m_keyboard;
    delete m_globals;
    delete m_paths;
    delete m_library;
    delete m_lua;
}

lua_State* LuaTestState::L() const { return m_lua->GetLuaState(); }

bool LuaTestState::Run(const std::string& chunk) {
    lua_State* L = this->L();
    int top = lua_gettop(L);
    m_lastError.clear();
    int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=test");
    if (status == 0) status = lua_pcall(L, 0, 0, 0);
    if (status != 0) {
        const char* message = lua_tostring(L, -1);
        m_lastError = message ? message : "(no message)";
    }
    lua_settop(L, top);
    return status == 0;
}

double LuaTestState::GetNumber(const std::string& name) const {
    lua_State* L = this->L();
    lua_getglobal(L, name.c_str());
    double value = lua_type(L, -1) == LUA_TNUMBER ? lua_tonumber(L, -1) : 0.0;
    lua_pop(L, 1);
    return value;
}

std::string LuaTestState::GetString(const std::string& name) const {
    lua_State* L = this->L();
    lua_getglobal(L, name.c_str());
    std::string value;
    if (lua_type(L, -1) == LUA_TSTRING) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        value.assign(text, length);
    }
    lua_pop(L, 1);
    return value;
}

int LuaTestState::GetType(const std::string& name) const {
    lua_State* L = this->L();
    lua_getglobal(L, name.c_str());
    int type = lua_type(L, -1);
    lua_pop(L, 1);
    return type;
}

}  // namespace testsupport
