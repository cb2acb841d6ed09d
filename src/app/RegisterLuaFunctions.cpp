#include "app/RegisterLuaFunctions.h"

#include "app/Transition.h"
#include "combat/CombatRegistry.h"
#include "combat/DataLibraryCombatLua.h"
#include "core/media/DataLibraryImageLua.h"
#include "core/media/DataLibrarySoundLua.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "maps/DefinedMap.h"
#include "maps/IsometricMap.h"
#include "savefile/SFM.h"
#include "world/Animation.h"
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
#include "world/ai/AITrailingPackage.h"
#include "world/items/ItemCombatLua.h"
#include "world/items/ItemPrototypeLua.h"
#include "world/items/PlayerInventory.h"

// The registrars run in this order. Each family's line goes in its slot as
// the family is written; the slots not yet filled are listed so the order
// stays visible:
//    1 GN_IsPointWithinRect
//    2 Anim_               3 AITP_              4 IP_
//    5 ICM_                6 NPC_ (characters)  7 NPCSD_
//    8 world enemies (NPC_ / Player_)           9 OBJ_
//   10 Hook_              11 OBJSA_            12 static-position objects
//   13 OBJST_             14 OBJSAS_           15 ISOM_
//   16 DM_ and the other dialogue functions
//   17 DataLibrary (DL_)
//   18 EM_                19 SM_               20 SFM_
//   21 Player_            22 PInv_             23 TH_DropPlayerAtTarget
//   24 DefinedMap_
void RegisterLuaFunctions(lua_State* L) {
    if (!L) return;
    RegisterGeneralFunctions(L);                      // 1
    RegisterAnimationLuaFunctions(L);                 // 2
    RegisterAITrailingPackageLuaFunctions(L);         // 3
    RegisterItemPrototypeLuaFunctions(L);             // 4
    RegisterItemCombatLuaFunctions(L);                // 5
    RegisterNPCLuaFunctions(L);                       // 6
    RegisterNPCStaticDialogueLuaFunctions(L);         // 7
    RegisterNPCWorldEnemyLuaFunctions(L);             // 8
    ObjectBase::RegisterLuaFunctions(L);              // 9
    ObjectItem::RegisterLuaFunctions(L);              // 10
    ObjectStaticAnimation::RegisterLuaFunctions(L);   // 11 (12: position markers register nothing)
    ObjectStaticTransition::RegisterLuaFunctions(L);  // 13
    ObjectStaticAutoScript::RegisterLuaFunctions(L);  // 14
    IsometricMap::RegisterLuaFunctions(L);            // 15
    GUIDialogueManager::RegisterLuaFunctions(L);      // 16
    DataLibrary::RegisterLuaFunctions(L);             // 17, with the resource registrars
    RegisterDataLibraryImageLuaFunctions(L);
    RegisterDataLibrarySoundLuaFunctions(L);
    RegisterItemPrototypeDataLibraryFunctions(L);
    RegisterDataLibraryCombatLuaFunctions(L);
    EntityManager::RegisterLuaFunctions(L);    // 18
    SoundManager::RegisterLuaFunctions(L);     // 19
    SFM::RegisterLuaFunctions(L);              // 20
    PlayerVorn::RegisterLuaFunctions(L);       // 21
    PlayerInventory::RegisterLuaFunctions(L);  // 22
    RegisterTransitionLuaFunctions(L);         // 23
    DefinedMap::RegisterLuaFunctions(L);       // 24, so early calls get their lines
    // The combat registrar runs right after these, on the same state.
    RegisterCombatLuaFunctions(L);
}
