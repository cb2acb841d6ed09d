#include "world/Camera.h"

#include <algorithm>
#include <cmath>

#include "core/base/Geometry.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "world/CameraManager.h"
#include "world/PlayerVorn.h"

namespace {
Camera::MapWindowTest g_isMapWindow = nullptr;
}  // namespace

void Camera::SetMapWindowTest(MapWindowTest test) { g_isMapWindow = test; }

Camera::MapWindowTest Camera::GetMapWindowTest() { return g_isMapWindow; }

void Camera::WindowToView(float x, float y, int32_t* viewX, int32_t* viewY) {
    auto toInt = [](double v) {
        return std::isfinite(v) ? static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
    };
    double vx = std::trunc(x), vy = std::trunc(y);
    GlobalState* state = GetGlobalState();
    GUIBaseObject* window = state->guiManager ? state->guiManager->FindObject("EnvironmentWindow") : nullptr;
    Camera* camera = state->cameraManager ? state->cameraManager->GetActiveCamera() : nullptr;
    if (window && g_isMapWindow && g_isMapWindow(window) && camera && window->GetWidth() > 0 &&
        window->GetHeight() > 0 && camera->GetWidth() > 0 && camera->GetHeight() > 0) {
        double left = 0, top = 0;
        for (const GUIBaseObject* o = window; o; o = o->GetParent()) {
            left += o->GetPositionX();
            top += o->GetPositionY();
        }
        vx = std::floor((x - left) * camera->GetWidth() / window->GetWidth());
        vy = std::floor((y - top) * camera->GetHeight() / window->GetHeight());
    }
    *viewX = toInt(vx);
    *viewY = toInt(vy);
}

int32_t Camera::DisplayWidth() {
    GlobalState* state = GetGlobalState();
    return state->displayManager ? state->displayManager->GetWidth() : state->windowWidth;
}

int32_t Camera::DisplayHeight() {
    GlobalState* state = GetGlobalState();
    return state->displayManager ? state->displayManager->GetHeight() : state->windowHeight;
}

Camera::Camera(int32_t x, int32_t y, int32_t width, int32_t height)
    : m_bitmap(std::make_unique<BitmapWrapper>(width, height, &GetGlobalState()->openGLMode)),
      m_width(width),
      m_height(height),
      m_x(x),
      m_y(y),
      m_right(SaturateToInt32(int64_t{x} + width)),
      m_bottom(SaturateToInt32(int64_t{y} + height)),
      m_maxX(DisplayWidth()),
      m_maxY(DisplayHeight()) {}

Camera::~Camera() = default;

void Camera::SetIsometric(bool isometric) {
    m_isometric = isometric ? 1 : 0;
    if (PlayerVorn* player = GetGlobalState()->player) player->SetGameMode(isometric ? 1 : 0);
}

void Camera::SetDimensions(int32_t width, int32_t height) {
    m_width = std::clamp(width, 0, std::max(DisplayWidth(), 0));
    m_height = std::clamp(height, 0, std::max(DisplayHeight(), 0));
    m_bitmap->Resize(m_width, m_height);
}

void Camera::SetBoundaries(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
    m_minX = minX;
    m_minY = minY;
    m_maxX = maxX;
    m_maxY = maxY;
    // New boundaries (a map change) bring a flat view inside them at once: a
    // view that fits its map never follows the player, so it would keep the
    // old map's position for good.
    if (!m_isometric) ClampToBoundaries();
}

void Camera::ClampToBoundaries() {
    if (m_x < m_minX) {
        m_x = m_minX;
        m_right = SaturateToInt32(int64_t{m_x} + m_width);
    }
    if (m_right > m_maxX) {
        m_right = m_maxX;
        m_x = SaturateToInt32(int64_t{m_right} - m_width);
    }
    if (m_y < m_minY) {
        m_y = m_minY;
        m_bottom = SaturateToInt32(int64_t{m_y} + m_height);
    }
    if (m_bottom > m_maxY) {
        m_bottom = m_maxY;
        m_y = SaturateToInt32(int64_t{m_bottom} - m_height);
    }
}

void Camera::MoveBy(int32_t dx, int32_t dy) {
    // One unit per pass toward each offset, at most 100 passes.
    const int32_t stepX = std::clamp(dx, -100, 100);
    const int32_t stepY = std::clamp(dy, -100, 100);
    m_x = SaturateToInt32(int64_t{m_x} + stepX);
    m_right = SaturateToInt32(int64_t{m_right} + stepX);
    m_y = SaturateToInt32(int64_t{m_y} + stepY);
    m_bottom = SaturateToInt32(int64_t{m_bottom} + stepY);
    if (!m_isometric) ClampToBoundaries();
}

void Camera::Update() {
    // With no player the camera stays where it is.
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) return;
    const Dimensions* position = player->GetDimensions();
    FollowPoint(position->X, position->Y);
}

void Camera::FollowPoint(double pointX, double pointY) {
    // The point goes to the view's horizontal centre and 60 pixels above its
    // vertical centre: the lowest 120 pixels are left out of the centring.
    const double centreX = double(m_x) + m_width / 2;
    const double centreY = double(m_y) + (int64_t{m_height} - 120) / 2;
    double dx = 0;
    double dy = 0;
    if (m_isometric) {
        dx = pointX - pointY + 300 - centreX;
        dy = (pointX + pointY) / 2 + 200 - centreY;
    } else {
        if (int64_t{m_maxX} - m_minX <= m_width && int64_t{m_maxY} - m_minY <= m_height) return;
        dx = pointX - 3 - centreX;
        dy = pointY - 3 - centreY;
    }
    MoveBy(TruncateToInt32(dx), TruncateToInt32(dy));
}

bool RectOverlapsCamera(const int32_t* rect, const Camera* camera) {
    if (!rect) return false;
    return RectCoordsOverlapCamera(rect[0], rect[1], rect[2], rect[3], camera);
}

bool RectCoordsOverlapCamera(int32_t left, int32_t top, int32_t right, int32_t bottom, const Camera* camera) {
    if (!camera) return false;
    return RectsOverlap(left, top, right, bottom, camera->GetX(), camera->GetY(), camera->GetRight(),
                        camera->GetBottom());
}
