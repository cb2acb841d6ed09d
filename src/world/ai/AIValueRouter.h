#pragma once
// Copies one int32 property into another every step, for as long as both
// are there. Created as a floating package and wired by AIVR_SyncPointer to
// properties of any owner the router knows.
#include <lua5.1/lua.hpp>

#include <string>

#include "world/ai/AIBasePackage.h"

class AIValueRouter : public AIBasePackage {
public:
    AIValueRouter();

    // Binds the source and the destination; a missing one is said
    // ("AIVR:  Warning, ...") and left cleared.
    void SetPointers(const std::string& sourceKind, const std::string& sourceOwner, const std::string& sourceProperty,
                     const std::string& destinationKind, const std::string& destinationOwner,
                     const std::string& destinationProperty);
    bool HasSource() const { return m_source.Get() != nullptr; }
    bool HasDestination() const { return m_destination.Get() != nullptr; }

    // destination = source, when both are int32 fields still there.
    void RunAI() override;

private:
    PropertyRouter::SyncPointer m_source;
    PropertyRouter::SyncPointer m_destination;
};

// Registers AIVR_SyncPointer.
void RegisterAIValueRouterLuaFunctions(lua_State* L);
