// The windows on memory bitmaps: what they draw, and how the scrollable and
// resize windows answer the mouse.
#include "gui/GUIWindow.h"

#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "gui/GUIResizeWindow.h"
#include "gui/GUIScrollableWindow.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"

namespace {

constexpr uint32_t kClear = 0, kRed = 0xff0000ff, kBlue = 0x0000ffff, kGrey = 0x090909ff;

// A GUI manager in its slot for the test (windows become its drag object).
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        saved_ = GetGlobalState()->guiManager;
        GetGlobalState()->guiManager = &manager_;
    }
    void TearDown() override { GetGlobalState()->guiManager = saved_; }

    struct AllegroFirst {
        AllegroFirst() { testsupport::EnsureAllegro(); }
    } allegro_;
    // Red on the left half, blue on the right.
    BitmapWrapper picture_{40, 20, &GetGlobalState()->openGLMode};
    void PaintPicture() {
        picture_.ClearToRGBA(255, 0, 0, 255);
        al_set_target_bitmap(picture_.GetBitmap());
        for (int x = 20; x < 40; ++x)
            for (int y = 0; y < 20; ++y) al_put_pixel(x, y, al_map_rgb(0, 0, 255));
    }
    GUIManager manager_;
    GUIManager* saved_ = nullptr;
};

TEST_F(WindowTest, RenderFillsWithTheColourOrTransparentAndDrawsChildren) {
    GUIWindow window;
    window.SetDimensions(2, 3, 20, 10);
    BitmapWrapper target(40, 40, &GetGlobalState()->openGLMode);
    target.ClearToRGBA(9, 9, 9, 255);
    window.Draw(&target);
    EXPECT_EQ(Px(window.GetBackingBitmap(), 5, 5), kClear);
    EXPECT_EQ(Px(&target, 5, 5), kGrey);
    EXPECT_FALSE(window.IsDirty());  // its picture is kept until something changes

    window.SetBackgroundColor(300, -1, 20);  // modulo 256
    auto* child = new GUIWindow;
    child->SetBackgroundColor(0, 0, 255);
    window.AddChild("Child", child);
    child->SetDimensions(4, 2, 3, 3);
    window.Draw(&target);
    EXPECT_EQ(Px(&target, 2, 3), 0x2cff14ffu);
    EXPECT_EQ(Px(&target, 21, 12), 0x2cff14ffu);
    EXPECT_EQ(Px(&target, 22, 12), kGrey);
    EXPECT_EQ(Px(&target, 2 + 4, 3 + 2), kBlue);

    window.SetTransparent();
    window.Draw(&target);
    EXPECT_EQ(Px(window.GetBackingBitmap(), 0, 0), kClear);
}

TEST_F(WindowTest, ScrollableWindowFollowsTheDragWhileUnlocked) {
    GUIScrollableWindow window;
    window.SetDimensions(0, 0, 100, 100);
    EXPECT_FALSE(window.HandleEvent(0, 50, 50));  // locked by default
    EXPECT_FALSE(window.HandleEvent(-1, 55, 50));
    EXPECT_EQ(window.GetViewX1(), 0);

    window.SetLock(0);
    EXPECT_TRUE(window.HandleEvent(0, 50, 50));
    EXPECT_EQ(manager_.GetDragObject(), &window);
    EXPECT_TRUE(window.HandleEvent(-1, 55, 47));  // 5 right, 3 up
    EXPECT_EQ(window.GetViewX1(), -5);
    EXPECT_EQ(window.GetViewX2(), -4);
    EXPECT_EQ(window.GetViewY1(), 3);
    EXPECT_TRUE(window.HandleEvent(-1, 155, 47));  // goes on outside
    EXPECT_EQ(window.GetViewX1(), -105);
    EXPECT_FALSE(window.HandleEvent(1, 155, 47));
    EXPECT_TRUE(window.HandleEvent(-1, 60, 60));  // over it: taken, no scroll
    EXPECT_FALSE(window.HandleEvent(-1, 160, 60));
    EXPECT_EQ(window.GetViewX1(), -105);

    // A press within the border width of an edge starts no scrolling.
    EXPECT_TRUE(window.HandleEvent(0, 95, 50));
    EXPECT_TRUE(window.HandleEvent(-1, 70, 40));
    EXPECT_EQ(window.GetViewX1(), -105);
    EXPECT_FALSE(window.HandleEvent(0, 150, 50));
    // Any width a script sets: all of the window is border.
    window.SetBorderWidth(INT32_MAX);
    EXPECT_TRUE(window.HandleEvent(0, 50, 50));
    EXPECT_TRUE(window.HandleEvent(-1, 60, 50));
    EXPECT_EQ(window.GetViewX1(), -105);
}

TEST_F(WindowTest, PictureWindowsShowTheViewedPartOfALibraryPictureOnly) {
    PaintPicture();
    DataLibrary library;
    DataLibrary* saved = GetGlobalState()->dataLibrary;
    GetGlobalState()->dataLibrary = &library;
    library.AddSection("Images");
    library.AddCatalogue("Images", "Background");
    library.AddHeading("Images", "Background", "Scenery");
    library.Register("Images", "Background", "Scenery", "Sky", &picture_, DataKind::Bitmap);
    static TextureFile notAPicture{"x.png"};
    library.Register("Images", "Background", "Scenery", "File", &notAPicture, DataKind::TextureFile);

    GUIScrollableWindow scrollable;
    GUIResizeWindow resize;
    testsupport::StderrCapture cap;
    scrollable.SetBackgroundPic("File");  // found by kind only
    resize.SetDisplay("Nowhere");
    scrollable.SetBackgroundPic("Sky");
    resize.SetDisplay("Sky");
    EXPECT_EQ(cap.Take(),
              "GUIScrollableWindow::setBackgroundPic: rBgPic file File not found\n"
              "GUIRSW SetDisplay: rBgPic file Nowhere not found\n");
    // Content comes with the picture only when the border images are set.
    EXPECT_FALSE(scrollable.HasContent());
    scrollable.SetBorderImages(&picture_, &picture_, &picture_);
    scrollable.SetBackgroundPic("Sky");
    EXPECT_TRUE(scrollable.HasContent() && scrollable.IsDirty());
    scrollable.SetBorderImages(nullptr, nullptr, nullptr);
    GetGlobalState()->dataLibrary = saved;

    BitmapWrapper target(20, 20, &GetGlobalState()->openGLMode);
    for (GUIWindow* window : {static_cast<GUIWindow*>(&scrollable), static_cast<GUIWindow*>(&resize)}) {
        window->SetDimensions(0, 0, 10, 10);
        window->SetBackgroundColor(0, 255, 0);  // not used by these windows
        auto drawAt = [&](int x, int y) {
            scrollable.SetPictureDimensions(x, y, x + 1, y + 1);
            resize.SetPictureDimensions(x, y, x + 1, y + 1);
            window->Draw(&target);
            return window->GetBackingBitmap();
        };
        BitmapWrapper* backing = drawAt(15, 0);
        EXPECT_EQ(Px(backing, 4, 9), kRed);
        EXPECT_EQ(Px(backing, 5, 0), kBlue);
        // Views leaving the picture show it where it is, nothing beside.
        backing = drawAt(-3, -4);
        EXPECT_EQ(Px(backing, 2, 5), kClear);
        EXPECT_EQ(Px(backing, 5, 3), kClear);
        EXPECT_EQ(Px(backing, 3, 4), kRed);
        backing = drawAt(35, 15);
        EXPECT_EQ(Px(backing, 4, 4), kBlue);
        EXPECT_EQ(Px(backing, 5, 4), kClear);
        backing = drawAt(2000000000, -2000000000);
        EXPECT_EQ(Px(backing, 0, 0), kClear);
    }
}

TEST_F(WindowTest, ResizeWindowGrowsByItsRightAndBottomEdgesAndScrollsElsewhere) {
    BitmapWrapper corner(4, 4, &GetGlobalState()->openGLMode);
    auto* window = new GUIResizeWindow;
    manager_.ResetActiveObjectList();
    manager_.AddObject("Resizer", window);
    window->SetDimensions(100, 100, 50, 40);
    window->SetLock(0);
    // Without a border a drag scrolls the view; the pulse is never taken.
    auto drag = [&](float x0, float y0, float x1, float y1) {
        manager_.SetMousePosition(x0, y0);
        manager_.HandleMouseEvent(0);
        manager_.SetMousePosition(x1, y1);
        EXPECT_FALSE(manager_.HandleMouseEvent(-1));
        manager_.HandleMouseEvent(1);
    };
    drag(120, 120, 126, 117);
    EXPECT_EQ(window->GetViewX1(), -6);
    EXPECT_EQ(window->GetViewY2(), 4);
    EXPECT_EQ(window->GetWidth(), 50);

    // With a border: the corner grows both sides, the window stays put.
    window->SetBorderImages(&corner, &corner, &corner);
    drag(149, 139, 157, 144);
    EXPECT_EQ(window->GetWidth(), 58);
    EXPECT_EQ(window->GetHeight(), 45);
    EXPECT_EQ(window->GetX1(), 100);
    EXPECT_EQ(window->GetY1(), 100);
    EXPECT_EQ(window->GetBackingBitmap()->GetWidth(), 58);
    drag(120, 144, 125, 154);  // bottom edge: height only
    EXPECT_EQ(window->GetWidth(), 58);
    EXPECT_EQ(window->GetHeight(), 55);
    drag(157, 120, 147, 130);  // right edge, inward: width only
    EXPECT_EQ(window->GetWidth(), 48);
    EXPECT_EQ(window->GetHeight(), 55);
    drag(120, 154, 120, 0);  // far past the top: 1 pixel stays
    EXPECT_EQ(window->GetHeight(), 1);
    EXPECT_NE(window->GetBackingBitmap()->GetBitmap(), nullptr);
    EXPECT_EQ(window->GetViewX1(), -6);

    window->SetLock(1);
    drag(120, 100, 120, 150);
    EXPECT_EQ(window->GetHeight(), 1);
}

}  // namespace
