#include "world/PropertyRoutes.h"

#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/RootEntity.h"
#include "core/script/PropertyRouter.h"
#include "world/BackgroundManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ObjectBase.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIManager.h"

namespace {

using Target = PropertyRouter::Target;

Target RoutePlayer(const std::string&, const std::string& property) {
    Target target;
    if (PlayerVorn* player = GetGlobalState()->player)
        target.address = player->GetPropertyAddress(property, &target.source);
    return target;
}

Target RouteAIManager(const std::string& owner, const std::string& property) {
    Target target;
    // AI objects are found by name; the address is the object itself.
    if (AIManager* ai = GetGlobalState()->aiManager) {
        target.address = ai->GetPropertyAddress(owner, property);
        target.source = target.address;
    }
    return target;
}

Target RouteActiveAIDrawingList(const std::string&, const std::string& property) {
    Target target;
    AIManager* ai = GetGlobalState()->aiManager;
    AIDrawingList* list = ai ? ai->GetActiveDrawingList() : nullptr;
    if (!list) {
        std::fputs("Routing Function:  Failed, no Active Drawing List set\n", stderr);
    } else {
        target.address = list->GetPropertyAddress(property);
        target.source = list;
    }
    return target;
}

Target RouteNPC(const std::string&, const std::string& property) {
    Target target;
    EntityManager* entities = GetGlobalState()->entityManager;
    RootEntity* character = entities ? entities->GetActiveNPC() : nullptr;
    if (!character) std::fputs("Routing Function:  Failed, no Active NPC set\n", stderr);
    if (auto* npc = dynamic_cast<NonPlayingCharacter*>(character)) {
        target.address = npc->GetPropertyAddress(property);
        target.source = npc;
    }
    return target;
}

Target RouteObject(const std::string&, const std::string& property) {
    Target target;
    EntityManager* entities = GetGlobalState()->entityManager;
    RootEntity* object = entities ? entities->GetActiveObject() : nullptr;
    if (!object) std::fputs("Routing Function:  Failed, no Active Object set\n", stderr);
    if (auto* worldObject = dynamic_cast<ObjectBase*>(object)) {
        target.address = worldObject->GetPropertyAddress(property);
        target.source = worldObject;
    }
    return target;
}

Target RouteChatLog(const std::string& owner, const std::string& property) {
    Target target;
    if (ChatManager* chat = GetGlobalState()->chatManager) {
        target.address = chat->RoutePointer(owner, property);
        target.source = chat;
    }
    return target;
}

Target RouteBackgroundManager(const std::string& owner, const std::string& property) {
    Target target;
    if (BackgroundManager* backgrounds = GetGlobalState()->backgroundManager) {
        target.address = backgrounds->RoutePointer(owner, property);
        target.source = backgrounds;
    }
    return target;
}

}  // namespace

void RegisterPropertyRoutes() {
    PropertyRouter::SetResolver("Player", RoutePlayer);
    PropertyRouter::SetResolver("AIManager", RouteAIManager);
    PropertyRouter::SetResolver("ActiveAIDrawingList", RouteActiveAIDrawingList);
    PropertyRouter::SetResolver("NPC", RouteNPC);
    PropertyRouter::SetResolver("Object", RouteObject);
    PropertyRouter::SetResolver("ChatLog", RouteChatLog);
    PropertyRouter::SetResolver("BackgroundManager", RouteBackgroundManager);
}
