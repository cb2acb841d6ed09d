#include "maps/DeferredJobQueue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_log;
DeferredJobQueue* g_queue = nullptr;

void Record(uintptr_t a, uintptr_t b, uintptr_t c) {
    g_log += std::to_string(a) + ":" + std::to_string(b) + ":" + std::to_string(c) + " ";
}
// Pushes a follow-up job (arg0 + 100) onto the running queue.
void PushFollowUp(uintptr_t a, uintptr_t, uintptr_t) {
    g_log += "push" + std::to_string(a) + " ";
    g_queue->Push(0.001f, &Record, a + 100, 0, 0);
}
void ClearQueue(uintptr_t, uintptr_t, uintptr_t) {
    g_log += "clear ";
    g_queue->Clear();
}

class DeferredJobQueueTest : public ::testing::Test {
protected:
    DeferredJobQueueTest() {
        g_log.clear();
        g_queue = &queue;
    }
    DeferredJobQueue queue;
};

TEST_F(DeferredJobQueueTest, RunsInOrderOnlyWhileTheBudgetLasts) {
    EXPECT_EQ(queue.Run(1.0, true), 0);  // empty: nothing to do
    for (uintptr_t i = 1; i <= 3; ++i) EXPECT_EQ(queue.Push(0.001f, &Record, i, i * 2, i * 3), 0);
    EXPECT_EQ(queue.Push(0.001f, nullptr, 0, 0, 0), -1);
    EXPECT_EQ(queue.GetCount(), 3);

    // A budget of 0.03 s or less runs nothing unless forced.
    queue.Run(0.03, false);
    queue.Run(0.01666, false);
    EXPECT_EQ(g_log, "");
    // Forced: exactly one job.
    queue.Run(0.0, true);
    EXPECT_EQ(g_log, "1:2:3 ");
    EXPECT_EQ(queue.GetCount(), 2);
    // A real budget runs the rest, in order, and forcing adds none.
    queue.Run(10.0, true);
    EXPECT_EQ(g_log, "1:2:3 2:4:6 3:6:9 ");
    EXPECT_EQ(queue.GetCount(), 0);
}

TEST_F(DeferredJobQueueTest, JobsMayChangeTheQueueWhileItRuns) {
    queue.Push(0.001f, &PushFollowUp, 1, 0, 0);
    queue.Push(0.001f, &Record, 2, 0, 0);
    queue.Run(10.0, false);
    EXPECT_EQ(g_log, "push1 2:0:0 101:0:0 ");

    // A job that clears the queue: the jobs behind it never run, and the
    // loop ends cleanly.
    g_log.clear();
    queue.Push(0.001f, &ClearQueue, 0, 0, 0);
    queue.Push(0.001f, &Record, 3, 0, 0);
    queue.Run(10.0, false);
    EXPECT_EQ(g_log, "clear ");
    EXPECT_EQ(queue.GetCount(), 0);
}

TEST_F(DeferredJobQueueTest, CancelAndPopRemoveOnlyWhatTheyName) {
    queue.Pop();  // empty: nothing happens
    queue.Push(0.001f, &Record, 7, 0, 0);
    queue.Push(0.001f, &PushFollowUp, 7, 0, 0);
    queue.Push(0.001f, &Record, 8, 0, 0);
    queue.Push(0.001f, &Record, 7, 1, 1);
    EXPECT_EQ(queue.CancelJobs(&Record, 7), 2u);
    EXPECT_EQ(queue.GetCount(), 2);
    queue.Pop();  // the PushFollowUp job
    queue.Run(10.0, false);
    EXPECT_EQ(g_log, "8:0:0 ");
}

}  // namespace
