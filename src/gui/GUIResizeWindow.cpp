#include "gui/GUIResizeWindow.h"

#include <algorithm>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "gui/GUIScrollableWindow.h"

GUIResizeWindow::GUIResizeWindow() { m_type = kTypeGUIResizeWindow; }

GUIResizeWindow::~GUIResizeWindow() = default;

void GUIResizeWindow::SetDisplay(const char* name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    BitmapWrapper* picture =
        library && name ? static_cast<BitmapWrapper*>(library->FindPointerAnywhere(name, DataKind::Bitmap)) : nullptr;
    if (!picture) {
        std::fprintf(stderr, "GUIRSW SetDisplay: rBgPic file %s not found\n", name ? name : "");
        return;
    }
    m_backgroundPic = picture;
    MarkDirty();
}

void GUIResizeWindow::SetPictureDimensions(int x1, int y1, int x2, int y2) {
    m_viewX1 = x1;
    m_viewY1 = y1;
    m_viewX2 = x2;
    m_viewY2 = y2;
    MarkDirty();
}

void GUIResizeWindow::ResizeBy(int dx, int dy) {
    int32_t width = m_width;
    int32_t height = m_height;
    if (m_bottomHit) {
        height = SaturateToInt32(int64_t{height} + dy);
        if (m_rightHit) width = SaturateToInt32(int64_t{width} + dx);
    } else if (m_rightHit) {
        width = SaturateToInt32(int64_t{width} + dx);
    } else {
        m_viewX1 = SaturateToInt32(int64_t{m_viewX1} - dx);
        m_viewX2 = SaturateToInt32(int64_t{m_viewX2} - dx);
        m_viewY1 = SaturateToInt32(int64_t{m_viewY1} - dy);
        m_viewY2 = SaturateToInt32(int64_t{m_viewY2} - dy);
        if (dx != 0 || dy != 0) MarkDirty();
        return;
    }
    // A window dragged to nothing would have no bitmap to draw into.
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width != m_width || height != m_height) SetDimensions(m_x1, m_y1, width, height);
}

bool GUIResizeWindow::OnEvent(int event, int x, int y) {
    if (m_lock) return false;
    switch (event) {
        case kGUIEventPress: {
            if (!m_mouseInside) return false;
            m_windowDragging = true;
            m_windowLastMouseX = x;
            m_windowLastMouseY = y;
            // A press on the right or bottom edge resizes: the border drag of
            // the base object would move the window at the same time, so it
            // is called off here.
            if (m_edgeGrabbed && (m_rightHit || m_bottomHit) && m_dragging) {
                m_dragging = false;
                GUIManager* manager = GetGlobalState()->guiManager;
                if (manager && manager->GetDragObject() == this) manager->SetDragObject(nullptr);
            }
            return true;
        }
        case kGUIEventRelease: m_windowDragging = false; return false;
        case kGUIEventPulse:
            if (m_windowDragging) {
                ResizeBy(SaturateToInt32(int64_t{x} - m_windowLastMouseX),
                         SaturateToInt32(int64_t{y} - m_windowLastMouseY));
                m_windowLastMouseX = x;
                m_windowLastMouseY = y;
            }
            return false;
        default: return false;
    }
}

void GUIResizeWindow::Render() {
    if (m_backgroundPic) {
        TargetBacking();
        DrawPictureView(m_backgroundPic, m_viewX1, m_viewY1, m_width, m_height, m_drawX, m_drawY);
    }
    FinishRender();
}
