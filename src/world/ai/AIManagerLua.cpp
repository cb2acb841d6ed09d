// Script functions of the AI manager: choosing and creating the AI objects
// the other AI families act on (AIM_), and the active AI package (AI_).
#include <lua5.1/lua.hpp>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "world/Animation.h"
#include "world/ai/AIAutoScriptPackage.h"
#include "world/ai/AIBasePackage.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIFollowingPackage.h"
#include "world/ai/AIManager.h"
#include "world/ai/AIValueRouter.h"
#include "world/ai/AIValueScaleRouter.h"

namespace {

AIManager* Manager() { return GetGlobalState()->aiManager; }

int AIM_SetActiveAIObject(lua_State* L) {
    const char* invalid = "AIM SetActiveAIObject:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 4)) return script::Fail(invalid);
    std::string kind, ownerKind, owner, property;
    if (!script::GetText(L, 1, kind) || !script::GetText(L, 2, ownerKind) || !script::GetText(L, 3, owner) ||
        !script::GetText(L, 4, property))
        return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIM SetActiveAIObject:  Failed, AIManager does not exist\n");
    PropertyRouter* router = GetGlobalState()->propertyRouter;
    if (!router) return script::Fail("AIM SetActiveAIObject:  Failed, PropertyRouter does not exist\n");

    void* address = router->Route(ownerKind, owner, property);
    const int32_t type = router->GetValueType();
    // A found address must be an object of the kind asked for: anything else
    // would be used as that kind and written through.
    const std::string mismatch =
        "AIM SetActiveAIObject:  Failed, " + ownerKind + " " + owner + " " + property + " is not a " + kind + "\n";
    if (kind == "DrawingList") {
        if (address && type != PropertyRouter::kDrawingList) return script::Fail(mismatch);
        manager->SetActiveDrawingList(static_cast<AIDrawingList*>(address));
    } else if (kind == "FloatingAI") {
        if (address && !manager->HoldsFloatingPackage(address)) return script::Fail(mismatch);
        manager->SetActiveAIObject(static_cast<AIBasePackage*>(address));
    } else if (kind == "DrawingPackage") {
        if (address && !manager->HoldsDrawingPackage(address)) return script::Fail(mismatch);
        manager->SetActiveDrawingPackage(static_cast<AIDrawingPackage*>(address));
    } else if (kind == "Animation") {
        if (address && !manager->HoldsAnimation(address)) return script::Fail(mismatch);
        manager->SetActiveAnimation(static_cast<Animation*>(address));
    } else {
        return script::Fail("AIM SetActiveAIObject:  Failed, could not discern type " + kind + "\n");
    }
    return 0;
}

// The argument count is not tested: the script path and code are only read
// for the auto-script package.
int AIM_CreateObject(lua_State* L) {
    const char* invalid = "AIM CreateObject:  Failed, invalid argument list\n";
    std::string name, list, kind;
    if (!script::GetText(L, 1, name) || !script::GetText(L, 2, list) || !script::GetText(L, 3, kind))
        return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIM CreateObject:  Failed, AIManager does not exist\n");
    if (!AIManager::IsListName(list)) return script::Fail("AIM_CreateObject: Invalid SubList specifier\n");

    if (kind == "AIValueRouter" || kind == "AIValueScaleRouter" || kind == "AIAutoScript") {
        AIBasePackage* package = nullptr;
        if (kind == "AIValueRouter") {
            package = new AIValueRouter;
        } else if (kind == "AIValueScaleRouter") {
            package = new AIValueScaleRouter;
        } else {
            // The script path and code (arguments 4 and 5); no script runs
            // nothing.
            auto* autoScript = new AIAutoScriptPackage;
            std::string path;
            if (script::GetText(L, 4, path)) autoScript->SetScript(path, script::GetInt(L, 5));
            package = autoScript;
        }
        if (!manager->AddFloatingPackage(name, package, list)) {
            delete package;
            return script::Fail("AIM CreateObject:  Failed, could not add " + name + "\n");
        }
        manager->SetActiveAIObject(package);
        return 0;
    }
    if (kind == "AIDrawingPackage") {
        AIDrawingPackage* package = new AIDrawingPackage;
        manager->AddDrawingPackage(name, package, list);
        manager->SetActiveDrawingPackage(package);
    } else if (kind == "Animation") {
        Animation* animation = new Animation;
        manager->AddAnimation(name, animation, list);
        manager->SetActiveAnimation(animation);
    } else {
        return script::Fail("AIM CreateObject:  Failed, invalid object specifier " + kind + "\n");
    }
    return 0;
}

int AIM_DeleteObject(lua_State* L) {
    const char* invalid = "AIM DeleteObject:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 2)) return script::Fail(invalid);
    std::string list, name;
    if (!script::GetText(L, 1, list) || !script::GetText(L, 2, name)) return script::Fail(invalid);
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AIM DeleteObject:  Failed, AIManager does not exist\n");
    manager->DeleteObject(list, name);
    return 0;
}

int AI_GetType(lua_State* L) {
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AI_GetType:  Failed, AIManager does not exist\n");
    AIBasePackage* package = manager->GetActiveAIObject();
    if (!package) return script::Fail("AI_GetType:  Active AI was not set.\n");
    return script::PushNumber(L, package->GetType());
}

int AI_Activate(lua_State*) {
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AI_Activate:  Failed, AIManager does not exist\n");
    AIBasePackage* package = manager->GetActiveAIObject();
    if (!package) return script::Fail("AI_Activate: Active AI was not set\n");
    package->Enable();
    return 0;
}

int AI_Deactivate(lua_State*) {
    AIManager* manager = Manager();
    if (!manager) return script::Fail("AI_Deactivate:  Failed, AIManager does not exist\n");
    AIBasePackage* package = manager->GetActiveAIObject();
    if (!package) return script::Fail("AI_Deactivate: Active AI was not set\n");
    package->Disable();
    return 0;
}

const script::Function kFunctions[] = {
    {"AIM_SetActiveAIObject", AIM_SetActiveAIObject},
    {"AIM_CreateObject", AIM_CreateObject},
    {"AIM_DeleteObject", AIM_DeleteObject},
    {"AI_GetType", AI_GetType},
    {"AI_Activate", AI_Activate},
    {"AI_Deactivate", AI_Deactivate},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAIManagerLuaFunctions(lua_State* L) {
    if (!L) return;
    script::Register(L, kFunctions);
    RegisterAIDrawingPackageLuaFunctions(L);
    RegisterAIDrawingListLuaFunctions(L);
    RegisterAIFollowingPackageLuaFunctions(L);
    RegisterAIValueRouterLuaFunctions(L);
    RegisterAIValueScaleRouterLuaFunctions(L);
}
