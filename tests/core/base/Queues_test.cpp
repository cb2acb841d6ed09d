#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/base/GenericQueue.h"
#include "core/base/TimeQueue.h"
#include "support/ReleaseLog.h"

using namespace testsupport::release_log;

TEST(GenericQueue, FirstInFirstOutAndOwnership) {
    g_released.clear();
    GenericQueue queue;
    queue.SetValueDeleter(&Record);
    EXPECT_EQ(queue.Peek(), nullptr);
    EXPECT_EQ(queue.Pop(), nullptr);
    EXPECT_EQ(queue.Push("a", V(0))->Push(std::string("b"), V(1))->Push(nullptr, V(2)), &queue);
    EXPECT_EQ(queue.Pop(), V(0));
    EXPECT_EQ(queue.PeekName(), std::string("b"));
    queue.Clear();  // not owning: the values stay with their owners
    EXPECT_TRUE(g_released.empty());

    queue.SetOwnsValues();
    for (int i = 0; i < 3; ++i) queue.Push("x", V(i));
    EXPECT_EQ(queue.Pop(), V(0));  // popping hands the value over
    queue.Clear();
    EXPECT_EQ(g_released, (std::vector<void*>{V(1), V(2)}));
    EXPECT_EQ(queue.GetCount(), 0);
    GenericQueue freeing;  // destroyed owning: frees its values (leak checker)
    freeing.SetOwnsValues();
    freeing.Push("m", std::malloc(8));
}

TEST(TimeQueue, FiresCarriesOvershootAndHolds) {
    TimeQueue queue;
    bool fired = true;
    EXPECT_EQ(queue.Advance(1, &fired), nullptr);
    EXPECT_FALSE(fired);

    queue.Push("first", 5, V(0), false);
    queue.Push("second", 3, V(1), false);
    EXPECT_EQ(queue.Advance(6, &fired), V(0));
    EXPECT_TRUE(fired);
    EXPECT_EQ(queue.GetHeadTime(), 2);
    EXPECT_EQ(queue.Advance(1, &fired), V(1));
    EXPECT_FALSE(fired);
    EXPECT_EQ(queue.GetHeadTime(), 1);
    EXPECT_EQ(queue.Advance(1, nullptr), V(1));
    EXPECT_EQ(queue.GetCount(), 0);
    // A held head never fires and keeps counting below zero, without
    // wrapping however long it is held.
    queue.Push("held", 1, V(4), true);
    queue.Push("after", 1, V(5), false);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(queue.Advance(INT_MAX, &fired), V(4));
        EXPECT_FALSE(fired);
    }
    EXPECT_EQ(queue.GetHeadTime(), INT_MIN);
    EXPECT_EQ(queue.Pop(), V(4));
    EXPECT_EQ(queue.GetHeadTime(), 1);  // popping carries nothing over
    EXPECT_EQ(queue.Advance(1, &fired), V(5));
    EXPECT_TRUE(fired);
    EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(TimeQueue, BaseInterfaceWorksOnTheSameEntries) {
    g_released.clear();
    GenericQueue* base = new TimeQueue;
    TimeQueue& timed = static_cast<TimeQueue&>(*base);
    base->Push("plain", V(0));
    timed.Push("timed", 4, V(1), false);
    EXPECT_EQ(base->GetCount(), 2);
    EXPECT_EQ(base->Peek(), V(0));
    bool fired = false;
    EXPECT_EQ(timed.Advance(0, &fired), V(0));  // a base entry fires at once
    EXPECT_TRUE(fired);
    EXPECT_EQ(base->PeekName(), std::string("timed"));
    EXPECT_EQ(base->Pop(), V(1));
    EXPECT_EQ(base->GetCount(), 0);
    base->SetOwnsValues();
    base->SetValueDeleter(&Record);
    timed.Push("x", 3, V(2), true);
    base->Push("y", V(3));
    base->Clear();
    EXPECT_EQ(g_released, (std::vector<void*>{V(2), V(3)}));
    EXPECT_EQ(base->GetCount(), 0);
    timed.Push("z", 3, V(4), false);
    delete base;  // the destructor through the base releases the timed entries
    EXPECT_EQ(g_released.back(), V(4));
}
