#pragma once
// A zone that sends the player to another map: a list of circles and
// rectangles; while the player's centre lies in one of them, a transition to
// the destination level is requested every tick (at a named entity, or at a
// drop point). The level "MAPRANDOM" moves the dungeon one floor on first.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "world/ObjectStaticBase.h"

class ObjectStaticTransition : public ObjectStaticBase {
public:
    enum ConstructKind : int32_t { kCircle = 0, kRectangle = 1 };
    // One piece of the zone. A circle uses (a, b) as its centre and c as its
    // radius; a rectangle (a, b, c, d) as left, top, right, bottom.
    struct Construct {
        int32_t kind = kCircle;
        float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
    };

    // The level name "MAPRANDOM" stands for the next dungeon floor.
    static constexpr const char* kRandomLevel = "MAPRANDOM";

    ObjectStaticTransition();
    ~ObjectStaticTransition() override;

    // Never drawn by the draw pass.
    int GetDrawOrderKey() override { return -1; }
    // Walks the zone in order; at the first piece that holds the player,
    // requests the transition (when a level is set) and stops.
    void Update() override;

    void SetLevelDestination(const std::string& level);
    // Entity mode: the player arrives at the named entity.
    void SetEntityDestination(const std::string& entity);
    // Drop-point mode; the entity name is cleared.
    void SetCoordinateDestination(int32_t x, int32_t y, int32_t z);
    // The radius is truncated to a whole number.
    void AddCircle(float x, float y, float radius);
    void AddRectangle(float left, float top, float right, float bottom);
    void ClearGeometry();

    // Circle: the player's centre is strictly closer than the radius.
    // Rectangle: the truncated centre lies within the truncated bounds,
    // edges included. Any other kind is reported and holds nothing. False
    // when there is no player.
    bool IsPlayerInConstruct(const Construct& construct) const;

    const std::vector<Construct>& GetGeometry() const { return m_geometry; }
    const std::optional<std::string>& GetLevelName() const { return m_levelName; }
    const std::optional<std::string>& GetEntityName() const { return m_entityName; }
    bool IsEntityMode() const { return m_entityMode != 0; }
    int32_t GetDestinationX() const { return m_destX; }
    int32_t GetDestinationY() const { return m_destY; }
    int32_t GetDestinationZ() const { return m_destZ; }

    // OBJST_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    std::vector<Construct> m_geometry;
    std::optional<std::string> m_levelName;
    uint8_t m_entityMode = 0;
    std::optional<std::string> m_entityName;
    int32_t m_destX = -1;
    int32_t m_destY = -1;
    int32_t m_destZ = -1;
};
