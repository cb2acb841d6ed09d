#include "world/ObjectItem.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/Random.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/PropertyRouter.h"
#include "world/BasePhysicsPack.h"
#include "world/Camera.h"

namespace {

bool Within19(int32_t a, int32_t b) {
    const int64_t d = int64_t{a} - b;
    return d >= -19 && d <= 19;
}

}  // namespace

ObjectItem::ObjectItem() {
    m_type = kTypeObjectItem;
    if (DataLibrary* library = GetGlobalState()->dataLibrary) {
        for (size_t i = 0; i < m_shadows.size(); ++i)
            m_shadows[i] = library->Get<BitmapWrapper>("Images", "Misc", "Shadows", kShadowNames[i], DataKind::Bitmap);
    }
    SetDimensions(16, 16, 16);
    SetPhysics(std::make_unique<BasePhysicsPack>());
    UpdateBounds();
}

ObjectItem::~ObjectItem() = default;

void ObjectItem::Update() {
    if (m_physics) m_physics->Step();
    UpdateBounds();
}

void ObjectItem::UpdateBounds() {
    m_box.x1 = SaturateToInt32(int64_t{m_box.X} - m_box.XDim / 2);
    m_box.x2 = SaturateToInt32(int64_t{m_box.X} + m_box.XDim / 2);
    m_box.y1 = SaturateToInt32(int64_t{m_box.Y} - m_box.YDim / 2);
    m_box.y2 = SaturateToInt32(int64_t{m_box.Y} + m_box.YDim / 2);
    m_box.z1 = SaturateToInt32(int64_t{m_box.Z} - m_box.ZDim / 2);
    m_box.z2 = SaturateToInt32(int64_t{m_box.Z} + m_box.ZDim / 2);
}

void ObjectItem::Nudge(int32_t x, int32_t y, int32_t z, float fx, float fy, float fz) {
    if (!m_physics) return;
    if (!Within19(m_box.X, x) || !Within19(m_box.Y, y) || !Within19(m_box.Z, z)) return;
    // The y part is drawn first, then the z part.
    const float jitterY = static_cast<float>((RandomNext() % 101 - 50) / 20.0);
    const float jitterZ = static_cast<float>((RandomNext() % 101 - 50) / 10.0);
    m_physics->AddForce(fx, fy + jitterY, fz + jitterZ);
}

void ObjectItem::DrawAtCamera(BitmapWrapper* target, Camera* camera) {
    if (!camera) return;
    DrawAt(target, SaturateToInt32(int64_t{m_box.x1} - camera->GetX()),
           SaturateToInt32(int64_t{m_box.y1} - camera->GetY() + m_box.z2));
}

void ObjectItem::DrawAt(BitmapWrapper* target, int32_t x, int32_t y) {
    if (!target) return;
    if (BitmapWrapper* shadow = m_shadows[3])
        shadow->DrawToDefault(target->GetBitmap(), SaturateToInt32(int64_t{x} - 14),
                              SaturateToInt32(int64_t{y} - 10 - m_box.z2));
    // The 16 x 16 image turns about its centre.
    if (m_itemImage)
        m_itemImage->DrawRotatedCentredToDefault(target->GetBitmap(), SaturateToInt32(int64_t{x} + 8),
                                                 SaturateToInt32(int64_t{y} + 8), m_angle);
}

void* ObjectItem::RoutePointer(const std::string& name) {
    if (m_physics) {
        if (void* address = m_physics->GetPropertyAddress(name)) return address;
    }
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void ObjectItem::SetImage(BitmapWrapper* image) {
    if (!image) std::fputs("ObjectItem::SetImage:  Warning, image was NULL\n", stderr);
    m_itemImage = image;
}
