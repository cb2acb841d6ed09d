#pragma once
// A window that shows part of a larger picture; while unlocked, the user
// drags the picture around with the mouse. A press within the border width
// of an edge starts no scrolling (the border belongs to the frame).
#include <cstdint>
#include <string>

#include "gui/GUIWindow.h"

class BitmapWrapper;

class GUIScrollableWindow : public GUIWindow {
public:
    GUIScrollableWindow();
    ~GUIScrollableWindow() override;

    // The picture of that name anywhere in the data library (not owned);
    // a miss prints a line and leaves the picture as it was. With all three
    // border images set, the window gets content and is redrawn.
    void SetBackgroundPic(const char* name);
    void SetBackgroundPicture(BitmapWrapper* picture) { m_backgroundPic = picture; }
    BitmapWrapper* GetBackgroundPic() const { return m_backgroundPic; }
    // The view: (x1, y1) is the top-left corner, in the picture, of the
    // region shown; x2 and y2 move with it.
    void SetPictureDimensions(int x1, int y1, int x2, int y2);
    void SetBorderWidth(int width) { m_borderWidth = width; }
    int GetBorderWidth() const { return m_borderWidth; }
    int GetViewX1() const { return m_viewX1; }
    int GetViewY1() const { return m_viewY1; }
    int GetViewX2() const { return m_viewX2; }
    int GetViewY2() const { return m_viewY2; }

    // Press, release and pulse scroll the view while unlocked.
    bool OnEvent(int event, int x, int y) override;
    // The picture's region of the window's size from the view corner, then
    // the children; the background colour is not used.
    void Render() override;

    // Moves the view so that the picture follows the mouse by (dx, dy).
    void ScrollBy(int dx, int dy);

private:
    int32_t m_borderWidth = 10;
    bool m_pressedOnBorder = false;
    BitmapWrapper* m_backgroundPic = nullptr;
    int32_t m_viewX1 = 0, m_viewY1 = 0;
    int32_t m_viewX2 = 1, m_viewY2 = 1;
};

// Draws the part of the picture seen through a window of w x h whose view
// corner is (viewX, viewY), at (drawX, drawY) on the current target. Only
// the part that lies on the picture is drawn; where the view leaves the
// picture the target keeps what it had.
void DrawPictureView(BitmapWrapper* picture, int viewX, int viewY, int w, int h, int drawX, int drawY);
