#include "tools/bankmaker/synth/WorkQueue.h"

#include <algorithm>
#include <thread>
#include <vector>

void WorkQueue::Push(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure_)
            return;  // the run is failing: nothing more is wanted
        jobs_.push_back(std::move(job));
    }
    changed_.notify_one();
}

void WorkQueue::Run()
{
    const unsigned count = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < count; ++i)
        workers.emplace_back([this] { Work(); });
    for (std::thread& worker : workers)
        worker.join();
    if (failure_)
        std::rethrow_exception(failure_);
}

void WorkQueue::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // Idle workers wait while others run: a running job may push more.
        changed_.wait(lock, [this] { return !jobs_.empty() || running_ == 0; });
        if (jobs_.empty())
            break;
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        try {
            job();
        } catch (...) {
            lock.lock();
            if (!failure_)
                failure_ = std::current_exception();
            jobs_.clear();  // no point making the rest
            lock.unlock();
        }
        lock.lock();
        --running_;
        changed_.notify_all();
    }
    changed_.notify_all();
}
