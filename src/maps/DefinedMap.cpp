#include "maps/DefinedMap.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "world/Camera.h"
#include "world/CameraManager.h"

bool DefinedMap::IsBlocked(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return true;
    return m_grid[Index(x, y)] != 0;
}

bool DefinedMap::SetDimensions(int32_t width, int32_t height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide || int64_t{width} * height > kMaxCells) {
        std::fprintf(stderr, "DefinedMap::SetDimensions:  Failed, %i x %i is not a size a map can have\n", width,
                     height);
        return false;
    }
    m_grid.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    m_width = width;
    m_height = height;
    CameraManager* cameras = GetGlobalState()->cameraManager;
    if (Camera* camera = cameras ? cameras->GetActiveCamera() : nullptr) camera->SetBoundaries(0, 0, width, height);
    return true;
}

void DefinedMap::SetRect(bool value, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 >= x2 || y1 >= y2) return;
    x2 = std::min(x2, m_width);
    y2 = std::min(y2, m_height);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    std::fprintf(stderr, "Set clipping %i %i %i %i\n", x1, y1, x2, y2);
    for (int32_t x = x1; x < x2; ++x)
        for (int32_t y = y1; y < y2; ++y) m_grid[Index(x, y)] = value ? 1 : 0;
}

void DefinedMap::ClearAll() { std::fill(m_grid.begin(), m_grid.end(), 0); }

void DefinedMap::DebugDraw() const {
    if (!al_get_target_bitmap()) return;
    const ALLEGRO_COLOR colour = al_map_rgb(128, 128, 0);
    for (int32_t x = 0; x < m_width; ++x)
        for (int32_t y = 0; y < m_height; ++y)
            if (m_grid[Index(x, y)]) al_put_pixel(x, y, colour);
}
