#include "support/LuaTestState.h"

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptVariableSet.h"
#include "core/script/TimerManager.h"
#include "support/TestWiring.h"
#ifdef QEL_TEST_HAS_APP
#include "app/RegisterLuaFunctions.h"
#else
#include "support/LayerLuaFunctions.h"
#endif
#ifdef QEL_TEST_HAS_CORE_MEDIA
#include "core/media/ExternalImageManager.h"
#endif
#ifdef QEL_TEST_HAS_GUI
#include "gui/GUIManager.h"
#endif
#ifdef QEL_TEST_HAS_COMBAT
#include "combat/CombatRegistry.h"
#endif
#ifdef QEL_TEST_HAS_WORLD
#include "world/BackgroundManager.h"
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/ai/AIManager.h"
#endif
#ifdef QEL_TEST_HAS_MAPS
#include "maps/MapManager.h"
#endif

namespace testsupport {

namespace {

template <class T> T* MakeNew() { return new T; }

#ifdef QEL_TEST_HAS_WORLD
// The "Default" camera gets the window size when Allegro runs, else no
// image (a bitmap cannot be made before Allegro starts).
CameraManager* MakeCameras() {
    GlobalState* state = GetGlobalState();
    bool allegro = al_is_system_installed();
    return new CameraManager("Default", 0, 0, allegro ? state->windowWidth : 0, allegro ? state->windowHeight : 0);
}
#endif

}  // namespace

template <class T, T* GlobalState::*Slot, T* LuaTestState::*Member, T* (*Make)()> void LuaTestState::Install() {
    GlobalState* state = GetGlobalState();
    T* saved = state->*Slot;
    T* made = Make();
    state->*Slot = made;
    this->*Member = made;
    m_undo.push_back([made, saved] {
        delete made;
        GetGlobalState()->*Slot = saved;
    });
}

// A test program of a lower layer makes the managers of its layers alone.
const LuaTestState::InstallStep LuaTestState::kManagers[] = {
    &LuaTestState::Install<DataLibrary, &GlobalState::dataLibrary, &LuaTestState::m_library, MakeNew>,
#ifdef QEL_TEST_HAS_WORLD
    &LuaTestState::Install<EntityManager, &GlobalState::entityManager, &LuaTestState::m_entities, MakeNew>,
#endif
    &LuaTestState::Install<PathManager, &GlobalState::pathManager, &LuaTestState::m_paths, MakeNew>,
#ifdef QEL_TEST_HAS_CORE_MEDIA
    &LuaTestState::Install<ExternalImageManager, &GlobalState::imageManager, &LuaTestState::m_images, MakeNew>,
#endif
    &LuaTestState::Install<PropertyRouter, &GlobalState::propertyRouter, &LuaTestState::m_router, MakeNew>,
    &LuaTestState::Install<ScriptVariableSet, &GlobalState::globalVariables, &LuaTestState::m_globals, MakeNew>,
#ifdef QEL_TEST_HAS_WORLD
    &LuaTestState::Install<CameraManager, &GlobalState::cameraManager, &LuaTestState::m_cameras, MakeCameras>,
#endif
#ifdef QEL_TEST_HAS_MAPS
    &LuaTestState::Install<MapManager, &GlobalState::mapManager, &LuaTestState::m_maps, MakeNew>,
#endif
#ifdef QEL_TEST_HAS_WORLD
    &LuaTestState::Install<AIManager, &GlobalState::aiManager, &LuaTestState::m_ai, MakeNew>,
#endif
    &LuaTestState::Install<KeyboardManager, &GlobalState::keyboardManager, &LuaTestState::m_keyboard, MakeNew>,
#ifdef QEL_TEST_HAS_WORLD
    &LuaTestState::Install<BackgroundManager, &GlobalState::backgroundManager, &LuaTestState::m_backgrounds, MakeNew>,
#endif
    &LuaTestState::Install<TimerManager, &GlobalState::timerManager, &LuaTestState::m_timers, MakeNew>,
#ifdef QEL_TEST_HAS_GUI
    &LuaTestState::Install<GUIManager, &GlobalState::guiManager, &LuaTestState::m_gui, MakeNew>,
#endif
#ifdef QEL_TEST_HAS_WORLD
    &LuaTestState::Install<ChatManager, &GlobalState::chatManager, &LuaTestState::m_chat, MakeNew>,
#endif
};

LuaTestState::LuaTestState() {
    // The start-up order: the script host, the registrars, then the managers.
    InstallTestWiring();
    Install<LuaManager, &GlobalState::luaManager, &LuaTestState::m_lua, MakeNew>();
#ifdef QEL_TEST_HAS_APP
    RegisterLuaFunctions(m_lua->GetLuaState());
#else
    RegisterLayerLuaFunctions(m_lua->GetLuaState());
#endif
    for (InstallStep install : kManagers) (this->*install)();
#ifdef QEL_TEST_HAS_COMBAT
    // The combat registry comes last, as at start-up (the party manager
    // registers its script functions on this state), and goes first.
    InitCombatRegistry();
    m_undo.push_back([] { DestroyCombatRegistry(); });
#endif
}

LuaTestState::~LuaTestState() {
    for (auto undo = m_undo.rbegin(); undo != m_undo.rend(); ++undo) (*undo)();
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
