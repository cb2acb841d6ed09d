// CFG_SetKey (used by "Configuration.lua" to bind actions to keys) and the
// KeyboardManager_ functions.
#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "core/script/ScriptArgs.h"

namespace {

// n: 0 disables player input, any other number enables it.
int KeyboardManager_SetPlayerInputState(lua_State* L) {
    static const char* const kInvalid = "KeyboardManager SetPlayerInputState:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1) || !lua_isnumber(L, 1)) return script::Fail(kInvalid);
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    if (!keyboard)
        return script::Fail("KeyboardManager SetPlayerInputState:  Failed, KeyboardManager does not exist\n");
    if (script::GetInt(L, 1) == 0)
        keyboard->DisablePlayerInput();
    else
        keyboard->EnablePlayerInput();
    return 0;
}

// Kept for older scripts: accepted and ignored.
int KeyboardManager_AttachScript(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("KeyboardManager AttachScript:  Failed, invalid argument list\n");
    return 0;
}

int KeyboardManager_DetachScript(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("KeyboardManager DetachScript:  Failed, invalid argument list\n");
    return 0;
}

// binding, key, second key: the binding answers the two named keys.
int CFG_SetKey(lua_State* L) {
    static const char* const kInvalid = "CFG_SetKey:  Failed, invalid argument list\n";
    std::string binding, key, second;
    if (!script::HasArgs(L, 3) || !script::GetText(L, 1, binding) || !script::GetText(L, 2, key) ||
        !script::GetText(L, 3, second))
        return script::Fail(kInvalid);
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    if (!keyboard) return script::Fail("CFG_SetKey:  Failed, KeyboardManager does not exist\n");
    std::string missing;
    if (!keyboard->SetBinding(binding, key, second, &missing))
        std::fprintf(stderr, "CFG_SetKey:  Failed, no key %s found\n", missing.c_str());
    return 0;
}

const script::Function kFunctions[] = {
    {"KeyboardManager_SetPlayerInputState", KeyboardManager_SetPlayerInputState},
    {"KeyboardManager_AttachScript", KeyboardManager_AttachScript},
    {"KeyboardManager_DetachScript", KeyboardManager_DetachScript},
    {"CFG_SetKey", CFG_SetKey},
    {nullptr, nullptr},
};

}  // namespace

void KeyboardManager::RegisterLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
