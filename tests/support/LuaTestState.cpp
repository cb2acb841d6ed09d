#include "support/LuaTestState.h"

#include "app/LayerWiring.h"
#include "app/RegisterLuaFunctions.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptVariableSet.h"
#include "core/script/TimerManager.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "world/AIManager.h"
#include "world/BackgroundManager.h"
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/PropertyRouter.h"

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
    m_savedEntities = state->entityManager;
    m_savedCameras = state->cameraManager;
    m_savedRouter = state->propertyRouter;
    m_savedBackgrounds = state->backgroundManager;

    // The start-up order: the script host, the registrars, then the managers.
    InstallLayerHooks();
    m_lua = new LuaManager;
    state->luaManager = m_lua;
    RegisterLuaFunctions(m_lua->GetLuaState());
    m_library = new DataLibrary;
    state->dataLibrary = m_library;
    m_entities = new EntityManager;
    state->entityManager = m_entities;
    m_paths = new PathManager;
    state->pathManager = m_paths;
    m_images = new ExternalImageManager;
    state->imageManager = m_images;
    m_router = new PropertyRouter;
    state->propertyRouter = m_router;
    m_globals = new ScriptVariableSet;
    state->globalVariables = m_globals;
    // The "Default" camera gets the window size when Allegro runs, else no
    // image (a bitmap cannot be made before Allegro starts).
    bool allegro = al_is_system_installed();
    m_cameras = new CameraManager("Default", 0, 0, allegro ? state->windowWidth : 0, allegro ? state->windowHeight : 0);
    state->cameraManager = m_cameras;
    m_savedMaps = state->mapManager;
    m_maps = new MapManager;
    state->mapManager = m_maps;
    m_savedAI = state->aiManager;
    m_ai = new AIManager;
    state->aiManager = m_ai;
    m_keyboard = new KeyboardManager;
    state->keyboardManager = m_keyboard;
    m_backgrounds = new BackgroundManager;
    state->backgroundManager = m_backgrounds;
    m_timers = new TimerManager;
    state->timerManager = m_timers;
    m_savedGui = state->guiManager;
    m_gui = new GUIManager;
    state->guiManager = m_gui;
    m_savedChat = state->chatManager;
    m_chat = new ChatManager;
    state->chatManager = m_chat;
    // The combat registry comes last, as at start-up; the party manager
    // registers its script functions on this state.
    InitCombatRegistry();
}

LuaTestState::~LuaTestState() {
    GlobalState* state = GetGlobalState();
    // The battle's objects go while every manager they reach still exists.
    DestroyCombatRegistry();
    // The GUI goes first, while its slot still names it, so its objects
    // report their end to it.
    delete m_gui;
    state->guiManager = m_savedGui;
    state->chatManager = m_savedChat;
    delete m_chat;
    state->mapManager = m_savedMaps;
    delete m_maps;
    state->timerManager = m_savedTimers;
    state->backgroundManager = m_savedBackgrounds;
    delete m_ai;
    state->aiManager = m_savedAI;
    state->keyboardManager = m_savedKeyboard;
    state->globalVariables = m_savedGlobals;
    state->pathManager = m_savedPaths;
    state->dataLibrary = m_savedLibrary;
    state->imageManager = m_savedImages;
    state->entityManager = m_savedEntities;
    state->cameraManager = m_savedCameras;
    state->propertyRouter = m_savedRouter;
    state->luaManager = m_savedLua;
    delete m_timers;
    delete m_backgrounds;
    delete m_images;
    delete m_router;
    delete m_cameras;
    delete m_keyboard;
    delete m_globals;
    delete m_paths;
    delete m_entities;
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
