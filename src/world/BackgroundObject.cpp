#include "world/BackgroundObject.h"

#include <algorithm>
#include <cmath>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

BackgroundObject::BackgroundObject() = default;

void BackgroundObject::SetImage(BitmapWrapper* image) {
    m_image = image;
    m_width = image ? image->GetWidth() : 0;
    m_height = image ? image->GetHeight() : 0;
}

void BackgroundObject::SetPosition(int32_t x, int32_t y) {
    m_x = x;
    m_y = y;
}

void BackgroundObject::SetFlags(int32_t flags) { m_flags = flags; }

void BackgroundObject::SetFactors(float factorX, float factorY) {
    m_factorX = factorX;
    m_factorY = factorY;
}

void BackgroundObject::SetSpeed(int32_t speedX, int32_t speedY) {
    m_speedX = speedX;
    m_speedY = speedY;
}

void BackgroundObject::SetModuloMode(bool on) { m_modulo = on ? 1 : 0; }

void BackgroundObject::Update() {
    m_x = SaturateToInt32(int64_t{m_x} + m_speedX);
    m_y = SaturateToInt32(int64_t{m_y} + m_speedY);
    CameraManager* cameras = GetGlobalState()->cameraManager;
    Camera* camera = cameras ? cameras->GetActiveCamera() : nullptr;
    if (!camera) return;
    // The object is drawn at its own position on the view, whatever the
    // camera's place in the world: it is done once it has left the view.
    if (int64_t{m_x} + m_width < 0 || m_x >= camera->GetWidth()) m_done = 1;
}

int32_t BackgroundObject::WrapColumn(int32_t offsetX) const {
    if (m_width <= 0) return 0;
    // The product is taken in single precision, as the factor is kept (10 x
    // 0.7f rounds to 7, not 6.99...), then truncated toward zero; NaN and
    // out-of-range products are brought into range first so the conversion
    // stays defined.
    float product = static_cast<float>(offsetX) * m_factorX;
    if (std::isnan(product)) product = 0.0f;
    product = std::clamp(product, -9.0e18f, 9.0e18f);
    int64_t column = static_cast<int64_t>(product) % m_width;
    // A negative product scrolls the other way: the same wrap, counted from
    // the right edge.
    if (column < 0) column += m_width;
    return static_cast<int32_t>(column);
}

void BackgroundObject::Draw(BitmapWrapper* target, int32_t offsetX) {
    if (!m_image) return;
    if (target && target->GetBitmap()) target->SetAsTarget();
    if (!m_modulo) {
        m_image->Draw(m_x, m_y, m_flags);
        return;
    }
    int32_t s = WrapColumn(offsetX);
    // Columns 0..s-1 go to the right end, columns s..width-1 to the left.
    if (s > 0)
        m_image->DrawRegionToCurrent(0, 0, s, m_height, SaturateToInt32(int64_t{m_x} + (m_width - s)), m_y, m_flags);
    m_image->DrawRegionToCurrent(s, 0, m_width - s, m_height, m_x, m_y, m_flags);
}

bool BackgroundObject::IsOnScreen() const {
    int64_t right = int64_t{m_x} + m_width;
    int64_t bottom = int64_t{m_y} + m_height;
    return right >= 0 && m_x <= Camera::DisplayWidth() && bottom >= 0 && m_y <= Camera::DisplayHeight();
}

void BackgroundObject::DrawAt(int32_t x, int32_t y) {
    if (m_image) m_image->Draw(x, y, m_flags);
}
