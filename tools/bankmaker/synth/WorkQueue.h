#pragma once
// A queue of independent jobs run on all cores. Each job writes only its own
// result slot, so the output does not depend on the order the jobs ran in.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

class WorkQueue {
public:
    // May be called from a running job, to queue the work it has found.
    void Push(std::function<void()> job);

    // Runs every job, and those they push, then returns; rethrows the first
    // failure after the workers have stopped.
    void Run();

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    int running_ = 0;
    std::exception_ptr failure_;
};
