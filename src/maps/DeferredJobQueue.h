#pragma once
// A first-in-first-out queue of deferred function calls that the main loop
// runs within what is left of each frame's time budget.
//
// A job is a plain function and three argument words. The words are wide
// enough to hold a pointer, so an owner can pass itself; an owner that goes
// away before its jobs ran takes them off the queue with CancelJobs, so a
// job never runs on a deleted object.
#include <cstddef>
#include <cstdint>
#include <deque>

class DeferredJobQueue {
public:
    using JobFunction = void (*)(uintptr_t arg0, uintptr_t arg1, uintptr_t arg2);

    // Budgets (seconds) at or below this leave the queue untouched unless
    // the run is forced.
    static constexpr double kMinimumBudget = 0.03;

    DeferredJobQueue() = default;
    ~DeferredJobQueue() { Clear(); }
    DeferredJobQueue(const DeferredJobQueue&) = delete;
    DeferredJobQueue& operator=(const DeferredJobQueue&) = delete;

    // Appends a job at the back. The tag is kept with the job and never read.
    // A null function is refused (returns -1); otherwise returns 0.
    int Push(float tag, JobFunction function, uintptr_t arg0, uintptr_t arg1, uintptr_t arg2);
    // Removes the front job without running it; an empty queue stays empty.
    void Pop();
    void Clear();
    int32_t GetCount() const { return static_cast<int32_t>(m_jobs.size()); }

    // Removes every job of that function whose first argument is arg0.
    // Returns how many were removed.
    size_t CancelJobs(JobFunction function, uintptr_t arg0);

    // Runs front jobs while more than kMinimumBudget seconds of the budget
    // remain, charging each job's wall time to the budget. With force set
    // and no job run that way, the front job runs once regardless. A job may
    // push or cancel jobs while it runs. Returns 0.
    int Run(double budget, bool force);

private:
    struct Job {
        float tag;
        JobFunction function;
        uintptr_t args[3];
    };
    // Takes the front job off the queue and calls it.
    void RunFront();

    std::deque<Job> m_jobs;
};
