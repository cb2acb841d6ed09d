#include "gui/GUIBaseObject.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "gui/GUICoreTestObjects.h"
#include "support/StderrCapture.h"

using guitest::Widget;
using testsupport::StderrCapture;

namespace {

class GUIBaseObjectTest : public guitest::ManagerFixture {
protected:
    // A top-level window at (x, y) of size w x h under the name.
    Widget* TopLevel(const char* name, int x, int y, int w, int h, std::vector<std::string>* log = nullptr,
                     bool takes = false) {
        auto* window = new Widget(log, takes);
        manager->ResetActiveObjectList();
        manager->AddObject(name, window);
        window->SetDimensions(x, y, w, h);
        return window;
    }
};

int g_deleted = 0;
void CountingDeleter(void* value) {
    ++g_deleted;
    std::free(value);
}

}  // namespace

TEST_F(GUIBaseObjectTest, PathNamesChildSearchAndUnregistering) {
    Widget* window = TopLevel("Win", 0, 0, 100, 100);
    auto* first = new Widget;
    auto* second = new Widget;
    auto* inner = new Widget;
    window->AddChild("A", first);
    window->AddChild("Dup", second);
    first->AddChild("Dup", inner);
    EXPECT_EQ(window->GetPathName(), "Root/Win");
    EXPECT_EQ(inner->GetPathName(), "Root/Win/A/Dup");
    EXPECT_EQ(inner->GetParent(), first);
    // Depth first: the first child's subtree comes before the second child.
    EXPECT_EQ(window->FindChild("Dup"), inner);
    EXPECT_EQ(window->FindChild("Nope"), nullptr);

    StderrCapture capture;
    window->UnRegisterObject("Missing");
    EXPECT_EQ(capture.Take(), "GUIBaseObject::UnRegisterObject error, name: Missing given does not exist.");
    std::weak_ptr<char> life = second->GetLifeToken();
    window->UnRegisterObject("Dup");
    EXPECT_EQ(window->GetChildList()->GetCount(), 1);
    EXPECT_FALSE(life.expired());  // taken off, not deleted
    EXPECT_EQ(second->GetParent(), nullptr);
    delete second;

    // Re-parenting moves a child instead of listing it twice.
    auto* other = TopLevel("Other", 0, 0, 10, 10);
    other->AddChild("Moved", inner);
    EXPECT_EQ(first->GetChildList()->GetCount(), 0);
    EXPECT_EQ(inner->GetPathName(), "Root/Other/Moved");
}

TEST_F(GUIBaseObjectTest, ShowAndHideReachChildrenAndLinkedWindows) {
    Widget* window = TopLevel("Win", 0, 0, 100, 100);
    Widget* linked = TopLevel("Linked", 0, 0, 10, 10);
    auto* child = new Widget;
    window->AddChild("Child", child);
    window->AddLinkedWindow(linked);
    window->Hide(false);
    EXPECT_FALSE(window->IsSelfVisible());
    EXPECT_FALSE(linked->IsSelfVisible());

    window->Show(true);  // children and linked windows, whatever the flag
    EXPECT_TRUE(child->IsVisible());
    EXPECT_TRUE(linked->IsVisible());
    window->Hide(true);  // children only: the linked window stays
    EXPECT_FALSE(child->IsSelfVisible());
    EXPECT_TRUE(linked->IsSelfVisible());
    window->Open();
    window->Close();
    EXPECT_FALSE(linked->IsSelfVisible());
    window->Flip();
    EXPECT_TRUE(window->IsVisible());
    EXPECT_TRUE(linked->IsVisible());

    // Two windows that link each other beneath a hidden parent never count
    // as visible; showing one must still end.
    Widget* hiddenParent = TopLevel("Hidden", 0, 0, 50, 50);
    auto* a = new Widget;
    auto* b = new Widget;
    hiddenParent->AddChild("a", a);
    hiddenParent->AddChild("b", b);
    a->AddLinkedWindow(b);
    b->AddLinkedWindow(a);
    hiddenParent->Hide(false);
    a->Show(false);
    EXPECT_TRUE(a->IsSelfVisible());
    EXPECT_TRUE(b->IsSelfVisible());

    // A destroyed linked window leaves no trace in the lists that held it.
    delete linked;
    EXPECT_EQ(window->GetLinkedWindows()->GetCount(), 0);
    window->Close();
}

TEST_F(GUIBaseObjectTest, HitTestingIncludesEdgesAndNeedsTheParent) {
    std::vector<std::string> log;
    Widget* window = TopLevel("Win", 10, 10, 100, 100, &log);
    auto* button = new Widget(&log, true);
    window->AddChild("Button", button);
    button->SetDimensions(20, 20, 30, 30);  // 30..80 in window coordinates

    EXPECT_TRUE(window->ContainsPoint(10, 10));
    EXPECT_TRUE(window->ContainsPoint(110, 110));
    EXPECT_FALSE(window->ContainsPoint(111, 50));

    // A press at (30, 30): the child sees it at (20, 20), its own x1/y1.
    EXPECT_TRUE(window->HandleEvent(kGUIEventPress, 30, 30));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Button:0@20,20");

    // Outside the window the child's test fails, even where the child's
    // rectangle would hold the point in its own terms.
    log.clear();
    EXPECT_FALSE(window->HandleEvent(kGUIEventPress, 200, 200));
    EXPECT_FALSE(button->ContainsPoint(25, 25));
    EXPECT_TRUE(log.empty());

    // Hidden objects take nothing but still track the mouse.
    window->Close();
    EXPECT_FALSE(window->HandleEvent(kGUIEventPress, 30, 30));
    EXPECT_TRUE(window->IsMouseInside());
}

TEST_F(GUIBaseObjectTest, BorderDragIsClampedAndNeedsTheLockOff) {
    Widget* window = TopLevel("Win", 100, 100, 200, 100);
    window->SetBorderOn(true);
    window->SetLock(0);
    // A press on the left band starts the drag; the pulse moves it.
    manager->SetMousePosition(100, 150);
    manager->HandleMouseEvent(kGUIEventPress);
    EXPECT_EQ(manager->GetDragObject(), window);
    manager->SetMousePosition(5000, 150);
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(window->GetX2(), 800);
    EXPECT_EQ(window->GetPositionX(), 600);
    manager->SetMousePosition(-5000, -5000);
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(window->GetX1(), 0);
    EXPECT_EQ(window->GetY1(), 0);
    manager->HandleMouseEvent(kGUIEventRelease);
    EXPECT_EQ(manager->GetDragObject(), nullptr);
    EXPECT_FALSE(window->IsDragging());

    // A larger window lets the drag go further.
    GlobalState* state = GetGlobalState();
    int savedWidth = state->windowWidth;
    state->windowWidth = 1024;
    window->MoveBy(5000, 0);
    EXPECT_EQ(window->GetX2(), 1024);
    state->windowWidth = savedWidth;

    // A child is kept inside its parent's area, in its own coordinates.
    auto* panel = new Widget;
    window->AddChild("Panel", panel);
    panel->SetDimensions(10, 10, 50, 20);
    panel->MoveBy(-3, 500);
    EXPECT_EQ(panel->GetX1(), 7);
    EXPECT_EQ(panel->GetY2(), 100);
    panel->MoveBy(-100, 0);
    EXPECT_EQ(panel->GetX1(), 0);

    // Locked (the default for new objects): grabbed but never moved.
    Widget* locked = TopLevel("Locked", 300, 300, 100, 100);
    locked->SetBorderOn(true);
    manager->BringToFront(nullptr, locked);
    manager->SetMousePosition(300, 350);
    manager->HandleMouseEvent(kGUIEventPress);
    EXPECT_TRUE(locked->IsEdgeGrabbed());
    manager->SetMousePosition(500, 350);
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(locked->GetX1(), 300);
}

TEST_F(GUIBaseObjectTest, NamedPointersReplaceRepeatAndFree) {
    GUIBaseObject object;
    int kept = 7;
    g_deleted = 0;
    object.SetNamedPointerWithDeleter("Data", std::malloc(4), CountingDeleter);
    void* data = std::malloc(4);
    object.SetNamedPointerWithDeleter("Data", data, CountingDeleter);
    EXPECT_EQ(g_deleted, 1);                                           // the first was replaced and freed
    object.SetNamedPointerWithDeleter("Data", data, CountingDeleter);  // set again: kept, not freed
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(object.GetNamedPointer("Data"), data);
    object.AddPointerWithDeleter(std::malloc(4), CountingDeleter);
    object.AddPointerWithDeleter(std::malloc(4), CountingDeleter);
    object.SetOwnedPointer("Kept", &kept);  // never freed by the list
    object.SetNamedPointer("Plain", std::malloc(8));
    object.SetNamedPointer("Null", nullptr);
    EXPECT_EQ(object.GetNamedPointerCount(), 5);
    EXPECT_EQ(object.GetNamedPointer("Kept"), &kept);
    EXPECT_EQ(object.GetPointerAt(-1), nullptr);
    EXPECT_EQ(object.GetPointerAt(5), nullptr);
    EXPECT_EQ(object.GetPointerAt(3), &kept);

    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    object.DumpNamedPointers(stream);
    object.DumpNamedPointers(nullptr);
    std::rewind(stream);
    char text[64] = {};
    EXPECT_GT(std::fread(text, 1, sizeof text - 1, stream), 0u);
    std::fclose(stream);
    EXPECT_STREQ(text, "DataXXKeptPlain");

    object.RemoveLastPointer();
    object.RemoveNamedPointer("Kept");
    object.ClearNamedPointers();
    EXPECT_EQ(g_deleted, 4);
    EXPECT_EQ(object.GetNamedPointerCount(), 0);
    EXPECT_EQ(kept, 7);
}

TEST_F(GUIBaseObjectTest, BorderTilesDrawIntoTheBackingBitmap) {
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper corner(4, 4, gl), horizontal(3, 4, gl), vertical(4, 3, gl), target(40, 40, gl);
    corner.ClearToRGBA(255, 0, 0, 255);
    horizontal.ClearToRGBA(0, 255, 0, 255);
    vertical.ClearToRGBA(0, 0, 255, 255);
    target.ClearToRGBA(0, 0, 0, 255);

    GUIBaseObject never;  // never given dimensions: not drawn
    StderrCapture capture;
    GetGlobalState()->guiTrace = 1;
    never.Draw(&target);
    GetGlobalState()->guiTrace = 0;
    EXPECT_EQ(capture.Take(), "Block 0 (nil)\n");

    GUIBaseObject object;
    object.SetDimensions(5, 5, 20, 16);
    object.SetBorderImages(&corner, &horizontal, &vertical);
    EXPECT_TRUE(object.IsBorderOn());
    EXPECT_EQ(object.GetGrabWidth(), 4);
    object.Draw(&target);
    const uint32_t red = 0xFF0000FF, green = 0x00FF00FF, blue = 0x0000FFFF, black = 0x000000FF;
    EXPECT_EQ(Px(&target, 5, 5), red);
    EXPECT_EQ(Px(&target, 5 + 19, 5 + 15), red);    // bottom-right corner
    EXPECT_EQ(Px(&target, 5 + 4, 5), green);        // first top tile
    EXPECT_EQ(Px(&target, 5 + 15, 5 + 12), green);  // last bottom tile reaches x 15
    EXPECT_EQ(Px(&target, 5 + 17, 5 + 1), red);     // top-right corner over the tiles
    EXPECT_EQ(Px(&target, 5, 5 + 6), blue);         // left edge
    EXPECT_EQ(Px(&target, 5 + 16, 5 + 11), blue);   // right edge, last tile
    EXPECT_EQ(Px(&target, 5 + 8, 5 + 8), black);    // the inside stays transparent
    EXPECT_EQ(Px(&target, 4, 4), black);            // nothing outside the object

    // A size Allegro refuses leaves no bitmap: nothing is tiled or drawn
    // (the tiling would otherwise walk two billion steps into nothing).
    GUIBaseObject huge;
    huge.SetDimensions(0, 0, INT32_MAX, 8);
    huge.SetBorderImages(&corner, &horizontal, &vertical);
    huge.Draw(&target);
    EXPECT_EQ(Px(&target, 0, 0), black);
}

TEST_F(GUIBaseObjectTest, CoordinatesAtTheEndsOfTheRangeSaturate) {
    // Scripts may place objects anywhere an int reaches; sums stay in range.
    Widget* window = TopLevel("Far", INT32_MAX - 5, INT32_MIN, 100, 100);
    EXPECT_EQ(window->GetX2(), INT32_MAX);
    EXPECT_EQ(window->GetY2(), INT32_MIN + 100);
    window->SetPosition(INT32_MIN, 0);
    EXPECT_EQ(window->GetX2(), INT32_MIN + 5);
    window->SetBorderOn(true);
    window->SetLock(0);
    auto* child = new Widget;
    window->AddChild("Child", child);
    child->SetDimensions(INT32_MAX, INT32_MIN, 10, 10);
    manager->SetMousePosition(100, 100);
    manager->HandleMouseEvent(kGUIEventPress);
    manager->SetDragObject(window);
    manager->HandleMouseEvent(kGUIEventPulse);
    manager->SetDragObject(child);
    manager->HandleMouseEvent(kGUIEventPulse);
    // Pulled back into the window area from the far left.
    window->MoveBy(0, 0);
    EXPECT_EQ(window->GetX1(), 0);
    EXPECT_EQ(window->GetX2(), 5);
    child->MoveBy(INT32_MIN, INT32_MAX);
    EXPECT_EQ(child->GetX1(), 0);
    EXPECT_EQ(child->GetY1(), 0);
}

TEST_F(GUIBaseObjectTest, ObjectsDeletedDuringAPulseWalkAreSkippedAndForgotten) {
    Widget* window = TopLevel("Win", 0, 0, 100, 100);
    auto* doomed = new Widget;
    auto* later = new Widget;
    window->AddChild("Doomed", doomed);
    window->AddChild("Later", later);
    doomed->SetDimensions(0, 0, 5, 5);
    // The manager keeps the later child in every slot it has.
    manager->SetActiveObject(later);
    manager->SetDragObject(later);
    manager->SetScrollBarInUse(later);
    manager->SetClickedButton(later);
    manager->SetChatWindow(later);
    manager->GetControlStack().Push(later);
    manager->AddActiveWindow(later);
    manager->AddToStandardUI(later);
    manager->SetListOwner(later);
    manager->SetActiveObjectList(later->GetChildList());

    static GUIBaseObject* victim;
    victim = later;
    doomed->SetPulseCallback([](GUIBaseObject* self) {
        delete victim;  // a sibling still ahead in the walk
        delete self;    // and the object whose callback runs
    });
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(window->GetChildList()->GetCount(), 0);
    EXPECT_EQ(manager->GetActiveObject(), nullptr);
    EXPECT_EQ(manager->GetDragObject(), nullptr);
    EXPECT_EQ(manager->GetScrollBarInUse(), nullptr);
    EXPECT_EQ(manager->GetClickedButton(), nullptr);
    EXPECT_EQ(manager->GetChatWindow(), nullptr);
    EXPECT_EQ(manager->GetListOwner(), nullptr);
    EXPECT_EQ(manager->GetActiveObjectList(), nullptr);
    EXPECT_TRUE(manager->GetControlStack().IsEmpty());
    EXPECT_TRUE(manager->IsActiveWindowListEmpty());
    EXPECT_EQ(manager->GetStandardUIList()->GetCount(), 0);

    // A top-level window that deletes itself from its pulse leaves the walk
    // going on to the windows behind it.
    Widget* front = TopLevel("Front", 0, 0, 10, 10);
    manager->BringToFront(nullptr, front);
    front->SetPulseCallback([](GUIBaseObject* self) { delete self; });
    int before = manager->GetTopLevelList()->GetCount();
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(manager->GetTopLevelList()->GetCount(), before - 1);
    EXPECT_EQ(manager->FindObject("Front"), nullptr);
}

TEST_F(GUIBaseObjectTest, BackingBitmapsAreMadeAsTheyWereAskedForWhenFirstNeeded) {
    uint8_t* gl = &GetGlobalState()->openGLMode;
    BitmapWrapper target(40, 40, gl);
    target.ClearToRGBA(0, 0, 0, 255);
    const int flags = al_get_new_bitmap_flags(), format = al_get_new_bitmap_format();
    // Sized under one bitmap format, drawn (or asked for) under another:
    // the backing bitmap has the format of its sizing, and the latest size.
    Widget* window = TopLevel("Win", 2, 2, 30, 30);
    auto* drawn = new Widget;
    drawn->Fill(al_map_rgb(255, 0, 0));
    window->AddChild("Drawn", drawn);
    Widget asked;
    al_set_new_bitmap_format(ALLEGRO_PIXEL_FORMAT_RGB_565);
    drawn->SetDimensions(0, 0, 50, 50);
    drawn->SetDimensions(1, 1, 10, 12);
    asked.SetDimensions(0, 0, 7, 9);
    al_set_new_bitmap_format(format);
    window->Close();
    manager->Draw(&target);  // a closed window's objects draw nothing
    EXPECT_EQ(Px(&target, 3, 3), 0x000000FFu);
    window->Open();
    manager->Draw(&target);
    EXPECT_EQ(Px(&target, 3, 3), 0xFF0000FFu);
    EXPECT_EQ(Px(&target, 3 + 9, 3 + 11), 0xFF0000FFu);
    EXPECT_EQ(Px(&target, 3 + 10, 3), 0x000000FFu);
    EXPECT_EQ(al_get_new_bitmap_format(), format);
    EXPECT_EQ(al_get_new_bitmap_flags(), flags);
    for (Widget* widget : {drawn, &asked}) {
        BitmapWrapper* backing = widget->GetBackingBitmap();
        ASSERT_TRUE(backing && backing->GetBitmap());
        EXPECT_EQ(al_get_bitmap_format(backing->GetBitmap()), ALLEGRO_PIXEL_FORMAT_RGB_565);
    }
    EXPECT_EQ(drawn->GetBackingBitmap()->GetWidth(), 10);
    EXPECT_EQ(asked.GetBackingBitmap()->GetHeight(), 9);
    EXPECT_NE(al_get_bitmap_format(window->GetBackingBitmap()->GetBitmap()), ALLEGRO_PIXEL_FORMAT_RGB_565);
}
