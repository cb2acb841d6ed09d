#include "world/BasePhysicsPack.h"

#include <cmath>
#include <cstdio>

#include "core/base/Int32Range.h"
#include "core/script/PropertyRouter.h"
#include "world/PhysicsMovement.h"
#include "world/PhysicsObjectBox.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A value above the maximum becomes the maximum, then one below the minimum
// becomes the minimum.
float Clamp(float value, float low, float high) {
    if (value > high) value = high;
    if (value < low) value = low;
    return value;
}

float ApplyFriction(float v, float f) {
    if (v > f) return v - f;
    if (v < -f) return v + f;
    return 0.0f;
}

// The shifted box rectangle is free of blocked cells on the floor layer.
bool BoxFree(const ObjectBox& box, int32_t dx, int32_t dy) {
    for (int64_t x = int64_t{box.x1} + dx; x < int64_t{box.x2} + dx; ++x)
        for (int64_t y = int64_t{box.y1} + dy; y < int64_t{box.y2} + dy; ++y)
            if (MapCellBlocked(static_cast<int32_t>(x), static_cast<int32_t>(y), 0)) return false;
    return true;
}

}  // namespace

void BasePhysicsPack::RecomputeBox(ObjectBox& box) {
    box.x1 = SaturateToInt32(int64_t{box.X} - box.XDim / 2);
    box.x2 = SaturateToInt32(int64_t{box.X} + box.XDim / 2);
    box.y1 = SaturateToInt32(int64_t{box.Y} - box.YDim / 2);
    box.y2 = SaturateToInt32(int64_t{box.Y} + box.YDim / 2);
    box.z1 = SaturateToInt32(int64_t{box.Z} - box.ZDim / 2);
    box.z2 = SaturateToInt32(int64_t{box.Z} + box.ZDim / 2);
}

void BasePhysicsPack::Bind(ObjectBox* box, float* angle) {
    m_box = box;
    m_angle = angle;
}

void* BasePhysicsPack::RoutePointerHook(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void BasePhysicsPack::AddForce(float fx, float fy, float fz) {
    if (m_mass == 0.0f) return;
    m_vx += fx / m_mass;
    m_vy += fy / m_mass;
    m_vz += fz / m_mass;
}

void BasePhysicsPack::SetBounds(float xMin, float xMax, float yMin, float yMax, float zMin, float zMax) {
    m_xMin = xMin;
    m_xMax = xMax;
    m_yMin = yMin;
    m_yMax = yMax;
    m_zMin = zMin;
    m_zMax = zMax;
}

void* BasePhysicsPack::GetPropertyAddress(const std::string& name) {
    if (void* hooked = RoutePointerHook(name)) return hooked;
    float* address = nullptr;
    if (name == "XSpeed")
        address = &m_vx;
    else if (name == "YSpeed")
        address = &m_vy;
    else if (name == "ZSpeed")
        address = &m_vz;
    PropertyRouter::Report(address ? PropertyRouter::kFloat : PropertyRouter::kNone);
    return address;
}

void BasePhysicsPack::Step() {
    if (!m_box || !m_angle) return;
    ObjectBox& box = *m_box;

    const float friction = box.z2 == 0 ? m_groundFriction : m_airFriction;
    m_vx = Clamp(ApplyFriction(m_vx, friction), m_xMin, m_xMax);
    m_vy = Clamp(ApplyFriction(m_vy, friction), m_yMin, m_yMax);

    const double speed = std::sqrt(double(m_vx) * m_vx + double(m_vy) * m_vy);
    const double spin = m_vx >= 0 ? 0.2 : -0.2;
    *m_angle = static_cast<float>(*m_angle + speed * m_bounce * spin);

    if (box.z2 < 0) {
        m_vz = Clamp(m_vz + m_gravity, m_zMin, m_zMax);
    } else if (m_vz > 1.0f) {
        m_vz = -m_vz * m_bounce;
    } else {
        m_vz = Clamp(m_vz, m_zMin, 0.0f);
    }

    if (*m_angle > kTwoPi)
        *m_angle = static_cast<float>(*m_angle - kTwoPi);
    else if (*m_angle < 0)
        *m_angle = static_cast<float>(*m_angle + kTwoPi);

    int64_t sx = TruncateToInt32(m_vx), sy = TruncateToInt32(m_vy), sz = TruncateToInt32(m_vz);
    int passes = 0;
    while ((sx != 0 || sy != 0 || sz != 0) && passes < kMaxMovePasses) {
        if (sx != 0) {
            const int32_t unit = sx >= 1 ? 1 : -1;
            sx -= unit;
            if (BoxFree(box, unit, 0)) {
                box.X = SaturateToInt32(int64_t{box.X} + unit);
                RecomputeBox(box);
            } else {
                m_vx = -m_vx * m_bounce;
                sx = 0;
            }
        }
        if (sy != 0) {
            // The test looks two units ahead while the move is one unit.
            const int32_t unit = sy >= 1 ? 1 : -1;
            sy -= unit;
            if (BoxFree(box, 0, 2 * unit)) {
                box.Y = SaturateToInt32(int64_t{box.Y} + unit);
                RecomputeBox(box);
            } else {
                m_vy = -m_vy * m_bounce;
                sy = 0;
            }
        }
        if (sz != 0) {
            const int32_t unit = sz > 0 ? 1 : -1;
            sz -= unit;
            box.Z = SaturateToInt32(int64_t{box.Z} + unit);
            RecomputeBox(box);
        }
        if (++passes == kMaxMovePasses - 1 && (sx != 0 || sy != 0 || sz != 0))
            std::fputs("Movement loop got caught\n", stderr);
    }
}
