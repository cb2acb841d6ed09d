// Script functions of the active drawing list (AIDL_) and of the animation
// state trees being built on it (AIS_).
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/AnimationState.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"

namespace {

AIManager* Manager() { return GetGlobalState()->aiManager; }

const char* kNoList = "Active Drawing List was not set\n";

// AIDL_AddAI and AIDL_SwitchAI: (entry name, package name).
int PackageCall(lua_State* L, const char* invalid, const char* missingManager,
                void (AIDrawingList::*operation)(const std::string&, AIDrawingPackage*)) {
    if (!script::HasArgs(L, 2)) return script::Fail(invalid);
    std::string entry, packageName;
    if (!script::GetText(L, 1, entry) || !script::GetText(L, 2, packageName)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail(missingManager);
    AIDrawingPackage* package = manager->GetDrawingPackage(packageName);
    if (!package) return script::Fail("Failed to find package " + packageName + "\n");
    AIDrawingList* list = manager->GetActiveDrawingList();
    if (!list) return script::Fail(kNoList);
    (list->*operation)(entry, package);
    return 0;
}

int AIDL_AddAI(lua_State* L) {
    return PackageCall(L, "AIDL AddAI:  Failed, invalid argument list\n",
                       "AIDL AddAI:  Failed, AIManager does not exist\n", &AIDrawingList::AddAI);
}

int AIDL_SwitchAI(lua_State* L) {
    return PackageCall(L, "AIDL SwitchAI:  Failed, invalid argument list\n",
                       "AIDL SwitchAI:  Failed, AIManager does not exist\n", &AIDrawingList::SwitchAI);
}

int AIDL_SetAIPalette(lua_State* L) {
    const char* invalid = "AIDL SetAIPalette:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 2)) return script::Fail(invalid);
    std::string entry;
    if (!script::GetText(L, 1, entry)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDL SetAIPalette:  Failed, AIManager does not exist\n");
    AIDrawingList* list = manager->GetActiveDrawingList();
    if (!list) return script::Fail(kNoList);
    list->SetAIPalette(entry, script::GetInt(L, 2));
    return 0;
}

// AIDL_EnableAI, AIDL_DisableAI, AIDL_RemoveAI: (entry name).
int EntryCall(lua_State* L, const char* invalid, const char* missingManager,
              void (AIDrawingList::*operation)(const std::string&)) {
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string entry;
    if (!script::GetText(L, 1, entry)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail(missingManager);
    AIDrawingList* list = manager->GetActiveDrawingList();
    if (!list) return script::Fail(kNoList);
    (list->*operation)(entry);
    return 0;
}

int AIDL_EnableAI(lua_State* L) {
    return EntryCall(L, "AIDL EnableAI:  Failed, invalid argument list\n",
                     "AIDL EnableAI:  Failed, AIManager does not exist\n", &AIDrawingList::EnableAI);
}

int AIDL_DisableAI(lua_State* L) {
    return EntryCall(L, "AIDL DisableAI:  Failed, invalid argument list\n",
                     "AIDL DisableAI:  Failed, AIManager does not exist\n", &AIDrawingList::DisableAI);
}

int AIDL_RemoveAI(lua_State* L) {
    return EntryCall(L, "AIDL RemoveAI:  Failed, invalid argument list\n",
                     "AIDL RemoveAI:  Failed, AIManager does not exist\n", &AIDrawingList::RemoveAI);
}

int AIDL_ClearAIList(lua_State*) {
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDL ClearAIList:  Failed, AIManager does not exist\n");
    AIDrawingList* list = manager->GetActiveDrawingList();
    if (!list) return script::Fail(kNoList);
    list->ClearAIList();
    return 0;
}

// The active drawing list's state trees become the list AIS_AddState adds to.
int SetBaseState(AIManager* manager) {
    AIDrawingList* list = manager->GetActiveDrawingList();
    if (!list) return script::Fail("AIDL_SetBaseStateToActive:  Failed, Active Drawing List was not set\n");
    manager->SetActiveAnimationState(nullptr, &list->GetStateTrees());
    return 0;
}

int AIDL_SetBaseStateToActive(lua_State*) {
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDL_SetBaseStateToActive:  Failed, AIManager does not exist\n");
    return SetBaseState(manager);
}

int AIDL_SetActiveStateList(lua_State* L) {
    const char* invalid = "AIDL SetActiveStateList:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIDL_SetActiveStateList:  Failed, AIManager does not exist\n");
    if (name == "Base") return SetBaseState(manager);
    AnimationStateList* current = manager->GetCurrentStateList();
    if (!current) return script::Fail("AIDL_SetActiveStateList:  Failed, no Animation State is active\n");
    AnimationState* state = current->Find(name);
    if (!state)
        return script::Fail("AIDL_SetActiveStateList:  Failed, no state by name " + name + " in active state\n");
    manager->SetActiveAnimationState(state, &state->GetChildren());
    return 0;
}

int AIS_AddState(lua_State* L) {
    const char* invalid = "AIS AddState:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 6)) return script::Fail(invalid);
    std::string name, ownerKind, owner, property;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 3, ownerKind) || !script::GetText(L, 4, owner) ||
        !script::GetText(L, 5, property))
        return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIS AddState:  Failed, AIManager does not exist\n");
    AnimationStateList* current = manager->GetCurrentStateList();
    if (!current) return script::Fail("AID AddState: Failed, no Active State List set\n");
    const uint8_t compare = script::GetFlag(L, 6) ? 1 : 0;
    current->Add(name, new AnimationState(script::GetInt(L, 2), ownerKind, owner, property, compare));
    return script::PushNumber(L, 1);
}

const script::Function kFunctions[] = {
    {"AIDL_AddAI", AIDL_AddAI},
    {"AIDL_SwitchAI", AIDL_SwitchAI},
    {"AIDL_SetAIPalette", AIDL_SetAIPalette},
    {"AIDL_EnableAI", AIDL_EnableAI},
    {"AIDL_DisableAI", AIDL_DisableAI},
    {"AIDL_RemoveAI", AIDL_RemoveAI},
    {"AIDL_ClearAIList", AIDL_ClearAIList},
    {"AIDL_SetBaseStateToActive", AIDL_SetBaseStateToActive},
    {"AIDL_SetActiveStateList", AIDL_SetActiveStateList},
    {"AIS_AddState", AIS_AddState},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIDrawingListLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
