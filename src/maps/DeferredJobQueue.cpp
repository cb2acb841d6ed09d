#include "maps/DeferredJobQueue.h"

#include <algorithm>
#include <chrono>

int DeferredJobQueue::Push(float tag, JobFunction function, uintptr_t arg0, uintptr_t arg1, uintptr_t arg2) {
    if (!function) return -1;
    m_jobs.push_back(Job{tag, function, {arg0, arg1, arg2}});
    return 0;
}

void DeferredJobQueue::Pop() {
    if (!m_jobs.empty()) m_jobs.pop_front();
}

void DeferredJobQueue::Clear() { m_jobs.clear(); }

size_t DeferredJobQueue::CancelJobs(JobFunction function, uintptr_t arg0) {
    size_t before = m_jobs.size();
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                                [&](const Job& job) { return job.function == function && job.args[0] == arg0; }),
                 m_jobs.end());
    return before - m_jobs.size();
}

void DeferredJobQueue::RunFront() {
    // The job leaves the queue before it runs: whatever it does to the queue
    // (pushing, cancelling, clearing) cannot make the wrong job go.
    Job job = m_jobs.front();
    m_jobs.pop_front();
    job.function(job.args[0], job.args[1], job.args[2]);
}

int DeferredJobQueue::Run(double budget, bool force) {
    if (m_jobs.empty()) return 0;
    using Clock = std::chrono::steady_clock;
    while (!m_jobs.empty() && budget > kMinimumBudget) {
        Clock::time_point start = Clock::now();
        RunFront();
        budget -= std::chrono::duration<double>(Clock::now() - start).count();
        force = false;
    }
    if (force && !m_jobs.empty()) RunFront();
    return 0;
}
