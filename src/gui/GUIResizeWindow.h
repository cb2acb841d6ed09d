#pragma once
// A window that the user resizes by dragging its right or bottom edge
// (with a border on and unlocked); a drag anywhere else scrolls its picture
// like the scrollable window.
#include <cstdint>

#include "gui/GUIWindow.h"

class BitmapWrapper;

class GUIResizeWindow : public GUIWindow {
public:
    GUIResizeWindow();
    ~GUIResizeWindow() override;

    // The picture of that name anywhere in the data library (not owned); a
    // miss prints a line and leaves the picture as it was.
    void SetDisplay(const char* name);
    void SetBackgroundPicture(BitmapWrapper* picture) { m_backgroundPic = picture; }
    BitmapWrapper* GetBackgroundPic() const { return m_backgroundPic; }
    void SetPictureDimensions(int x1, int y1, int x2, int y2);
    // Stored for scripts; the edge band is the border's grab width.
    void SetBorderWidth(int width) { m_borderWidth = width; }
    int GetBorderWidth() const { return m_borderWidth; }
    int GetViewX1() const { return m_viewX1; }
    int GetViewY1() const { return m_viewY1; }
    int GetViewX2() const { return m_viewX2; }
    int GetViewY2() const { return m_viewY2; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;

    // Grows the window by the drag (bottom edge: height, and width too with
    // the right edge; right edge alone: width); with no edge hit the view
    // scrolls instead. The size never drops below 1 x 1.
    void ResizeBy(int dx, int dy);

private:
    int32_t m_borderWidth = 10;
    BitmapWrapper* m_backgroundPic = nullptr;
    int32_t m_viewX1 = 0, m_viewY1 = 0;
    int32_t m_viewX2 = 1, m_viewY2 = 1;
};
