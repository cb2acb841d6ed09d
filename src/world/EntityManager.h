#pragma once
// Owner of every world entity (characters, world objects, the player's
// avatar): keeps them by name, updates them every tick, draws them in draw
// order, and holds the "active" entity that the character and object script
// functions act on, plus the character whose dialogue is running.
//
// Entities are owned here: removing one through a script function deletes
// it. A deletion asked for while the entities are being walked (an entity's
// update runs a script that removes it, or clears the map) is carried out
// when the outermost walk ends; the walk skips entities that are no longer
// registered. Every pointer kept to an entity here and in the script host
// (active entity, dialogue character, caller entity) is cleared when the
// entity leaves the lists.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BitmapWrapper;
class Camera;
class NamedList;
class PlayerVorn;
class RootEntity;

class EntityManager {
public:
    // Names of the sub-lists, in the order they are created.
    static constexpr const char* kAIAnimation = "AIAnimation";
    static constexpr const char* kAIDrawing = "AIDrawing";
    static constexpr const char* kAIFloating = "AIFloating";
    static constexpr const char* kNPC = "NPC";
    static constexpr const char* kObject = "Object";
    // Stands for the player in every lookup by entity name.
    static constexpr const char* kPlayerName = "Pelloc";

    EntityManager();
    // Deletes every registered entity.
    ~EntityManager();
    EntityManager(const EntityManager&) = delete;
    EntityManager& operator=(const EntityManager&) = delete;

    // Lookups: the first entity of the exact name; "Pelloc" gives the player.
    RootEntity* GetEntityByName(const char* name);
    // Prints "EntityManager::GetEntity(L, N) Warning, could not find list %s\n"
    // for an unknown sub-list.
    RootEntity* GetEntity(const char* list, const char* name);
    RootEntity* GetNPC(const char* name);
    RootEntity* GetObject(const char* name);
    RootEntity* GetAIAnimation(const char* name);
    RootEntity* GetAIDrawing(const char* name);
    RootEntity* GetAIFloating(const char* name);
    PlayerVorn* GetPlayer() const;

    // The active entity when it is a character (type 3000..3999, the player
    // included); otherwise prints why and gives null.
    RootEntity* GetActiveNPC();
    // The active entity when it is a world object (type 2000..2999); else
    // null, silently.
    RootEntity* GetActiveObject();
    RootEntity* GetActiveEntity() const { return m_active; }

    // Appends the entity to the named sub-list (a missing sub-list is
    // reported and skipped) and to the all-entities list. Nothing unless all
    // three are given.
    void RegisterPointer(const char* list, const char* name, RootEntity* entity);
    // Takes the first entity of that name out of the sub-list and the
    // all-entities list and hands back the one from the all-entities list;
    // the caller deletes it (DeleteEntity) or registers it again.
    RootEntity* RemovePointer(const char* list, const char* name);
    void AddToAll(const char* name, RootEntity* entity);
    RootEntity* RemoveFromAll(const char* name);

    // Deletes an entity, taking it out of every list first and clearing every
    // pointer kept to it; deferred to the end of a walk in progress.
    void DeleteEntity(RootEntity* entity);

    void SetActiveEntity(RootEntity* entity) { m_active = entity; }
    void ClearActiveEntity() { m_active = nullptr; }
    void SetActiveEntityByName(const char* name);
    void SetActiveEntityInList(const char* list, const char* name);

    // The character whose dialogue the dialogue box runs (a character, type
    // 3000..3998); cleared when that character leaves the lists.
    void SetDialogueCharacter(RootEntity* character) { m_dialogueCharacter = character; }
    RootEntity* GetDialogueCharacter() const { return m_dialogueCharacter; }

    // -1 none, 0 a mouse button went down, 1 one went up.
    void SetMouseState(int32_t state) { m_mouseState = state; }
    int32_t GetMouseState() const { return m_mouseState; }

    // Deletes every entity and empties every list (map unload).
    void Clear();

    // Per-tick update of every active entity, in registration order.
    void UpdateAll();
    // The same over the "NPC" sub-list only (a click's extra update).
    void UpdateNPCs();
    // Draws the entities whose draw-order key is not -1 in ascending key,
    // ties in registration order.
    void DrawAll(BitmapWrapper* target, Camera* camera);
    // Draws every entity in registration order.
    void DrawAllUnsorted(BitmapWrapper* target, Camera* camera);

    // Distance in the ground plane; 10000 (with a line) when either is missing.
    float GetDistanceBetweenEntities(RootEntity* a, RootEntity* b);
    float GetDistanceBetweenEntities(const char* nameA, const char* nameB);
    float GetDistanceBetweenEntities(const char* listA, const char* nameA, const char* listB, const char* nameB);

    int GetEntityCount() const;
    // Grows with every removal from the lists: while it stays the same, every
    // registered entity is still registered.
    uint64_t GetRemovalCount() const { return m_removals; }
    // Whether the entity stands in the all-entities list.
    bool IsRegistered(RootEntity* entity) const;
    // The named sub-list, or null.
    NamedList* GetSubList(const char* list) const;

    // Registers the EM_ functions and the deprecated names.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // The player as an entity, or null.
    RootEntity* GetPlayerEntity() const;
    RootEntity* FindIn(NamedList* list, const char* name) const;
    // Clears the active entity, the dialogue character and the script host's
    // caller when they point at an entity that is no longer registered.
    void ForgetIfUnregistered(RootEntity* entity);
    void Forget(RootEntity* entity);
    // Snapshot of a list's entities for a walk.
    static std::vector<RootEntity*> Snapshot(NamedList* list);
    // Whether a walked entity may still be used: nothing was removed since
    // the snapshot, or it is still registered.
    bool StillRegistered(RootEntity* entity, uint64_t removalsAtStart) const;

    std::unique_ptr<NamedList> m_all;
    std::unique_ptr<NamedList> m_subLists;
    std::unique_ptr<NamedList> m_aiAnimation;
    std::unique_ptr<NamedList> m_aiDrawing;
    std::unique_ptr<NamedList> m_aiFloating;
    std::unique_ptr<NamedList> m_npcs;
    std::unique_ptr<NamedList> m_objects;
    RootEntity* m_active = nullptr;
    RootEntity* m_dialogueCharacter = nullptr;
    int32_t m_mouseState = -1;

    // Walks in progress; deletions wait until the outermost one ends.
    int m_walkDepth = 0;
    uint64_t m_removals = 0;  // grows with every removal from the lists
    std::vector<RootEntity*> m_pendingDeletes;
};

// Not installed by the registration; offered for scripts that register it:
// two names or (list, name, list, name); pushes the distance.
int EM_GetDistanceBetweenEntities(lua_State* L);
