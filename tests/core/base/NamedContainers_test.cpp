#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/base/NamedNodeList.h"
#include "core/base/NamedSlotArray.h"
#include "core/base/NamedStack.h"
#include "support/ReleaseLog.h"

using namespace testsupport::release_log;

TEST(NamedNodeList, RemovalOrderInPlaceValuesAndOwnership) {
    NamedNodeList list;
    for (const char* name : {"A", "B", "A"}) list.Add(name, V(list.GetCount()));
    EXPECT_EQ(list.Remove("A"), V(0));
    list.Add("A", V(3));                // B, A, A
    EXPECT_EQ(list.Remove("A"), V(3));  // the tail, not the inner match
    EXPECT_EQ(list.Add(nullptr, V(4)), nullptr);
    list.FindNode("B")->value = V(5);
    EXPECT_EQ(list.RemoveAt(2), nullptr);
    EXPECT_EQ(list.RemoveAt(1), V(2));
    EXPECT_EQ(list.RemoveLast(), V(5));
    EXPECT_EQ(list.GetHead(), nullptr);

    g_released.clear();
    {
        NamedNodeList owning(true);
        owning.SetDeleter(&Record);
        for (int i = 0; i < 3; ++i) owning.Add("x", V(i));
        EXPECT_EQ(owning.RemoveFirst(), nullptr);
        EXPECT_EQ(g_released, (std::vector<void*>{V(0)}));
    }
    EXPECT_EQ(g_released.size(), 3u);
}

TEST(NamedSlotArray, SlotsAreStableAndReused) {
    g_released.clear();
    NamedSlotArray slots;
    slots.SetDeleter(&Record);
    EXPECT_EQ(slots.FirstFreeSlot(), 0);  // grows by one
    EXPECT_EQ(slots.FirstFreeSlot(), 0);  // still free: no growth
    for (int i = 0; i < 3; ++i) slots.Add(std::string(1, char('a' + i)), V(i));
    EXPECT_EQ(slots.Add("d", nullptr), nullptr);
    EXPECT_EQ(slots.GetSlotCount(), 3);
    EXPECT_TRUE(slots.Remove("b"));
    EXPECT_FALSE(slots.Remove("b"));
    EXPECT_EQ(g_released, (std::vector<void*>{V(1)}));
    EXPECT_EQ(slots.GetAt(2), V(2));  // the others keep their slots
    slots.Add("e", V(4));
    EXPECT_EQ(slots.IndexOf("e"), 1);
    slots.Clear();
    EXPECT_EQ(g_released.size(), 4u);
    EXPECT_EQ(slots.GetSlotCount(), 0);
}

TEST(NamedStack, LastInFirstOutAndRefusals) {
    NamedStack stack;
    EXPECT_EQ(stack.Pop(), nullptr);
    EXPECT_EQ(stack.Push("a", nullptr), nullptr);
    EXPECT_EQ(stack.Push(nullptr, V(0)), nullptr);
    stack.Push("a", V(0));
    stack.Push("b", V(1));
    EXPECT_EQ(stack.Pop(), V(1));
    EXPECT_EQ(stack.Peek(), V(0));
    EXPECT_EQ(stack.GetCount(), 1);  // freed by the destructor (leak checker)
}
