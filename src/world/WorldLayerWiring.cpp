#include "world/WorldLayerWiring.h"

#include "core/base/LayerHooks.h"
#include "gui/GUIButtonCallbacks.h"
#include "gui/GUILayerWiring.h"
#include "world/Animation.h"
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/NPCStaticDialogue.h"
#include "world/NPCWorldEnemy.h"
#include "world/NonPlayingCharacter.h"
#include "world/ObjectItem.h"
#include "world/ObjectStaticAnimation.h"
#include "world/ObjectStaticAutoScript.h"
#include "world/ObjectStaticTransition.h"
#include "world/PlayerVorn.h"
#include "world/PropertyRoutes.h"
#include "world/ai/AITrailingPackage.h"
#include "world/items/InventoryWindows.h"
#include "world/items/ItemCombatLua.h"
#include "world/items/ItemPrototypeLua.h"
#include "world/items/PlayerInventory.h"

void RegisterWorldLayerFamilies(lua_State* L) {
    if (!L) return;
    RegisterAnimationLuaFunctions(L);                 // Anim_
    RegisterAITrailingPackageLuaFunctions(L);         // AITP_
    RegisterItemPrototypeLuaFunctions(L);             // IP_
    RegisterItemCombatLuaFunctions(L);                // ICM_
    RegisterNPCLuaFunctions(L);                       // NPC_ (characters)
    RegisterNPCStaticDialogueLuaFunctions(L);         // NPCSD_
    RegisterNPCWorldEnemyLuaFunctions(L);             // world enemies
    ObjectBase::RegisterLuaFunctions(L);              // OBJ_
    ObjectItem::RegisterLuaFunctions(L);              // Hook_
    ObjectStaticAnimation::RegisterLuaFunctions(L);   // OBJSA_ (position markers register nothing)
    ObjectStaticTransition::RegisterLuaFunctions(L);  // OBJST_
    ObjectStaticAutoScript::RegisterLuaFunctions(L);  // OBJSAS_
    GUIDialogueManager::RegisterLuaFunctions(L);      // DM_ and the other dialogue functions
    RegisterItemPrototypeDataLibraryFunctions(L);     // the data library's item registrar
    EntityManager::RegisterLuaFunctions(L);           // EM_
    PlayerVorn::RegisterLuaFunctions(L);              // Player_
    PlayerInventory::RegisterLuaFunctions(L);         // PInv_
}

void RegisterWorldHostFamilies(lua_State* L) {
    RegisterGUIHostFamilies(L);
    CameraManager::RegisterLuaFunctions(L);
    ChatManager::RegisterLuaFunctions(L);
}

void InstallWorldLayerHooks() {
    GetLayerHooks().registerHostFamilies = RegisterWorldHostFamilies;
    RegisterPropertyRoutes();
    RegisterButtonCallbackPrefix("Inv", GetInventoryButtonCallback);
}
