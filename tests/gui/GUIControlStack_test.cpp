#include "gui/GUIControlStack.h"

#include <gtest/gtest.h>

#include "core/script/KeyboardManager.h"
#include "gui/GUICoreTestObjects.h"

using guitest::Widget;

namespace {
using GUIControlStackTest = guitest::ManagerFixture;
}  // namespace

TEST_F(GUIControlStackTest, PushSetRemoveAndClosing) {
    GUIControlStack& stack = manager->GetControlStack();
    Widget a, b;
    a.SetDimensions(0, 0, 4, 4);
    b.SetDimensions(0, 0, 4, 4);
    EXPECT_FALSE(stack.TopHoldsInput());
    stack.Push(nullptr);
    stack.Set(true, &a);
    stack.Set(true, &a);  // already there: not pushed again
    EXPECT_EQ(stack.GetCount(), 1);
    stack.Push(&a);  // Push always pushes
    EXPECT_EQ(stack.GetCount(), 2);
    stack.Set(false, &a);
    EXPECT_EQ(stack.GetCount(), 1);
    stack.Toggle(&b);
    EXPECT_EQ(stack.Top(), &b);
    b.SetHoldsInput(true);
    EXPECT_TRUE(stack.TopHoldsInput());
    stack.Toggle(&b);
    EXPECT_FALSE(stack.Contains(&b));

    // Leaving the stack closes an object that asks for it; Hide on an object
    // that joins the stack takes its first entry off.
    a.SetClosesOnLeavingStack(true);
    stack.Pop();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_FALSE(a.IsSelfVisible());
    a.Open();
    b.SetJoinsControlStack(true);
    b.SetJoinsActiveWindows(true);
    b.Open();
    EXPECT_TRUE(stack.Contains(&b));
    manager->AddActiveWindowNamed("B", &b);
    stack.Push(&b);
    b.Close();
    EXPECT_EQ(stack.GetCount(), 1);  // the second entry stays
    EXPECT_TRUE(manager->IsActiveWindowListEmpty());
    stack.Push(&a);
    stack.Clear();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_FALSE(a.IsSelfVisible());
}

TEST_F(GUIControlStackTest, UpdateRunsTheTopUntilItLetsGo) {
    GUIControlStack& stack = manager->GetControlStack();
    Widget below, top;
    stack.Push(&below);
    stack.Push(&top);
    top.letGo = true;
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(top.navigations, 1);
    EXPECT_EQ(below.navigations, 0);
    EXPECT_EQ(stack.Top(), &below);  // left in the same update
    manager->HandleMouseEvent(kGUIEventPulse);
    EXPECT_EQ(below.navigations, 1);
    EXPECT_EQ(stack.Top(), &below);

    // Navigation that destroys its own object ends cleanly.
    struct SelfDeleting : Widget {
        bool HandleNavigation() override {
            delete this;
            return true;
        }
    };
    stack.Push(new SelfDeleting);
    stack.Update();
    EXPECT_EQ(stack.Top(), &below);
    stack.Clear();
}
