#include "support/LayerLuaFunctions.h"

#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#ifdef QEL_TEST_HAS_CORE_MEDIA
#include "core/media/DataLibraryImageLua.h"
#include "core/media/DataLibrarySoundLua.h"
#include "core/media/SoundManager.h"
#endif
#ifdef QEL_TEST_HAS_COMBAT
#include "combat/CombatRegistry.h"
#include "combat/DataLibraryCombatLua.h"
#endif
#ifdef QEL_TEST_HAS_WORLD
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
#endif
#ifdef QEL_TEST_HAS_MAPS
#include "maps/DefinedMap.h"
#include "maps/IsometricMap.h"
#endif
#ifdef QEL_TEST_HAS_SAVEFILE
#include "savefile/SFM.h"
#endif

namespace testsupport {

void RegisterLayerLuaFunctions(lua_State* L) {
    if (!L) return;
    RegisterGeneralFunctions(L);
#ifdef QEL_TEST_HAS_WORLD
    RegisterAnimationLuaFunctions(L);
    RegisterAITrailingPackageLuaFunctions(L);
    RegisterItemPrototypeLuaFunctions(L);
    RegisterItemCombatLuaFunctions(L);
    RegisterNPCLuaFunctions(L);
    RegisterNPCStaticDialogueLuaFunctions(L);
    RegisterNPCWorldEnemyLuaFunctions(L);
    ObjectBase::RegisterLuaFunctions(L);
    ObjectItem::RegisterLuaFunctions(L);
    ObjectStaticAnimation::RegisterLuaFunctions(L);
    ObjectStaticTransition::RegisterLuaFunctions(L);
    ObjectStaticAutoScript::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_MAPS
    IsometricMap::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_WORLD
    GUIDialogueManager::RegisterLuaFunctions(L);
#endif
    DataLibrary::RegisterLuaFunctions(L);
#ifdef QEL_TEST_HAS_CORE_MEDIA
    RegisterDataLibraryImageLuaFunctions(L);
    RegisterDataLibrarySoundLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_WORLD
    RegisterItemPrototypeDataLibraryFunctions(L);
#endif
#ifdef QEL_TEST_HAS_COMBAT
    RegisterDataLibraryCombatLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_WORLD
    EntityManager::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_CORE_MEDIA
    SoundManager::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_SAVEFILE
    SFM::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_WORLD
    PlayerVorn::RegisterLuaFunctions(L);
    PlayerInventory::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_MAPS
    DefinedMap::RegisterLuaFunctions(L);
#endif
#ifdef QEL_TEST_HAS_COMBAT
    RegisterCombatLuaFunctions(L);
#endif
}

}  // namespace testsupport
