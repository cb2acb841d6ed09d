#include "world/EntityManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/RootEntity.h"
#include "core/script/LuaManager.h"
#include "support/LoggingEntity.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"

using testsupport::LoggingEntity;
using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::Stderr;

TEST(EntityManager, LookupsTakeTheFirstMatchAndThePlayerNameNeedsAPlayer) {
    std::string log;
    EntityManager em;
    auto* first = new LoggingEntity("first", log);
    auto* second = new LoggingEntity("second", log);
    auto* object = new LoggingEntity("object", log, kTypeObjectBase);
    em.RegisterPointer("NPC", "guard", first);
    em.RegisterPointer("NPC", "guard", second);
    em.RegisterPointer("Object", "crate", object);

    EXPECT_EQ(Stderr([&] {
                  EXPECT_EQ(em.GetEntityByName("guard"), first);
                  EXPECT_EQ(em.GetNPC("guard"), first);
                  EXPECT_EQ(em.GetObject("guard"), nullptr);
                  EXPECT_EQ(em.GetObject("crate"), object);
                  EXPECT_EQ(em.GetEntityByName("Guard"), nullptr);  // case-sensitive
                  EXPECT_EQ(em.GetEntity(nullptr, "guard"), nullptr);
                  // No player exists: the reserved name finds nothing, whatever list is
                  // named, and is never looked up in a list.
                  EXPECT_EQ(em.GetPlayer(), nullptr);
                  em.RegisterPointer("NPC", "Pelloc", new LoggingEntity("impostor", log));
                  EXPECT_EQ(em.GetEntityByName("Pelloc"), nullptr);
                  EXPECT_EQ(em.GetEntity("Object", "Pelloc"), nullptr);
                  EXPECT_EQ(em.GetEntity("NoSuchList", "Pelloc"), nullptr);
              }),
              "");

    EXPECT_EQ(Stderr([&] { EXPECT_EQ(em.GetEntity("Npc", "guard"), nullptr); }),
              "EntityManager::GetEntity(L, N) Warning, could not find list Npc\n");

    // An unknown sub-list is reported; the entity is still registered.
    auto* stray = new LoggingEntity("stray", log);
    EXPECT_EQ(Stderr([&] { em.RegisterPointer("Monsters", "stray", stray); }),
              "EntityManager::RegisterPointer:  Failed, sub list Monsters not found\n");
    EXPECT_EQ(em.GetEntityByName("stray"), stray);
    em.RegisterPointer("NPC", "x", nullptr);
    EXPECT_EQ(em.GetEntityCount(), 5);
}

TEST(EntityManager, RemovePointerTakesTheFirstOfDuplicatesAndForgetsIt) {
    std::string log;
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    auto* other = new LoggingEntity("other", log);
    auto* a = new LoggingEntity("a", log);
    auto* b = new LoggingEntity("b", log);
    auto* c = new LoggingEntity("c", log);
    // The head has another name, so a removal that prefers the tail among
    // duplicates would take c.
    em.RegisterPointer("NPC", "other", other);
    em.RegisterPointer("NPC", "x", a);
    em.RegisterPointer("NPC", "x", b);
    em.RegisterPointer("NPC", "x", c);
    em.SetActiveEntity(a);
    em.SetDialogueCharacter(a);
    lua.Manager().SetCallerEntity(a);

    EXPECT_EQ(em.RemovePointer("NPC", "x"), a);
    EXPECT_EQ(em.GetNPC("x"), b);
    EXPECT_EQ(em.GetEntityByName("x"), b);
    EXPECT_EQ(em.GetActiveEntity(), nullptr);
    EXPECT_EQ(em.GetDialogueCharacter(), nullptr);
    EXPECT_EQ(lua.Manager().GetCallerEntity(), nullptr);
    EXPECT_EQ(em.RemovePointer("NPC", "nobody"), nullptr);
    EXPECT_EQ(em.GetEntityCount(), 3);
    EXPECT_TRUE(log.empty());  // removal deletes nothing
    em.DeleteEntity(a);
    EXPECT_EQ(log, "gone:a ");

    // Deleting an entity still registered takes it out of every list.
    em.SetActiveEntity(b);
    em.DeleteEntity(b);
    EXPECT_EQ(em.GetNPC("x"), c);
    EXPECT_EQ(em.GetActiveEntity(), nullptr);
    EXPECT_EQ(em.GetEntityCount(), 2);
}

TEST(EntityManager, ActiveCharacterAndObjectChecks) {
    std::string log;
    EntityManager em;
    LoggingEntity npc("npc", log, 3000), player("player", log, 3999), object("object", log, 2999),
        other("other", log, 4000);

    EXPECT_EQ(Stderr([&] { EXPECT_EQ(em.GetActiveNPC(), nullptr); }),
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n");
    EXPECT_EQ(Stderr([&] {
                  EXPECT_EQ(em.GetActiveObject(), nullptr);
                  em.SetActiveEntity(&npc);
                  EXPECT_EQ(em.GetActiveNPC(), &npc);
                  EXPECT_EQ(em.GetActiveObject(), nullptr);  // silently
                  em.SetActiveEntity(&player);
                  EXPECT_EQ(em.GetActiveNPC(), &player);
              }),
              "");
    for (LoggingEntity* wrong : {&object, &other}) {
        em.SetActiveEntity(wrong);
        char expected[160];
        std::snprintf(expected, sizeof expected, "EM::GetActiveNPC:  Failed, type %i is not a valid NPC Type on %p\n",
                      wrong->GetType(), static_cast<void*>(wrong));
        EXPECT_EQ(Stderr([&] { EXPECT_EQ(em.GetActiveNPC(), nullptr); }), expected);
    }
    em.SetActiveEntity(&object);
    EXPECT_EQ(em.GetActiveObject(), &object);
    em.SetActiveEntity(&other);
    EXPECT_EQ(em.GetActiveObject(), nullptr);
    em.ClearActiveEntity();
}

TEST(EntityManager, ClearDeletesEveryEntityOnceAndDropsReferences) {
    std::string log;
    EntityManager em;
    auto* a = new LoggingEntity("a", log);
    em.RegisterPointer("NPC", "a", a);
    em.RegisterPointer("Object", "a-again", a);  // one entity under two names
    em.RegisterPointer("Object", "b", new LoggingEntity("b", log));
    em.SetActiveEntity(a);
    em.SetDialogueCharacter(a);
    em.Clear();
    EXPECT_EQ(log, "gone:a gone:b ");
    EXPECT_EQ(em.GetEntityCount(), 0);
    EXPECT_EQ(em.GetSubList("Object")->GetCount(), 0);
    EXPECT_EQ(em.GetActiveEntity(), nullptr);
    EXPECT_EQ(em.GetDialogueCharacter(), nullptr);

    // The manager's end deletes what is left.
    {
        EntityManager scoped;
        scoped.RegisterPointer("AIFloating", "c", new LoggingEntity("c", log));
    }
    EXPECT_EQ(log, "gone:a gone:b gone:c ");
}

TEST(EntityManager, DrawOrderAscendsWithTiesInRegistrationOrder) {
    std::string log;
    EntityManager em;
    em.RegisterPointer("NPC", "a", new LoggingEntity("a", log, 3000, 5));
    em.RegisterPointer("NPC", "hidden", new LoggingEntity("hidden", log, 3000, -1));
    em.RegisterPointer("Object", "b", new LoggingEntity("b", log, 2000, 2));
    em.RegisterPointer("NPC", "c", new LoggingEntity("c", log, 3000, 5));
    em.RegisterPointer("NPC", "d", new LoggingEntity("d", log, 3000, -7));
    auto* off = new LoggingEntity("off", log, 3000, 0);
    em.RegisterPointer("NPC", "off", off);
    off->Disable();

    em.DrawAll(nullptr, nullptr);
    EXPECT_EQ(log, "d:d d:b d:a d:c ");
    log.clear();
    em.DrawAllUnsorted(nullptr, nullptr);
    EXPECT_EQ(log, "d:a d:hidden d:b d:c d:d ");
    log.clear();

    // Inactive entities are not updated either; UpdateNPCs walks "NPC" only.
    em.UpdateAll();
    EXPECT_EQ(log, "u:a u:hidden u:b u:c u:d ");
    log.clear();
    em.UpdateNPCs();
    EXPECT_EQ(log, "u:a u:hidden u:c u:d ");
}

TEST(EntityManager, EntitiesRemovedDuringTheWalkAreSkippedAndDeletedAfterIt) {
    std::string log;
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    auto* self = new LoggingEntity("self", log);
    auto* victim = new LoggingEntity("victim", log, kTypeObjectBase);
    auto* last = new LoggingEntity("last", log);
    em.RegisterPointer("NPC", "self", self);
    em.RegisterPointer("NPC", "killer", new LoggingEntity("killer", log));
    em.RegisterPointer("Object", "victim", victim);
    em.RegisterPointer("NPC", "last", last);
    // The first removes itself through a script, the second removes a later
    // entity; neither deletion may happen while the walk still needs them.
    self->onUpdate = [&] {
        lua.Manager().SetCallerEntity(self);
        ASSERT_TRUE(lua.Run("EM_NPC_RemoveNPC('self')"));
        log += "self-still-here ";
        EXPECT_EQ(lua.Manager().GetCallerEntity(), nullptr);
    };
    static_cast<LoggingEntity*>(em.GetNPC("killer"))->onUpdate = [&] { lua.Run("EM_OBJ_RemoveObject('victim')"); };

    em.UpdateAll();
    EXPECT_EQ(log, "u:self self-still-here u:killer u:last gone:self gone:victim ");
    EXPECT_EQ(em.GetEntityCount(), 2);
    log.clear();

    // A map change from inside an update clears everything after the walk.
    static_cast<LoggingEntity*>(em.GetNPC("killer"))->onUpdate = nullptr;
    last->onUpdate = [&] { em.Clear(); };
    em.UpdateAll();
    EXPECT_EQ(log, "u:killer u:last gone:killer gone:last ");
    EXPECT_EQ(em.GetEntityCount(), 0);
}

TEST(EntityManagerLua, ScriptFunctionsReportAndSelect) {
    std::string log;
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    auto* npc = new LoggingEntity("npc", log, 3000);
    auto* crate = new LoggingEntity("crate", log, 2000);
    em.RegisterPointer("NPC", "Bob", npc);
    em.RegisterPointer("Object", "Bob", crate);  // same name in another list
    em.RegisterPointer("Object", "crate", crate);

    EXPECT_EQ(RunScript(lua, "EM_NPC_CreateNPC('Ann', 'Merchant') EM_OBJ_CreateObject('box', 'Crate')"),
              "NPCM AddNPC:  Failed, NPC Type was invalid\nEM_OBJ_CreateObject:  Failed, no type Crate found\n");
    EXPECT_EQ(em.GetEntityCount(), 3);

    EXPECT_EQ(RunScript(lua, "EM_NPC_SetActiveNPC('Bob')"), "");
    EXPECT_EQ(em.GetActiveEntity(), npc);
    EXPECT_EQ(RunScript(lua, "EM_OBJ_SetActiveObject('crate', 'extra')"), "");
    EXPECT_EQ(em.GetActiveObject(), crate);
    EXPECT_EQ(RunScript(lua, "EM_NPC_SetActiveNPC('crate')"),
              "EM_NPC_SetActiveNPC:  Warning, NPC crate not found (Active is now NULL)\n");
    EXPECT_EQ(Stderr([&] { EXPECT_EQ(em.GetActiveNPC(), nullptr); }),
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n");
    EXPECT_EQ(RunScript(lua, "EM_OBJ_SetActiveObject('Ann')"),
              "EM_OBJ_SetActiveObject:  Warning, Object Ann not found (Active is now NULL)\n");

    // Removing the character "Bob" leaves the object of that name alone.
    EXPECT_EQ(RunScript(lua, "EM_NPC_RemoveNPC('Bob') EM_NPC_RemoveNPC('Bob')"),
              "EM_NPC_RemoveNPC:  Warning, NPC Bob not found\n");
    EXPECT_EQ(log, "gone:npc ");
    EXPECT_EQ(em.GetObject("Bob"), crate);
    EXPECT_EQ(em.GetEntityByName("Bob"), crate);
    EXPECT_EQ(RunScript(lua, "EM_OBJ_RemoveObject('Bob') EM_OBJ_RemoveObject('Bob')"),
              "EM_OBJ_RemoveObject:  Warning, Object Bob not found\n");
    EXPECT_EQ(log, "gone:npc gone:crate ");
    EXPECT_EQ(em.GetObject("crate"), nullptr);  // its second name went with it
    EXPECT_EQ(em.GetEntityCount(), 0);
}

TEST(EntityManagerLua, DeprecatedNamesWarnThenAct) {
    std::string log;
    LuaTestState lua;
    auto* npc = new LoggingEntity("npc", log, 3000);
    auto* crate = new LoggingEntity("crate", log, 2000);
    lua.Entities().RegisterPointer("NPC", "n", npc);
    lua.Entities().RegisterPointer("Object", "o", crate);

    // Each warns on two lines, then does what its replacement does (or
    // nothing), and returns no result.
    EXPECT_EQ(RunScript(lua,
                        "n = select('#', NPCM_AddNPC('a', 'EnemyNPC')) + select('#', SetActiveNPCA('n')) + "
                        "select('#', SetActiveNPCI(1))"),
              "Warning:  NPCM_AddNPC.  This function is deprecated.\n - Please change it to EM_NPC_CreateNPC.\n"
              "Warning:  SetActiveNPCA.  Function is deprecated.\n - Please change it to EM_NPC_SetActiveNPC.\n"
              "Warning:  SetActiveNPCI.  Function is deprecated.\n - No replacement is available.\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(lua.Entities().GetActiveEntity(), npc);
    EXPECT_NE(lua.Entities().GetNPC("a"), nullptr);  // the deprecated name made it
    EXPECT_EQ(RunScript(lua,
                        "n = select('#', OBJM_SetActiveObject('o')) + select('#', OBJM_SetActiveObjectByID(7)) + "
                        "select('#', OBJM_CreateObject('b'))"),
              "Warning:  OBJM_SetActiveObject.  Function is deprecated.\n"
              " - Please change it to EM_OBJ_SetActiveObject.\n"
              "Warning:  OBJM_SetActiveObjectByID.  Function is deprecated.\n - No replacement is available.\n"
              "Warning:  OBJM_CreateObject.  Function is deprecated.\n - Please change it to EM_OBJ_CreateObject.\n"
              "EM_OBJ_CreateObject:  Failed, invalid argument list\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(lua.Entities().GetActiveEntity(), crate);
}

TEST(EntityManagerLua, MissingManagerAndDistances) {
    std::string log;
    LuaTestState lua;
    EntityManager& em = lua.Entities();
    auto* a = new LoggingEntity("a", log);
    auto* b = new LoggingEntity("b", log, kTypeObjectBase);
    a->px = 1.9f, a->py = 2;  // whole units: (1, 2)
    b->px = 4, b->py = 6;
    em.RegisterPointer("NPC", "a", a);
    em.RegisterPointer("Object", "b", b);
    lua_register(lua.L(), "Distance", EM_GetDistanceBetweenEntities);

    EXPECT_EQ(RunScript(lua, "d1 = Distance('a', 'b') d2 = Distance('NPC', 'a', 'Object', 'b') d3 = Distance('a')"),
              "EM_GetDistanceBetweenEntities:  Failed, invalid argument list\n"
              " - Pushing dummy value of 10000.0f\n");
    EXPECT_FLOAT_EQ(lua.GetNumber("d1"), 5.0f);
    EXPECT_FLOAT_EQ(lua.GetNumber("d2"), 5.0f);
    EXPECT_EQ(lua.GetNumber("d3"), 10000.0);
    std::string out = Stderr([&] { EXPECT_EQ(em.GetDistanceBetweenEntities("a", "nobody"), 10000.0f); });
    EXPECT_EQ(out.rfind("EntityManager::GetDistanceBetweenEntities:  Failed, one of the entities ", 0), 0u) << out;

    GetGlobalState()->entityManager = nullptr;
    EXPECT_EQ(RunScript(lua, "EM_NPC_RemoveNPC('a')"), "EM_NPC_RemoveNPC:  Failed, EntityManager does not exist\n");
    GetGlobalState()->entityManager = &em;
    EXPECT_TRUE(log.empty());
}
