#include "gui/GUIScrollableWindow.h"

#include <algorithm>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"

void DrawPictureView(BitmapWrapper* picture, int viewX, int viewY, int w, int h, int drawX, int drawY) {
    if (!picture || !picture->GetBitmap() || w <= 0 || h <= 0) return;
    // Clip the source rectangle to the picture in 64-bit arithmetic, so an
    // unbounded view never asks for pixels outside it.
    int64_t sx1 = std::max<int64_t>(viewX, 0);
    int64_t sy1 = std::max<int64_t>(viewY, 0);
    int64_t sx2 = std::min<int64_t>(static_cast<int64_t>(viewX) + w, picture->GetWidth());
    int64_t sy2 = std::min<int64_t>(static_cast<int64_t>(viewY) + h, picture->GetHeight());
    if (sx2 <= sx1 || sy2 <= sy1) return;
    int64_t dx = static_cast<int64_t>(drawX) + (sx1 - viewX);
    int64_t dy = static_cast<int64_t>(drawY) + (sy1 - viewY);
    picture->DrawRegionToCurrent(static_cast<int>(sx1), static_cast<int>(sy1), static_cast<int>(sx2 - sx1),
                                 static_cast<int>(sy2 - sy1), static_cast<int>(dx), static_cast<int>(dy), 0);
}

GUIScrollableWindow::GUIScrollableWindow() { m_type = kTypeGUIScrollableWindow; }

GUIScrollableWindow::~GUIScrollableWindow() = default;

void GUIScrollableWindow::SetBackgroundPic(const char* name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    BitmapWrapper* picture =
        library && name ? static_cast<BitmapWrapper*>(library->FindPointerAnywhere(name, DataKind::Bitmap)) : nullptr;
    if (!picture) {
        std::fprintf(stderr, "GUIScrollableWindow::setBackgroundPic: rBgPic file %s not found\n", name ? name : "");
        return;
    }
    m_backgroundPic = picture;
    if (m_cornerImage && m_horizontalImage && m_verticalImage) m_hasContent = true;
    MarkDirty();
}

void GUIScrollableWindow::SetPictureDimensions(int x1, int y1, int x2, int y2) {
    m_viewX1 = x1;
    m_viewY1 = y1;
    m_viewX2 = x2;
    m_viewY2 = y2;
    MarkDirty();
}

void GUIScrollableWindow::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    // Wrapping arithmetic: the offsets have no bounds, and a huge drag must
    // not be undefined behaviour.
    auto sub = [](int32_t a, int d) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(d));
    };
    m_viewX1 = sub(m_viewX1, dx);
    m_viewX2 = sub(m_viewX2, dx);
    m_viewY1 = sub(m_viewY1, dy);
    m_viewY2 = sub(m_viewY2, dy);
    MarkDirty();
}

bool GUIScrollableWindow::OnEvent(int event, int x, int y) {
    if (m_lock) return false;
    GUIManager* manager = GetGlobalState()->guiManager;
    switch (event) {
        case kGUIEventPress: {
            if (!m_mouseInside) return false;
            m_pressed = true;
            m_windowDragging = true;
            if (manager) manager->SetDragObject(this);
            m_windowLastMouseX = x;
            m_windowLastMouseY = y;
            const int64_t b = m_borderWidth;  // any width a script set; no overflow
            m_pressedOnBorder = x - b <= m_x1 || x + b >= m_x2 || y - b <= m_y1 || y + b >= m_y2;
            return true;
        }
        case kGUIEventRelease:
            m_pressed = false;
            m_windowDragging = false;
            m_pressedOnBorder = false;
            return false;
        case kGUIEventPulse: {
            if (!m_mouseInside && !m_windowDragging) return false;
            bool ours = manager && manager->GetDragObject() == this;
            if (m_windowDragging && ours && !m_pressedOnBorder)
                ScrollBy(SaturateToInt32(int64_t{x} - m_windowLastMouseX),
                         SaturateToInt32(int64_t{y} - m_windowLastMouseY));
            m_windowLastMouseX = x;
            m_windowLastMouseY = y;
            return true;
        }
        default: return false;
    }
}

void GUIScrollableWindow::Render() {
    // Draw has cleared the backing bitmap to transparent already.
    if (m_backgroundPic) {
        TargetBacking();
        DrawPictureView(m_backgroundPic, m_viewX1, m_viewY1, m_width, m_height, m_drawX, m_drawY);
    }
    FinishRender();
}
