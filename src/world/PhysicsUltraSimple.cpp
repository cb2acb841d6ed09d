#include "world/PhysicsUltraSimple.h"

#include "core/base/Geometry.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/script/PropertyRouter.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/PhysicsMovement.h"
#include "world/PhysicsObjectBox.h"

void PhysicsUltraSimple::Step() {
    if (!m_box || !m_angle || m_stopped) return;
    ObjectBox& box = *m_box;
    box.X = TruncateToInt32(static_cast<float>(box.X) + m_vx);
    box.Y = TruncateToInt32(static_cast<float>(box.Y) + m_vy);
    box.Z = TruncateToInt32(static_cast<float>(box.Z) + m_vz);
    CameraManager* cameras = GetGlobalState()->cameraManager;
    Camera* camera = cameras ? cameras->GetActiveCamera() : nullptr;
    if (!camera) return;
    const int32_t rect[4] = {box.x1, box.y1, box.x2, box.y2};
    if (!RectOverlapsCamera(rect, camera)) m_stopped = 1;
}

void* PhysicsUltraSimple::RoutePointerHook(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}
