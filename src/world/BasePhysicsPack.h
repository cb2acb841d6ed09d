#pragma once
// Moves a world object's integer box with velocity, friction, gravity,
// bounce and spin. The pack is owned by the object that uses it; the object
// binds its box and its spin angle, and nothing moves until both are bound.
#include <cstdint>
#include <string>

struct ObjectBox;

class BasePhysicsPack {
public:
    BasePhysicsPack() = default;
    virtual ~BasePhysicsPack() = default;
    BasePhysicsPack(const BasePhysicsPack&) = delete;
    BasePhysicsPack& operator=(const BasePhysicsPack&) = delete;

    // One physics step: friction, bounds, spin, gravity or bounce, then the
    // move through the map one unit per axis per pass.
    virtual void Step();
    virtual void Bind(ObjectBox* box, float* angle);
    // Subclasses' own routable properties; null (value type 0) here.
    virtual void* RoutePointerHook(const std::string& name);

    // Each velocity component grows by the force divided by the mass
    // (nothing when the mass is 0).
    void AddForce(float fx, float fy, float fz);
    // Minimum and maximum of the x, y and z velocity.
    void SetBounds(float xMin, float xMax, float yMin, float yMax, float zMin, float zMax);
    // RoutePointerHook first; then "XSpeed", "YSpeed", "ZSpeed" (floats).
    void* GetPropertyAddress(const std::string& name);

    void SetVelocity(float vx, float vy, float vz) {
        m_vx = vx;
        m_vy = vy;
        m_vz = vz;
    }
    float GetVX() const { return m_vx; }
    float GetVY() const { return m_vy; }
    float GetVZ() const { return m_vz; }
    void SetMass(float mass) { m_mass = mass; }
    bool IsStopped() const { return m_stopped != 0; }

protected:
    // Recomputes the box corners from the position and the dimensions.
    static void RecomputeBox(ObjectBox& box);

    uint8_t m_stopped = 0;
    float m_mass = 1.0f;
    float m_groundFriction = 0.3f;
    float m_airFriction = 0.01f;
    float m_gravity = 0.3f;
    float m_bounce = 0.5f;
    float m_vx = 0.0f, m_vy = 0.0f, m_vz = 0.0f;
    float m_xMin = 0.0f, m_xMax = 0.0f, m_yMin = 0.0f, m_yMax = 0.0f, m_zMin = 0.0f, m_zMax = 0.0f;
    ObjectBox* m_box = nullptr;
    float* m_angle = nullptr;
};
