#include "world/ObjectBase.h"

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "world/BasePhysicsPack.h"
#include "world/Camera.h"
#include "world/EntityManager.h"
#include "world/Terrain.h"

ObjectBase::ObjectBase() { m_type = kTypeObjectBase; }

ObjectBase::~ObjectBase() { PropertyRouter::ForgetOwner(this); }

void ObjectBase::GetPosition(float* x, float* y, float* z) {
    if (x) *x = static_cast<float>(m_box.X);
    if (y) *y = static_cast<float>(m_box.Y);
    if (z) *z = static_cast<float>(m_box.Z);
}

int ObjectBase::GetDrawOrderKey() {
    Terrain* terrain = CurrentTerrain();
    // 64-bit sums: large coordinates from scripts must not overflow.
    if (terrain && terrain->IsIsometric())
        return SaturateToInt32((int64_t{m_box.X} + m_box.Y + m_box.ZDim + m_box.YDim) / 2);
    return SaturateToInt32(int64_t{m_box.Y} + m_box.YDim / 2);
}

void ObjectBase::Nudge(int32_t, int32_t, int32_t, float, float, float) {}

void ObjectBase::RunKillScript() {
    if (!m_killScript || m_removed) return;
    LuaManager* lua = GetGlobalState()->luaManager;
    if (!lua) return;
    // A copy: the script may remove this object.
    const std::string path = *m_killScript;
    lua->RunFile(path, m_killScriptCode);
}

void ObjectBase::DrawAtCamera(BitmapWrapper* target, Camera* camera) {
    if (!camera) return;
    DrawAt(target, SaturateToInt32(int64_t{m_box.x1} - camera->GetX()),
           SaturateToInt32(int64_t{m_box.y1} - camera->GetY()));
}

void ObjectBase::DrawAt(BitmapWrapper* target, int32_t x, int32_t y) {
    if (target && m_image) m_image->DrawToDefault(target->GetBitmap(), x, y);
}

void* ObjectBase::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void ObjectBase::SetCoordinates(int32_t x, int32_t y, int32_t z) {
    m_box.X = x;
    m_box.Y = y;
    m_box.Z = z;
}

void ObjectBase::SetDimensions(int32_t x, int32_t y, int32_t z) {
    m_box.XDim = x;
    m_box.YDim = y;
    m_box.ZDim = z;
}

void ObjectBase::SetKillScript(const std::string& path, int32_t code) {
    m_killScript = path;
    m_killScriptCode = code;
}

void ObjectBase::SetPhysics(std::unique_ptr<BasePhysicsPack> physics) {
    // Kept addresses may point into the old pack ("XSpeed" ...).
    if (m_physics) PropertyRouter::ForgetOwner(this);
    m_physics = std::move(physics);
    if (m_physics) m_physics->Bind(&m_box, &m_angle);
}

void* ObjectBase::GetPropertyAddress(const std::string& name) {
    if (void* routed = RoutePointer(name)) return routed;
    PropertyRouter::Report(PropertyRouter::kInt);
    if (name == "XPos") return &m_box.X;
    if (name == "YPos") return &m_box.Y;
    if (name == "ZPos") return &m_box.Z;
    PropertyRouter::Report(PropertyRouter::kPhysicsPack);
    if (name == "PhysicsPtr" && m_physics) return m_physics.get();
    PropertyRouter::Report(PropertyRouter::kObjectBox);
    if (name == "Dimensions") return &m_box;
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

ObjectBase* ObjectBase::GetActive() { return Entities() ? ActiveOf(Entities()) : nullptr; }

EntityManager* ObjectBase::Entities() { return GetGlobalState()->entityManager; }

ObjectBase* ObjectBase::ActiveOf(EntityManager* entities) {
    return dynamic_cast<ObjectBase*>(entities->GetActiveObject());
}
