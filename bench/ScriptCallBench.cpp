// Cost of the script interface: a call from Lua into a registered engine
// function, a script variable read, and a data-library lookup, as the game
// does many times per frame.
#include <benchmark/benchmark.h>
#include <lua5.1/lua.hpp>

#include <string>

#include "app/RegisterLuaFunctions.h"
#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptVariableSet.h"

namespace {

struct Engine {
    Engine() {
        GlobalState* state = GetGlobalState();
        state->luaManager = &lua;
        RegisterLuaFunctions(lua.GetLuaState());
        state->dataLibrary = &library;
        state->globalVariables = &globals;
        for (int i = 0; i < 40; ++i) globals.AddNumber("Flag" + std::to_string(i), i);
        library.AddSection("Images");
        library.AddCatalogue("Images", "Misc");
        for (int h = 0; h < 10; ++h) {
            std::string heading = "Heading" + std::to_string(h);
            library.AddHeading("Images", "Misc", heading.c_str());
            for (int e = 0; e < 20; ++e) {
                std::string name = "Entry" + std::to_string(e);
                library.Register("Images", "Misc", heading.c_str(), name.c_str(), &entries[h * 20 + e],
                                 DataKind::Bitmap);
            }
        }
    }
    ~Engine() {
        GlobalState* state = GetGlobalState();
        state->luaManager = nullptr;
        state->dataLibrary = nullptr;
        state->globalVariables = nullptr;
    }
    void Run(const char* chunk) {
        lua_State* L = lua.GetLuaState();
        if (luaL_loadstring(L, chunk) == 0) lua_pcall(L, 0, 0, 0);
        lua_settop(L, 0);
    }
    LuaManager lua;
    DataLibrary library;
    ScriptVariableSet globals;
    int entries[200] = {};
};

// 1000 calls of a small engine function from one Lua loop.
void BM_ScriptCallPointInRect(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) engine.Run("for i = 1, 1000 do GN_IsPointWithinRect(i % 20, 5, 0, 0, 10, 10) end");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ScriptCallPointInRect);

// 1000 reads of a global script variable (the last of 40).
void BM_ScriptVariableRead(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) engine.Run("for i = 1, 1000 do Global_GetScriptVariableI('Flag39') end");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ScriptVariableRead);

// One data-library lookup of the last entry of the last heading.
void BM_DataLibraryLookup(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.library.GetPointer("Images", "Misc", "Heading9", "Entry19", DataKind::Bitmap));
    }
}
BENCHMARK(BM_DataLibraryLookup);

}  // namespace

BENCHMARK_MAIN();
