#include "world/ObjectStaticTransition.h"

#include <cmath>
#include <cstdio>

#include "core/base/Geometry.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/TransitionState.h"
#include "world/Dimensions.h"
#include "world/PhysicsMovement.h"
#include "world/PlayerVorn.h"
#include "world/Terrain.h"

ObjectStaticTransition::ObjectStaticTransition() { m_type = kTypeObjectStaticTransition; }

ObjectStaticTransition::~ObjectStaticTransition() = default;

void ObjectStaticTransition::Update() {
    for (const Construct& construct : m_geometry) {
        if (!IsPlayerInConstruct(construct)) continue;
        if (m_levelName) {
            if (*m_levelName == kRandomLevel) {
                // The floor change files a request of its own; the one below
                // replaces it.
                if (Terrain* terrain = CurrentTerrain()) terrain->ChangeFloor(1, false);
            }
            if (m_entityMode)
                RequestEntityTransition(m_levelName->c_str(), m_entityName ? m_entityName->c_str() : nullptr);
            else
                RequestMapTransition(m_levelName->c_str(), m_destX, m_destY, m_destZ);
        }
        return;
    }
}

bool ObjectStaticTransition::IsPlayerInConstruct(const Construct& construct) const {
    // The player is looked up each time, so a replaced player is never
    // followed through a stale pointer.
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) return false;
    const Dimensions* record = player->GetDimensions();
    if (!record) return false;
    const float x = static_cast<float>(record->X);
    const float y = static_cast<float>(record->Y);
    switch (construct.kind) {
        case kCircle: {
            const float dx = x - construct.a;
            const float dy = y - construct.b;
            return std::sqrt(dx * dx + dy * dy) < construct.c;
        }
        case kRectangle:
            return PointInRect(TruncateToInt32(x), TruncateToInt32(y), TruncateToInt32(construct.a),
                               TruncateToInt32(construct.b), TruncateToInt32(construct.c),
                               TruncateToInt32(construct.d));
        default:
            std::fprintf(stderr, "ObjectStaticTransition::IsPlayerInConstruct:  Failed, type %i not recognized\n",
                         construct.kind);
            return false;
    }
}

void ObjectStaticTransition::SetLevelDestination(const std::string& level) { m_levelName = level; }

void ObjectStaticTransition::SetEntityDestination(const std::string& entity) {
    m_entityName = entity;
    m_entityMode = 1;
    m_destX = -1;
}

void ObjectStaticTransition::SetCoordinateDestination(int32_t x, int32_t y, int32_t z) {
    m_destX = x;
    m_destY = y;
    m_destZ = z;
    m_entityMode = 0;
    m_entityName.reset();
}

void ObjectStaticTransition::AddCircle(float x, float y, float radius) {
    m_geometry.push_back({kCircle, x, y, std::trunc(radius), 0.0f});
}

void ObjectStaticTransition::AddRectangle(float left, float top, float right, float bottom) {
    m_geometry.push_back({kRectangle, left, top, right, bottom});
}

void ObjectStaticTransition::ClearGeometry() { m_geometry.clear(); }
