#pragma once
// Writes int(source x scale) into the destination every step (the product
// in double precision, truncated toward zero), for as long as both int32
// properties are there. Wired by AIVSR_SyncPointer, scaled by
// AIVSR_SetScaler.
#include <lua5.1/lua.hpp>

#include <string>

#include "world/ai/AIBasePackage.h"

class AIValueScaleRouter : public AIBasePackage {
public:
    AIValueScaleRouter();

    // Binds the source and the destination; a missing one stays cleared.
    void SetPointers(const std::string& sourceKind, const std::string& sourceOwner, const std::string& sourceProperty,
                     const std::string& destinationKind, const std::string& destinationOwner,
                     const std::string& destinationProperty);
    // Kept in single precision; values beyond its range saturate.
    void SetScaler(double scale);
    float GetScaler() const { return m_scale; }

    void RunAI() override;

private:
    PropertyRouter::SyncPointer m_source;
    PropertyRouter::SyncPointer m_destination;
    float m_scale = 1.0f;
};

// Registers AIVSR_SyncPointer and AIVSR_SetScaler.
void RegisterAIValueScaleRouterLuaFunctions(lua_State* L);
