#pragma once
// Base of the AI packages: small objects that each perform one step of a
// character's behaviour per AI step (walk to a point, follow a point, force
// a frame, copy a value, run a script). A package is either queued on a
// character's AI queue or floating: kept by the AIManager and stepped once
// per game tick.
//
// Packages never hold raw addresses of their characters' fields: they keep
// PropertyRouter::SyncPointers (AIEntityPointers below), which are cleared
// when the owner of the field goes.
#include <cstdint>
#include <string>

#include "core/base/RootEntity.h"
#include "core/script/PropertyRouter.h"

// The fields of a character that the moving packages keep, gathered by
// property name in this order: "St|Stationary", "St|Walking", "St|Trotting",
// "St|Running", "Dimensions", "AnimDirection", "AnimTimer", "AnimFlip".
// The first four with the last three form the movement-state block.
struct AIEntityPointers {
    PropertyRouter::SyncPointer stationary;
    PropertyRouter::SyncPointer walking;
    PropertyRouter::SyncPointer trotting;
    PropertyRouter::SyncPointer running;
    PropertyRouter::SyncPointer dimensions;
    PropertyRouter::SyncPointer animDirection;
    PropertyRouter::SyncPointer animTimer;
    PropertyRouter::SyncPointer animFlip;

    // Binds the eight fields of the character that (owner kind, owner)
    // designates through the router. A field that is not found stays cleared
    // (its owner's lookup prints why); true only when all eight were found.
    bool Gather(const std::string& ownerKind, const std::string& owner);
    void Clear();
};

class AIBasePackage : public RootEntity {
public:
    AIBasePackage();
    // Clears every pointer the AIManager and the router keep to it.
    ~AIBasePackage() override;
    AIBasePackage(const AIBasePackage&) = delete;
    AIBasePackage& operator=(const AIBasePackage&) = delete;

    // One step of behaviour; nothing in the base.
    virtual void RunAI();
    // The address of one of the package's own fields; the base (and every
    // package so far) has none: value type 0 and null.
    virtual void* RoutePointer(const std::string& name);

    // The enabled byte (AI_Activate / AI_Deactivate). No step depends on it.
    // These hide RootEntity's active flag on purpose: packages are never
    // updated or drawn by the entity manager.
    void Enable() { m_enabled = 1; }
    void Disable() { m_enabled = 0; }
    uint8_t IsEnabled() const { return m_enabled; }

    uint8_t IsSynched() const { return m_synched; }
    uint8_t IsFinished() const { return m_finished; }

    // RoutePointer; a null answer leaves value type 0 in the router.
    void* GetPropertyAddress(const std::string& name);

    // Sets one of "Standing", "Walking", "Trotting", "Running" on the block:
    // the four flags are cleared, then the named one is set ("Standing" sets
    // Stationary and zeroes AnimTimer); any other name leaves all four
    // cleared. Nothing for a null block. Fields not found are skipped.
    static void SetMoveState(AIEntityPointers* block, const char* state);

protected:
    void SetSynched(uint8_t value) { m_synched = value; }
    void SetFinished(uint8_t value) { m_finished = value; }

    uint8_t m_enabled = 1;
    uint8_t m_synched = 0;
    uint8_t m_finished = 0;
};
