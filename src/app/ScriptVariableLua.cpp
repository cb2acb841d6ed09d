// The 21 script-variable functions: seven operations on three scopes.
//   NPC_    the active character's variables
//   Env_    the current map environment's variables
//   Global_ the game-wide variables
// "I" functions hold numbers, "A" functions texts. Add, Delete and Set push 1
// on success; the getters push the value.
#include "app/ScriptVariableLua.h"

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "core/script/ScriptVariableSet.h"
#include "maps/MapManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

namespace {

enum class Scope { NPC, Env, Global };
enum class Op { AddI, AddA, Delete, GetI, GetA, SetI, SetA };

constexpr const char* ScopeName(Scope scope) {
    switch (scope) {
        case Scope::NPC: return "NPC";
        case Scope::Env: return "Env";
        default: return "Global";
    }
}

constexpr const char* OpName(Op op) {
    switch (op) {
        case Op::AddI: return "AddScriptVariableI";
        case Op::AddA: return "AddScriptVariableA";
        case Op::Delete: return "DeleteScriptVariable";
        case Op::GetI: return "GetScriptVariableI";
        case Op::GetA: return "GetScriptVariableA";
        case Op::SetI: return "SetScriptVariableI";
        default: return "SetScriptVariableA";
    }
}

constexpr int ArgCount(Op op) { return op == Op::Delete || op == Op::GetI || op == Op::GetA ? 1 : 2; }

// "<Scope> <Operation>:  Failed, <reason>\n"
int FailLine(Scope scope, Op op, const char* reason) {
    return script::Lines{std::string(ScopeName(scope)) + " " + OpName(op)}.Fail(reason);
}

// The entity manager's active character's variables (never the player's),
// or null; the manager's lookup prints its own line when none is active.
ScriptVariableSet* ActiveCharacterVariables(EntityManager* entities) {
    auto* character = dynamic_cast<NonPlayingCharacter*>(entities->GetActiveNPC());
    if (!character || character->GetType() == kTypePlayer) return nullptr;
    return character->GetVariableList();
}

// The set a scope works on, or null after printing the scope's line.
ScriptVariableSet* FindSet(Scope scope, Op op) {
    GlobalState* state = GetGlobalState();
    switch (scope) {
        case Scope::NPC: {
            if (!state->entityManager) {
                FailLine(scope, op, "EntityManager does not exist");
                return nullptr;
            }
            ScriptVariableSet* set = ActiveCharacterVariables(state->entityManager);
            // Every NPC_ function reports a missing character with the same line.
            if (!set) script::Fail("NPC AddScriptVariableI:  Failed, Active NPC not set\n");
            return set;
        }
        case Scope::Env:
            // The environment set belongs to the map manager.
            if (!state->mapManager) {
                FailLine(scope, op, "MapManager does not exist");
                return nullptr;
            }
            return state->mapManager->GetEnvironmentVariables();
        default:
            if (!state->globalVariables) FailLine(scope, op, "ScriptVariableSet does not exist");
            return state->globalVariables;
    }
}

template <Scope S, Op O> int VariableFunction(lua_State* L) {
    // NPC_AddScriptVariableI checks its arguments before the character; the
    // other NPC_ functions check the character first.
    const bool characterFirst = S == Scope::NPC && O != Op::AddI;
    ScriptVariableSet* set = nullptr;
    if (characterFirst && !(set = FindSet(S, O))) return 0;

    std::string name, text;
    bool valid = script::HasArgs(L, ArgCount(O)) && script::GetText(L, 1, name);
    if (valid && (O == Op::AddA || O == Op::SetA)) valid = script::GetText(L, 2, text);
    if (!valid) return FailLine(S, O, "invalid argument list");

    if (!characterFirst && !(set = FindSet(S, O))) return 0;

    switch (O) {
        case Op::AddI: set->AddNumber(name, static_cast<float>(script::GetNumber(L, 2))); break;
        case Op::AddA: set->AddString(name, text); break;
        case Op::Delete: set->Delete(name); break;
        case Op::GetI: return script::PushNumber(L, set->GetNumber(name));
        case Op::GetA: {
            const std::string* value = set->GetString(name);
            if (!value) {
                lua_pushnil(L);
                return 1;
            }
            return script::PushText(L, *value);
        }
        case Op::SetI: set->SetNumber(name, static_cast<float>(script::GetNumber(L, 2))); break;
        case Op::SetA: set->SetString(name, text); break;
    }
    return script::PushNumber(L, 1);
}

// clang-format off
#define QEL_VARIABLE_SCOPE(prefix, scope)                                                   \
    {prefix "_AddScriptVariableI", VariableFunction<scope, Op::AddI>},                     \
        {prefix "_AddScriptVariableA", VariableFunction<scope, Op::AddA>},                 \
        {prefix "_DeleteScriptVariable", VariableFunction<scope, Op::Delete>},             \
        {prefix "_GetScriptVariableI", VariableFunction<scope, Op::GetI>},                 \
        {prefix "_GetScriptVariableA", VariableFunction<scope, Op::GetA>},                 \
        {prefix "_SetScriptVariableI", VariableFunction<scope, Op::SetI>},                 \
        {prefix "_SetScriptVariableA", VariableFunction<scope, Op::SetA>}
// clang-format on

const script::Function kVariableFunctions[] = {
    QEL_VARIABLE_SCOPE("NPC", Scope::NPC),
    QEL_VARIABLE_SCOPE("Env", Scope::Env),
    QEL_VARIABLE_SCOPE("Global", Scope::Global),
    {nullptr, nullptr},
};

#undef QEL_VARIABLE_SCOPE

}  // namespace

void RegisterScriptVariableLuaFunctions(lua_State* L) { script::Register(L, kVariableFunctions); }
